#pragma once
// The record form that the report page is printed over ("wais-iv.png"), drawn
// from the page's own layout constants so that every box sits where the report
// writes its value.

#include <QImage>
#include <QRectF>
#include <QString>
#include <vector>

namespace kelmora::background {

// Registers the form's typefaces (DejaVu Sans and DejaVu Sans Bold) from the
// system's font folder. Needs a QGuiApplication. False when a file is missing:
// drawing with a substitute font would give a different image.
bool loadFormFonts();

// The whole form, page-sized (one pixel per page point), white, opaque.
QImage renderRecordForm();

// A value that the report writes onto the form, with the widest text it is
// expected to take there, placed as the report places it: x is the right edge
// of the text (the left edge when leftAligned) and y the bottom of its line,
// in page points with y growing upward.
struct SampleMark {
  QString what;
  double x;
  double y;
  double fontSize;
  QString text;
  bool leftAligned = false;
};

// Every text mark of a complete client's report.
std::vector<SampleMark> sampleMarks();

// The rectangle, in image pixels (y down), that the mark's line of text takes:
// its measured width by the height of one line (ascent plus descent).
QRectF markRect(const SampleMark& mark);

// The form with the sample marks, a sample of each profile line and the
// report's fixed circle painted over it in blue, to check by eye that
// everything fits.
QImage drawSampleMarks(const QImage& form);

}  // namespace kelmora::background
