#pragma once
// Builds workbook packages for the tests: small SpreadsheetML packages put
// together part by part with libzip (for what no writer would make), and
// scratch folders to put them in.

#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace kelmora::testing {

struct Part {
  std::string name;
  std::string content;
  // Written without compression, so a test can find and damage its bytes.
  bool stored = false;
  // When set, `content` is followed by the pieces this returns for 0, 1, 2 ...
  // up to the first empty one. They are made as libzip asks for them, so a
  // part can be far larger than memory needs to hold.
  std::function<std::string(std::uint64_t index)> pieces = {};
};

// Pieces that make `count` blanks.
std::function<std::string(std::uint64_t)> blanks(std::uint64_t count);

void writePackage(const std::filesystem::path& file, const std::vector<Part>& parts);

// A minimal workbook. Each sheet is the inner XML of its sheetData (nothing
// means a sheet without sheetData).
struct WorkbookLayout {
  std::vector<std::optional<std::string>> sheets;
  // The inner XML of the shared-string part; nothing leaves the part out.
  std::optional<std::string> sharedStrings;
  // The inner XML of cellXfs; nothing leaves the style part out. Format 0 is
  // General, format 1 the short date.
  std::optional<std::string> cellFormats = R"(<xf numFmtId="0"/><xf numFmtId="14"/>)";
  // Attributes of workbookPr, e.g. date1904="1".
  std::string workbookProperties;
};

std::vector<Part> workbookParts(const WorkbookLayout& layout);

// The parts of a workbook with one part replaced or added.
std::vector<Part> withPart(std::vector<Part> parts, Part part);

std::string readFile(const std::filesystem::path& file);
void writeFile(const std::filesystem::path& file, const std::string& bytes);

// A fresh folder, removed with everything in it when the object goes.
class ScratchFolder {
 public:
  ScratchFolder();
  ~ScratchFolder();
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;
  const std::filesystem::path& path() const { return path_; }
  std::filesystem::path operator/(const std::string& name) const { return path_ / name; }

 private:
  std::filesystem::path path_;
};

}  // namespace kelmora::testing
