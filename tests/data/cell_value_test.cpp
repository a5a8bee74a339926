#include "data/cell_value.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <limits>

namespace kelmora {
namespace {

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

TEST_P(ExcelDates, WholeDaysFromTheBaseAllYearRound) {
  constexpr double nan = std::numeric_limits<double>::quiet_NaN(), inf = std::numeric_limits<double>::infinity();
  struct Case {
    double serial;
    bool date1904;
    const char* expected;  // "-" when the serial has no civil day
  };
  // clang-format off
  const std::vector<Case> cases = {
      {0, false, "30-12-1899"},        {60, false, "28-02-1900"},       {61, false, "01-03-1900"},
      {45000, false, "15-03-2023"},    {45000.96, false, "15-03-2023"}, {45150.99, false, "12-08-2023"},
      {-0.5, false, "29-12-1899"},     {-693593, false, "01-01-0001"},  {2958465, false, "31-12-9999"},
      {0, true, "01-01-1904"},         {43688.75, true, "12-08-2023"},  {-693594, false, "-"},
      {2958466, false, "-"},           {1e300, false, "-"},             {-1e300, false, "-"},
      {nan, false, "-"},               {inf, false, "-"},               {-inf, false, "-"},
  };
  // clang-format on
  for (const auto& c : cases) {
    SCOPED_TRACE(c.serial);
    const auto day = fromExcelDate(c.serial, c.date1904);
    EXPECT_EQ(day ? formatDate(*day) : "-", c.expected);
  }
}

INSTANTIATE_TEST_SUITE_P(Zones, ExcelDates, ::testing::Values("UTC", "Europe/Oslo"),
                         [](const auto& info) { return std::string(info.param) == "UTC" ? "Utc" : "Oslo"; });

// A shared-string cell is its string whatever its style; a number is a date
// only in the short-date format (id 14), not in the other built-in date and
// time formats 15 to 22, nor when its style is not in the list.
TEST(CellValue, SharedStringsFirstThenOnlyTheShortDate) {
  using enum xlsx::CellType;
  const xlsx::SharedStrings strings{{{"Li"}, {"K"}}};
  xlsx::Styles styles{xlsx::CellFormats{{{0}, {14}}}};
  for (std::int64_t id = 15; id <= 22; ++id) styles.cellFormats->items.push_back({id});
  // Taken off again, so that a read one past the end of the list finds a short date.
  styles.cellFormats->items.push_back({14});
  styles.cellFormats->items.pop_back();
  const auto pastTheEnd = static_cast<std::int64_t>(styles.cellFormats->items.size());

  struct Case {
    std::optional<xlsx::CellType> type;
    std::optional<std::int64_t> style;
    std::string value;
    std::string expected;
  };
  // clang-format off
  std::vector<Case> cases = {
      {sharedString, 1, "1", "K"},          {sharedString, 1, "0", "Li"},    {sharedString, {}, "1.0", "1.0"},
      {sharedString, {}, "1e0", "1e0"},     {{}, 1, "45000", "15-03-2023"},  {number, 1, "6", "05-01-1900"},
      {{}, pastTheEnd, "45000", "45000"},   {{}, -1, "45000", "45000"},
  };
  // clang-format on
  for (std::int64_t style = 2; style < pastTheEnd; ++style) cases.push_back({{}, style, "45000", "45000"});
  for (const auto& c : cases) {
    SCOPED_TRACE("style " + (c.style ? std::to_string(*c.style) : "-") + ", value " + c.value);
    EXPECT_EQ(getCellValue({c.type, c.style, c.value}, &strings, styles), c.expected);
  }
}

}  // namespace
}  // namespace kelmora
