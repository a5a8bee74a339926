// The reader's safety against hostile packages; what the import makes of
// ordinary and broken workbooks is tested through handleFile.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "data/package_builder.h"
#include "data/xlsx/xlsx_error.h"
#include "data/xlsx/xlsx_file.h"
#include "data/xlsx/xml_reader.h"

namespace kelmora::xlsx {
namespace {

using ::testing::HasSubstr;

template <class Action>
std::string failureOf(Action action) {
  try {
    action();
  } catch (const XlsxError& error) {
    return error.what();
  }
  ADD_FAILURE() << "no XlsxError";
  return {};
}

TEST(RelationshipTargets, ResolveInsideThePackageOnly) {
  struct Case {
    const char* source;
    const char* target;
    std::optional<std::string> expected;
  };
  const std::vector<Case> cases = {
      {"", "xl/workbook.xml", "xl/workbook.xml"},
      {"xl/workbook.xml", "worksheets/sheet1.xml", "xl/worksheets/sheet1.xml"},
      {"xl/workbook.xml", "/xl/worksheets/sheet1.xml", "xl/worksheets/sheet1.xml"},
      {"xl/workbook.xml", "./worksheets//sheet1.xml", "xl/worksheets/sheet1.xml"},
      {"xl/workbook.xml", "../other/sheet.xml", "other/sheet.xml"},
      {"xl/workbook.xml", "../../etc/passwd", std::nullopt},
      {"xl/workbook.xml", "/../etc/passwd", std::nullopt},
      {"xl/workbook.xml", "..", std::nullopt},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.target);
    EXPECT_EQ(resolveTarget(c.source, c.target), c.expected);
  }
}

TEST(XmlSafety, DocumentTypesAndEntitiesAreRefused) {
  struct IgnoreAll : XmlHandler {
    void startElement(std::string_view, const XmlAttributes&) override {}
    void endElement(std::string_view) override {}
  };
  const char* refused[] = {
      R"(<!DOCTYPE l [<!ENTITY a "aaaa"><!ENTITY b "&a;&a;&a;&a;">]><sst>&b;</sst>)",
      R"(<!DOCTYPE x [<!ENTITY e SYSTEM "file:///etc/passwd">]><sst>&e;</sst>)",
      R"(<!DOCTYPE sst SYSTEM "http://example.invalid/a.dtd"><sst/>)",
      "<sst>&e;</sst>",
  };
  for (const char* xml : refused) {
    SCOPED_TRACE(xml);
    IgnoreAll handler;
    EXPECT_THAT(failureOf([&] { parseXml(xml, "xl/sharedStrings.xml", handler); }),
                HasSubstr("xl/sharedStrings.xml: the "));
  }
}

TEST(ZipPackage, PartsAreCappedOnWhatTheyInflateTo) {
  testing::ScratchFolder folder;
  // Well-formed all the way, so only its size can stop it.
  testing::Part bomb{"xl/worksheets/sheet1.xml", "<worksheet><sheetData><row><c><v>1</v></c></row></sheetData>"};
  bomb.pieces = testing::blanks(defaultMaxPartSize);
  testing::writePackage(folder / "bomb.xlsx", {bomb, {"xl/styles.xml", "<styleSheet/>"}});
  EXPECT_LT(std::filesystem::file_size(folder / "bomb.xlsx"), 2u * 1024 * 1024);
  auto file = XLSXFile::open(folder / "bomb.xlsx");
  ASSERT_TRUE(file);
  EXPECT_THAT(failureOf([&] { file->parseWorksheet("xl/worksheets/sheet1.xml", 2); }),
              HasSubstr("xl/worksheets/sheet1.xml: the part inflates to more than 268435456 bytes"));
  file->package().setMaxPartSize(10);
  EXPECT_THAT(failureOf([&] { file->parseStyles(); }), HasSubstr("xl/styles.xml: the part inflates to more than 10"));
}

TEST(ZipPackage, DamagedBytesAreFailures) {
  testing::ScratchFolder folder;
  const auto path = folder / "book.xlsx";
  testing::writePackage(path, {{"xl/styles.xml", R"(<styleSheet><cellXfs><xf numFmtId="14"/></cellXfs></styleSheet>)",
                                true}});
  const std::string intact = testing::readFile(path);
  const auto digit = intact.find("14\"");
  ASSERT_NE(digit, std::string::npos);

  // A changed digit still parses as XML; only the checksum can tell.
  std::string changed = intact;
  changed[digit] = '2';
  testing::writeFile(path, changed);
  auto file = XLSXFile::open(path);
  ASSERT_TRUE(file);
  EXPECT_THAT(failureOf([&] { file->parseStyles(); }), HasSubstr("xl/styles.xml: cannot be read: CRC error"));

  // Cut short, the central directory is gone: no package at all.
  testing::writeFile(path, intact.substr(0, intact.size() / 2));
  EXPECT_FALSE(XLSXFile::open(path));
  EXPECT_FALSE(XLSXFile::openBuffer("PK\x03\x04 not really"));
}

}  // namespace
}  // namespace kelmora::xlsx
