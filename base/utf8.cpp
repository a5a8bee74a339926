#include "base/utf8.h"

namespace kelmora {

std::optional<Utf8Character> decodeUtf8(std::string_view text, std::size_t at) {
  if (at >= text.size()) return std::nullopt;
  const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
  const unsigned char lead = byte(at);
  if (lead < 0x80) return Utf8Character{lead, 1};
  std::size_t length = 0;
  unsigned char low = 0x80, high = 0xBF;  // allowed range of the second byte
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3;
    if (lead == 0xE0) low = 0xA0;
    if (lead == 0xED) high = 0x9F;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4;
    if (lead == 0xF0) low = 0x90;
    if (lead == 0xF4) high = 0x8F;
  } else {
    return std::nullopt;
  }
  if (at + length > text.size()) return std::nullopt;
  if (byte(at + 1) < low || byte(at + 1) > high) return std::nullopt;
  char32_t code = lead & (0x7F >> length);
  for (std::size_t i = 1; i < length; ++i) {
    if (byte(at + i) < 0x80 || byte(at + i) > 0xBF) return std::nullopt;
    code = (code << 6) | (byte(at + i) & 0x3F);
  }
  return Utf8Character{code, length};
}

std::optional<std::size_t> firstIllFormedByte(std::string_view text) {
  for (std::size_t at = 0; at < text.size();) {
    const auto character = decodeUtf8(text, at);
    if (!character) return at;
    at += character->length;
  }
  return std::nullopt;
}

std::string_view withoutByteOrderMark(std::string_view text) {
  constexpr std::string_view byteOrderMark = "\xEF\xBB\xBF";
  if (text.starts_with(byteOrderMark)) text.remove_prefix(byteOrderMark.size());
  return text;
}

}  // namespace kelmora
