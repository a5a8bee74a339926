#pragma once
// Shared by the report tests: a working directory with conversion tables of
// its own, and a run recorded instead of written.

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
#include "tools/sample_client/sample_client.h"

namespace kelmora::testing {

// Writes the five conversion tables, sums 0 to 400, and loads them. Every
// row differs from its neighbours and from the other tables' rows.
void writeConversionTables(const std::filesystem::path& resources);

// A fresh working directory for each test (they run in parallel and write
// "test.pdf"), whose "resources" folder holds the conversion tables.
struct ReportTest : ::testing::Test {
  ScratchFolder folder{ScratchFolder::asWorkingDirectory};
  std::filesystem::path resources = folder / "resources";
  void SetUp() override;
};

struct RecordedRun {
  std::shared_ptr<platform::Recording> recording;  // none when no recording document was made
  std::vector<std::filesystem::path> opened;
  std::vector<std::string> lines;
  bool earlierReportLeft = false;  // the "test.pdf" put in place before the run
};

// Runs over the data with the services given, after an earlier client's
// "test.pdf" was put in place, noting the file to open rather than opening
// it. Checks that the store it was given is left as it was.
RecordedRun runWith(const ExcelData& data, ReportServices services);

// The same with a recording document that measures ten points a character
// and fails to close for the reason given, if any; no background when told.
RecordedRun runRecorded(const ExcelData& data, bool background = true, const std::string& closeFailure = "");

}  // namespace kelmora::testing
