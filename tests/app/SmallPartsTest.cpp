// Version text, launcher, link indicators and the command line.

#include "AppOptions.h"
#include "FrmInfo.h"
#include "Launcher.h"
#include "LinkIndicators.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <fstream>

namespace vm::app {
namespace {

TEST(VersionText, RevisionZeroIsARelease) {
    EXPECT_EQ(VersionText(1, 2, 0), "Rev. 1.2.0");
    EXPECT_EQ(VersionText(0, 0, 14), "Rev. 0.0.Beta14");
    EXPECT_EQ(VersionText(3, 10, 1), "Rev. 3.10.Beta1");
}

TEST(Launcher, StartsOnlyAnExecutableFileInTheParentFolder) {
    QTemporaryDir temp;
    const std::filesystem::path parent = temp.path().toStdString();
    const auto program = parent / "prog";
    std::filesystem::create_directories(program);
    EXPECT_EQ(LauncherPath(program), parent / "DEDOREZOVI.EXE");
    EXPECT_FALSE(LauncherStartable(LauncherPath(program))); // missing: no error, nothing started
    EXPECT_FALSE(StartLauncher(program));

    std::ofstream(LauncherPath(program)) << "#!/bin/sh\n";
    EXPECT_FALSE(LauncherStartable(LauncherPath(program))); // not executable
    std::filesystem::permissions(LauncherPath(program), std::filesystem::perms::owner_exec,
                                 std::filesystem::perm_options::add);
    EXPECT_TRUE(LauncherStartable(LauncherPath(program)));

    std::filesystem::create_directories(parent / "other" / "DEDOREZOVI.EXE");
    EXPECT_FALSE(LauncherStartable(parent / "other" / "DEDOREZOVI.EXE")); // a folder is no program
}

TEST(LinkIndicators, CodesSwitchOnePanelAndOnlyOnChange) {
    LinkIndicators lamps; // without labels: the state alone
    // 4..6 light send, receive and error, 1..3 put them out; the same code again, 0 and 7 change nothing.
    for (auto [code, changed] : {std::pair{4, true}, {4, false}, {5, true}, {6, true}})
        EXPECT_EQ(lamps.show(code), changed) << code;
    EXPECT_TRUE(lamps.isActive(Indicator::Send) && lamps.isActive(Indicator::Receive) &&
                lamps.isActive(Indicator::Error));
    for (auto [code, changed] : {std::pair{1, true}, {2, true}, {3, true}, {0, false}, {7, false}})
        EXPECT_EQ(lamps.show(code), changed) << code;
    EXPECT_FALSE(lamps.isActive(Indicator::Send) || lamps.isActive(Indicator::Receive) ||
                 lamps.isActive(Indicator::Error));
    EXPECT_FALSE(IndicatorPicture(Indicator::Error, true).isNull());
}

TEST(AppOptions, ParsesTheThreeOptions) {
    QString error;
    auto o = ParseAppOptions({"vmconfig", "--simulate", "--screenshots", "/tmp/x"}, error);
    ASSERT_TRUE(o);
    EXPECT_TRUE(o->simulate);
    EXPECT_EQ(o->screenshotDir, "/tmp/x");
    o = ParseAppOptions({"vmconfig", "--port", "/dev/pts/4"}, error);
    ASSERT_TRUE(o);
    EXPECT_FALSE(o->simulate);
    EXPECT_EQ(o->device, "/dev/pts/4");
    EXPECT_FALSE(ParseAppOptions({"vmconfig", "--simulate", "--port", "/dev/ttyS0"}, error));
    EXPECT_FALSE(ParseAppOptions({"vmconfig", "--bogus"}, error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_FALSE(ParseAppOptions({"vmconfig", "stray"}, error));
    // A script name is kept byte for byte, even when it is not UTF-8; other values are read as UTF-8.
    o = ParseAppOptions({"vmconfig", "--script", "/tmp/\xFF.vms", "--port", "/dev/caf\xC3\xA9"}, error);
    ASSERT_TRUE(o);
    EXPECT_EQ(o->scriptFile.string(), "/tmp/\xFF.vms");
    EXPECT_EQ(o->device, QString::fromUtf8("/dev/caf\u00E9"));
}

} // namespace
} // namespace vm::app
