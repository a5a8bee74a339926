#include "report/index_sums.h"

#include <gtest/gtest.h>

#include "base/diagnostics.h"

namespace kelmora {
namespace {

using Sums = std::array<std::int64_t, 5>;
using Lines = std::vector<std::string>;

// Only whole numbers count; only the verbal group says which do not. A sum
// beyond the 64-bit range leaves out its largest score, and names it.
TEST(IndexSumsTest, OnlyWholeNumbersCount) {
  const ExcelData all{{"sLi", "10"}, {"sOf", "9"}, {"sIn", "8"}, {"sTm", "7"}, {"sMr", "6"},
                      {"sVp", "5"},  {"sTh", "4"}, {"sRg", "3"}, {"sSl", "2"}, {"sKd", "1"}};
  const auto with = [&](std::initializer_list<std::pair<const std::string, std::string>> changes) {
    ExcelData data = all;
    for (const auto& [key, value] : changes) data[key] = value;
    return data;
  };
  const std::string max = "9223372036854775807", min = "-9223372036854775808";
  const auto unusable = [](const std::string& key) { return "Kunne ikke konvertere " + key + " til et heltall"; };
  const struct {
    const char* name;
    ExcelData scores;
    Sums sums;
    Lines said;  // the lines for scores that do not count
    // clang-format off
  } cases[] = {
      {"all present", all, {27, 18, 7, 3, 55}, {}},
      {"letters", with({{"sTm", "sju"}, {"sOf", "ni"}}), {18, 11, 7, 3, 39}, {unusable("sOf")}},
      {"blanks and points", with({{"sOf", " 9"}, {"sMr", "6 "}, {"sTh", "4.0"}}), {18, 12, 3, 3, 36}, {unusable("sOf")}},
      {"sign and leading zeros", with({{"sLi", "+10"}, {"sSl", "002"}, {"sKd", "-1"}}), {27, 18, 7, 1, 53}, {}},
      {"nothing usable", {}, {0, 0, 0, 0, 0}, {unusable("sLi"), unusable("sOf"), unusable("sIn")}},
      {"a verbal score at the top of the range", with({{"sLi", max}}), {17, 18, 7, 3, 45}, {unusable("sLi")}},
      {"one at the bottom", with({{"sIn", min}, {"sOf", "-11"}}), {-1, 18, 7, 3, 27}, {unusable("sIn")}},
      {"a sum that fits only taken whole", with({{"sLi", max}, {"sOf", "1"}, {"sIn", "-1"}}),
       {9223372036854775807, 18, 7, 3, 28}, {}},
      {"a huge perceptual score, silently", with({{"sVp", max}}), {27, 13, 7, 3, 50}, {}},
  };
  // clang-format on
  for (const auto& c : cases) {
    SharedData store;
    store.setExcelData(c.scores);
    OutputCapture output;
    const IndexSums sums = formIndexSums(store, store);
    EXPECT_EQ((Sums{sums.svfi, sums.spri, sums.sami, sums.sphi, sums.sfsiq}), c.sums) << c.name;
    Lines said;
    for (const auto& line : output.lines())
      if (line.starts_with("Kunne")) said.push_back(line);
    EXPECT_EQ(said, c.said) << c.name;
  }
}

}  // namespace
}  // namespace kelmora
