#include "tools/background/record_form.h"

#include <QFontDatabase>
#include <QFontMetricsF>

#include "platform/system_font.h"
#include "report/page_layout.h"
#include "tools/background/form_sections.h"

namespace kelmora::background {

namespace L = kelmora::layout;

bool loadFormFonts() {
  const QString folder = QStringLiteral("/usr/share/fonts/truetype/dejavu/");
  for (const char* file : {"DejaVuSans.ttf", "DejaVuSans-Bold.ttf"}) {
    if (QFontDatabase::addApplicationFont(folder + QString::fromUtf8(file)) < 0) return false;
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

// What the sections share.

QString utf8(const char* text) { return QString::fromUtf8(text); }
QString utf8(std::string_view text) { return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())); }

QString shownCode(const Subtest& subtest) { return utf8(subtest.scaledKey.substr(1)); }
QString shownCode(const Index& index) { return index.table == "FSIQ" ? QStringLiteral("IQ") : utf8(index.table); }

std::vector<const Subtest*> subtestsOf(IndexGroup group, bool core) {
  std::vector<const Subtest*> result;
  for (const Subtest& subtest : subtests)
    if (subtest.group == group && subtest.core == core) result.push_back(&subtest);
  return result;
}

double markMiddle(double size) {
  const QFontMetricsF metrics = platform::systemFontMetrics(size);
  return metrics.descent() + metrics.capHeight() / 2;
}

double markWidth(const QString& text, double size) { return platform::systemFontTextWidth(text.toStdString(), size); }

Span rowAround(double y, double step, double size) {
  const double middle = y + markMiddle(size);
  return {middle - step / 2, middle + step / 2};
}

Span columnAround(double rightX, const QString& typical, double width, double size) {
  const double middle = rightX - markWidth(typical, size) / 2;
  return {middle - width / 2, middle + width / 2};
}

}  // namespace kelmora::background
