#include "norms/lookup.h"

#include <string>

#include "base/diagnostics.h"
#include "norms/norm_tables.h"

namespace kelmora {

std::optional<std::int64_t> lookupValue(std::string_view inTable, std::string_view category, std::int64_t value) {
  return lookupValue(rangetables(), inTable, category, value);
}

std::optional<std::int64_t> lookupValue(const NormTableMap& bands, std::string_view inTable, std::string_view category,
                                        std::int64_t value) {
  const auto band = bands.find(std::string(inTable));
  if (band == bands.end()) return std::nullopt;
  const auto rows = band->second.find(std::string(category));
  if (rows == band->second.end()) return std::nullopt;

  const std::string raw = std::to_string(value);
  for (const NormRow& row : rows->second) {
    const std::string lowest = std::to_string(row.lowest);
    const std::string highest = std::to_string(row.highest);
    printLine(std::to_string(row.scaled) + ": Ser i tabell " + std::string(category) + " etter value = " + raw +
              " min = " + lowest + " max = " + highest);
    if (value >= row.lowest) printLine(raw + " er større enn eller lik minimumsverdien " + lowest);
    if (row.highest >= value) printLine(raw + " er mindre enn eller lik maksimumsverdien " + highest);
    if (value >= row.lowest && row.highest >= value) {
      printLine("Fant skala for verdi " + raw + " i intervallet (" + lowest + ", " + highest +
                "): " + std::to_string(row.scaled));
      return row.scaled;
    }
  }
  return std::nullopt;
}

}  // namespace kelmora
