#include "report/scoring_run.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <sstream>

#include "base/diagnostics.h"
#include "norms/conversion_tables.h"
#include "norms/lookup.h"
#include "report_fixture.h"

namespace kelmora {
namespace {

using platform::Operation;
using Kind = Operation::Kind;
using testing::RecordedRun;
using testing::runRecorded;
using ScoringRunTest = testing::ReportTest;
using Lines = std::vector<std::string>;
using Changes = std::vector<std::pair<std::string, std::optional<std::string>>>;  // no value: left out

ExcelData clientWith(const Changes& changes) {
  ExcelData data = sampleClient();
  for (const auto& [key, value] : changes) value ? void(data[key] = *value) : void(data.erase(key));
  return data;
}

// What the lines do not show: the page with the background over all of it,
// the profiles' strokes and the circle, the document written and opened. (The
// transcripts hold every text and profile point with its place.) A profile
// that ends early, at a missing supplementary score, is painted by the next
// stroke at its width; so an index score with a blank, which ends the index
// profile, leaves the circle to paint everything.
TEST_F(ScoringRunTest, TheWholePageAndItsStrokes) {
  const ExcelData noSupplementary = clientWith({{"sRs", {}}, {"sVf", {}}, {"sBu", {}}, {"sBt", {}}, {"sUt", {}}});
  using Strokes = std::vector<std::pair<std::ptrdiff_t, double>>;  // segments and width; the last is the circle
  const struct {
    const char* name;
    ExcelData client;
    bool blankIndexScores;
    Strokes strokes;
    // clang-format off
  } cases[] = {
      // PHI, VFI, PRI and AMI, then the index scores.
      {"complete", sampleClient(), false, {{2, 2}, {3, 2}, {4, 2}, {2, 2}, {4, 2}, {0, 1.1}}},
      {"no supplementary scores", noSupplementary, false, {{1 + 2 + 2 + 1 + 4, 2}, {0, 1.1}}},
      {"and index scores with a blank", noSupplementary, true, {{1 + 2 + 2 + 1, 1.1}}},
  };
  // clang-format on
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    if (c.blankIndexScores) {
      for (auto& row : tables["VFI"]) row[1] = " " + row[1];
    }
    const RecordedRun run = runRecorded(c.client);
    ASSERT_TRUE(run.recording);
    const auto& ops = run.recording->operations;
    ASSERT_GE(ops.size(), 3u);
    EXPECT_EQ((std::vector{ops[0].kind, ops[1].kind, ops[ops.size() - 2].kind, ops.back().kind}),
              (std::vector{Kind::beginPage, Kind::image, Kind::endPage, Kind::close}));
    EXPECT_EQ(ops[0].rect, (platform::Rect{0, 0, 1190, 1684}));
    EXPECT_EQ(ops[1].rect, ops[0].rect);
    EXPECT_EQ(run.opened, std::vector<std::filesystem::path>{"test.pdf"});
    const auto recorded = run.recording->ofKind(Kind::stroke);
    Strokes strokes;
    for (const auto& stroke : recorded) {
      strokes.emplace_back(std::count_if(stroke.path.begin(), stroke.path.end(),
                                         [](const auto& subpath) { return subpath.points.size() == 2; }),
                           stroke.state.lineWidth);
    }
    EXPECT_EQ(strokes, c.strokes);
    EXPECT_EQ(recorded.back().path.back().ellipseRect, (platform::Rect{574, 381, 30, 30}));
    EXPECT_EQ(recorded.back().state.strokeColor, (platform::Color{0, 0, 0, 1}));
    // The circle's fill comes after the stroke has emptied the path: it
    // paints nothing and leaves red as the fill colour.
    const auto fills = run.recording->ofKind(Kind::fill);
    ASSERT_EQ(fills.size(), 1u);
    EXPECT_TRUE(fills[0].path.empty());
    EXPECT_EQ(fills[0].state.fillColor, (platform::Color{1, 0, 0, 1}));
  }
}

// A run that ends without a report makes no document, or gives it up; opens
// nothing; takes the earlier report away; and says why in its last line. Of
// the conversion tables only the first has a line of its own for a sum
// without a whole row.
TEST_F(ScoringRunTest, ARunWithoutAReport) {
  const std::string svfi = [] {
    OutputCapture quiet;
    return std::to_string(*lookupValue("35", "Li", 20) + *lookupValue("35", "Of", 20) + *lookupValue("35", "In", 20));
  }();
  const std::string noBand = "Kunne ikke finne en passende alderstabell.";
  const ConversionTable noRow{{"-5", "0", "0", "0"}};
  const struct {
    const char* name;
    Changes changes = {};
    std::string lastLine = "";  // none: the first line is the only one
    bool givenUp = false;       // else no document is made
    std::string table = "";     // holds only these rows (none: it is not loaded)
    ConversionTable rows = {};
    std::string closeFailure = "";
    bool background = true;
    // clang-format off
  } cases[] = {
      {.name = "no background", .background = false},
      {"no test date", {{"Testdato", {}}}, "Happy happy joy joy"},
      {"a word for a test date", {{"Testdato", "i går"}}, "Happy happy joy joy"},
      {"no birth date", {{"Fødselsdato", {}}}, "Joy joy happy happy"},
      {"a birth date that does not parse", {{"Fødselsdato", "31-02-1985"}}, "Joy joy happy happy"},
      {"the day before the sixteenth birthday", {{"Fødselsdato", "11-06-2008"}}, noBand},
      {"a test date before the birth date", {{"Fødselsdato", "11-06-2030"}}, noBand},
      {"no VFI row", {}, "Her tryner vi:  ", true, "VFI", noRow},
      {"a VFI row of three", {}, "Her tryner vi:  [\"" + svfi + "\", \"95\", \"37\"]", true, "VFI", {{svfi, "95", "37"}}},
      {"no PRI row", {}, "filteredArray:  []", true, "PRI", noRow},
      {"no FSIQ row", {}, "filteredArray:  []", true, "FSIQ", noRow},
      {"no AMI table", {}, "Tabell AMI ikke funnet.", true, "AMI"},
      {.name = "a failed write", .lastLine = "Kunne ikke skrive rapporten " + (folder / "test.pdf").string() +
       ": File too large", .givenUp = true, .closeFailure = "File too large"},
  };
  // clang-format on
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    testing::writeConversionTables(resources);
    c.rows.empty() ? void(tables.erase(c.table)) : void(tables[c.table] = c.rows);
    const ExcelData client = clientWith(c.changes);
    const RecordedRun run = runRecorded(client, c.background, c.closeFailure);
    EXPECT_EQ(bool(run.recording), c.givenUp);
    EXPECT_TRUE(!run.recording || (run.recording->givenUp && !run.recording->closed));
    EXPECT_TRUE(run.opened.empty());
    EXPECT_FALSE(run.earlierReportLeft);
    EXPECT_EQ(run.lines.front(), "Innholdet i sharedData.excelData: " + dumpMap(client));
    EXPECT_EQ(run.lines.back(), c.lastLine.empty() ? run.lines.front() : c.lastLine);
  }
}

