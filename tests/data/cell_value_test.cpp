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
  const std::vector<Case> cases = {
      {0, false, "30-12-1899"},        {60, false, "28-02-1900"},       {61, false, "01-03-1900"},
      {45000, false, "15-03-2023"},    {45000.96, false, "15-03-2023"}, {45150.99, false, "12-08-2023"},
      {-0.5, false, "29-12-1899"},     {-693593, false, "01-01-0001"},  {2958465, false, "31-12-9999"},
      {0, true, "01-01-1904"},         {43688.75, true, "12-08-2023"},  {-693594, false, "-"},
      {2958466, false, "-"},           {1e300, false, "-"},             {-1e300, false, "-"},
      {nan, false, "-"},               {inf, false, "-"},               {-inf, false, "-"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.serial);
    const auto day = fromExcelDate(c.serial, c.date1904);
    EXPECT_EQ(day ? formatDate(*day) : "-", c.expected);
  }
}

INSTANTIATE_TEST_SUITE_P(Zones, ExcelDates, ::testing::Values("UTC", "Europe/Oslo"),
                         [](const auto& info) { return std::string(info.param) == "UTC" ? "Utc" : "Oslo"; });

}  // namespace
}  // namespace kelmora
