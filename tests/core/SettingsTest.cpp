#include "Settings.h"
#include "Languages.h"
#include "TempDir.h"

#include <gtest/gtest.h>

namespace {

// A program folder "prog" with its own settings file inside a parent holding the shared file.
struct Installation {
    vmtest::TempDir root;
    std::filesystem::path program = root / "prog";
    vm::SettingsFiles files = vm::SettingsFilesFor(program, "vmconfig.exe");

    Installation() { std::filesystem::create_directories(program); }
    void language(const std::string& name, const std::string& text = "one\r\n;-- section\r\ntwo\r\n") const {
        root.write("prog/" + name + ".lng", text);
    }
    void own(std::string_view text) const { root.write("prog/vmconfig.ini", text); }
    void shared(std::string_view text) const { root.write("dedorezovi.ini", text); }
};

TEST(SettingsFiles, LiveInTheProgramFolderAndItsParent) {
    Installation inst;
    EXPECT_EQ(inst.files.own.filename(), "vmconfig.ini");
    EXPECT_EQ(inst.files.own.parent_path(), std::filesystem::absolute(inst.program).lexically_normal());
    EXPECT_EQ(inst.files.shared,
              std::filesystem::absolute(inst.root.path()).lexically_normal() / "dedorezovi.ini");
    // A trailing separator on the folder makes no difference.
    EXPECT_EQ(vm::SettingsFilesFor(inst.program / "", "vmconfig").shared, inst.files.shared);
}

TEST(SettingsFiles, ReadWhatCanBeReadWhateverTheLineEnds) {
    vmtest::TempDir dir;
    const auto crlf = vm::ReadSettingsFile(dir.write("a.ini", "Com=3\r\nLingua=English\r\n"));
    EXPECT_EQ(crlf.comPort, 3);
    EXPECT_EQ(crlf.language, "English");

    const auto lfNoEnd = vm::ReadSettingsFile(dir.write("b.ini", "Com=12\nLingua=Deutsch"));
    EXPECT_EQ(lfNoEnd.comPort, 12);
    EXPECT_EQ(lfNoEnd.language, "Deutsch");

    const auto garbage = vm::ReadSettingsFile(dir.write("c.ini", "\x01\x02 garbage\r\nLingua=Italiano\r\n"));
    EXPECT_FALSE(garbage.comPort);
    EXPECT_EQ(garbage.language, "Italiano");

    const auto badPort = vm::ReadSettingsFile(dir.write("d.ini", "Com=x\r\nLingua=\r\n"));
    EXPECT_FALSE(badPort.comPort);
    EXPECT_EQ(badPort.language, "");

    const auto outOfRange = vm::ReadSettingsFile(dir.write("e.ini", "Com=0\r\n"));
    EXPECT_FALSE(outOfRange.comPort);
    EXPECT_FALSE(outOfRange.language);
    EXPECT_FALSE(vm::ReadSettingsFile(dir.write("f.ini", "Com=999")).comPort);

    const auto empty = vm::ReadSettingsFile(dir.write("g.ini", ""));
    EXPECT_FALSE(empty.comPort);
    EXPECT_FALSE(empty.language);
    EXPECT_FALSE(vm::ReadSettingsFile(dir / "absent.ini").language);
}

TEST(SettingsFiles, AreWrittenAsTwoLinesEndedByCrLf) {
    vmtest::TempDir dir;
    ASSERT_EQ(vm::WriteSettingsFile(dir / "s.ini", 4, "Français"), "");
    EXPECT_EQ(vmtest::readText(dir / "s.ini"), "Com=4\r\nLingua=Français\r\n");
    const auto back = vm::ReadSettingsFile(dir / "s.ini");
    EXPECT_EQ(back.comPort, 4);
    EXPECT_EQ(back.language, "Français");
}

TEST(SettingsPrecedence, TheSharedFilePortWinsAndAMissingFileKeepsThePreviousPort) {
    Installation inst;
    inst.language("English");
    vm::LanguageSettings s;
    s.ComPort = 9;
    ASSERT_TRUE(vm::LoadSettings(inst.files, inst.program, s));
    EXPECT_EQ(s.ComPort, 9);

    inst.own("Com=3\r\nLingua=English\r\n");
    ASSERT_TRUE(vm::LoadSettings(inst.files, inst.program, s));
    EXPECT_EQ(s.ComPort, 3);

    inst.shared("Com=5\r\nLingua=English\r\n");
    ASSERT_TRUE(vm::LoadSettings(inst.files, inst.program, s));
    EXPECT_EQ(s.ComPort, 5);
}

TEST(SettingsPrecedence, ASharedLanguageThatIsInstalledIsTakenAndBothFilesAreRewritten) {
    Installation inst;
    for (const char* name : {"Deutsch", "English", "Italiano"})
        inst.language(name);
    inst.own("Com=2\r\nLingua=English\r\n");
    inst.shared("Com=2\r\nLingua=Italiano\r\n");
    vm::LanguageSettings s;
    ASSERT_TRUE(vm::LoadSettings(inst.files, inst.program, s));
    EXPECT_EQ(s.CurrentLanguage, "Italiano");
    EXPECT_EQ(s.Menu.checkedCaption(), "Italiano");
    EXPECT_EQ(vmtest::readText(inst.files.own), "Com=2\r\nLingua=Italiano\r\n");
    EXPECT_EQ(vmtest::readText(inst.files.shared), "Com=2\r\nLingua=Italiano\r\n");

    vm::Messages messages;
    ASSERT_EQ(vm::CeckLingue(inst.program, s, messages), vm::LanguageStatus::Loaded);
    EXPECT_EQ(s.Menu.checkedIndex(), 2);
    EXPECT_EQ(messages(2), ";-- section");
}

TEST(SettingsPrecedence, AMissingOrForeignSharedLanguageLeavesTheOwnChoiceAlone) {
    Installation inst;
    for (const char* name : {"Deutsch", "English"})
        inst.language(name);
    inst.own("Com=2\r\nLingua=English\r\n");
    vm::LanguageSettings s;
    ASSERT_TRUE(vm::LoadSettings(inst.files, inst.program, s));
    EXPECT_EQ(s.CurrentLanguage, "English");
    EXPECT_FALSE(std::filesystem::exists(inst.files.shared)); // nothing was rewritten

    inst.shared("Com=2\r\nLingua=Klingon\r\n");
    ASSERT_TRUE(vm::LoadSettings(inst.files, inst.program, s));
    EXPECT_EQ(s.CurrentLanguage, "English");
    vm::Messages messages;
    ASSERT_EQ(vm::CeckLingue(inst.program, s, messages), vm::LanguageStatus::Loaded);
    EXPECT_EQ(s.Menu.checkedCaption(), "English");
}

TEST(SettingsPrecedence, NoLanguageFileIsReported) {
    Installation inst;
    inst.root.write("prog/readme.txt", "x");
    vm::LanguageSettings s;
    EXPECT_FALSE(vm::LoadSettings(inst.files, inst.program, s));
    vm::Messages messages;
    EXPECT_EQ(vm::CeckLingue(inst.program, s, messages), vm::LanguageStatus::NoLanguageFile);
    EXPECT_EQ(vm::kNoLanguageText, "File missing!\nReinstall program");
}

TEST(SettingsPrecedence, SavingWritesTheCheckedLanguageAndReportsAFolderThatCannotBeWritten) {
    Installation inst;
    vm::LanguageSettings s;
    s.ComPort = 7;
    s.Menu.fill({"Alpha", "Beta"});
    s.Menu.check(1);
    EXPECT_EQ(vm::SaveSettings(inst.files, s), "");
    EXPECT_EQ(vmtest::readText(inst.files.own), "Com=7\r\nLingua=Beta\r\n");
    EXPECT_EQ(vmtest::readText(inst.files.shared), "Com=7\r\nLingua=Beta\r\n");

    const vm::SettingsFiles broken{inst.files.own, inst.root / "missing folder" / "dedorezovi.ini"};
    s.ComPort = 8;
    EXPECT_NE(vm::SaveSettings(broken, s), "");
    EXPECT_EQ(vmtest::readText(inst.files.own),
              "Com=8\r\nLingua=Beta\r\n"); // the other file is still written
}

} // namespace
