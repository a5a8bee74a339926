// The PDF writer: images stored losslessly and shown as they are, the image
// appended to Qt's document and the checks that refuse it; and the document
// put in its file's place only when written whole.
#include <gtest/gtest.h>
#include <sys/resource.h>

#include <QBuffer>
#include <QPainter>
#include <QPdfWriter>
#include <csignal>
#include <cstring>
#include <fstream>

#include "base/diagnostics.h"
#include "platform/pdf_appended_image.h"
#include "platform/pdf_context.h"
#include "support/package_builder.h"
#include "support/pdf_reading.h"
#include "support/scratch_folder.h"

namespace kelmora {
namespace {

using namespace kelmora::testing;

// Patterns that tell up from down and left from right: grey, or in colour
// with the alpha given (opaque on the left half when asked).
QImage pattern(std::optional<int> alpha = std::nullopt, bool opaqueLeft = false) {
  QImage image(90, 60, alpha.value_or(255) == 255 ? QImage::Format_RGB32 : QImage::Format_ARGB32);
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x) {
      const int v = (x * 5 + y * 3) % 256;
      image.setPixel(x, y,
                     alpha ? qRgba(x * 2, y * 4, (x + y) % 256, opaqueLeft && x <= 45 ? 255 : *alpha) : qRgb(v, v, v));
    }
  return image;
}

// Qt alone stores a grey image as RGB; with the image appended it is grey and
// written in a fraction of the time. A Qt whose documents the update cannot
// follow fails here, not in the report's tests.
TEST(PdfImageTest, ImagesAreStoredLosslesslyAndShownAsTheyAreAndOneOpaqueImageIsAppended) {
  if (!runTool("pdftoppm", {"-v"})) GTEST_SKIP() << "poppler-utils are missing";
  const ScratchFolder folder;
  const QString file = QString::fromStdString((folder / "images.pdf").string());
  const QImage grey = pattern(), colour = pattern(255);
  QImage tinted = colour;  // red and blue alike, green not: colour still
  tinted.fill(qRgb(200, 60, 200));
  const QStringList greyOrRgb{"gray", "rgb"};  // a grey image shows the same in either
  const struct {
    const char* name;
    std::vector<QImage> images;  // each over the whole page
    QStringList colours;         // of the first image stored, as pdfimages names them
    QStringList stored;          // the kinds of image stored (a soft mask carries the alpha)
    std::string refusal;         // why the image is not appended; none when it is
    // clang-format off
  } cases[] = {
      {"grey in 32-bit pixels", {grey}, {"gray"}, {"image"}, ""},
      {"grey in 8-bit pixels", {grey.convertToFormat(QImage::Format_Grayscale8)}, {"gray"}, {"image"}, ""},
      {"colour", {colour}, {"rgb"}, {"image"}, ""},
      {"tinted", {tinted}, {"rgb"}, {"image"}, ""},
      {"with transparency", {pattern(100, true)}, {"rgb"}, {"image", "smask"}, "the image has an alpha channel"},
      {"two images", {grey, colour}, greyOrRgb, {"image", "image"}, "the document holds more than one image"},
      // Half covering everywhere: an edge in the alpha would be blurred apart
      // from the colours under it by the renderer. Qt stores both.
      {"a second image over the first", {grey, pattern(128)}, greyOrRgb, {"image", "image", "smask"}, "the document holds more than one image"},
  };
  // clang-format on
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    // One page of the images' size, each image drawn over the whole of it.
    OutputCapture output;
    std::string reason;
    auto pdf = platform::PdfContext::create(file.toStdString(), reason);
    const platform::Rect page{0, 0, 90, 60};
    pdf->beginPage(page);
    for (const auto& image : c.images) pdf->drawImage(platform::Image(image), page);
    pdf->endPage();
    EXPECT_TRUE(pdf->close(reason)) << reason;
    const auto rows = imagesOf(file);
    QStringList stored;
    for (const auto& row : rows) stored << row.value(2);
    EXPECT_EQ(stored, c.stored);
    ASSERT_FALSE(rows.empty());
    EXPECT_TRUE(c.colours.contains(rows[0].value(5))) << rows[0].value(5).toStdString();
    EXPECT_EQ(rows[0].mid(7, 2), (QStringList{"8", "image"})) << "lossless";
    EXPECT_EQ(strayPixels(pageOf(file), c.images), 0);
    EXPECT_EQ(output.lines(), c.refusal.empty()
                                  ? std::vector<std::string>{}
                                  : std::vector{"PDF: bildet skrives på vanlig, langsommere måte: " + c.refusal});
  }
}

