#pragma once
// Date texts and the client's age at the test date.
//
// A date is a civil day of the proleptic Gregorian calendar. Parsing and the
// age computation work on the same civil days, so no time zone or daylight
// saving shift can move a date by a day.

#include <chrono>
#include <cstdint>
#include <optional>
#include <string_view>

namespace kelmora {

using Date = std::chrono::year_month_day;

// Parses `text` by `format`, in which "dd" stands for a two-digit day, "MM"
// for a two-digit month and "yyyy" for a four-digit year; any other character
// that is not a letter must stand as it is. The whole text must match and the
// day must exist. A format with other pattern letters parses nothing.
std::optional<Date> konverterDatoFraStreng(std::string_view text, std::string_view format = "dd-MM-yyyy");

struct AgeAtTest {
  std::int64_t år = 0;
  std::int64_t måneder = 0;
  std::int64_t dager = 0;
  bool operator==(const AgeAtTest&) const = default;
};

// Whole years, then whole months, then days from the birth date to the test
// date. Adding months keeps the day of the month, clamped to the month's last
// day. A test date before the birth date gives components of zero or below.
// No value when either date is not a valid day.
std::optional<AgeAtTest> alderPåTestDato(Date fødselsdato, Date testdato);

}  // namespace kelmora
