#pragma once
// The text form of one band's norm rows, "code;scaled;lowest;highest" per
// line. The build reads these files into constant tables, so this parser runs
// in the table compiler; its errors stop the build.

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "norms/subtests.h"

namespace kelmora {

// The fifteen subtest codes every band holds, the ten scored ones first.
inline constexpr auto subtestCodes = [] {
  std::array<std::string_view, subtests.size()> codes{};
  for (std::size_t i = 0; i < subtests.size(); ++i) codes[i] = subtests[i].code;
  return codes;
}();

struct NormFileRow {
  std::string code;
  std::int64_t scaled = 0;
  std::int64_t lowest = 0;
  std::int64_t highest = 0;
  bool operator==(const NormFileRow&) const = default;
};

struct NormFileError {
  std::size_t line = 0;  // 1-based; 0 when the error concerns the whole file
  std::string message;
};

// Parses a whole band file. A line feed ends a line; a carriage return before
// it and a byte-order mark at the start are tolerated, blank lines skipped.
// Every code must be one of the fifteen and each of them must have a row, so
// that a mistyped code cannot silently leave a subtest without norms.
std::variant<std::vector<NormFileRow>, NormFileError> parseNormFile(std::string_view text);

}  // namespace kelmora
