// The sales and audit views as a technician uses them against a simulated board, their CSV export, and the
// audit file of vmconfig-cli.

#include "ScriptSupport.h"

namespace {
using namespace vm::test;

// The rows of a CSV file as the program writes it: a "sep=;" line, a header, fields split on ';' (a quoted
// field may hold ';' and doubled quotes). Rows are keyed by the value of column `key`.
std::map<QString, QStringList> readCsv(const QString& fileName, int key, QStringList* header = nullptr) {
    QFile file(fileName);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << fileName.toStdString();
    const QStringList lines = QString::fromUtf8(file.readAll()).split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
    std::map<QString, QStringList> rows;
    if (lines.size() < 2 || lines[0] != "sep=;") {
        ADD_FAILURE() << "not a CSV file of the program: " << fileName.toStdString();
        return rows;
    }
    for (qsizetype n = 1; n < lines.size(); ++n) {
        QStringList fields{QString()};
        bool quoted = false;
        const QString& line = lines[n];
        for (qsizetype i = 0; i < line.size(); ++i) {
            const QChar c = line[i];
            if (quoted && c == u'"' && i + 1 < line.size() && line[i + 1] == u'"') {
                fields.back() += c;
                ++i;
            } else if (c == u'"') {
                quoted = !quoted;
            } else if (c == u';' && !quoted) {
                fields.append(QString());
            } else {
                fields.back() += c;
            }
        }
        if (n == 1) {
            if (header) *header = fields;
        } else {
            rows[fields.value(key)] = fields;
        }
    }
    return rows;
}

// With two decimals a money total shows hundredths while the vend count beside it stays a plain number; the
// MDB audit scales only its amounts; the export holds what the window shows, in the program's language.
TEST_F(Script, TotalsShowMoneyWithTheBoardsDecimalPoint) {
    SimProcess sim;
    ASSERT_FALSE(sim.device().isEmpty()) << sim.startError().toStdString();
    const ProgramRun set = runCli({"--port", sim.device(), "set", "1823=2", "11430=12345", "11440=12345"});
    ASSERT_EQ(set.exitCode, 0) << describe(set);
    const ProgramRun run = runScript("totals.vms",
                                     "connect\n"
                                     "open FrmTotali\n"
                                     "expect FrmTotali Label3(0) 123.45\n"
                                     "expect FrmTotali Label3(5) 12345\n"
                                     "expect FrmTotali Label3(6) 487.20\n"
                                     "expect FrmTotali Label3(11) 1512\n"
                                     "file {dir}/totals.csv\n"
                                     "click FrmTotali cmdExport\n"
                                     "open FrmMDBaudit\n"
                                     "expect FrmMDBaudit Label2(0) 864.50\n"
                                     "expect FrmMDBaudit Label2(7) 37\n"
                                     "expect FrmMDBaudit Label2(12) 51000\n"
                                     "quit\n",
                                     {"--port", sim.device()});
    ASSERT_EQ(run.exitCode, 0) << describe(run);
    QStringList header;
    const auto rows = readCsv(path("totals.csv"), 2, &header);
    EXPECT_EQ(header, QStringList({"group", "item", "index", "value"}));
    ASSERT_EQ(rows.size(), 12u);
    // the program speaks its first language, English: the captions come from its file
    EXPECT_EQ(rows.at("11430"),
              QStringList({"Totals that cannot be cleared", "Hot total", "11430", "123.45"}));
    EXPECT_EQ(rows.at("11440").value(3), "12345");
    EXPECT_EQ(rows.at("11441").value(0), "Totals that can be cleared");
}

// The vend counters of a block stand in the block's own labels: the second range after the first 48, the
// third after the next 8; block 1 on the second unit's page. The page in front is what the export writes.
TEST_F(Script, VendCountersLandInTheLabelsOfTheirBlock) {
    SimProcess sim;
    ASSERT_FALSE(sim.device().isEmpty()) << sim.startError().toStdString();
    const ProgramRun set = runCli({"--port", sim.device(), "set", "13218=777", "13779=4242", "8949=55", "13290=9"});
    ASSERT_EQ(set.exitCode, 0) << describe(set);
    const ProgramRun run = runScript("vends.vms",
                                     "connect\n"
                                     "open FrmBattute\n"
                                     "expect FrmBattute Label3(0) 120\n" // demo: beverage 1 of block 0
                                     "click FrmBattute Label4(55)\n"     // brings "Slave 1" to the front
                                     "expect FrmBattute Label4(55) 777\n"
                                     "expect FrmBattute Label4(69) 4242\n"
                                     "file {dir}/vends.csv\n"
                                     "click FrmBattute cmdExport\n"
                                     "click FrmBattute Label5(0)\n"
                                     "expect FrmBattute Label5(0) 55\n"
                                     "close FrmBattute\n"
                                     "open FrmProva\n"
                                     "click FrmProva Label5(55)\n" // test vends, second range, block 1
                                     "expect FrmProva Label5(55) 9\n"
                                     "quit\n",
                                     {"--port", sim.device()});
    ASSERT_EQ(run.exitCode, 0) << describe(run);
    const auto rows = readCsv(path("vends.csv"), 2);
    EXPECT_EQ(rows.size(), 70u); // the sectors of the page in front
    EXPECT_EQ(rows.at("13218"), QStringList({"Slave 1", "Set. 65", "13218", "777"}));
    EXPECT_EQ(rows.at("13779").value(3), "4242");
}

// An expect on a page that is not in front brings the page forward and waits for its values, as a
// technician's click on its tab does. The third range holds three blocks per window: the fourth unit's page
// shows its 56 counters of the first two ranges and nothing of the next window's counters.
TEST_F(Script, ExpectShowsThePageAndTheFourthBlockHasNoThirdRange) {
    SimProcess sim;
    ASSERT_FALSE(sim.device().isEmpty()) << sim.startError().toStdString();
    // block 0 second range i = 7; block 3 second range i = 7 (paid, test); free vends, block 0 third range i
    // = 0
    const ProgramRun set =
        runCli({"--port", sim.device(), "set", "13218=4321", "13242=31", "13306=17", "13808=99"});
    ASSERT_EQ(set.exitCode, 0) << describe(set);
    const ProgramRun run = runScript("fourth-block.vms",
                                     "connect\n"
                                     "open FrmBattute\n"
                                     "expect FrmBattute Label4(55) 4321\n"
                                     "expect FrmBattute Label7(55) 31\n"
                                     "open FrmProva\n"
                                     "expect FrmProva Label7(55) 17\n"
                                     "open FrmGratis\n"
                                     "expect FrmGratis Label4(56) 99\n"
                                     "expect FrmBattute Label7(56) 99\n",
                                     {"--port", sim.device()});
    const QStringList refused = reports(run, "fourth-block.vms");
    ASSERT_EQ(refused.size(), 1) << describe(run);
    EXPECT_TRUE(refused[0].contains(":9: there is no control Label7(56) of FrmBattute"))
        << refused[0].toStdString();
}

// vmconfig-cli audit: every counter and the alarm log of the board in one CSV file, raw values.
TEST_F(Script, CliAuditWritesTheBoardsCountersToOneFile) {
    SimProcess sim;
    ASSERT_FALSE(sim.device().isEmpty()) << sim.startError().toStdString();
    const QString file = path("audit.csv");
    const ProgramRun run = runCli({"--port", sim.device(), "audit", file});
    ASSERT_EQ(run.exitCode, 0) << describe(run);
    QStringList header;
    const auto rows = readCsv(file, 0, &header);
    EXPECT_EQ(header, QStringList({"index", "name", "value"}));
    // demo values: a total, a coin count, a paid and a free vend count, an MDB amount, the alarm log
    const std::pair<const char*, const char*> expected[] = {
        {"1823", "2"},     {"11430", "1254350"}, {"1786", "1520"},  {"8773", "120"}, {"8821", "12"},
        {"11467", "86450"}, {"11815", "4"},      {"11821", "3"},    {"13891", "0"},  {"12054", "0"}};
    for (const auto& [index, value] : expected) {
        ASSERT_TRUE(rows.contains(index)) << index;
        EXPECT_EQ(rows.at(index).value(2), value) << index;
    }
    EXPECT_EQ(rows.at("11430").value(1), "total hot");

    // A folder that does not exist is refused before the board is read; nothing is written.
    const ProgramRun refused = runCli({"--port", sim.device(), "audit", path("missing/audit.csv")});
    EXPECT_EQ(refused.exitCode, 2) << describe(refused);
}

} // namespace
