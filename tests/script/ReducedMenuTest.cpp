// FrmMenuRidotto as a technician uses it: entries taken out of the reduced menu over a serial line to a
// simulated board, and the per-preselection entries edited offline.

#include "ScriptSupport.h"

namespace {
using namespace vm::test;

// A row unchecked sets its entry's bit; the per-beverage entries take the bit of the beverage chosen, in the
// masks of beverages 1-16 or in those of 17-30; a board value shows as it is and a change keeps its other
// bits.
TEST_F(Script, EntriesLeftOutOfTheReducedMenuReachTheBoard) {
    SimProcess sim;
    ASSERT_FALSE(sim.device().isEmpty()) << sim.startError().toStdString();
    const ProgramRun set = runCli({"--port", sim.device(), "set", "13994=255"});
    ASSERT_EQ(set.exitCode, 0) << describe(set);
    const ProgramRun run =
        runScript("menu.vms",
                  "connect\n"
                  "open FrmMenuRidotto\n"
                  "expect FrmMenuRidotto ListView1(3,0) Dosi\n"
                  "set FrmMenuRidotto ListView1(3) 0\n"
                  "set FrmMenuRidotto HScroll2 20\n"
                  "expect FrmMenuRidotto Label2 41\n"
                  "expect FrmMenuRidotto ListView5(30,0) \"Codice Bevanda\"\n"
                  "set FrmMenuRidotto ListView5(30) 0\n"
                  "set FrmMenuRidotto HScroll2 3\n"
                  "expect FrmMenuRidotto Label2 14\n"
                  "set FrmMenuRidotto ListView5(30) 0\n"
                  "set FrmMenuRidotto HScroll2 4\n" // bit 4, but of beverage 5's mask
                  "expect FrmMenuRidotto ListView5(30) 1\n"
                  "set FrmMenuRidotto HScroll2 20\n"
                  "expect FrmMenuRidotto ListView5(30) 0\n"
                  "expect FrmMenuRidotto ListView10(8,0) \"Inizio-Fine Promozione 4\"\n"
                  "set FrmMenuRidotto ListView10(10) 0\n"
                  "expect FrmMenuRidotto ListView10(0) 0\n"
                  "expect FrmMenuRidotto ListView10(7) 0\n"
                  "expect FrmMenuRidotto ListView10(8) 1\n"
                  "expect FrmMenuRidotto ListView10(9) 1\n"
                  "expect FrmMenuRidotto ListView2Slave3(1,0) \"Sensore caduta prodotto\"\n"
                  "set FrmMenuRidotto ListView2Slave3(1) 0\n"
                  "set FrmMenuRidotto HScroll1 15\n" // preselection 16: the top bit
                  "set FrmMenuRidotto ListView4(38) 0\n"
                  "expect FrmMenuRidotto ListView16Slave4(4,0) \"Ricarica Settori\"\n"
                  "set FrmMenuRidotto ListView16Slave4(4) 0\n"
                  "settle\n"
                  "quit\n",
                  {"--port", sim.device()});
    ASSERT_EQ(run.exitCode, 0) << describe(run);
    // The masks have no twin: nothing else changes.
    const int expected[][3] = {{13361, 0, 0x10}, {14105, 0, 0x10},        {14046, 0, 0x08},
                               {14050, 0, 0},    {13994, 0, 255 + 0x400}, {13372, 0, 0x02},
                               {13373, 0, 0},    {14007, 0, 0x8000},      {14039, 0, 0x02}};
    expectOnBoard(sim.device(), expected);
}

// Offline, on a new configuration, the entries of one preselection are bits of their masks: an entry left out
// of preselection 6 stays out when the window opens again, and preselection 5 keeps it; unchecked and checked
// again, an entry is back.
TEST_F(Script, PreselectionEntriesOffline) {
    const ProgramRun run =
        runScript("menu-offline.vms",
                  "menu SmuNew\n"
                  "set FrmConfSLAVE Combo1 0\n"
                  "click FrmConfSLAVE Command1\n"
                  "open FrmMenuRidotto\n"
                  "set FrmMenuRidotto HScroll1 5\n"
                  "expect FrmMenuRidotto Label1 6\n"
                  "expect FrmMenuRidotto ListView4(36,0) \"Abilitazione STOP\"\n"
                  "set FrmMenuRidotto ListView4(36) 0\n"
                  "set FrmMenuRidotto ListView4(16) 0\n" // preselection 17: the second mask
                  "set FrmMenuRidotto ListView4(15) 0\n"
                  "set FrmMenuRidotto ListView4(15) 1\n"
                  "close FrmMenuRidotto\n"
                  "open FrmMenuRidotto\n"
                  "set FrmMenuRidotto HScroll1 5\n"
                  "expect FrmMenuRidotto ListView4(36) 0\n"
                  "expect FrmMenuRidotto ListView4(35) 1\n"
                  "expect FrmMenuRidotto ListView4(16) 0\n"
                  "expect FrmMenuRidotto ListView4(15) 1\n"
                  "set FrmMenuRidotto HScroll1 4\n"
                  "expect FrmMenuRidotto ListView4(36) 1\n"
                  "quit\n");
    EXPECT_EQ(run.exitCode, 0) << describe(run);
}

} // namespace
