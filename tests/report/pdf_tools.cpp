#include "pdf_tools.h"

#include <QPainter>
#include <QProcess>
#include <QStandardPaths>
#include <algorithm>
#include <cstdlib>

namespace kelmora::testing::pdf {

std::optional<QString> runTool(const QString& program, const QStringList& arguments) {
  if (QStandardPaths::findExecutable(program).isEmpty()) return std::nullopt;
  QProcess process;
  process.start(program, arguments);
  if (!process.waitForFinished(30000) || process.exitCode() != 0) return std::nullopt;
  return QString::fromUtf8(process.readAllStandardOutput());
}

std::vector<QStringList> imagesOf(const QString& pdf) {
  std::vector<QStringList> rows;
  const auto list = runTool("pdfimages", {"-list", pdf});
  if (!list) return rows;
  for (const auto& line : list->split('\n', Qt::SkipEmptyParts).mid(2)) rows.push_back(line.simplified().split(' '));
  return rows;
}

QImage pageOf(const QString& pdf, bool grey) {
  const QString base = pdf + "-page";
  QStringList arguments{"-r", "72", "-png", "-singlefile", pdf, base};
  if (grey) arguments.prepend("-gray");
  if (!runTool("pdftoppm", arguments)) return {};
  return QImage(base + ".png").convertToFormat(QImage::Format_RGB32);
}

QImage storedImageOf(const QString& pdf) {
  const QString base = pdf + "-image";
  if (!runTool("pdfimages", {"-png", "-f", "1", "-l", "1", pdf, base})) return {};
  return QImage(base + "-000.png").convertToFormat(QImage::Format_RGB32);
}

int strayPixels(const QImage& page, const QImage& image) {
  if (page.size() != image.size()) return -1;
  QImage expected(image.size(), QImage::Format_RGB32);
  expected.fill(Qt::white);
  QPainter(&expected).drawImage(0, 0, image);
  const auto component = [](QRgb pixel, int c) { return c == 0 ? qRed(pixel) : c == 1 ? qGreen(pixel) : qBlue(pixel); };
  int stray = 0;
  for (int y = 0; y < page.height(); ++y)
    for (int x = 0; x < page.width(); ++x)
      for (int c = 0; c < 3; ++c) {
        int least = 255, greatest = 0;
        for (int dy = -1; dy <= 1; ++dy)
          for (int dx = -1; dx <= 1; ++dx)
            if (expected.valid(x + dx, y + dy)) {
              least = std::min(least, component(expected.pixel(x + dx, y + dy), c));
              greatest = std::max(greatest, component(expected.pixel(x + dx, y + dy), c));
            }
        const int seen = component(page.pixel(x, y), c);
        if (seen < least - 3 || seen > greatest + 3) {
          ++stray;
          break;
        }
      }
  return stray;
}

}  // namespace kelmora::testing::pdf
