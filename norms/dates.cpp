#include "norms/dates.h"

#include <algorithm>

namespace kelmora {
namespace {

bool isLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }

// Exactly `count` ASCII digits at the front of `text`, consumed.
std::optional<int> takeDigits(std::string_view& text, std::size_t count) {
  if (text.size() < count) return std::nullopt;
  int value = 0;
  for (std::size_t i = 0; i < count; ++i) {
    const char c = text[i];
    if (c < '0' || c > '9') return std::nullopt;
    value = value * 10 + (c - '0');
  }
  text.remove_prefix(count);
  return value;
}

std::chrono::sys_days addMonths(Date date, std::int64_t months) {
  using namespace std::chrono;
  const year_month target = year_month(date.year(), date.month()) + std::chrono::months(months);
  const day lastDay = year_month_day_last(target.year(), month_day_last(target.month())).day();
  return sys_days(target / std::min(date.day(), lastDay));
}

// The most whole months that lead from `from` towards `to` without passing
// it (negative when `to` lies before `from`).
std::int64_t wholeMonths(Date from, Date to) {
  std::int64_t months =
      (static_cast<int>(to.year()) - static_cast<int>(from.year())) * 12 +
      (static_cast<int>(static_cast<unsigned>(to.month())) - static_cast<int>(static_cast<unsigned>(from.month())));
  // The month fields give the count or one too many, where the day of the
  // month has not yet come round (or, going backwards, has passed).
  const std::chrono::sys_days reached = addMonths(from, months);
  const std::chrono::sys_days start(from), end(to);
  if (end >= start) {
    if (reached > end) --months;
  } else if (reached < end) {
    ++months;
  }
  return months;
}

}  // namespace

std::optional<Date> konverterDatoFraStreng(std::string_view text, std::string_view format) {
  std::optional<int> dayNumber, monthNumber, yearNumber;
  while (!format.empty()) {
    const char c = format.front();
    if (!isLetter(c)) {
      if (text.empty() || text.front() != c) return std::nullopt;
      text.remove_prefix(1);
      format.remove_prefix(1);
      continue;
    }
    const std::size_t run = std::min(format.find_first_not_of(c), format.size());
    const std::string_view token = format.substr(0, run);
    format.remove_prefix(run);

    std::optional<int>* slot = nullptr;
    std::size_t digits = 0;
    if (token == "dd") slot = &dayNumber, digits = 2;
    else if (token == "MM") slot = &monthNumber, digits = 2;
    else if (token == "yyyy") slot = &yearNumber, digits = 4;
    if (!slot || slot->has_value()) return std::nullopt;
    *slot = takeDigits(text, digits);
    if (!slot->has_value()) return std::nullopt;
  }
  if (!text.empty() || !dayNumber || !monthNumber || !yearNumber) return std::nullopt;

  const Date date{std::chrono::year(*yearNumber), std::chrono::month(static_cast<unsigned>(*monthNumber)),
                  std::chrono::day(static_cast<unsigned>(*dayNumber))};
  if (!date.ok()) return std::nullopt;
  return date;
}

std::optional<AgeAtTest> alderPåTestDato(Date fødselsdato, Date testdato) {
  if (!fødselsdato.ok() || !testdato.ok()) return std::nullopt;
  // Whole months from the birth date itself (a month end clamped: one month
  // after 31 January is the last of February), split into years and months,
  // then the days left. Counting the months from the clamped year anniversary
  // instead would let a client born on 29 February reach twelve months.
  const std::int64_t months = wholeMonths(fødselsdato, testdato);
  const std::int64_t days = (std::chrono::sys_days(testdato) - addMonths(fødselsdato, months)).count();
  return AgeAtTest{months / 12, months % 12, days};
}

}  // namespace kelmora
