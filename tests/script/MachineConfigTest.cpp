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

namespace {
using namespace vm::test;

// A cold unit keeps its cold option in boiler 1's slot and its probe count in boiler 2's: on a drink unit the
// cold frame is locked, on a cold unit the drink rows are. A sugar box past the number of boxes, however
// large, writes the number of boxes.
TEST_F(Script, UnitPagesFollowTheUnitKindAndTheSugarBoxStopsAtTheBoxes) {
    SimProcess drink;
    ASSERT_FALSE(drink.device().isEmpty()) << drink.startError().toStdString();
    const QStringList onDrink = {"--port", drink.device()};
    const ProgramRun cold = runScript("cold-on-drink.vms",
                                      "connect\nopen FrmConf\nset FrmConf Option13(1) 1\nquit\n", onDrink);
    EXPECT_EQ(cold.exitCode, 1) << describe(cold);
    EXPECT_TRUE(reports(cold, "cold-on-drink.vms").join("").contains("Option13(1) of FrmConf is disabled"))
        << describe(cold);
    const ProgramRun sugar = runScript("sugar.vms",
                                       "connect\nopen FrmConf\n"
                                       "set FrmConf Text1(2) 5\n"
                                       "set FrmConf Text1(3) 300\n"
                                       "expect-message \"Value Out Of Range\"\n"
                                       "settle\nquit\n",
                                       onDrink);
    ASSERT_EQ(sugar.exitCode, 0) << describe(sugar);
    const int expected[][3] = {{13, 4795, 5}, {14, 4796, 5}};
    expectOnBoard(drink.device(), expected);

    // A board whose unit 1 is a cold unit (type 3), everything else zero.
    QByteArray image(12928, '\0');
    image[0] = 3;
    QFile file(path("cold.cfx"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly) && file.write(image) == image.size());
    file.close();
    SimProcess coldBoard({"--load", file.fileName()});
    ASSERT_FALSE(coldBoard.device().isEmpty()) << coldBoard.startError().toStdString();
    const QStringList onCold = {"--port", coldBoard.device()};
    const ProgramRun boiler = runScript("boiler-on-cold.vms",
                                        "connect\nopen FrmConf\nset FrmConf Option2(1) 1\nquit\n", onCold);
    EXPECT_EQ(boiler.exitCode, 1) << describe(boiler);
    EXPECT_TRUE(reports(boiler, "boiler-on-cold.vms").join("").contains("Option2(1) of FrmConf is disabled"))
        << describe(boiler);
    const ProgramRun snack = runScript("cold-on-cold.vms",
                                       "connect\nopen FrmConf\nset FrmConf Option13(1) 1\n"
                                       "set FrmConf HScroll14(100) 2\nsettle\nquit\n",
                                       onCold);
    ASSERT_EQ(snack.exitCode, 0) << describe(snack);
    const int coldExpected[][3] = {{1, 4783, 1}, {2, 4784, 2}};
    expectOnBoard(coldBoard.device(), coldExpected);
}

} // namespace
