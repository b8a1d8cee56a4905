// FrmOrologio, FrmMessCust1, FrmPassword, FrmAssBricco, FrmAssPSS and FrmBricco as a technician uses them:
// over a serial line to a simulated board, and offline.

#include "ScriptSupport.h"

#include <QDateTime>

namespace {
using namespace vm::test;

// The board's text of each parameter (vmconfig-cli prints it between double quotes).
std::map<int, QString> boardTexts(const QString& device, const std::vector<int>& indexes) {
    QStringList args = {"--port", device, "get"};
    for (int i : indexes)
        args << QString::number(i);
    const ProgramRun run = runCli(args);
    EXPECT_EQ(run.exitCode, 0) << describe(run);
    std::map<int, QString> texts;
    for (const QString& line : run.out.split(u'\n', Qt::SkipEmptyParts)) {
        const auto open = line.indexOf(u'"');
        texts[line.section(' ', 0, 0).toInt()] = line.mid(open + 1, line.lastIndexOf(u'"') - open - 1);
    }
    return texts;
}

// A scrolling text fills as many pieces of 16 characters as the line has messages and drops the rest; a
// shorter one is padded with blanks over the line's four pieces; a message of the second language goes into
// that language's block; a character the display cannot show is refused with a message.
TEST_F(Script, MessagesAreStoredInPiecesOfTheLine) {
    SimProcess sim;
    ASSERT_FALSE(sim.device().isEmpty()) << sim.startError().toStdString();
    const ProgramRun run = runScript("messages.vms",
                                     "connect\n"
                                     "open FrmMessCust1\n"
                                     "set FrmMessCust1 Text1 300\n"
                                     "expect-message \"Value Out of Range\"\n"
                                     "set FrmMessCust1 Text1 2\n"
                                     "set FrmMessCust1 Text3 ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789abcd\n"
                                     "expect FrmMessCust1 Text3 ABCDEFGHIJKLMNOPQRSTUVWXYZ012345\n"
                                     "expect FrmMessCust1 Text4(1) QRSTUVWXYZ012345\n"
                                     "set FrmMessCust1 Text6 SHORT\n"
                                     "set FrmMessCust1 Text7(2) \"Caff\u00e8 pronto\"\n"
                                     "expect-message \"cannot show\"\n"
                                     "set FrmMessCust1 SlswitchX1 3\n"
                                     "set FrmMessCust1 Text14(1) HELLO\n"
                                     "set FrmMessCust1 Option2(2) 1\n"
                                     "settle\n"
                                     "quit\n",
                                     {"--port", sim.device()});
    ASSERT_EQ(run.exitCode, 0) << describe(run);
    const QString blanks(16, u' ');
    const auto texts = boardTexts(sim.device(), {11514, 11515, 11518, 11519, 11521, 11615});
    EXPECT_EQ(texts.at(11514), "ABCDEFGHIJKLMNOP");
    EXPECT_EQ(texts.at(11515), "QRSTUVWXYZ012345");
    EXPECT_EQ(texts.at(11518), "SHORT           ");
    EXPECT_EQ(texts.at(11519), blanks);
    EXPECT_EQ(texts.at(11521), blanks);
    EXPECT_EQ(texts.at(11615), "HELLO           "); // language 3 (11610..11617), line 2, message 2
    const auto board = boardValues(sim.device(), {11493, 11499, 11496, 11502, 11498, 11504});
    EXPECT_EQ(board.at(11493), "2");
    EXPECT_EQ(board.at(11499), "2");
    EXPECT_EQ(board.at(11496), "2");
    EXPECT_EQ(board.at(11502), "2");
    EXPECT_EQ(board.at(11498), "3");
    EXPECT_EQ(board.at(11504), "3");
}

// Second language s keeps its eight pieces at 11586 + 8s: language 1 does not reach into the block before it,
// language 2 does not overwrite language 1. Language 9 would run into the final pauses and is refused; with
// no second language (0) its page cannot be opened.
TEST_F(Script, SecondLanguageTextsGoToTheirOwnBlock) {
    SimProcess sim;
    ASSERT_FALSE(sim.device().isEmpty()) << sim.startError().toStdString();
    // language 1's line 2, the pieces before language 1, the final pause after language 8
    const std::vector<int> untouched = {11586, 11590, 11598, 11658};
    const auto before = boardTexts(sim.device(), untouched);
    const ProgramRun run = runScript("languages.vms",
                                     "connect\n"
                                     "open FrmMessCust1\n"
                                     "set FrmMessCust1 SlswitchX1 1\n"
                                     "set FrmMessCust1 Text10 \"LINGUA UNO\"\n"
                                     "set FrmMessCust1 SlswitchX1 2\n"
                                     "set FrmMessCust1 Text13 \"LINGUA DUE\"\n"
                                     "set FrmMessCust1 SlswitchX1 9\n"
                                     "expect-message \"second languages 1 to 8\"\n"
                                     "expect FrmMessCust1 SlswitchX1 2\n"
                                     "settle\n"
                                     "set FrmMessCust1 SlswitchX1 0\n"
                                     "set FrmMessCust1 Text10 NONE\n",
                                     {"--port", sim.device()});
    const QStringList refused = reports(run, "languages.vms");
    ASSERT_EQ(refused.size(), 1) << describe(run);
    EXPECT_TRUE(
        refused[0].contains(":12: Text10 of FrmMessCust1 is on the page \"LINGUA 2\", which is not enabled"))
        << refused[0].toStdString();
    const auto texts = boardTexts(sim.device(), {11594, 11606});
    EXPECT_EQ(texts.at(11594), "LINGUA UNO      "); // language 1, line 1
    EXPECT_EQ(texts.at(11606), "LINGUA DUE      "); // language 2, line 2
    EXPECT_EQ(boardTexts(sim.device(), untouched), before);
    EXPECT_EQ(boardValues(sim.device(), {11498}).at(11498), "0");
}

// The jug counters of the board, beverage by beverage and slave by slave.
TEST_F(Script, JugCountersShowTheBoardsCounts) {
    SimProcess sim;
    ASSERT_FALSE(sim.device().isEmpty()) << sim.startError().toStdString();
    const ProgramRun set = runCli({"--port", sim.device(), "set", "8917=42", "8948=7", "9094=1234"});
    ASSERT_EQ(set.exitCode, 0) << describe(set);
    const ProgramRun run = runScript("jugs.vms",
                                     "connect\n"
                                     "open FrmBricco\n"
                                     "expect FrmBricco Label1(0) 42\n"
                                     "expect FrmBricco Label1(31) 7\n"
                                     "expect FrmBricco Label2(1) 1234\n"
                                     "quit\n",
                                     {"--port", sim.device()});
    EXPECT_EQ(run.exitCode, 0) << describe(run);
}

// Daily times, option bits, service codes and price assignments reach the board with their mirrors; a date
// field of the clock goes into the setting and into the running date; a price set for a sector shows in the
// jug window that shares it.
TEST_F(Script, ClockTimesCodesAndPricesReachTheBoard) {
    SimProcess sim;
    ASSERT_FALSE(sim.device().isEmpty()) << sim.startError().toStdString();
    const ProgramRun run = runScript("clock.vms",
                                     "connect\n"
                                     "open FrmOrologio\n"
                                     "set FrmOrologio HScroll5(0) 15\n"
                                     "set FrmOrologio HScroll1(26) 20\n" // band 3 start: minutes, hours
                                     "set FrmOrologio HScroll1(27) 7\n"
                                     "set FrmOrologio HScroll1(30) 45\n" // band 4 start minutes
                                     "set FrmOrologio SwitchX1(1) 1\n"
                                     "set FrmOrologio iSwitchSliderX1 1\n" // Spegni
                                     "open FrmPassword\n"
                                     "expect FrmPassword Label1(1) \"Reduced menu\"\n" // language file
                                     "set FrmPassword Text1(0) 123456\n"
                                     "expect FrmPassword Text1(0) 12345\n"
                                     "set FrmPassword Text1(4) 98765\n"
                                     "set FrmPassword Text1(3) 4321\n"
                                     "set FrmPassword Text1(3) 70000\n" // does not fit its word
                                     "expect FrmPassword Text1(3) 4321\n"
                                     "open FrmAssBricco\n"
                                     "set FrmAssBricco HScroll3(29) 17\n"
                                     "open FrmAssPSS\n"
                                     "set FrmAssPSS HScroll1(40) 23\n"
                                     "settle\n"
                                     "expect FrmAssBricco HScroll1(8) 23\n"
                                     "quit\n",
                                     {"--port", sim.device()});
    ASSERT_EQ(run.exitCode, 0) << describe(run);
    // parameter, its mirror (0: none), the value both must hold
    const int expected[][3] = {{6693, 0, 15},       {6667, 0, 15},       {14164, 14172, 20},
                               {14165, 14173, 7},   {14166, 14174, 45},  {6687, 6662, 0x02},
                               {1856, 12826, 0x08}, {1857, 6640, 12345}, {1861, 6644, 9876},
                               {1860, 6643, 4321},  {8244, 8372, 17},    {8159, 8287, 23}};
    expectOnBoard(sim.device(), expected);
}

// The board's clock is put twelve hours and some years off, then "Copy Pc Time" brings it to the computer's.
TEST_F(Script, CopyPcTimeSetsTheBoardClock) {
    SimProcess sim;
    ASSERT_FALSE(sim.device().isEmpty()) << sim.startError().toStdString();
    const QDateTime before = QDateTime::currentDateTime();
    const ProgramRun run = runScript("clock-copy.vms",
                                     "connect\n"
                                     "open FrmOrologio\n"
                                     "set FrmOrologio HScroll2(0) " +
                                         QString::number((before.time().hour() + 12) % 24) +
                                         "\n"
                                         "set FrmOrologio HScroll5(2) 5\n"
                                         "settle\n"
                                         "click FrmOrologio Command1\n"
                                         "settle\n"
                                         "quit\n",
                                     {"--port", sim.device()});
    ASSERT_EQ(run.exitCode, 0) << describe(run);
    const QDateTime after = QDateTime::currentDateTime();
    const auto board = boardValues(sim.device(), {6691, 6692, 6693, 6694, 6695, 6696});
    bool matches = false;
    for (const QDateTime& t : {before, after}) {
        const QDate d = t.date();
        matches = matches || (board.at(6691) == QString::number(t.time().hour()) &&
                              board.at(6692) == QString::number(t.time().minute()) &&
                              board.at(6693) == QString::number(d.day()) &&
                              board.at(6694) == QString::number(d.month()) &&
                              board.at(6695) == QString::number(d.year() % 100) &&
                              board.at(6696) == QString::number(d.dayOfWeek() == 7 ? 1 : d.dayOfWeek() + 1));
    }
    EXPECT_TRUE(matches) << board.at(6691).toStdString() << ":" << board.at(6692).toStdString() << " "
                         << board.at(6693).toStdString() << "/" << board.at(6694).toStdString() << "/"
                         << board.at(6695).toStdString() << " weekday " << board.at(6696).toStdString();
}

// Offline: a code that is not a number or too long is handled as the keypad expects; a price changed in
// either assignment window shows in the other; the board's clock cannot be set without a board.
TEST_F(Script, CodesAndSharedPricesOffline) {
    const ProgramRun run = runScript("codes-offline.vms",
                                     "menu SmuNew\n"
                                     "set FrmConfSLAVE Combo1 0\n" // a drink unit first: jug prices
                                     "click FrmConfSLAVE Command1\n"
                                     "open FrmPassword\n"
                                     "set FrmPassword Text1(3) 4321\n"
                                     "set FrmPassword Text1(3) 12ab\n"
                                     "expect FrmPassword Text1(3) 4321\n"
                                     "set FrmPassword Text1(5) 123456\n"
                                     "expect FrmPassword Text1(5) 1234\n"
                                     "open FrmAssPSS\n"
                                     "open FrmAssBricco\n"
                                     "set FrmAssPSS HScroll2(33) 12\n"
                                     "expect FrmAssBricco HScroll2(1) 12\n"
                                     "set FrmAssBricco HScroll2(15) 44\n"
                                     "expect FrmAssPSS HScroll2(47) 44\n"
                                     "expect FrmAssPSS Label1(0) None\n"
                                     "open FrmOrologio\n"
                                     "set FrmOrologio HScroll1(9) 30\n"
                                     "set FrmOrologio HScroll5(0) 15\n");
    const QStringList refused = reports(run, "codes-offline.vms");
    ASSERT_EQ(refused.size(), 1) << describe(run);
    EXPECT_TRUE(refused[0].contains(":19: HScroll5(0) of FrmOrologio is disabled"))
        << refused[0].toStdString();
}

} // namespace
