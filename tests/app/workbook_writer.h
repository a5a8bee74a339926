#pragma once
// Writes small .xlsx workbooks for the application's tests.

#include <filesystem>
#include <string>
#include <variant>
#include <vector>

namespace kelmora::testing {

// Text, a number, or a date cell in Excel's built-in short-date format
// (number format 14), given as its serial day number.
struct ShortDate {
  double serial;
};
using Cell = std::variant<std::string, double, ShortDate>;
using SheetRows = std::vector<std::vector<Cell>>;

// One worksheet per entry, its rows from the top; false when the file could
// not be written.
bool writeWorkbook(const std::filesystem::path& file, const std::vector<SheetRows>& sheets);

}  // namespace kelmora::testing
