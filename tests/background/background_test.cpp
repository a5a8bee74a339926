// The committed record form resources/wais-iv.png against the report: every
// value that the real scoring run writes, widened to the widest of its kind,
// lands on clear paper inside a box, both profiles' scales lie where the
// report plots, and the image is up to date.

#include <gtest/gtest.h>

#include <QImage>
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <numbers>
#include <string>
#include <vector>

#include "report/page_layout.h"
#include "tools/background/record_form.h"
#include "tools/background/sample_report.h"

namespace kelmora::background {
namespace {

namespace L = kelmora::layout;

// Grey levels: a mark must not touch anything darker than clear paper
// (white, or the light tints of headings and bands); a box border is at least
// as dark as the lightest rule.
constexpr int clearPaper = 0xe0;
constexpr int rule = 0xc4;

class RecordForm : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    ASSERT_TRUE(loadFormFonts());
    committed = QImage(KELMORA_TEST_RESOURCES "/wais-iv.png").convertToFormat(QImage::Format_Grayscale8);
    ASSERT_TRUE(loadConversionTables(KELMORA_TEST_RESOURCES));
    marks = sampleMarks(committed);
  }

  static int grey(int x, int y) { return committed.constScanLine(y)[x]; }
  static int row(double pageY) { return static_cast<int>(std::lround(L::pageHeight - pageY)); }

  // Darkest pixel of a rectangle of the image.
  static int darkest(const QRect& r) {
    int result = 255;
    for (int y = r.top(); y <= r.bottom(); ++y) {
      for (int x = r.left(); x <= r.right(); ++x) result = std::min(result, grey(x, y));
    }
    return result;
  }

  static inline QImage committed;
  static inline std::vector<SampleMark> marks;
};

// The preview is the form but for the sample client's report in blue. (Where
// the report's texts stand the PDF tests check: the preview is painted by the
// PDF's painter.)
TEST_F(RecordForm, IsWhatTheGeneratorDrawsNowWithWhiteMarginsAndThePreviewAddsOnlyTheReport) {
  ASSERT_EQ(committed.size(), QSize(L::pageWidth, L::pageHeight));
  const QImage fresh = renderRecordForm().convertToFormat(QImage::Format_Grayscale8);
  const QImage preview = drawPreview(committed).convertToFormat(QImage::Format_RGB32);
  ASSERT_TRUE(fresh.size() == committed.size() && preview.size() == committed.size());
  int differing = 0, ink = 0, neitherFormNorInk = 0;
  int margin = 255;  // the darkest pixel less than 25 pixels from an edge
  const QRect inner(QPoint(25, 25), QPoint(L::pageWidth - 25, L::pageHeight - 25));
  for (int y = 0; y < fresh.height(); ++y) {
    for (int x = 0; x < fresh.width(); ++x) {
      const int g = grey(x, y);
      differing += std::abs(fresh.constScanLine(y)[x] - g) > 32;
      if (!inner.contains(x, y)) margin = std::min(margin, g);
      const QRgb pixel = reinterpret_cast<const QRgb*>(preview.constScanLine(y))[x];
      ink += qBlue(pixel) > qRed(pixel);
      neitherFormNorInk += qBlue(pixel) <= qRed(pixel) && pixel != qRgb(g, g, g);
    }
  }
  EXPECT_EQ(differing, 0) << "resources/wais-iv.png is out of date: rebuild it with the target background_image";
  EXPECT_EQ(margin, 255);
  EXPECT_EQ(neitherFormNorInk, 0);
  EXPECT_GT(ink, 5000);
}

