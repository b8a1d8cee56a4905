#include "CsvFile.h"

#include <QSaveFile>

namespace vm::editors {

namespace {
// A field with the separator, a quote or a line break is quoted, its quotes doubled.
QString field(const QString& text) {
    if (!text.contains(u';') && !text.contains(u'"') && !text.contains(u'\n') && !text.contains(u'\r'))
        return text;
    QString quoted = text;
    quoted.replace(QStringLiteral("\""), QStringLiteral("\"\""));
    return u'"' + quoted + u'"';
}

QString line(const QStringList& fields) {
    QStringList out;
    for (const QString& f : fields)
        out.append(field(f));
    return out.join(u';') + QStringLiteral("\r\n");
}
} // namespace

QString csvText(const QStringList& header, const std::vector<QStringList>& rows) {
    QString text = QStringLiteral("sep=;\r\n") + line(header);
    for (const QStringList& row : rows)
        text += line(row);
    return text;
}

QString writeCsv(const QString& path, const QStringList& header, const std::vector<QStringList>& rows) {
    QSaveFile file(path);
    const QByteArray bytes = csvText(header, rows).toUtf8();
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit())
        return file.errorString();
    return {};
}

} // namespace vm::editors
