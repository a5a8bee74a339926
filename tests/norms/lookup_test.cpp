// The raw-to-scaled search and its trace lines.

#include <gtest/gtest.h>

#include <limits>

#include "norms/diagnostics.h"
#include "norms/lookup.h"

namespace kelmora {
namespace {

using Lines = std::vector<std::string>;

TEST(Lookup, UnknownBandOrCodeGivesNothingAndPrintsNothing) {
  const std::pair<std::string, std::string> cases[] = {
      {"17", "Tm"}, {"", "Tm"}, {" 16", "Tm"}, {"16.0", "Tm"},
      {"16", "tm"}, {"16", "sTm"}, {"16", ""}, {"16", "Tm "},
  };
  for (const auto& [band, code] : cases) {
    OutputCapture capture;
    EXPECT_EQ(lookupValue(band, code, 5), std::nullopt) << band << "/" << code;
    EXPECT_EQ(capture.text(), "") << band << "/" << code;
  }
}

TEST(Lookup, MatchInTheFirstRowPrintsFourLines) {
  OutputCapture capture;
  EXPECT_EQ(lookupValue("16", "Tm", 5), 1);
  EXPECT_EQ(capture.lines(), (Lines{
                                 "1: Ser i tabell Tm etter value = 5 min = 0 max = 8",
                                 "5 er større enn eller lik minimumsverdien 0",
                                 "5 er mindre enn eller lik maksimumsverdien 8",
                                 "Fant skala for verdi 5 i intervallet (0, 8): 1",
                             }));
}

TEST(Lookup, RawScoreBelowEveryRowTracesEachRowWithItsUpperBoundLine) {
  OutputCapture capture;
  EXPECT_EQ(lookupValue("16", "Tm", -1), std::nullopt);
  const auto lines = capture.lines();
  ASSERT_EQ(lines.size(), 36u);
  EXPECT_EQ(lines[0], "1: Ser i tabell Tm etter value = -1 min = 0 max = 8");
  EXPECT_EQ(lines[1], "-1 er mindre enn eller lik maksimumsverdien 8");
  EXPECT_EQ(lines[35], "-1 er mindre enn eller lik maksimumsverdien 66");
}

TEST(Lookup, RawScoreAboveEveryRowTracesEachRowWithItsLowerBoundLine) {
  OutputCapture capture;
  EXPECT_EQ(lookupValue("16", "Tm", 67), std::nullopt);
  const auto lines = capture.lines();
  ASSERT_EQ(lines.size(), 36u);
  EXPECT_EQ(lines[34], "19: Ser i tabell Tm etter value = 67 min = 66 max = 66");
  EXPECT_EQ(lines[35], "67 er større enn eller lik minimumsverdien 66");
}

TEST(Lookup, BothBoundsOfEveryShippedRowAreInclusive) {
  OutputCapture quiet;
  for (const auto& [band, table] : rangetables()) {
    for (const auto& [code, rows] : table) {
      for (const NormRow& row : rows) {
        if (row.lowest == 0 && row.highest == 0 && row.scaled != 1) continue;  // placeholder
        EXPECT_EQ(lookupValue(band, code, row.lowest), row.scaled) << band << code;
        EXPECT_EQ(lookupValue(band, code, row.highest), row.scaled) << band << code;
      }
    }
  }
}

// Tables of our own: the search takes rows as they stand, unsorted and unchecked.
TEST(Lookup, RowsAreTakenAsTheyStand) {
  constexpr auto low = std::numeric_limits<std::int64_t>::min();
  constexpr auto high = std::numeric_limits<std::int64_t>::max();
  const NormTableMap tables = {
      {"1",
       {
           {"Ov", {{4, 0, 10}, {5, 5, 15}}},      // overlapping: the earlier row wins
           {"Rv", {{3, 10, 5}, {7, 0, 20}}},      // lowest above highest never matches
           {"Gp", {{2, 0, 3}, {3, 6, 9}}},        // a raw score between rows is in none
           {"Un", {{9, 8, 9}, {1, 0, 2}}},        // not sorted by raw score
           {"Wd", {{11, low, high}}},             // the whole 64-bit range
           {"Ng", {{6, -20, -10}}},
           {"Em", {}},
       }},
  };
  const struct {
    const char* code;
    std::int64_t raw;
    std::optional<std::int64_t> scaled;
  } cases[] = {
      {"Ov", 7, 4}, {"Ov", 12, 5}, {"Rv", 7, 7}, {"Gp", 4, std::nullopt}, {"Gp", 6, 3},
      {"Un", 1, 1}, {"Un", 9, 9}, {"Wd", low, 11}, {"Wd", high, 11}, {"Ng", -15, 6},
      {"Ng", 0, std::nullopt}, {"Em", 0, std::nullopt},
  };
  for (const auto& c : cases) {
    OutputCapture quiet;
    EXPECT_EQ(lookupValue(tables, "1", c.code, c.raw), c.scaled) << c.code << " " << c.raw;
  }
}

TEST(Lookup, TraceOfRowsThatDoNotMatch) {
  const NormTableMap tables = {{"1", {{"Rv", {{3, 10, 5}, {6, -20, -10}}}, {"Em", {}}}}};
  {
    // Between the bounds of a reversed row: neither test holds, the row line stands alone.
    OutputCapture capture;
    EXPECT_EQ(lookupValue(tables, "1", "Rv", 7), std::nullopt);
    EXPECT_EQ(capture.lines(), (Lines{
                                   "3: Ser i tabell Rv etter value = 7 min = 10 max = 5",
                                   "6: Ser i tabell Rv etter value = 7 min = -20 max = -10",
                                   "7 er større enn eller lik minimumsverdien -20",
                               }));
  }
  {
    OutputCapture capture;
    EXPECT_EQ(lookupValue(tables, "1", "Em", 7), std::nullopt);
    EXPECT_EQ(capture.text(), "");
  }
}

}  // namespace
}  // namespace kelmora
