#pragma once
// The page-point painter of the record form, and the form's look: its
// typeface and its greys.

#include <QColor>
#include <QFont>
#include <QImage>
#include <QPainter>
#include <QString>
#include <QStringList>

namespace kelmora::background {

// The typeface of the form's own labels; the report's values are set in the
// report's font.
inline const QString formFamily = QStringLiteral("DejaVu Sans");

// Greys of the form: rules, table headings, the cells a score does not go in,
// the average band of the profiles.
inline const QColor inkColour(0x1c, 0x1c, 0x1c);
inline const QColor labelColour(0x33, 0x33, 0x33);
inline const QColor mutedColour(0x6e, 0x6e, 0x6e);
inline const QColor gridColour(0xc4, 0xc4, 0xc4);
inline const QColor minorGridColour(0xe2, 0xe2, 0xe2);
inline const QColor headingFill(0xec, 0xec, 0xec);
inline const QColor unusedFill(0xbd, 0xbd, 0xbd);
inline const QColor bandFill(0xf2, 0xf2, 0xf2);

enum class Align { left, centre, right };

// Draws in page points (y up) on the image (y down), one pixel per point.
// Rules are snapped to whole pixels so that they stay crisp; text is
// antialiased.
class Sheet {
 public:
  explicit Sheet(QImage& image);

  void fill(double left, double bottom, double right, double top, const QColor& colour);
  void horizontal(double left, double right, double y, int width = 1, const QColor& colour = inkColour);
  void vertical(double x, double bottom, double top, int width = 1, const QColor& colour = inkColour);
  void frame(double left, double bottom, double right, double top, int width = 1, const QColor& colour = inkColour);

  double width(const QString& text, double size, bool bold);

  // Text whose baseline stands at y; x is its left end, middle or right end.
  void text(double x, double baseline, const QString& text, double size, bool bold = false, Align align = Align::left,
            const QColor& colour = labelColour);

  // Lines of text centred vertically between bottom and top (capitals centred).
  void textIn(double x, double bottom, double top, const QStringList& lines, double size, bool bold = false,
              Align align = Align::left, const QColor& colour = labelColour);

 private:
  static QFont font(double size, bool bold);
  int column(double x) const;
  int row(double y) const;

  QPainter painter_;
  int height_;
};

}  // namespace kelmora::background
