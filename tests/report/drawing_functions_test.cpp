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
  explicit Page(const ExcelData& data) { store.setExcelData(data); }
  std::vector<Operation> of(Kind kind) const { return context.recording().ofKind(kind); }
};

using Placed = std::tuple<std::string, double, double>;  // the text and its lower-left corner

TEST(DrawTextTest, PlacesEachValueInTurn) {
  const ExcelData abc{{"a", "1"}, {"b", "22"}, {"c", "3"}};
  const ExcelData noB{{"a", "1"}, {"c", "3"}};
  const auto left = NSTextAlignment::left;
  struct Case {
    const char* name;
    ExcelData data;
    std::vector<std::string> keys;
    double up;
    double right;
    std::optional<ColumnTable> offset;
    NSTextAlignment alignment;
    std::vector<Placed> drawn;
  };
  // clang-format off
  std::vector<Case> cases{
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
  // Blanks (Unicode space separators and the tab, not line breaks) are
  // trimmed, and -1 draws nothing; the stored value still takes its place:
  // "n" is drawn above it.
  const std::pair<std::string, std::string> trimmed[] = {
      {" 12 ", "12"},  {"\t7\u00A0", "7"},  {"\u3000x\u2009", "x"},  {"\n7", "\n7"},
      {"-1", ""},      {" -1", ""},      {"-01", ""},          {"-2", "-2"},
      {"- 1", "- 1"},  {"   ", ""},      {"", ""},
  };
  for (const auto& [stored, drawn] : trimmed)
    cases.push_back({stored.c_str(), {{"k", stored}, {"n", "n"}}, {"n", "k"}, 10, 0, {}, left, {{drawn, 100, 200}, {"n", 100, 210}}});
  // clang-format on
  for (const auto& c : cases) {
    Page page(c.data);
    OutputCapture quiet;
    drawText({100, 200}, c.keys, c.up, c.right, c.offset, 18, c.alignment, page.store, page.context);
    std::vector<Placed> drawn;
    for (const auto& t : page.of(Kind::text)) drawn.emplace_back(t.text, t.at.x, t.at.y);
    EXPECT_EQ(drawn, c.drawn) << c.name;
    EXPECT_EQ(quiet.lines().front() == "Det går mot høyre", c.right > 0) << c.name;
  }
}

Subpath segment(double x1, double y1, double x2, double y2) { return Subpath{{{x1, y1}, {x2, y2}}, false, {}}; }
Subpath moveOnly(double x, double y) { return Subpath{{{x, y}}, false, {}}; }

// Each segment a subpath of its own, joined across -1, in one black stroke at
// width 2. A value that is no whole number ends the call before it strokes,
// its segments left in the path for the next stroke to paint.
TEST(DrawScoresTest, JoinsTheScoresAcrossMinusOneAndStopsAtAValueThatIsNoWholeNumber) {
  const auto stopAt = [](const std::string& bad) { return ExcelData{{"a", "1"}, {"b", "2"}, {"c", bad}, {"d", "4"}}; };
  const std::vector<Subpath> twoPoints{moveOnly(0, 0), segment(0, 10, 30, 20)};
  const struct {
    ExcelData data;
    std::vector<std::string> keys;
    std::vector<Subpath> path;
    bool stroked = true;
    // clang-format off
  } cases[] = {
      {{{"a", "5"}, {"b", "-1"}, {"c", "7"}}, {"a", "b", "c"}, {moveOnly(0, 0), segment(0, 50, 60, 70)}},
      {{{"a", "-1"}, {"b", "4"}}, {"a", "b"}, {moveOnly(0, 0)}},  // a point without a neighbour
      {{{"b", "4"}}, {"b"}, {moveOnly(0, 0)}},
      {stopAt(" 7"), {"a", "b", "c", "d"}, twoPoints, false},
      {stopAt("7.5"), {"a", "b", "c", "d"}, twoPoints, false},
      {stopAt("x"), {"a", "b", "c", "d"}, twoPoints, false},
      {stopAt(""), {"a", "b", "c", "d"}, twoPoints, false},
      {stopAt("99999999999999999999"), {"a", "b", "c", "d"}, twoPoints, false},
  };
  // clang-format on
  for (const auto& c : cases) {
    Page page(c.data);
    OutputCapture quiet;
    drawScores({0, 0}, c.keys, 10, 30, page.store, page.context);
    const auto strokes = page.of(Kind::stroke);
    ASSERT_EQ(strokes.size(), c.stroked ? 1u : 0u);
    EXPECT_EQ(c.stroked ? strokes[0].path : page.context.currentPath(), c.path);
    EXPECT_TRUE(!c.stroked || page.context.currentPath().empty());
    EXPECT_TRUE(!c.stroked || (strokes[0].state.strokeColor == opaqueBlack && strokes[0].state.lineWidth == 2.0));
  }
}

}  // namespace
}  // namespace kelmora
