// Images in the PDF document: how they are stored, and that the page shows
// them as they are, read back with the poppler tools.
#include <gtest/gtest.h>

#include <QBuffer>
#include <QImage>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QStandardPaths>
#include <QTemporaryDir>

#include "platform/named_image.h"
#include "platform/pdf_context.h"
#include "platform/pdf_image.h"
#include "pdf_tools.h"

namespace kelmora {
namespace {

using platform::Image;
using namespace testing::pdf;

// Patterns that tell up from down and left from right.
QImage greyImage(QImage::Format format) {
  QImage image(90, 60, format);
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x) {
      const int v = (x * 5 + y * 3) % 256;
      image.setPixel(x, y, format == QImage::Format_Grayscale8 ? v : qRgb(v, v, v));
    }
  return image;
}

QImage colourImage(bool transparent) {
  QImage image(90, 60, transparent ? QImage::Format_ARGB32 : QImage::Format_RGB32);
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x)
      image.setPixel(x, y, qRgba(x * 2, y * 4, (x + y) % 256, transparent && x > 45 ? 100 : 255));
  return image;
}

struct PdfImageTest : ::testing::Test {
  QTemporaryDir folder;

  void SetUp() override {
    if (QStandardPaths::findExecutable("pdftoppm").isEmpty()) GTEST_SKIP() << "poppler-utils are missing";
  }

  // One page of the images' size, each image drawn over the whole of it.
  QString write(const std::vector<QImage>& images) {
    const QString file = folder.filePath("images.pdf");
    std::string reason;
    auto pdf = platform::PdfContext::create(file.toStdString(), reason);
    EXPECT_TRUE(pdf) << reason;
    if (!pdf) return file;
    const platform::Rect page{0, 0, double(images.front().width()), double(images.front().height())};
    pdf->beginPage(page);
    for (const auto& image : images) pdf->drawImage(Image(image), page);
    pdf->endPage();
    EXPECT_TRUE(pdf->close(reason)) << reason;
    return file;
  }
};

TEST_F(PdfImageTest, AnImageIsStoredLosslesslyInItsOwnColoursAndShownAsItIs) {
  const struct {
    const char* name;
    QImage image;
    QString colour;  // as pdfimages names it
    int masks;       // soft masks that carry the alpha
  } cases[] = {
      {"grey in 32-bit pixels", greyImage(QImage::Format_RGB32), "gray", 0},
      {"grey in 8-bit pixels", greyImage(QImage::Format_Grayscale8), "gray", 0},
      {"colour", colourImage(false), "rgb", 0},
      {"with transparency", colourImage(true), "rgb", 1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const QString file = write({c.image});
    const auto rows = imagesOf(file);
    ASSERT_EQ(rows.size(), 1u + c.masks);
    EXPECT_EQ(rows[0][2], "image");
    EXPECT_EQ(rows[0][3], "90");
    EXPECT_EQ(rows[0][4], "60");
    EXPECT_EQ(rows[0][5], c.colour);
    EXPECT_EQ(rows[0][7], "8");
    EXPECT_EQ(rows[0][8], "image") << "lossless";
    if (c.masks) {
      EXPECT_EQ(rows[1][2], "smask");
    }
    if (!c.masks) {
      EXPECT_TRUE(storedImageOf(file) == c.image.convertToFormat(QImage::Format_RGB32)) << "stored as drawn";
    }
    EXPECT_EQ(strayPixels(pageOf(file), c.image), 0);
  }
}

TEST_F(PdfImageTest, TwoImagesOnAPageAreBothStored) {
  const QImage under = greyImage(QImage::Format_RGB32);
  // Half covering everywhere: an edge in the alpha would be blurred apart
  // from the colours under it by the renderer.
  QImage over = colourImage(false).convertToFormat(QImage::Format_ARGB32);
  for (int y = 0; y < over.height(); ++y)
    for (int x = 0; x < over.width(); ++x) {
      const QRgb pixel = over.pixel(x, y);
      over.setPixel(x, y, qRgba(qRed(pixel), qGreen(pixel), qBlue(pixel), 128));
    }
  const QString file = write({under, over});
  const auto rows = imagesOf(file);
  ASSERT_EQ(rows.size(), 3u);
  EXPECT_EQ(rows[0][5], "rgb") << "Qt stores both";
  QImage both = under;
  QPainter(&both).drawImage(0, 0, over);
  EXPECT_EQ(strayPixels(pageOf(file), both), 0);
}

// The same image in a later document reuses its deflated pixels.
TEST(DeflatedImageTest, IsKeptForTheSameImageAndMadeAgainForAChangedOne) {
  QImage image = greyImage(QImage::Format_RGB32);
  const auto first = platform::deflatedImage(image);
  ASSERT_TRUE(first);
  EXPECT_EQ(platform::deflatedImage(Image(image).qImage()), first);
  image.setPixel(0, 0, qRgb(10, 200, 30));
  const auto changed = platform::deflatedImage(image);
  ASSERT_TRUE(changed);
  EXPECT_NE(changed, first);
  EXPECT_FALSE(changed->grey);
}

// A document as Qt writes it with one stand-in (or as many as asked).
QByteArray documentWithStandIns(int standIns) {
  QByteArray document;
  QBuffer buffer(&document);
  buffer.open(QIODevice::WriteOnly);
  QPdfWriter writer(&buffer);
  writer.setResolution(72);
  writer.setPageSize(QPageSize(QSizeF(200, 100), QPageSize::Point, QString(), QPageSize::ExactMatch));
  QPainter painter(&writer);
  painter.setRenderHint(QPainter::LosslessImageRendering);
  for (int i = 0; i < standIns; ++i) painter.drawImage(QRectF(10 * i, 0, 10, 10), platform::standInImage());
  painter.drawText(QPointF(20, 50), "text");
  painter.end();
  return document;
}

TEST(StandInTest, ADocumentNotLaidOutAsExpectedIsLeftAlone) {
  const QByteArray genuine = documentWithStandIns(1);
  const platform::DeflatedImage image{2, 1, true, "pixels"};
  ASSERT_TRUE(platform::withImageForStandIn(genuine, image)) << "the genuine document is taken";

  const auto replaced = [&](const char* from, const char* to) { return QByteArray(genuine).replace(from, to); };
  const struct {
    const char* name;
    QByteArray document;
  } cases[] = {
      {"no stand-in", documentWithStandIns(0)},
      {"two stand-ins", documentWithStandIns(2)},
      {"offsets that miss the objects", replaced("%PDF-1.4\n", "%PDF-1.4\n% moved\n")},
      {"no startxref", replaced("startxref", "startxrex")},
      {"startxref that misses the table", replaced("\nstartxref\n", "\nstartxref\n1")},
      {"bytes after the end", genuine + "% more\n"},
      {"an update already", replaced("/Root", "/Prev 9\n/Root")},
      {"no trailer", replaced("trailer\n", "trailer ")},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_NE(c.document, genuine);
    EXPECT_FALSE(platform::withImageForStandIn(c.document, image));
  }
}

}  // namespace
}  // namespace kelmora
