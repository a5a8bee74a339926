#pragma once
// Reads a client's workbook into key/value text pairs.

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "data/shared_data.h"

namespace kelmora {

namespace xlsx {
class XLSXFile;
}

// The pairs of every worksheet's key row (its first listed row) and value row
// (the next one), paired by position; no value when the file cannot be opened
// as a package. A reading failure after that prints "An error occurred: " and
// the reader's description and returns the pairs read so far. Raises
// showAlert (never lowers it) when a worksheet's two rows differ in length.
std::optional<ExcelData> handleFile(const std::filesystem::path& file, bool& showAlert);

// The same over a package that is already open.
ExcelData importWorkbook(const xlsx::XLSXFile& workbookFile, bool& showAlert);

// What importWorkbook does, up to the first reading failure, which leaves as
// thrown (an XlsxError) with the pairs read before it in `pairs`.
void importPairs(const xlsx::XLSXFile& workbookFile, ExcelData& pairs, bool& showAlert);

// Prints the two lengths and raises showAlert when the rows differ in length.
void checkDataValidity(const std::vector<std::string>& headerRow, const std::vector<std::string>& rowData,
                       bool& showAlert);

}  // namespace kelmora
