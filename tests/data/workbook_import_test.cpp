#include "data/workbook_import.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <xlsxwriter.h>

#include <algorithm>
#include <cstdlib>
#include <ctime>
#include <limits>

#include "base/diagnostics.h"
#include "data/cell_value.h"
#include "data/xlsx/xlsx_file.h"
#include "support/package_builder.h"
#include "support/scratch_folder.h"

namespace kelmora {
namespace {

using ::testing::ElementsAre;
using testing::Part;
using testing::ScratchFolder;

// The day must not depend on the zone or on the season of the call: the same
// cell is read on machines set to UTC and to Europe/Oslo, where the offset is
// one hour in winter and two in summer.
TEST(ExcelDates, WholeDaysFromTheBaseInEveryZoneAllYearRound) {
  constexpr double nan = std::numeric_limits<double>::quiet_NaN(), inf = std::numeric_limits<double>::infinity();
  struct Case {
    double serial;
    bool date1904;
    const char* expected;  // "-" when the serial has no civil day
  };
  // clang-format off
  const Case cases[] = {
      {0, false, "30-12-1899"},        {60, false, "28-02-1900"},       {61, false, "01-03-1900"},
      {45000, false, "15-03-2023"},    {45000.96, false, "15-03-2023"}, {45150.99, false, "12-08-2023"},
      {-0.5, false, "29-12-1899"},     {-693593, false, "01-01-0001"},  {2958465, false, "31-12-9999"},
      {0, true, "01-01-1904"},         {43688.75, true, "12-08-2023"},  {-693594, false, "-"},
      {2958466, false, "-"},           {1e300, false, "-"},             {-1e300, false, "-"},
      {nan, false, "-"},               {inf, false, "-"},               {-inf, false, "-"},
  };
  // clang-format on
  for (const char* zone : {"UTC", "Europe/Oslo"}) {
    setenv("TZ", zone, 1);
    tzset();
    for (const auto& c : cases) {
      SCOPED_TRACE(std::string(zone) + ", " + std::to_string(c.serial));
      const auto day = fromExcelDate(c.serial, c.date1904);
      EXPECT_EQ(day ? formatDate(*day) : "-", c.expected);
    }
  }
}

// A shared-string cell is its string whatever its style, and only a whole
// number indexes one; a number is a date only in the short-date format (id
// 14), not in the other built-in date and time formats 15 to 22, nor when its
// style is not in the list; any other text stays as it stands.
TEST(CellValue, SharedStringsFirstThenOnlyTheShortDate) {
  using enum xlsx::CellType;
  const xlsx::SharedStrings strings{{{"Li"}, {"K"}}};
  xlsx::Styles styles{xlsx::CellFormats{{{0}, {14}}}};
  for (std::int64_t id = 15; id <= 22; ++id) styles.cellFormats->items.push_back({id});
  // Taken off again, so that a read one past the end of the list finds a short date.
  styles.cellFormats->items.push_back({14});
  styles.cellFormats->items.pop_back();
  const auto pastTheEnd = static_cast<std::int64_t>(styles.cellFormats->items.size());

  struct Case {
    std::optional<xlsx::CellType> type;
    std::optional<std::int64_t> style;
    std::string value;
    std::string expected;
  };
  // clang-format off
  std::vector<Case> cases = {
      {sharedString, 1, "1", "K"},          {sharedString, 1, "0", "Li"},    {sharedString, {}, "1.0", "1.0"},
      {sharedString, {}, "1e0", "1e0"},     {sharedString, {}, "abc", "abc"}, {{}, 1, "45000", "15-03-2023"},
      {number, 1, "6", "05-01-1900"},       {{}, 1, "+45000", "15-03-2023"}, {{}, 1, "+-45000", "+-45000"},
      {{}, 1, "45000 ", "45000 "},          {{}, 1, "abc", "abc"},            {{}, 1, "3000000", "3000000"},
      {{}, pastTheEnd, "45000", "45000"},   {{}, -1, "45000", "45000"},
  };
  // clang-format on
  for (std::int64_t style = 2; style < pastTheEnd; ++style) cases.push_back({{}, style, "45000", "45000"});
  for (const auto& c : cases) {
    SCOPED_TRACE("style " + (c.style ? std::to_string(*c.style) : "-") + ", value " + c.value);
    EXPECT_EQ(getCellValue({c.type, c.style, c.value}, &strings, styles), c.expected);
  }
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

Import importParts(const std::vector<Part>& parts, bool showAlert = false) {
  ScratchFolder folder;
  testing::writePackage(folder / "pakke.xlsx", parts);
  return import(folder / "pakke.xlsx", showAlert);
}

// Written with libxlsxwriter, a writer that knows nothing of our reader: the
// pairs of the first two rows, a formula by its cached value.
TEST(HandleFile, ReadsAWorkbookFromAnIndependentWriter) {
  ScratchFolder folder;
  const auto file = folder / "klient.xlsx";
  lxw_workbook* workbook = workbook_new(file.c_str());
  lxw_format* shortDate = workbook_add_format(workbook);
  format_set_num_format_index(shortDate, 14);
  lxw_format* longDate = workbook_add_format(workbook);
  format_set_num_format(longDate, "dd. mmmm yyyy");

  lxw_worksheet* client = workbook_add_worksheet(workbook, "Klient");
  const char* keys[] = {"Navn", "Fødselsdato", "Testdato", "Tm", "Sum", "Tekst", "Sant", "Annen dato"};
  for (lxw_col_t col = 0; col < 8; ++col) worksheet_write_string(client, 0, col, keys[col], nullptr);
  worksheet_write_string(client, 1, 0, " Kari Nordmann ", nullptr);
  worksheet_write_number(client, 1, 1, 32874, shortDate);
  worksheet_write_number(client, 1, 2, 45000.75, shortDate);
  worksheet_write_number(client, 1, 3, 30, nullptr);
  worksheet_write_formula_num(client, 1, 4, "=D2+12", nullptr, 42);
  worksheet_write_formula_str(client, 1, 5, "=\"3\"", nullptr, "3");  // not shared string 3
  worksheet_write_boolean(client, 1, 6, 1, nullptr);
  worksheet_write_number(client, 1, 7, 45000, longDate);
  worksheet_write_string(client, 2, 0, "later rows are never read", nullptr);
  ASSERT_EQ(workbook_close(workbook), LXW_NO_ERROR);

  const auto run = import(file);
  // clang-format off
  EXPECT_EQ(run.result, (ExcelData{{"Navn", " Kari Nordmann "}, {"Fødselsdato", "01-01-1990"}, {"Tm", "30"},
                                   {"Testdato", "15-03-2023"}, {"Sum", "42"}, {"Tekst", "3"}, {"Sant", "1"},
                                   {"Annen dato", "45000"}}));
  // clang-format on
}

// The reader inflates a part 64 KiB at a time.
constexpr std::size_t readerChunk = 64 * 1024;

// The parts with blanks at "~" in place of that mark, as many as put the
// reader's chunk boundary at "|" in the same part, which is taken out.
std::vector<Part> straddling(std::vector<Part> parts) {
  for (auto& part : parts) {
    const auto cut = part.content.find('|');
    if (cut == std::string::npos) continue;
    part.content.erase(cut, 1);
    part.content.replace(part.content.find('~'), 1, std::string(readerChunk + 1 - cut, ' '));
  }
  return parts;
}

// Packages put together by hand, for what no writer makes, and what the
// import gives of them. Later sheets and columns win. The flag is raised only
// by a sheet whose rows differ in length, and never lowered.
TEST(HandleFile, ReadsPackagesNoWriterMakes) {
  using testing::relationship, testing::workbookParts;
  const std::string outOfRange = " er utenfor rekkevidden av sharedStrings.items";
  const std::string keyRowOne = "<row><c><v>1</v></c></row>";
  // A package may hold its parts in any order; workbookParts writes the shared strings last.
  const auto sharedStringsFirst = [](std::vector<Part> parts) {
    std::rotate(parts.rbegin(), parts.rbegin() + 1, parts.rend());
    return parts;
  };
  std::string fillers;
  for (int i = 0; i < 3000; ++i) fillers += "<si><t>x</t></si>";
  struct Case {
    std::string what;
    std::vector<Part> parts;
    ExcelData expected;
    std::vector<std::string> lines = {};
  };
  // clang-format off
  std::vector<Case> cases = {
      {"inline strings, rich text, phonetic runs and out-of-range indices", workbookParts(
           {.sheets = {R"(<row><c t="inlineStr"><is><t>Navn</t></is></c><c t="s"><v>0</v></c><c t="s"><v>2</v></c>)"
                       R"(<c t="s"><v>3</v></c></row><row><c t="s"><v>1</v></c><c t="s"><v>5</v></c><c t="s"><v>-1</v>)"
                       R"(</c><c t="s"><v>4</v></c></row>)"},
            .sharedStrings = R"(<si><t>Li</t></si><si><r><t>rik</t></r></si><si><t>Rg</t><rPh><t>fonetisk</t></rPh>)"
                             R"(</si><si><t xml:space="preserve"> Th </t></si><si><t/></si>)"}),
       {{"Ukjent", "Ukjent"}, {"Li", "Indeks 5" + outOfRange}, {"Rg", "Indeks -1" + outOfRange}, {" Th ", ""}}},
      {"no shared-string part, and cell formats from cellXfs only, which may be missing", testing::withParts(
           workbookParts({.sheets = {R"(<row><c t="s"><v>0</v></c></row><row><c s="0"><v>45000</v></c></row>)"}}),
           {{"xl/styles.xml", R"(<a><cellStyleXfs><xf numFmtId="14"/></cellStyleXfs></a>)"}}),
       {{"Indeks 0" + outOfRange, "45000"}}},
      {"sheets without sheet data, rows or a value row",
       workbookParts({.sheets = {std::nullopt, std::string(), "<row><c><v>Alene</v></c></row>"}}), {}},
      // Sheet B is read before sheet A; the chart sheet, the sheets without a
      // relationship (C's id lacks its namespace) and the package's other
      // relationships are left out.
      {"workbook sheet order, a chart sheet, a missing relationship, strict names", testing::withParts(
           workbookParts({.sheets = {keyRowOne + "<row><c><v>1st</v></c></row>",
                                     keyRowOne + "<row><c><v>2nd</v></c></row>"}}),
           {{"_rels/.rels", testing::relationships(relationship("rId0", "extended-properties", "docProps/app.xml") +
                                                   relationship("rId1", "officeDocument", "xl/workbook.xml"))},
            {"xl/workbook.xml", R"(<workbook xmlns:r="http://purl.oclc.org/ooxml/officeDocument/relationships">)"
                                R"(<sheets><sheet name="B" r:id="rId2"/><sheet name="A" r:id="rId1"/>)"
                                R"(<sheet r:id="rId9"/><sheet name="Diagram" r:id="rId3"/><sheet name="C" id="rId2"/>)"
                                R"(</sheets></workbook>)"},
            {"xl/_rels/workbook.xml.rels", testing::relationships(
                 relationship("rId1", "worksheet", "worksheets/sheet1.xml") + relationship("rId3", "chartsheet",
                 "worksheets/sheet2.xml") + R"(<Relationship Type="http://purl.oclc.org/ooxml/officeDocument/)"
                 R"(relationships/worksheet" Id="rId2" Target="/xl/worksheets/sheet2.xml"/>)")}}),
       {{"1", "1st"}}},
      // Cells pair by their places in the two rows, not by their column
      // letters; the rows are the first two listed, an empty one too, not the
      // ones numbered 1 and 2. Stored cells without text give "Ukjent".
      {"places, not letters or row numbers", workbookParts({.sheets = {
           "<row><c><v>Tm</v></c><c><v>Li</v></c></row><row><c><v>30</v></c><c><v>20</v></c></row>",
           R"(<row r="1"><c r="A1"><v>Tm</v></c><c r="C1"><v>Li</v></c><c r="E1"><v>Li</v></c><c r="F1"><v>Li </v></c>)"
           R"(</row><row r="2"><c r="B2"><v>31</v></c><c r="D2"><v>33</v></c><c r="E2"><v>34</v></c><c r="G2"><v>36)"
           R"(</v></c></row>)",
           R"(<row r="3"><c r="A3"><v>Kjønn</v></c><c r="B3" s="1"/><c r="C3" s="1"/></row><row r="7"><c r="A7"><v>K)"
           R"(</v></c><c r="B7"><v>7</v></c><c r="C7" s="1"/></row><row r="8"><c r="A8"><v>M</v></c></row>)",
           R"(<row r="1"/><row r="2"><c><v>Tm</v></c></row><row r="3"><c><v>40</v></c></row>)"}}),
       {{"Tm", "31"}, {"Li", "34"}, {"Li ", "36"}, {"Kjønn", "K"}, {"Ukjent", "Ukjent"}},
       {"Ulik lengde på headerRow og rowData", "headerRow.count:  0 , rowData.count:  1"}},
      // Texts reach the reader in pieces: split at entities, references and
      // line breaks, and at the boundary of the chunks it inflates.
      {"texts split at entities and line breaks; shared strings the first entry", sharedStringsFirst(workbookParts(
           {.sheets = {R"(<row><c t="s"><v>0</v></c><c t="s"><v>2</v></c><c t="str"><v>K&amp;S</v></c></row>)"
                       R"(<row><c t="s"><v>1</v></c><c><v>4&#54;</v></c><c t="s"><v>3</v></c></row>)"},
            .sharedStrings = "<si><t>Navn</t></si><si><t>Kari &amp; Ola</t></si><si><t>&lt;Tm&gt;</t></si>"
                             "<si><t>to\nlinjer&#10;</t></si>"})),
       {{"Navn", "Kari & Ola"}, {"<Tm>", "46"}, {"K&S", "to\nlinjer\n"}}},
      {"a raw score across a chunk boundary, after a very wide first row",
       straddling(workbookParts({.sheets = {"<row><c><v>Tm</v></c>~</row><row><c><v>4|6</v></c></row>"}})),
       {{"Tm", "46"}}},
      {"a name across a chunk boundary, late in a large shared-string part", straddling(workbookParts(
           {.sheets = {R"(<row><c t="s"><v>0</v></c></row><row><c t="s"><v>3001</v></c></row>)"},
            .sharedStrings = "<si><t>Navn</t></si>" + fillers + "~<si><t>Kari| Nordmann</t></si>"})),
       {{"Navn", "Kari Nordmann"}}},
  };
  // The date system's two spellings, in both rows; format 0 has no number format.
  for (const auto& [spelling, day] : {std::pair{"1", "15-03-2023"}, {"true", "15-03-2023"}, {"0", "14-03-2019"},
                                      {"false", "14-03-2019"}}) {
    const std::string row = R"(<row><c s="1"><v>43538</v></c><c s="0"><v>2</v></c></row>)";
    cases.push_back({std::string("date1904=") + spelling, workbookParts({.sheets = {row + row},
                         .cellFormats = R"(<xf/><xf numFmtId="14"/>)",
                         .workbookProperties = std::string("date1904=\"") + spelling + "\""}),
                     {{day, day}, {"2", "2"}}});
  }
  // clang-format on
  for (const auto& c : cases) {
    for (bool flag : {false, true}) {
      SCOPED_TRACE(c.what + (flag ? ", flag raised before" : ""));
      const auto run = importParts(c.parts, flag);
      EXPECT_EQ(run.result, c.expected);
      EXPECT_EQ(run.lines, c.lines);
      EXPECT_EQ(run.showAlert, flag || !c.lines.empty());
    }
  }
}

// The error line as the user reads it, kept byte for byte: a value cut short
// in the middle of the part, and where expat stopped. The pairs of the sheet
// before are kept, and the flag is left as it was.
TEST(HandleFile, PrintsTheErrorLineAndKeepsWhatWasRead) {
  const std::string line = "An error occurred: xl/worksheets/sheet2.xml: ";
  const std::tuple<std::string, std::string, bool> cases[] = {
      {R"(<row><c t="a-cell-type-longer-than-forty-characters-in-all"/></row>)",
       R"(the attribute t of an element c holds "a-cell-type-longer-than-forty-characters...", )"
       "which is not a cell type",
       false},
      {"<row>\n<c></row>", "the XML is not well-formed (mismatched tag) at line 2, column 5", true},
  };
  for (const auto& [broken, error, flag] : cases) {
    const auto run = importParts(
        testing::workbookParts({.sheets = {"<row><c><v>1</v></c></row><row><c><v>2</v></c></row>", broken}}), flag);
    EXPECT_EQ(run.result, (ExcelData{{"1", "2"}}));
    EXPECT_THAT(run.lines, ElementsAre(line + error));
    EXPECT_EQ(run.showAlert, flag);
  }
}

TEST(HandleFile, NothingForAFileThatIsNoPackage) {
  ScratchFolder folder;
  testing::writeFile(folder / "tekst.xlsx", "Navn;Tm\nKari;30\n");
  EXPECT_FALSE(xlsx::XLSXFile::openBuffer(testing::readFile(folder / "tekst.xlsx")));  // the fuzz target's way in
  for (bool flag : {false, true}) {
    const auto run = import(folder / "tekst.xlsx", flag);
    EXPECT_FALSE(run.result);
    EXPECT_TRUE(run.lines.empty());
    EXPECT_EQ(run.showAlert, flag);
  }
}

}  // namespace
}  // namespace kelmora
