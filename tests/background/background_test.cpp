// Checks of the committed record form resources/wais-iv.png against the page
// layout: every value the report writes lands on clear paper inside a box, the
// score scales of both profiles are where the report plots them, and the
// image is what the generator draws today.

#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QImage>
#include <QString>
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <string>

#include "report/page_layout.h"
#include "tools/background/record_form.h"

namespace kelmora::background {
namespace {

namespace L = kelmora::layout;

// Grey levels: a mark must not touch anything darker than clear paper
// (white, or the light tints of headings and bands), and a box border is at
// least as dark as the lightest rule.
constexpr int clearPaper = 0xe0;
constexpr int rule = 0xc4;

class RecordForm : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    ASSERT_TRUE(loadFormFonts());
    committed = new QImage(QImage(QStringLiteral(KELMORA_TEST_RESOURCES "/wais-iv.png"))
                               .convertToFormat(QImage::Format_Grayscale8));
  }
  static void TearDownTestSuite() { delete committed; }

  static int grey(int x, int y) { return committed->constScanLine(y)[x]; }
  static int row(double pageY) { return static_cast<int>(std::lround(L::pageHeight - pageY)); }

  // Darkest pixel of a rectangle of the image (inclusive bounds).
  static int darkest(int left, int top, int right, int bottom) {
    int result = 255;
    for (int y = top; y <= bottom; ++y) {
      for (int x = left; x <= right; ++x) result = std::min(result, grey(x, y));
    }
    return result;
  }

  // Distance from (x, y) in steps of (dx, dy) to the first rule, or -1.
  static int distanceToRule(int x, int y, int dx, int dy, int limit) {
    for (int step = 1; step <= limit; ++step) {
      if (grey(x + dx * step, y + dy * step) <= rule) return step;
    }
    return -1;
  }

  static inline QImage* committed = nullptr;
};

TEST_F(RecordForm, IsThePageSizeAndWhatTheGeneratorDrawsNow) {
  ASSERT_EQ(committed->width(), L::pageWidth);
  ASSERT_EQ(committed->height(), L::pageHeight);

  const QImage fresh = renderRecordForm().convertToFormat(QImage::Format_Grayscale8);
  ASSERT_EQ(fresh.size(), committed->size());
  int differing = 0;
  for (int y = 0; y < fresh.height(); ++y) {
    for (int x = 0; x < fresh.width(); ++x) {
      if (std::abs(fresh.constScanLine(y)[x] - grey(x, y)) > 32) ++differing;
    }
  }
  EXPECT_EQ(differing, 0) << "resources/wais-iv.png is out of date: rebuild it with the target background_image";
}

TEST_F(RecordForm, HasWhiteMargins) {
  const int margin = 24;
  EXPECT_EQ(darkest(0, 0, L::pageWidth - 1, margin), 255);
  EXPECT_EQ(darkest(0, L::pageHeight - margin, L::pageWidth - 1, L::pageHeight - 1), 255);
  EXPECT_EQ(darkest(0, 0, margin, L::pageHeight - 1), 255);
  EXPECT_EQ(darkest(L::pageWidth - margin, 0, L::pageWidth - 1, L::pageHeight - 1), 255);
}

TEST_F(RecordForm, EveryMarkFallsOnClearPaperInsideItsBox) {
  for (const SampleMark& mark : sampleMarks()) {
    SCOPED_TRACE(mark.what.toStdString() + " \"" + mark.text.toStdString() + "\"");
    const QRectF rect = markRect(mark);
    const int left = static_cast<int>(std::floor(rect.left()));
    const int right = static_cast<int>(std::ceil(rect.right()));
    const int top = static_cast<int>(std::floor(rect.top()));
    const int bottom = static_cast<int>(std::ceil(rect.bottom()));
    ASSERT_TRUE(left >= 0 && top >= 0 && right < L::pageWidth && bottom < L::pageHeight);
    EXPECT_GE(darkest(left, top, right, bottom), clearPaper);

    // The name stands on its underline; every other mark is boxed in.
    const int middleX = (left + right) / 2;
    const int middleY = (top + bottom) / 2;
    const int below = distanceToRule(middleX, bottom, 0, 1, 16);
    EXPECT_NE(below, -1) << "no rule under the mark";
    if (mark.leftAligned) continue;
    EXPECT_NE(distanceToRule(middleX, top, 0, -1, 20), -1) << "no rule above the mark";
    EXPECT_NE(distanceToRule(left, middleY, -1, 0, 100), -1) << "no rule left of the mark";
    EXPECT_NE(distanceToRule(right, middleY, 1, 0, 100), -1) << "no rule right of the mark";
  }
}

