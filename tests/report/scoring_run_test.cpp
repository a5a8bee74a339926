#include "report/scoring_run.h"

#include <gtest/gtest.h>


#include <algorithm>

#include "norms/conversion_tables.h"
#include "norms/diagnostics.h"
#include "norms/lookup.h"
#include "report_fixture.h"

namespace kelmora {
namespace {

using platform::Operation;
using platform::Subpath;
using testing::completeClient;
using testing::RecordedRun;
using testing::runRecorded;

const std::vector<std::string> rawCodes{"Tm", "Li", "Th", "Mr", "Of", "Rg", "Sl", "Vp", "In", "Kd"};

std::int64_t scaled(const std::string& band, const std::string& code, std::int64_t raw) {
  OutputCapture quiet;
  return lookupValue(band, code, raw).value();
}

// What the page should show for the complete client, worked out on the side.
ExcelData expectedValues() {
  ExcelData values = completeClient();
  for (const auto& code : rawCodes) values["s" + code] = std::to_string(scaled("35", code, 20));
  const auto number = [&](const char* key) { return std::stoll(values.at(key)); };
  const std::int64_t svfi = number("sLi") + number("sOf") + number("sIn");
  const std::int64_t spri = number("sTm") + number("sMr") + number("sVp");
  const std::int64_t sami = number("sTh") + number("sRg");
  const std::int64_t sphi = number("sSl") + number("sKd");
  const std::pair<const char*, std::int64_t> groups[] = {
      {"vfi", svfi}, {"pri", spri}, {"ami", sami}, {"phi", sphi}, {"fsiq", svfi + spri + sami + sphi}};
  for (const auto& [group, sum] : groups) {
    std::string table = group;
    std::transform(table.begin(), table.end(), table.begin(), ::toupper);
    const auto row = testing::conversionRow(table, sum);
    values[std::string("s") + group] = std::to_string(sum);
    values[std::string("i") + group] = row[0];
    values[std::string("i") + group + "IQ"] = row[1];
    values[std::string("i") + group + "prosentil"] = row[2];
    values[std::string("i") + group + "konfidensintervall"] = row[3];
  }
  values.insert({{"X", "X"}, {"testår", "2024"}, {"testmåned", "6"}, {"testdag", "10"}, {"fødselsår", "1985"},
                 {"fødselsmåned", "3"}, {"fødselsdag", "15"}, {"alderår", "39"}, {"aldermåneder", "2"},
                 {"alderdager", "26"}});
  return values;
}

struct Mark {
  std::string key;
  double x;
  double y;
};

// Every right-aligned mark of a complete client: the right end of its text.
std::vector<Mark> rightAlignedMarks() {
  std::vector<Mark> marks;
  const std::vector<std::pair<std::string, double>> rows{{"Kd", 812},  {"In", 854.5},  {"Vp", 897}, {"Sl", 939.5},
                                                         {"Rg", 982},  {"Of", 1024.5}, {"Mr", 1067}, {"Th", 1109.5},
                                                         {"Li", 1152}, {"Tm", 1194.5}};
  const std::map<std::string, double> scaledX{{"Li", 310}, {"Of", 310}, {"In", 310}, {"Tm", 360}, {"Mr", 360},
                                              {"Vp", 360}, {"Th", 410}, {"Rg", 410}, {"Sl", 460}, {"Kd", 460}};
  for (const auto& [code, y] : rows) {
    marks.push_back({code, 250, y});
    marks.push_back({"s" + code, scaledX.at(code), y});
  }
  const std::vector<std::string> groups{"vfi", "pri", "ami", "phi", "fsiq"};
  for (std::size_t g = 0; g < groups.size(); ++g) {
    const double y = 345 - 45.0 * static_cast<double>(g);
    marks.push_back({"s" + groups[g], 295 + 52.0 * static_cast<double>(g), 560});
    marks.push_back({"i" + groups[g], 270, y});
    marks.push_back({"i" + groups[g] + "IQ", 414, y});
    marks.push_back({"i" + groups[g] + "prosentil", 489, y});
    marks.push_back({"i" + groups[g] + "konfidensintervall", 602, y});
    marks.push_back({"i" + groups[g] + "IQ", 748 + 92.0 * static_cast<double>(g), 648});
  }
  const std::vector<std::string> profileRow{"sLi", "sOf", "sIn", "sRs", "sTm", "sMr", "sVp", "sVf",
                                            "sBu", "sTh", "sRg", "sBt", "sSl", "sKd", "sUt"};
  for (std::size_t i = 0; i < profileRow.size(); ++i)
    marks.push_back({profileRow[i], 702 + 32.0 * static_cast<double>(i), 1190});
  marks.push_back({"X", 1081, 1366});  // "Kjønn" is "K"
  marks.push_back({"X", 977, 1317});   // "Hendthet" is "V"
  const std::vector<std::pair<std::string, double>> dateColumns{{"år", 976}, {"måned", 1055}, {"dag", 1138}};
  for (const auto& [unit, x] : dateColumns) {
    const std::string ageKey = unit == "år" ? "alderår" : unit == "måned" ? "aldermåneder" : "alderdager";
    marks.push_back({ageKey, x, 1410});
    marks.push_back({"fødsels" + unit, x, 1452.5});
    marks.push_back({"test" + unit, x, 1495});
  }
  return marks;
}

struct ScoringRunTest : ::testing::Test {
  testing::ScratchFolder folder;
  void SetUp() override { testing::writeConversionTables(folder.resources()); }
};

TEST_F(ScoringRunTest, ACompleteClientGetsEveryMarkInItsPlace) {
  const RecordedRun run = runRecorded(completeClient());
  ASSERT_TRUE(run.recording);
  const ExcelData expected = expectedValues();
  const auto marks = rightAlignedMarks();
  for (const auto& mark : marks)
    EXPECT_EQ(run.textEndingAt(mark.x, mark.y), expected.at(mark.key)) << mark.key << " at " << mark.x << ", " << mark.y;
  EXPECT_EQ(run.textStartingAt(130, 1510), "Kari Nordmann");
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
}

TEST_F(ScoringRunTest, ACompleteClientGetsFiveProfileLinesAndTheCircle) {
  const RecordedRun run = runRecorded(completeClient());
  const ExcelData values = expectedValues();
  const auto point = [&](double x, double originY, double scale, const std::string& key) {
    return platform::Point{x, originY + scale * static_cast<double>(std::stoll(values.at(key)))};
  };
  // Each profile: its start (a bare move), then one subpath per segment.
  const auto profile = [&](double x0, double originY, double scale, double step, std::vector<std::string> keys) {
    std::vector<Subpath> path{Subpath{{{x0, originY}}, false, {}}};
    for (std::size_t i = 1; i < keys.size(); ++i)
      path.push_back(Subpath{{point(x0 + step * static_cast<double>(i - 1), originY, scale, keys[i - 1]),
                              point(x0 + step * static_cast<double>(i), originY, scale, keys[i])},
                             false,
                             {}});
    return path;
  };
  const auto strokes = run.strokes();
  ASSERT_EQ(strokes.size(), 6u);
  EXPECT_EQ(strokes[0].path, profile(1072, 731, 23.3, 32, {"sSl", "sKd", "sUt"}));
  EXPECT_EQ(strokes[1].path, profile(690, 731, 23.3, 32.5, {"sLi", "sOf", "sIn", "sRs"}));
  EXPECT_EQ(strokes[2].path, profile(816, 731, 23.3, 32, {"sTm", "sMr", "sVp", "sVf", "sBu"}));
  EXPECT_EQ(strokes[3].path, profile(978, 731, 23.3, 32, {"sTh", "sRg", "sBt"}));
  EXPECT_EQ(strokes[4].path,
            profile(734, -82.5, 4.4, 94, {"ivfiIQ", "ipriIQ", "iamiIQ", "iphiIQ", "ifsiqIQ"}));
  for (int i = 0; i < 5; ++i) EXPECT_EQ(strokes[i].state.lineWidth, 2.0);
  ASSERT_EQ(strokes[5].path.size(), 1u);
  EXPECT_EQ(strokes[5].path[0].ellipseRect, (platform::Rect{574, 381, 30, 30}));
  EXPECT_EQ(strokes[5].state.lineWidth, 1.1);
  EXPECT_EQ(strokes[5].state.strokeColor, (platform::Color{0, 0, 0, 1}));
}

TEST_F(ScoringRunTest, AMissingRawScoreMovesTheRowsBelowIt) {
  ExcelData data = completeClient();
  data.erase("Th");
  const RecordedRun run = runRecorded(data);
  const ExcelData values = expectedValues();
  EXPECT_EQ(run.textEndingAt(250, 1109.5), values.at("Li"));
  EXPECT_EQ(run.textEndingAt(250, 1152), values.at("Tm"));
  EXPECT_EQ(run.textEndingAt(250, 1194.5), std::nullopt);
  EXPECT_EQ(run.textEndingAt(310, 1109.5), values.at("sLi"));  // own column, one row down
  EXPECT_EQ(run.textEndingAt(360, 1152), values.at("sTm"));
  EXPECT_EQ(run.textEndingAt(410, 1109.5), std::nullopt);
  EXPECT_EQ(run.textEndingAt(990, 1190), values.at("sRg"));
  EXPECT_EQ(run.textEndingAt(1022, 1190), "12");  // "sBt"
  EXPECT_EQ(run.textEndingAt(1054, 1190), std::nullopt);
  // The AMI line ends at its first key: nothing joins its points.
  for (const auto& stroke : run.strokes())
    for (const auto& subpath : stroke.path)
      if (subpath.points.size() == 2) {
        EXPECT_NE(subpath.points[0].x, 978) << "an AMI segment";
      }
  EXPECT_EQ(run.opened.size(), 1u);
}

TEST_F(ScoringRunTest, TheCrossesMarkOnlyAnExactMOrV) {
  const std::vector<std::pair<std::optional<std::string>, double>> cases{
      {"M", 977}, {"m", 1081}, {"M ", 1081}, {"K", 1081}, {std::nullopt, 1081}};
  for (const auto& [value, x] : cases) {
    ExcelData data = completeClient();
    data.erase("Kjønn");
    data.erase("Hendthet");
    if (value) {
      data["Kjønn"] = *value;
      // The same value for handedness: it must be "V" to mark the left box.
      data["Hendthet"] = *value == "M" ? "V" : *value;
    }
    const RecordedRun run = runRecorded(data);
    EXPECT_EQ(run.textEndingAt(x, 1366), "X") << value.value_or("(none)");
    EXPECT_EQ(run.textEndingAt(x, 1317), "X") << value.value_or("(none)");
    EXPECT_EQ(run.textEndingAt(x == 977 ? 1081 : 977, 1366), std::nullopt);
  }
}

TEST_F(ScoringRunTest, ProfilesThatEndEarlyArePaintedByTheNextStroke) {
  ExcelData data = completeClient();
  for (const char* key : {"sRs", "sVf", "sBu", "sBt", "sUt"}) data.erase(key);
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
  const std::string svfi = [&] {
    for (const auto& line : run.lines)
      if (line.starts_with("svfi har verdi  ")) return line.substr(16);
    return std::string();
  }();
  ASSERT_FALSE(svfi.empty());
  for (auto& row : tables["VFI"])
    if (row[0] == svfi) row[1] = " " + row[1];
  run = runRecorded(data);
  strokes = run.strokes();
  ASSERT_EQ(strokes.size(), 1u);
  EXPECT_EQ(segments(strokes[0]), 1 + 2 + 2 + 1);
  EXPECT_TRUE(strokes[0].path.back().ellipse);
  EXPECT_EQ(strokes[0].state.lineWidth, 1.1);
  EXPECT_EQ(run.opened.size(), 1u);
}

struct Stop {
  const char* name;
  ExcelData data;
  bool background;
  std::vector<std::string> linesAfterTheFirst;  // empty: only checks the last line
  std::string lastLine;
};

TEST_F(ScoringRunTest, AStopBeforeThePageMakesNoDocumentAndOpensNothing) {
  const auto with = [](std::vector<std::pair<std::string, std::optional<std::string>>> changes) {
    ExcelData data = completeClient();
    for (const auto& [key, value] : changes) {
      if (value) data[key] = *value;
      else data.erase(key);
    }
    return data;
  };
  const std::vector<Stop> stops{
      {"no background", completeClient(), false, {}, ""},
      {"no test date", with({{"Testdato", std::nullopt}}), true, {"Happy happy joy joy"}, ""},
      {"a word for a test date", with({{"Testdato", "i går"}}), true, {"i går", "Happy happy joy joy"}, ""},
      {"no birth date", with({{"Fødselsdato", std::nullopt}}), true,
       {"10-06-2024", "Går vi videre!?", "Joy joy happy happy"}, ""},
      {"a birth date that does not parse", with({{"Fødselsdato", "31-02-1985"}}), true,
       {"10-06-2024", "Går vi videre!?", "Joy joy happy happy"}, ""},
      {"the day before the sixteenth birthday", with({{"Fødselsdato", "11-06-2008"}}), true, {},
       "Kunne ikke finne en passende alderstabell."},
      {"a test date before the birth date", with({{"Fødselsdato", "11-06-2030"}}), true, {},
       "Kunne ikke finne en passende alderstabell."},
  };
  for (const auto& stop : stops) {
    SharedData store;
    store.setExcelData(stop.data);
    const RecordedRun run = runRecorded(stop.data, {stop.background, "", ""});
    EXPECT_TRUE(run.requested.empty()) << stop.name;
    EXPECT_TRUE(run.opened.empty()) << stop.name;
    ASSERT_FALSE(run.lines.empty()) << stop.name;
    EXPECT_EQ(run.lines[0], "Innholdet i sharedData.excelData: " + dumpMap(stop.data)) << stop.name;
    if (stop.lastLine.empty()) {
      EXPECT_EQ(std::vector<std::string>(run.lines.begin() + 1, run.lines.end()), stop.linesAfterTheFirst)
          << stop.name;
    } else {
      EXPECT_EQ(run.lines.back(), stop.lastLine) << stop.name;
    }
  }
}

TEST_F(ScoringRunTest, OnlyWholeNumbersAreScaled) {
  const std::vector<std::pair<std::string, std::optional<std::int64_t>>> cases{
      {"7", 7}, {"+7", 7}, {"007", 7}, {" 7", std::nullopt}, {"7.0", std::nullopt},
      {"", std::nullopt}, {"sju", std::nullopt}};
  for (const auto& [text, raw] : cases) {
    ExcelData data = completeClient();
    data["Tm"] = text;
    const RecordedRun run = runRecorded(data);
    const bool reported =
        std::find(run.lines.begin(), run.lines.end(), "Kunne ikke hente verdi for kategori Tm.") != run.lines.end();
    EXPECT_EQ(reported, !raw) << '"' << text << '"';
    // "sTm" stands at the top of its column only when it was computed.
    const auto top = run.textEndingAt(360, 1194.5);
    if (raw) {
      EXPECT_EQ(top, std::to_string(scaled("35", "Tm", *raw))) << text;
    } else {
      EXPECT_EQ(top, std::nullopt) << text;
    }
  }
}

TEST_F(ScoringRunTest, DerivedKeysReplaceTheWorkbooksOwnUnlessTheyFail) {
  ExcelData data = completeClient();
  data["alderår"] = "99";
  data["testdag"] = "1";
  data["sLi"] = "1";
  data["ivfiIQ"] = "1";
  data["Tm"] = "999";  // beyond every norm row: the workbook's "sTm" stays
  data["sTm"] = "4";
  const RecordedRun run = runRecorded(data);
  const ExcelData values = expectedValues();
  EXPECT_EQ(run.textEndingAt(976, 1410), "39");
  EXPECT_EQ(run.textEndingAt(1138, 1495), "10");
  EXPECT_EQ(run.textEndingAt(310, 1152), values.at("sLi"));
  EXPECT_EQ(run.textEndingAt(414, 345), values.at("ivfiIQ"));
  EXPECT_NE(std::find(run.lines.begin(), run.lines.end(), "Ugyldig input for kategori Tm: 999."), run.lines.end());
  EXPECT_EQ(run.textEndingAt(360, 1194.5), "4");
}

TEST_F(ScoringRunTest, PrintsTheStoreBeforeEachScoreRowAndTheSetUpOnce) {
  const RecordedRun run = runRecorded(completeClient());
  ExcelData privateStore = expectedValues();
  const auto dumps = std::count(run.lines.begin(), run.lines.end(), dumpMap(privateStore));
  EXPECT_EQ(dumps, 4);
  EXPECT_EQ(std::count(run.lines.begin(), run.lines.end(), "Skal ha skrevet noe"), 1);
  EXPECT_EQ(std::count(run.lines.begin(), run.lines.end(), "Funkar"), 1);
}

TEST_F(ScoringRunTest, ASumWithoutARowGivesTheDocumentUp) {
  struct Case {
    const char* table;
    bool ownLine;
  };
  for (const Case& c : {Case{"VFI", true}, Case{"PRI", false}, Case{"FSIQ", false}}) {
    testing::writeConversionTables(folder.resources());
    tables[c.table] = {{"-5", "0", "0", "0"}};
    const RecordedRun run = runRecorded(completeClient());
    ASSERT_TRUE(run.recording) << c.table;
    EXPECT_TRUE(run.recording->givenUp) << c.table;
    EXPECT_FALSE(run.recording->closed) << c.table;
    EXPECT_TRUE(run.opened.empty()) << c.table;
    // The page holds what was drawn before the lookups, and nothing after.
    EXPECT_TRUE(run.recording->ofKind(Operation::Kind::endPage).empty()) << c.table;
    EXPECT_TRUE(run.strokes().empty()) << c.table;
    EXPECT_EQ(run.textEndingAt(295, 560), expectedValues().at("svfi")) << c.table;
    const bool printed = std::any_of(run.lines.begin(), run.lines.end(),
                                     [](const std::string& line) { return line.starts_with("Her tryner vi: "); });
    EXPECT_EQ(printed, c.ownLine) << c.table;
  }
}

TEST_F(ScoringRunTest, ADocumentThatCannotBeMadeOrWrittenIsReportedAndNotOpened) {
  const RecordedRun notMade = runRecorded(completeClient(), {true, "Permission denied", ""});
  EXPECT_TRUE(notMade.opened.empty());
  const std::string place = (folder.path() / "test.pdf").string();
  EXPECT_EQ(notMade.lines.back(), "Kunne ikke lage rapporten " + place + ": Permission denied");

  const RecordedRun notWritten = runRecorded(completeClient(), {true, "", "No space left on device"});
  EXPECT_TRUE(notWritten.opened.empty());
  EXPECT_TRUE(notWritten.recording->givenUp);
  EXPECT_EQ(notWritten.lines.back(), "Kunne ikke skrive rapporten " + place + ": No space left on device");
}

}  // namespace
}  // namespace kelmora
