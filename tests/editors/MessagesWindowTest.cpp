// FrmMessCust1 reads the texts it shows: the first language and the one second language chosen.

#include "EditorTestSupport.h"

#include "EditorRegistry.h"

namespace vm::editors::test {
namespace {

constexpr int kSecondLanguage = 11498;
constexpr int kSecondLanguageTexts = 11586; // language s: 8 texts from 11586 + 8s, languages 1..8

int watchedTexts(const ProgramState& state, int language) {
    int watched = 0;
    for (int i = 0; i < 8; ++i)
        watched += watchCount(state, kSecondLanguageTexts + 8 * language + i);
    return watched;
}

TEST_F(EditorFixture, MessagesWatchOnlyTheChosenSecondLanguage) {
    state.Online = true;
    fillParam(state, kSecondLanguage, 3779, 1);
    state.cell(kSecondLanguage, 0).at(CellPos::Value) = 3;
    std::unique_ptr<EditorBase> e(createEditor(QStringLiteral("FrmMessCust1"), ctx));
    ASSERT_NE(e, nullptr);
    EXPECT_EQ(watchCount(state, 11514), 1); // the first language
    EXPECT_EQ(watchedTexts(state, 3), 8);
    for (int language : {1, 2, 4, 8})
        EXPECT_EQ(watchedTexts(state, language), 0) << language;

    // The board says language 5: its texts are read instead.
    state.cell(kSecondLanguage, 0).at(CellPos::Value) = 5;
    e->deliver(kSecondLanguage, 5.0);
    EXPECT_EQ(watchedTexts(state, 5), 8);
    EXPECT_EQ(watchedTexts(state, 3), 0);

    e->close();
    EXPECT_EQ(watchedTexts(state, 5), 0);
    EXPECT_EQ(watchCount(state, 11514), 0);
}

} // namespace
} // namespace vm::editors::test
