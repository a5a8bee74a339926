#include <array>
#include <vector>

#include "tools/background/form_sections.h"

namespace kelmora::background {
namespace {

namespace L = kelmora::layout;

constexpr int indexProfileLowest = 40;
constexpr int indexProfileHighest = 160;

double subtestProfileY(double scaled) { return L::subtestProfileOriginY + L::subtestProfileScale * scaled; }
double indexProfileY(double score) { return L::indexProfileOrigin.y + L::indexProfileScale * score; }

// Column edges of a profile: halfway between neighbouring columns, and a
// margin beyond the outer ones.
std::vector<double> columnEdges(const std::vector<double>& xs, double leftMargin, double rightMargin) {
  std::vector<double> edges{xs.front() - leftMargin};
  for (std::size_t i = 1; i < xs.size(); ++i) edges.push_back((xs[i - 1] + xs[i]) / 2);
  edges.push_back(xs.back() + rightMargin);
  return edges;
}

}  // namespace

// The subtest profile: one column per subtest of each group, the
// supplementary ones last, each group where the layout places it.
void drawSubtestProfile(Sheet& sheet) {
  // The columns are centred on the scores of the row above the grid (a
  // two-digit score, right-aligned); the profile's points fall a few points
  // left of those centres, on the thin line of each column.
  std::vector<double> xs;
  std::vector<double> middles;
  std::vector<const Subtest*> columns;
  std::vector<std::size_t> groupStarts;
  const double scoreHalf = markWidth(QStringLiteral("00"), L::profileRowFontSize) / 2;
  for (std::size_t g = 0; g < indexGroupCount; ++g) {
    groupStarts.push_back(xs.size());
    const L::GroupPlace& place = L::groupPlaces[g];
    std::vector<const Subtest*> group = subtestsOf(static_cast<IndexGroup>(g), true);
    for (const Subtest* extra : subtestsOf(static_cast<IndexGroup>(g), false)) group.push_back(extra);
    for (std::size_t i = 0; i < group.size(); ++i) {
      xs.push_back(place.profileX + place.profileStep * static_cast<double>(i));
      middles.push_back(place.scoreRowX + L::subtestScoreStep * static_cast<double>(i) - scoreHalf);
      columns.push_back(group[i]);
    }
  }
  const double half = L::subtestScoreStep / 2;
  const std::vector<double> edges = columnEdges(middles, half, half);
  const double gridBottom = subtestProfileY(1) - L::subtestProfileScale / 2;
  const double gridTop = subtestProfileY(19) + L::subtestProfileScale / 2;
  const double scoreTop = gridTop + 26.5;
  const double codeTop = scoreTop + 22;
  const double groupTop = codeTop + 24;
  const double left = edges.front();
  const double right = edges.back();

  sheet.text(left, groupTop + 12, utf8("Deltestprofil"), 15, true, Align::left, inkColour);
  sheet.text(right, groupTop + 12, utf8("skalert skåre 1–19, gjennomsnitt 10"), 11, false, Align::right, mutedColour);

  sheet.fill(left, subtestProfileY(7), right, subtestProfileY(13), bandFill);
  sheet.fill(left, codeTop, right, groupTop, headingFill);
  for (int s = 1; s <= 19; ++s) {
    const double y = subtestProfileY(s);
    sheet.horizontal(left, right, y, 1, s == 10 ? mutedColour : gridColour);
    sheet.textIn(left - 6, y - 6, y + 6, {QString::number(s)}, 10.5, false, Align::right, mutedColour);
  }
  for (std::size_t i = 0; i < xs.size(); ++i) {
    sheet.vertical(xs[i], gridBottom, gridTop, 1, minorGridColour);
    // Supplementary subtests are written in brackets.
    const bool supplementary = !columns[i]->core;
    const QString code = supplementary ? QStringLiteral("(%1)").arg(shownCode(*columns[i])) : shownCode(*columns[i]);
    sheet.textIn(middles[i], scoreTop, codeTop, {code}, supplementary ? 9.5 : 11, !supplementary, Align::centre,
                 supplementary ? mutedColour : inkColour);
    if (i > 0) sheet.vertical(edges[i], gridTop, scoreTop, 1, gridColour);
  }
  for (std::size_t g = 0; g < groupStarts.size(); ++g) {
    const std::size_t first = groupStarts[g];
    const std::size_t end = g + 1 < groupStarts.size() ? groupStarts[g + 1] : xs.size();
    sheet.textIn((edges[first] + edges[end]) / 2, codeTop, groupTop, {shownCode(indexes[g])}, 12, true, Align::centre,
                 inkColour);
    if (g > 0) sheet.vertical(edges[first], gridBottom, groupTop, 2);
  }
  sheet.horizontal(left, right, gridTop);
  sheet.horizontal(left, right, scoreTop, 1, gridColour);
  sheet.horizontal(left, right, codeTop);
  sheet.frame(left, gridBottom, right, groupTop, 2);
}

void drawIndexProfile(Sheet& sheet) {
  std::vector<double> xs;
  for (std::size_t i = 0; i < indexes.size(); ++i) {
    xs.push_back(L::indexProfileOrigin.x + L::indexProfileStep * static_cast<double>(i));
  }
  const std::vector<double> edges = columnEdges(xs, 47, 47);
  const double left = edges.front();
  const double right = edges.back();
  const Span scoreRow = rowAround(L::indexScoreRow.y, 42.5);
  const double gridBottom = indexProfileY(indexProfileLowest) - 16;
  const double gridTop = scoreRow.low;
  const double codeTop = scoreRow.high + 24;

  sheet.text(left, codeTop + 12, utf8("Indeksprofil"), 15, true, Align::left, inkColour);
  sheet.text(right, codeTop + 12, utf8("indeksskåre 40–160, gjennomsnitt 100"), 11, false, Align::right, mutedColour);

  sheet.fill(left, indexProfileY(85), right, indexProfileY(115), bandFill);
  sheet.fill(left, scoreRow.high, right, codeTop, headingFill);
  for (int score = indexProfileLowest; score <= indexProfileHighest; score += 5) {
    const double y = indexProfileY(score);
    const bool labelled = score % 10 == 0;
    sheet.horizontal(left, right, y, 1, score == 100 ? mutedColour : labelled ? gridColour : minorGridColour);
    if (labelled) {
      sheet.textIn(left - 6, y - 6, y + 6, {QString::number(score)}, 10.5, false, Align::right, mutedColour);
    }
  }
  for (std::size_t i = 0; i < xs.size(); ++i) {
    sheet.vertical(xs[i], gridBottom, gridTop, 1, minorGridColour);
    sheet.textIn((edges[i] + edges[i + 1]) / 2, scoreRow.high, codeTop, {shownCode(indexes[i])}, 12, true,
                 Align::centre, inkColour);
    // A heavy rule sets the full scale apart.
    const bool fullScale = i == indexGroupCount;
    if (i > 0) sheet.vertical(edges[i], gridBottom, codeTop, fullScale ? 2 : 1, fullScale ? inkColour : gridColour);
  }
  sheet.horizontal(left, right, scoreRow.high);
  sheet.horizontal(left, right, gridTop);
  sheet.frame(left, gridBottom, right, codeTop, 2);
}

}  // namespace kelmora::background
