#pragma once
// The sections of the record form, each drawing its part of the page, and
// what they share: the margins, the report's lines, the subtests' codes.

#include <QString>
#include <cstddef>
#include <string_view>
#include <vector>

#include "norms/subtests.h"
#include "report/page_layout.h"
#include "tools/background/sheet.h"

namespace kelmora::background {

// Page margins of the form.
inline constexpr double leftEdge = 33;
inline constexpr double rightEdge = 1157;

QString utf8(const char* text);
QString utf8(std::string_view text);

// A subtest goes by its scaled score's key without the "s" (the norms' "Fv"
// is "Vf" on the form), the full scale by "IQ".
QString shownCode(const Subtest& subtest);
QString shownCode(const Index& index);

// The group's core or supplementary subtests, in the table's order.
std::vector<const Subtest*> subtestsOf(IndexGroup group, bool core);

// The boxes are measured in the report's own font, so that they hold what
// the report writes. markMiddle is the height above the bottom of a report
// line at which the middle of its digits stands: the form centres each box
// on it.
double markMiddle(double size);
double markWidth(const QString& text, double size);

struct Span {
  double low;
  double high;
};

// The cell of a row whose report line starts at y, one step tall.
Span rowAround(double y, double step, double size = layout::defaultFontSize);

// The cell of a column of right-aligned numbers ending at x, centred on a
// number of the typical width.
Span columnAround(double rightX, const QString& typical, double width, double size = layout::defaultFontSize);

// The top of the page: title, the client's lines, dates, age and check boxes.
void drawHeader(Sheet& sheet);
void drawClientLines(Sheet& sheet);
void drawPersonalia(Sheet& sheet);

// The left-hand tables; the notes fill the space between bottom and top.
void drawRawScoreTable(Sheet& sheet);
void drawIndexKey(Sheet& sheet);
void drawNotes(Sheet& sheet, double bottom, double top);
void drawSums(Sheet& sheet);
void drawIndexTable(Sheet& sheet);

// The two profiles on the right, and the footer.
void drawSubtestProfile(Sheet& sheet);
void drawIndexProfile(Sheet& sheet);
void drawFooter(Sheet& sheet);

}  // namespace kelmora::background
