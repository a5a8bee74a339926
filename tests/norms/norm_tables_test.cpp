// Band choice, and the shape of the norm tables the program is built with.

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <limits>
#include <variant>

#include "base/file_reading.h"
#include "norms/norm_file.h"
#include "norms/norm_tables.h"
#include "norms/subtests.h"

namespace kelmora {

inline void PrintTo(const NormRow& row, std::ostream* out) {
  *out << row.scaled << ";" << row.lowest << ";" << row.highest;
}

namespace {

constexpr auto int64Max = std::numeric_limits<std::int64_t>::max();
constexpr auto int64Min = std::numeric_limits<std::int64_t>::min();

// The band is the highest key not above the age. Keys are read as whole
// numbers, compared and sorted as numbers, and given back in plain decimal.
TEST(BandChoice, HighestKeyNotAboveTheAge) {
  const NormTableMap& bands = rangetables();
  const NormTableMap odd = {{"16", {}}, {"abc", {}}, {" 18", {}}, {"", {}}, {"18 ", {}}, {"99999999999999999999", {}}};
  const NormTableMap signedKeys = {{"-5", {}}, {"3", {}}}, numeric = {{"65", {}}, {"100", {}}}, none;
  const struct {
    const NormTableMap& map;
    std::int64_t age;
    std::optional<std::string> band;
    // clang-format off
  } cases[] = {
      {bands, int64Min, std::nullopt}, {bands, 0, std::nullopt}, {bands, 15, std::nullopt}, {bands, 16, "16"},
      {bands, 17, "16"}, {bands, 18, "18"}, {bands, 19, "18"}, {bands, 20, "20"}, {bands, 24, "20"}, {bands, 25, "25"},
      {bands, 29, "25"}, {bands, 30, "30"}, {bands, 34, "30"}, {bands, 35, "35"}, {bands, 44, "35"}, {bands, 45, "45"},
      {bands, 54, "45"}, {bands, 55, "55"}, {bands, 64, "55"}, {bands, 65, "65"}, {bands, int64Max, "65"},
      {odd, 30, "16"}, {odd, 15, std::nullopt}, {{{"+20", {}}}, 25, "20"}, {{{"007", {}}}, 10, "7"},
      {signedKeys, -5, "-5"}, {signedKeys, 2, "-5"}, {signedKeys, -6, std::nullopt}, {numeric, 80, "65"},
      {none, 40, std::nullopt}, {none, int64Max, std::nullopt},
  };
  // clang-format on
  for (const auto& c : cases) EXPECT_EQ(getClosestAgeTableKey(c.age, c.map), c.band) << "age " << c.age;
}

// Every band's table, under its key and from its accessor, holds exactly its
// own file's rows in file order; bands with the same counts and ranges must
// not be mixed up. The row counts and the documented rows of band "16" "Tm"
// are the table format's, whatever norms a clinic builds with.
TEST(ShippedNorms, EveryBandIsCompiledFromItsOwnFile) {
  const NormTable& (*const accessors[])() = {age16Table, age18Table, age20Table, age25Table, age30Table,
                                             age35Table, age45Table, age55Table, age65Table};
  ASSERT_EQ(rangetables().size(), std::size(accessors));
  std::size_t total = 0;
  for (std::size_t b = 0; b < bandKeys.size(); ++b) {
    const std::string band(bandKeys[b]);
    const auto text = readWholeFile(std::filesystem::path(KELMORA_TEST_RESOURCES) / "norms" / (band + ".csv"));
    ASSERT_TRUE(std::holds_alternative<std::string>(text)) << band;
    const auto parsed = parseNormFile(std::get<std::string>(text));
    ASSERT_TRUE(std::holds_alternative<std::vector<NormFileRow>>(parsed)) << band;
    NormTable expected;
    for (const auto& row : std::get<std::vector<NormFileRow>>(parsed)) {
      expected[row.code].push_back({row.scaled, row.lowest, row.highest});
      ++total;
    }
    for (const NormTable* table : {&rangetables().at(band), &accessors[b]()}) {
      ASSERT_EQ(table->size(), expected.size()) << band;
      for (const auto& [code, rows] : expected) EXPECT_EQ(table->at(code), rows) << band << " " << code;
    }
  }
  EXPECT_EQ(total, 2510u);
  const auto& tm16 = age16Table().at("Tm");
  ASSERT_EQ(tm16.size(), 18u);
  EXPECT_EQ(tm16.front(), (NormRow{1, 0, 8}));
  EXPECT_EQ(tm16.back(), (NormRow{19, 66, 66}));
  EXPECT_EQ(tm16[16].scaled, 17);  // no row for 18
}

// In every band each code's rows rise in scaled score up to 19 and cover the
// raw scores from 0 without a gap; a row (s, 0, 0) after raw 0 is a scaled
// score that no raw score reaches. Norms for neighbouring ages come from one
// population, so a core subtest's raw score that both bands cover moves by at
// most 3 scaled points (one deviation) between them.
TEST(ShippedNorms, RowsInShapeAndNeighbouringBandsWithinThreePoints) {
#ifndef KELMORA_DEMO_TABLES
  GTEST_SKIP() << "holds for the demonstration tables; the published rows are not all regular";
#endif
  std::map<std::string, std::map<std::int64_t, std::int64_t>> before;  // the younger band's scaled score by raw score
  for (const std::string_view band : bandKeys) {
    for (const Subtest& subtest : subtests) {
      const std::string code(subtest.code);
      SCOPED_TRACE(std::string(band) + " " + code);
      std::map<std::int64_t, std::int64_t> scaledByRaw;
      std::int64_t previousScaled = 0, nextRaw = 0;
      for (const NormRow& row : rangetables().at(std::string(band)).at(code)) {
        EXPECT_TRUE(row.scaled > previousScaled && row.scaled <= 19) << row.scaled;
        previousScaled = row.scaled;
        if (row.lowest == 0 && row.highest == 0 && nextRaw > 0) continue;
        EXPECT_TRUE(row.lowest == nextRaw && row.highest >= row.lowest) << "scaled " << row.scaled;
        for (std::int64_t raw = row.lowest; raw <= row.highest; ++raw) scaledByRaw[raw] = row.scaled;
        nextRaw = row.highest + 1;
      }
      if (subtest.core && before.contains(code)) {
        std::int64_t common = 0;
        for (const auto& [raw, scaled] : before[code]) {
          if (!scaledByRaw.contains(raw)) continue;
          ++common;
          EXPECT_LE(std::abs(scaled - scaledByRaw[raw]), 3) << "raw " << raw << ": " << scaled << " in the band before";
        }
        EXPECT_GT(common, 20);
      }
      before[code] = std::move(scaledByRaw);
    }
  }
}

}  // namespace
}  // namespace kelmora
