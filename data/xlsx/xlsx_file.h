#pragma once
// A workbook package opened for reading: the operations the import calls, in
// the order it calls them.

#include <cstddef>
#include <filesystem>
#include <limits>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "data/xlsx/models.h"
#include "data/xlsx/zip_package.h"

namespace kelmora::xlsx {

class XLSXFile {
 public:
  // Nothing when the file cannot be opened as a ZIP package. Opening reads
  // no part; each parse below reads its part afresh and throws XlsxError when
  // the part is missing, broken or holds a bad attribute.
  static std::optional<XLSXFile> open(const std::filesystem::path& file);
  static std::optional<XLSXFile> openBuffer(std::string_view bytes);

  // xl/styles.xml, which a workbook must have.
  Styles parseStyles() const;
  // xl/sharedStrings.xml; nothing when the package has no such part.
  std::optional<SharedStrings> parseSharedStrings() const;
  // The workbooks that the package relationships name as office documents.
  std::vector<Workbook> parseWorkbooks() const;
  // The workbook's worksheets in its sheet order; a sheet whose relationship
  // is not a worksheet (a chart sheet) is left out.
  std::vector<WorksheetPathAndName> parseWorksheetPathsAndNames(const Workbook& workbook) const;
  // Keeps the first `rowsToKeep` rows; the rest of the part is still parsed
  // and checked, so a sheet that is broken further down fails here too, while
  // memory stays bounded by the rows kept.
  Worksheet parseWorksheet(std::string_view path,
                           std::size_t rowsToKeep = std::numeric_limits<std::size_t>::max()) const;

  ZipPackage& package() { return package_; }
  const ZipPackage& package() const { return package_; }

 private:
  explicit XLSXFile(ZipPackage package) : package_(std::move(package)) {}
  ZipPackage package_;
};

// The relationships part that belongs to a part: "xl/workbook.xml" has
// "xl/_rels/workbook.xml.rels"; the package itself ("") has "_rels/.rels".
std::string relationshipsPartOf(std::string_view partName);

// The package path that a relative or absolute relationship target names,
// seen from `sourcePart`; nothing when it climbs out of the package root.
std::optional<std::string> resolveTarget(std::string_view sourcePart, std::string_view target);

}  // namespace kelmora::xlsx
