#include "Languages.h"
#include "TempDir.h"

#include <gtest/gtest.h>

#include <fstream>

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

namespace {

// The built-in reference of the tests: five lines, section markers on lines 2 and 4.
const vm::LanguageTexts kBuiltIn = {"Uno", ";--due", "Tre", ";--quattro", "Cinque"};

} // namespace

TEST(LanguageChecks, ABrokenLanguageFileIsRefusedWithItsReasonAndTheNextGoodOneTaken) {
    LanguageFolder f;
    const std::string noise("\x01\x9F\x00\xFE\x00\x7F", 6);
    f.dir.write("Alpha.lng", noise + "\r\n" + lines(6, "a", {2, 4}));
    f.dir.write("Beta.lng", lines(3, "b", {2}));  // cut short
    f.dir.write("Delta.lng", lines(5, "d", {2})); // a marker missing
    f.dir.write("Gamma.lng", lines(5, "g", {2, 4}));
    f.settings.CurrentLanguage = "Alpha";
    std::string warning;
    ASSERT_EQ(vm::CeckLingue(f.dir.path(), f.settings, f.messages, kBuiltIn, &warning),
              vm::LanguageStatus::Loaded);
    EXPECT_EQ(f.settings.CurrentLanguage, "Gamma");
    EXPECT_EQ(f.settings.Menu.checkedIndex(), 3);
    EXPECT_EQ(f.messages(4), ";--g4");
    EXPECT_EQ(warning,
              "The language file \"Alpha.lng\" cannot be used: it is not a text file.\n"
              "The language file \"Beta.lng\" cannot be used: it has 3 lines; the program needs 5.\n"
              "The language file \"Delta.lng\" cannot be used: it has no section marker (\";--\") on "
              "line 4.\n"
              "The language Gamma is used instead.");

    // A good file gives no warning; switching to a broken one is refused as before.
    warning.clear();
    ASSERT_EQ(vm::CeckLingue(f.dir.path(), f.settings, f.messages, kBuiltIn, &warning),
              vm::LanguageStatus::Loaded);
    EXPECT_EQ(warning, "");
    EXPECT_EQ(vm::SwitchLanguage(f.dir.path(), f.settings, 0, f.messages, kBuiltIn),
              vm::LanguageStatus::WrongFile);
    EXPECT_EQ(f.messages(1), "g1");
}

TEST(LanguageChecks, WithNoUsableFileTheBuiltInTextsAreShown) {
    LanguageFolder f;
    f.dir.write("Beta.lng", lines(3, "b", {2}));
    { std::ofstream(f.dir / "Huge.lng"); }
    std::filesystem::resize_file(f.dir / "Huge.lng", std::uintmax_t{100} << 20);
    f.settings.CurrentLanguage = "Beta";
    std::string warning;
    ASSERT_EQ(vm::CeckLingue(f.dir.path(), f.settings, f.messages, kBuiltIn, &warning),
              vm::LanguageStatus::Loaded);
    EXPECT_EQ(f.messages(1), "Uno");
    EXPECT_EQ(f.messages(5), "Cinque");
    EXPECT_EQ(f.settings.Menu.checkedIndex(), -1);
    EXPECT_EQ(warning, "The language file \"Beta.lng\" cannot be used: it has 3 lines; the program needs 5.\n"
                       "The language file \"Huge.lng\" cannot be used: it is too large (104857600 bytes; at "
                       "most 1048576).\n"
                       "The program's own Italian texts are used instead.");
    EXPECT_FALSE(vm::LoadLanguageFile(f.dir / "Huge.lng", f.messages));

    // From the built-in texts a good file is taken by the built-in check alone.
    f.dir.write("Gamma.lng", lines(6, "g", {2, 4}));
    f.settings.Menu.fill(vm::ListLanguages(f.dir.path()));
    EXPECT_EQ(vm::SwitchLanguage(f.dir.path(), f.settings, 1, f.messages, kBuiltIn),
              vm::LanguageStatus::Loaded);
    EXPECT_EQ(f.settings.CurrentLanguage, "Gamma");
    EXPECT_EQ(f.messages(6), "g6");
}
