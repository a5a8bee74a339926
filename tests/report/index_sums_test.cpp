#include "report/index_sums.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "base/diagnostics.h"

namespace kelmora {
namespace {

using Sums = std::array<std::int64_t, 5>;

bool has(const std::vector<std::string>& lines, const std::string& line) {
  return std::find(lines.begin(), lines.end(), line) != lines.end();
}

TEST(IndexSumsTest, OnlyWholeNumbersCount) {
  const ExcelData all{{"sLi", "10"}, {"sOf", "9"}, {"sIn", "8"}, {"sTm", "7"}, {"sMr", "6"},
                      {"sVp", "5"},  {"sTh", "4"}, {"sRg", "3"}, {"sSl", "2"}, {"sKd", "1"}};
  const auto with = [&](std::initializer_list<std::pair<const std::string, std::string>> changes) {
    ExcelData data = all;
    for (const auto& [key, value] : changes) data[key] = value;
    return data;
  };
  const struct {
    const char* name;
    ExcelData scores;
    Sums sums;
    // clang-format off
  } cases[] = {
      {"all present", all, {27, 18, 7, 3, 55}},
      {"letters", with({{"sTm", "sju"}}), {27, 11, 7, 3, 48}},
      {"blanks and points", with({{"sOf", " 9"}, {"sMr", "6 "}, {"sTh", "4.0"}}), {18, 12, 3, 3, 36}},
      {"sign and leading zeros", with({{"sLi", "+10"}, {"sSl", "002"}, {"sKd", "-1"}}), {27, 18, 7, 1, 53}},
      {"nothing usable", {}, {0, 0, 0, 0, 0}},
      {"beyond the 64-bit range", with({{"sLi", "9223372036854775807"}, {"sOf", "1"}, {"sIn", "0"}}),
       {9223372036854775807, 18, 7, 3, 9223372036854775807}},
  };
  // clang-format on
  for (const auto& c : cases) {
    SharedData store;
    store.setExcelData(c.scores);
    OutputCapture lines;
    const IndexSums sums = formIndexSums(store, store);
    EXPECT_EQ((Sums{sums.svfi, sums.spri, sums.sami, sums.sphi, sums.sfsiq}), c.sums) << c.name;
    // A verbal score that would carry its sum past the 64-bit range is left
    // out, and said so, like one that is not a number.
    if (std::string_view(c.name) == "beyond the 64-bit range") {
      EXPECT_TRUE(has(lines.lines(), "Kunne ikke konvertere sOf til et heltall"));
    }
  }
}

TEST(IndexSumsTest, ReportsTheVerbalScoresOnly) {
  // The private store holds the scores; the window's store only the workbook.
  SharedData scores, window;
  scores.setExcelData({{"sLi", "10"}, {"sIn", "8"}, {"sTm", "sju"}});
  window.setExcelData({{"Navn", "Kari"}});
  OutputCapture output;
  formIndexSums(scores, window);
  const auto lines = output.lines();
  EXPECT_TRUE(has(lines, "Verdien for sLi er 10"));
  EXPECT_TRUE(has(lines, "sOf finnes ikke i sharedData.excelData:  SharedData " + dumpMap(scores.excelData())));
  EXPECT_TRUE(has(lines, "Kunne ikke konvertere sOf til et heltall"));
  EXPECT_EQ(std::count(lines.begin(), lines.end(), "svfi har verdi  18"), 2);
  EXPECT_TRUE(has(lines, "vi ser i  " + dumpMap(window.excelData())));
  EXPECT_TRUE(has(lines, "sfsiq er 18"));
  // "sTm" is as unusable, but only the verbal group says so.
  EXPECT_EQ(std::count_if(lines.begin(), lines.end(), [](const std::string& l) { return l.starts_with("Kunne"); }), 1);
}

}  // namespace
}  // namespace kelmora
