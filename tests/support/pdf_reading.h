#pragma once
// Reading PDF documents back in tests and the fuzz target: the poppler tools,
// the rendered page and the drawing operators of the content streams.

#include <QImage>
#include <QStringList>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kelmora::testing {

// The tool's output; no value when it is missing, fails or reports an error.
std::optional<QString> runTool(const QString& program, const QStringList& arguments);

// The rows of "pdfimages -list", split into columns (type is the third,
// color the sixth, width and height the fourth and fifth, bpc the eighth,
// enc the ninth).
std::vector<QStringList> imagesOf(const QString& pdf);

// The first page rendered at one pixel a point.
QImage pageOf(const QString& pdf);

// The pixels of the page that stray from the images laid on white, allowing
// for the renderer's blending of neighbours; -1 when the sizes differ.
int strayPixels(const QImage& page, const std::vector<QImage>& images);

// The document's streams of drawing operators (deflated, neither an image nor
// a font), inflated; no value for one whose bytes do not inflate.
std::vector<std::optional<std::string>> operatorStreams(std::string_view document);

// How each stroke of the document is painted, in order: the line width, cap
// (0 butt) and join (0 miter) in force at its "S" operator.
struct StrokeStyle {
  double width = 1;
  int cap = 0;
  int join = 0;
};
std::vector<StrokeStyle> strokeStylesOf(const QString& pdf);

}  // namespace kelmora::testing
