// The report a scoring run writes, as a real PDF file read back with the
// poppler tools and from its content stream.
#include <gtest/gtest.h>

#include <QPainter>
#include <QRegularExpression>
#include <cmath>
#include <fstream>

#include "app/report_services.h"
#include "report_fixture.h"
#include "support/pdf_reading.h"

namespace kelmora {
namespace {

using namespace kelmora::testing;

struct PdfReportTest : testing::ReportTest {
  QImage form{1190, 1684, QImage::Format_RGB32};

  void SetUp() override {
    ReportTest::SetUp();
    // A white form with a few grey rules.
    form.fill(Qt::white);
    QPainter painter(&form);
    painter.setPen(QColor(120, 120, 120));
    for (int y = 40; y < form.height(); y += 85) painter.drawLine(20, y, form.width() - 20, y);
    painter.end();
    ASSERT_TRUE(form.save(QString::fromStdString((resources / "wais-iv.png").string())));
    if (!runTool("pdftotext", {"-v"})) GTEST_SKIP() << "poppler-utils are missing";
  }

  // The run with the program's own services.
  RecordedRun run(const ExcelData& data = sampleClient()) { return runWith(data, productionServices()); }
};

// What the recording cannot show: the form read and drawn upright and in
// place (only the values and the profiles stray from it, about one pixel in a
// hundred; a form turned over or left out adds more than one in fifty), the
// strokes as a PDF reader paints them, and the text in the embedded font at
// its place, even after a profile point some 10^20 points off the page.
TEST_F(PdfReportTest, ACompleteClientGetsItsFormStrokesAndTextsInPlace) {
  EXPECT_EQ(run().opened, std::vector<std::filesystem::path>{"test.pdf"});
  // The grey form loaded opaque, so its pixels are appended as grey.
  EXPECT_EQ(imagesOf("test.pdf").at(0).value(5), "gray");
  const int stray = strayPixels(pageOf("test.pdf"), {form});
  EXPECT_GE(stray, 0);
  EXPECT_LT(stray, 1190 * 1684 * 3 / 200);

  // Butt caps and miter joins, as a PDF reader assumes, and each stroke at the
  // width the run gave it: the profiles at 2, the circle at 1.1.
  const auto strokes = strokeStylesOf("test.pdf");
  ASSERT_EQ(strokes.size(), 6u);
  for (std::size_t i = 0; i < strokes.size(); ++i) {
    EXPECT_DOUBLE_EQ(strokes[i].width, i < 5 ? 2.0 : 1.1) << i;
    EXPECT_EQ(std::pair(strokes[i].cap, strokes[i].join), std::pair(0, 0)) << i;
  }

  // One font, embedded.
  const auto fonts = runTool("pdffonts", {"test.pdf"}).value_or("").split('\n', Qt::SkipEmptyParts).mid(2);
  ASSERT_EQ(fonts.size(), 1);
  EXPECT_TRUE(fonts[0].contains(QRegularExpression(R"(\s+yes\s+\S+\s+yes\s+\d+\s+\d+$)"))) << fonts[0].toStdString();

  // The name, the crosses and the dates, each with its line's lower-left (or
  // lower-right) corner at its page point within half a point; the boxes
  // have y downward. (The transcripts hold every text's place.)
  // clang-format off
  const std::tuple<std::string, double, double, bool> marks[] = {
      {"Kari", 130, 1510, false}, {"X", 1081, 1366, true}, {"X", 977, 1317, true},  // "K" and "V"
      {"39", 976, 1410, true}, {"2", 1055, 1410, true}, {"26", 1138, 1410, true}, {"1985", 976, 1452.5, true},
      {"3", 1055, 1452.5, true}, {"15", 1138, 1452.5, true}, {"2024", 976, 1495, true}, {"6", 1055, 1495, true},
      {"10", 1138, 1495, true}};
  // clang-format on
  static const QRegularExpression word(
      R"re(<word xMin="([\d.]+)" yMin="[\d.]+" xMax="([\d.]+)" yMax="([\d.]+)">([^<]*)</word>)re");
  for (const char* sRs : {"10", "9223372036854775807", "-9223372036854775808"}) {
    ExcelData data = sampleClient();
    data["sRs"] = sRs;
    run(data);
    const auto bbox = runTool("pdftotext", {"-bbox", "test.pdf", "-"}).value_or("");
    for (const auto& [text, x, y, rightEnd] : marks) {
      bool found = false;
      for (auto words = word.globalMatch(bbox); words.hasNext();) {
        const auto m = words.next();
        // Ligatures and other compatibility forms folded.
        found = found || (m.captured(4).normalized(QString::NormalizationForm_KC).toStdString() == text &&
                          std::abs(m.captured(rightEnd ? 2 : 1).toDouble() - x) <= 0.5 &&
                          std::abs(1684 - m.captured(3).toDouble() - y) <= 0.5);
      }
      EXPECT_TRUE(found) << text << " at " << x << ", " << y << " with sRs " << sRs;
    }
  }
}

// A run that ends without a report leaves none, opens nothing and says why.
// (A document that cannot be written whole is the writer's to show.)
TEST_F(PdfReportTest, ARunWithoutAReportLeavesNoneAndSaysWhy) {
  // A removed working directory refuses new files to every user, root too.
  const std::filesystem::path gone = folder / "gone";
  std::filesystem::create_directory(gone);
  std::filesystem::current_path(gone);
  std::filesystem::remove(gone);
  const auto made = run();
  std::filesystem::current_path(folder.path());
  const std::string refused = "Kunne ikke lage rapporten test.pdf: ";
  EXPECT_TRUE(made.lines.back().starts_with(refused) && made.lines.back().size() > refused.size() + 5)
      << made.lines.back() << ": a reason follows";
  EXPECT_TRUE(made.opened.empty());

  // A form that is no picture stops the run before it says anything more.
  std::ofstream(resources / "wais-iv.png") << "not a picture";
  const auto stopped = run();
  EXPECT_EQ(stopped.lines.size(), 1u);
  EXPECT_FALSE(stopped.earlierReportLeft);
  EXPECT_TRUE(stopped.opened.empty());
}

}  // namespace
}  // namespace kelmora
