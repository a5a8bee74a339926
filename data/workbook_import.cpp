#include "data/workbook_import.h"

#include <exception>

#include "base/diagnostics.h"
#include "data/cell_value.h"
#include "data/xlsx/xlsx_file.h"
#include "norms/debug_mode.h"

namespace kelmora {
namespace {

// Only the key row and the value row are ever converted.
constexpr std::size_t rowsRead = 2;

std::vector<std::string> rowTexts(const xlsx::Row& row, const xlsx::SharedStrings* sharedStrings,
                                  const xlsx::Styles& styles, bool date1904) {
  std::vector<std::string> texts;
  texts.reserve(row.cells.size());
  for (const auto& cell : row.cells) {
    texts.push_back(getCellValue(cell, sharedStrings, styles, date1904).value_or("Ukjent"));
  }
  return texts;
}

}  // namespace

void checkDataValidity(const std::vector<std::string>& headerRow, const std::vector<std::string>& rowData,
                       bool& showAlert) {
  if (headerRow.size() == rowData.size()) return;
  printItems("Ulik lengde på headerRow og rowData");
  printItems("headerRow.count: ", headerRow.size(), ", rowData.count: ", rowData.size());
  showAlert = true;
}

void importPairs(const xlsx::XLSXFile& workbookFile, ExcelData& pairs, bool& showAlert) {
  const xlsx::Styles styles = workbookFile.parseStyles();
  const std::optional<xlsx::SharedStrings> sharedStrings = workbookFile.parseSharedStrings();
  const xlsx::SharedStrings* strings = sharedStrings ? &*sharedStrings : nullptr;
  for (const auto& workbook : workbookFile.parseWorkbooks()) {
    for (const auto& [name, path] : workbookFile.parseWorksheetPathsAndNames(workbook)) {
      const xlsx::Worksheet worksheet = workbookFile.parseWorksheet(path, rowsRead);
      if (!worksheet.data || worksheet.data->rows.size() < rowsRead) continue;
      const auto headerRow = rowTexts(worksheet.data->rows[0], strings, styles, workbook.date1904);
      const auto rowData = rowTexts(worksheet.data->rows[1], strings, styles, workbook.date1904);
      if (headerRow.size() != rowData.size()) {
        checkDataValidity(headerRow, rowData, showAlert);
        continue;
      }
      for (std::size_t i = 0; i < headerRow.size(); ++i) pairs[headerRow[i]] = rowData[i];
    }
  }
}

ExcelData importWorkbook(const xlsx::XLSXFile& workbookFile, bool& showAlert) {
  ExcelData result;
  try {
    importPairs(workbookFile, result, showAlert);
  } catch (const std::exception& error) {
    printLine(std::string("An error occurred: ") + error.what());
  }
  return result;
}

std::optional<ExcelData> handleFile(const std::filesystem::path& file, bool& showAlert) {
  if (debugMode) {
    printItems("handleFile");
    printItems(file.string());
  }
  const auto workbookFile = xlsx::XLSXFile::open(file);
  if (!workbookFile) return std::nullopt;
  return importWorkbook(*workbookFile, showAlert);
}

}  // namespace kelmora
