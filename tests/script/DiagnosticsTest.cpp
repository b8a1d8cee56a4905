// The diagnostic windows as a technician uses them: the temperature chart and its configuration, the live
// parameter monitor and the link monitor, against the simulated board.

#include "ScriptSupport.h"

#include <QRegularExpression>

namespace {
using namespace vm::test;

QStringList fileLines(const QString& name) {
    QFile file(name);
    if (!file.open(QIODevice::ReadOnly)) return {};
    return QString::fromUtf8(file.readAll()).split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
}

// The chart of a machine with a drink unit (boilers set to 92 and 88 degrees) and a cold unit (4.5 degrees):
// its CSV export holds the configured series only, with the board's measured values in degrees; the
// configuration outlives the program.
TEST_F(Script, TemperatureChartShowsTheConfiguredSeriesAndExportsThem) {
    SimProcess sim;
    ASSERT_FALSE(sim.device().isEmpty()) << sim.startError().toStdString();
    const ProgramRun prepared = runCli({"--port", sim.device(), "set", "4780=3", "126=92", "127=88", "139=45"});
    ASSERT_EQ(prepared.exitCode, 0) << describe(prepared);
    const ProgramRun run = runScript("chart.vms",
                                     "connect\n"
                                     "open frmConfGrafico\n"
                                     "set frmConfGrafico Check1(1) 0\n" // no boiler 2 of unit 1
                                     "set frmConfGrafico Combo2 1\n"    // a sample every half second
                                     "open FrmGrafico\n"
                                     "wait 2000\n"
                                     "file {dir}/chart.csv\n"
                                     "click FrmGrafico Command2\n"
                                     "click FrmGrafico Command1\n"
                                     "expect FrmGrafico Command1 Riprendi\n"
                                     "quit\n",
                                     {"--port", sim.device()});
    ASSERT_EQ(run.exitCode, 0) << describe(run);

    const QStringList lines = fileLines(path("chart.csv"));
    ASSERT_GE(lines.size(), 4) << lines.join('\n').toStdString(); // sep, header, at least two samples
    EXPECT_EQ(lines[0], "sep=;");
    EXPECT_EQ(lines[1], "Tempo (s);Ora;Caldaia 1 Slave 1;Freddo Slave 2");
    double previousTime = -1;
    for (int i = 2; i < lines.size(); ++i) {
        const QStringList fields = lines[i].split(u';');
        ASSERT_EQ(fields.size(), 4) << lines[i].toStdString();
        const double time = fields[0].toDouble();
        EXPECT_GT(time, previousTime);
        previousTime = time;
        // The board swings its measurements a few degrees around the set temperatures.
        EXPECT_NEAR(fields[2].toDouble(), 92.0, 4.0) << lines[i].toStdString();
        EXPECT_NEAR(fields[3].toDouble(), 4.5, 2.5) << lines[i].toStdString();
    }

    // A new run of the program shows the same configuration.
    const ProgramRun again = runScript("chart-again.vms",
                                       "connect\n"
                                       "open frmConfGrafico\n"
                                       "expect frmConfGrafico Check1(1) 0\n"
                                       "expect frmConfGrafico Check1(0) 1\n"
                                       "expect frmConfGrafico Combo2 1\n"
                                       "quit\n",
                                       {"--port", sim.device()});
    EXPECT_EQ(again.exitCode, 0) << describe(again);
}

// Parameters picked by index and by name are watched while the monitor runs; a name that fits several is
// refused.
TEST_F(Script, ParameterMonitorWatchesPickedParameters) {
    const ProgramRun run = runScript("inout.vms",
                                     "connect\n"
                                     "open FrmInOut\n"
                                     "set FrmInOut Text1 4779\n"
                                     "set FrmInOut Text1 \"board software\"\n"
                                     "set FrmInOut Text1 boiler\n"
                                     "expect-message \"parameters match\"\n"
                                     "expect FrmInOut Label1 \"Fermo - 2 parametri\"\n"
                                     "click FrmInOut Command2\n"
                                     "settle\n"
                                     "expect FrmInOut ListView1(0,1) \"unit type, unit 1\"\n"
                                     "expect FrmInOut ListView1(0,2) 1\n"
                                     "expect FrmInOut ListView1(1,0) 11735\n"
                                     "expect FrmInOut ListView1(1,2) 21\n"
                                     "click FrmInOut Command3\n"
                                     "expect FrmInOut Label1 \"Fermo - 2 parametri\"\n"
                                     "quit\n");
    EXPECT_EQ(run.exitCode, 0) << describe(run);
}

// Over a line that corrupts some replies the link monitor counts the checksum failures and the retries
// they cost, and its saved trace shows the frames both ways. Offline it shows no traffic.
TEST_F(Script, LinkMonitorCountsTheFaultsOfTheLine) {
    SimProcess sim({"--corrupt-checksum", "0.2", "--seed", "11"});
    ASSERT_FALSE(sim.device().isEmpty()) << sim.startError().toStdString();
    const ProgramRun run = runScript("monitor.vms",
                                     "connect\n"
                                     "open FrmTempi\n"
                                     "settle\n"
                                     "open FrmDevelopment\n"
                                     "file {dir}/trace.txt\n"
                                     "click FrmDevelopment Command2\n"
                                     "quit\n",
                                     {"--port", sim.device()});
    ASSERT_EQ(run.exitCode, 0) << describe(run);
    const QStringList lines = fileLines(path("trace.txt"));
    ASSERT_GE(lines.size(), 6);
    const auto figure = [&](const QString& name) {
        for (const QString& line : lines)
            if (line.startsWith(name + ' ')) return line.mid(name.size() + 1).toInt();
        ADD_FAILURE() << "no " << name.toStdString();
        return -1;
    };
    const int failures = figure("checksum failures");
    EXPECT_GT(failures, 0);
    EXPECT_GE(figure("retries"), failures);
    EXPECT_EQ(figure("time-outs"), 0);
    EXPECT_GT(figure("replies"), 10);
    EXPECT_GT(figure("requests"), figure("replies"));
    EXPECT_TRUE(lines.filter(QRegularExpression(R"(^ +\d+\.\d{3} > [0-9A-F]{2}( [0-9A-F]{2})+$)")).size() > 0);
    EXPECT_TRUE(lines.filter(QRegularExpression(R"(^ +\d+\.\d{3} < [0-9A-F]{2})")).size() > 0);

    const ProgramRun offline = runScript("monitor-offline.vms",
                                         "menu SmuNew\n"
                                         "set FrmConfSLAVE Combo1 0\n"
                                         "click FrmConfSLAVE Command1\n"
                                         "open FrmDevelopment\n"
                                         "expect FrmDevelopment Label1(0) 0\n"
                                         "expect FrmDevelopment Label1(3) 0\n"
                                         "quit\n");
    EXPECT_EQ(offline.exitCode, 0) << describe(offline);
}

} // namespace
