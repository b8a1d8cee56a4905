#include "CsvFile.h"

#include "CsvText.h"

#include <QSaveFile>

namespace vm::editors {

namespace {
CsvRow utf8(const QStringList& fields) {
    CsvRow row;
    row.reserve(static_cast<std::size_t>(fields.size()));
    for (const QString& f : fields)
        row.push_back(f.toStdString());
    return row;
}
} // namespace

QString csvText(const QStringList& header, const std::vector<QStringList>& rows) {
    std::vector<CsvRow> table;
    table.reserve(rows.size());
    for (const QStringList& row : rows)
        table.push_back(utf8(row));
    return QString::fromStdString(CsvText(utf8(header), table));
}

QString writeCsv(const QString& path, const QStringList& header, const std::vector<QStringList>& rows) {
    QSaveFile file(path);
    const QByteArray bytes = csvText(header, rows).toUtf8();
    if (!file.open(QIODevice::WriteOnly)) return file.errorString();
    // commit() misses a failure of the buffered part of the write (a full disk): the flush reports it, and
    // then the temporary is dropped and the previous file stays.
    if (file.write(bytes) != bytes.size() || !file.flush()) {
        // A write cut short keeps the system's reason to itself; the next attempt gets it.
        (void)file.flush();
        const QString why = file.errorString();
        file.cancelWriting();
        return why;
    }
    if (!file.commit()) return file.errorString();
    return {};
}

} // namespace vm::editors
