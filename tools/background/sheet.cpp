#include "tools/background/sheet.h"

#include <QFontMetricsF>
#include <cmath>

namespace kelmora::background {

Sheet::Sheet(QImage& image) : painter_(&image), height_(image.height()) {
  painter_.setRenderHint(QPainter::TextAntialiasing, true);
}

int Sheet::column(double x) const { return static_cast<int>(std::lround(x)); }
int Sheet::row(double y) const { return static_cast<int>(std::lround(height_ - y)); }

void Sheet::fill(double left, double bottom, double right, double top, const QColor& colour) {
  painter_.fillRect(QRect(QPoint(column(left), row(top)), QPoint(column(right) - 1, row(bottom) - 1)), colour);
}

void Sheet::horizontal(double left, double right, double y, int width, const QColor& colour) {
  const int first = column(left) - width / 2;
  painter_.fillRect(QRect(first, row(y) - width / 2, column(right) - first + (width + 1) / 2, width), colour);
}

void Sheet::vertical(double x, double bottom, double top, int width, const QColor& colour) {
  const int first = row(top) - width / 2;
  painter_.fillRect(QRect(column(x) - width / 2, first, width, row(bottom) - first + (width + 1) / 2), colour);
}

void Sheet::frame(double left, double bottom, double right, double top, int width, const QColor& colour) {
  horizontal(left, right, bottom, width, colour);
  horizontal(left, right, top, width, colour);
  vertical(left, bottom, top, width, colour);
  vertical(right, bottom, top, width, colour);
}

QFont Sheet::font(double size, bool bold) {
  QFont font(formFamily);
  font.setPointSizeF(size);
  font.setBold(bold);
  font.setHintingPreference(QFont::PreferVerticalHinting);
  return font;
}

double Sheet::width(const QString& text, double size, bool bold) {
  return QFontMetricsF(font(size, bold), painter_.device()).horizontalAdvance(text);
}

void Sheet::text(double x, double baseline, const QString& text, double size, bool bold, Align align,
                 const QColor& colour) {
  const QFont f = font(size, bold);
  const double w = QFontMetricsF(f, painter_.device()).horizontalAdvance(text);
  const double left = align == Align::left ? x : align == Align::centre ? x - w / 2 : x - w;
  painter_.setFont(f);
  painter_.setPen(colour);
  painter_.drawText(QPointF(left, height_ - baseline), text);
}

void Sheet::textIn(double x, double bottom, double top, const QStringList& lines, double size, bool bold, Align align,
                   const QColor& colour) {
  const QFontMetricsF metrics(font(size, bold), painter_.device());
  const double spacing = size * 1.2;
  const double block = metrics.capHeight() + spacing * static_cast<double>(lines.size() - 1);
  double baseline = (bottom + top) / 2 + block / 2 - metrics.capHeight();
  for (const QString& line : lines) {
    text(x, baseline, line, size, bold, align, colour);
    baseline -= spacing;
  }
}

}  // namespace kelmora::background
