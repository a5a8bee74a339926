#pragma once
// Whole numbers in text, as every subsystem reads and writes them.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace kelmora {

// An optional "+" or "-" followed by one or more decimal digits and nothing
// else, within the signed 64-bit range; leading zeros are allowed.
std::optional<std::int64_t> parseWholeNumber(std::string_view text);

// Plain decimal: no blanks, no leading zeros, a leading "-" when negative.
inline std::string formatWholeNumber(std::int64_t value) { return std::to_string(value); }

}  // namespace kelmora
