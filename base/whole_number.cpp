#include "base/whole_number.h"

#include <algorithm>
#include <charconv>

namespace kelmora {

std::optional<std::int64_t> parseWholeNumber(std::string_view text) {
  std::string_view digits = text;
  bool negative = false;
  if (!digits.empty() && (digits.front() == '+' || digits.front() == '-')) {
    negative = digits.front() == '-';
    digits.remove_prefix(1);
  }
  if (digits.empty() || !std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '9'; })) {
    return std::nullopt;
  }
  // Parse with the sign attached so that the most negative value fits.
  std::string signedDigits = negative ? "-" : "";
  signedDigits.append(digits);
  std::int64_t value = 0;
  auto [end, ec] = std::from_chars(signedDigits.data(), signedDigits.data() + signedDigits.size(), value);
  if (ec != std::errc{} || end != signedDigits.data() + signedDigits.size()) return std::nullopt;
  return value;
}

}  // namespace kelmora
