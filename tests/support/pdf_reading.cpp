#include "support/pdf_reading.h"

#include <QFile>
#include <QPainter>
#include <QProcess>
#include <QRegularExpression>
#include <algorithm>

namespace kelmora::testing {

std::optional<QString> runTool(const QString& program, const QStringList& arguments) {
  QProcess process;
  process.start(program, arguments);
  // A document that poppler reads only by repairing it (a broken trailer or
  // cross-reference table) fails too: a stricter reader may refuse it.
  if (!process.waitForFinished(30000) || process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0 ||
      process.readAllStandardError().contains("Error"))
    return std::nullopt;
  return QString::fromUtf8(process.readAllStandardOutput());
}

std::vector<QStringList> imagesOf(const QString& pdf) {
  std::vector<QStringList> rows;
  for (const auto& line : runTool("pdfimages", {"-list", pdf}).value_or("").split('\n', Qt::SkipEmptyParts).mid(2))
    rows.push_back(line.simplified().split(' '));
  return rows;
}

QImage pageOf(const QString& pdf) {
  if (!runTool("pdftoppm", {"-r", "72", "-png", "-singlefile", pdf, pdf + "-page"})) return {};
  return QImage(pdf + "-page.png").convertToFormat(QImage::Format_RGB32);
}

// The renderer resamples even at one pixel a point, blending neighbours, so
// each component may lie anywhere between its least and greatest value within
// one pixel of the same place in the images.
int strayPixels(const QImage& page, const std::vector<QImage>& images) {
  QImage expected(images.front().size(), QImage::Format_RGB32);
  expected.fill(Qt::white);
  for (const auto& image : images) QPainter(&expected).drawImage(0, 0, image);
  if (page.size() != expected.size()) return -1;
  int stray = 0;
  for (int y = 0; y < page.height(); ++y)
    for (int x = 0; x < page.width(); ++x)
      for (const int shift : {0, 8, 16}) {
        int least = 255, greatest = 0;
        for (int near = std::max(y - 1, 0); near <= std::min(y + 1, page.height() - 1); ++near)
          for (int across = std::max(x - 1, 0); across <= std::min(x + 1, page.width() - 1); ++across) {
            least = std::min(least, int(expected.pixel(across, near) >> shift & 0xFF));
            greatest = std::max(greatest, int(expected.pixel(across, near) >> shift & 0xFF));
          }
        const int seen = int(page.pixel(x, y) >> shift & 0xFF);
        if (seen < least - 3 || seen > greatest + 3) {
          ++stray;
          break;
        }
      }
  return stray;
}

std::vector<std::optional<std::string>> operatorStreams(std::string_view document) {
  std::vector<std::optional<std::string>> streams;
  for (std::size_t at = document.find("stream\n", 3); at != std::string_view::npos;
       at = document.find("stream\n", at + 1)) {
    const std::size_t object = std::min(document.rfind(" obj", at), at);
    const auto names = [&](const char* name) {
      return document.substr(object, at - object).find(name) != std::string_view::npos;
    };
    if (document.substr(at - 3, 3) == "end" || !names("/FlateDecode") || names("/Subtype") || names("/Length1"))
      continue;
    // qUncompress wants the size in front; too small a guess only makes it try again.
    const QByteArray content = qUncompress(QByteArray("\0\1\0\0", 4) +
                                           QByteArray(document.data() + at + 7, qsizetype(document.size() - at - 7)));
    streams.push_back(content.isEmpty() ? std::nullopt : std::optional(content.toStdString()));
  }
  return streams;
}

std::vector<StrokeStyle> strokeStylesOf(const QString& pdf) {
  QFile file(pdf);
  if (!file.open(QIODevice::ReadOnly)) return {};
  const QByteArray document = file.readAll();
  static const QRegularExpression token(R"((\S+) w|(\d) J|(\d) j|(?:^|\s)(S)(?=\s|$))");
  std::vector<StrokeStyle> strokes;
  for (const auto& stream : operatorStreams(std::string_view(document.constData(), document.size()))) {
    StrokeStyle current;
    for (auto matches = token.globalMatch(QString::fromStdString(stream.value_or(""))); matches.hasNext();) {
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
