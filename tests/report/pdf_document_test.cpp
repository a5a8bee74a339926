// The PDF document as a real file, read back with the poppler tools: how its
// images are stored and shown, and the report a scoring run writes.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <QBuffer>
#include <QFile>
#include <QPainter>
#include <QPdfWriter>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <cmath>
#include <fstream>

#include "app/report_services.h"
#include "norms/conversion_tables.h"
#include "base/diagnostics.h"
#include "platform/pdf_context.h"
#include "platform/pdf_appended_image.h"
#include "report_fixture.h"

namespace kelmora {
namespace {

using platform::Image;

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
QImage pageOf(const QString& pdf, bool grey = false) {
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

QImage colourImage(int alpha = 255, bool halfOnly = false) {
  QImage image(90, 60, alpha == 255 ? QImage::Format_RGB32 : QImage::Format_ARGB32);
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x)
      image.setPixel(x, y, qRgba(x * 2, y * 4, (x + y) % 256, halfOnly && x <= 45 ? 255 : alpha));
  return image;
}

struct PdfImageTest : ::testing::Test {
  QTemporaryDir folder;
  std::vector<std::string> lines;  // printed while the last document was written

  void SetUp() override {
    if (QStandardPaths::findExecutable("pdftoppm").isEmpty()) GTEST_SKIP() << "poppler-utils are missing";
  }

