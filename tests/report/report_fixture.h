#pragma once
// Shared by the report tests: a working directory with resources of its own,
// a complete client, and a run recorded instead of written.

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "data/shared_data.h"
#include "platform/recording_context.h"
#include "report/scoring_run.h"
#include "support/scratch_folder.h"

namespace kelmora::testing {

// The row that the test tables hold for a sum: the sum, an index score, a
// percentile and a confidence interval, different for every table.
std::vector<std::string> conversionRow(const std::string& table, std::int64_t sum);

// Writes the five conversion tables (sums 0 to 400) and loads them.
void writeConversionTables(const std::filesystem::path& resources);

// A fresh working directory for each test (they run in parallel and write
// "test.pdf"), whose "resources" folder is the one the run reads and holds
// the conversion tables.
struct ReportTest : ::testing::Test {
  ScratchFolder folder{ScratchFolder::asWorkingDirectory};
  std::filesystem::path resources = folder / "resources";
  void SetUp() override;
};

// The sample client (tools/sample_client): born 15-03-1985, tested 10-06-2024
// (39 years, 2 months, 26 days), every raw score 20 and the five
// supplementary scaled scores.
ExcelData completeClient();

// What the page should show for the complete client, worked out on the side.
ExcelData expectedValues();

// The complete client's value under the key, right-aligned at (x, y).
struct Mark {
  std::string key;
  double x;
  double y;
  std::string text = {};  // filled in from the expected values
};
// Every right-aligned mark of the complete client.
std::vector<Mark> rightAlignedMarks();

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
  // An earlier client's "test.pdf", put in place before the run, still there.
  bool earlierReportLeft = false;

  // The visible text whose right end (or left, when asked) is at x on the
  // line at y.
  std::optional<std::string> textAt(double x, double y, bool leftEnd = false) const;
  std::vector<platform::Operation> strokes() const;
};

// Runs over the data with a recording document measuring ten points per
// character, after an earlier client's "test.pdf" was put in place, and checks that the store it was given is left as
// it was. Needs the conversion tables loaded.
RecordedRun runRecorded(const ExcelData& data, const RunOptions& options = {});

}  // namespace kelmora::testing
