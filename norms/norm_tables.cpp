#include "norms/norm_tables.h"

#include <algorithm>
#include <array>
#include <stdexcept>
#include <string_view>

#include "base/whole_number.h"
#include "norms/norm_table_data.h"
#include "norms/subtests.h"

namespace kelmora {
namespace {

NormTable buildTable(std::string_view band) {
  NormTable table;
  for (const auto& data : detail::normBands) {
    if (data.key != band) continue;
    for (const auto& entry : data.rows) {
      table[std::string(entry.code)].push_back({entry.scaled, entry.lowest, entry.highest});
    }
  }
  return table;
}

// Every band's table in the order of the keys, built together on first use;
// C++ guarantees that concurrent first uses wait for that one construction.
const std::array<NormTable, bandKeys.size()>& bandTables() {
  static const auto all = [] {
    std::array<NormTable, bandKeys.size()> built;
    for (std::size_t b = 0; b < bandKeys.size(); ++b) built[b] = buildTable(bandKeys[b]);
    return built;
  }();
  return all;
}

// The place of `key` among the band keys; an accessor for a key that is not
// among them does not compile.
consteval std::size_t bandIndex(std::string_view key) {
  for (std::size_t b = 0; b < bandKeys.size(); ++b) {
    if (bandKeys[b] == key) return b;
  }
  throw std::invalid_argument("not a band key");
}

}  // namespace

const NormTable& age16Table() { return bandTables()[bandIndex("16")]; }
const NormTable& age18Table() { return bandTables()[bandIndex("18")]; }
const NormTable& age20Table() { return bandTables()[bandIndex("20")]; }
const NormTable& age25Table() { return bandTables()[bandIndex("25")]; }
const NormTable& age30Table() { return bandTables()[bandIndex("30")]; }
const NormTable& age35Table() { return bandTables()[bandIndex("35")]; }
const NormTable& age45Table() { return bandTables()[bandIndex("45")]; }
const NormTable& age55Table() { return bandTables()[bandIndex("55")]; }
const NormTable& age65Table() { return bandTables()[bandIndex("65")]; }

const NormTableMap& rangetables() {
  static const NormTableMap map = [] {
    NormTableMap bands;
    for (std::size_t b = 0; b < bandKeys.size(); ++b) bands.emplace(bandKeys[b], bandTables()[b]);
    return bands;
  }();
  return map;
}

std::optional<std::string> getClosestAgeTableKey(std::int64_t age, const NormTableMap& from) {
  std::vector<std::int64_t> keys;
  keys.reserve(from.size());
  for (const auto& [key, table] : from) {
    if (const auto number = parseWholeNumber(key)) keys.push_back(*number);
  }
  std::sort(keys.begin(), keys.end());

  std::optional<std::int64_t> candidate;
  for (std::int64_t key : keys) {
    if (age < key) break;
    candidate = key;
  }
  if (!candidate) return std::nullopt;
  return formatWholeNumber(*candidate);
}

}  // namespace kelmora
