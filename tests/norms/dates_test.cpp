// Date texts and the age at the test date.

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "norms/dates.h"

namespace kelmora {
namespace {

using namespace std::chrono;

// Exactly the pattern's digits of a real day; anything else gives no date.
TEST(DateParsing, RealDaysInThePatternOnly) {
  const auto none = std::nullopt;
  // clang-format off
  const std::tuple<const char*, const char*, std::optional<Date>> cases[] = {
      {"05-03-2021", "dd-MM-yyyy", 2021y / March / 5},     {"29-02-2020", "dd-MM-yyyy", 2020y / February / 29},
      {"01-01-0000", "dd-MM-yyyy", 0y / January / 1},      {"31-12-9999", "dd-MM-yyyy", 9999y / December / 31},
      {"2021-03-05", "yyyy-MM-dd", 2021y / March / 5},     {"05.03.2021", "dd.MM.yyyy", 2021y / March / 5},
      // A pattern without all three fields, with a field twice or with letters we do not read.
      {"05-03", "dd-MM", none}, {"05-05-2021", "dd-dd-yyyy", none}, {"5-3-2021", "d-M-yyyy", none}, {"", "", none},
  };
  const char* notDates[] = {
      "", "abc", "05-03-2021 ", " 05-03-2021", "05-03-2021x", "5-03-2021", "05-3-2021", "05-03-21",
      "05-03-02021", "05/03/2021", "05.03.2021", "+5-03-2021", "0x-03-2021", "05-03--2021",
      "31-02-2021", "29-02-2021", "31-04-2021", "00-01-2021", "01-00-2021", "01-13-2021",
      "05-03-2021\n", "\xD9\xA0\xD9\xA5-03-2021",  // Arabic-Indic digits
  };
  // clang-format on
  for (const auto& [text, format, date] : cases) EXPECT_EQ(konverterDatoFraStreng(text, format), date) << text;
  for (const char* text : notDates) EXPECT_EQ(konverterDatoFraStreng(text), std::nullopt) << text;
}

// The random pairs below check every age against whole months then days;
// these are the cases a reader looks for, and days that do not exist.
TEST(AgeAtTest, CalendarDifferenceInYearsMonthsAndDays) {
  const struct {
    Date birth, test;
    std::optional<AgeAtTest> age;
  } cases[] = {
      {2005y / March / 5, 2021y / March / 5, AgeAtTest{16, 0, 0}},    // sixteenth birthday
      {2005y / March / 5, 2021y / March / 4, AgeAtTest{15, 11, 27}},  // the day before it
      // Born on 29 February: the months run from the birth date itself.
      {1960y / February / 29, 2024y / February / 28, AgeAtTest{63, 11, 30}},
      // Before the birth date: counted from it backwards, the month end clamped.
      {2021y / March / 31, 2021y / February / 28, AgeAtTest{0, -1, 0}},
      {2021y / February / 30, 2022y / January / 1, std::nullopt},
      {2000y / January / 1, 2021y / 13 / 1, std::nullopt},
  };
  for (const auto& c : cases) EXPECT_EQ(alderPåTestDato(c.birth, c.test), c.age) << "case " << (&c - cases);
}

// birth + n months, the day clamped to the month's end.
sys_days plusMonths(Date birth, std::int64_t n) {
  const year_month target = birth.year() / birth.month() + months(n);
  return sys_days(target / std::min(birth.day(), (target / last).day()));
}

TEST(AgeAtTest, WholeMonthsThenDaysOverManyPairs) {
  std::mt19937 random(20261207);
  std::uniform_int_distribution<int> dayNumber(sys_days(1900y / January / 1).time_since_epoch().count(),
                                               sys_days(2100y / December / 31).time_since_epoch().count());
  // Many pairs near a month end, where clamping matters, and some far apart.
  std::uniform_int_distribution<int> nearby(-800, 800);
  for (int i = 0; i < 20000; ++i) {
    const sys_days birthDay{days(dayNumber(random))};
    const sys_days testDay = i % 2 ? sys_days{days(dayNumber(random))} : birthDay + days(nearby(random));
    const Date birth(birthDay), test(testDay);
    const auto age = alderPåTestDato(birth, test);
    ASSERT_TRUE(age);
    // n whole months reach the test day or stop short of it, and one more would pass it; every part
    // has the sign of the direction, and the days are what is left.
    const std::int64_t n = age->år * 12 + age->måneder, sign = testDay >= birthDay ? 1 : -1;
    const auto where = ::testing::Message() << "days " << birthDay.time_since_epoch().count() << " to "
                                            << testDay.time_since_epoch().count() << " since 1970";
    ASSERT_EQ(age->dager, (testDay - plusMonths(birth, n)).count()) << where;
    ASSERT_TRUE(sign * age->år >= 0 && sign * age->måneder >= 0 && sign * age->måneder <= 11 && sign * age->dager >= 0)
        << where;
    ASSERT_GT(sign * (plusMonths(birth, n + sign) - testDay).count(), 0) << where;
  }
}

}  // namespace
}  // namespace kelmora
