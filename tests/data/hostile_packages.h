#pragma once
// The hand-made hostile packages, each stopping the import at a failure of
// its own.

#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "data/package_builder.h"
#include "data/shared_data.h"
#include "data/xlsx/xlsx_error.h"

namespace kelmora::xlsx {
class XLSXFile;
}

namespace kelmora::testing {

struct HostilePackage {
  std::string name;  // what is broken
  std::vector<Part> parts;
  ExcelData readBefore;  // the pairs the import reads before it stops
  xlsx::XlsxError::Kind kind;
  std::string part;
  // Done to the written bytes, for what parts alone cannot break.
  std::function<void(std::string& bytes)> damage = {};
};

const std::vector<HostilePackage>& hostilePackages();

void writeHostilePackage(const std::filesystem::path& file, const HostilePackage& package);

// What stops the import, caught before it is printed; nothing when the
// import reads through.
std::optional<xlsx::XlsxError> importFailure(const xlsx::XLSXFile& file);

}  // namespace kelmora::testing
