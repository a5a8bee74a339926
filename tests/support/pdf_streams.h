#pragma once
// The streams of a PDF document, inflated where they are deflated: what a
// test or a fuzz target reads a page's drawing operators from.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kelmora::testing {

struct PdfStream {
  std::string_view dictionary;         // from the object's "obj" to its "stream"
  bool deflated = false;               // the dictionary names FlateDecode
  std::optional<std::string> content;  // inflated; none when deflated bytes do not inflate
};

std::vector<PdfStream> streamsOf(std::string_view document);

// A stream of drawing operators: deflated, neither an image nor a font.
bool holdsOperators(const PdfStream& stream);

}  // namespace kelmora::testing
