// The script commands: one table for the parser, the runner, --help and the README.

#include "ScriptCommands.h"
#include "ScriptParser.h"

#include <QFile>
#include <QRegularExpression>

#include <gtest/gtest.h>

#include <set>

namespace {
using namespace vm::script;

// The commands of the README's table: the backquoted words of each row's first cell in its Scripts section.
std::set<QString> readmeUsages() {
    QFile f(QStringLiteral(VM_SOURCE_DIR "/README.md"));
    EXPECT_TRUE(f.open(QIODevice::ReadOnly));
    const QString text = QString::fromUtf8(f.readAll());
    const qsizetype from = text.indexOf(QLatin1String("\n## Scripts"));
    const qsizetype to = text.indexOf(QLatin1String("\n## "), from + 1);
    std::set<QString> usages;
    for (QString line : text.mid(from, to - from).split(u'\n')) {
        if (!line.startsWith(QLatin1String("| `"))) continue;
        line.replace(QLatin1String("\\|"), QLatin1String("\x01")); // an escaped bar belongs to the cell
        const QString cell = line.section(u'|', 1, 1);
        static const QRegularExpression quoted(QStringLiteral("`([^`]+)`"));
        for (const auto& m : quoted.globalMatch(cell))
            usages.insert(m.captured(1).replace(QChar(1), u'|'));
    }
    return usages;
}

TEST(ScriptCommands, TheReadmeShowsEveryCommandAndNoOther) {
    std::set<QString> table;
    for (const CommandSpec& c : ScriptCommands())
        table.insert(QString::fromLatin1(c.usage));
    EXPECT_EQ(readmeUsages(), table);
    EXPECT_TRUE(table.contains(QStringLiteral("set FORM CONTROL VALUE")));
    EXPECT_TRUE(ScriptCommandsHelp().contains(QLatin1String("expect-message TEXT")));
}

TEST(ScriptCommands, EveryLineIsCheckedAgainstTheTableBeforeAnyRuns) {
    ParsedScript ok = ParseScript(QStringLiteral("# a visit\nConnect\n\nset FrmTempi HScroll1 12\nwait 10\n"));
    ASSERT_EQ(ok.errorLine, 0) << ok.error.toStdString();
    ASSERT_EQ(ok.commands.size(), 3u);
    EXPECT_EQ(ok.commands[0].verb, Verb::Connect);
    EXPECT_EQ(ok.commands[1].verb, Verb::Set);
    EXPECT_EQ(ok.commands[1].line, 4);
    EXPECT_EQ(ok.commands[2].verb, Verb::Wait);

    ParsedScript bad = ParseScript(QStringLiteral("connect\nset FrmTempi HScroll1\nfrobnicate\n"));
    EXPECT_EQ(bad.errorLine, 2);
    EXPECT_EQ(bad.error, QStringLiteral("2 arguments given; usage: set FORM CONTROL VALUE"));
    EXPECT_TRUE(bad.commands.empty());
    EXPECT_EQ(ParseScript(QStringLiteral("frobnicate")).error, QStringLiteral("unknown command \"frobnicate\""));
    EXPECT_EQ(ParseScript(QStringLiteral("wait -5")).errorLine, 1);
}

} // namespace
