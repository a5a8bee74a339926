// The reader's safety against hostile packages; what the import makes of
// ordinary and broken workbooks is tested through handleFile.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "data/xlsx/xlsx_error.h"
#include "data/xlsx/xlsx_file.h"
#include "data/xlsx_error_matchers.h"
#include "support/package_builder.h"
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
  // Well-formed all the way, so only its size can stop it: 256 MiB of blanks,
  // made a mebibyte at a time.
  testing::Part bomb{"xl/worksheets/sheet1.xml", "<worksheet><sheetData><row><c><v>1</v></c></row></sheetData>"};
  bomb.pieces = [](std::uint64_t i) { return std::string(i < defaultMaxPartSize >> 20 ? 1 << 20 : 0, ' '); };
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
  testing::writePackage(folder / "rows.xlsx",
                        testing::workbookParts({{R"(<row><c><v>1</v></c></row><row><c><v>2</v></c></row>)"
                                                 R"(<row><c><v>3</v></c></row>)"}}));
  const auto file = XLSXFile::open(folder / "rows.xlsx");
  ASSERT_TRUE(file);
  const Worksheet sheet = file->parseWorksheet("xl/worksheets/sheet1.xml", 2);
  ASSERT_TRUE(sheet.data);
  ASSERT_EQ(sheet.data->rows.size(), 2u);
  EXPECT_EQ(sheet.data->rows[1].cells.at(0).value, "2");
}

// Damaged parts are among the hostile packages of the import's tests.
TEST(ZipPackage, ACutArchiveIsNoPackage) {
  testing::ScratchFolder folder;
  const auto path = folder / "book.xlsx";
  testing::writePackage(path, {{"xl/styles.xml", "<styleSheet/>"}});
  ASSERT_TRUE(XLSXFile::open(path));
  // Cut short, the central directory is gone: no package at all.
  testing::writeFile(path, testing::readFile(path).substr(0, std::filesystem::file_size(path) / 2));
  EXPECT_FALSE(XLSXFile::open(path));
  EXPECT_FALSE(XLSXFile::openBuffer("PK\x03\x04 not really"));
}

}  // namespace
}  // namespace kelmora::xlsx
