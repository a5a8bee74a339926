#pragma once
// The hand-made hostile packages, each stopping the import at a failure of
// its own. The import's tests read them, and each is a seed of the import
// fuzz target under its name in fuzz/data/corpus, written there by
// kelmora_write_fuzz_seeds.

#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "data/shared_data.h"
#include "data/xlsx/xlsx_error.h"
#include "support/package_builder.h"

namespace kelmora::xlsx {
class XLSXFile;
}

namespace kelmora::testing {

struct HostilePackage {
  std::string name;  // what is broken, in the seed's file name
  std::vector<Part> parts;
  ExcelData readBefore;  // the pairs the import reads before it stops
  xlsx::XlsxError::Kind kind;
  std::string part;
  // Done to the written bytes, for what parts alone cannot break. Such a
  // package is seeded as the bytes of a file, the others in the parts form.
  std::function<void(std::string& bytes)> damage = {};
};

const std::vector<HostilePackage>& hostilePackages();

void writeHostilePackage(const std::filesystem::path& file, const HostilePackage& package);

// The package as an input of the fuzz target, and the file name it has in
// the corpus.
std::string seedBytes(const HostilePackage& package);
std::string seedFileName(const HostilePackage& package);

// What stops the import, caught before it is printed; nothing when the
// import reads through.
std::optional<xlsx::XlsxError> importFailure(const xlsx::XLSXFile& file);

}  // namespace kelmora::testing
