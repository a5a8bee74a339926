#pragma once
// Every fixed position of the report page, in page points (origin bottom
// left, y up). The page drawing and the generator of the background form both
// read these, so that the form and the marks cannot drift apart.

#include <array>
#include <string_view>

#include "norms/subtests.h"

namespace kelmora::layout {

struct Position {
  double x;
  double y;
};

// The background image and so the page: A4 proportions at 1190 x 1684.
inline constexpr int pageWidth = 1190;
inline constexpr int pageHeight = 1684;

inline constexpr double defaultFontSize = 18;
inline constexpr double profileRowFontSize = 14;

// 1: the client's name, left-aligned.
inline constexpr Position name{130, 1510};

// 2: raw-score column (right-aligned, keys reversed: "Kd" at the bottom).
inline constexpr Position rawColumn{250, 812};
inline constexpr double subtestRowStep = 42.5;

// 3: scaled scores, one column per index group, on the row of their raw score.
inline constexpr Position scaledColumn{310, 812};
// Entry i belongs to the i-th drawn row from the bottom ("Kd" first): the
// column of that subtest's index group.
inline constexpr auto scaledColumnOffsets = [] {
  std::array<long, coreSubtestCount> offsets{};
  for (std::size_t place = 0; place < offsets.size(); ++place)
    offsets[place] = static_cast<long>(columnOf(subtests[coreSubtestCount - 1 - place].group));
  return offsets;
}();
inline constexpr double scaledColumnWidth = 50;

// 4: the five sums in one row.
inline constexpr Position sumRow{295, 560};
inline constexpr double sumStep = 52;

// 5-8: the index table (rows VFI at the top to FSIQ at the bottom), its
// columns in the order of the index keys' suffixes: the sum, the index
// score, the percentile and the confidence interval.
inline constexpr double indexTableBottom = 165;
inline constexpr double indexTableRowStep = 45;
inline constexpr std::array<double, 4> indexColumnX{270, 414, 489, 602};

// 9-12: scaled scores above the subtest profile, one row.
inline constexpr double subtestScoreRowY = 1190;
inline constexpr double subtestScoreStep = 32;

// 13: index scores above the index profile.
inline constexpr Position indexScoreRow{748, 648};
inline constexpr double indexScoreStep = 92;

// 14-17: the subtest profile (y = origin + scale x scaled score).
inline constexpr double subtestProfileOriginY = 731;
inline constexpr double subtestProfileScale = 23.3;

// 9-12 and 14-17 per index group, in the groups' order: where its scaled
// scores above the profile begin, where its profile line begins, and the step
// between its subtests' profile columns.
struct GroupPlace {
  double scoreRowX;
  double profileX;
  double profileStep;
};
inline constexpr std::array<GroupPlace, indexGroupCount> groupPlaces{{
    {702, 690, 32.5},  // VFI
    {830, 816, 32},    // PRI
    {990, 978, 32},    // AMI
    {1086, 1072, 32},  // PHI
}};
constexpr const GroupPlace& placeOf(IndexGroup group) { return groupPlaces[columnOf(group)]; }

// 18: the index profile (y = origin + scale x index score).
inline constexpr Position indexProfileOrigin{734, -82.5};
inline constexpr double indexProfileScale = 4.4;
inline constexpr double indexProfileStep = 94;

// 19: the fixed circle.
inline constexpr Position circleCentre{589, 396};
inline constexpr double circleRadius = 15;
inline constexpr double circleLineWidth = 1.1;

// 20-21: the crosses: left box when the value matches, else shifted right.
inline constexpr double crossLeftX = 977;
inline constexpr double crossShift = 104;
inline constexpr double sexCrossY = 1366;
inline constexpr double handednessCrossY = 1317;

// 22-24: the date block (rows test 1495, birth 1452.5, age 1410).
inline constexpr double dateBlockBottom = 1410;
inline constexpr double dateBlockRowStep = 42.5;
inline constexpr double yearColumnX = 976;
inline constexpr double monthColumnX = 1055;
inline constexpr double dayColumnX = 1138;

}  // namespace kelmora::layout
