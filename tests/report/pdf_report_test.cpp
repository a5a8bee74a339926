// The report a scoring run writes, as a real PDF file read back with the
// poppler tools and from its content stream.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <QFile>
#include <QPainter>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <cmath>
#include <fstream>

#include "app/report_services.h"
#include "base/diagnostics.h"
#include "norms/conversion_tables.h"
#include "report_fixture.h"
#include "support/pdf_reading.h"

namespace kelmora {
namespace {

using namespace kelmora::testing;

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
    EXPECT_TRUE(found(QString::fromStdString(mark.text), mark.x, mark.y, true))
        << mark.key << " at " << mark.x << ", " << mark.y;
}

// Butt caps and miter joins, as a PDF reader assumes, and each stroke at the
// width the run gave it: the profiles at 2, the circle at 1.1.
TEST_F(PdfReportTest, StrokesKeepTheirWidthsCapsAndJoins) {
  run();
  const auto strokes = strokeStylesOf("test.pdf");
  ASSERT_EQ(strokes.size(), 6u);
  for (std::size_t i = 0; i < strokes.size(); ++i) {
    SCOPED_TRACE(i);
    EXPECT_DOUBLE_EQ(strokes[i].width, i < 5 ? 2.0 : 1.1);
    EXPECT_EQ(strokes[i].cap, 0);
    EXPECT_EQ(strokes[i].join, 0);
  }
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
    std::filesystem::permissions(folder.path(),
                                 std::filesystem::perms::owner_read | std::filesystem::perms::owner_exec);
    lines = run();
    std::filesystem::permissions(folder.path(), std::filesystem::perms::owner_all);
    expectRefused(lines, (folder / "test.pdf").string());
    EXPECT_TRUE(filesInFolder().empty());
  }
}

}  // namespace
}  // namespace kelmora
