#include "norms/norm_file.h"

#include <algorithm>
#include <set>

#include "base/utf8.h"
#include "base/whole_number.h"

namespace kelmora {
namespace {

std::vector<std::string_view> splitFields(std::string_view line) {
  std::vector<std::string_view> fields;
  std::size_t start = 0;
  while (true) {
    std::size_t end = line.find(';', start);
    if (end == std::string_view::npos) {
      fields.push_back(line.substr(start));
      return fields;
    }
    fields.push_back(line.substr(start, end - start));
    start = end + 1;
  }
}

}  // namespace

std::variant<std::vector<NormFileRow>, NormFileError> parseNormFile(std::string_view text) {
  text = withoutByteOrderMark(text);

  std::vector<NormFileRow> rows;
  std::set<std::string_view> seen;
  std::size_t lineNumber = 0;
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find('\n', start);
    if (end == std::string_view::npos) end = text.size();
    std::string_view line = text.substr(start, end - start);
    start = end + 1;
    ++lineNumber;
    if (line.ends_with('\r')) line.remove_suffix(1);
    if (line.find_first_not_of(" \t") == std::string_view::npos) continue;

    const auto fields = splitFields(line);
    if (fields.size() != 4) {
      return NormFileError{lineNumber,
                           "expected 4 fields (code;scaled;lowest;highest), found " + std::to_string(fields.size())};
    }
    const auto known = std::find(subtestCodes.begin(), subtestCodes.end(), fields[0]);
    if (known == subtestCodes.end()) {
      return NormFileError{lineNumber, "unknown subtest code \"" + std::string(fields[0]) + "\""};
    }
    static constexpr const char* names[] = {"scaled score", "lowest raw score", "highest raw score"};
    std::int64_t numbers[3] = {};
    for (int i = 0; i < 3; ++i) {
      const auto value = parseWholeNumber(fields[i + 1]);
      if (!value) {
        return NormFileError{lineNumber,
                             std::string(names[i]) + " \"" + std::string(fields[i + 1]) + "\" is not a whole number"};
      }
      numbers[i] = *value;
    }
    seen.insert(*known);
    rows.push_back({std::string(fields[0]), numbers[0], numbers[1], numbers[2]});
  }

  for (std::string_view code : subtestCodes) {
    if (!seen.contains(code)) return NormFileError{0, "no rows for subtest code \"" + std::string(code) + "\""};
  }
  return rows;
}

}  // namespace kelmora
