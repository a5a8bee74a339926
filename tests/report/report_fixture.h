#pragma once
// Shared by the report tests: a scratch working directory with resources of
// its own, a complete client, and a run recorded instead of written.

#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "data/shared_data.h"
#include "platform/recording_context.h"
#include "report/scoring_run.h"

namespace kelmora::testing {

// A fresh folder that is the working directory and the resources folder's
// parent while it lives (tests run in parallel and write "test.pdf").
class ScratchFolder {
 public:
  ScratchFolder();
  ~ScratchFolder();
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;

  const std::filesystem::path& path() const { return path_; }
  std::filesystem::path resources() const { return path_ / "resources"; }

 private:
  std::filesystem::path path_;
  std::filesystem::path previous_;
};

// The row that the test tables hold for a sum: the sum, an index score, a
// percentile and a confidence interval, different for every table.
std::vector<std::string> conversionRow(const std::string& table, std::int64_t sum);

// Writes the five conversion tables (sums 0 to 400) and loads them.
void writeConversionTables(const std::filesystem::path& resources);

// A white form with a few grey rules, saved as "wais-iv.png".
void writeBackground(const std::filesystem::path& resources, int width, int height);

// Born 15-03-1985, tested 10-06-2024 (39 years, 2 months, 26 days), every
// raw score 20 and the five supplementary scaled scores.
ExcelData completeClient();

struct RunOptions {
  bool background = true;
  std::string createFailure;  // the document cannot be made, for this reason
  std::string closeFailure;   // the document cannot be written, for this reason
};

struct RecordedRun {
  std::shared_ptr<platform::Recording> recording;  // none when no document was made
  std::vector<std::filesystem::path> requested;    // files a document was asked for
  std::vector<std::filesystem::path> opened;
  std::vector<std::string> lines;

  // The visible text whose right end is at x on the line at y.
  std::optional<std::string> textEndingAt(double x, double y) const;
  std::optional<std::string> textStartingAt(double x, double y) const;
  std::vector<platform::Operation> strokes() const;
};

// Runs over the data with a recording document measuring ten points per
// character. Needs the conversion tables loaded.
RecordedRun runRecorded(const ExcelData& data, const RunOptions& options = {});

}  // namespace kelmora::testing
