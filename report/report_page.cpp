#include "report/report_page.h"

#include <optional>

#include "base/diagnostics.h"
#include "report/drawing_functions.h"
#include "report/page_layout.h"

namespace kelmora {
namespace {

using platform::GraphicsContext;

std::vector<std::string> sumKeys() {
  std::vector<std::string> keys;
  for (const Index& index : indexes) keys.emplace_back(index.sumKey);
  return keys;
}

// The scaled scores of the group's subtests in profile order; the
// supplementary ones, which only a workbook supplies, come last.
std::vector<std::string> profileGroup(IndexGroup group) {
  std::vector<std::string> keys;
  for (const Subtest& subtest : subtests)
    if (subtest.group == group) keys.emplace_back(subtest.scaledKey);
  return keys;
}

CGPoint at(layout::Position position) { return CGPoint{position.x, position.y}; }

// A column or a row of right-aligned texts: drawText without a column table,
// at the default or a given font size.
void drawTexts(CGPoint start, const std::vector<std::string>& keys, CGFloat up, CGFloat right, const SharedData& store,
               GraphicsContext& context, CGFloat fontSize = layout::defaultFontSize) {
  drawText(start, keys, up, right, std::nullopt, fontSize, NSTextAlignment::right, store, context);
}

CGFloat crossX(const ExcelData& data, const char* key, const char* leftValue) {
  const auto found = data.find(key);
  const bool left = found != data.end() && found->second == leftValue;
  return layout::crossLeftX + (left ? 0 : layout::crossShift);
}

}  // namespace

RunKeyLists makeRunKeyLists() {
  RunKeyLists lists{{},
                    {},
                    {"testår", "fødselsår", "alderår"},
                    {"testmåned", "fødselsmåned", "aldermåneder"},
                    {"testdag", "fødselsdag", "alderdager"}};
  for (const Subtest& subtest : subtests) {
    if (!subtest.core) continue;
    lists.rawKeys.emplace_back(subtest.code);
    lists.scaledKeys.emplace_back(subtest.scaledKey);
  }
  return lists;
}

void drawClientScores(const RunKeyLists& lists, const SharedData& tempSharedData, GraphicsContext& context) {
  drawText(at(layout::name), {"Navn"}, 0, 0, std::nullopt, layout::defaultFontSize, NSTextAlignment::left,
           tempSharedData, context);
  drawTexts(at(layout::rawColumn), lists.rawKeys, layout::subtestRowStep, 0, tempSharedData, context);
  const ColumnTable scaledColumns{{layout::scaledColumnOffsets.begin(), layout::scaledColumnOffsets.end()},
                                  layout::scaledColumnWidth};
  drawText(at(layout::scaledColumn), lists.scaledKeys, layout::subtestRowStep, 0, scaledColumns,
           layout::defaultFontSize, NSTextAlignment::right, tempSharedData, context);
}

void drawSumRow(const SharedData& tempSharedData, GraphicsContext& context) {
  drawTexts(at(layout::sumRow), sumKeys(), 0, layout::sumStep, tempSharedData, context);
}

void drawIndexAndProfiles(const RunKeyLists& lists, const IndexKeyColumns& columns, const SharedData& tempSharedData,
                          const ExcelData& excelDataCopy, GraphicsContext& context) {
  const SharedData& store = tempSharedData;
  for (std::size_t k = 0; k < columns.size(); ++k) {
    drawTexts({layout::indexColumnX[k], layout::indexTableBottom}, columns[k], layout::indexTableRowStep, 0, store,
              context);
  }

  const CGFloat rowY = layout::subtestScoreRowY;
  const CGFloat step = layout::subtestScoreStep;
  const CGFloat small = layout::profileRowFontSize;
  for (const IndexGroup group : {IndexGroup::vfi, IndexGroup::pri, IndexGroup::ami, IndexGroup::phi}) {
    printItems(store.excelData());
    drawTexts({layout::placeOf(group).scoreRowX, rowY}, profileGroup(group), 0, step, store, context, small);
  }

  drawTexts(at(layout::indexScoreRow), columns[1], 0, layout::indexScoreStep, store, context);

  // The profiles share the context's path: a line that ends early is painted
  // by the next stroke, which may be the circle's.
  const CGFloat originY = layout::subtestProfileOriginY;
  const CGFloat scale = layout::subtestProfileScale;
  for (const IndexGroup group : {IndexGroup::phi, IndexGroup::vfi, IndexGroup::pri, IndexGroup::ami}) {
    const layout::GroupPlace& place = layout::placeOf(group);
    drawScores({place.profileX, originY}, profileGroup(group), scale, place.profileStep, store, context);
  }
  drawScores(at(layout::indexProfileOrigin), columns[1], layout::indexProfileScale, layout::indexProfileStep, store,
             context);

  drawCircle(layout::circleCentre.x, layout::circleCentre.y, layout::circleRadius, opaqueBlack, layout::circleLineWidth,
             context);

  drawTexts({crossX(excelDataCopy, "Kjønn", "M"), layout::sexCrossY}, {"X"}, 0, 0, store, context);
  drawTexts({crossX(excelDataCopy, "Hendthet", "V"), layout::handednessCrossY}, {"X"}, 0, 0, store, context);

  const CGFloat dateBottom = layout::dateBlockBottom;
  drawTexts({layout::yearColumnX, dateBottom}, lists.yearKeys, layout::dateBlockRowStep, 0, store, context);
  drawTexts({layout::monthColumnX, dateBottom}, lists.monthKeys, layout::dateBlockRowStep, 0, store, context);
  drawTexts({layout::dayColumnX, dateBottom}, lists.dayKeys, layout::dateBlockRowStep, 0, store, context);
}

}  // namespace kelmora
