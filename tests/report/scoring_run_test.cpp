#include "report/scoring_run.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "base/diagnostics.h"
#include "norms/conversion_tables.h"
#include "norms/lookup.h"
#include "report_fixture.h"

namespace kelmora {
namespace {

using platform::Operation;
using platform::Subpath;
using testing::completeClient;
using testing::RecordedRun;
using testing::runRecorded;
using ScoringRunTest = testing::ReportTest;

std::int64_t scaled(const std::string& code, std::int64_t raw) {
  OutputCapture quiet;
  return lookupValue("35", code, raw).value();
}

std::ptrdiff_t count(const std::vector<std::string>& lines, const std::string& line) {
  return std::count(lines.begin(), lines.end(), line);
}

using Changes = std::vector<std::pair<std::string, std::optional<std::string>>>;  // no value: left out

ExcelData clientWith(const Changes& changes) {
  ExcelData data = completeClient();
  for (const auto& [key, value] : changes) {
    if (value) {
      data[key] = *value;
    } else {
      data.erase(key);
    }
  }
  return data;
}

TEST_F(ScoringRunTest, ACompleteClientGetsTheWholePage) {
  const RecordedRun run = runRecorded(completeClient());
  ASSERT_TRUE(run.recording);
  const ExcelData values = testing::expectedValues();
  const auto marks = testing::rightAlignedMarks();
  for (const auto& mark : marks)
    EXPECT_EQ(run.textAt(mark.x, mark.y), mark.text) << mark.key << " at " << mark.x << ", " << mark.y;
  EXPECT_EQ(run.textAt(130, 1510, true), "Kari Nordmann");
  EXPECT_EQ(run.recording->visibleTexts().size(), marks.size() + 1);

  const auto& ops = run.recording->operations;
  ASSERT_GE(ops.size(), 3u);
  EXPECT_EQ(ops[0].kind, Operation::Kind::beginPage);
  EXPECT_EQ(ops[0].rect, (platform::Rect{0, 0, 1190, 1684}));
  EXPECT_EQ(ops[1].kind, Operation::Kind::image);
  EXPECT_EQ(ops[1].rect, ops[0].rect);
  EXPECT_EQ(ops[ops.size() - 2].kind, Operation::Kind::endPage);
  EXPECT_EQ(ops.back().kind, Operation::Kind::close);
  EXPECT_EQ(run.requested, std::vector<std::filesystem::path>{"test.pdf"});
  EXPECT_EQ(run.opened, std::vector<std::filesystem::path>{"test.pdf"});

  // Each profile: its start (a bare move), then one subpath per segment.
  const auto profile = [&](double x0, double originY, double scale, double step, std::vector<std::string> keys) {
    const auto point = [&](std::size_t i) {
      return platform::Point{x0 + step * static_cast<double>(i), originY + scale * std::stod(values.at(keys[i]))};
    };
    std::vector<Subpath> path{Subpath{{{x0, originY}}, false, {}}};
    for (std::size_t i = 1; i < keys.size(); ++i) path.push_back(Subpath{{point(i - 1), point(i)}, false, {}});
    return path;
  };
  const auto strokes = run.strokes();
  ASSERT_EQ(strokes.size(), 6u);
  EXPECT_EQ(strokes[0].path, profile(1072, 731, 23.3, 32, {"sSl", "sKd", "sUt"}));
  EXPECT_EQ(strokes[1].path, profile(690, 731, 23.3, 32.5, {"sLi", "sOf", "sIn", "sRs"}));
  EXPECT_EQ(strokes[2].path, profile(816, 731, 23.3, 32, {"sTm", "sMr", "sVp", "sVf", "sBu"}));
  EXPECT_EQ(strokes[3].path, profile(978, 731, 23.3, 32, {"sTh", "sRg", "sBt"}));
  EXPECT_EQ(strokes[4].path, profile(734, -82.5, 4.4, 94, {"ivfiIQ", "ipriIQ", "iamiIQ", "iphiIQ", "ifsiqIQ"}));
  for (int i = 0; i < 5; ++i) EXPECT_EQ(strokes[i].state.lineWidth, 2.0);
  ASSERT_EQ(strokes[5].path.size(), 1u);
  EXPECT_EQ(strokes[5].path[0].ellipseRect, (platform::Rect{574, 381, 30, 30}));
  EXPECT_EQ(strokes[5].state.lineWidth, 1.1);
  EXPECT_EQ(strokes[5].state.strokeColor, (platform::Color{0, 0, 0, 1}));
  // The circle's fill comes after the stroke has emptied the path: it paints
  // nothing and leaves red as the fill colour.
  const auto fills = run.recording->ofKind(Operation::Kind::fill);
  ASSERT_EQ(fills.size(), 1u);
  EXPECT_TRUE(fills[0].path.empty());
  EXPECT_EQ(fills[0].state.fillColor, (platform::Color{1, 0, 0, 1}));

  // The private store before each of the four score rows; the set-up once.
  EXPECT_EQ(count(run.lines, dumpMap(values)), 4);
  EXPECT_EQ(count(run.lines, "Skal ha skrevet noe"), 1);
  EXPECT_EQ(count(run.lines, "Funkar"), 1);
}

// What the page shows at a place: a text, or nothing.
struct At {
  double x;
  double y;
  std::optional<std::string> text;
};

TEST_F(ScoringRunTest, TheClientsOwnValuesDecideWhatStandsWhere) {
  const ExcelData values = testing::expectedValues();
  const std::nullopt_t none = std::nullopt;
  const std::optional<std::string> X = "X";
  const struct {
    const char* name;
    Changes changes;
    std::vector<At> page;
    std::string line;  // printed once, when given
    // clang-format off
  } cases[] = {
      // Every value stays in its own subtest's row and column.
      {"a missing raw score keeps its row empty",
       {{"Th", none}},
       {{250, 1152, values.at("Li")}, {250, 1194.5, values.at("Tm")}, {250, 1109.5, none},
        {310, 1152, values.at("sLi")}, {360, 1194.5, values.at("sTm")}, {410, 1109.5, none},
        {990, 1190, none}, {1022, 1190, values.at("sRg")}, {1054, 1190, values.at("sBt")}},
       "Kunne ikke hente verdi for kategori  Th ."},
      {"a missing supplementary score keeps its place in the profile row",
       {{"sVf", none}},
       {{926, 1190, none}, {958, 1190, values.at("sBu")}},
       ""},
      // The crosses mark the left box for an exact "M" and "V" only.
      {"M and V", {{"Kjønn", "M"}, {"Hendthet", "V"}}, {{977, 1366, X}, {1081, 1366, none}, {977, 1317, X}}, ""},
      {"m and v", {{"Kjønn", "m"}, {"Hendthet", "v"}}, {{1081, 1366, X}, {977, 1366, none}, {1081, 1317, X}}, ""},
      {"M and V with a blank", {{"Kjønn", "M "}, {"Hendthet", "V "}}, {{1081, 1366, X}, {1081, 1317, X}}, ""},
      {"neither", {{"Kjønn", none}, {"Hendthet", none}}, {{1081, 1366, X}, {977, 1366, none}, {1081, 1317, X}}, ""},
      // Only whole numbers are scaled; "sTm" stands at the top of its column
      // only when it was computed.
      {"a sign", {{"Tm", "+7"}}, {{360, 1194.5, std::to_string(scaled("Tm", 7))}}, ""},
      {"leading zeros", {{"Tm", "007"}}, {{360, 1194.5, std::to_string(scaled("Tm", 7))}}, ""},
      {"a blank", {{"Tm", " 7"}}, {{360, 1194.5, none}}, "Kunne ikke hente verdi for kategori  Tm ."},
      {"a point", {{"Tm", "7.0"}}, {{360, 1194.5, none}}, "Kunne ikke hente verdi for kategori  Tm ."},
      // Derived keys replace the workbook's own, unless they fail.
      {"the workbook's own derived keys",
       {{"alderår", "99"}, {"testdag", "1"}, {"sLi", "1"}, {"ivfiIQ", "1"}, {"sTm", "4"}, {"Tm", "999"}},
       {{976, 1410, "39"}, {1138, 1495, "10"}, {310, 1152, values.at("sLi")}, {414, 345, values.at("ivfiIQ")},
        {360, 1194.5, "4"}},  // beyond every norm row: the workbook's "sTm" stays
       "Ugyldig input for kategori  Tm :  999 ."},
  };
  // clang-format on
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const RecordedRun run = runRecorded(clientWith(c.changes));
    for (const auto& at : c.page) EXPECT_EQ(run.textAt(at.x, at.y), at.text) << at.x << ", " << at.y;
    if (!c.line.empty()) {
      EXPECT_EQ(count(run.lines, c.line), 1);
    }
    EXPECT_EQ(count(run.lines, "Kunne ikke hente verdi for kategori  Tm ."), c.line.ends_with("Tm .") ? 1 : 0);
    EXPECT_EQ(run.opened.size(), 1u);
  }
}

TEST_F(ScoringRunTest, ProfilesThatEndEarlyArePaintedByTheNextStroke) {
  const ExcelData data = clientWith({{"sRs", {}}, {"sVf", {}}, {"sBu", {}}, {"sBt", {}}, {"sUt", {}}});
  RecordedRun run = runRecorded(data);
  auto strokes = run.strokes();
  // Calls 14 to 17 end at their supplementary key; the index profile's stroke
  // paints their segments with its own, all black at width 2.
  ASSERT_EQ(strokes.size(), 2u);
  const auto segments = [](const Operation& stroke) {
    return std::count_if(stroke.path.begin(), stroke.path.end(), [](const Subpath& s) { return s.points.size() == 2; });
  };
  EXPECT_EQ(segments(strokes[0]), 1 + 2 + 2 + 1 + 4);
  EXPECT_EQ(strokes[0].state.lineWidth, 2.0);
  EXPECT_EQ(segments(strokes[1]), 0);

  // An index score with a blank ends the index profile too: the circle
  // paints everything, at its own width.
  for (auto& row : tables["VFI"])
    if (row[0] == testing::expectedValues().at("svfi")) row[1] = " " + row[1];
  run = runRecorded(data);
  strokes = run.strokes();
  ASSERT_EQ(strokes.size(), 1u);
  EXPECT_EQ(segments(strokes[0]), 1 + 2 + 2 + 1);
  ASSERT_FALSE(strokes[0].path.empty());
  EXPECT_TRUE(strokes[0].path.back().ellipse);
  EXPECT_EQ(strokes[0].state.lineWidth, 1.1);
  EXPECT_EQ(run.opened.size(), 1u);
}

// Every run that ends without a report also takes the earlier one away.
TEST_F(ScoringRunTest, AStopBeforeThePageMakesNoDocumentAndOpensNothing) {
  const auto with = [](const std::string& key, std::optional<std::string> value) { return clientWith({{key, value}}); };
  const std::vector<std::string> noBirthDate{"10-06-2024", "Går vi videre!?", "Joy joy happy happy"};
  const std::string noBand = "Kunne ikke finne en passende alderstabell.";
  const struct {
    const char* name;
    ExcelData data;
    bool background;
    std::vector<std::string> linesAfterTheFirst;  // unless only the last line is given
    std::string lastLine;
  } stops[] = {
      {"no background", completeClient(), false, {}, ""},
      {"no test date", with("Testdato", std::nullopt), true, {"Happy happy joy joy"}, ""},
      {"a word for a test date", with("Testdato", "i går"), true, {"i går", "Happy happy joy joy"}, ""},
      {"no birth date", with("Fødselsdato", std::nullopt), true, noBirthDate, ""},
      {"a birth date that does not parse", with("Fødselsdato", "31-02-1985"), true, noBirthDate, ""},
      {"the day before the sixteenth birthday", with("Fødselsdato", "11-06-2008"), true, {}, noBand},
      {"a test date before the birth date", with("Fødselsdato", "11-06-2030"), true, {}, noBand},
  };
  for (const auto& stop : stops) {
    SCOPED_TRACE(stop.name);
    const RecordedRun run = runRecorded(stop.data, {stop.background, "", ""});
    EXPECT_TRUE(run.requested.empty());
    EXPECT_TRUE(run.opened.empty());
    EXPECT_FALSE(run.earlierReportLeft);
    ASSERT_FALSE(run.lines.empty());
    EXPECT_EQ(run.lines[0], "Innholdet i sharedData.excelData: " + dumpMap(stop.data));
    if (stop.lastLine.empty()) {
      EXPECT_EQ(std::vector<std::string>(run.lines.begin() + 1, run.lines.end()), stop.linesAfterTheFirst);
    } else {
      EXPECT_EQ(run.lines.back(), stop.lastLine);
    }
  }
}

TEST_F(ScoringRunTest, ASumWithoutAWholeRowGivesTheDocumentUp) {
  const std::string svfi = testing::expectedValues().at("svfi");
  const struct {
    const char* table;
    ConversionTable rows;
    std::vector<std::string> said;  // only the first table has a line of its own
    // clang-format off
  } cases[] = {
      {"VFI", {{"-5", "0", "0", "0"}}, {"Her tryner vi:  "}},
      {"VFI", {{svfi, "95", "37"}}, {"Her tryner vi:  [\"" + svfi + "\", \"95\", \"37\"]"}},
      {"PRI", {{"-5", "0", "0", "0"}}, {}},
      {"FSIQ", {{"-5", "0", "0", "0"}}, {}},
      {"AMI", {}, {}},  // a table that was not loaded
  };
  // clang-format on
  for (const auto& c : cases) {
    SCOPED_TRACE(c.table + (c.rows.empty() ? std::string(" not loaded") : " " + c.rows[0][0]));
    testing::writeConversionTables(resources);
    if (c.rows.empty()) {
      tables.erase(c.table);
    } else {
      tables[c.table] = c.rows;
    }
    const RecordedRun run = runRecorded(completeClient());
    ASSERT_TRUE(run.recording);
    EXPECT_TRUE(run.recording->givenUp);
    EXPECT_FALSE(run.recording->closed);
    EXPECT_TRUE(run.opened.empty());
    EXPECT_FALSE(run.earlierReportLeft);
    // The page holds what was drawn before the lookups, and nothing after.
    EXPECT_TRUE(run.recording->ofKind(Operation::Kind::endPage).empty());
    EXPECT_TRUE(run.strokes().empty());
    EXPECT_EQ(run.textAt(295, 560), svfi);
    std::vector<std::string> said;
    std::copy_if(run.lines.begin(), run.lines.end(), std::back_inserter(said),
                 [](const std::string& line) { return line.starts_with("Her tryner vi:"); });
    EXPECT_EQ(said, c.said);
  }
}

TEST_F(ScoringRunTest, ADocumentThatCannotBeMadeOrWrittenIsReportedAndNotOpened) {
  const std::string place = (folder / "test.pdf").string();
  const RecordedRun notMade = runRecorded(completeClient(), {true, "Permission denied", ""});
  EXPECT_TRUE(notMade.opened.empty());
  EXPECT_FALSE(notMade.earlierReportLeft);
  EXPECT_EQ(notMade.lines.back(), "Kunne ikke lage rapporten " + place + ": Permission denied");

  const RecordedRun notWritten = runRecorded(completeClient(), {true, "", "No space left on device"});
  EXPECT_TRUE(notWritten.opened.empty());
  EXPECT_TRUE(notWritten.recording->givenUp);
  EXPECT_FALSE(notWritten.earlierReportLeft);
  EXPECT_EQ(notWritten.lines.back(), "Kunne ikke skrive rapporten " + place + ": No space left on device");
}

}  // namespace
}  // namespace kelmora