TEST_F(RecordForm, NoTwoMarksOverlap) {
  const auto marks = sampleMarks();
  for (std::size_t i = 0; i < marks.size(); ++i) {
    for (std::size_t j = i + 1; j < marks.size(); ++j) {
      EXPECT_FALSE(markRect(marks[i]).intersects(markRect(marks[j])))
          << marks[i].what.toStdString() << " and " << marks[j].what.toStdString();
    }
  }
}

TEST_F(RecordForm, ShadesTheScaledCellsWhereTheRowsScoreDoesNotGo) {
  const double middle = 11;  // of the digits above the bottom of their line
  for (std::size_t place = 0; place < L::scaledColumnOffsets.size(); ++place) {
    const int y = row(L::scaledColumn.y + L::subtestRowStep * static_cast<double>(place) + middle);
    for (long column = 0; column < 4; ++column) {
      SCOPED_TRACE("row " + std::to_string(place) + ", column " + std::to_string(column));
      const int x = static_cast<int>(L::scaledColumn.x + L::scaledColumnWidth * static_cast<double>(column) - 12);
      const bool open = column == L::scaledColumnOffsets.at(place);
      if (open) {
        EXPECT_EQ(grey(x, y), 255);
      } else {
        EXPECT_LT(grey(x, y), clearPaper);
        EXPECT_GT(grey(x, y), 0x80);  // a tint, not a rule
      }
    }
  }
}

// The scale lines are where the report plots a score, and there is nothing
// between them that could be taken for one.
TEST_F(RecordForm, ProfileScaleLinesLieWhereScoresArePlotted) {
  struct Scale {
    const char* name;
    double x;  // inside the first column of the grid, off its line
    double origin;
    double factor;
    int lowest;
    int highest;
    int step;
  };
  const Scale scales[] = {
      {"subtests", L::vfiProfileX + L::vfiProfileStep / 4, L::subtestProfileOriginY, L::subtestProfileScale, 1, 19, 1},
      {"indexes", L::indexProfileOrigin.x + L::indexProfileStep / 4, L::indexProfileOrigin.y, L::indexProfileScale, 40,
       160, 10},
  };
  for (const Scale& scale : scales) {
    const int x = static_cast<int>(scale.x);
    for (int score = scale.lowest; score <= scale.highest; score += scale.step) {
      SCOPED_TRACE(std::string(scale.name) + " " + std::to_string(score));
      const int y = row(scale.origin + scale.factor * score);
      EXPECT_LE(darkest(x, y - 1, x, y + 1), rule);
      if (score < scale.highest) {
        const int between = row(scale.origin + scale.factor * (score + scale.step / 2.0));
        const int quarter = static_cast<int>(scale.factor * scale.step / 4);
        EXPECT_GE(darkest(x, between - quarter, x, between + quarter), clearPaper);
      }
    }
  }
}

TEST_F(RecordForm, TheFixedCircleRingsTheConfidenceLevel) {
  const double cx = L::circleCentre.x;
  const int cy = row(L::circleCentre.y);
  int ringDarkest = 255;
  int insideDarkest = 255;
  for (int y = cy - 18; y <= cy + 18; ++y) {
    for (int x = static_cast<int>(cx) - 18; x <= static_cast<int>(cx) + 18; ++x) {
      const double r = std::hypot(x + 0.5 - cx, y + 0.5 - (L::pageHeight - L::circleCentre.y));
      if (r >= L::circleRadius - 1.5 && r <= L::circleRadius + 1.5) ringDarkest = std::min(ringDarkest, grey(x, y));
      if (r <= L::circleRadius - 5) insideDarkest = std::min(insideDarkest, grey(x, y));
    }
  }
  EXPECT_GE(ringDarkest, clearPaper) << "something on the form runs under the circle";
  EXPECT_LT(insideDarkest, 0x60) << "nothing printed inside the circle";
}

}  // namespace
}  // namespace kelmora::background

int main(int argc, char** argv) {
  // Also when CTest lists the cases, which it does without the test's environment.
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication application(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
