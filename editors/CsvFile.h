#pragma once
// The CSV files the windows export (calibration, sales views, alarm list): ';' between fields with a "sep=;"
// first line so that Italian and English spreadsheets both split the columns, a header row, CRLF line ends,
// UTF-8. The file is written to a temporary and renamed over the old one, so a failed write never leaves half
// a file.

#include <QString>
#include <QStringList>

#include <vector>

namespace vm::editors {

QString csvText(const QStringList& header, const std::vector<QStringList>& rows);
// Empty on success, otherwise why the file was not written.
QString writeCsv(const QString& path, const QStringList& header, const std::vector<QStringList>& rows);

} // namespace vm::editors
