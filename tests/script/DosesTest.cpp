// The doses windows as a technician uses them: recipe changes, the dispensing test and the dose calibration
// against a simulated board, and the calibration file written offline.

#include "ScriptSupport.h"

#include <QDir>
#include <QFile>

namespace {
using namespace vm::test;

// A small reader of the calibration file: the lines, split at ';'.
std::vector<QStringList> readCsv(const QString& fileName) {
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly)) return {};
    std::vector<QStringList> rows;
    for (const QString& line : QString::fromUtf8(file.readAll()).split(QStringLiteral("\r\n"), Qt::SkipEmptyParts))
        rows.push_back(line.split(u';'));
    return rows;
}

// Selection 4 (index 3) on a board whose shelf-life word of that selection holds 0x1234: the dose of table
// 1 is the word's low byte and keeps the high one; the text value clamps 300 to 254; a calibration stores
// the board's measurement (20 pulses plus the three valve times) with its mirror; a doser test leaves the
// measured value; a double-product valve time is a word.
TEST_F(Script, DoseRecipeTestAndCalibrationOnTheBoard) {
    SimProcess sim;
    ASSERT_FALSE(sim.device().isEmpty()) << "vmboard-sim did not announce its device";
    const ProgramRun preset = runCli({"--port", sim.device(), "set", "1994=4660"});
    ASSERT_EQ(preset.exitCode, 0) << describe(preset);
    const ProgramRun run = runScript("doses.vms",
                                     "connect\n"
                                     "open FrmDosi\n"
                                     "click FrmDosi Label0(3)\n"
                                     "expect FrmDosi HScroll1(1) 52\n" // 0x34
                                     "set FrmDosi HScroll1(1) 9\n"
                                     "set FrmDosi HScroll2(16) 77\n"
                                     "set FrmDosi Text4 300\n"
                                     "expect-message \"Value out of range\"\n"
                                     "expect FrmDosi Text4 254\n"
                                     "set FrmDosi HScroll1(5) 30\n"
                                     "set FrmDosi HScroll2(5) 20\n"
                                     "set FrmDosi HScroll3(5) 10\n"
                                     "click FrmDosi Command4(0)\n"
                                     "expect FrmDosi LabelRis(1) 80\n"
                                     "expect FrmDosi HScroll5(0) 80\n"
                                     "set FrmDosi HScroll1(9) 50\n"
                                     "click FrmDosi Command1(1)\n"
                                     "expect FrmDosi LabelRis(1) 45\n"
                                     "open FrmDoppiP\n"
                                     "click FrmDoppiP Label0(3)\n"
                                     "set FrmDoppiP HScroll1(10) 300\n"
                                     "settle\n"
                                     "quit\n",
                                     {"--port", sim.device()});
    ASSERT_EQ(run.exitCode, 0) << describe(run);
    const std::map<int, QString> expected = {{1994, "4617"}, {3402, "77"}, {624, "254"}, {5406, "254"},
                                             {656, "80"},    {5438, "80"}, {4776, "0"},  {4777, "45"},
                                             {7061, "300"},  {1995, "0"}};
    std::vector<int> indexes;
    for (const auto& [index, value] : expected)
        indexes.push_back(index);
    const auto board = boardValues(sim.device(), indexes);
    for (const auto& [index, value] : expected)
        EXPECT_EQ(board.at(index), value) << index;
}

// A calibration shows its measurement and asks before it becomes the dose's calibration: refused, the
// calibration stays as it was; agreed, it is written.
TEST_F(Script, CalibrationIsWrittenOnlyWhenConfirmed) {
    SimProcess sim;
    ASSERT_FALSE(sim.device().isEmpty()) << "vmboard-sim did not announce its device";
    const auto before = boardValues(sim.device(), {656});
    const ProgramRun run =
        runScript("calibrate.vms",
                  "connect\n"
                  "open FrmDosi\n"
                  "click FrmDosi Label0(3)\n"
                  "set FrmDosi HScroll1(5) 30\n"
                  "set FrmDosi HScroll2(5) 20\n"
                  "set FrmDosi HScroll3(5) 10\n"
                  "answer no\n"
                  "click FrmDosi Command4(0)\n"
                  "expect-message \"Measured 80: write it as the calibration of dose 1 of selection 4?\"\n"
                  "expect FrmDosi LabelRis(1) 80\n"
                  "expect FrmDosi LabelRis(2) \"Non scritta\"\n"
                  "answer yes\n"
                  "click FrmDosi Command4(1)\n"
                  "expect-message \"dose 2 of selection 4\"\n"
                  "expect FrmDosi LabelRis(2) 80\n"
                  "expect FrmDosi HScroll5(1) 80\n"
                  "quit\n",
                  {"--port", sim.device()});
    ASSERT_EQ(run.exitCode, 0) << describe(run);
    const auto after = boardValues(sim.device(), {656, 4746});
    EXPECT_EQ(after.at(656), before.at(656)); // dose 1 of selection 4: refused
    EXPECT_EQ(after.at(4746), "80");
}

// Offline on a new KTR 921 configuration (the 11-key keyboard): the calibration file of the summary window
// is a ';' table with its spreadsheet hint, one row per selection and dose, with what the window set.
TEST_F(Script, CalibrationFileOffline) {
    ASSERT_TRUE(QDir().mkpath(path("export")));
    const ProgramRun run = runScript("doses-offline.vms",
                                     "menu SmuNew\n"
                                     "set FrmConfSLAVE Combo1 0\n"
                                     "click FrmConfSLAVE Command1\n"
                                     "open FrmDosi\n"
                                     "click FrmDosi Label920(3)\n"
                                     "set FrmDosi HScroll1(5) 30\n"
                                     "set FrmDosi HScroll5(1) 12\n"
                                     "file {dir}/export/tarature\n"
                                     "click FrmDosi Command3\n"
                                     "expect Form2 Label1 \"Salvato: {dir}/export/tarature.csv\"\n"
                                     "open FrmDoppiP\n"
                                     "quit\n");
    ASSERT_EQ(run.exitCode, 0) << describe(run);
    EXPECT_EQ(QDir(path("export")).entryList(QDir::Files), QStringList{"tarature.csv"}); // no temporary left
    const auto rows = readCsv(path("export/tarature.csv"));
    ASSERT_EQ(rows.size(), 2u + 32 * 3);
    EXPECT_EQ(rows[0].join(u';'), "sep=;");
    const QStringList& header = rows[1];
    const auto column = [&](const char* name) { return header.indexOf(QString::fromLatin1(name)); };
    ASSERT_GE(column("Taratura"), 0);
    std::map<std::pair<QString, QString>, QStringList> bySelectionAndDose;
    for (std::size_t i = 2; i < rows.size(); ++i) {
        ASSERT_EQ(rows[i].size(), header.size()) << i;
        bySelectionAndDose[{rows[i][column("Selezione")], rows[i][column("Dose")]}] = rows[i];
    }
    EXPECT_EQ(bySelectionAndDose.size(), 96u);
    const auto cell = [&](const char* selection, const char* dose, const char* name) {
        return bySelectionAndDose[{selection, dose}].value(column(name));
    };
    EXPECT_EQ(cell("4", "1", "Tempo Ev"), "30");
    EXPECT_EQ(cell("4", "2", "Taratura"), "12");
    EXPECT_EQ(cell("4", "1", "Taratura"), "0");
    EXPECT_EQ(cell("5", "2", "Taratura"), "0");
}

} // namespace