// Everything a run prints, in order, against a recorded transcript: a line
// that moves, changes or goes missing, a text or a profile point in another
// place, a lookup in the wrong band, a dump of the wrong store, all show
// here. The norm lookups print the shipped norm rows, so the transcripts hold
// only for the demonstration tables. After a deliberate change, write them
// anew with
//   KELMORA_WRITE_TRANSCRIPTS=1 ctest -R '^report.Transcript'
// and read the difference before committing it.
void expectTranscript(const ExcelData& client, const std::string& name) {
#ifndef KELMORA_DEMO_TABLES
  GTEST_SKIP() << "recorded with the demonstration tables";
#endif
  std::string lines;
  for (const auto& line : runRecorded(client).lines) lines += line + "\n";
  const std::string file = std::string(KELMORA_TRANSCRIPTS) + "/" + name + ".txt";
  if (std::getenv("KELMORA_WRITE_TRANSCRIPTS")) {
    std::ofstream(file, std::ios::binary | std::ios::trunc) << lines;
    GTEST_SKIP() << "wrote " << file;
  }
  std::ifstream in(file, std::ios::binary);
  std::stringstream recorded;
  recorded << in.rdbuf();
  EXPECT_EQ(lines, recorded.str()) << "the transcript " << file;
}

using TranscriptTest = testing::ReportTest;

TEST_F(TranscriptTest, ACompleteClient) { expectTranscript(sampleClient(), "complete_client"); }

// The client's own values decide what stands where: a missing raw score
// keeps its row empty, a missing supplementary score its place in the profile
// row; the crosses mark the left box for an exact "M" and "V" only; only whole
// numbers are scaled ("+007" is, " 7" is not); and derived keys replace the
// workbook's own, unless they fail ("Mr" beyond every norm row keeps "sMr").
// A dump of the store stays one line, its line breaks, tabs, quotes and
// backslashes escaped; a value printed as it is drawn stands as it is.
TEST_F(TranscriptTest, AClientWithValuesOfEveryKind) {
  expectTranscript(clientWith({{"Navn", "Kari\r \"K\"\tNordmann\nC:\\"},
                               {"Th", {}},
                               {"sVf", {}},
                               {"Kjønn", "m"},
                               {"Hendthet", "V "},
                               {"Tm", "+007"},
                               {"Vp", " 7"},
                               {"Mr", "999"},
                               {"sMr", "4"},
                               {"sVp", "5"},
                               {"sLi", "1"},
                               {"alderår", "99"},
                               {"testdag", "1"},
                               {"ivfiIQ", "1"}}),
                   "varied_client");
}

TEST_F(TranscriptTest, AClientWhoseRunStopsAtTheSums) {
  // A client of 24 (band "20", so that the run's check lookup in band "35"
  // reads other rows than the client's own) without verbal scores: the
  // verbal sum is 0, below every row of its table.
  tables["VFI"].erase(tables["VFI"].begin());
  expectTranscript(clientWith({{"Fødselsdato", "15-03-2000"}, {"Li", {}}, {"Of", {}}, {"In", {}}}), "stopping_client");
}

}  // namespace
}  // namespace kelmora
