// A table in CSV as spreadsheets write it (RFC 4180): fields in double
// quotes may hold the separator, doubled quotes and line breaks; UTF-8 with
// or without a byte order mark; records ended by CR LF, LF or CR. The
// separator is the first comma or semicolon of the header line (spreadsheets
// in many locales write semicolons), a comma when it has neither.
#pragma once

#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace telvor {

struct CsvRecord {
    // The line of the file the record begins on, from 1.
    int line = 0;
    std::vector<std::string> fields;
};

struct CsvTable {
    char separator = ',';
    // The header first. Records whose every field is empty (blank lines, the
    // separators alone of an empty spreadsheet row) are left out.
    std::vector<CsvRecord> records;
};

struct CsvError {
    int line = 0;
    std::string reason;
};

std::variant<CsvTable, CsvError> readCsv(std::string_view text);

} // namespace telvor
