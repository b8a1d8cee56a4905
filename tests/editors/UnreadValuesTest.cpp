// Connected, a value that has not arrived (the board may have stopped answering) is shown as nothing, not 0.

#include "EditorTestSupport.h"

#include "EditorRegistry.h"

#include <QLabel>

namespace vm::editors::test {
namespace {

class UnreadValues : public EditorFixture {};

TEST_F(UnreadValues, TheTelemetryDaysShowNothingUntilRead) {
    state.Online = true;
    std::unique_ptr<EditorBase> e(createEditor(QStringLiteral("FrmGSM"), ctx));
    ASSERT_NE(e, nullptr);
    for (int i = 0; i < 2; ++i)
        EXPECT_EQ(get<QLabel>(*e, "Label6", i)->text().toStdString(), "") << i;
}

} // namespace
} // namespace vm::editors::test
