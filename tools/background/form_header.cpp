#include <array>
#include <cmath>
#include <utility>

#include "tools/background/form_sections.h"

namespace kelmora::background {

namespace L = kelmora::layout;

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
  sheet.text(leftEdge, L::name.y + markMiddle(L::defaultFontSize) - 5, QStringLiteral("Navn"), 14, true, Align::left,
             inkColour);
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

void drawFooter(Sheet& sheet) {
  sheet.horizontal(leftEdge, rightEdge, 60, 1, gridColour);
  sheet.text(leftEdge, 42,
             utf8("Normene i denne utgaven er demonstrasjonsdata, ikke utgiverens normer. "
                  "Skårene har ingen klinisk gyldighet."),
             11, false, Align::left, mutedColour);
  sheet.text(rightEdge, 42, QStringLiteral("kelmora"), 11, true, Align::right, mutedColour);
}

}  // namespace kelmora::background
