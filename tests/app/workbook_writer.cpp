#include "workbook_writer.h"

#include <xlsxwriter.h>

namespace kelmora::testing {

bool writeWorkbook(const std::filesystem::path& file, const std::vector<SheetRows>& sheets) {
  lxw_workbook* workbook = workbook_new(file.c_str());
  if (!workbook) return false;
  lxw_format* shortDate = workbook_add_format(workbook);
  format_set_num_format_index(shortDate, 14);
  for (const auto& rows : sheets) {
    lxw_worksheet* sheet = workbook_add_worksheet(workbook, nullptr);
    for (std::size_t r = 0; r < rows.size(); ++r) {
      for (std::size_t c = 0; c < rows[r].size(); ++c) {
        const auto row = static_cast<lxw_row_t>(r);
        const auto column = static_cast<lxw_col_t>(c);
        const Cell& cell = rows[r][c];
        if (const auto* text = std::get_if<std::string>(&cell)) {
          worksheet_write_string(sheet, row, column, text->c_str(), nullptr);
        } else if (const auto* number = std::get_if<double>(&cell)) {
          worksheet_write_number(sheet, row, column, *number, nullptr);
        } else {
          worksheet_write_number(sheet, row, column, std::get<ShortDate>(cell).serial, shortDate);
        }
      }
    }
  }
  return workbook_close(workbook) == LXW_NO_ERROR;
}

}  // namespace kelmora::testing
