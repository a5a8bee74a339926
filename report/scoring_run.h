#pragma once
// The scoring run: from a loaded store to the opened report "test.pdf".

#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "data/shared_data.h"
#include "platform/graphics_context.h"
#include "platform/image.h"

namespace kelmora {

// The report's file, in the working directory.
inline const std::filesystem::path reportFile = "test.pdf";

// What the run needs of the desktop, so that tests can see the page drawn and
// the file opened without a real document or viewer.
struct ReportServices {
  // The background "wais-iv"; no value when it is missing or not a bitmap.
  std::function<std::optional<platform::Image>()> backgroundImage;
  // A document at the file; no context (and the reason) when it cannot be made.
  std::function<std::unique_ptr<platform::DocumentContext>(const std::filesystem::path& file, std::string& reason)>
      createDocument;
  // Hands the finished file to the default application.
  std::function<void(const std::filesystem::path& file)> openFile;
};

// One complete run over the store's current data (the store is only read).
void performScoringRun(const SharedData& sharedData, const ReportServices& services);

// Takes the report of an earlier run away, so that it is never read as the
// report of a workbook that gave none. (A folder that cannot be written keeps
// it: there is no removing it either.)
void removeEarlierReport();

}  // namespace kelmora
