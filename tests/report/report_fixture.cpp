#include "report_fixture.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <QColor>
#include <QImage>
#include <QPainter>
#include <cmath>
#include <cstdlib>
#include <fstream>

#include "norms/conversion_tables.h"
#include "norms/diagnostics.h"
#include "norms/resource_bundle.h"
#include "platform/named_image.h"

namespace kelmora::testing {

ScratchFolder::ScratchFolder() : previous_(std::filesystem::current_path()) {
  std::string pattern = (std::filesystem::temp_directory_path() / "kelmora-report-XXXXXX").string();
  if (!mkdtemp(pattern.data())) throw std::runtime_error("no scratch folder");
  path_ = pattern;
  std::filesystem::create_directory(resources());
  std::filesystem::current_path(path_);
  bundle::setResourceDirectory(resources());
}

ScratchFolder::~ScratchFolder() {
  std::filesystem::current_path(previous_);
  std::error_code error;
  std::filesystem::permissions(path_, std::filesystem::perms::owner_all, error);
  std::filesystem::remove_all(path_, error);
}

std::vector<std::string> conversionRow(const std::string& table, std::int64_t sum) {
  const std::int64_t base = table == "VFI" ? 50 : table == "PRI" ? 51 : table == "AMI" ? 52 : table == "PHI" ? 53 : 40;
  const std::int64_t score = base + sum;
  return {std::to_string(sum), std::to_string(score), std::to_string(sum % 100),
          std::to_string(score - 5) + "-" + std::to_string(score + 5)};
}

void writeConversionTables(const std::filesystem::path& resources) {
  const std::pair<const char*, const char*> files[] = {
      {"VFI", "Sheet 1-VFI"}, {"PRI", "Sheet 2-PRI"}, {"AMI", "Sheet 3-AMI"},
      {"PHI", "Sheet 4-PHI"}, {"FSIQ", "Sheet 5-FSIQ"}};
  for (const auto& [table, file] : files) {
    std::ofstream out(resources / (std::string(file) + ".csv"));
    for (std::int64_t sum = 0; sum <= 400; ++sum) {
      const auto row = conversionRow(table, sum);
      out << row[0] << ';' << row[1] << ';' << row[2] << ';' << row[3] << "\r\n";
    }
  }
  OutputCapture quiet;
  loadTables();
}

void writeBackground(const std::filesystem::path& resources, int width, int height) {
  QImage image(width, height, QImage::Format_RGB32);
  image.fill(Qt::white);
  QPainter painter(&image);
  painter.setPen(QColor(120, 120, 120));
  for (int y = 40; y < height; y += 85) painter.drawLine(20, y, width - 20, y);
  painter.end();
  ASSERT_TRUE(image.save(QString::fromStdString((resources / "wais-iv.png").string()), "PNG"));
}

ExcelData completeClient() {
  ExcelData data{{"Navn", "Kari Nordmann"}, {"Fødselsdato", "15-03-1985"}, {"Testdato", "10-06-2024"},
                 {"Kjønn", "K"},           {"Hendthet", "V"},
                 {"sRs", "10"},            {"sVf", "11"},                  {"sBu", "9"},
                 {"sBt", "12"},            {"sUt", "8"}};
  for (const char* code : {"Tm", "Li", "Th", "Mr", "Of", "Rg", "Sl", "Vp", "In", "Kd"}) data[code] = "20";
  return data;
}

namespace {
double tenPerCharacter(std::string_view text, double) { return 10.0 * static_cast<double>(text.size()); }

std::optional<std::string> textWhere(const platform::Recording& recording, double x, double y, bool rightEnd) {
  std::optional<std::string> found;
  for (const auto& text : recording.visibleTexts()) {
    const double edge = rightEnd ? text.at.x + text.width : text.at.x;
    if (std::abs(edge - x) < 1e-9 && std::abs(text.at.y - y) < 1e-9) {
      EXPECT_FALSE(found) << "two texts at " << x << ", " << y;
      found = text.text;
    }
  }
  return found;
}
}  // namespace

std::optional<std::string> RecordedRun::textEndingAt(double x, double y) const {
  return recording ? textWhere(*recording, x, y, true) : std::nullopt;
}

std::optional<std::string> RecordedRun::textStartingAt(double x, double y) const {
  return recording ? textWhere(*recording, x, y, false) : std::nullopt;
}

std::vector<platform::Operation> RecordedRun::strokes() const {
  return recording ? recording->ofKind(platform::Operation::Kind::stroke) : std::vector<platform::Operation>{};
}

RecordedRun runRecorded(const ExcelData& data, const RunOptions& options) {
  RecordedRun run;
  ReportServices services{
      [&]() -> std::optional<platform::Image> {
        if (!options.background) return std::nullopt;
        return platform::Image(QImage(1190, 1684, QImage::Format_RGB32));
      },
      [&](const std::filesystem::path& file, std::string& reason) -> std::unique_ptr<platform::DocumentContext> {
        run.requested.push_back(file);
        if (!options.createFailure.empty()) {
          reason = options.createFailure;
          return nullptr;
        }
        run.recording = std::make_shared<platform::Recording>();
        auto context = std::make_unique<platform::RecordingContext>(run.recording, tenPerCharacter);
        if (!options.closeFailure.empty()) context->failCloseWith(options.closeFailure);
        return context;
      },
      [&](const std::filesystem::path& file) { run.opened.push_back(file); },
  };
  SharedData store;
  store.setExcelData(data);
  OutputCapture output;
  performScoringRun(store, services);
  run.lines = output.lines();
  // Whatever the run did, the window's store holds what it held.
  EXPECT_EQ(store.excelData(), data);
  return run;
}

}  // namespace kelmora::testing
