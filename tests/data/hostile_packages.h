#pragma once
// The hand-made hostile packages, each stopping the import at a failure of
// its own, and each a seed of the import fuzz target under its name in
// fuzz/data/corpus, written there by kelmora_write_fuzz_seeds. Reader errors
// are matched by kind and part.

#include <gmock/gmock.h>

#include <functional>
#include <ostream>
#include <string>
#include <vector>

#include "data/shared_data.h"
#include "data/xlsx/xlsx_error.h"
#include "support/package_builder.h"

namespace kelmora::xlsx {

// The description names the part and what is wrong with it.
inline void PrintTo(const XlsxError& error, std::ostream* out) { *out << error.what(); }

inline ::testing::Matcher<const XlsxError&> IsXlsxError(XlsxError::Kind kind, const std::string& part) {
  return ::testing::AllOf(::testing::Property("kind", &XlsxError::kind, kind),
                          ::testing::Property("part", &XlsxError::part, part));
}

}  // namespace kelmora::xlsx

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

// The package as an input of the fuzz target, and the file name it has in
// the corpus.
std::string seedBytes(const HostilePackage& package);
std::string seedFileName(const HostilePackage& package);

}  // namespace kelmora::testing
