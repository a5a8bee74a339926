#include <QStringList>
#include <algorithm>
#include <array>
#include <map>

#include "tools/background/form_sections.h"

namespace kelmora::background {
namespace {

namespace L = kelmora::layout;

// The right edge of the left-hand tables.
constexpr double indexTableRight = 630;

// Height of the heading above the raw-score table and the index key beside it.
constexpr double tableHeadingHeight = 52;

// The Norwegian names on the form. Which subtests there are, and which index
// each belongs to, is for the table of subtests to say.
QString subtestName(std::string_view code) {
  static const std::map<std::string_view, const char*> names{
      {"Tm", "Terningmønster"}, {"Li", "Likheter"}, {"Th", "Tallhukommelse"}, {"Mr", "Matriseresonnering"},
      {"Of", "Ordforråd"},      {"Rg", "Regning"},  {"Sl", "Symbolleting"},   {"Vp", "Visuelle puslespill"},
      {"In", "Informasjon"},    {"Kd", "Koding"}};
  return utf8(names.at(code));
}

QString indexName(std::string_view table) {
  static const std::map<std::string_view, const char*> names{{"VFI", "Verbal forståelse"},
                                                             {"PRI", "Perseptuell resonnering"},
                                                             {"AMI", "Arbeidsminne"},
                                                             {"PHI", "Prosesseringshastighet"},
                                                             {"FSIQ", "Full skala IQ"}};
  return utf8(names.at(table));
}

// The raw-score table's rows from the bottom up, the order in which the
// report fills them.
const Subtest& subtestInRow(std::size_t row) { return subtests[coreSubtestCount - 1 - row]; }

}  // namespace

// Raw scores and the four scaled-score columns; in each subtest row only the
// column of the subtest's own index is open.
void drawRawScoreTable(Sheet& sheet) {
  const double step = L::subtestRowStep;
  const Span firstRow = rowAround(L::rawColumn.y, step);
  const double bodyBottom = firstRow.low;
  const double bodyTop = firstRow.low + step * static_cast<double>(coreSubtestCount);
  const double headingMiddle = bodyTop + tableHeadingHeight / 2;
  const double headingTop = bodyTop + tableHeadingHeight;

  const double codeLeft = leftEdge;
  const double nameLeft = leftEdge + 40;
  std::array<Span, 4> scaled{};
  for (std::size_t k = 0; k < 4; ++k) {
    scaled[k] = columnAround(L::scaledColumn.x + L::scaledColumnWidth * static_cast<double>(k), QStringLiteral("00"),
                             L::scaledColumnWidth);
  }
  const double rawLeft = 203;
  const double rawRight = scaled[0].low;
  const double tableRight = scaled[3].high;

  // One size for every name: the largest at which the longest still fits.
  double nameSize = 12.5;
  const auto fits = [&](double size) {
    return std::all_of(subtests.begin(), subtests.begin() + coreSubtestCount, [&](const Subtest& subtest) {
      return sheet.width(subtestName(subtest.code), size, false) <= rawLeft - nameLeft - 6;
    });
  };
  while (nameSize > 9 && !fits(nameSize)) nameSize -= 0.5;

  sheet.text(leftEdge, headingTop + 12, utf8("Omregning av råskårer"), 15, true, Align::left, inkColour);
  sheet.fill(codeLeft, bodyTop, tableRight, headingTop, headingFill);

  for (std::size_t i = 0; i < coreSubtestCount; ++i) {
    const double low = bodyBottom + step * static_cast<double>(i);
    const double high = low + step;
    const auto open = static_cast<std::size_t>(L::scaledColumnOffsets.at(i));
    for (std::size_t k = 0; k < 4; ++k) {
      if (k != open) sheet.fill(scaled[k].low, low, scaled[k].high, high, unusedFill);
    }
    sheet.textIn(codeLeft + 8, low, high, {shownCode(subtestInRow(i))}, 13, true, Align::left, inkColour);
    sheet.textIn(nameLeft, low, high, {subtestName(subtestInRow(i).code)}, nameSize, false, Align::left);
    if (i > 0) sheet.horizontal(codeLeft, tableRight, low, 1, gridColour);
  }

  sheet.textIn(codeLeft + 8, bodyTop, headingTop, {QStringLiteral("Deltest")}, 12, true, Align::left, inkColour);
  sheet.textIn((rawLeft + rawRight) / 2, bodyTop, headingTop, {utf8("Rå-"), utf8("skåre")}, 11, true, Align::centre,
               inkColour);
  sheet.textIn((scaled[0].low + tableRight) / 2, headingMiddle, headingTop, {utf8("Skalerte skårer")}, 12, true,
               Align::centre, inkColour);
  for (std::size_t k = 0; k < 4; ++k) {
    sheet.textIn((scaled[k].low + scaled[k].high) / 2, bodyTop, headingMiddle, {shownCode(indexes[k])}, 12, true,
                 Align::centre, inkColour);
  }

  sheet.horizontal(scaled[0].low, tableRight, headingMiddle, 1, gridColour);
  for (std::size_t k = 1; k < 4; ++k) sheet.vertical(scaled[k].low, bodyBottom, headingMiddle, 1, gridColour);
  sheet.vertical(nameLeft - 6, bodyBottom, bodyTop, 1, gridColour);
  sheet.vertical(rawLeft, bodyBottom, headingTop);
  sheet.vertical(rawRight, bodyBottom, headingTop);
  sheet.horizontal(codeLeft, tableRight, bodyTop);
  sheet.frame(codeLeft, bodyBottom, tableRight, headingTop, 2);
}

// Beside the raw-score table: which subtests make up each index.
void drawIndexKey(Sheet& sheet) {
  const Span firstRow = rowAround(L::rawColumn.y, L::subtestRowStep);
  const double bottom = firstRow.low;
  const double bodyTop = firstRow.low + L::subtestRowStep * static_cast<double>(coreSubtestCount);
  const double top = bodyTop + tableHeadingHeight;
  const double left = 490;
  const double right = indexTableRight;
  sheet.frame(left, bottom, right, top);
  sheet.fill(left, bodyTop, right, top, headingFill);
  sheet.horizontal(left, right, bodyTop);
  sheet.textIn(left + 12, bodyTop, top, {utf8("Indeksene")}, 12, true, Align::left, inkColour);

  // Each index's core subtests, and below them its supplementary ones.
  const auto listed = [](const std::vector<const Subtest*>& members) {
    QStringList codes;
    for (const Subtest* subtest : members) codes.append(shownCode(*subtest));
    return codes.join(utf8(" · "));
  };
  double y = bodyTop - 34;
  for (std::size_t g = 0; g < indexGroupCount; ++g) {
    const auto group = static_cast<IndexGroup>(g);
    sheet.text(left + 12, y, shownCode(indexes[g]), 12, true, Align::left, inkColour);
    sheet.text(left + 54, y, listed(subtestsOf(group, true)), 11.5, false, Align::left);
    sheet.text(left + 54, y - 17, QStringLiteral("(%1)").arg(listed(subtestsOf(group, false))), 10.5, false,
               Align::left, mutedColour);
    y -= 56;
  }
  sheet.text(left + 12, y + 2, utf8("IQ: alle ti"), 11.5, true, Align::left, inkColour);
  sheet.text(left + 12, y - 16, utf8("kjernedeltestene"), 11.5, false, Align::left);

  const double noteY = bottom + 44;
  sheet.horizontal(left + 12, right - 12, noteY + 20, 1, gridColour);
  sheet.text(left + 12, noteY, utf8("( ) tilleggsdeltest"), 10.5, false, Align::left, mutedColour);
  sheet.text(left + 12, noteY - 16, utf8("grå felt: inngår ikke"), 10.5, false, Align::left, mutedColour);
}

void drawNotes(Sheet& sheet, double bottom, double top) {
  const double right = indexTableRight;
  sheet.frame(leftEdge, bottom, right, top);
  sheet.text(leftEdge + 10, top - 20, utf8("Merknader og atferdsobservasjoner"), 11.5, true, Align::left, inkColour);
  for (double y = top - 50; y > bottom + 10; y -= 28) sheet.horizontal(leftEdge + 10, right - 10, y, 1, gridColour);
}

// The row of the five sums of scaled scores.
void drawSums(Sheet& sheet) {
  const Span row = rowAround(L::sumRow.y, 42.5);
  const double headingTop = row.high + 26;
  std::array<Span, indexes.size()> cells{};
  for (std::size_t k = 0; k < cells.size(); ++k) {
    cells[k] = columnAround(L::sumRow.x + L::sumStep * static_cast<double>(k), QStringLiteral("000"), L::sumStep);
  }
  const double left = leftEdge;
  const double right = cells.back().high;
  sheet.fill(cells[0].low, row.high, right, headingTop, headingFill);
  for (std::size_t k = 0; k < cells.size(); ++k) {
    sheet.textIn((cells[k].low + cells[k].high) / 2, row.high, headingTop, {shownCode(indexes[k])}, 12, true,
                 Align::centre, inkColour);
    if (k > 0) sheet.vertical(cells[k].low, row.low, headingTop, 1, gridColour);
  }
  sheet.textIn(left + 10, row.low, row.high, {utf8("Sum skalerte skårer")}, 13, true, Align::left, inkColour);
  sheet.horizontal(cells[0].low, right, row.high);
  sheet.vertical(cells[0].low, row.low, headingTop);
  sheet.frame(left, row.low, right, row.high, 2);
  sheet.frame(cells[0].low, row.high, right, headingTop, 1);
}

// Index scores: sum, index score, percentile and confidence interval per
// index. The report rings the "95" of the confidence level in the heading.
void drawIndexTable(Sheet& sheet) {
  const double step = L::indexTableRowStep;
  const Span firstRow = rowAround(L::indexTableBottom, step);
  const double bodyBottom = firstRow.low;
  const double bodyTop = firstRow.low + step * static_cast<double>(indexes.size());
  const double headingTop = bodyTop + 84;

  const double labelRight = 215;
  const std::array<double, 5> edges{labelRight, 290, 424, 503, indexTableRight};
  const auto& valueXs = L::indexColumnX;

  sheet.text(leftEdge, headingTop + 12, utf8("Indeksskårer"), 15, true, Align::left, inkColour);
  sheet.fill(leftEdge, bodyTop, edges[4], headingTop, headingFill);

  // From the bottom up: the full scale first.
  for (std::size_t r = 0; r < indexes.size(); ++r) {
    const Index& index = indexes[indexes.size() - 1 - r];
    const double low = bodyBottom + step * static_cast<double>(r);
    const double high = low + step;
    const bool fullScale = r == 0;
    if (fullScale) sheet.fill(leftEdge, low, edges[4], high, bandFill);
    sheet.text(leftEdge + 10, low + step / 2 + 3, shownCode(index), 13, true, Align::left, inkColour);
    sheet.text(leftEdge + 10, low + step / 2 - 14, indexName(index.table), 10.5, false, Align::left);
    if (r > 0) sheet.horizontal(leftEdge, edges[4], low, 1, fullScale || r == 1 ? inkColour : gridColour);
  }
  sheet.horizontal(leftEdge, edges[4], bodyBottom + step, 1, inkColour);

  // Headings stand right-aligned over their numbers, as the numbers do.
  sheet.textIn(valueXs[0], bodyTop, headingTop, {QStringLiteral("Sum")}, 12, true, Align::right, inkColour);
  sheet.textIn(valueXs[1], bodyTop, headingTop, {utf8("Indeks-"), utf8("skåre")}, 12, true, Align::right, inkColour);
  sheet.textIn((edges[2] + edges[3]) / 2, bodyTop, headingTop, {utf8("Prosentil")}, 11.5, true, Align::centre,
               inkColour);
  sheet.textIn(leftEdge + 10, bodyTop, headingTop, {utf8("Indeks")}, 12, true, Align::left, inkColour);

  // Confidence interval: its name above, the levels to choose from below.
  const double levelY = L::circleCentre.y;
  const double intervalMiddle = (edges[3] + edges[4]) / 2;
  sheet.textIn(intervalMiddle, levelY + L::circleRadius + 2, headingTop - 2, {utf8("Konfidens-"), utf8("intervall")},
               12, true, Align::centre, inkColour);
  const double levelSize = 12;
  const double otherX = L::circleCentre.x - 2 * L::circleRadius - 8;
  sheet.textIn(L::circleCentre.x, levelY - 8, levelY + 8, {QStringLiteral("95")}, levelSize, true, Align::centre,
               inkColour);
  sheet.textIn(otherX, levelY - 8, levelY + 8, {QStringLiteral("90")}, levelSize, false, Align::centre, mutedColour);
  sheet.textIn(L::circleCentre.x + L::circleRadius + 4, levelY - 8, levelY + 8, {QStringLiteral("%")}, levelSize, false,
               Align::left, labelColour);

  for (std::size_t c = 1; c < 4; ++c) sheet.vertical(edges[c], bodyBottom, headingTop, 1, gridColour);
  sheet.vertical(labelRight, bodyBottom, headingTop);
  sheet.horizontal(leftEdge, edges[4], bodyTop);
  sheet.frame(leftEdge, bodyBottom, edges[4], headingTop, 2);

  sheet.text(leftEdge, bodyBottom - 22, utf8("Konfidensintervallet gjelder nivået som er ringet inn."), 10.5, false,
             Align::left, mutedColour);
}

}  // namespace kelmora::background
