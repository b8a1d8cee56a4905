// FrmPresel, FrmPrePreSc and FrmOpzioni as a technician uses them: over a serial line to a simulated board,
// and offline.

#include "ScriptSupport.h"

namespace {
using namespace vm::test;

// Preselection key 5, the price association of key 12 and a few options, each stored on the board with its
// mirror; a number too large for its option never leaves the window.
TEST_F(Script, PreselectionsAndOptionsReachTheBoardWithTheirMirrors) {
    SimProcess sim;
    ASSERT_FALSE(sim.device().isEmpty()) << sim.startError().toStdString();
    const ProgramRun run = runScript("presel.vms",
                                     "connect\n"
                                     "open FrmPresel\n"
                                     "set FrmPresel HScroll3 5\n"
                                     "set FrmPresel HScroll1(3) 300\n" // water: two bytes
                                     "set FrmPresel SwitchX(1) 1\n"    // Extra
                                     "set FrmPresel SwitchX(2) 1\n"    // Stop
                                     "set FrmPresel SwitchX(1) 0\n"
                                     "open FrmPrePreSc\n"
                                     "set FrmPrePreSc HScroll2(11) 7\n"
                                     "open FrmOpzioni\n"
                                     "set FrmOpzioni iSwitchSliderX2 3\n"
                                     "set FrmOpzioni SwitchX1(9) 1\n"
                                     "set FrmOpzioni SwitchX1(11) 1\n" // another bit of the same byte
                                     "set FrmOpzioni Text1(1) 70000\n" // three bytes
                                     "set FrmOpzioni Text1(0) 65536\n" // two bytes: refused
                                     "expect-message \"Value Out Of Range\"\n"
                                     "settle\n"
                                     "quit\n",
                                     {"--port", sim.device()});
    ASSERT_EQ(run.exitCode, 0) << describe(run);
    // parameter, its mirror, the value both must hold
    const int expected[][3] = {{1557, 6339, 300}, {1653, 6435, 0x04},  {12103, 12127, 7}, {13353, 13354, 3},
                               {8, 4790, 0x21},   {1850, 6633, 70000}, {1846, 6629, 0}};
    expectOnBoard(sim.device(), expected);
}

// Offline: each key shows its own values; an option bit of 1855 keeps a bit that the machine configuration
// set in the meantime; a drink unit's table offers no vending mode. On a machine whose first unit is a snack
// unit the plate compartments appear with the mixed vending mode and switch the bits of 6 and 7.
TEST_F(Script, KeysCompartmentsAndSharedFlagsOffline) {
    const ProgramRun drink = runScript("presel-drink.vms",
                                       "menu SmuNew\n"
                                       "set FrmConfSLAVE Combo1 0\n" // KTR 921: a drink unit first
                                       "click FrmConfSLAVE Command1\n"
                                       "open FrmPresel\n"
                                       "set FrmPresel HScroll3 2\n"
                                       "set FrmPresel HScroll1(0) 254\n"
                                       "expect FrmPresel Label2 \"Tasto Promozione\"\n"
                                       "set FrmPresel HScroll3 1\n"
                                       "expect FrmPresel HScroll1(0) 0\n"
                                       "expect FrmPresel Label2 \"Non attiva\"\n"
                                       "set FrmPresel HScroll3 2\n"
                                       "expect FrmPresel HScroll1(0) 254\n"
                                       "open FrmOpzioni\n"
                                       "open FrmConf\n"
                                       "set FrmConf iSwitchToggleX2(5) 1\n" // 1855 bit 1
                                       "set FrmOpzioni SwitchX1(31) 1\n"    // 1855 bit 4
                                       "expect FrmOpzioni SwitchX1(28) 1\n"
                                       "set FrmOpzioni SwitchX5(0) 2\n");
    const QStringList refused = reports(drink, "presel-drink.vms");
    ASSERT_EQ(refused.size(), 1) << describe(drink);
    EXPECT_TRUE(refused[0].contains(":18: SwitchX5(0) of FrmOpzioni is disabled"))
        << refused[0].toStdString();

    const ProgramRun snack = runScript("presel-snack.vms",
                                       "menu SmuNew\n"
                                       "set FrmConfSLAVE Combo1 1\n" // KTR 600: a snack unit first
                                       "click FrmConfSLAVE Command1\n"
                                       "open FrmOpzioni\n"
                                       "set FrmOpzioni SwitchX5(0) 2\n"
                                       "set FrmOpzioni iSwitchSliderX1 9\n"
                                       "expect FrmOpzioni Label3(5) 10\n"
                                       "set FrmOpzioni SwitchX5(1) 1\n"
                                       "set FrmOpzioni iSwitchSliderX1 2\n"
                                       "set FrmOpzioni SwitchX5(1) 1\n"
                                       "set FrmOpzioni iSwitchSliderX1 3\n"
                                       "expect FrmOpzioni SwitchX5(1) 0\n"
                                       "set FrmOpzioni iSwitchSliderX1 9\n"
                                       "expect FrmOpzioni SwitchX5(1) 1\n"
                                       "set FrmOpzioni SwitchX5(1) 0\n"
                                       "expect FrmOpzioni Label4(2) \"Scomparti Piatto 3: Si\"\n"
                                       "expect FrmOpzioni Label4(9) \"Scomparti Piatto 10: No\"\n"
                                       "set FrmOpzioni SwitchX5(0) 0\n"
                                       "set FrmOpzioni iSwitchSliderX1 1\n");
    const QStringList hidden = reports(snack, "presel-snack.vms");
    ASSERT_EQ(hidden.size(), 1) << describe(snack);
    EXPECT_TRUE(hidden[0].contains(":19: iSwitchSliderX1 of FrmOpzioni is not shown"))
        << hidden[0].toStdString();
}

} // namespace
