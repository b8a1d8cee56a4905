// FrmGSM as a technician uses it: the module's settings set on a board over a serial line, kept in ".tlm"
// files, edited there and written to a board as a whole; and the same files read by vmconfig-cli.

#include "ScriptSupport.h"

#include <QRegularExpression>

namespace {
using namespace vm::test;

const QString kNul16 = QString("\\x00").repeated(16);

// The commit of a long text cuts it into pieces of 16 characters filled up with NULs; an empty text clears
// every piece; numbers are checked before anything is written. After "Open" the window edits the file's
// copy: the board keeps its values until "WriteAll", and a file that fails its checks changes nothing.
TEST_F(Script, TelemetrySettingsOnTheBoardAndThroughFiles) {
    SimProcess sim;
    ASSERT_FALSE(sim.device().isEmpty()) << "vmboard-sim did not announce its device";
    QFile::remove(path("board.tlm"));
    ProgramRun run = runScript("gsm-live.vms",
                               "connect\n"
                               "open FrmGSM\n"
                               "set FrmGSM Text3 smtp.example-mail.it\n" // 20 characters
                               "set FrmGSM Text1 \"\"\n"
                               "set FrmGSM Text4 60\n"
                               "expect-message \" Value out of range\"\n"
                               "set FrmGSM Text4 3a\n"
                               "expect-message \"Insert only number\"\n"
                               "set FrmGSM Text4 30\n"
                               "set FrmGSM Text14 587\n"
                               "set FrmGSM iSwitchSliderX2(2) 2\n"
                               "settle\n"
                               "file {dir}/board.tlm\n"
                               "click FrmGSM Toolbar1(Save)\n"
                               "file {dir}/board.tlm\n"
                               "click FrmGSM Toolbar1(Open)\n"
                               "set FrmGSM Text4 45\n"
                               "set FrmGSM Text7 pass-word-1\n"
                               "expect FrmGSM Text3 smtp.example-mail.it\n"
                               "file {dir}/edited.tlm\n"
                               "click FrmGSM Toolbar1(Save)\n"
                               "settle\n"
                               "quit\n",
                               {"--port", sim.device()});
    ASSERT_EQ(run.exitCode, 0) << describe(run);
    auto board = boardValues(sim.device(), {12058, 12059, 12060, 12055, 12876, 12877, 12069, 12057, 12144, 12061});
    EXPECT_EQ(board[12058], "\"smtp.example-mai\"");
    EXPECT_EQ(board[12059], "\"l.it" + QString("\\x00").repeated(12) + "\"");
    EXPECT_EQ(board[12060], "\"" + kNul16 + "\"");
    for (int index : {12055, 12876, 12877})
        EXPECT_EQ(board[index], "\"" + kNul16 + "\"") << index;
    EXPECT_EQ(board[12069], "30"); // 45 went to the file's copy only
    EXPECT_EQ(board[12057], "\"587" + QString("\\x00").repeated(5) + "\"");
    EXPECT_EQ(board[12144], "2");
    EXPECT_NE(board[12061], "\"pass-word-1" + QString("\\x00").repeated(5) + "\"");

    // A corrupt copy of the edited file is refused and the window stays on the board; the edited file
    // itself reaches the board with WriteAll.
    QFile edited(path("edited.tlm"));
    ASSERT_TRUE(edited.open(QIODevice::ReadOnly));
    QByteArray bytes = edited.readAll();
    ASSERT_EQ(bytes.size(), 1253);
    bytes[2 * 200] = static_cast<char>(bytes[2 * 200] ^ 0x10);
    QFile corrupt(path("corrupt.tlm"));
    ASSERT_TRUE(corrupt.open(QIODevice::WriteOnly) && corrupt.write(bytes) == bytes.size());
    corrupt.close();
    run = runScript("gsm-writeall.vms",
                    "connect\n"
                    "open FrmGSM\n"
                    "file {dir}/corrupt.tlm\n"
                    "click FrmGSM Toolbar1(Open)\n"
                    "expect-message \" Attention : Error File!!  \"\n"
                    "expect FrmGSM Text4 30\n"
                    "file {dir}/edited.tlm\n"
                    "click FrmGSM Toolbar1(Open)\n"
                    "expect FrmGSM Text4 45\n"
                    "click FrmGSM Toolbar1(WriteAll)\n"
                    "settle\n"
                    "quit\n",
                    {"--port", sim.device()});
    ASSERT_EQ(run.exitCode, 0) << describe(run);
    board = boardValues(sim.device(), {12069, 12061, 12058});
    EXPECT_EQ(board[12069], "45");
    EXPECT_EQ(board[12061], "\"pass-word-1" + QString("\\x00").repeated(5) + "\"");
    EXPECT_EQ(board[12058], "\"smtp.example-mai\"");
}

// A service code and the module's password reach the board, but the saved link trace shows their bytes as
// asterisks; a configuration saved afterwards does not carry the module's password (the module's settings
// are the board's cells, never the configuration's).
TEST_F(Script, SecretsStayOutOfTheTraceAndTheConfiguration) {
    SimProcess sim;
    ASSERT_FALSE(sim.device().isEmpty()) << sim.startError().toStdString();
    const ProgramRun run = runScript("secrets.vms",
                                     "connect\n"
                                     "open FrmPassword\n"
                                     "set FrmPassword Text1(0) 54321\n"
                                     "open FrmGSM\n"
                                     "set FrmGSM Text7 Segreto-7\n"
                                     "settle\n"
                                     "open FrmDevelopment\n"
                                     "file {dir}/secrets-trace.txt\n"
                                     "click FrmDevelopment Command2\n"
                                     "file {dir}/secrets.prm\n"
                                     "menu Smusave\n"
                                     "quit\n",
                                     {"--port", sim.device()});
    ASSERT_EQ(run.exitCode, 0) << describe(run);
    const auto board = boardValues(sim.device(), {1857, 12061});
    EXPECT_EQ(board.at(1857), "54321");
    EXPECT_EQ(board.at(12061), "\"Segreto-7" + QString("\\x00").repeated(7) + "\"");

    QFile file(path("secrets-trace.txt"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QString trace = QString::fromLatin1(file.readAll());
    // 54321 written as 3 bytes (31 D4 00) to 1857 at address 745; the password's 16 bytes to 12061 at 3912
    const QString hidden4 = QStringLiteral("( \\*\\*){4}"), hidden17 = QStringLiteral("( \\*\\*){17}");
    EXPECT_TRUE(trace.contains(QRegularExpression("> D2 00 E9 02" + hidden4 + "\r\n")))
        << trace.toStdString();
    EXPECT_TRUE(trace.contains(QRegularExpression("> DF 00 48 0F" + hidden17 + "\r\n")))
        << trace.toStdString();
    EXPECT_FALSE(trace.contains("31 D4 00"));
    EXPECT_FALSE(trace.contains("53 65 67 72 65 74 6F")); // "Segreto"

    const ProgramRun show = runCli({"show", path("secrets.prm")});
    ASSERT_EQ(show.exitCode, 0) << describe(show);
    EXPECT_TRUE(show.out.contains("\n1857 ")) << "the file carries the configuration";
    EXPECT_FALSE(show.out.contains("Segreto")) << show.out.toStdString();
}

// Offline the settings can be edited only in a file: every setting saved is shown again after opening the
// file in a fresh window, and vmconfig-cli shows and compares such files.
TEST_F(Script, TelemetryFileRoundTripOffline) {
    const QString settings = "set FrmGSM Text1 tech@example.it\n"
                             "set FrmGSM Text2 +393331234567\n"
                             "set FrmGSM Text3 mail.example.it\n"
                             "set FrmGSM Text6 operator\n"
                             "set FrmGSM Text7 pw-1\n"
                             "set FrmGSM Text8 gprs-pw\n"
                             "set FrmGSM Text9 machine-0042@example.it\n"
                             "set FrmGSM Text10 example.it\n"
                             "set FrmGSM Text11 \"Vending 42\"\n"
                             "set FrmGSM Text15 \"Audit of machine 42 for the whole month of May\"\n"
                             "set FrmGSM Text14 25\n"
                             "set FrmGSM Text12 3471112222\n"
                             "set FrmGSM Text13 393359609600\n"
                             "set FrmGSM Text4 15\n"
                             "set FrmGSM Text5 23\n"
                             "set FrmGSM Text24 2\n"
                             "set FrmGSM Text25 59\n"
                             "set FrmGSM HScroll1(0) 7\n"
                             "set FrmGSM HScroll1(1) 31\n"
                             "set FrmGSM Option1(1) 1\n"
                             "set FrmGSM iSwitchSliderX2(0) 3\n"
                             "set FrmGSM iSwitchSliderX2(1) 2\n"
                             "set FrmGSM iSwitchSliderX2(2) 1\n"
                             "set FrmGSM iSwitchSliderX2(3) 1\n";
    QString expectations = settings;
    expectations.replace("set FrmGSM", "expect FrmGSM");
    const ProgramRun run = runScript("gsm-offline.vms",
                                     "open FrmGSM\n"
                                     "file {dir}/empty.tlm\n"
                                     "click FrmGSM Toolbar1(Save)\n"
                                     "file {dir}/empty.tlm\n"
                                     "click FrmGSM Toolbar1(Open)\n" +
                                         settings +
                                         "file {dir}/full.tlm\n"
                                         "click FrmGSM Toolbar1(Save)\n"
                                         "close FrmGSM\n"
                                         "open FrmGSM\n"
                                         "file {dir}/full.tlm\n"
                                         "click FrmGSM Toolbar1(Open)\n" +
                                         expectations + "quit\n");
    ASSERT_EQ(run.exitCode, 0) << describe(run);

    const ProgramRun show = runCli({"show", path("full.tlm")});
    ASSERT_EQ(show.exitCode, 0) << describe(show);
    EXPECT_TRUE(show.out.contains("12069 telemetry number 4 15\n")) << show.out.toStdString();
    EXPECT_TRUE(show.out.contains("\"Vending 42\\x00")) << show.out.toStdString();
    EXPECT_FALSE(show.out.contains("\n1844 ")) << "a telemetry file carries nothing else";
    const ProgramRun diff = runCli({"diff", path("empty.tlm"), path("full.tlm")});
    EXPECT_EQ(diff.exitCode, 1) << describe(diff);
    EXPECT_TRUE(diff.out.contains(QRegularExpression("\\n?12133 telemetry number 25 \\d+ 59\n")))
        << diff.out.toStdString();
    EXPECT_FALSE(diff.out.contains("12067 ")) << "a setting no control changed is the same in both";
}

} // namespace
