#include "data/workbook_import.h"

namespace kelmora {

std::optional<ExcelData> handleFile(const std::filesystem::path&, bool&) { return std::nullopt; }

}  // namespace kelmora
