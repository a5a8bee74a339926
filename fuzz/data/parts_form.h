#pragma once
// The parts form of the import fuzz target's input: a first byte that is odd,
// then parts, each "name\n" followed by its content, separated by NUL bytes.
// Packed uncompressed, so that mutations reach the XML of each part instead
// of breaking the deflate stream.

#include <string>
#include <string_view>
#include <vector>

namespace kelmora::fuzz {

struct NamedPart {
  std::string name;
  std::string content;
};

// A ZIP archive in memory holding the parts of `text`, the form without its
// first byte; empty when libzip refuses. A piece without a name is skipped,
// and a later part of the same name replaces the earlier.
std::string packParts(std::string_view text);

// The form of these parts, first byte included. Throws std::invalid_argument
// for a part the form cannot carry: an empty name, a name holding a newline
// or a NUL byte, or content holding a NUL byte.
std::string partsForm(const std::vector<NamedPart>& parts);

}  // namespace kelmora::fuzz
