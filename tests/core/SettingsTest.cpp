#include "Settings.h"
#include "Languages.h"
#include "TempDir.h"

#include <gtest/gtest.h>

#include <optional>

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

TEST(SettingsFiles, ReadWhatCanBeReadWhateverTheLineEndsAndWriteTwoCrLfLines) {
    vmtest::TempDir dir;
    struct Case {
        const char* text;
        std::optional<int> port;
        std::optional<std::string> language;
    };
    const Case cases[] = {
        {"Com=3\r\nLingua=English\r\n", 3, "English"},
        {"Com=12\nLingua=Deutsch", 12, "Deutsch"},
        {"\x01\x02 garbage\r\nLingua=Italiano\r\n", {}, "Italiano"},
        {"Com=x\r\nLingua=\r\n", {}, ""},
        {"Com=0\r\n", 0, {}}, // the USB adapter without a COM number
        {"Com=999", {}, {}},
        {"", {}, {}},
    };
    for (const Case& c : cases) {
        const auto read = vm::ReadSettingsFile(dir.write("s.ini", c.text));
        EXPECT_EQ(read.comPort, c.port) << c.text;
        EXPECT_EQ(read.language, c.language) << c.text;
    }
    EXPECT_FALSE(vm::ReadSettingsFile(dir / "absent.ini").language);

    ASSERT_EQ(vm::WriteSettingsFile(dir / "w.ini", 4, "Français"), "");
    EXPECT_EQ(vmtest::readText(dir / "w.ini"), "Com=4\r\nLingua=Français\r\n");
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
    ASSERT_EQ(vm::CheckLanguages(inst.program, s, messages), vm::LanguageStatus::Loaded);
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
    ASSERT_EQ(vm::CheckLanguages(inst.program, s, messages), vm::LanguageStatus::Loaded);
    EXPECT_EQ(s.Menu.checkedCaption(), "English");
}

TEST(SettingsPrecedence, NoLanguageFileIsReported) {
    Installation inst;
    inst.root.write("prog/readme.txt", "x");
    vm::LanguageSettings s;
    EXPECT_FALSE(vm::LoadSettings(inst.files, inst.program, s));
    vm::Messages messages;
    EXPECT_EQ(vm::CheckLanguages(inst.program, s, messages), vm::LanguageStatus::NoLanguageFile);
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
