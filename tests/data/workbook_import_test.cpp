#include "data/workbook_import.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <xlsxwriter.h>

#include <functional>

#include "data/package_builder.h"
#include "norms/diagnostics.h"

namespace kelmora {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;
using testing::ScratchFolder;
using testing::WorkbookLayout;

// Writes a workbook with libxlsxwriter: a writer that knows nothing of our
// reader. `fill` gets the workbook and writes its sheets.
std::filesystem::path writeWorkbook(const ScratchFolder& folder, const std::function<void(lxw_workbook*)>& fill) {
  const auto path = folder / "klient.xlsx";
  lxw_workbook* workbook = workbook_new(path.c_str());
  fill(workbook);
  if (workbook_close(workbook) != LXW_NO_ERROR) throw std::runtime_error("libxlsxwriter failed");
  return path;
}

std::filesystem::path writeParts(const ScratchFolder& folder, const std::vector<testing::Part>& parts) {
  const auto path = folder / "pakke.xlsx";
  testing::writePackage(path, parts);
  return path;
}

struct Import {
  std::optional<ExcelData> result;
  std::vector<std::string> lines;  // without the two lines that name the file
  bool showAlert;
};

Import import(const std::filesystem::path& file, bool showAlert = false) {
  OutputCapture capture;
  auto result = handleFile(file, showAlert);
  auto lines = capture.lines();
  EXPECT_GE(lines.size(), 2u);
  EXPECT_EQ(lines.at(0), "handleFile");
  EXPECT_EQ(lines.at(1), file.string());
  lines.erase(lines.begin(), lines.begin() + 2);
  return {std::move(result), std::move(lines), showAlert};
}

TEST(HandleFile, ReadsAClientWorkbook) {
  ScratchFolder folder;
  const auto file = writeWorkbook(folder, [](lxw_workbook* workbook) {
    lxw_format* shortDate = workbook_add_format(workbook);
    format_set_num_format_index(shortDate, 14);
    lxw_format* longDate = workbook_add_format(workbook);
    format_set_num_format(longDate, "dd. mmmm yyyy");
    lxw_worksheet* sheet = workbook_add_worksheet(workbook, "Klient");
    const char* keys[] = {"Navn", "Fødselsdato", "Testdato", "Kjønn", "Tm", "Sum", "Tekst", "Sant", "Annen dato"};
    for (lxw_col_t col = 0; col < 9; ++col) worksheet_write_string(sheet, 0, col, keys[col], nullptr);
    worksheet_write_string(sheet, 1, 0, " Kari Nordmann ", nullptr);
    worksheet_write_number(sheet, 1, 1, 32874, shortDate);
    worksheet_write_number(sheet, 1, 2, 45000.75, shortDate);
    worksheet_write_string(sheet, 1, 3, "K", nullptr);
    worksheet_write_number(sheet, 1, 4, 30, nullptr);
    worksheet_write_formula_num(sheet, 1, 5, "=E2+12", nullptr, 42);
    worksheet_write_formula_str(sheet, 1, 6, "=\"a\"&\"b\"", nullptr, "ab");
    worksheet_write_boolean(sheet, 1, 7, 1, nullptr);
    worksheet_write_number(sheet, 1, 8, 45000, longDate);
    worksheet_write_string(sheet, 2, 0, "later rows are never read", nullptr);
  });
  const auto run = import(file);
  ASSERT_TRUE(run.result);
  EXPECT_EQ(*run.result, (ExcelData{{"Navn", " Kari Nordmann "},
                                    {"Fødselsdato", "01-01-1990"},
                                    {"Testdato", "15-03-2023"},
                                    {"Kjønn", "K"},
                                    {"Tm", "30"},
                                    {"Sum", "42"},
                                    {"Tekst", "ab"},
                                    {"Sant", "1"},
                                    {"Annen dato", "45000"}}));
  EXPECT_TRUE(run.lines.empty());
  EXPECT_FALSE(run.showAlert);
}

TEST(HandleFile, PairsByPositionAndLetsLaterKeysWin) {
  ScratchFolder folder;
  const auto file = writeWorkbook(folder, [](lxw_workbook* workbook) {
    lxw_format* bold = workbook_add_format(workbook);
    format_set_bold(bold);
    lxw_worksheet* first = workbook_add_worksheet(workbook, "En");
    // Columns A, C and E: positions count, not letters. A key twice, and a
    // key with a trailing blank, which is a key of its own.
    worksheet_write_string(first, 0, 0, "Navn", nullptr);
    worksheet_write_string(first, 0, 2, "Li", nullptr);
    worksheet_write_string(first, 0, 4, "Li", nullptr);
    worksheet_write_string(first, 0, 5, "Navn ", nullptr);
    worksheet_write_number(first, 1, 1, 1, nullptr);
    worksheet_write_number(first, 1, 3, 2, nullptr);
    worksheet_write_number(first, 1, 4, 3, nullptr);
    worksheet_write_string(first, 1, 6, "Ola", nullptr);
    // Keys from sheet row 3 and values from sheet row 7; two stored key
    // cells without text both become "Ukjent", the later value winning.
    lxw_worksheet* second = workbook_add_worksheet(workbook, "To");
    worksheet_write_string(second, 2, 0, "Navn", nullptr);
    worksheet_write_blank(second, 2, 1, bold);
    worksheet_write_blank(second, 2, 2, bold);
    worksheet_write_string(second, 6, 0, "Kari", nullptr);
    worksheet_write_number(second, 6, 1, 7, nullptr);
    worksheet_write_blank(second, 6, 2, bold);
    worksheet_write_string(second, 7, 0, "Navn", nullptr);
  });
  const auto run = import(file);
  ASSERT_TRUE(run.result);
  EXPECT_EQ(*run.result, (ExcelData{{"Navn", "Kari"}, {"Li", "3"}, {"Navn ", "Ola"}, {"Ukjent", "Ukjent"}}));
  EXPECT_TRUE(run.lines.empty());
}

TEST(HandleFile, UnequalRowsRaiseTheFlagAndSkipOnlyTheirSheet) {
  ScratchFolder folder;
  const auto file = writeWorkbook(folder, [](lxw_workbook* workbook) {
    lxw_worksheet* uneven = workbook_add_worksheet(workbook, "Ujevn");
    for (lxw_col_t col = 0; col < 5; ++col) worksheet_write_string(uneven, 0, col, "k", nullptr);
    for (lxw_col_t col : {0, 1, 3, 4}) worksheet_write_number(uneven, 1, col, col, nullptr);
    lxw_worksheet* single = workbook_add_worksheet(workbook, "Enkel");
    worksheet_write_string(single, 0, 0, "Alene", nullptr);
    workbook_add_worksheet(workbook, "Tom");
    lxw_worksheet* good = workbook_add_worksheet(workbook, "God");
    worksheet_write_string(good, 0, 0, "Tm", nullptr);
    worksheet_write_number(good, 1, 0, 30, nullptr);
  });
  const auto run = import(file);
  ASSERT_TRUE(run.result);
  EXPECT_EQ(*run.result, (ExcelData{{"Tm", "30"}}));
  EXPECT_THAT(run.lines,
              ElementsAre("Ulik lengde på headerRow og rowData", "headerRow.count:  5 , rowData.count:  4"));
  EXPECT_TRUE(run.showAlert);
}

// Packages put together by hand, for what no writer makes.
TEST(HandleFile, ResultsForPackagesNoWriterMakes) {
  const std::string outOfRange = " er utenfor rekkevidden av sharedStrings.items";
  const std::string relationship =
      R"(<Relationship Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/)";
  auto layout = [](std::vector<std::optional<std::string>> sheets, std::optional<std::string> sharedStrings,
                 std::string workbookProperties = {}) {
    WorkbookLayout made;
    made.sheets = std::move(sheets);
    made.sharedStrings = std::move(sharedStrings);
    made.workbookProperties = std::move(workbookProperties);
    return made;
  };
  struct Case {
    const char* what;
    std::vector<testing::Part> parts;
    ExcelData expected;
  };
  const std::vector<Case> cases = {
      {"inline strings, rich text, phonetic runs and out-of-range indices",
       testing::workbookParts(layout(
           {R"(<row><c t="inlineStr"><is><t>Navn</t></is></c><c t="s"><v>0</v></c><c t="s"><v>2</v></c>)"
            R"(<c t="s"><v>3</v></c></row>)"
            R"(<row><c t="s"><v>1</v></c><c t="s"><v>5</v></c><c t="s"><v>-1</v></c><c t="s"><v>4</v></c></row>)"},
           R"(<si><t>Li</t></si><si><r><t>rik</t></r></si><si><t>Rg</t><rPh><t>fonetisk</t></rPh></si>)"
           R"(<si><t xml:space="preserve"> Th </t></si><si><t/></si>)")),
       {{"Ukjent", "Ukjent"}, {"Li", "Indeks 5" + outOfRange}, {"Rg", "Indeks -1" + outOfRange}, {" Th ", ""}}},
      {"no shared-string part",
       testing::workbookParts(layout({R"(<row><c t="s"><v>0</v></c></row><row><c><v>1</v></c></row>)"}, std::nullopt)),
       {{"Indeks 0" + outOfRange, "1"}}},
      {"1904 date system",
       testing::workbookParts(layout({R"(<row><c><v>1</v></c></row><row><c s="1"><v>43538</v></c></row>)"},
                                   std::nullopt, R"(date1904="1")")),
       {{"1", "15-03-2023"}}},
      {"only cellXfs gives number formats",
       testing::withPart(testing::workbookParts(layout({R"(<row><c><v>1</v></c></row><row><c s="0"><v>45000</v></c></row>)"}, std::nullopt)),
                         {"xl/styles.xml", R"(<a><cellStyleXfs><xf/></cellStyleXfs><cellXfs><xf numFmtId="14"/></cellXfs></a>)"}),
       {{"1", "15-03-2023"}}},
      {"sheets without sheet data or rows", testing::workbookParts(layout({std::nullopt, std::string()}, std::nullopt)), {}},
      {"workbook sheet order, a chart sheet, a missing relationship, strict names",
       testing::withPart(
           testing::withPart(
               testing::workbookParts(layout({R"(<row><c><v>1</v></c></row><row><c><v>first</v></c></row>)",
                                            R"(<row><c><v>1</v></c></row><row><c><v>second</v></c></row>)"},
                                           std::nullopt)),
               {"xl/workbook.xml",
                R"(<workbook xmlns:r="http://purl.oclc.org/ooxml/officeDocument/relationships"><sheets>)"
                R"(<sheet name="B" r:id="rId2"/><sheet name="A" r:id="rId1"/><sheet r:id="rId9"/>)"
                R"(<sheet name="Diagram" r:id="rId3"/></sheets></workbook>)"}),
           {"xl/_rels/workbook.xml.rels",
            "<Relationships>" + relationship + R"(worksheet" Id="rId1" Target="worksheets/sheet1.xml"/>)" +
                R"(<Relationship Type="http://purl.oclc.org/ooxml/officeDocument/relationships/worksheet" Id="rId2" Target="/xl/worksheets/sheet2.xml"/>)" +
                relationship + R"(chartsheet" Id="rId3" Target="worksheets/sheet2.xml"/></Relationships>)"}),
       {{"1", "first"}}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    ScratchFolder folder;
    const auto run = import(writeParts(folder, c.parts));
    ASSERT_TRUE(run.result);
    EXPECT_EQ(*run.result, c.expected);
    EXPECT_TRUE(run.lines.empty());
  }
}

TEST(HandleFile, ReadingFailuresKeepThePairsReadBefore) {
  const std::string goodSheet = R"(<row><c t="s"><v>0</v></c></row><row><c><v>30</v></c></row>)";
  auto twoSheets = [&](const std::string& second) {
    WorkbookLayout layout;
    layout.sheets = {goodSheet, second};
    layout.sharedStrings = "<si><t>Tm</t></si>";
    return testing::workbookParts(layout);
  };
  auto without = [](std::vector<testing::Part> parts, const char* name) {
    std::erase_if(parts, [&](const testing::Part& part) { return part.name == name; });
    return parts;
  };
  auto secondTarget = [&](const std::string& target) {
    auto parts = testing::withPart(
        twoSheets(goodSheet),
        {"xl/_rels/workbook.xml.rels",
         R"(<Relationships><Relationship Id="rId1" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/worksheet" Target="worksheets/sheet1.xml"/>)"
         R"(<Relationship Id="rId2" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/worksheet" Target=")" +
             target + R"("/></Relationships>)"});
    // An entry literally named like a climbing path is no part either.
    parts.push_back({"xl/" + target, "<worksheet/>"});
    return parts;
  };
  const std::string rows = "<row><c><v>1</v></c></row><row><c><v>2</v></c></row>";
  struct Case {
    const char* what;
    std::vector<testing::Part> parts;
    ExcelData expected;
    const char* description;
  };
  const std::vector<Case> cases = {
      {"second worksheet broken after its second row", twoSheets(rows + "<row>"), {{"Tm", "30"}},
       "xl/worksheets/sheet2.xml: the XML is not well-formed"},
      {"unknown cell type far down", twoSheets(rows + R"(<row><c t="x"/></row>)"), {{"Tm", "30"}},
       "xl/worksheets/sheet2.xml: the attribute t of an element c holds \"x\", which is not a cell type"},
      {"style index that is not a whole number", twoSheets(rows + R"(<row><c s="1.5"/></row>)"), {{"Tm", "30"}},
       "xl/worksheets/sheet2.xml: the attribute s of an element c holds \"1.5\", which is not a whole number"},
      {"second worksheet outside the package", secondTarget("../../../etc/passwd"), {{"Tm", "30"}},
       "the package has no part ../../../etc/passwd"},
      {"no style sheet", without(twoSheets(goodSheet), "xl/styles.xml"), {},
       "the package has no part xl/styles.xml"},
      {"entity expansion in the shared strings",
       testing::withPart(twoSheets(goodSheet),
                         {"xl/sharedStrings.xml",
                          R"(<!DOCTYPE sst [<!ENTITY a "aaaaaaaaaa"><!ENTITY b "&a;&a;&a;&a;&a;&a;">]><sst><si><t>&b;</t></si></sst>)"}),
       {}, "xl/sharedStrings.xml: the part carries a document type declaration"},
      {"workbook outside the package",
       testing::withPart(twoSheets(goodSheet),
                         {"_rels/.rels", R"(<Relationships><Relationship Id="a" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/officeDocument" Target="../book.xml"/></Relationships>)"}),
       {}, "_rels/.rels: the workbook \"../book.xml\" is not a part of the package"},
      {"not a workbook, though a ZIP package", {{"readme.txt", "hei"}}, {}, "the package has no part xl/styles.xml"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    ScratchFolder folder;
    const auto run = import(writeParts(folder, c.parts));
    ASSERT_TRUE(run.result);
    EXPECT_EQ(*run.result, c.expected);
    ASSERT_EQ(run.lines.size(), 1u);
    EXPECT_THAT(run.lines[0], ::testing::StartsWith("An error occurred: "));
    EXPECT_THAT(run.lines[0], HasSubstr(c.description));
    EXPECT_FALSE(run.showAlert);
  }
}

TEST(HandleFile, TheFlagIsOnlyEverRaised) {
  ScratchFolder folder;
  const auto notAPackage = folder / "tekst.xlsx";
  testing::writeFile(notAPackage, "Navn;Tm\nKari;30\n");
  for (bool before : {false, true}) {
    const auto run = import(notAPackage, before);
    EXPECT_FALSE(run.result);
    EXPECT_TRUE(run.lines.empty());
    EXPECT_EQ(run.showAlert, before);
  }
  WorkbookLayout fine;
  fine.sheets = {std::string(R"(<row><c><v>1</v></c></row><row><c><v>2</v></c></row>)")};
  EXPECT_TRUE(import(writeParts(folder, testing::workbookParts(fine)), true).showAlert);
}

}  // namespace
}  // namespace kelmora
