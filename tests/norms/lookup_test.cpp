// The raw-to-scaled search and its trace lines.

#include <gtest/gtest.h>

#include <limits>

#include "base/diagnostics.h"
#include "norms/lookup.h"

namespace kelmora {
namespace {

using Lines = std::vector<std::string>;

constexpr auto low = std::numeric_limits<std::int64_t>::min();
constexpr auto high = std::numeric_limits<std::int64_t>::max();

// Tables of our own: the search takes rows as they stand, unsorted and unchecked.
// clang-format off
const NormTableMap own = {
    {"1",
     {
         {"Ov", {{4, 0, 10}, {5, 5, 15}}},      // overlapping: the earlier row wins
         {"Rv", {{3, 10, 5}, {6, -20, -10}}},   // lowest above highest never matches
         {"Gp", {{2, 0, 3}, {3, 6, 9}}},        // a raw score between rows is in none
         {"Un", {{9, 8, 9}, {1, 0, 2}}},        // not sorted by raw score
         {"Ph", {{13, 0, 0}, {1, 0, 2}}},       // a placeholder row first matches raw 0
         {"Wd", {{11, low, high}}},             // the whole 64-bit range
         {"Em", {}},
     }},
};
// clang-format on

TEST(Lookup, RowsAreTakenAsTheyStand) {
  // clang-format off
  const std::tuple<const char*, std::int64_t, std::optional<std::int64_t>> cases[] = {
      {"Ov", 7, 4}, {"Ov", 12, 5}, {"Rv", 7, std::nullopt}, {"Rv", -15, 6}, {"Gp", 3, 2}, {"Gp", 4, std::nullopt},
      {"Gp", 6, 3}, {"Un", 1, 1}, {"Un", 9, 9}, {"Ph", 0, 13}, {"Ph", 1, 1}, {"Wd", low, 11}, {"Wd", high, 11},
  };
  // clang-format on
  OutputCapture quiet;  // the trace
  for (const auto& [code, raw, scaled] : cases)
    EXPECT_EQ(lookupValue(own, "1", code, raw), scaled) << code << " " << raw;
}

// Every row is traced until one matches, each bound test that holds with its
// line (the transcripts hold a run's lookups; here the rows they never meet);
// an unknown band or code prints nothing.
TEST(Lookup, TraceLines) {
  // clang-format off
  const std::tuple<const char*, const char*, std::int64_t, Lines> cases[] = {
      {"1", "Rv", 7,
       {"3: Ser i tabell Rv etter value = 7 min = 10 max = 5",
        "6: Ser i tabell Rv etter value = 7 min = -20 max = -10", "7 er større enn eller lik minimumsverdien -20"}},
      {"1", "Rv", -30,
       {"3: Ser i tabell Rv etter value = -30 min = 10 max = 5", "-30 er mindre enn eller lik maksimumsverdien 5",
        "6: Ser i tabell Rv etter value = -30 min = -20 max = -10",
        "-30 er mindre enn eller lik maksimumsverdien -10"}},
      {"1", "Em", 7, {}}, {"2", "Ov", 5, {}}, {" 1", "Ov", 5, {}}, {"1.0", "Ov", 5, {}}, {"01", "Ov", 5, {}},
      {"1", "ov", 5, {}}, {"1", "Ov ", 5, {}}, {"1", "", 5, {}},
  };
  // clang-format on
  for (const auto& [band, code, raw, lines] : cases) {
    OutputCapture capture;
    lookupValue(own, band, code, raw);
    EXPECT_EQ(capture.lines(), lines) << band << "/" << code << " " << raw;
  }
}

}  // namespace
}  // namespace kelmora
