#pragma once
// Builds workbook packages for the tests: small SpreadsheetML packages put
// together part by part with libzip, for what no writer would make.

#include <filesystem>
#include <functional>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

namespace kelmora::testing {

struct Part {
  std::string name;
  std::string content;
  // Written without compression, so a test can find and damage its bytes.
  bool stored = false;
  // When set, writes the rest of the part after `content`. It goes through a
  // file beside the package, so a part can be far larger than memory.
  std::function<void(std::ostream& out)> rest = {};
};

void writePackage(const std::filesystem::path& file, const std::vector<Part>& parts);

// A minimal workbook. Each sheet is the inner XML of its sheetData (nothing
// means a sheet without sheetData).
struct WorkbookLayout {
  std::vector<std::optional<std::string>> sheets = {};
  // The inner XML of the shared-string part; nothing leaves the part out.
  std::optional<std::string> sharedStrings = {};
  // The inner XML of cellXfs; nothing leaves the style part out. Format 0 is
  // General, format 1 the short date.
  std::optional<std::string> cellFormats = R"(<xf numFmtId="0"/><xf numFmtId="14"/>)";
  // Attributes of workbookPr, e.g. date1904="1".
  std::string workbookProperties = {};
};

std::vector<Part> workbookParts(const WorkbookLayout& layout);

// A relationship of a transitional kind ("worksheet", "officeDocument"), and
// a relationships part around some of them.
std::string relationship(const std::string& id, const std::string& kind, const std::string& target);
std::string relationships(const std::string& inner);

// The parts with some replaced or added.
std::vector<Part> withParts(std::vector<Part> parts, const std::vector<Part>& replacements);

// The file's bytes; empty when it cannot be read.
std::string readFile(const std::filesystem::path& file);
void writeFile(const std::filesystem::path& file, const std::string& bytes);

}  // namespace kelmora::testing
