#include "norms/norm_tables.h"

#include <algorithm>
#include <string_view>

#include "base/whole_number.h"
#include "norms/norm_file.h"
#include "norms/norm_table_data.h"

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

// A function-local static: built once on first use, and C++ guarantees that
// concurrent first uses wait for that one construction.
template <std::size_t band>
const NormTable& bandTable() {
  static const NormTable table = buildTable(bandKeys[band]);
  return table;
}

}  // namespace

const NormTable& age16Table() { return bandTable<0>(); }
const NormTable& age18Table() { return bandTable<1>(); }
const NormTable& age20Table() { return bandTable<2>(); }
const NormTable& age25Table() { return bandTable<3>(); }
const NormTable& age30Table() { return bandTable<4>(); }
const NormTable& age35Table() { return bandTable<5>(); }
const NormTable& age45Table() { return bandTable<6>(); }
const NormTable& age55Table() { return bandTable<7>(); }
const NormTable& age65Table() { return bandTable<8>(); }

const NormTableMap& rangetables() {
  // clang-format off
  static const NormTableMap map = {
      {"16", age16Table()}, {"18", age18Table()}, {"20", age20Table()},
      {"25", age25Table()}, {"30", age30Table()}, {"35", age35Table()},
      {"45", age45Table()}, {"55", age55Table()}, {"65", age65Table()},
  };
  // clang-format on
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
