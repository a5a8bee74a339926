#include "support/pdf_reading.h"

#include "support/pdf_streams.h"

#include <QFile>
#include <QPainter>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <algorithm>

namespace kelmora::testing {

// The tool's output; no value when it is missing or fails.
std::optional<QString> runTool(const QString& program, const QStringList& arguments) {
  if (QStandardPaths::findExecutable(program).isEmpty()) return std::nullopt;
  QProcess process;
  process.start(program, arguments);
  if (!process.waitForFinished(30000) || process.exitCode() != 0) return std::nullopt;
  return QString::fromUtf8(process.readAllStandardOutput());
}

// The rows of "pdfimages -list", split into columns (type is the third,
// color the sixth, bpc the eighth, enc the ninth).
std::vector<QStringList> imagesOf(const QString& pdf) {
  std::vector<QStringList> rows;
  const auto list = runTool("pdfimages", {"-list", pdf});
  for (const auto& line : list.value_or("").split('\n', Qt::SkipEmptyParts).mid(2))
    rows.push_back(line.simplified().split(' '));
  return rows;
}

// The first page rendered at one pixel a point, in grey when asked.
QImage pageOf(const QString& pdf, bool grey) {
  QStringList arguments{"-r", "72", "-png", "-singlefile", pdf, pdf + "-page"};
  if (grey) arguments.prepend("-gray");
  if (!runTool("pdftoppm", arguments)) return {};
  return QImage(pdf + "-page.png").convertToFormat(QImage::Format_RGB32);
}

// The first image stored in the document, as stored.
QImage storedImageOf(const QString& pdf) {
  if (!runTool("pdfimages", {"-png", "-f", "1", "-l", "1", pdf, pdf + "-image"})) return {};
  return QImage(pdf + "-image-000.png").convertToFormat(QImage::Format_RGB32);
}

// The pixels of the page that stray from the images laid on white. The
// renderer resamples even at one pixel a point, blending neighbours, so each
// component may lie anywhere between its least and greatest value within one
// pixel of the same place in the images.
int strayPixels(const QImage& page, const std::vector<QImage>& images) {
  QImage expected(images.front().size(), QImage::Format_RGB32);
  expected.fill(Qt::white);
  for (const auto& image : images) QPainter(&expected).drawImage(0, 0, image);
  if (page.size() != expected.size()) return -1;
  int stray = 0;
  for (int y = 0; y < page.height(); ++y)
    for (int x = 0; x < page.width(); ++x)
      for (int shift : {0, 8, 16}) {
        int least = 255, greatest = 0;
        for (int near = std::max(y - 1, 0); near <= std::min(y + 1, page.height() - 1); ++near)
          for (int across = std::max(x - 1, 0); across <= std::min(x + 1, page.width() - 1); ++across) {
            const int c = (expected.pixel(across, near) >> shift) & 0xFF;
            least = std::min(least, c);
            greatest = std::max(greatest, c);
          }
        const int seen = (page.pixel(x, y) >> shift) & 0xFF;
        if (seen < least - 3 || seen > greatest + 3) {
          ++stray;
          break;
        }
      }
  return stray;
}

std::vector<StrokeStyle> strokeStylesOf(const QString& pdf) {
  QFile file(pdf);
  if (!file.open(QIODevice::ReadOnly)) return {};
  std::vector<StrokeStyle> strokes;
  static const QRegularExpression token(R"((\S+) w|(\d) J|(\d) j|(?:^|\s)(S)(?=\s|$))");
  const QByteArray document = file.readAll();
  for (const PdfStream& stream : streamsOf(std::string_view(document.constData(), document.size()))) {
    if (!holdsOperators(stream) || !stream.content) continue;
    StrokeStyle current;
    auto matches = token.globalMatch(QString::fromLatin1(stream.content->data(), stream.content->size()));
    while (matches.hasNext()) {
      const auto m = matches.next();
      if (m.hasCaptured(1)) current.width = m.captured(1).toDouble();
      else if (m.hasCaptured(2)) current.cap = m.captured(2).toInt();
      else if (m.hasCaptured(3)) current.join = m.captured(3).toInt();
      else strokes.push_back(current);
    }
  }
  return strokes;
}

}  // namespace kelmora::testing
