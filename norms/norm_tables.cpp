#include "norms/norm_tables.h"

#include <algorithm>
#include <string_view>

#include "norms/norm_table_data.h"
#include "base/whole_number.h"

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

}  // namespace

// Function-local statics: built once on first use, and C++ guarantees that
// concurrent first uses wait for that one construction.
const NormTable& age16Table() { static const NormTable table = buildTable("16"); return table; }
const NormTable& age18Table() { static const NormTable table = buildTable("18"); return table; }
const NormTable& age20Table() { static const NormTable table = buildTable("20"); return table; }
const NormTable& age25Table() { static const NormTable table = buildTable("25"); return table; }
const NormTable& age30Table() { static const NormTable table = buildTable("30"); return table; }
const NormTable& age35Table() { static const NormTable table = buildTable("35"); return table; }
const NormTable& age45Table() { static const NormTable table = buildTable("45"); return table; }
const NormTable& age55Table() { static const NormTable table = buildTable("55"); return table; }
const NormTable& age65Table() { static const NormTable table = buildTable("65"); return table; }

const NormTableMap& rangetables() {
  static const NormTableMap map = {
      {"16", age16Table()}, {"18", age18Table()}, {"20", age20Table()},
      {"25", age25Table()}, {"30", age30Table()}, {"35", age35Table()},
      {"45", age45Table()}, {"55", age55Table()}, {"65", age65Table()},
  };
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
