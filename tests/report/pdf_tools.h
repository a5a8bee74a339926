#pragma once
// The poppler tools, for tests that read back a PDF file.

#include <QImage>
#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

namespace kelmora::testing::pdf {

// The tool's output; no value when it is missing or fails.
std::optional<QString> runTool(const QString& program, const QStringList& arguments);

// The rows of "pdfimages -list", split into columns (type is the third,
// color the sixth, bpc the eighth, enc the ninth).
std::vector<QStringList> imagesOf(const QString& pdf);

// The first page rendered at one pixel a point, in grey when asked.
QImage pageOf(const QString& pdf, bool grey = false);

// The first image stored in the document, as stored.
QImage storedImageOf(const QString& pdf);

// The pixels of the page that stray from the image laid on white. The
// renderer resamples even at one pixel a point, blending neighbours, so each
// component may lie anywhere between its least and greatest value within one
// pixel of the same place in the image.
int strayPixels(const QImage& page, const QImage& image);

}  // namespace kelmora::testing::pdf