// A document as Qt writes it with one stand-in (or as many as asked).
QByteArray documentWithStandIns(int standIns) {
  QByteArray document;
  QBuffer buffer(&document);
  buffer.open(QIODevice::WriteOnly);
  QPdfWriter writer(&buffer);
  writer.setPageSize(QPageSize(QSizeF(200, 100), QPageSize::Point, QString(), QPageSize::ExactMatch));
  QPainter painter(&writer);
  painter.setRenderHint(QPainter::LosslessImageRendering);
  for (int i = 0; i < standIns; ++i) painter.drawImage(QRectF(10 * i, 0, 10, 10), platform::standInImage());
  painter.drawText(QPointF(20, 50), "text");
  painter.end();
  return document;
}

TEST(StandInTest, ADocumentNotLaidOutAsExpectedIsLeftAloneWithTheCheckThatFailed) {
  const QByteArray genuine = documentWithStandIns(1);
  const platform::DeflatedImage image{2, 1, true, "pixels"};
  std::string refusal;
  ASSERT_TRUE(platform::withImageForStandIn(genuine, image, refusal)) << "the genuine document is taken: " << refusal;

  const auto replaced = [&](const char* from, const char* to) { return QByteArray(genuine).replace(from, to); };
  const struct {
    const char* name;
    QByteArray document;
    std::string check;  // what the reason names
  } cases[] = {
      {"no stand-in", documentWithStandIns(0), "not in the document"},
      {"two stand-ins", documentWithStandIns(2), "more than once"},
      {"offsets that miss the objects", replaced("%PDF-1.4\n", "%PDF-1.4\n% moved\n"), "startxref does not point"},
      {"no startxref", replaced("startxref", "startxrex"), "no startxref"},
      {"startxref that misses the table", replaced("\nstartxref\n", "\nstartxref\n1"), "startxref does not point"},
      {"bytes after the end", genuine + "% more\n", "does not end with"},
      {"an update already", replaced("/Root", "/Prev 9\n/Root"), "update already"},
      {"no trailer", replaced("trailer\n", "trailer "), "no trailer"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    refusal.clear();
    EXPECT_FALSE(platform::withImageForStandIn(c.document, image, refusal));
    EXPECT_NE(refusal.find(c.check), std::string::npos) << refusal;
  }
}

// Until it is closed nothing stands at the document's place: given up, it
// takes even the file it was to replace with it; closed, it replaces it. A
// close that cannot put it there whole says why, and leaves nothing behind.
TEST(PdfContextTest, ADocumentTakesItsPlaceOnlyWhenWrittenWhole) {
  const ScratchFolder folder;
  const auto file = folder / "test.pdf";
  enum Trouble { none, aFolderInItsPlace, aFileSizeLimit };
  const struct {
    const char* name;
    bool close;
    Trouble trouble;
    std::string reason;  // of a failed close
    long filesLeft;
  } cases[] = {
      {"given up", false, none, "", 0},
      {"closed", true, none, "", 1},
      {"a non-empty folder made in its place", true, aFolderInItsPlace, std::strerror(EISDIR), 1},
      {"a file-size limit", true, aFileSizeLimit, std::strerror(EFBIG), 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    std::filesystem::remove_all(file);
    { std::ofstream(file) << "an earlier document"; }
    std::string reason;
    auto pdf = platform::PdfContext::create(file, reason);
    ASSERT_TRUE(pdf) << reason;
    pdf->beginPage({0, 0, 20, 10});
    pdf->endPage();
    if (c.trouble == aFolderInItsPlace) {
      std::filesystem::remove(file);
      std::filesystem::create_directories(file / "inside");
    }
    // A lower limit on the size of the files this process writes: with
    // SIGXFSZ ignored a write past it fails instead of ending the process.
    rlimit saved{};
    getrlimit(RLIMIT_FSIZE, &saved);
    const auto handler = std::signal(SIGXFSZ, SIG_IGN);
    const rlimit lowered{c.trouble == aFileSizeLimit ? 100 : saved.rlim_cur, saved.rlim_max};
    setrlimit(RLIMIT_FSIZE, &lowered);
    EXPECT_EQ(c.close && pdf->close(reason), c.close && c.reason.empty());
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, handler);
    EXPECT_EQ(reason, c.reason);
    pdf.reset();
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.path()), {}), c.filesLeft);
    EXPECT_TRUE(!c.close || c.trouble != none || readFile(file).starts_with("%PDF-"));
  }
}

}  // namespace
}  // namespace kelmora
