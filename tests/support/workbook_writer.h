#pragma once
// Writes small .xlsx workbooks for the tests and the benchmarks, and the
// workbook of the client that the end-to-end test loads.

#include <filesystem>
#include <string>
#include <variant>
#include <vector>

#include <xlsxwriter.h>

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
inline bool writeWorkbook(const std::filesystem::path& file, const std::vector<SheetRows>& sheets) {
  lxw_workbook* workbook = workbook_new(file.c_str());
  if (!workbook) return false;
  lxw_format* shortDate = workbook_add_format(workbook);
  format_set_num_format_index(shortDate, 14);
  for (const auto& rows : sheets) {
    lxw_worksheet* sheet = workbook_add_worksheet(workbook, nullptr);
    for (lxw_row_t r = 0; r < rows.size(); ++r) {
      for (lxw_col_t c = 0; c < rows[r].size(); ++c) {
        const Cell& cell = rows[r][c];
        if (const auto* text = std::get_if<std::string>(&cell)) {
          worksheet_write_string(sheet, r, c, text->c_str(), nullptr);
        } else {
          const auto* date = std::get_if<ShortDate>(&cell);
          worksheet_write_number(sheet, r, c, date ? date->serial : std::get<double>(cell), date ? shortDate : nullptr);
        }
      }
    }
  }
  return workbook_close(workbook) == LXW_NO_ERROR;
}

// Ingrid Bakken, the end-to-end client (not the sample client the report is
// drawn for): 33 years old at the test date, every raw score giving the scaled
// score 10 in the shipped tables. The birth date is a short-date cell, the
// test date text.
inline std::vector<SheetRows> endToEndClientWorkbook() {
  using S = std::string;
  return {
      {{S("Navn"), S("Fødselsdato"), S("Testdato"), S("Kjønn"), S("Hendthet")},
       {S("Ingrid Bakken"), ShortDate{32978}, S("02-03-2024"), S("K"), S("H")}},
      {{S("Tm"), S("Li"), S("Th"), S("Mr"), S("Of"), S("Rg"), S("Sl"), S("Vp"), S("In"), S("Kd")},
       {46.0, 25.0, 28.0, 17.0, 38.0, 14.0, 31.0, 15.0, 13.0, 72.0}},
  };
}

}  // namespace kelmora::testing
