// Reading a spreadsheet saved as comma-separated or tab-separated text: RFC
// 4180 quoting (fields with separators, quotes and line breaks), UTF-8 with
// or without a byte-order mark, else Windows-1252 (converted to UTF-8).
#pragma once

#include <string>
#include <vector>

namespace tarne {

struct SpreadsheetRow {
  int line = 0;  // where the row starts in the file, from 1
  std::vector<std::string> fields;
};

struct Spreadsheet {
  std::vector<std::string> header;
  std::vector<SpreadsheetRow> rows;
  char separator = ',';
  bool windows1252 = false;  // the bytes were not UTF-8
};

// Reads text (the whole file); the separator is a tab when the first line
// holds one, else a comma.  Answers false with why set on a malformed file.
bool ParseSpreadsheet(std::string text, Spreadsheet& out, std::string& why);

}  // namespace tarne
