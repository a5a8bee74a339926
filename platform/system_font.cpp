#include "platform/system_font.h"

#include <QFontDatabase>
#include <QImage>
#include <QString>

namespace kelmora::platform {
namespace {

// A paint device of 72 dots per inch, so that one point is one unit, as on
// the PDF page (72 dpi = 2834.6 dots per metre; QImage rounds the dpi back).
QImage& pointDevice() {
  static QImage device = [] {
    QImage image(1, 1, QImage::Format_ARGB32);
    image.setDotsPerMeterX(2835);
    image.setDotsPerMeterY(2835);
    return image;
  }();
  return device;
}

}  // namespace

QFont systemFontOfSize(double fontSize) {
  QFont font = QFontDatabase::systemFont(QFontDatabase::GeneralFont);
  font.setPointSizeF(fontSize);
  font.setHintingPreference(QFont::PreferNoHinting);
  font.setStyleStrategy(QFont::ForceOutline);
  return font;
}

QFontMetricsF systemFontMetrics(double fontSize) { return QFontMetricsF(systemFontOfSize(fontSize), &pointDevice()); }

double systemFontTextWidth(std::string_view text, double fontSize) {
  if (text.empty()) return 0;
  return systemFontMetrics(fontSize).horizontalAdvance(
      QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())));
}

double systemFontDescent(double fontSize) { return systemFontMetrics(fontSize).descent(); }

}  // namespace kelmora::platform
