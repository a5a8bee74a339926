#include "data/cell_value.h"

#include <charconv>
#include <cmath>
#include <cstdio>

#include "base/whole_number.h"

namespace kelmora {
namespace {

constexpr std::int64_t shortDateFormat = 14;

// A floating-point number and nothing else, as a spreadsheet stores one.
std::optional<double> parseDouble(std::string_view text) {
  // from_chars takes a "-" but not a "+"; one sign at most either way.
  if (text.starts_with('+')) {
    text.remove_prefix(1);
    if (text.starts_with('-')) return std::nullopt;
  }
  if (text.empty()) return std::nullopt;
  double value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc{} || end != text.data() + text.size()) return std::nullopt;
  return value;
}

std::optional<std::string> sharedString(std::int64_t index, const xlsx::SharedStrings* sharedStrings) {
  if (sharedStrings && index >= 0 && static_cast<std::uint64_t>(index) < sharedStrings->items.size()) {
    return sharedStrings->items[static_cast<std::size_t>(index)].text;
  }
  // The sentence becomes the cell's text, so the user sees it in the report.
  return "Indeks " + formatWholeNumber(index) + " er utenfor rekkevidden av sharedStrings.items";
}

std::optional<std::int64_t> numberFormatOf(const xlsx::Cell& cell, const xlsx::Styles& styles) {
  if (!cell.styleIndex || !styles.cellFormats) return std::nullopt;
  const auto& formats = styles.cellFormats->items;
  const std::int64_t index = *cell.styleIndex;
  if (index < 0 || static_cast<std::uint64_t>(index) >= formats.size()) return std::nullopt;
  return formats[static_cast<std::size_t>(index)].numberFormatId;
}

}  // namespace

std::optional<std::chrono::year_month_day> fromExcelDate(double serial, bool date1904) {
  using namespace std::chrono;
  if (!std::isfinite(serial)) return std::nullopt;
  // Keeps the day count well inside the range of sys_days before converting.
  const double wholeDays = std::floor(serial);
  if (std::fabs(wholeDays) > 5'000'000.0) return std::nullopt;
  const sys_days base = date1904 ? sys_days(1904y / January / 1) : sys_days(1899y / December / 30);
  const year_month_day day(base + days(static_cast<int>(wholeDays)));
  if (!day.ok() || day.year() < year(1) || day.year() > year(9999)) return std::nullopt;
  return day;
}

std::string formatDate(std::chrono::year_month_day day) {
  char text[48];
  std::snprintf(text, sizeof text, "%02u-%02u-%04d", static_cast<unsigned>(day.day()),
                static_cast<unsigned>(day.month()), static_cast<int>(day.year()));
  return text;
}

std::optional<std::string> getCellValue(const xlsx::Cell& cell, const xlsx::SharedStrings* sharedStrings,
                                        const xlsx::Styles& styles, bool date1904) {
  if (cell.type == xlsx::CellType::sharedString && cell.value) {
    if (const auto index = parseWholeNumber(*cell.value)) return sharedString(*index, sharedStrings);
  }
  if (numberFormatOf(cell, styles) == shortDateFormat && cell.value) {
    if (const auto serial = parseDouble(*cell.value)) {
      if (const auto day = fromExcelDate(*serial, date1904)) return formatDate(*day);
    }
  }
  return cell.value;
}

}  // namespace kelmora