// Each mark lies on clear paper, boxed in by rules (the name stands on its
// underline), and overlaps no other mark.
TEST_F(RecordForm, EveryMarkFallsOnClearPaperInsideItsBox) {
  // The name; ten raw and ten scaled scores; five sums; five index rows of
  // four; fifteen scaled and five index scores over the profiles; both boxes
  // of two check rows; three dates of three.
  ASSERT_EQ(marks.size(), 1 + 10 + 10 + 5 + 5 * 4 + 15 + 5 + 2 * 2 + 3 * 3u);
  for (const SampleMark& mark : marks) {
    SCOPED_TRACE(mark.what.toStdString() + " \"" + mark.text.toStdString() + "\" at " + std::to_string(mark.x) + ", " +
                 std::to_string(mark.y));
    EXPECT_FALSE(mark.what.isEmpty()) << "the report writes where the form is not known to have a box";
    const QRectF rect = markRect(mark);
    const QRect box = rect.toAlignedRect().adjusted(0, 0, 1, 1);
    ASSERT_TRUE(box.left() >= 0 && box.top() >= 0 && box.right() < L::pageWidth && box.bottom() < L::pageHeight);
    EXPECT_GE(darkest(box), clearPaper);
    const QPoint middle = box.center();
    EXPECT_LE(darkest(QRect(middle.x(), box.bottom() + 1, 1, 16)), rule) << "no rule under the mark";
    for (const SampleMark& other : marks) {
      EXPECT_TRUE(&other == &mark || !rect.intersects(markRect(other))) << "overlaps " << other.what.toStdString();
    }
    if (mark.leftAligned) continue;
    EXPECT_LE(darkest(QRect(middle.x(), box.top() - 20, 1, 20)), rule) << "no rule above the mark";
    EXPECT_LE(darkest(QRect(box.left() - 100, middle.y(), 100, 1)), rule) << "no rule left of the mark";
    EXPECT_LE(darkest(QRect(box.right() + 1, middle.y(), 100, 1)), rule) << "no rule right of the mark";
  }
}

// Where the report draws, the form is ready for it: in the scaled-score
// table each row's own cell is open paper and the others a tint (not a
// rule); the profiles' scale lines lie where the report plots a score, with
// nothing between them that could be taken for one (x inside the first
// column of the grid, off its line); nothing runs under the fixed circle's
// ring, and something (the confidence level) is printed inside it.
TEST_F(RecordForm, ShadesScaleLinesAndTheCircleLieWhereTheReportDraws) {
  const double middle = 11;  // of the digits above the bottom of their line
  for (std::size_t place = 0; place < L::scaledColumnOffsets.size(); ++place) {
    const int y = row(L::scaledColumn.y + L::subtestRowStep * static_cast<double>(place) + middle);
    for (long column = 0; column < 4; ++column) {
      const int x = static_cast<int>(L::scaledColumn.x + L::scaledColumnWidth * static_cast<double>(column) - 12);
      const int g = grey(x, y);
      EXPECT_TRUE(column == L::scaledColumnOffsets.at(place) ? g == 255 : g > 0x80 && g < clearPaper)
          << "row " << place << ", column " << column << ": grey " << g;
    }
  }
  const auto check = [](const char* name, double x, double origin, double factor, int lowest, int highest, int step) {
    for (int score = lowest; score <= highest; score += step) {
      SCOPED_TRACE(std::string(name) + " " + std::to_string(score));
      const int y = row(origin + factor * score);
      EXPECT_LE(darkest(QRect(static_cast<int>(x), y - 1, 1, 3)), rule);
      if (score == highest) break;
      const int between = row(origin + factor * (score + step / 2.0));
      const int quarter = static_cast<int>(factor * step / 4);
      EXPECT_GE(darkest(QRect(static_cast<int>(x), between - quarter, 1, 2 * quarter + 1)), clearPaper);
    }
  };
  check("subtests", L::groupPlaces[0].profileX + L::groupPlaces[0].profileStep / 4, L::subtestProfileOriginY,
        L::subtestProfileScale, 1, 19, 1);
  check("indexes", L::indexProfileOrigin.x + L::indexProfileStep / 4, L::indexProfileOrigin.y, L::indexProfileScale, 40,
        160, 10);
  const double cx = L::circleCentre.x;
  const double cy = L::pageHeight - L::circleCentre.y;
  int ringDarkest = 255;
  for (int degree = 0; degree < 360; ++degree) {
    for (const double radius : {L::circleRadius - 1, L::circleRadius, L::circleRadius + 1}) {
      const double angle = degree * std::numbers::pi / 180;
      ringDarkest = std::min(ringDarkest, grey(int(cx + radius * std::cos(angle)), int(cy + radius * std::sin(angle))));
    }
  }
  EXPECT_GE(ringDarkest, clearPaper);
  EXPECT_LT(darkest(QRect(static_cast<int>(cx) - 6, static_cast<int>(cy) - 6, 13, 13)), 0x60);
}

}  // namespace
}  // namespace kelmora::background
