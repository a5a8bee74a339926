#include "data/workbook_import.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <xlsxwriter.h>

#include "base/diagnostics.h"
#include "support/package_builder.h"
#include "support/scratch_folder.h"

namespace kelmora {
namespace {

using ::testing::ElementsAre;
using testing::Part;
using testing::ScratchFolder;

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

// Written with libxlsxwriter, a writer that knows nothing of our reader. Every
// sheet adds the pairs of its first two stored rows, later sheets and columns
// winning; a sheet whose rows differ in length is skipped and raises the flag.
TEST(HandleFile, ReadsAWorkbookFromAnIndependentWriter) {
  ScratchFolder folder;
  const auto file = folder / "klient.xlsx";
  lxw_workbook* workbook = workbook_new(file.c_str());
  lxw_format* shortDate = workbook_add_format(workbook);
  format_set_num_format_index(shortDate, 14);
  lxw_format* longDate = workbook_add_format(workbook);
  format_set_num_format(longDate, "dd. mmmm yyyy");
  lxw_format* bold = workbook_add_format(workbook);
  format_set_bold(bold);

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

  lxw_worksheet* uneven = workbook_add_worksheet(workbook, "Ujevn");
  for (lxw_col_t col = 0; col < 5; ++col) worksheet_write_string(uneven, 0, col, "k", nullptr);
  for (lxw_col_t col : {0, 1, 3, 4}) worksheet_write_number(uneven, 1, col, col, nullptr);
  worksheet_write_string(workbook_add_worksheet(workbook, "Enkel"), 0, 0, "Alene", nullptr);
  workbook_add_worksheet(workbook, "Tom");

  // Keys in columns A, C, E and F, values in B, D, E and G: positions count,
  // not letters. "Li" twice, and "Li " with a trailing blank, a key of its own.
  lxw_worksheet* positions = workbook_add_worksheet(workbook, "Posisjoner");
  const std::pair<lxw_col_t, const char*> positionKeys[] = {{0, "Tm"}, {2, "Li"}, {4, "Li"}, {5, "Li "}};
  for (const auto& [col, key] : positionKeys) worksheet_write_string(positions, 0, col, key, nullptr);
  for (lxw_col_t col : {1, 3, 4, 6}) worksheet_write_number(positions, 1, col, 30 + col, nullptr);

  // Keys from sheet row 3 and values from sheet row 7; two stored key cells
  // without text both become "Ukjent", the later value winning.
  lxw_worksheet* gap = workbook_add_worksheet(workbook, "Hull");
  worksheet_write_string(gap, 2, 0, "Kjønn", nullptr);
  worksheet_write_blank(gap, 2, 1, bold);
  worksheet_write_blank(gap, 2, 2, bold);
  worksheet_write_string(gap, 6, 0, "K", nullptr);
  worksheet_write_number(gap, 6, 1, 7, nullptr);
  worksheet_write_blank(gap, 6, 2, bold);
  worksheet_write_string(gap, 7, 0, "M", nullptr);
  ASSERT_EQ(workbook_close(workbook), LXW_NO_ERROR);

  const auto run = import(file);
  ASSERT_TRUE(run.result);
  EXPECT_EQ(*run.result, (ExcelData{{"Navn", " Kari Nordmann "},
                                    {"Fødselsdato", "01-01-1990"},
                                    {"Testdato", "15-03-2023"},
                                    {"Tm", "31"},
                                    {"Sum", "42"},
                                    {"Tekst", "3"},
                                    {"Sant", "1"},
                                    {"Annen dato", "45000"},
                                    {"Li", "34"},
                                    {"Li ", "36"},
                                    {"Kjønn", "K"},
                                    {"Ukjent", "Ukjent"}}));
  EXPECT_THAT(run.lines, ElementsAre("Ulik lengde på headerRow og rowData", "headerRow.count:  5 , rowData.count:  4"));
  EXPECT_TRUE(run.showAlert);
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
// import gives of them. The flag is raised only by a sheet whose rows differ
// in length, and never lowered.
TEST(HandleFile, ReadsPackagesNoWriterMakes) {
  const std::string outOfRange = " er utenfor rekkevidden av sharedStrings.items";
  const std::string keyRowOne = "<row><c><v>1</v></c></row>";
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
      {"inline strings, rich text, phonetic runs and out-of-range indices",
       testing::workbookParts(
           {.sheets = {R"(<row><c t="inlineStr"><is><t>Navn</t></is></c><c t="s"><v>0</v></c><c t="s"><v>2</v></c>)"
                       R"(<c t="s"><v>3</v></c></row>)"
                       R"(<row><c t="s"><v>1</v></c><c t="s"><v>5</v></c><c t="s"><v>-1</v></c><c t="s"><v>4</v></c></row>)"},
            .sharedStrings = R"(<si><t>Li</t></si><si><r><t>rik</t></r></si><si><t>Rg</t><rPh><t>fonetisk</t></rPh></si>)"
                             R"(<si><t xml:space="preserve"> Th </t></si><si><t/></si>)"}),
       {{"Ukjent", "Ukjent"}, {"Li", "Indeks 5" + outOfRange}, {"Rg", "Indeks -1" + outOfRange}, {" Th ", ""}}},
      // No shared-string part; style 0 has no number format, style 1 is the
      // short date, style 2 is past the list.
      {"texts that only look like indices, numbers or dates",
       testing::workbookParts({.sheets = {R"(<row><c t="s"><v>0</v></c><c s="0"><v>2</v></c><c><v>3</v></c><c><v>4</v></c>)"
                                          R"(<c><v>5</v></c><c><v>6</v></c><c><v>7</v></c></row><row><c t="s"><v>abc</v></c>)"
                                          R"(<c s="1"><v>+45000</v></c><c s="1"><v>abc</v></c><c s="1"><v>+-45000</v></c>)"
                                          R"(<c s="1"><v>45000 </v></c><c s="1"><v>3000000</v></c><c s="2"><v>45000</v></c></row>)"},
                               .cellFormats = R"(<xf/><xf numFmtId="14"/>)"}),
       {{"Indeks 0" + outOfRange, "abc"}, {"2", "15-03-2023"}, {"3", "abc"}, {"4", "+-45000"}, {"5", "45000 "},
        {"6", "3000000"}, {"7", "45000"}}},
      {"cell formats come from cellXfs only, which may be missing",
       testing::withParts(testing::workbookParts({.sheets = {keyRowOne + R"(<row><c s="0"><v>45000</v></c></row>)"}}),
                          {{"xl/styles.xml", R"(<a><cellStyleXfs><xf numFmtId="14"/></cellStyleXfs></a>)"}}),
       {{"1", "45000"}}},
      {"sheets without sheet data or rows", testing::workbookParts({.sheets = {std::nullopt, std::string()}}), {}},
      // Sheet B is read before sheet A; the chart sheet, the sheet without a
      // relationship and the package's other relationships are left out.
      {"workbook sheet order, a chart sheet, a missing relationship, strict names",
       testing::withParts(
           testing::workbookParts({.sheets = {keyRowOne + "<row><c><v>first</v></c></row>",
                                              keyRowOne + "<row><c><v>second</v></c></row>"}}),
           {{"_rels/.rels", testing::relationships(testing::relationship("rId0", "extended-properties", "docProps/app.xml") +
                                                   testing::relationship("rId1", "officeDocument", "xl/workbook.xml"))},
            {"xl/workbook.xml",
             R"(<workbook xmlns:r="http://purl.oclc.org/ooxml/officeDocument/relationships"><sheets>)"
             R"(<sheet name="B" r:id="rId2"/><sheet name="A" r:id="rId1"/><sheet r:id="rId9"/>)"
             R"(<sheet name="Diagram" r:id="rId3"/></sheets></workbook>)"},
            {"xl/_rels/workbook.xml.rels",
             testing::relationships(
                 testing::relationship("rId1", "worksheet", "worksheets/sheet1.xml") +
                 R"(<Relationship Type="http://purl.oclc.org/ooxml/officeDocument/relationships/worksheet" Id="rId2" Target="/xl/worksheets/sheet2.xml"/>)" +
                 testing::relationship("rId3", "chartsheet", "worksheets/sheet2.xml"))}}),
       {{"1", "first"}}},
      // The key row is the first row the sheet lists, even one without cells,
      // not the row numbered 1; its length differs from the value row's.
      {"a listed row without cells", testing::workbookParts({.sheets = {"<row><c><v>Tm</v></c></row><row><c><v>30</v></c></row>",
           R"(<row r="1"/><row r="2"><c><v>Li</v></c></row><row r="3"><c><v>20</v></c></row>)"}}),
       {{"Tm", "30"}}, {"Ulik lengde på headerRow og rowData", "headerRow.count:  0 , rowData.count:  1"}},
      // Texts reach the reader in pieces: split at entities, references and
      // line breaks, and at the boundary of the chunks it inflates.
      {"texts split at entities and line breaks",
       testing::workbookParts({.sheets = {R"(<row><c t="s"><v>0</v></c><c t="s"><v>2</v></c><c t="str"><v>K&amp;S</v></c></row>)"
                                          R"(<row><c t="s"><v>1</v></c><c><v>4&#54;</v></c><c t="s"><v>3</v></c></row>)"},
                               .sharedStrings = "<si><t>Navn</t></si><si><t>Kari &amp; Ola</t></si><si><t>&lt;Tm&gt;</t></si>"
                                                "<si><t>to\nlinjer&#10;</t></si>"}),
       {{"Navn", "Kari & Ola"}, {"<Tm>", "46"}, {"K&S", "to\nlinjer\n"}}},
      {"a raw score across a chunk boundary, after a very wide first row",
       straddling(testing::workbookParts({.sheets = {"<row><c><v>Tm</v></c>~</row><row><c><v>4|6</v></c></row>"}})),
       {{"Tm", "46"}}},
      {"a name across a chunk boundary, late in a large shared-string part",
       straddling(testing::workbookParts({.sheets = {R"(<row><c t="s"><v>0</v></c></row><row><c t="s"><v>3001</v></c></row>)"},
                                          .sharedStrings = "<si><t>Navn</t></si>" + fillers + "~<si><t>Kari| Nordmann</t></si>"})),
       {{"Navn", "Kari Nordmann"}}},
  };
  // The date system's two spellings; the key row's dates too.
  for (const auto& [spelling, day] : {std::pair{"1", "15-03-2023"}, {"true", "15-03-2023"}, {"0", "14-03-2019"}, {"false", "14-03-2019"}}) {
    cases.push_back({std::string("date1904=") + spelling,
                     testing::workbookParts({.sheets = {R"(<row><c s="1"><v>43538</v></c></row><row><c s="1"><v>43538</v></c></row>)"},
                                             .workbookProperties = std::string("date1904=\"") + spelling + "\""}),
                     {{day, day}}});
  }
  // clang-format on
  for (const auto& c : cases) {
    for (bool flag : {false, true}) {
      SCOPED_TRACE(c.what + (flag ? ", flag raised before" : ""));
      const auto run = importParts(c.parts, flag);
      ASSERT_TRUE(run.result);
      EXPECT_EQ(*run.result, c.expected);
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
       "the attribute t of an element c holds \"a-cell-type-longer-than-forty-characters...\", which is not a cell "
       "type",
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

// Neither a text file nor a package cut short, its central directory gone.
TEST(HandleFile, NothingForAFileThatIsNoPackage) {
  ScratchFolder folder;
  testing::writePackage(folder / "kort.xlsx", testing::workbookParts({.sheets = {"<row/>"}}));
  testing::writeFile(folder / "kort.xlsx", testing::readFile(folder / "kort.xlsx").substr(0, 600));
  testing::writeFile(folder / "tekst.xlsx", "Navn;Tm\nKari;30\n");
  for (const auto* name : {"kort.xlsx", "tekst.xlsx"}) {
    for (bool flag : {false, true}) {
      const auto run = import(folder / name, flag);
      EXPECT_FALSE(run.result);
      EXPECT_TRUE(run.lines.empty());
      EXPECT_EQ(run.showAlert, flag);
    }
  }
}

}  // namespace
}  // namespace kelmora
