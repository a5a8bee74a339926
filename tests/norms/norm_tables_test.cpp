// Band choice, and the shape of the norm tables the program is built with.

#include <gtest/gtest.h>

#include <latch>
#include <limits>
#include <set>
#include <thread>

#include "norms/diagnostics.h"
#include "norms/lookup.h"
#include "norms/norm_file.h"
#include "norms/norm_tables.h"

namespace kelmora {
namespace {

constexpr auto int64Max = std::numeric_limits<std::int64_t>::max();
constexpr auto int64Min = std::numeric_limits<std::int64_t>::min();

TEST(BandChoice, EveryAgeGetsItsBandFromRangetables) {
  const struct {
    std::int64_t age;
    std::optional<std::string> band;
  } cases[] = {
      {int64Min, std::nullopt}, {-3, std::nullopt}, {0, std::nullopt}, {15, std::nullopt},
      {16, "16"}, {17, "16"}, {18, "18"}, {19, "18"}, {20, "20"}, {24, "20"}, {25, "25"}, {29, "25"},
      {30, "30"}, {34, "30"}, {35, "35"}, {44, "35"}, {45, "45"}, {54, "45"}, {55, "55"}, {64, "55"},
      {65, "65"}, {120, "65"}, {int64Max, "65"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(getClosestAgeTableKey(c.age, rangetables()), c.band) << "age " << c.age;
  }
}

TEST(BandChoice, KeysThatAreNotWholeNumbersAreIgnored) {
  const NormTableMap map = {{"16", {}}, {"abc", {}}, {" 18", {}}, {"", {}}, {"18 ", {}},
                            {"99999999999999999999", {}}};
  EXPECT_EQ(getClosestAgeTableKey(30, map), "16");
  EXPECT_EQ(getClosestAgeTableKey(15, map), std::nullopt);
}

TEST(BandChoice, ResultIsThePlainDecimalOfTheKeyNotTheKeyAsStored) {
  EXPECT_EQ(getClosestAgeTableKey(25, {{"+20", {}}}), "20");
  EXPECT_EQ(getClosestAgeTableKey(10, {{"007", {}}}), "7");
  // Signed comparison and sorting: "-5" lies below "3" although it sorts after it as text.
  const NormTableMap signedKeys = {{"-5", {}}, {"3", {}}};
  EXPECT_EQ(getClosestAgeTableKey(-5, signedKeys), "-5");
  EXPECT_EQ(getClosestAgeTableKey(2, signedKeys), "-5");
  EXPECT_EQ(getClosestAgeTableKey(-6, signedKeys), std::nullopt);
  // Numeric, not textual, order: 100 is above 65.
  EXPECT_EQ(getClosestAgeTableKey(80, {{"65", {}}, {"100", {}}}), "65");
}

TEST(BandChoice, EmptyMapGivesNoBand) {
  for (std::int64_t age : {int64Min, std::int64_t{0}, std::int64_t{40}, int64Max}) {
    EXPECT_EQ(getClosestAgeTableKey(age, {}), std::nullopt);
  }
}

TEST(Rangetables, ConcurrentFirstUsesSeeOneFinishedMap) {
  constexpr int threadCount = 8;
  std::latch start(threadCount);
  std::vector<const NormTableMap*> seen(threadCount);
  std::vector<std::size_t> sizes(threadCount);
  {
    std::vector<std::jthread> threads;
    for (int i = 0; i < threadCount; ++i) {
      threads.emplace_back([&, i] {
        start.arrive_and_wait();
        seen[i] = &rangetables();
        sizes[i] = seen[i]->size();
      });
    }
  }
  for (int i = 0; i < threadCount; ++i) {
    EXPECT_EQ(seen[i], seen[0]);
    EXPECT_EQ(sizes[i], 9u);
  }
}

// ---- the compiled norm data

// Rows per code, in the order of subtestCodes.
const std::map<std::string, std::array<int, 15>> expectedRowCounts = {
    {"16", {18, 19, 19, 13, 19, 18, 19, 18, 19, 19, 19, 19, 19, 19, 19}},
    {"18", {19, 19, 19, 19, 19, 19, 19, 19, 19, 19, 19, 19, 19, 19, 19}},
    {"20", {18, 19, 19, 19, 19, 19, 19, 19, 19, 19, 19, 19, 19, 19, 19}},
    {"25", {18, 19, 19, 16, 19, 17, 19, 18, 19, 19, 18, 17, 19, 19, 19}},
    {"30", {18, 19, 19, 16, 19, 17, 19, 19, 19, 19, 19, 19, 19, 19, 19}},
    {"35", {19, 19, 19, 17, 19, 17, 19, 19, 18, 19, 16, 19, 19, 19, 18}},
    {"45", {18, 19, 19, 16, 19, 17, 19, 19, 19, 19, 19, 19, 19, 19, 19}},
    {"55", {18, 19, 19, 18, 19, 17, 18, 19, 18, 18, 17, 19, 19, 19, 19}},
    {"65", {19, 19, 19, 18, 19, 17, 19, 19, 18, 19, 18, 19, 19, 19, 19}},
};

std::int64_t expectedHighestRaw(const std::string& code, const std::string& band) {
  static const std::map<std::string, std::int64_t> usual = {
      {"Tm", 66}, {"Li", 36}, {"Th", 48}, {"Mr", 26}, {"Of", 57}, {"Rg", 22}, {"Sl", 60}, {"Vp", 26},
      {"In", 26}, {"Kd", 135}, {"Bt", 30}, {"Fv", 27}, {"Rs", 36}, {"Ut", 72}, {"Bu", 24}};
  static const std::map<std::string, std::int64_t> special = {
      {"Mr16", 22}, {"Mr20", 29}, {"Rg20", 28}, {"Vp20", 27}, {"In65", 25}, {"Bt16", 36}, {"Bt30", 39},
      {"Bt45", 39}, {"Fv16", 36}, {"Fv20", 36}, {"Fv30", 30}, {"Fv45", 30}, {"Rs25", 35}};
  const auto found = special.find(code + band);
  return found != special.end() ? found->second : usual.at(code);
}

const std::map<std::string, std::set<std::int64_t>> band18Placeholders = {
    {"Tm", {18}}, {"Mr", {13, 15, 19}}, {"Rg", {17, 18}}, {"Vp", {18}}, {"Bt", {15}}, {"Fv", {16, 18}}};

TEST(ShippedNorms, EveryBandHoldsTheFifteenCodesWithTheirRowCounts) {
  const auto& bands = rangetables();
  ASSERT_EQ(bands.size(), 9u);
  std::size_t total = 0;
  for (const auto& [band, counts] : expectedRowCounts) {
    ASSERT_TRUE(bands.contains(band)) << band;
    const NormTable& table = bands.at(band);
    EXPECT_EQ(table.size(), 15u) << band;
    for (std::size_t i = 0; i < subtestCodes.size(); ++i) {
      const std::string code(subtestCodes[i]);
      ASSERT_TRUE(table.contains(code)) << band << " " << code;
      EXPECT_EQ(table.at(code).size(), static_cast<std::size_t>(counts[i])) << band << " " << code;
      total += table.at(code).size();
    }
  }
  EXPECT_EQ(total, 2510u);
}

TEST(ShippedNorms, RowsCoverTheRawRangeRegularlyInAscendingScaledOrder) {
#ifndef KELMORA_DEMO_TABLES
  GTEST_SKIP() << "licensed norms need not be regular";
#endif
  for (const auto& [band, table] : rangetables()) {
    for (const auto& [code, rows] : table) {
      SCOPED_TRACE(band + " " + code);
      const auto placeholders = band == "18" && band18Placeholders.contains(code)
                                    ? band18Placeholders.at(code)
                                    : std::set<std::int64_t>{};
      std::int64_t previousScaled = 0;
      std::int64_t nextRaw = 0;
      for (const NormRow& row : rows) {
        EXPECT_GT(row.scaled, previousScaled);
        EXPECT_GE(row.scaled, 1);
        EXPECT_LE(row.scaled, 19);
        previousScaled = row.scaled;
        if (placeholders.contains(row.scaled)) {
          EXPECT_EQ(row, (NormRow{row.scaled, 0, 0}));
          continue;
        }
        EXPECT_EQ(row.lowest, nextRaw) << "scaled " << row.scaled;
        EXPECT_GE(row.highest, row.lowest) << "scaled " << row.scaled;
        nextRaw = row.highest + 1;
      }
      EXPECT_EQ(nextRaw - 1, expectedHighestRaw(code, band));
      // Every placeholder of the band is present.
      for (std::int64_t scaled : placeholders) {
        EXPECT_TRUE(std::any_of(rows.begin(), rows.end(), [&](const NormRow& r) { return r.scaled == scaled; }))
            << "placeholder " << scaled;
      }
    }
  }
}

TEST(ShippedNorms, Band16BlockRowsAreTheDocumentedOnes) {
  const auto& rows = rangetables().at("16").at("Tm");
  ASSERT_EQ(rows.size(), 18u);
  EXPECT_EQ(rows.front(), (NormRow{1, 0, 8}));
  EXPECT_EQ(rows.back(), (NormRow{19, 66, 66}));
  EXPECT_EQ(rows[16].scaled, 17);
}

TEST(ShippedNorms, NoPlaceholderEverGivesItsScaledScore) {
  OutputCapture quiet;  // the trace of every lookup
  for (const auto& [code, placeholders] : band18Placeholders) {
    EXPECT_EQ(lookupValue("18", code, 0), 1) << code;
    for (std::int64_t raw = 0; raw <= expectedHighestRaw(code, "18"); ++raw) {
      const auto scaled = lookupValue("18", code, raw);
      ASSERT_TRUE(scaled.has_value()) << code << " raw " << raw;
      EXPECT_FALSE(placeholders.contains(*scaled)) << code << " raw " << raw;
    }
  }
}

}  // namespace
}  // namespace kelmora
