#pragma once
// Reading PDF documents back in tests: the poppler tools, the rendered page
// and the page's content stream.

#include <QImage>
#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

namespace kelmora::testing {

// The tool's output; no value when it is missing or fails.
std::optional<QString> runTool(const QString& program, const QStringList& arguments);

// The rows of "pdfimages -list", split into columns (type is the third,
// color the sixth, bpc the eighth, enc the ninth).
std::vector<QStringList> imagesOf(const QString& pdf);

// The first page rendered at one pixel a point, in grey when asked.
QImage pageOf(const QString& pdf, bool grey = false);

// The first image stored in the document, as stored.
QImage storedImageOf(const QString& pdf);

// The pixels of the page that stray from the images laid on white, allowing
// for the renderer's blending of neighbours; -1 when the sizes differ.
int strayPixels(const QImage& page, const std::vector<QImage>& images);

// How each stroke of the document's pages is painted, in order: the line
// width, cap and join in force at its "S" operator.
struct StrokeStyle {
  double width = 1;
  int cap = 0;   // 0 butt, 1 round, 2 square
  int join = 0;  // 0 miter, 1 round, 2 bevel
};
std::vector<StrokeStyle> strokeStylesOf(const QString& pdf);

}  // namespace kelmora::testing
