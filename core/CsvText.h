#pragma once
// The text of the CSV files the program writes (sales views, alarm list, the command-line audit): a "sep=;"
// first line so that Italian and English spreadsheets both split on ';', a header row, CRLF line ends. A
// field holding ';', a quote or a line break is quoted, its quotes doubled.

#include <string>
#include <vector>

namespace vm {

using CsvRow = std::vector<std::string>;

std::string CsvText(const CsvRow& header, const std::vector<CsvRow>& rows);

} // namespace vm
