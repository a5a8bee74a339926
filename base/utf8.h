#pragma once
// Strict UTF-8: the one decoder and the one byte-order-mark rule of kelmora.

#include <cstddef>
#include <optional>
#include <string_view>

namespace kelmora {

struct Utf8Character {
  char32_t code;
  std::size_t length;  // in bytes
};

// The well-formed character that starts at `at`; no value for a byte that
// does not begin one (overlong forms, surrogates, values above U+10FFFF and
// sequences cut short included).
std::optional<Utf8Character> decodeUtf8(std::string_view text, std::size_t at);

// The first byte at which the text stops being well-formed UTF-8, if any.
std::optional<std::size_t> firstIllFormedByte(std::string_view text);

// The text without one leading UTF-8 byte-order mark: the mark belongs to the
// file, not to its first field.
std::string_view withoutByteOrderMark(std::string_view text);

}  // namespace kelmora