  // One page of the images' size, each image drawn over the whole of it.
  QString write(const std::vector<QImage>& images) {
    const QString file = folder.filePath("images.pdf");
    OutputCapture output;
    std::string reason;
    auto pdf = platform::PdfContext::create(file.toStdString(), reason);
    EXPECT_TRUE(pdf) << reason;
    if (!pdf) return file;
    const platform::Rect page{0, 0, double(images.front().width()), double(images.front().height())};
    pdf->beginPage(page);
    for (const auto& image : images) pdf->drawImage(Image(image), page);
    pdf->endPage();
    EXPECT_TRUE(pdf->close(reason)) << reason;
    lines = output.lines();
    return file;
  }
};

TEST_F(PdfImageTest, ImagesAreStoredLosslesslyAndShownAsTheyAre) {
  const QImage grey = greyImage(QImage::Format_RGB32);
  const QStringList greyOrRgb{"gray", "rgb"};  // a grey image shows the same in either
  const struct {
    const char* name;
    std::vector<QImage> images;  // each over the whole page
    QStringList colours;         // of the first image stored, as pdfimages names them
    QStringList stored;          // the kinds of image stored (a soft mask carries the alpha)
  } cases[] = {
      {"grey in 32-bit pixels", {grey}, greyOrRgb, {"image"}},
      {"grey in 8-bit pixels", {greyImage(QImage::Format_Grayscale8)}, greyOrRgb, {"image"}},
      {"colour", {colourImage()}, {"rgb"}, {"image"}},
      {"with transparency", {colourImage(100, true)}, {"rgb"}, {"image", "smask"}},
      // Half covering everywhere: an edge in the alpha would be blurred apart
      // from the colours under it by the renderer. Qt stores both.
      {"a second image over the first", {grey, colourImage(128)}, greyOrRgb, {"image", "image", "smask"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const QString file = write(c.images);
    const auto rows = imagesOf(file);
    QStringList stored;
    for (const auto& row : rows) stored << row.value(2);
    EXPECT_EQ(stored, c.stored);
    ASSERT_FALSE(rows.empty());
    EXPECT_TRUE(c.colours.contains(rows[0].value(5))) << rows[0].value(5).toStdString();
    EXPECT_EQ(rows[0].mid(3, 2), (QStringList{"90", "60"}));
    EXPECT_EQ(rows[0].mid(7, 2), (QStringList{"8", "image"})) << "lossless";
    if (c.stored.size() == 1) {
      EXPECT_TRUE(storedImageOf(file) == c.images[0].convertToFormat(QImage::Format_RGB32)) << "stored as drawn";
    }
    EXPECT_EQ(strayPixels(pageOf(file), c.images), 0);
  }
}

// Qt alone stores a grey image as RGB; with the image appended it is grey and
// written in a fraction of the time. A Qt whose documents the update cannot
// follow fails here, not in the report's tests.
TEST_F(PdfImageTest, WithThisQtOneOpaqueImageIsAppendedAndAnyOtherDocumentSaysWhyNot) {
  const QImage grey = greyImage(QImage::Format_RGB32);
  const struct {
    const char* name;
    std::vector<QImage> images;
    std::string refusal;  // what the line names; empty when the image is appended
  } cases[] = {
      {"one opaque image", {grey}, ""},
      {"with transparency", {colourImage(100, true)}, "alpha channel"},
      {"two images", {grey, colourImage()}, "more than one image"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const QString file = write(c.images);
    if (c.refusal.empty()) {
      EXPECT_TRUE(lines.empty()) << lines.front();
      const auto rows = imagesOf(file);
      ASSERT_EQ(rows.size(), 1u);
      EXPECT_EQ(rows[0].value(5), "gray");
      continue;
    }
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_TRUE(lines[0].starts_with("PDF: bildet skrives på vanlig, langsommere måte: ")) << lines[0];
    EXPECT_NE(lines[0].find(c.refusal), std::string::npos) << lines[0];
  }
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
    EXPECT_NE(c.document, genuine);
    refusal.clear();
    EXPECT_FALSE(platform::withImageForStandIn(c.document, image, refusal));
    EXPECT_NE(refusal.find(c.check), std::string::npos) << refusal;
  }
}

struct PdfReportTest : testing::ReportTest {
  std::vector<std::filesystem::path> opened;

  void SetUp() override {
    ReportTest::SetUp();
    // A white form with a few grey rules.
    QImage form(1190, 1684, QImage::Format_RGB32);
    form.fill(Qt::white);
    QPainter painter(&form);
    painter.setPen(QColor(120, 120, 120));
    for (int y = 40; y < form.height(); y += 85) painter.drawLine(20, y, form.width() - 20, y);
    painter.end();
    ASSERT_TRUE(form.save(background()));
    if (QStandardPaths::findExecutable("pdftotext").isEmpty()) GTEST_SKIP() << "poppler-utils are missing";
  }

  QString background() const { return QString::fromStdString((resources / "wais-iv.png").string()); }

  std::vector<std::string> run(const ExcelData& data = testing::completeClient()) {
    ReportServices services = productionServices();
    // Never start a viewer from a test.
    services.openFile = [this](const std::filesystem::path& file) { opened.push_back(file); };
    SharedData store;
    store.setExcelData(data);
    OutputCapture output;
    performScoringRun(store, services);
    return output.lines();
  }

  std::vector<std::string> filesInFolder() const {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder.path()))
      if (entry.path().filename() != "resources") names.push_back(entry.path().filename().string());
    return names;
  }
};

TEST_F(PdfReportTest, ACompleteClientGivesOnePageWithTheBackgroundAndTheValuesInPlace) {
  run();
  ASSERT_TRUE(std::filesystem::exists("test.pdf"));
  EXPECT_EQ(opened, std::vector<std::filesystem::path>{"test.pdf"});

  const auto info = runTool("pdfinfo", {"test.pdf"}).value_or("");
  EXPECT_TRUE(info.contains(QRegularExpression(R"(Pages:\s+1\n)"))) << info.toStdString();
  EXPECT_TRUE(info.contains(QRegularExpression(R"(Page size:\s+1190 x 1684 pts)"))) << info.toStdString();

  // One image, the background as it is: its size, grey or RGB (the same grey
  // pixels either way), eight bits a component, without lossy compression,
  // and upright and in place: only the values and the profile stray from it
  // (about one pixel in a hundred; a background turned over or left out adds
  // more than one in fifty).
  const auto images = imagesOf("test.pdf");
  ASSERT_EQ(images.size(), 1u);
  EXPECT_EQ(images[0].mid(2, 3), (QStringList{"image", "1190", "1684"}));
  EXPECT_THAT(images[0].mid(5, 2), ::testing::AnyOf(QStringList{"gray", "1"}, QStringList{"rgb", "3"}));
  EXPECT_EQ(images[0].mid(7, 2), (QStringList{"8", "image"}));
  const QImage form = QImage(background()).convertToFormat(QImage::Format_RGB32);
  EXPECT_TRUE(storedImageOf("test.pdf") == form);
  const int stray = strayPixels(pageOf("test.pdf", true), {form});
  EXPECT_GE(stray, 0);
  EXPECT_LT(stray, 1190 * 1684 * 3 / 200);

  // The font is embedded, and only the glyphs used: Qt does not tag the
  // subset's name, so its size shows it (the whole font is some 750 KB).
  const auto fonts = runTool("pdffonts", {"test.pdf"}).value_or("").split('\n', Qt::SkipEmptyParts).mid(2);
  ASSERT_EQ(fonts.size(), 1);
  EXPECT_TRUE(fonts[0].contains(QRegularExpression(R"(\s+yes\s+\S+\s+yes\s+\d+\s+\d+$)"))) << fonts[0].toStdString();
  QFile pdf("test.pdf");
  ASSERT_TRUE(pdf.open(QIODevice::ReadOnly));
  const auto fontLength = QRegularExpression(R"(/Length1 (\d+))").match(QString::fromLatin1(pdf.readAll()));
  ASSERT_TRUE(fontLength.hasMatch());
  EXPECT_LT(fontLength.captured(1).toInt(), 100000);

  // Each value stands with its line's lower-left (or lower-right) corner at
  // its page point, within half a point; the boxes have y downward.
  const auto bbox = runTool("pdftotext", {"-bbox", "test.pdf", "-"}).value_or("");
  static const QRegularExpression word(
      R"re(<word xMin="([\d.]+)" yMin="[\d.]+" xMax="([\d.]+)" yMax="([\d.]+)">([^<]*)</word>)re");
  const auto found = [&](const QString& text, double x, double y, bool rightEnd) {
    for (auto words = word.globalMatch(bbox); words.hasNext();) {
      const auto m = words.next();
      // Ligatures and other compatibility forms folded.
      const QString seen = m.captured(4).normalized(QString::NormalizationForm_KC);
      if (seen == text && std::abs(m.captured(rightEnd ? 2 : 1).toDouble() - x) <= 0.5 &&
          std::abs(1684 - m.captured(3).toDouble() - y) <= 0.5)
        return true;
    }
    return false;
  };
  EXPECT_TRUE(found("Kari", 130, 1510, false)) << bbox.toStdString();
  for (const auto& mark : testing::rightAlignedMarks())
    EXPECT_TRUE(found(QString::fromStdString(mark.text), mark.x, mark.y, true)) << mark.key << " at " << mark.x
                                                                                 << ", " << mark.y;
}

TEST_F(PdfReportTest, AScoreFarOffThePageLeavesTheRestOfThePageIntact) {
  // The profile point of such a score lies some 10^20 points away; the date
  // block is drawn after it.
  for (const char* score : {"9223372036854775807", "-9223372036854775808"}) {
    SCOPED_TRACE(score);
    ExcelData data = testing::completeClient();
    data["sRs"] = score;
    run(data);
    ASSERT_TRUE(std::filesystem::exists("test.pdf"));
    QProcess process;
    process.start("pdftotext", {"-layout", "test.pdf", "-"});
    ASSERT_TRUE(process.waitForFinished(30000));
    const QString errors = QString::fromUtf8(process.readAllStandardError());
    EXPECT_TRUE(errors.isEmpty()) << errors.toStdString();
    const QString text = QString::fromUtf8(process.readAllStandardOutput());
    for (const char* dateBlock : {"2024", "1985", "39"}) EXPECT_TRUE(text.contains(dateBlock)) << dateBlock;
  }
}

TEST_F(PdfReportTest, ARunThatStopsLeavesNoFile) {
  // Not even the previous client's report stays, whether the run stops after
  // the set-up or before it.
  { std::ofstream("test.pdf") << "the previous client's report"; }
  tables.erase("VFI");
  const auto lines = run();
  EXPECT_TRUE(lines.back().starts_with("Her tryner vi: ")) << lines.back();
  EXPECT_TRUE(filesInFolder().empty());
  EXPECT_TRUE(opened.empty());

  // Before it, silently: a background that is no picture.
  { std::ofstream("test.pdf") << "the previous client's report"; }
  std::ofstream(resources / "wais-iv.png") << "not a picture";
  EXPECT_EQ(run().size(), 1u);
  EXPECT_TRUE(filesInFolder().empty());
}

TEST_F(PdfReportTest, AFolderThatCannotBeWrittenGivesALineAndNoFile) {
  const auto expectRefused = [this](const std::vector<std::string>& lines, const std::string& place) {
    EXPECT_TRUE(lines.back().starts_with("Kunne ikke lage rapporten " + place)) << lines.back();
    const auto reason = lines.back().find("test.pdf: ");
    ASSERT_NE(reason, std::string::npos) << lines.back();
    EXPECT_GT(lines.back().size(), reason + 10) << "a reason follows";
    EXPECT_TRUE(opened.empty());
  };
  // A removed working directory refuses new files to every user; a folder
  // without write permission only to users other than root.
  const std::filesystem::path inner = folder / "gone";
  std::filesystem::create_directory(inner);
  std::filesystem::current_path(inner);
  std::filesystem::remove(inner);
  auto lines = run();
  std::filesystem::current_path(folder.path());
  expectRefused(lines, "");

  if (geteuid() != 0) {
    std::filesystem::permissions(folder.path(), std::filesystem::perms::owner_read | std::filesystem::perms::owner_exec);
    lines = run();
    std::filesystem::permissions(folder.path(), std::filesystem::perms::owner_all);
    expectRefused(lines, (folder / "test.pdf").string());
    EXPECT_TRUE(filesInFolder().empty());
  }
}

}  // namespace
}  // namespace kelmora
