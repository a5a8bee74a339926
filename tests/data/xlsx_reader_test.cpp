// The reader's safety against hostile packages; what the import makes of
// ordinary and broken workbooks is tested through handleFile.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "data/hostile_packages.h"
#include "data/xlsx/xlsx_file.h"
#include "support/scratch_folder.h"

namespace kelmora::xlsx {
namespace {

using ::testing::Throws;
using Kind = XlsxError::Kind;

TEST(RelationshipTargets, ResolveInsideThePackageOnly) {
  const std::pair<const char*, std::optional<std::string>> cases[] = {
      {"/xl/worksheets/sheet1.xml", "xl/worksheets/sheet1.xml"},
      {"./worksheets//sheet1.xml", "xl/worksheets/sheet1.xml"},
      {"../other/sheet.xml", "other/sheet.xml"},
      {"../../etc/passwd", std::nullopt},
      {"/../etc/passwd", std::nullopt},
      {"..", std::nullopt},
  };
  for (const auto& [target, expected] : cases) {
    EXPECT_EQ(resolveTarget("xl/workbook.xml", target), expected) << target;
  }
}

TEST(ZipPackage, PartsAreCappedOnWhatTheyInflateTo) {
  testing::ScratchFolder folder;
  // Well-formed all the way, so only its size can stop it: 256 MiB of blanks.
  testing::Part bomb{"xl/worksheets/sheet1.xml", "<worksheet><sheetData><row><c><v>1</v></c></row></sheetData>"};
  bomb.rest = [](std::ostream& out) {
    for (std::uint64_t mebibyte = 0; mebibyte < defaultMaxPartSize >> 20; ++mebibyte) out << std::string(1 << 20, ' ');
  };
  testing::writePackage(folder / "bomb.xlsx", {bomb, {"xl/styles.xml", "<styleSheet/>"}});
  EXPECT_LT(std::filesystem::file_size(folder / "bomb.xlsx"), 2u * 1024 * 1024);
  auto file = XLSXFile::open(folder / "bomb.xlsx");
  ASSERT_TRUE(file);
  EXPECT_THAT([&] { file->parseWorksheet("xl/worksheets/sheet1.xml", 2); },
              Throws<XlsxError>(IsXlsxError(Kind::partTooLarge, "xl/worksheets/sheet1.xml")));
  EXPECT_NO_THROW(file->parseStyles());
  file->package().setMaxPartSize(std::string("<styleSheet/>").size());  // exactly its size: still read
  EXPECT_NO_THROW(file->parseStyles());
  file->package().setMaxPartSize(10);
  EXPECT_THAT([&] { file->parseStyles(); }, Throws<XlsxError>(IsXlsxError(Kind::partTooLarge, "xl/styles.xml")));

  // The entry may declare less than it holds: 1,025 bytes that the local
  // header and the central directory both say are 13.
  const auto path = folder / "understated.xlsx";
  testing::writePackage(path, {{"xl/styles.xml", "<styleSheet>" + std::string(1000, ' ') + "</styleSheet>"}});
  std::string bytes = testing::readFile(path);
  const auto setSize = [&](std::size_t at) {
    ASSERT_EQ(bytes.substr(at, 4), std::string("\x01\x04\0\0", 4));
    bytes.replace(at, 4, std::string("\x0d\0\0\0", 4));
  };
  setSize(22);                             // the local header
  setSize(bytes.find("PK\x01\x02") + 24);  // the central directory
  testing::writeFile(path, bytes);
  file = XLSXFile::open(path);
  ASSERT_TRUE(file);
  file->package().setMaxPartSize(100);
  EXPECT_THAT([&] { file->parseStyles(); }, Throws<XlsxError>(IsXlsxError(Kind::partTooLarge, "xl/styles.xml")));
}

// Only the rows asked for are kept, however long the sheet: the import needs
// two, and a large sheet must not fill the memory.
TEST(Worksheet, KeepsOnlyTheRowsAskedFor) {
  testing::ScratchFolder folder;
  testing::writePackage(folder / "rows.xlsx", testing::workbookParts({{"<row/><row/><row><c><v>3</v></c></row>"}}));
  const Worksheet sheet = XLSXFile::open(folder / "rows.xlsx").value().parseWorksheet("xl/worksheets/sheet1.xml", 2);
  ASSERT_TRUE(sheet.data);
  EXPECT_EQ(sheet.data->rows.size(), 2u);
}

}  // namespace
}  // namespace kelmora::xlsx
