#include "data/cell_value.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <ctime>
#include <limits>

namespace kelmora {
namespace {

using xlsx::Cell;
using xlsx::CellType;

// Style 0 is General, 1 the short date, 2 a date with time (22), 3 a custom
// date format.
xlsx::Styles testStyles() {
  xlsx::Styles styles;
  styles.cellFormats.emplace();
  for (std::int64_t id : {0, 14, 22, 164}) styles.cellFormats->items.push_back({id});
  return styles;
}

xlsx::SharedStrings testStrings() {
  xlsx::SharedStrings strings;
  strings.items = {{"Navn"}, {" Kari "}, {std::nullopt}};  // the third is rich text only
  return strings;
}

TEST(GetCellValue, ConvertsEachKindOfCell) {
  const auto styles = testStyles();
  const auto strings = testStrings();
  // Texts rather than optionals in the table: nullptr is "no value".
  struct Case {
    const char* what;
    std::optional<CellType> type;
    std::optional<std::int64_t> styleIndex;
    const char* value;
    bool withStrings;
    const char* expected;
  };
  const std::vector<Case> cases = {
      {"shared string", CellType::sharedString, std::nullopt, "0", true, "Navn"},
      {"shared string keeps its blanks", CellType::sharedString, std::nullopt, "1", true, " Kari "},
      {"rich-text-only item", CellType::sharedString, std::nullopt, "2", true, nullptr},
      {"index one past the end", CellType::sharedString, std::nullopt, "3", true, "Indeks 3 er utenfor rekkevidden av sharedStrings.items"},
      {"negative index", CellType::sharedString, std::nullopt, "-1", true, "Indeks -1 er utenfor rekkevidden av sharedStrings.items"},
      {"no shared-string table", CellType::sharedString, std::nullopt, "0", false, "Indeks 0 er utenfor rekkevidden av sharedStrings.items"},
      {"index that is not a whole number", CellType::sharedString, std::nullopt, "abc", true, "abc"},
      {"short date", std::nullopt, 1, "45000", true, "15-03-2023"},
      {"short date with a time of day", std::nullopt, 1, "45000.96", true, "15-03-2023"},
      {"short date that is not a number", std::nullopt, 1, "abc", true, "abc"},
      {"short date with a plus sign", std::nullopt, 1, "+45000", true, "15-03-2023"},
      {"short date with two signs", std::nullopt, 1, "+-45000", true, "+-45000"},
      {"short date with a trailing blank", std::nullopt, 1, "45000 ", true, "45000 "},
      {"short date beyond year 9999", std::nullopt, 1, "3000000", true, "3000000"},
      {"date-time format stays a serial", std::nullopt, 2, "45000.5", true, "45000.5"},
      {"style index past the list", std::nullopt, 4, "45000", true, "45000"},
      {"number as stored", std::nullopt, std::nullopt, "15", true, "15"},
      {"boolean", CellType::boolean, std::nullopt, "1", true, "1"},
      {"inline string has no value", CellType::inlineStr, std::nullopt, nullptr, true, nullptr},
      {"neither type nor value", std::nullopt, std::nullopt, nullptr, true, nullptr},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    Cell cell{c.type, c.styleIndex, c.value ? std::optional<std::string>(c.value) : std::nullopt};
    const auto text = getCellValue(cell, c.withStrings ? &strings : nullptr, styles);
    EXPECT_EQ(text, c.expected ? std::optional<std::string>(c.expected) : std::nullopt);
  }
}

TEST(GetCellValue, DatesNeedTheFormatListAndFollowTheDateSystem) {
  EXPECT_EQ(getCellValue({std::nullopt, 1, "45000"}, nullptr, xlsx::Styles{}), "45000");
  EXPECT_EQ(getCellValue({std::nullopt, 1, "43538"}, nullptr, testStyles(), true), "15-03-2023");
}

// The day must not depend on the zone or on the season of the call: the same
// cell is read on machines set to UTC and to Europe/Oslo, where the offset is
// one hour in winter and two in summer.
class ExcelDates : public ::testing::TestWithParam<const char*> {
 protected:
  void SetUp() override {
    setenv("TZ", GetParam(), 1);
    tzset();
  }
};

TEST_P(ExcelDates, WholeDaysFromTheBase) {
  struct Case {
    double serial;
    const char* expected;
  };
  const std::vector<Case> cases = {
      {0, "30-12-1899"},        {1, "31-12-1899"},        {59, "27-02-1900"},  {60, "28-02-1900"},
      {61, "01-03-1900"},       {45000, "15-03-2023"},    {45000.5, "15-03-2023"},
      {45000.96, "15-03-2023"}, {45000.9999, "15-03-2023"}, {45150, "12-08-2023"}, {45150.99, "12-08-2023"},
      {-0.5, "29-12-1899"},     {2958465, "31-12-9999"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.serial);
    const auto day = fromExcelDate(c.serial);
    ASSERT_TRUE(day.has_value());
    EXPECT_EQ(formatDate(*day), c.expected);
  }
}

TEST_P(ExcelDates, The1904SystemAndSerialsWithoutACivilDay) {
  EXPECT_EQ(formatDate(*fromExcelDate(0, true)), "01-01-1904");
  EXPECT_EQ(formatDate(*fromExcelDate(43688.75, true)), "12-08-2023");
  for (double serial : {std::numeric_limits<double>::quiet_NaN(), std::numeric_limits<double>::infinity(),
                        -std::numeric_limits<double>::infinity(), 2958466.0, -693594.0, 1e300, -1e300}) {
    SCOPED_TRACE(serial);
    EXPECT_FALSE(fromExcelDate(serial).has_value());
  }
  EXPECT_EQ(formatDate(*fromExcelDate(-693593)), "01-01-0001");
}

INSTANTIATE_TEST_SUITE_P(Zones, ExcelDates, ::testing::Values("UTC", "Europe/Oslo"),
                         [](const auto& info) { return std::string(info.param) == "UTC" ? "Utc" : "Oslo"; });

}  // namespace
}  // namespace kelmora
