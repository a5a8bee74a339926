#include "tools/background/record_form.h"

#include <QFontDatabase>
#include <QFontMetricsF>
#include <QPainter>
#include <QStringList>
#include <algorithm>
#include <array>
#include <cmath>
#include <initializer_list>
#include <map>
#include <string_view>
#include <vector>

#include "platform/system_font.h"
#include "report/page_layout.h"

namespace kelmora::background {
namespace {

namespace L = kelmora::layout;

constexpr const char* fontFolder = "/usr/share/fonts/truetype/dejavu/";
const QString family = QStringLiteral("DejaVu Sans");

// Greys of the form: rules, table headings, the cells a score does not go in,
// the average band of the profiles.
const QColor inkColour(0x1c, 0x1c, 0x1c);
const QColor labelColour(0x33, 0x33, 0x33);
const QColor mutedColour(0x6e, 0x6e, 0x6e);
const QColor gridColour(0xc4, 0xc4, 0xc4);
const QColor minorGridColour(0xe2, 0xe2, 0xe2);
const QColor headingFill(0xec, 0xec, 0xec);
const QColor unusedFill(0xbd, 0xbd, 0xbd);
const QColor bandFill(0xf2, 0xf2, 0xf2);

// Page margins of the form, and the right edge of the left-hand tables.
constexpr double leftEdge = 33;
constexpr double rightEdge = 1157;
constexpr double indexTableRight = 630;

// Height of the heading above the raw-score table and the index key beside it.
constexpr double tableHeadingHeight = 52;

QString utf8(const char* text) { return QString::fromUtf8(text); }
QString utf8(std::string_view text) { return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())); }

