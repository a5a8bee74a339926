// Date texts and the age at the test date.

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "norms/dates.h"

namespace kelmora {
namespace {

using namespace std::chrono;

TEST(DateParsing, RealDaysInThePatternParse) {
  // clang-format off
  const std::tuple<const char*, const char*, Date> cases[] = {
      {"05-03-2021", "dd-MM-yyyy", 2021y / March / 5},     {"29-02-2020", "dd-MM-yyyy", 2020y / February / 29},
      {"01-01-0000", "dd-MM-yyyy", 0y / January / 1},      {"31-12-9999", "dd-MM-yyyy", 9999y / December / 31},
      {"2021-03-05", "yyyy-MM-dd", 2021y / March / 5},     {"05.03.2021", "dd.MM.yyyy", 2021y / March / 5},
  };
  // clang-format on
  for (const auto& [text, format, date] : cases) EXPECT_EQ(konverterDatoFraStreng(text, format), date) << text;
}

TEST(DateParsing, AnythingElseGivesNoDate) {
  // clang-format off
  const char* cases[] = {
      "", "abc", "05-03-2021 ", " 05-03-2021", "05-03-2021x", "5-03-2021", "05-3-2021", "05-03-21",
      "05-03-02021", "05/03/2021", "05.03.2021", "+5-03-2021", "0x-03-2021", "05-03--2021",
      "31-02-2021", "29-02-2021", "31-04-2021", "00-01-2021", "01-00-2021", "01-13-2021",
      "05-03-2021\n", "\xD9\xA0\xD9\xA5-03-2021",  // Arabic-Indic digits
  };
  // clang-format on
  for (const char* text : cases) EXPECT_EQ(konverterDatoFraStreng(text), std::nullopt) << text;
  // A pattern without all three fields, with a field twice or with letters we
  // do not read parses nothing.
  // clang-format off
  const std::pair<const char*, const char*> patterns[] = {
      {"05-03", "dd-MM"}, {"05-05-2021", "dd-dd-yyyy"}, {"5-3-2021", "d-M-yyyy"}, {"", ""}};
  // clang-format on
  for (const auto& [text, format] : patterns) EXPECT_EQ(konverterDatoFraStreng(text, format), std::nullopt) << format;
}

TEST(AgeAtTest, CalendarDifferenceInYearsMonthsAndDays) {
  const struct {
    Date birth, test;
    AgeAtTest age;
  } cases[] = {
      {2000y / June / 15, 2020y / June / 14, {19, 11, 30}},
      {2005y / March / 5, 2021y / March / 5, {16, 0, 0}},    // sixteenth birthday
      {2005y / March / 5, 2021y / March / 4, {15, 11, 27}},  // the day before it
      {1976y / January / 10, 2021y / December / 9, {45, 10, 29}},
      // A month end is clamped: one month after 31 January is the last of February.
      {2021y / January / 31, 2021y / February / 28, {0, 1, 0}},
      {2021y / January / 31, 2021y / March / 1, {0, 1, 1}},
      {2024y / January / 31, 2024y / February / 29, {0, 1, 0}},
      // Born on 29 February: the months run from the birth date itself, so
      // they never reach twelve.
      {1960y / February / 29, 2024y / February / 28, {63, 11, 30}},
      {2000y / February / 29, 2001y / February / 28, {1, 0, 0}},
      {2000y / February / 29, 2004y / February / 29, {4, 0, 0}},
      {2000y / February / 29, 2001y / March / 28, {1, 0, 28}},
      {2000y / February / 29, 2005y / March / 29, {5, 1, 0}},
      {2000y / February / 29, 2023y / June / 1, {23, 3, 3}},
      // Before the birth date: no part above zero, counted from the birth
      // date backwards (not the forward difference negated).
      {2020y / May / 10, 2020y / May / 1, {0, 0, -9}},
      {2020y / May / 10, 2020y / April / 10, {0, -1, 0}},
      {2021y / March / 31, 2021y / February / 28, {0, -1, 0}},
      {2020y / June / 15, 2019y / March / 14, {-1, -3, -1}},
      {2021y / March / 1, 2021y / January / 31, {0, -1, -1}},
      {2004y / February / 29, 2003y / January / 27, {-1, -1, -2}},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(alderPåTestDato(c.birth, c.test), c.age) << "case " << (&c - cases);
  }
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
    const std::int64_t n = age->år * 12 + age->måneder;
    const auto where = ::testing::Message()
                       << static_cast<int>(birth.year()) << "-" << static_cast<unsigned>(birth.month()) << "-"
                       << static_cast<unsigned>(birth.day()) << " to " << static_cast<int>(test.year()) << "-"
                       << static_cast<unsigned>(test.month()) << "-" << static_cast<unsigned>(test.day());
    ASSERT_EQ(age->dager, (testDay - plusMonths(birth, n)).count()) << where;
    if (testDay >= birthDay) {
      ASSERT_GE(age->år, 0) << where;
      ASSERT_TRUE(age->måneder >= 0 && age->måneder <= 11) << where;
      ASSERT_GE(age->dager, 0) << where;
      ASSERT_GT(plusMonths(birth, n + 1), testDay) << where;
    } else {
      ASSERT_TRUE(age->år <= 0 && age->måneder <= 0 && age->måneder >= -11 && age->dager <= 0) << where;
      ASSERT_LT(plusMonths(birth, n - 1), testDay) << where;
    }
  }
}

TEST(AgeAtTest, DayThatDoesNotExistGivesNoAge) {
  EXPECT_EQ(alderPåTestDato(2021y / February / 30, 2022y / January / 1), std::nullopt);
  EXPECT_EQ(alderPåTestDato(2000y / January / 1, 2021y / 13 / 1), std::nullopt);
}

}  // namespace
}  // namespace kelmora
