#include "report_fixture.h"

#include <fstream>

#include "base/diagnostics.h"
#include "base/resource_folder.h"
#include "norms/conversion_tables.h"

namespace kelmora::testing {
namespace {

// A white background of the form's size, read from a file as the program's
// own is: a PGM is plain enough to write here.
platform::Image blankBackground() {
  static const std::optional<platform::Image> image = [] {
    ScratchFolder scratch;
    std::ofstream(scratch / "white.pgm", std::ios::binary) << "P5\n1190 1684\n255\n"
                                                           << std::string(1190 * 1684, '\xff');
    return platform::loadImage(scratch / "white.pgm");
  }();
  return image.value();
}

}  // namespace

void writeConversionTables(const std::filesystem::path& resources) {
  // Each row: the sum, an index score, a percentile and a confidence interval.
  for (const auto& [file, base] : {std::pair{"Sheet 1-VFI", 50},
                                   {"Sheet 2-PRI", 51},
                                   {"Sheet 3-AMI", 52},
                                   {"Sheet 4-PHI", 53},
                                   {"Sheet 5-FSIQ", 40}}) {
    std::ofstream out(resources / (std::string(file) + ".csv"));
    for (int sum = 0; sum <= 400; ++sum)
      out << sum << ';' << base + sum << ';' << sum % 100 << ';' << base + sum - 5 << '-' << base + sum + 5 << "\r\n";
  }
  OutputCapture quiet;
  loadTables();
}

void ReportTest::SetUp() {
  std::filesystem::create_directory(resources);
  bundle::setResourceDirectory(resources);
  writeConversionTables(resources);
}

RecordedRun runWith(const ExcelData& data, ReportServices services) {
  RecordedRun run;
  services.openFile = [&](const std::filesystem::path& file) { run.opened.push_back(file); };
  SharedData store;
  store.setExcelData(data);
  std::ofstream(reportFile) << "an earlier client's report";
  OutputCapture output;
  performScoringRun(store, services);
  run.lines = output.lines();
  run.earlierReportLeft = std::filesystem::exists(reportFile);
  // Whatever the run did, the window's store holds what it held.
  EXPECT_EQ(store.excelData(), data);
  return run;
}

RecordedRun runRecorded(const ExcelData& data, bool background, const std::string& closeFailure) {
  std::shared_ptr<platform::Recording> recording;
  const ReportServices services{
      [&] { return background ? std::optional(blankBackground()) : std::nullopt; },
      [&](const std::filesystem::path&, std::string&) -> std::unique_ptr<platform::DocumentContext> {
        recording = std::make_shared<platform::Recording>();
        auto context = std::make_unique<platform::RecordingContext>(
            recording, [](std::string_view text, double) { return 10.0 * static_cast<double>(text.size()); });
        if (!closeFailure.empty()) context->failCloseWith(closeFailure);
        return context;
      },
      {},
  };
  RecordedRun run = runWith(data, services);
  run.recording = recording;
  return run;
}

}  // namespace kelmora::testing
