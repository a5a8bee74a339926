// The scoring run from a loaded store to a closed "test.pdf", with the real
// background form and conversion tables; the viewer is not started.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <QGuiApplication>
#include <filesystem>
#include <string>

#include "app/report_services.h"
#include "base/diagnostics.h"
#include "base/resource_folder.h"
#include "norms/conversion_tables.h"
#include "platform/recording_context.h"
#include "report/scoring_run.h"
#include "support/scratch_folder.h"
#include "tools/sample_client/sample_client.h"

namespace {

using namespace kelmora;

void BM_ScoringRunToPdf(benchmark::State& state) {
  // A working directory of its own for the report file.
  const testing::ScratchFolder scratch(testing::ScratchFolder::asWorkingDirectory);
  SharedData store;
  store.setExcelData(sampleClient());
  ReportServices services = productionServices();
  int opened = 0;
  services.openFile = [&](const std::filesystem::path&) { ++opened; };
  for (auto _ : state) {
    OutputCapture output;
    performScoringRun(store, services);
  }
  if (opened != static_cast<int>(state.iterations())) state.SkipWithError("the report was not completed");
  state.counters["pdf_bytes"] = static_cast<double>(std::filesystem::file_size("test.pdf"));
}
BENCHMARK(BM_ScoringRunToPdf)->Unit(benchmark::kMillisecond);

// The same run drawn into a recording: the cost of everything but the PDF.
void BM_ScoringRunRecorded(benchmark::State& state) {
  SharedData store;
  store.setExcelData(sampleClient());
  ReportServices services = productionServices();
  services.createDocument = [](const std::filesystem::path&,
                               std::string&) -> std::unique_ptr<platform::DocumentContext> {
    return std::make_unique<platform::RecordingContext>();
  };
  services.openFile = [](const std::filesystem::path&) {};
  for (auto _ : state) {
    OutputCapture output;
    performScoringRun(store, services);
  }
}
BENCHMARK(BM_ScoringRunRecorded)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication application(argc, argv);
  bundle::setResourceDirectory(KELMORA_BENCH_RESOURCES);
  {
    OutputCapture quiet;
    loadTables();
  }
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
