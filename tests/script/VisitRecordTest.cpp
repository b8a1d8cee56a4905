// A technician's visit on record, over a serial line to a simulated board: edits in two windows, undone and
// redone from the Edit menu, the change log and its file, a window reset to its factory settings, and the
// service report of the visit.

#include "ScriptSupport.h"

#include <QProcess>
#include <QRegularExpression>

#include <set>

namespace {
using namespace vm::test;

class Visit : public Script {
protected:
    // The change log files the program wrote, oldest first.
    static QStringList logFiles() {
        QDir dir(path("prog/changes"));
        QStringList files;
        for (const QString& name : dir.entryList({"*.log"}, QDir::Files, QDir::Name))
            files << dir.filePath(name);
        return files;
    }
    static QStringList lines(const QString& file) {
        QFile f(file);
        EXPECT_TRUE(f.open(QIODevice::ReadOnly)) << file.toStdString();
        QStringList out;
        for (const QString& line : QString::fromUtf8(f.readAll()).split(u'\n', Qt::SkipEmptyParts))
            if (!line.startsWith(u'#')) out << line;
        return out;
    }
    static QString pdfText(const QString& file) {
        QProcess p;
        p.start("pdftotext", {file, "-"});
        if (!p.waitForFinished(30000) || p.exitCode() != 0) {
            ADD_FAILURE() << "pdftotext (Debian's poppler-utils) could not read " << file.toStdString();
            return {};
        }
        return QString::fromUtf8(p.readAllStandardOutput());
    }
};

// Three edits in two windows, two undone and one redone: the board holds the first edit and the redone one,
// and the log (window, file and report) tells every step with the board's acknowledgement.
TEST_F(Visit, EditsUndoneAndRedoneLeaveTheBoardTheLogAndTheReportAsTheTechnicianExpects) {
    SimProcess sim;
    ASSERT_FALSE(sim.device().isEmpty()) << sim.startError().toStdString();
    QDir(path("prog/changes")).removeRecursively();
    QFile::remove(path("prog/service.ini"));
    const auto before = boardValues(sim.device(), {12605, 12606, 8471});
    // Values the board does not hold yet, so that every edit changes something.
    const QString spiral4 = before.at(12605) == "123" ? "124" : "123";
    const QString spiral5 = before.at(12606) == "77" ? "78" : "77";
    const ProgramRun run = runScript("visit.vms",
                                     "connect\n"
                                     "open FrmItemNumber\n"
                                     "set FrmItemNumber HScroll1(3) " +
                                         spiral4 +
                                         "\n"
                                         "open FrmPrezzi\n"
                                         "set FrmPrezzi HScroll1(0) -32618\n" // price 1 = 150
                                         "set FrmItemNumber HScroll1(4) " +
                                         spiral5 +
                                         "\n"
                                         "menu mnuUndo\n"
                                         "menu mnuUndo\n"
                                         "menu mnuRedo\n"
                                         "expect FrmItemNumber HScroll1(4) " +
                                         before.at(12606) +
                                         "\n"
                                         "expect FrmPrezzi Label1(0) 1.50\n"
                                         "open FrmChanges\n"
                                         "expect FrmChanges Grid1(0,1) redo\n"
                                         "expect FrmChanges Grid1(0,4) \"8471 price 1\"\n"
                                         "expect FrmChanges Grid1(0,6) 1.50\n"
                                         "expect FrmChanges Grid1(0,7) acknowledged\n"
                                         "expect FrmChanges Grid1(2,2) FrmItemNumber\n"
                                         "expect FrmChanges Grid1(2,3) HScroll1(4)\n"
                                         "enter \"Mario Rossi\"\n"
                                         "file {dir}/visit.pdf\n"
                                         "menu SmnuReport\n"
                                         "expect-message \"The service report is written to\"\n"
                                         "quit\n",
                                     {"--port", sim.device()});
    ASSERT_EQ(run.exitCode, 0) << describe(run);

    const int expected[][3] = {
        {12605, 0, spiral4.toInt()}, {12606, 0, before.at(12606).toInt()}, {8471, 8521, 150}};
    expectOnBoard(sim.device(), expected);

    // The log file: every write with the value it replaced, and each acknowledged by the board.
    ASSERT_EQ(logFiles().size(), 1);
    QStringList changes;
    std::set<QString> acknowledged;
    for (const QString& line : lines(logFiles()[0])) {
        const QStringList f = line.split(u'\t');
        if (f[0] == "change") changes << f[4] + " " + f[7] + " " + f[9] + ">" + f[10];
        if (f[0] == "ack") acknowledged.insert(f[1]);
    }
    const QStringList steps = {"edit 12605 " + before.at(12605) + ">" + spiral4,
                               "edit 8471 " + before.at(8471) + ">150",
                               "edit 12606 " + before.at(12606) + ">" + spiral5,
                               "undo 12606 " + spiral5 + ">" + before.at(12606),
                               "undo 8471 150>" + before.at(8471),
                               "redo 8471 " + before.at(8471) + ">150"};
    EXPECT_EQ(changes, steps);
    EXPECT_EQ(acknowledged, (std::set<QString>{"1", "2", "3", "4", "5", "6"}));

    // The report holds the visit; the name is asked once and kept.
    const QString report = pdfText(path("visit.pdf"));
    for (const QString& part :
         {QString("Technician: Mario Rossi"), QString("Changes of the visit (6)"),
          QString("12605 item number"), QString("12606 item number"), QString("8471 price 1"),
          QString("acknowledged"), QString("Settings that differ from their defaults"),
          QString("Sales totals"), QString("Paid vends per sector, unit 1")})
        EXPECT_TRUE(report.contains(part)) << part.toStdString() << "\n" << report.toStdString();
    QFile settings(path("prog/service.ini"));
    ASSERT_TRUE(settings.open(QIODevice::ReadOnly));
    EXPECT_TRUE(QString::fromUtf8(settings.readAll()).contains("technician=Mario Rossi"));
}

// "Reset this window to defaults" on the prices: what changes on the board is what the confirmation listed
// (and the mirrors), the item number changed in another window stays.
TEST_F(Visit, AWindowResetToDefaultsTouchesOnlyThatWindowsParameters) {
    SimProcess sim;
    ASSERT_FALSE(sim.device().isEmpty()) << sim.startError().toStdString();
    const ProgramRun run = runScript("reset.vms",
                                     "connect\n"
                                     "open FrmItemNumber\n"
                                     "set FrmItemNumber HScroll1(3) 123\n"
                                     "open FrmPrezzi\n"
                                     "set FrmPrezzi HScroll1(0) -32618\n"
                                     "set FrmPrezzi HScroll1(1) -32668\n"
                                     "file {dir}/before-reset.prm\n"
                                     "menu Smusave\n"
                                     "context FrmPrezzi - \"Reset this window to defaults\"\n"
                                     "expect-message \"price 1 (8471): 1.50\"\n"
                                     "expect FrmPrezzi Label1(0) 0.00\n"
                                     "file {dir}/after-reset.prm\n"
                                     "menu Smusave\n"
                                     "quit\n",
                                     {"--port", sim.device()});
    ASSERT_EQ(run.exitCode, 0) << describe(run);
    const QString asked = run.out.section("message: Reset this window to defaults:", 1).section(u'\n', 0, 0);
    std::set<int> listed;
    for (const auto& m : QRegularExpression(R"(\((\d+)\): )").globalMatch(asked))
        listed.insert(m.captured(1).toInt());
    EXPECT_TRUE(listed.count(8471) && listed.count(8472)) << asked.toStdString();
    EXPECT_FALSE(listed.count(12605)) << asked.toStdString();

    const ProgramRun diff = runCli({"diff", path("before-reset.prm"), path("after-reset.prm")});
    ASSERT_EQ(diff.exitCode, 1) << describe(diff);
    std::map<int, QString> names;
    for (const QString& line : diff.out.split(u'\n', Qt::SkipEmptyParts))
        names[line.section(' ', 0, 0).toInt()] = line.section(' ', 1, -3);
    std::set<QString> listedNames;
    for (int index : listed)
        if (names.count(index)) listedNames.insert(names[index]);
    for (const auto& [index, name] : names) {
        QString own = name;
        own.remove(" (mirror)");
        EXPECT_TRUE(listed.count(index) || listedNames.count(own)) << index << " " << name.toStdString();
    }
    const int expected[][3] = {{12605, 0, 123}, {8471, 8521, 0}, {8472, 8522, 0}};
    expectOnBoard(sim.device(), expected);
}

} // namespace
