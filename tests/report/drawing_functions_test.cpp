#include "report/drawing_functions.h"

#include <gtest/gtest.h>

#include "base/diagnostics.h"
#include "platform/recording_context.h"

namespace kelmora {
namespace {

using platform::Operation;
using platform::Subpath;
using Kind = Operation::Kind;

// A store and a page whose texts measure ten points per character, whatever
// the size: widths the tests can predict.
struct Page {
  SharedData store;
  platform::RecordingContext context{std::make_shared<platform::Recording>(),
                                     [](std::string_view text, double) { return 10.0 * double(text.size()); }};
  explicit Page(const ExcelData& data = {}) { store.setExcelData(data); }

  void text(const std::vector<std::string>& keys, double up, double right,
            const std::optional<ColumnTable>& offset = std::nullopt,
            NSTextAlignment alignment = NSTextAlignment::left) {
    drawText({100, 200}, keys, up, right, offset, 18, alignment, store, context);
  }
  std::vector<Operation> of(Kind kind) const { return context.recording().ofKind(kind); }
};

using Placed = std::tuple<std::string, double, double>;  // the text and its lower-left corner

TEST(DrawTextTest, PlacesEachValueInTurn) {
  const ExcelData abc{{"a", "1"}, {"b", "22"}, {"c", "3"}};
  const ExcelData noB{{"a", "1"}, {"c", "3"}};
  const auto left = NSTextAlignment::left;
  const struct {
    const char* name;
    ExcelData data;
    std::vector<std::string> keys;
    double up;
    double right;
    std::optional<ColumnTable> offset;
    NSTextAlignment alignment;
    std::vector<Placed> drawn;
    // clang-format off
  } cases[] = {
      {"a column steps up from the last key", abc, {"a", "b", "c"}, 42.5, 0, {}, left,
       {{"3", 100, 200}, {"22", 100, 242.5}, {"1", 100, 285}}},
      {"a missing key keeps its place", noB, {"a", "b", "c"}, 42.5, 0, {}, left,
       {{"3", 100, 200}, {"1", 100, 285}}},
      {"a missing key keeps its place in a row", noB, {"a", "b", "c"}, 0, 52, {}, left,
       {{"1", 100, 200}, {"3", 204, 200}}},
      {"up 0 keeps the order and the place", noB, {"a", "c"}, 0, 0, {}, left, {{"1", 100, 200}, {"3", 100, 200}}},
      // The drawn order is c, b, a: "a" takes entry 2 of the column table.
      {"a missing key keeps its column entry", noB, {"a", "b", "c"}, 42.5, 0, ColumnTable{{5, 6, 7}, 10}, left,
       {{"3", 150, 200}, {"1", 170, 285}}},
      {"places beyond the column table keep the running x", abc, {"a", "b", "c"}, 0, 0, ColumnTable{{2}, 50}, left,
       {{"1", 200, 200}, {"22", 200, 200}, {"3", 200, 200}}},
      {"a row steps right, each text ending at its x", abc, {"a", "b", "c"}, 0, 52, {}, NSTextAlignment::right,
       {{"1", 90, 200}, {"22", 132, 200}, {"3", 194, 200}}},
      {"only right alignment moves the text", abc, {"b"}, 0, 0, {}, NSTextAlignment::center, {{"22", 100, 200}}},
      {"a step back never moves sideways", abc, {"a", "b"}, 0, -52, {}, left, {{"1", 100, 200}, {"22", 100, 200}}},
  };
  // clang-format on
  for (const auto& c : cases) {
    Page page(c.data);
    OutputCapture quiet;
    page.text(c.keys, c.up, c.right, c.offset, c.alignment);
    std::vector<Placed> drawn;
    for (const auto& t : page.of(Kind::text)) drawn.emplace_back(t.text, t.at.x, t.at.y);
    EXPECT_EQ(drawn, c.drawn) << c.name;
    EXPECT_EQ(quiet.lines().front() == "Det går mot høyre", c.right > 0) << c.name;
  }
}

TEST(DrawTextTest, TrimsBlanksAndDrawsNothingForMinusOne) {
  // clang-format off
  const std::pair<std::string, std::string> cases[] = {
      {" 12 ", "12"},  {"\t7\u00A0", "7"},  // tab and no-break space are blanks
      {"\u3000x\u2009", "x"},               // ideographic and thin space
      {"\n7", "\n7"},                       // line breaks are not
      {"-1", ""},      {" -1", ""},  {"-01", ""},    {"-2", "-2"},
      {"- 1", "- 1"},  {"   ", ""},  {"", ""},
  };
  // clang-format on
  for (const auto& [stored, drawn] : cases) {
    Page page({{"k", stored}, {"next", "n"}});
    OutputCapture quiet;
    page.text({"k", "next"}, 10, 0);
    const auto texts = page.of(Kind::text);
    ASSERT_EQ(texts.size(), 2u) << stored;
    // The stored value still takes its place: "next" is drawn below it.
    EXPECT_EQ(texts[1].text, drawn) << stored;
    EXPECT_EQ(texts[1].at.y, 210) << stored;
  }
}

TEST(DrawTextTest, PrintsEveryKeyItDrawsAndWhere) {
  Page page({{"a", " 5"}, {"c", "-1"}});
  OutputCapture output;
  page.text({"a", "b", "c"}, 42.5, 0, std::nullopt, NSTextAlignment::right);
  page.text({"a", "c"}, 0, 52, ColumnTable{{1}, 10}, NSTextAlignment::right);
  EXPECT_EQ(output.lines(), (std::vector<std::string>{
                                R"(drawText:  ["c", "b", "a"] 42.5 0.0 ingen kolonnetabell)",
                                "Tegner tekst for nøkkel:  c  med verdi:  -1",
                                "adjustedX =  100.0 , currentY =  200.0",
                                "Tegner tekst for nøkkel:  a  med verdi:   5",
                                "adjustedX =  90.0 , currentY =  285.0",
                                "Det går mot høyre",
                                R"(drawText:  ["a", "c"] 0.0 52.0 [1] bredde 10.0)",
                                "Tegner tekst for nøkkel:  a  med verdi:   5",
                                "adjustedX =  100.0 , currentY =  200.0",
                                // The drawing x of the key, not the advanced one.
                                "Mot høyre: AdjustedX =  100.0",
                                "Tegner tekst for nøkkel:  c  med verdi:  -1",
                                "adjustedX =  162.0 , currentY =  200.0",
                                "Mot høyre: AdjustedX =  162.0",
                            }));
}

Subpath segment(double x1, double y1, double x2, double y2) { return Subpath{{{x1, y1}, {x2, y2}}, false, {}}; }
Subpath moveOnly(double x, double y) { return Subpath{{{x, y}}, false, {}}; }

TEST(DrawScoresTest, JoinsTheScoresAcrossMinusOneInOneBlackStroke) {
  const struct {
    ExcelData data;
    std::vector<std::string> keys;
    std::vector<Subpath> path;
    // clang-format off
  } cases[] = {
      {{{"a", "5"}, {"b", "-1"}, {"c", "7"}}, {"a", "b", "c"}, {moveOnly(0, 0), segment(0, 50, 60, 70)}},
      {{{"a", "-1"}, {"b", "4"}}, {"a", "b"}, {moveOnly(0, 0)}},  // a point without a neighbour
      {{{"b", "4"}}, {"b"}, {moveOnly(0, 0)}},
  };
  // clang-format on
  for (const auto& c : cases) {
    Page page(c.data);
    OutputCapture output;
    drawScores({0, 0}, c.keys, 10, 30, page.store, page.context);
    const auto strokes = page.of(Kind::stroke);
    ASSERT_EQ(strokes.size(), 1u);
    EXPECT_EQ(strokes[0].path, c.path);
    EXPECT_EQ(strokes[0].state.strokeColor, opaqueBlack);
    EXPECT_EQ(strokes[0].state.lineWidth, 2.0);
    EXPECT_TRUE(page.context.currentPath().empty());
    if (c.keys.size() == 3) {
      std::vector<std::string> lines;
      for (const auto& line : output.lines())
        if (line.starts_with("x, y = ") || line.starts_with("index")) lines.push_back(line);
      EXPECT_EQ(lines, (std::vector<std::string>{"index, key, value =  0 a ,  5", "x, y =  0.0 ,  50.0",
                                                 "index, key, value =  1 b ,  -1", "x, y =  30.0 ,  -10.0",
                                                 "index, key, value =  2 c ,  7", "x, y =  60.0 ,  70.0"}));
    }
  }
}

TEST(DrawScoresTest, AValueThatIsNotAWholeNumberEndsTheCallUnstroked) {
  for (const std::string bad : {" 7", "7.5", "x", "", "99999999999999999999"}) {
    Page page({{"a", "1"}, {"b", "2"}, {"c", bad}, {"d", "4"}});
    OutputCapture output;
    drawScores({0, 0}, {"a", "b", "c", "d"}, 10, 10, page.store, page.context);
    EXPECT_TRUE(page.of(Kind::stroke).empty()) << bad;
    // Left for the next stroke to paint.
    EXPECT_EQ(page.context.currentPath(), (std::vector<Subpath>{moveOnly(0, 0), segment(0, 10, 10, 20)})) << bad;
    EXPECT_EQ(output.lines().size(), 6u) << bad;  // three lines for each of the first two keys
  }
}

}  // namespace
}  // namespace kelmora
