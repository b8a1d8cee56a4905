// Clearing the sales data, the decounter windows and the alarm log, as a technician uses them against the
// simulated board.

#include "ScriptSupport.h"

namespace {
using namespace vm::test;

// "No" on the button that clears everything sends nothing; "Yes" on the other clears only the resettable
// counters. The board confirms and the window says so; afterwards the menus work again.
TEST_F(Script, ClearingTheResettableCountersIsConfirmedByTheBoard) {
    SimProcess sim;
    ASSERT_FALSE(sim.device().isEmpty()) << sim.startError().toStdString();
    const ProgramRun run = runScript("clear.vms",
                                     "connect\n"
                                     "open FrmCancella\n"
                                     "answer no\n"
                                     "click FrmCancella cmdCancella(1)\n"
                                     "expect-message \" Sei Sicuro ?\"\n"
                                     "answer yes\n"
                                     "click FrmCancella cmdCancella(0)\n"
                                     "expect-message \" Sei Sicuro ?\"\n"
                                     "wait 3500\n" // the bar runs for two seconds
                                     "expect FrmCancella lblInfo \"Dati cancellati\"\n"
                                     "open FrmAzione\n"
                                     "quit\n",
                                     {"--port", sim.device()});
    ASSERT_EQ(run.exitCode, 0) << describe(run);
    // total hot, hot resettable, snack, snack resettable; a paid vend counter; the command cell
    const auto board = boardValues(sim.device(), {11430, 11431, 11432, 11433, 8773, 4775});
    EXPECT_EQ(board.at(11430), "1254350");
    EXPECT_EQ(board.at(11431), "0");
    EXPECT_EQ(board.at(11432), "612900");
    EXPECT_EQ(board.at(11433), "0");
    EXPECT_EQ(board.at(8773), "0");
    EXPECT_EQ(board.at(4775), "0");
}

TEST_F(Script, ClearingButtonsStayDisabledWhileTheBoardClears) {
    const ProgramRun run = runScript("clear-twice.vms", "connect\n"
                                                        "open FrmCancella\n"
                                                        "answer yes\n"
                                                        "click FrmCancella cmdCancella(0)\n"
                                                        "click FrmCancella cmdCancella(1)\n");
    EXPECT_EQ(run.exitCode, 1) << describe(run);
    const QStringList failed = reports(run, "clear-twice.vms");
    ASSERT_EQ(failed.size(), 1) << describe(run);
    EXPECT_TRUE(failed[0].contains(":5:") && failed[0].contains("cmdCancella(1) of FrmCancella is disabled"))
        << failed[0].toStdString();
}

// Preventive decounters of the second unit, the water filter's recharge value, and the sector decounters
// with the checks of what is typed; each value lands on the board with its copy.
TEST_F(Script, DecountersReachTheBoardWithTheirCopies) {
    SimProcess sim;
    ASSERT_FALSE(sim.device().isEmpty()) << sim.startError().toStdString();
    const ProgramRun run = runScript("deco.vms",
                                     "connect\n"
                                     "open FrmAzione\n"
                                     "set FrmAzione HScroll0(6) 1000\n" // "Caldaia 2" of the second unit
                                     "set FrmAzione HScroll1(0) -5\n"   // "Ricarica depuratore"
                                     "open FrmDeco\n"
                                     "set FrmDeco Text0(1) 12\n"
                                     "set FrmDeco Text0(0) 26\n"
                                     "expect-message \"Decontatori : Value Out of Range \"\n"
                                     "set FrmDeco Text1(1) \"\"\n"
                                     "expect-message \"ERROR:   Please Insert Value  \"\n"
                                     "set FrmDeco Text1(0) 2.5\n"
                                     "expect-message \"ERROR:  Insert Only Integer Number \"\n"
                                     "set FrmDeco Text1(0) 300\n"
                                     "click FrmDeco LabelKind1(1)\n" // the recharge values
                                     "set FrmDeco Sector1(25) 40\n"
                                     "set FrmDeco Sector1(26) 70000\n"
                                     "expect-message \"ERROR:   Value Out of Range  \"\n"
                                     "click FrmDeco LabelKind1(0)\n" // the decounters: no copy
                                     "set FrmDeco Sector1(79) 9\n"
                                     "settle\n"
                                     "quit\n",
                                     {"--port", sim.device()});
    ASSERT_EQ(run.exitCode, 0) << describe(run);
    // parameter, its copy (0: none), the value both must hold
    const int expected[][3] = {{6713, 6733, 33768}, {13359, 13360, 32763}, {9953, 0, 12 << 8},
                               {10011, 10711, 300}, {10186, 10886, 0},     {10032, 10732, 40},
                               {10033, 10733, 0},   {13443, 0, 9},         {13611, 0, 0}};
    expectOnBoard(sim.device(), expected);
}

// The alarm log with the newest alarm in record 0: records 0, 14, then 13 down to 1, empty slots left out;
// the list exported as CSV.
TEST_F(Script, AlarmLogNewestFirstAndExported) {
    SimProcess sim;
    ASSERT_FALSE(sim.device().isEmpty()) << sim.startError().toStdString();
    // record 0: 10:05 on day 32 (no date), code 20; record 14: 08:30 on 09/01/26, code 144 with detail 3
    const ProgramRun set = runCli({"--port", sim.device(), "set", "11815=0", "11816=10", "11817=5",
                                   "11818=32", "11819=1", "11820=26", "11821=20", "11914=8", "11915=30",
                                   "11916=9", "11917=1", "11918=26", "11919=144", "11920=3"});
    ASSERT_EQ(set.exitCode, 0) << describe(set);
    const ProgramRun run = runScript("alarms.vms",
                                     "connect\n"
                                     "open FrmAllarmi\n"
                                     "expect FrmAllarmi ListView1(0,1) 00/00/00\n"
                                     "expect FrmAllarmi ListView1(0,2) 10:05\n"
                                     "expect FrmAllarmi ListView1(0,3) 20\n"
                                     "expect FrmAllarmi ListView1(1,0) \"Allarme 144 3\"\n"
                                     "expect FrmAllarmi ListView1(1,1) 09/01/26\n"
                                     "expect FrmAllarmi ListView1(2,3) 7\n"     // record 4
                                     "expect FrmAllarmi ListView1(5,3) 144/2\n" // record 1
                                     "file {dir}/alarms.csv\n"
                                     "click FrmAllarmi Command1\n"
                                     "quit\n",
                                     {"--port", sim.device()});
    ASSERT_EQ(run.exitCode, 0) << describe(run);
    QFile csv(path("alarms.csv"));
    ASSERT_TRUE(csv.open(QIODevice::ReadOnly));
    const QStringList lines =
        QString::fromUtf8(csv.readAll()).split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
    const QStringList expected = {"sep=;",
                                  "Allarme;Data;Ora;Codice",
                                  "Allarme 20;00/00/00;10:05;20",
                                  "Allarme 144 3;09/01/26;08:30;144/3",
                                  "Allarme 7;04/12/25;18:58;7",
                                  "Allarme 145 1;02/12/25;11:30;145/1",
                                  "Allarme 12;28/11/25;16:05;12",
                                  "Allarme 144 2;17/11/25;09:45;144/2"};
    EXPECT_EQ(lines, expected);
}

} // namespace
