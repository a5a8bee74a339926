#pragma once
// The norm rows as the build compiles them from resources/norms/<band>.csv:
// constant data, so nothing is read at run time.

#include <array>
#include <cstdint>
#include <span>
#include <string_view>

#include "norms/subtests.h"

namespace kelmora::detail {

struct NormEntry {
  std::string_view code;
  std::int64_t scaled;
  std::int64_t lowest;
  std::int64_t highest;
};

struct NormBandData {
  std::string_view key;
  std::span<const NormEntry> rows;  // in file order
};

// One entry per band key, in ascending age.
extern const std::array<NormBandData, bandKeys.size()> normBands;

}  // namespace kelmora::detail
