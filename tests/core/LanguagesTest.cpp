#include "Languages.h"
#include "TempDir.h"

#include <gtest/gtest.h>

namespace {

std::string lines(int count, const std::string& prefix, std::initializer_list<int> markers = {}) {
    std::string text;
    for (int n = 1; n <= count; ++n) {
        const bool marker = std::find(markers.begin(), markers.end(), n) != markers.end();
        text += (marker ? ";--" : "") + prefix + std::to_string(n) + "\r\n";
    }
    return text;
}

TEST(LanguageFiles, AreListedByNameAndOnlyTheirOwnExtensionCounts) {
    vmtest::TempDir dir;
    for (const char* name :
         {"Italiano.lng", "English.lng", "Deutsch.lng", "notes.txt", "old.lng.bak", "Upper.LNG"})
        dir.write(name, "x\r\n");
    std::filesystem::create_directory(dir / "folder.lng");
    EXPECT_EQ(vm::ListLanguages(dir.path()), (std::vector<std::string>{"Deutsch", "English", "Italiano"}));
    EXPECT_TRUE(vm::ListLanguages(dir / "absent").empty());
}

TEST(LanguageFiles, LoadEveryLineAndIgnoreLinesPast2000) {
    vmtest::TempDir dir;
    vm::Messages messages;
    messages.set(1999, "stale");
    ASSERT_TRUE(vm::LoadLanguageFile(dir.write("short.lng", "\xEF\xBB\xBFone\r\ntwo\nthree"), messages));
    EXPECT_EQ(messages(1) + messages(2) + messages(3) + messages(4), "onetwothree");
    EXPECT_EQ(messages(1999), ""); // a full load leaves nothing of the previous language

    ASSERT_TRUE(vm::LoadLanguageFile(dir.write("long.lng", lines(2100, "L")), messages));
    EXPECT_EQ(messages(2000), "L2000");
    EXPECT_EQ(messages(2001), "");

    EXPECT_FALSE(vm::LoadLanguageFile(dir / "absent.lng", messages));
    EXPECT_EQ(messages(1), "L1");
}

TEST(LanguageFiles, AFileInTheWindowsCodePageIsConvertedAndUtf8IsKept) {
    vmtest::TempDir dir;
    vm::Messages messages;
    // "Caffè", "€ 0,50", "Größe" written by an 8-bit editor.
    ASSERT_TRUE(vm::LoadLanguageFile(dir.write("old.lng", "Caff\xE8\r\n\x80 0,50\r\nGr\xF6\xDF" "e\r\n"), messages));
    EXPECT_EQ(messages(1), "Caff\xC3\xA8");
    EXPECT_EQ(messages(2), "\xE2\x82\xAC 0,50");
    EXPECT_EQ(messages(3), "Gr\xC3\xB6\xC3\x9F" "e");
    // A UTF-8 file stays as it is, even where its bytes would also be valid in the code page.
    ASSERT_TRUE(vm::LoadLanguageFile(dir.write("new.lng", "Caff\xC3\xA8\r\n"), messages));
    EXPECT_EQ(messages(1), "Caff\xC3\xA8");
    // One 8-bit line is enough to take the whole file as 8-bit.
    ASSERT_TRUE(vm::LoadLanguageFile(dir.write("mixed.lng", "\xC3\xA8\r\n\xE8\r\n"), messages));
    EXPECT_EQ(messages(1), "\xC3\x83\xC2\xA8");
}

TEST(LanguageChecks, ALongerCandidateWithTheSameMarkersPassesButOnlyTheReferenceLengthIsLoaded) {
    vmtest::TempDir dir;
    const auto ref = dir.write("ref.lng", lines(5, "r", {2, 4}));
    const auto cand = dir.write("cand.lng", lines(7, "c", {2, 4, 6}));
    vm::Messages messages;
    messages.set(6, "kept");
    ASSERT_TRUE(vm::LoadCheckedLanguage(ref, cand, messages));
    EXPECT_EQ(messages(1), "c1");
    EXPECT_EQ(messages(2), ";--c2");
    EXPECT_EQ(messages(5), "c5");
    EXPECT_EQ(messages(6), "kept");
    // An unreadable reference loads the candidate whole.
    EXPECT_TRUE(vm::LoadCheckedLanguage(dir / "gone.lng", cand, messages));
    EXPECT_EQ(messages(6), ";--c6");
}

TEST(LanguageChecks, AShorterCandidateOrAMissingMarkerIsRefusedAndChangesNothing) {
    vmtest::TempDir dir;
    const auto ref = dir.write("ref.lng", lines(5, "r", {2, 4}));
    vm::Messages messages;
    messages.set(1, "before");
    EXPECT_FALSE(vm::LoadCheckedLanguage(ref, dir.write("short.lng", lines(4, "c", {2, 4})), messages));
    EXPECT_FALSE(vm::LoadCheckedLanguage(ref, dir.write("nomark.lng", lines(5, "c", {2})), messages));
    EXPECT_FALSE(vm::LoadCheckedLanguage(ref, dir / "absent.lng", messages));
    EXPECT_EQ(messages(1), "before");
    // Markers only matter where the reference has them.
    EXPECT_TRUE(vm::LoadCheckedLanguage(ref, dir.write("extra.lng", lines(5, "c", {1, 2, 4})), messages));
    EXPECT_EQ(messages(1), ";--c1");
}

// At most ten entries: see the tenth and eleventh languages below.
TEST(LanguageMenuModel, KeepsOneEntryCheckedWhichDisappearsWithItsLanguage) {
    vm::LanguageMenu menu;
    menu.fill({"A", "B", "C", "D"});
    menu.check(1);
    menu.check(3);
    EXPECT_EQ(std::count_if(menu.entries().begin(), menu.entries().end(), [](auto& e) { return e.checked; }),
              1);
    menu.fill({"A", "B"});
    EXPECT_EQ(menu.checkedIndex(), -1);
    EXPECT_FALSE(menu.entry(2).visible);
    EXPECT_EQ(menu.find(""), -1); // hidden empty entries never match
}

struct LanguageFolder {
    vmtest::TempDir dir;
    vm::LanguageSettings settings;
    vm::Messages messages;
};

TEST(LanguageChecks, TheTenthLanguageNamedInTheSettingsLoadsButAnEleventhIsNotOffered) {
    LanguageFolder f;
    for (int i = 0; i < 11; ++i)
        f.dir.write("L" + std::to_string(i + 10) + ".lng", lines(3, "t" + std::to_string(i)));
    f.settings.CurrentLanguage = "L19";
    ASSERT_EQ(vm::CeckLingue(f.dir.path(), f.settings, f.messages), vm::LanguageStatus::Loaded);
    EXPECT_EQ(f.settings.Menu.checkedIndex(), 9);
    EXPECT_EQ(f.messages(1), "t91");

    f.settings.CurrentLanguage = "L20";
    ASSERT_EQ(vm::CeckLingue(f.dir.path(), f.settings, f.messages), vm::LanguageStatus::Loaded);
    EXPECT_EQ(f.settings.CurrentLanguage, "L10"); // not offered: the first language instead
    EXPECT_EQ(f.settings.Menu.checkedIndex(), 0);
    EXPECT_EQ(f.messages(1), "t01");
}

TEST(LanguageChecks, SwitchingToAGoodFileTakesItAndToABadOneKeepsThePrevious) {
    LanguageFolder f;
    f.dir.write("Alpha.lng", lines(4, "a", {2}));
    f.dir.write("Beta.lng", lines(4, "b", {2}));
    f.dir.write("Gamma.lng", lines(4, "g", {3}));
    f.settings.CurrentLanguage = "Alpha";
    ASSERT_EQ(vm::CeckLingue(f.dir.path(), f.settings, f.messages), vm::LanguageStatus::Loaded);

    EXPECT_EQ(vm::SwitchLanguage(f.dir.path(), f.settings, 1, f.messages), vm::LanguageStatus::Loaded);
    EXPECT_EQ(f.settings.CurrentLanguage, "Beta");
    EXPECT_EQ(f.settings.Menu.checkedIndex(), 1);
    EXPECT_EQ(f.messages(1), "b1");

    for (const auto& [entry, status] :
         {std::pair{2, vm::LanguageStatus::WrongFile}, {5, vm::LanguageStatus::NotOffered}}) {
        EXPECT_EQ(vm::SwitchLanguage(f.dir.path(), f.settings, entry, f.messages), status) << entry;
        EXPECT_EQ(f.settings.CurrentLanguage, "Beta");
        EXPECT_EQ(f.settings.Menu.checkedIndex(), 1);
        EXPECT_EQ(f.messages(3), "b3");
    }
}

} // namespace
