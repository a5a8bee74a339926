// Date texts and the age at the test date.

#include <gtest/gtest.h>

#include "norms/dates.h"

namespace kelmora {
namespace {

using namespace std::chrono;

TEST(DateParsing, RealDaysInThePatternParse) {
  const std::pair<const char*, Date> cases[] = {
      {"05-03-2021", 2021y / March / 5},    {"31-12-1999", 1999y / December / 31},
      {"29-02-2020", 2020y / February / 29}, {"01-01-0000", 0y / January / 1},
      {"31-12-9999", 9999y / December / 31},
  };
  for (const auto& [text, date] : cases) EXPECT_EQ(konverterDatoFraStreng(text), date) << text;
}

TEST(DateParsing, AnythingElseGivesNoDate) {
  const char* cases[] = {
      "", "abc", "05-03-2021 ", " 05-03-2021", "05-03-2021x", "5-03-2021", "05-3-2021", "05-03-21",
      "05-03-02021", "05/03/2021", "05.03.2021", "+5-03-2021", "0x-03-2021", "05-03--2021",
      "31-02-2021", "29-02-2021", "31-04-2021", "00-01-2021", "01-00-2021", "01-13-2021",
      "05-03-2021\n", "\xD9\xA0\xD9\xA5-03-2021",  // Arabic-Indic digits
  };
  for (const char* text : cases) EXPECT_EQ(konverterDatoFraStreng(text), std::nullopt) << text;
}

TEST(DateParsing, OtherPatterns) {
  EXPECT_EQ(konverterDatoFraStreng("2021-03-05", "yyyy-MM-dd"), 2021y / March / 5);
  EXPECT_EQ(konverterDatoFraStreng("05.03.2021", "dd.MM.yyyy"), 2021y / March / 5);
  // A pattern without all three fields, with a field twice or with letters we
  // do not read parses nothing.
  EXPECT_EQ(konverterDatoFraStreng("05-03", "dd-MM"), std::nullopt);
  EXPECT_EQ(konverterDatoFraStreng("05-05-2021", "dd-dd-yyyy"), std::nullopt);
  EXPECT_EQ(konverterDatoFraStreng("5-3-2021", "d-M-yyyy"), std::nullopt);
  EXPECT_EQ(konverterDatoFraStreng("", ""), std::nullopt);
}

TEST(AgeAtTest, CalendarDifferenceInYearsMonthsAndDays) {
  const struct {
    Date birth, test;
    AgeAtTest age;
  } cases[] = {
      {2000y / June / 15, 2020y / June / 14, {19, 11, 30}},
      {2000y / June / 15, 2020y / June / 15, {20, 0, 0}},
      {2000y / June / 15, 2000y / June / 15, {0, 0, 0}},
      {2005y / March / 5, 2021y / March / 5, {16, 0, 0}},   // sixteenth birthday
      {2005y / March / 5, 2021y / March / 4, {15, 11, 27}},  // the day before it
      {1976y / January / 10, 2021y / December / 9, {45, 10, 29}},
      // A month end is clamped: one month after 31 January is the last of February.
      {2021y / January / 31, 2021y / February / 28, {0, 1, 0}},
      {2021y / January / 31, 2021y / March / 1, {0, 1, 1}},
      {2021y / January / 31, 2021y / March / 30, {0, 1, 30}},
      {2000y / February / 29, 2001y / February / 28, {1, 0, 0}},
      {2000y / February / 29, 2004y / February / 29, {4, 0, 0}},
      // Before the birth date: the difference as it comes, no part above zero.
      {2020y / May / 10, 2020y / May / 1, {0, 0, -9}},
      {2020y / June / 15, 2019y / March / 14, {-1, -3, -1}},
      {2021y / March / 1, 2021y / January / 31, {0, -1, -1}},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(alderPåTestDato(c.birth, c.test), c.age) << "case " << (&c - cases);
  }
}

TEST(AgeAtTest, ParsedTextsGiveTheAgeOfTheExample) {
  const auto birth = konverterDatoFraStreng("15-06-2000");
  const auto test = konverterDatoFraStreng("14-06-2020");
  ASSERT_TRUE(birth && test);
  const auto age = alderPåTestDato(*birth, *test);
  ASSERT_TRUE(age);
  EXPECT_EQ(age->år, 19);
  EXPECT_EQ(age->måneder, 11);
  EXPECT_EQ(age->dager, 30);
}

TEST(AgeAtTest, DayThatDoesNotExistGivesNoAge) {
  EXPECT_EQ(alderPåTestDato(2021y / February / 30, 2022y / January / 1), std::nullopt);
  EXPECT_EQ(alderPåTestDato(2000y / January / 1, 2021y / 13 / 1), std::nullopt);
}

}  // namespace
}  // namespace kelmora
