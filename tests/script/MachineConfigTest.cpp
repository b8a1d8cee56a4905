// FrmConf and FrmConfSLAVE as a technician uses them: over a serial line to a simulated board, and offline.

#include "ScriptSupport.h"

namespace {
using namespace vm::test;

// The machine configuration set on a board with one hot-drink unit: the coupled machine with the flags it
// needs, a keyboard switch that clears its dependent bits, the unit's counts and a valve association, each
// stored with its mirror; the association table has none.
TEST_F(Script, MachineConfigurationReachesTheBoardWithItsMirrors) {
    SimProcess sim;
    ASSERT_FALSE(sim.device().isEmpty()) << "vmboard-sim did not announce its device";
    const ProgramRun run = runScript("conf.vms",
                                     "connect\n"
                                     "open FrmConf\n"
                                     "set FrmConf Combo1 3\n"              // DUR 400
                                     "set FrmConf iSwitchToggleX2(11) 1\n" // bit 2, DUR: bits 6 and 7 go
                                     "set FrmConf Text1(0) 8\n"
                                     "set FrmConf Text1(2) 9\n"
                                     "set FrmConf Text1(3) 12\n" // above the boxes: the boxes are written
                                     "expect-message \"Value Out Of Range\"\n"
                                     "set FrmConf HScroll4(2) 7\n"
                                     "set FrmConf Text3(0) 130\n" // above 56: refused
                                     "expect-message \"Error Value or Value out of range\"\n"
                                     "set FrmConf Text3(1) 12\n"
                                     "settle\n"
                                     "quit\n",
                                     {"--port", sim.device()});
    ASSERT_EQ(run.exitCode, 0) << describe(run);
    // parameter, its mirror (0: none), the value both must hold
    const int expected[][3] = {{1844, 6626, 2}, {1855, 6638, 0x04}, {1856, 12826, 0x10}, {11, 4793, 8},
                               {13, 4795, 9},   {14, 4796, 9},      {27, 4809, 7},       {9712, 0, 0},
                               {9713, 0, 12}};
    expectOnBoard(sim.device(), expected);
}

// Offline: a new KTR 921 configuration, then the machine window shows it and resets unit 3's associations.
TEST_F(Script, NewConfigurationAndAssociationReset) {
    const ProgramRun run = runScript("conf-offline.vms",
                                     "menu SmuNew\n"
                                     "set FrmConfSLAVE Combo1 0\n"
                                     "click FrmConfSLAVE Command1\n"
                                     "open FrmConf\n"
                                     "expect FrmConf Label11 \"KTR 921\"\n"
                                     "answer yes\n"
                                     "click FrmConf Command3\n"
                                     "expect-message \"Are you sure?\"\n"
                                     "expect FrmConf Text5(0) 2\n"
                                     "expect FrmConf Text5(9) 13\n"
                                     "expect FrmConf Text5(47) 59\n"
                                     "expect FrmConf Text5(48) 62\n"
                                     "expect FrmConf Text5(55) 69\n"
                                     "quit\n");
    EXPECT_EQ(run.exitCode, 0) << describe(run);
}

} // namespace