// The Norwegian names on the form. Which subtests there are, and which index
// each belongs to, is for the table of subtests to say.
QString subtestName(std::string_view code) {
  static const std::map<std::string_view, const char*> names{
      {"Tm", "Terningmønster"}, {"Li", "Likheter"},  {"Th", "Tallhukommelse"}, {"Mr", "Matriseresonnering"},
      {"Of", "Ordforråd"},      {"Rg", "Regning"},   {"Sl", "Symbolleting"},   {"Vp", "Visuelle puslespill"},
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

// A subtest goes by its scaled score's key without the "s" (the norms' "Fv"
// is "Vf" on the form), the full scale by "IQ".
QString shownCode(const Subtest& subtest) { return utf8(subtest.scaledKey.substr(1)); }
QString shownCode(const Index& index) { return index.table == "FSIQ" ? QStringLiteral("IQ") : utf8(index.table); }

// The raw-score table's rows from the bottom up, the order in which the
// report fills them.
const Subtest& subtestInRow(std::size_t row) { return subtests[coreSubtestCount - 1 - row]; }

std::vector<const Subtest*> subtestsOf(IndexGroup group, bool core) {
  std::vector<const Subtest*> result;
  for (const Subtest& subtest : subtests)
    if (subtest.group == group && subtest.core == core) result.push_back(&subtest);
  return result;
}

// The subtest profile: one column per subtest of each group, the
// supplementary ones last. Where each group's columns and scores stand, in
// the groups' order.
struct ProfilePlace {
  double firstX;
  double step;
  double firstScoreX;
};
constexpr std::array<ProfilePlace, indexGroupCount> profilePlaces{{
    {L::vfiProfileX, L::vfiProfileStep, L::vfiScoreRowX},
    {L::priProfileX, L::subtestProfileStep, L::priScoreRowX},
    {L::amiProfileX, L::subtestProfileStep, L::amiScoreRowX},
    {L::phiProfileX, L::subtestProfileStep, L::phiScoreRowX},
}};

constexpr int indexProfileLowest = 40;
constexpr int indexProfileHighest = 160;

double subtestProfileY(double scaled) { return L::subtestProfileOriginY + L::subtestProfileScale * scaled; }
double indexProfileY(double score) { return L::indexProfileOrigin.y + L::indexProfileScale * score; }

// The boxes are measured in the report's own font (the form's labels keep
// DejaVu Sans as the form's look), so that they hold what the report writes.
// markMiddle: the height above the bottom of a report line at which the
// middle of its digits stands; the form centres each box on it.
double markMiddle(double size) {
  const QFontMetricsF metrics = platform::systemFontMetrics(size);
  return metrics.descent() + metrics.capHeight() / 2;
}

double markWidth(const QString& text, double size) { return platform::systemFontTextWidth(text.toStdString(), size); }

struct Span {
  double low;
  double high;
};

// The cell of a row whose report line starts at y, one step tall.
Span rowAround(double y, double step, double size = L::defaultFontSize) {
  const double middle = y + markMiddle(size);
  return {middle - step / 2, middle + step / 2};
}

// The cell of a column of right-aligned numbers ending at x, centred on a
// number of the typical width.
Span columnAround(double rightX, const QString& typical, double width, double size = L::defaultFontSize) {
  const double middle = rightX - markWidth(typical, size) / 2;
  return {middle - width / 2, middle + width / 2};
}

enum class Align { left, centre, right };

// Draws in page points (y up) on the image (y down), one pixel per point.
// Rules are snapped to whole pixels so that they stay crisp; text is
// antialiased.
class Sheet {
 public:
  explicit Sheet(QImage& image) : painter_(&image), height_(image.height()) {
    painter_.setRenderHint(QPainter::TextAntialiasing, true);
  }

  int column(double x) const { return static_cast<int>(std::lround(x)); }
  int row(double y) const { return static_cast<int>(std::lround(height_ - y)); }

  void fill(double left, double bottom, double right, double top, const QColor& colour) {
    painter_.fillRect(QRect(QPoint(column(left), row(top)), QPoint(column(right) - 1, row(bottom) - 1)), colour);
  }

  void horizontal(double left, double right, double y, int width = 1, const QColor& colour = inkColour) {
    const int first = column(left) - width / 2;
    painter_.fillRect(QRect(first, row(y) - width / 2, column(right) - first + (width + 1) / 2, width), colour);
  }

  void vertical(double x, double bottom, double top, int width = 1, const QColor& colour = inkColour) {
    const int first = row(top) - width / 2;
    painter_.fillRect(QRect(column(x) - width / 2, first, width, row(bottom) - first + (width + 1) / 2), colour);
  }

  void frame(double left, double bottom, double right, double top, int width = 1, const QColor& colour = inkColour) {
    horizontal(left, right, bottom, width, colour);
    horizontal(left, right, top, width, colour);
    vertical(left, bottom, top, width, colour);
    vertical(right, bottom, top, width, colour);
  }

  static QFont font(double size, bool bold) {
    QFont font(family);
    font.setPointSizeF(size);
    font.setBold(bold);
    font.setHintingPreference(QFont::PreferVerticalHinting);
    return font;
  }

  double width(const QString& text, double size, bool bold) {
    return QFontMetricsF(font(size, bold), painter_.device()).horizontalAdvance(text);
  }

  // Text whose baseline stands at y; x is its left end, middle or right end.
  void text(double x, double baseline, const QString& text, double size, bool bold = false,
            Align align = Align::left, const QColor& colour = labelColour) {
    const QFont f = font(size, bold);
    const double w = QFontMetricsF(f, painter_.device()).horizontalAdvance(text);
    const double left = align == Align::left ? x : align == Align::centre ? x - w / 2 : x - w;
    painter_.setFont(f);
    painter_.setPen(colour);
    painter_.drawText(QPointF(left, height_ - baseline), text);
  }

  // Lines of text centred vertically between bottom and top (capitals centred).
  void textIn(double x, double bottom, double top, const QStringList& lines, double size, bool bold = false,
              Align align = Align::left, const QColor& colour = labelColour) {
    const QFontMetricsF metrics(font(size, bold), painter_.device());
    const double spacing = size * 1.2;
    const double block = metrics.capHeight() + spacing * static_cast<double>(lines.size() - 1);
    double baseline = (bottom + top) / 2 + block / 2 - metrics.capHeight();
    for (const QString& line : lines) {
      text(x, baseline, line, size, bold, align, colour);
      baseline -= spacing;
    }
  }

  QPainter& painter() { return painter_; }

 private:
  QPainter painter_;
  int height_;
};

void drawHeader(Sheet& sheet) {
  const double baseline = 1600;
  sheet.text(leftEdge, baseline, QStringLiteral("WAIS-IV"), 30, true, Align::left, inkColour);
  const double titleWidth = sheet.width(QStringLiteral("WAIS-IV"), 30, true);
  sheet.text(leftEdge + titleWidth + 16, baseline, utf8("Skåreskjema"), 20, false, Align::left, labelColour);
  sheet.text(rightEdge, baseline + 14, utf8("Wechsler intelligensskala for voksne, fjerde utgave"), 12, false,
             Align::right, mutedColour);
  sheet.text(rightEdge, baseline - 4, utf8("Ti kjernedeltester · skalerte skårer · indeksskårer"), 12, false,
             Align::right, mutedColour);
  sheet.horizontal(leftEdge, rightEdge, 1580, 2);
}

// Name and the examiner's lines, written on underlines left of the date block.
void drawClientLines(Sheet& sheet) {
  const double lineRight = 760;
  const double descentBelow = 5;
  sheet.text(leftEdge, L::name.y + markMiddle(L::defaultFontSize) - 5, QStringLiteral("Navn"), 14, true,
             Align::left, inkColour);
  sheet.horizontal(L::name.x - 4, lineRight, L::name.y - descentBelow);

  const std::array<std::pair<const char*, double>, 2> lines{{
      {"Testleder", L::dateBlockBottom + L::dateBlockRowStep},
      {"Teststed", L::dateBlockBottom},
  }};
  for (const auto& [label, y] : lines) {
    sheet.text(leftEdge, y + markMiddle(L::defaultFontSize) - 5, utf8(label), 12, false, Align::left, labelColour);
    sheet.horizontal(L::name.x - 4, lineRight, y - descentBelow, 1, gridColour);
  }
}

// Dates and age (År / Måned / Dag), then the sex and handedness boxes.
void drawPersonalia(Sheet& sheet) {
  const double left = 800;
  const double labelRight = 912;
  const std::array<double, 3> rightXs{L::yearColumnX, L::monthColumnX, L::dayColumnX};
  const std::array<const char*, 3> headings{"År", "Måned", "Dag"};
  const std::array<double, 4> edges{labelRight, 988, 1067, rightEdge};

  const Span age = rowAround(L::dateBlockBottom, L::dateBlockRowStep);
  const double datesBottom = age.low;
  const double datesTop = age.low + 3 * L::dateBlockRowStep;
  const double headingTop = datesTop + 28;

  // Below the dates, two rows of check boxes split halfway between the crosses.
  const double sexMiddle = L::sexCrossY + markMiddle(L::defaultFontSize);
  const double handednessMiddle = L::handednessCrossY + markMiddle(L::defaultFontSize);
  const double handednessTop = (sexMiddle + handednessMiddle) / 2;
  const double blockBottom = handednessTop - (datesBottom - handednessTop);

  sheet.fill(labelRight, datesTop, rightEdge, headingTop, headingFill);
  for (std::size_t i = 0; i < 3; ++i) {
    sheet.textIn(rightXs[i], datesTop, headingTop, {utf8(headings[i])}, 12, true, Align::right, inkColour);
  }
  // The age, worked out from the two dates, is the row that counts.
  const std::array<const char*, 3> rowLabels{"Alder", "Fødselsdato", "Testdato"};
  for (std::size_t r = 0; r < 3; ++r) {
    const double low = datesBottom + static_cast<double>(r) * L::dateBlockRowStep;
    sheet.textIn(left + 10, low, low + L::dateBlockRowStep, {utf8(rowLabels[r])}, 13, r == 0, Align::left);
    if (r > 0) sheet.horizontal(left, rightEdge, low, 1, gridColour);
  }
  sheet.vertical(labelRight, datesBottom, headingTop, 1, gridColour);
  for (std::size_t c = 1; c + 1 < edges.size(); ++c) sheet.vertical(edges[c], datesBottom, headingTop, 1, gridColour);
  sheet.horizontal(labelRight, rightEdge, datesTop);
  sheet.horizontal(left, rightEdge, datesBottom);

  // Check boxes: the report's cross is right-aligned at crossLeftX (the left
  // box) or crossLeftX + crossShift (the right box).
  const double crossWidth = markWidth(QStringLiteral("X"), L::defaultFontSize);
  const double boxSize = 26;
  struct Choice {
    const char* label;
    double middleY;
    std::array<const char*, 2> options;
  };
  const std::array<Choice, 2> choices{{
      {"Kjønn", sexMiddle, {"Mann", "Kvinne"}},
      {"Hånddominans", handednessMiddle, {"Venstre", "Høyre"}},
  }};
  for (const Choice& choice : choices) {
    const double middleY = choice.middleY;
    sheet.textIn(left + 10, middleY - 10, middleY + 10, {utf8(choice.label)}, 13, false, Align::left);
    for (std::size_t k = 0; k < 2; ++k) {
      const double middleX = L::crossLeftX + static_cast<double>(k) * L::crossShift - crossWidth / 2;
      const double boxLeft = std::round(middleX - boxSize / 2);
      const double boxBottom = std::round(middleY - boxSize / 2);
      sheet.frame(boxLeft, boxBottom, boxLeft + boxSize, boxBottom + boxSize);
      sheet.textIn(boxLeft + boxSize + 7, middleY - 10, middleY + 10, {utf8(choice.options[k])}, 12, false,
                   Align::left);
    }
  }
  sheet.horizontal(left, rightEdge, handednessTop, 1, gridColour);
  sheet.frame(left, blockBottom, rightEdge, headingTop);
}

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
  sheet.textIn((rawLeft + rawRight) / 2, bodyTop, headingTop, {utf8("Rå-"), utf8("skåre")}, 11, true,
               Align::centre, inkColour);
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
  sheet.text(leftEdge + 10, top - 20, utf8("Merknader og atferdsobservasjoner"), 11.5, true, Align::left,
             inkColour);
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
  const std::array<double, 4> valueXs{L::indexSumColumnX, L::indexScoreColumnX, L::indexPercentileColumnX,
                                      L::indexIntervalColumnX};

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
  sheet.textIn(L::circleCentre.x + L::circleRadius + 4, levelY - 8, levelY + 8, {QStringLiteral("%")}, levelSize,
               false, Align::left, labelColour);

  for (std::size_t c = 1; c < 4; ++c) sheet.vertical(edges[c], bodyBottom, headingTop, 1, gridColour);
  sheet.vertical(labelRight, bodyBottom, headingTop);
  sheet.horizontal(leftEdge, edges[4], bodyTop);
  sheet.frame(leftEdge, bodyBottom, edges[4], headingTop, 2);

  sheet.text(leftEdge, bodyBottom - 22, utf8("Konfidensintervallet gjelder nivået som er ringet inn."), 10.5,
             false, Align::left, mutedColour);
}

// Column edges of a profile: halfway between neighbouring columns, and a
// margin beyond the outer ones.
std::vector<double> columnEdges(const std::vector<double>& xs, double leftMargin, double rightMargin) {
  std::vector<double> edges{xs.front() - leftMargin};
  for (std::size_t i = 1; i < xs.size(); ++i) edges.push_back((xs[i - 1] + xs[i]) / 2);
  edges.push_back(xs.back() + rightMargin);
  return edges;
}

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
    const ProfilePlace& place = profilePlaces[g];
    std::vector<const Subtest*> group = subtestsOf(static_cast<IndexGroup>(g), true);
    for (const Subtest* extra : subtestsOf(static_cast<IndexGroup>(g), false)) group.push_back(extra);
    for (std::size_t i = 0; i < group.size(); ++i) {
      xs.push_back(place.firstX + place.step * static_cast<double>(i));
      middles.push_back(place.firstScoreX + L::subtestScoreStep * static_cast<double>(i) - scoreHalf);
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
  sheet.text(right, groupTop + 12, utf8("skalert skåre 1–19, gjennomsnitt 10"), 11, false, Align::right,
             mutedColour);

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
    sheet.textIn((edges[first] + edges[end]) / 2, codeTop, groupTop, {shownCode(indexes[g])}, 12, true,
                 Align::centre, inkColour);
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
  sheet.text(right, codeTop + 12, utf8("indeksskåre 40–160, gjennomsnitt 100"), 11, false, Align::right,
             mutedColour);

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

void drawFooter(Sheet& sheet) {
  sheet.horizontal(leftEdge, rightEdge, 60, 1, gridColour);
  sheet.text(leftEdge, 42, utf8("Normene i denne utgaven er demonstrasjonsdata, ikke utgiverens normer. "
                                "Skårene har ingen klinisk gyldighet."),
             11, false, Align::left, mutedColour);
  sheet.text(rightEdge, 42, QStringLiteral("kelmora"), 11, true, Align::right, mutedColour);
}

}  // namespace

bool loadFormFonts() {
  for (const char* file : {"DejaVuSans.ttf", "DejaVuSans-Bold.ttf"}) {
    if (QFontDatabase::addApplicationFont(QString::fromUtf8(fontFolder) + QString::fromUtf8(file)) < 0) return false;
  }
  return true;
}

QImage renderRecordForm() {
  // Every colour of the form is a grey. Drawing straight into one channel
  // keeps the file (and the image embedded in each report) small, and leaves
  // no room for subpixel text, which would make the image depend on the
  // machine's font settings.
  QImage image(L::pageWidth, L::pageHeight, QImage::Format_Grayscale8);
  image.setDotsPerMeterX(2835);
  image.setDotsPerMeterY(2835);
  image.fill(Qt::white);
  {
    Sheet sheet(image);
    drawHeader(sheet);
    drawClientLines(sheet);
    drawPersonalia(sheet);
    drawRawScoreTable(sheet);
    drawIndexKey(sheet);
    const Span sums = rowAround(L::sumRow.y, 42.5);
    drawNotes(sheet, sums.high + 50, rowAround(L::rawColumn.y, L::subtestRowStep).low - 28);
    drawSums(sheet);
    drawIndexTable(sheet);
    drawSubtestProfile(sheet);
    drawIndexProfile(sheet);
    drawFooter(sheet);
  }
  return image;
}

}  // namespace kelmora::background
