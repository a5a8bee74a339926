#pragma once
// The nine age-band norm tables and the choice of a band for an age.

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace kelmora {

// One row: the scaled score and the inclusive range of raw scores giving it.
struct NormRow {
  std::int64_t scaled = 0;
  std::int64_t lowest = 0;
  std::int64_t highest = 0;
  bool operator==(const NormRow&) const = default;
};

// Subtest code to its rows, in the order the lookup examines them.
using NormTable = std::map<std::string, std::vector<NormRow>>;

// Band key ("16" ... "65") to the band's table.
using NormTableMap = std::map<std::string, NormTable>;

// The band tables, built on first use and constant afterwards.
const NormTable& age16Table();
const NormTable& age18Table();
const NormTable& age20Table();
const NormTable& age25Table();
const NormTable& age30Table();
const NormTable& age35Table();
const NormTable& age45Table();
const NormTable& age55Table();
const NormTable& age65Table();

// The one map from band key to band table; built on first use (thread-safe).
const NormTableMap& rangetables();

// The largest key of `from` that reads as a whole number and is not above
// `age`, written as plain decimal; no value when there is none. Keys that are
// not whole numbers are ignored.
std::optional<std::string> getClosestAgeTableKey(std::int64_t age, const NormTableMap& from);

}  // namespace kelmora
