#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "data/package_builder.h"
#include "data/xlsx/xlsx_error.h"
#include "data/xlsx/xlsx_file.h"
#include "data/xlsx/xml_reader.h"

namespace kelmora::xlsx {
namespace {

using ::testing::HasSubstr;
using testing::Part;
using testing::ScratchFolder;
using testing::WorkbookSpec;
using testing::workbookParts;

XLSXFile openParts(const ScratchFolder& folder, const std::vector<Part>& parts) {
  const auto file = folder / "book.xlsx";
  testing::writePackage(file, parts);
  auto opened = XLSXFile::open(file);
  if (!opened) throw std::runtime_error("the test package does not open");
  return std::move(*opened);
}

// Runs `action` and returns the description of the XlsxError it throws.
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
  EXPECT_EQ(relationshipsPartOf(""), "_rels/.rels");
  EXPECT_EQ(relationshipsPartOf("xl/workbook.xml"), "xl/_rels/workbook.xml.rels");
}

struct NullHandler : XmlHandler {
  void startElement(std::string_view, const XmlAttributes&) override {}
  void endElement(std::string_view) override {}
};

TEST(XmlSafety, DocumentTypesAndEntitiesAreRefused) {
  struct Case {
    const char* what;
    const char* xml;
    const char* description;
  };
  const std::vector<Case> cases = {
      {"billion laughs",
       R"(<?xml version="1.0"?><!DOCTYPE lolz [<!ENTITY lol "lol"><!ENTITY lol2 "&lol;&lol;&lol;">]><sst>&lol2;</sst>)",
       "document type declaration"},
      {"external entity",
       R"(<?xml version="1.0"?><!DOCTYPE x [<!ENTITY xxe SYSTEM "file:///etc/passwd">]><sst>&xxe;</sst>)",
       "document type declaration"},
      {"external DTD", R"(<!DOCTYPE sst SYSTEM "http://example.invalid/a.dtd"><sst/>)", "document type declaration"},
      {"undeclared entity", "<sst>&xxe;</sst>", "not well-formed"},
      {"unclosed element", "<sst><si>", "not well-formed"},
      {"empty part", "", "not well-formed"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    NullHandler handler;
    const auto description = failureOf([&] { parseXml(c.xml, "xl/sharedStrings.xml", handler); });
    EXPECT_THAT(description, HasSubstr("xl/sharedStrings.xml: "));
    EXPECT_THAT(description, HasSubstr(c.description));
  }
}

TEST(WorkbookReader, ReadsStylesSharedStringsAndWorkbooks) {
  ScratchFolder folder;
  WorkbookSpec spec;
  spec.sheets = {std::string(), std::nullopt};
  spec.cellFormats = R"(<xf numFmtId="14"/><xf/><xf numFmtId="22"/>)";
  spec.sharedStrings =
      R"(<si><t xml:space="preserve"> Kari </t></si>)"
      R"(<si><r><t>rik</t></r><r><t>tekst</t></r></si>)"
      R"(<si><t>Ola</t><rPh><t>fonetisk</t></rPh></si>)"
      R"(<si><t/></si>)";
  spec.workbookProperties = R"(date1904="true")";
  auto parts = workbookParts(spec);
  // A style sheet also lists cell style formats; only cellXfs counts.
  parts = testing::withPart(parts, {"xl/styles.xml",
                                    R"(<styleSheet><cellStyleXfs><xf numFmtId="99"/></cellStyleXfs>)"
                                    R"(<cellXfs><xf numFmtId="14"/><xf/><xf numFmtId="22"/></cellXfs></styleSheet>)"});
  const auto file = openParts(folder, parts);

  const Styles styles = file.parseStyles();
  ASSERT_TRUE(styles.cellFormats);
  std::vector<std::int64_t> ids;
  for (const auto& format : styles.cellFormats->items) ids.push_back(format.numberFormatId);
  EXPECT_EQ(ids, (std::vector<std::int64_t>{14, 0, 22}));

  const auto strings = file.parseSharedStrings();
  ASSERT_TRUE(strings);
  ASSERT_EQ(strings->items.size(), 4u);
  EXPECT_EQ(strings->items[0].text, " Kari ");
  EXPECT_EQ(strings->items[1].text, std::nullopt);
  EXPECT_EQ(strings->items[2].text, "Ola");
  EXPECT_EQ(strings->items[3].text, "");

  const auto workbooks = file.parseWorkbooks();
  ASSERT_EQ(workbooks.size(), 1u);
  EXPECT_TRUE(workbooks[0].date1904);
  const auto sheets = file.parseWorksheetPathsAndNames(workbooks[0]);
  ASSERT_EQ(sheets.size(), 2u);
  EXPECT_EQ(sheets[0], (WorksheetPathAndName{"Ark1", "xl/worksheets/sheet1.xml"}));
  EXPECT_EQ(sheets[1], (WorksheetPathAndName{"Ark2", "xl/worksheets/sheet2.xml"}));
  EXPECT_TRUE(file.parseWorksheet(sheets[0].second).data);
  EXPECT_FALSE(file.parseWorksheet(sheets[1].second).data);
}

TEST(WorkbookReader, OptionalPartsAndSheetsWithoutWorksheets) {
  ScratchFolder folder;
  WorkbookSpec spec;
  spec.sheets = {std::string(), std::string()};
  auto parts = workbookParts(spec);
  parts = testing::withPart(parts, {"xl/styles.xml", "<styleSheet/>"});
  // The second sheet is a chart sheet; a third names a relationship that
  // does not exist; the sheets come in the workbook's order, not the
  // relationships' order.
  parts = testing::withPart(
      parts, {"xl/workbook.xml",
              R"(<workbook xmlns:r="http://schemas.openxmlformats.org/officeDocument/2006/relationships"><sheets>)"
              R"(<sheet name="B" sheetId="2" r:id="rId2"/><sheet name="Diagram" sheetId="3" r:id="rId3"/>)"
              R"(<sheet name="Borte" sheetId="4" r:id="rId9"/><sheet sheetId="1" r:id="rId1"/></sheets></workbook>)"});
  parts = testing::withPart(
      parts, {"xl/_rels/workbook.xml.rels",
              R"(<Relationships>)"
              R"(<Relationship Id="rId1" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/worksheet" Target="worksheets/sheet1.xml"/>)"
              R"(<Relationship Id="rId2" Type="http://purl.oclc.org/ooxml/officeDocument/relationships/worksheet" Target="/xl/worksheets/sheet2.xml"/>)"
              R"(<Relationship Id="rId3" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/chartsheet" Target="chartsheets/sheet1.xml"/>)"
              R"(</Relationships>)"});
  const auto file = openParts(folder, parts);

  EXPECT_FALSE(file.parseStyles().cellFormats);
  EXPECT_FALSE(file.parseSharedStrings());
  const auto workbooks = file.parseWorkbooks();
  ASSERT_EQ(workbooks.size(), 1u);
  EXPECT_FALSE(workbooks[0].date1904);
  EXPECT_EQ(file.parseWorksheetPathsAndNames(workbooks[0]),
            (std::vector<WorksheetPathAndName>{{"B", "xl/worksheets/sheet2.xml"},
                                               {std::nullopt, "xl/worksheets/sheet1.xml"}}));
}

TEST(WorkbookReader, KeepsTheRowsAskedForAndChecksTheRest) {
  ScratchFolder folder;
  WorkbookSpec spec;
  spec.sheets = {R"(<row r="3"><c r="A3" t="s" s="1"><v>0</v></c><c r="B3" t="inlineStr"><is><t>x</t></is></c>)"
                 R"(<c r="C3" t="str"><f>A1</f><v> tekst </v></c><c r="D3" s="-2"/></row>)"
                 R"(<row r="7"><c><v>1</v></c></row>)"
                 R"(<row r="9"><c t="e"><v>#N/A</v></c></row>)"};
  const auto file = openParts(folder, workbookParts(spec));

  const auto two = file.parseWorksheet("xl/worksheets/sheet1.xml", 2);
  ASSERT_TRUE(two.data);
  ASSERT_EQ(two.data->rows.size(), 2u);
  const auto& cells = two.data->rows[0].cells;
  ASSERT_EQ(cells.size(), 4u);
  EXPECT_EQ(cells[0].type, CellType::sharedString);
  EXPECT_EQ(cells[0].styleIndex, 1);
  EXPECT_EQ(cells[0].value, "0");
  EXPECT_EQ(cells[1].type, CellType::inlineStr);
  EXPECT_EQ(cells[1].value, std::nullopt);
  EXPECT_EQ(cells[2].value, " tekst ");
  EXPECT_EQ(cells[3].styleIndex, -2);
  EXPECT_EQ(cells[3].value, std::nullopt);

  EXPECT_EQ(file.parseWorksheet("xl/worksheets/sheet1.xml").data->rows.size(), 3u);
}

TEST(WorkbookReader, BrokenPartsAreFailuresThatNameThePart) {
  const std::string goodRows = R"(<row><c><v>1</v></c></row><row><c><v>2</v></c></row>)";
  struct Case {
    const char* what;
    std::string sheetData;
    const char* description;
  };
  const std::vector<Case> cases = {
      {"broken after the second row", goodRows + "<row><c><v>3</v></row>", "not well-formed"},
      {"unknown cell type far down", goodRows + R"(<row><c t="x"><v>3</v></c></row>)", "attribute t"},
      {"style index that is not a number", goodRows + R"(<row><c s="1.5"><v>3</v></c></row>)", "attribute s"},
      {"style index beyond 64 bits", R"(<row><c s="99999999999999999999"/></row>)", "attribute s"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    ScratchFolder folder;
    WorkbookSpec spec;
    spec.sheets = {c.sheetData};
    const auto file = openParts(folder, workbookParts(spec));
    const auto description = failureOf([&] { file.parseWorksheet("xl/worksheets/sheet1.xml", 2); });
    EXPECT_THAT(description, HasSubstr("xl/worksheets/sheet1.xml"));
    EXPECT_THAT(description, HasSubstr(c.description));
  }
}

TEST(WorkbookReader, MissingAndBadPackageParts) {
  WorkbookSpec spec;
  spec.sheets = {std::string()};
  struct Case {
    const char* what;
    std::vector<Part> parts;
    std::function<void(const XLSXFile&)> read;
    const char* description;
  };
  auto without = [&](const char* name) {
    auto parts = workbookParts(spec);
    std::erase_if(parts, [&](const Part& part) { return part.name == name; });
    return parts;
  };
  const std::vector<Case> cases = {
      {"no style sheet", without("xl/styles.xml"), [](const XLSXFile& f) { f.parseStyles(); },
       "the package has no part xl/styles.xml"},
      {"bad number format", testing::withPart(workbookParts(spec), {"xl/styles.xml", R"(<a><cellXfs><xf numFmtId="x"/></cellXfs></a>)"}),
       [](const XLSXFile& f) { f.parseStyles(); }, "xl/styles.xml: the attribute numFmtId"},
      {"no package relationships", without("_rels/.rels"), [](const XLSXFile& f) { f.parseWorkbooks(); },
       "the package has no part _rels/.rels"},
      {"bad date system", testing::withPart(workbookParts(spec), {"xl/workbook.xml", R"(<workbook><workbookPr date1904="ja"/></workbook>)"}),
       [](const XLSXFile& f) { f.parseWorkbooks(); }, "xl/workbook.xml: the attribute date1904"},
      {"workbook outside the package",
       testing::withPart(workbookParts(spec),
                         {"_rels/.rels", R"(<Relationships><Relationship Id="a" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/officeDocument" Target="../book.xml"/></Relationships>)"}),
       [](const XLSXFile& f) { f.parseWorkbooks(); }, "_rels/.rels: the workbook \"../book.xml\" is not a part"},
      {"relationship without target",
       testing::withPart(workbookParts(spec), {"_rels/.rels", R"(<Relationships><Relationship Id="a" Type="t"/></Relationships>)"}),
       [](const XLSXFile& f) { f.parseWorkbooks(); }, "_rels/.rels: a relationship lacks"},
      {"no workbook relationships", without("xl/_rels/workbook.xml.rels"),
       [](const XLSXFile& f) { f.parseWorksheetPathsAndNames(f.parseWorkbooks().at(0)); },
       "the package has no part xl/_rels/workbook.xml.rels"},
      {"worksheet part missing", without("xl/worksheets/sheet1.xml"),
       [](const XLSXFile& f) { f.parseWorksheet("xl/worksheets/sheet1.xml"); },
       "the package has no part xl/worksheets/sheet1.xml"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    ScratchFolder folder;
    const auto file = openParts(folder, c.parts);
    EXPECT_THAT(failureOf([&] { c.read(file); }), HasSubstr(c.description));
  }
}

TEST(WorkbookReader, TargetsOutsideThePackageAreNeverRead) {
  ScratchFolder folder;
  WorkbookSpec spec;
  spec.sheets = {std::string()};
  // An entry literally named like a climbing path is not a part either.
  auto parts = testing::withPart(
      workbookParts(spec),
      {"xl/_rels/workbook.xml.rels",
       R"(<Relationships><Relationship Id="rId1" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/worksheet" Target="../../etc/passwd"/></Relationships>)"});
  parts.push_back({"xl/../../etc/passwd", "<worksheet/>"});
  const auto file = openParts(folder, parts);
  const auto sheets = file.parseWorksheetPathsAndNames(file.parseWorkbooks().at(0));
  ASSERT_EQ(sheets.size(), 1u);
  EXPECT_THAT(failureOf([&] { file.parseWorksheet(sheets[0].second); }),
              HasSubstr("the package has no part ../../etc/passwd"));
  EXPECT_THAT(failureOf([&] { file.parseWorksheet("xl/../../etc/passwd"); }), HasSubstr("the package has no part"));
}

TEST(ZipPackage, PartsAreCappedOnWhatTheyInflateTo) {
  ScratchFolder folder;
  WorkbookSpec spec;
  spec.sheets = {std::string()};
  // Well-formed all the way, so only the size can stop it.
  Part bomb{"xl/worksheets/sheet1.xml", "<worksheet><sheetData><row><c><v>1</v></c></row></sheetData>"};
  bomb.pieces = testing::blanks(defaultMaxPartSize);
  auto file = openParts(folder, testing::withPart(workbookParts(spec), bomb));
  EXPECT_LT(std::filesystem::file_size(folder / "book.xlsx"), 2u * 1024 * 1024);
  EXPECT_THAT(failureOf([&] { file.parseWorksheet("xl/worksheets/sheet1.xml", 2); }),
              HasSubstr("xl/worksheets/sheet1.xml: the part inflates to more than 268435456 bytes"));

  file.package().setMaxPartSize(100);
  EXPECT_THAT(failureOf([&] { file.parseStyles(); }), HasSubstr("xl/styles.xml: the part inflates to more than 100"));
}

TEST(ZipPackage, DamagedBytesAreFailures) {
  ScratchFolder folder;
  const auto path = folder / "book.xlsx";
  WorkbookSpec spec;
  spec.sheets = {std::string()};
  Part styles{"xl/styles.xml", "<styleSheet><cellXfs><xf numFmtId=\"14\"/></cellXfs></styleSheet>", true};
  testing::writePackage(path, testing::withPart(workbookParts(spec), styles));
  const std::string intact = testing::readFile(path);
  const auto at = intact.find("numFmtId=\"14\"");
  ASSERT_NE(at, std::string::npos);

  // A changed digit still parses as XML; only the checksum can tell.
  std::string changed = intact;
  changed[at + 10] = '5';
  testing::writeFile(path, changed);
  auto file = XLSXFile::open(path);
  ASSERT_TRUE(file);
  EXPECT_THAT(failureOf([&] { file->parseStyles(); }), HasSubstr("xl/styles.xml: cannot be read: CRC error"));

  // Cut short: the central directory is gone, so it is no package at all.
  testing::writeFile(path, intact.substr(0, intact.size() / 2));
  EXPECT_FALSE(XLSXFile::open(path));
  EXPECT_FALSE(XLSXFile::open(folder / "absent.xlsx"));
  EXPECT_FALSE(XLSXFile::openBuffer("PK\x03\x04 not really"));
}

}  // namespace
}  // namespace kelmora::xlsx
