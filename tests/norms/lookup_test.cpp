// The raw-to-scaled search and its trace lines.

#include <gtest/gtest.h>

#include <limits>

#include "base/diagnostics.h"
#include "norms/lookup.h"

namespace kelmora {
namespace {

using Lines = std::vector<std::string>;

// Tables of our own: the search takes rows as they stand, unsorted and unchecked.
TEST(Lookup, RowsAreTakenAsTheyStand) {
  constexpr auto low = std::numeric_limits<std::int64_t>::min();
  constexpr auto high = std::numeric_limits<std::int64_t>::max();
  // clang-format off
  const NormTableMap tables = {
      {"1",
       {
           {"Ov", {{4, 0, 10}, {5, 5, 15}}},      // overlapping: the earlier row wins
           {"Rv", {{3, 10, 5}, {7, 0, 20}}},      // lowest above highest never matches
           {"Gp", {{2, 0, 3}, {3, 6, 9}}},        // a raw score between rows is in none
           {"Un", {{9, 8, 9}, {1, 0, 2}}},        // not sorted by raw score
           {"Ph", {{13, 0, 0}, {1, 0, 2}}},       // a placeholder row first matches raw 0
           {"Wd", {{11, low, high}}},             // the whole 64-bit range
           {"Ng", {{6, -20, -10}}},
       }},
  };
  // clang-format on
  const struct {
    const char* code;
    std::int64_t raw;
    std::optional<std::int64_t> scaled;
    // clang-format off
  } cases[] = {
      {"Ov", 7, 4}, {"Ov", 12, 5}, {"Rv", 7, 7}, {"Gp", 3, 2}, {"Gp", 4, std::nullopt}, {"Gp", 6, 3},
      {"Un", 1, 1}, {"Un", 9, 9}, {"Ph", 0, 13}, {"Ph", 1, 1}, {"Wd", low, 11}, {"Wd", high, 11},
      {"Ng", -15, 6}, {"Ng", 0, std::nullopt},
  };
  // clang-format on
  for (const auto& c : cases) {
    OutputCapture quiet;
    EXPECT_EQ(lookupValue(tables, "1", c.code, c.raw), c.scaled) << c.code << " " << c.raw;
  }
}

// Every row is traced until one matches, each bound test that holds with its
// line; an unknown band or code prints nothing.
TEST(Lookup, TraceLines) {
  const NormTableMap own = {{"1", {{"Rv", {{3, 10, 5}, {6, -20, -10}}}, {"Eq", {{4, 3, 3}}}, {"Em", {}}}}};
  const struct {
    const NormTableMap& tables;
    const char* band;
    const char* code;
    std::int64_t raw;
    std::optional<std::int64_t> scaled;
    Lines lines;
    // clang-format off
  } cases[] = {
      {rangetables(), "16", "Tm", 5, 1,
       {"1: Ser i tabell Tm etter value = 5 min = 0 max = 8", "5 er større enn eller lik minimumsverdien 0",
        "5 er mindre enn eller lik maksimumsverdien 8", "Fant skala for verdi 5 i intervallet (0, 8): 1"}},
      {own, "1", "Rv", 7, std::nullopt,
       {"3: Ser i tabell Rv etter value = 7 min = 10 max = 5",
        "6: Ser i tabell Rv etter value = 7 min = -20 max = -10", "7 er større enn eller lik minimumsverdien -20"}},
      {own, "1", "Rv", -30, std::nullopt,
       {"3: Ser i tabell Rv etter value = -30 min = 10 max = 5", "-30 er mindre enn eller lik maksimumsverdien 5",
        "6: Ser i tabell Rv etter value = -30 min = -20 max = -10",
        "-30 er mindre enn eller lik maksimumsverdien -10"}},
      {own, "1", "Eq", 3, 4,
       {"4: Ser i tabell Eq etter value = 3 min = 3 max = 3", "3 er større enn eller lik minimumsverdien 3",
        "3 er mindre enn eller lik maksimumsverdien 3", "Fant skala for verdi 3 i intervallet (3, 3): 4"}},
      {own, "1", "Em", 7, std::nullopt, {}},
      {rangetables(), "17", "Tm", 5, std::nullopt, {}}, {rangetables(), " 16", "Tm", 5, std::nullopt, {}},
      {rangetables(), "16.0", "Tm", 5, std::nullopt, {}}, {rangetables(), "16", "tm", 5, std::nullopt, {}},
      {rangetables(), "16", "Tm ", 5, std::nullopt, {}}, {rangetables(), "16", "", 5, std::nullopt, {}},
  };
  // clang-format on
  for (const auto& c : cases) {
    OutputCapture capture;
    EXPECT_EQ(lookupValue(c.tables, c.band, c.code, c.raw), c.scaled) << c.band << "/" << c.code << " " << c.raw;
    EXPECT_EQ(capture.lines(), c.lines) << c.band << "/" << c.code << " " << c.raw;
  }
}

}  // namespace
}  // namespace kelmora
