#pragma once
// The report page: every mark of the one-page report at its fixed place.
// Each stretch draws from the private store of the run, as it stands.

#include <string>
#include <vector>

#include "data/shared_data.h"
#include "platform/graphics_context.h"
#include "report/index_sums.h"

namespace kelmora {

struct RunKeyLists {
  std::vector<std::string> rawKeys;
  std::vector<std::string> scaledKeys;
  std::vector<std::string> yearKeys;
  std::vector<std::string> monthKeys;
  std::vector<std::string> dayKeys;
};

RunKeyLists makeRunKeyLists();

// The name, the raw scores and the scaled scores.
void drawClientScores(const RunKeyLists& lists, const SharedData& tempSharedData, platform::GraphicsContext& context);

// The row of the five sums.
void drawSumRow(const SharedData& tempSharedData, platform::GraphicsContext& context);

// The index table, the scores over the profiles, the profiles, the circle,
// the crosses and the date block. The crosses read the working copy.
void drawIndexAndProfiles(const RunKeyLists& lists, const IndexKeyColumns& columns, const SharedData& tempSharedData,
                          const ExcelData& excelDataCopy, platform::GraphicsContext& context);

}  // namespace kelmora
