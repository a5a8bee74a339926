#include "report/drawing_functions.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "norms/diagnostics.h"
#include "platform/recording_context.h"

namespace kelmora {
namespace {

using platform::Operation;
using platform::RecordingContext;
using platform::Subpath;
using Kind = Operation::Kind;

// Ten points per character, whatever the size: widths the tests can predict.
double fixedMeasure(std::string_view text, double) { return 10.0 * static_cast<double>(text.size()); }

struct Fixture : ::testing::Test {
  SharedData store;
  RecordingContext context{std::make_shared<platform::Recording>(), fixedMeasure};

  void fill(const ExcelData& data) { store.setExcelData(data); }
  std::vector<Operation> texts() const { return context.recording().ofKind(Kind::text); }
  std::vector<Operation> strokes() const { return context.recording().ofKind(Kind::stroke); }
};

using DrawTextTest = Fixture;

struct Placed {
  std::string text;
  double x;
  double y;
  friend bool operator==(const Placed&, const Placed&) = default;
  friend std::ostream& operator<<(std::ostream& out, const Placed& p) {
    return out << '"' << p.text << "\" at (" << p.x << ", " << p.y << ")";
  }
};

std::vector<Placed> placed(const std::vector<Operation>& texts) {
  std::vector<Placed> result;
  for (const auto& t : texts) result.push_back({t.text, t.at.x, t.at.y});
  return result;
}

TEST_F(DrawTextTest, AColumnStepsUpFromTheLastKey) {
  fill({{"a", "1"}, {"b", "2"}, {"c", "3"}});
  drawText({100, 200}, {"a", "b", "c"}, 42.5, 0, std::nullopt, 18, NSTextAlignment::left, store, context);
  EXPECT_EQ(placed(texts()), (std::vector<Placed>{Placed{"3", 100, 200}, Placed{"2", 100, 242.5},
                                                      Placed{"1", 100, 285}}));
}

TEST_F(DrawTextTest, AMissingKeyGivesItsPlaceToTheNextButKeepsItsColumnEntry) {
  fill({{"a", "1"}, {"c", "3"}});
  drawText({100, 200}, {"a", "c"}, 0, 0, std::nullopt, 18, NSTextAlignment::left, store, context);
  drawText({100, 200}, {"a", "b", "c"}, 42.5, 0, std::nullopt, 18, NSTextAlignment::left, store, context);
  // The drawn order is c, b, a: "a" takes entry 2 of the column table.
  drawText({100, 200}, {"a", "b", "c"}, 42.5, 0, ColumnTable{{5, 6, 7}, 10}, 18, NSTextAlignment::left, store,
           context);
  EXPECT_EQ(placed(texts()),
              (std::vector<Placed>{Placed{"1", 100, 200}, Placed{"3", 100, 200},  // up 0: both at the start
                                     Placed{"3", 100, 200}, Placed{"1", 100, 242.5},  //
                                     Placed{"3", 150, 200}, Placed{"1", 170, 242.5}}));
}

TEST_F(DrawTextTest, PlacesBeyondTheColumnTableKeepTheRunningX) {
  fill({{"a", "1"}, {"b", "2"}, {"c", "3"}});
  drawText({100, 0}, {"a", "b", "c"}, 0, 0, ColumnTable{{2}, 50}, 18, NSTextAlignment::left, store, context);
  EXPECT_EQ(placed(texts()),
              (std::vector<Placed>{Placed{"1", 200, 0}, Placed{"2", 200, 0}, Placed{"3", 200, 0}}));
}

TEST_F(DrawTextTest, OnlyRightAlignmentEndsTheTextAtItsX) {
  fill({{"k", "abc"}});  // 30 points wide
  for (auto alignment : {NSTextAlignment::right, NSTextAlignment::center, NSTextAlignment::left})
    drawText({250, 10}, {"k"}, 0, 0, std::nullopt, 18, alignment, store, context);
  EXPECT_EQ(placed(texts()), (std::vector<Placed>{Placed{"abc", 220, 10}, Placed{"abc", 250, 10},
                                                      Placed{"abc", 250, 10}}));
}

TEST_F(DrawTextTest, ARowStepsRightAndSaysSo) {
  fill({{"a", "1"}, {"b", "22"}, {"c", "3"}, {"d", "44"}, {"e", "5"}});
  OutputCapture output;
  drawText({295, 560}, {"a", "b", "c", "d", "e"}, 0, 52, std::nullopt, 18, NSTextAlignment::right, store, context);
  std::vector<double> rightEdges;
  for (const auto& t : texts()) {
    rightEdges.push_back(t.at.x + t.width);
    EXPECT_EQ(t.at.y, 560);
  }
  EXPECT_EQ(rightEdges, (std::vector<double>{295, 347, 399, 451, 503}));
  const auto lines = output.lines();
  EXPECT_EQ(lines.front(), "Det går mot høyre");
  // The drawing x of the key, not the advanced one.
  EXPECT_NE(std::find(lines.begin(), lines.end(), "Mot høyre: AdjustedX =  327.0"), lines.end());

  // A step of zero or less never moves sideways, and says nothing of it.
  for (double right : {0.0, -52.0}) {
    RecordingContext fresh{std::make_shared<platform::Recording>(), fixedMeasure};
    OutputCapture quiet;
    drawText({100, 0}, {"a", "b"}, 0, right, std::nullopt, 18, NSTextAlignment::left, store, fresh);
    for (const auto& t : fresh.recording().ofKind(Kind::text)) EXPECT_EQ(t.at.x, 100);
    EXPECT_NE(quiet.lines().front(), "Det går mot høyre");
  }
}

TEST_F(DrawTextTest, TrimsBlanksAndDrawsNothingForMinusOne) {
  const std::vector<std::pair<std::string, std::string>> cases{
      {" 12 ", "12"},
      {"\t7\u00A0", "7"},        // tab and no-break space are blanks
      {"\u3000x\u2009", "x"},    // ideographic and thin space
      {"\n7", "\n7"},            // line breaks are not
      {"-1", ""},
      {" -1", ""},
      {"-01", ""},
      {"-2", "-2"},
      {"- 1", "- 1"},
      {"   ", ""},
      {"", ""},
  };
  for (const auto& [stored, drawn] : cases) {
    RecordingContext fresh{std::make_shared<platform::Recording>(), fixedMeasure};
    fill({{"k", stored}, {"next", "n"}});
    drawText({0, 0}, {"k", "next"}, 10, 0, std::nullopt, 18, NSTextAlignment::left, store, fresh);
    const auto drawnTexts = fresh.recording().ofKind(Kind::text);
    ASSERT_EQ(drawnTexts.size(), 2u) << stored;
    // The stored value still takes its place: "next" is drawn below it.
    EXPECT_EQ(drawnTexts[1].text, drawn) << stored;
    EXPECT_EQ(drawnTexts[1].at.y, 10) << stored;
  }
}

TEST_F(DrawTextTest, PrintsEveryKeyItDraws) {
  fill({{"a", " 5"}, {"c", "-1"}});
  OutputCapture output;
  drawText({250, 812}, {"a", "b", "c"}, 42.5, 0, std::nullopt, 18, NSTextAlignment::right, store, context);
  EXPECT_EQ(output.lines(), (std::vector<std::string>{
                                R"(drawText:  ["c", "b", "a"] 42.5 0.0 ingen kolonnetabell)",
                                "Tegner tekst for nøkkel:  c  med verdi:  -1",
                                "adjustedX =  250.0 , currentY =  812.0",
                                "Tegner tekst for nøkkel:  a  med verdi:   5",
                                "adjustedX =  240.0 , currentY =  854.5",
                            }));
}

using DrawScoresTest = Fixture;

Subpath segment(double x1, double y1, double x2, double y2) { return Subpath{{{x1, y1}, {x2, y2}}, false, {}}; }
Subpath moveOnly(double x, double y) { return Subpath{{{x, y}}, false, {}}; }

TEST_F(DrawScoresTest, JoinsPointsAcrossMinusOne) {
  fill({{"a", "5"}, {"b", "-1"}, {"c", "7"}});
  OutputCapture output;
  drawScores({100, 200}, {"a", "b", "c"}, 10, 30, store, context);
  const auto all = strokes();
  ASSERT_EQ(all.size(), 1u);
  const auto& stroke = all[0];
  EXPECT_EQ(stroke.path, (std::vector<Subpath>{moveOnly(100, 200), segment(100, 250, 160, 270)}));
  EXPECT_EQ(stroke.state.strokeColor, opaqueBlack);
  EXPECT_EQ(stroke.state.lineWidth, 2.0);
  std::vector<std::string> positions;
  for (const auto& line : output.lines())
    if (line.starts_with("x, y = ")) positions.push_back(line);
  EXPECT_EQ(positions, (std::vector<std::string>{"x, y =  100.0 ,  250.0", "x, y =  130.0 ,  190.0",
                                                 "x, y =  160.0 ,  270.0"}));
  EXPECT_EQ(output.lines()[1], "index, key, value =  0 a ,  5");
}

TEST_F(DrawScoresTest, APointWithoutANeighbourDrawsNoSegment) {
  fill({{"a", "-1"}, {"b", "4"}});
  for (const std::vector<std::string>& keys : {std::vector<std::string>{"a", "b"}, std::vector<std::string>{"b"}}) {
    RecordingContext fresh{std::make_shared<platform::Recording>(), fixedMeasure};
    drawScores({0, 0}, keys, 1, 1, store, fresh);
    const auto drawn = fresh.recording().ofKind(Kind::stroke);
    ASSERT_EQ(drawn.size(), 1u);
    EXPECT_EQ(drawn[0].path, std::vector<Subpath>{moveOnly(0, 0)});
  }
}

TEST_F(DrawScoresTest, AValueThatIsNotAWholeNumberEndsTheCallUnstroked) {
  for (const std::string bad : {" 7", "7.5", "x", "", "99999999999999999999"}) {
    RecordingContext fresh{std::make_shared<platform::Recording>(), fixedMeasure};
    fill({{"a", "1"}, {"b", "2"}, {"c", bad}, {"d", "4"}});
    OutputCapture output;
    drawScores({0, 0}, {"a", "b", "c", "d"}, 10, 10, store, fresh);
    EXPECT_TRUE(fresh.recording().ofKind(Kind::stroke).empty()) << bad;
    EXPECT_EQ(fresh.currentPath(), (std::vector<Subpath>{moveOnly(0, 0), segment(0, 10, 10, 20)})) << bad;
    EXPECT_EQ(output.lines().size(), 6u) << bad;  // three lines for each of the first two keys
  }
}

TEST_F(DrawScoresTest, AnEarlyEndIsPaintedByTheNextStroke) {
  fill({{"a", "1"}, {"b", "2"}, {"d", "4"}, {"e", "5"}, {"f", "6"}});
  drawScores({0, 0}, {"a", "b", "c", "d"}, 10, 10, store, context);
  drawScores({100, 0}, {"e", "f"}, 10, 10, store, context);
  ASSERT_EQ(strokes().size(), 1u);
  EXPECT_EQ(strokes()[0].path, (std::vector<Subpath>{moveOnly(0, 0), segment(0, 10, 10, 20), moveOnly(100, 0),
                                                      segment(100, 50, 110, 60)}));
  EXPECT_EQ(strokes()[0].state.lineWidth, 2.0);

  // With the circle next, the segment takes the circle's colour and width.
  RecordingContext other{std::make_shared<platform::Recording>(), fixedMeasure};
  drawScores({0, 0}, {"a", "b", "c"}, 10, 10, store, other);
  const auto grey = CGColor::genericRGB(0.5, 0.5, 0.5, 1);
  drawCircle(589, 396, 15, grey, 1.1, other);
  const auto circleStroke = other.recording().ofKind(Kind::stroke);
  ASSERT_EQ(circleStroke.size(), 1u);
  EXPECT_EQ(circleStroke[0].path.size(), 3u);
  EXPECT_EQ(circleStroke[0].path[1], segment(0, 10, 10, 20));
  EXPECT_EQ(circleStroke[0].state.strokeColor, grey);
  EXPECT_EQ(circleStroke[0].state.lineWidth, 1.1);
}

using DrawCircleTest = Fixture;

TEST_F(DrawCircleTest, OutlinesOnlyAndLeavesRedAsFillColour) {
  drawCircle(589, 396, 15, opaqueBlack, 1.1, context);
  const auto& ops = context.recording().operations;
  ASSERT_EQ(ops.size(), 2u);
  EXPECT_EQ(ops[0].kind, Kind::stroke);
  ASSERT_EQ(ops[0].path.size(), 1u);
  EXPECT_TRUE(ops[0].path[0].ellipse);
  EXPECT_EQ(ops[0].path[0].ellipseRect, (platform::Rect{574, 381, 30, 30}));
  EXPECT_EQ(ops[0].state.lineWidth, 1.1);
  EXPECT_EQ(ops[1].kind, Kind::fill);
  EXPECT_TRUE(ops[1].path.empty());
  EXPECT_EQ(context.state().fillColor, opaqueRed);
}

}  // namespace
}  // namespace kelmora
