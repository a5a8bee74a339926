#pragma once
// Reads a client's workbook into key/value text pairs.

#include <filesystem>
#include <optional>

#include "data/shared_data.h"

namespace kelmora {

// The pairs of every worksheet's key row and value row; no value when the file
// cannot be opened as a workbook. Raises showAlert (never lowers it) when a
// worksheet's two rows differ in length.
std::optional<ExcelData> handleFile(const std::filesystem::path& file, bool& showAlert);

}  // namespace kelmora
