// FrmTempi, FrmExTempo and FrmTemperatura as a technician uses them: over a serial line to a simulated board,
// and offline on a new configuration saved to a file.

#include "ScriptSupport.h"

namespace {
using namespace vm::test;

// A board of release 3 with a hot-drink unit and three snack units: the times, a shelf-life pair, a sector's
// extra time and a cold unit's settings reach it with their mirrors; a shelf-life byte above 255 does not.
TEST_F(Script, TimesAndTemperaturesReachTheBoardWithTheirMirrors) {
    SimProcess sim({"--release", "3"});
    ASSERT_FALSE(sim.device().isEmpty()) << sim.startError().toStdString();
    // 3 snack units, 8 valves on unit 1, unit 4's cold management on, shelf life 1: plate 5, sector 4.
    const ProgramRun prepared =
        runCli({"--port", sim.device(), "set", "4780=3", "4781=4", "4782=4", "11=8", "117=1", "1991=1029"});
    ASSERT_EQ(prepared.exitCode, 0) << describe(prepared);
    const ProgramRun run = runScript("times.vms",
                                     "connect\n"
                                     "open FrmTempi\n"
                                     "set FrmTempi Text1(3) 256\n"
                                     "expect-message \"Error Value or Value out of range\"\n"
                                     "expect FrmTempi Text1(0) 5\n"
                                     "expect FrmTempi Text1(1) 4\n"
                                     "set FrmTempi Text1(0) 7\n" // the sector byte stays
                                     "expect FrmTempi Text1(3) 0\n"
                                     "set FrmTempi HScroll1(8) 300\n" // release 3: the word of its own
                                     "set FrmTempi HScrollEV1(7) 9\n"
                                     "set FrmTempi HScroll3(74) 21\n"
                                     "set FrmTempi HScroll3(75) 22\n"
                                     "open FrmExTempo\n"
                                     "set FrmExTempo HScroll2(50) 33\n"
                                     "open FrmTemperatura\n"
                                     "set FrmTemperatura SwitchX1(2) 1\n"
                                     "set FrmTemperatura HScroll2(9) 44\n"
                                     "expect FrmTemperatura Label2s(9) 4.4\n"
                                     "settle\n"
                                     "quit\n",
                                     {"--port", sim.device()});
    ASSERT_EQ(run.exitCode, 0) << describe(run);
    // parameter, its mirror (0: none), the value both must hold
    const int expected[][3] = {
        {1991, 0, 7 + 4 * 256}, {1992, 0, 0},       {12302, 12303, 300}, {177, 4959, 0}, {135, 4917, 9},
        {12215, 12287, 21},     {12219, 12291, 22}, {12933, 0, 33},      {147, 4929, 1}, {162, 4944, 44}};
    expectOnBoard(sim.device(), expected);
}

// Offline on a new KTR 921 (hot drinks, two snack units): the windows follow the unit types, the valve count,
// the boilers and the cold probes, show temperatures in tenths, and their values land in the saved file.
TEST_F(Script, OfflineTimesAndTemperaturesFollowTheUnits) {
    const QString setup = "menu SmuNew\n"
                          "set FrmConfSLAVE Combo1 0\n"
                          "click FrmConfSLAVE Command1\n"
                          "open FrmConf\n"
                          "set FrmConf Text1(0) 3\n"       // unit 1: three valves
                          "set FrmConf Option14(1) 1\n"    // unit 2: cold management
                          "set FrmConf HScroll14(101) 1\n" // unit 2: one cold probe
                          "open FrmTempi\n"
                          "open FrmExTempo\n"
                          "open FrmTemperatura\n";
    const ProgramRun run = runScript("times-offline.vms",
                                     setup + "set FrmTempi HScrollEV1(2) 12\n"
                                             "set FrmTempi HScroll1(8) 300\n"
                                             "set FrmTempi HScroll3(28) 6\n" // unit 2, drawer 1
                                             "set FrmExTempo HScroll3(69) 5\n"
                                             "set FrmTemperatura HScroll3(8) 45\n"
                                             "expect FrmTemperatura Label3s(8) 4.5\n"
                                             "set FrmTemperatura HScroll3(11) 7\n"
                                             "expect FrmTemperatura Label3s(11) 7\n"
                                             "file {dir}/times.prm\n"
                                             "menu Smusave\n"
                                             "quit\n");
    ASSERT_EQ(run.exitCode, 0) << describe(run);
    const ProgramRun shown = runCli({"show", path("times.prm")});
    ASSERT_EQ(shown.exitCode, 0) << describe(shown);
    std::map<int, QString> saved;
    for (const QString& line : shown.out.split(u'\n', Qt::SkipEmptyParts))
        saved[line.section(' ', 0, 0).toInt()] = line.section(' ', -1);
    // A new configuration is of release 4: the word goes to the main table.
    const std::pair<int, int> expected[] = {{130, 12},  {177, 300}, {12302, 0}, {12188, 6},
                                            {13765, 5}, {139, 45},  {142, 7}};
    for (const auto& [index, value] : expected)
        EXPECT_EQ(saved[index], QString::number(value)) << index;

    // What the configuration does not have cannot be set.
    const std::pair<const char*, const char*> refused[] = {
        {"set FrmTempi HScrollEV1(3) 1\n", "is disabled"},         // unit 1 has three valves
        {"set FrmTempi HScroll3(0) 1\n", "is not shown"},          // unit 1 is no snack unit
        {"set FrmExTempo HScroll4(0) 1\n", "is not enabled"},      // no unit 4
        {"set FrmTemperatura HScroll1(1) 1\n", "is disabled"},     // unit 1 has no second boiler
        {"set FrmTemperatura HScroll3(22) 1\n", "is disabled"},    // unit 2 has one cold probe
        {"set FrmTemperatura SwitchX1(0) 1\n", "is not enabled"}}; // unit 1 is no cold unit
    for (const auto& [line, reason] : refused) {
        SCOPED_TRACE(line);
        const ProgramRun r = runScript("times-refused.vms", setup + line);
        EXPECT_EQ(r.exitCode, 1) << describe(r);
        const QStringList failures = reports(r, "times-refused.vms");
        ASSERT_EQ(failures.size(), 1) << describe(r);
        EXPECT_TRUE(failures[0].contains(reason)) << describe(r);
    }
}

} // namespace
