#pragma once
// The fixture of the script tests: vmconfig with its maps and language files in a folder of its own (so the
// settings it saves stay out of the build tree), scripts written to files and run, and the board's values read
// back over the line with vmconfig-cli.

#include "Programs.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <map>
#include <vector>

namespace vm::test {

class Script : public ::testing::Test {
protected:
    // vmconfig with its maps and language files, copied once for all tests.
    static void SetUpTestSuite() {
        dir_ = new QTemporaryDir();
        QDir(dir_->path()).mkdir("prog");
        const QDir bin(kBinDir);
        for (const QString& name : bin.entryList({"vmconfig", "*.inx", "*.lng"}, QDir::Files))
            QFile::copy(bin.filePath(name), dir_->filePath("prog/" + name));
        QFile(dir_->filePath("prog/vmconfig")).setPermissions(QFile::ReadOwner | QFile::ExeOwner);
    }
    static void TearDownTestSuite() {
        delete dir_;
        dir_ = nullptr;
    }

    static QString path(const QString& name) { return dir_->filePath(name); }

    // Writes the script into a file of its own and runs it; `{dir}` in the text stands for the test folder.
    static ProgramRun runScript(const QString& name, QString text, QStringList args = {"--simulate"}) {
        text.replace("{dir}", dir_->path());
        QFile file(path(name));
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(text.toUtf8()) < 0)
            return {};
        file.close();
        return runProgram(path("prog/vmconfig"), args << "--script" << file.fileName());
    }

    // The lines of stderr that report a failing line of the script `name`.
    static QStringList reports(const ProgramRun& run, const QString& name) {
        QStringList lines;
        for (const QString& line : run.err.split(u'\n'))
            if (line.startsWith(path(name) + ":")) lines.append(line);
        return lines;
    }

    static inline QTemporaryDir* dir_ = nullptr;
};

// The board's value of each parameter, read over the line with vmconfig-cli.
inline std::map<int, QString> boardValues(const QString& device, const std::vector<int>& indexes) {
    QStringList args = {"--port", device, "get"};
    for (int i : indexes)
        args << QString::number(i);
    const ProgramRun run = runCli(args);
    EXPECT_EQ(run.exitCode, 0) << describe(run);
    std::map<int, QString> values;
    for (const QString& line : run.out.split(u'\n', Qt::SkipEmptyParts))
        values[line.section(' ', 0, 0).toInt()] = line.section(' ', -1);
    return values;
}

// Every parameter of the table {parameter, its mirror or 0, value} holds its value on the board, and so does
// its mirror.
template <std::size_t N> void expectOnBoard(const QString& device, const int (&expected)[N][3]) {
    std::vector<int> indexes;
    for (const auto& e : expected) {
        indexes.push_back(e[0]);
        if (e[1]) indexes.push_back(e[1]);
    }
    const auto board = boardValues(device, indexes);
    for (const auto& e : expected) {
        EXPECT_EQ(board.at(e[0]), QString::number(e[2])) << e[0];
        if (e[1]) {
            EXPECT_EQ(board.at(e[1]), QString::number(e[2])) << "mirror of " << e[0];
        }
    }
}

} // namespace vm::test
