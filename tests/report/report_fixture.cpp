#include "report_fixture.h"

#include <cmath>
#include <fstream>

#include "base/diagnostics.h"
#include "base/resource_folder.h"
#include "norms/conversion_tables.h"
#include "norms/lookup.h"
#include "tools/sample_client/sample_client.h"

namespace kelmora::testing {

std::vector<std::string> conversionRow(const std::string& table, std::int64_t sum) {
  const std::int64_t base = table == "VFI" ? 50 : table == "PRI" ? 51 : table == "AMI" ? 52 : table == "PHI" ? 53 : 40;
  const std::int64_t score = base + sum;
  return {std::to_string(sum), std::to_string(score), std::to_string(sum % 100),
          std::to_string(score - 5) + "-" + std::to_string(score + 5)};
}

void writeConversionTables(const std::filesystem::path& resources) {
  // clang-format off
  const std::pair<const char*, const char*> files[] = {
      {"VFI", "Sheet 1-VFI"}, {"PRI", "Sheet 2-PRI"}, {"AMI", "Sheet 3-AMI"},
      {"PHI", "Sheet 4-PHI"}, {"FSIQ", "Sheet 5-FSIQ"}};
  // clang-format on
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

void ReportTest::SetUp() {
  std::filesystem::create_directory(resources);
  bundle::setResourceDirectory(resources);
  writeConversionTables(resources);
}

ExcelData completeClient() { return sampleClient(); }

// What the page should show for the complete client, worked out on the side.
ExcelData expectedValues() {
  ExcelData values = completeClient();
  OutputCapture quiet;
  for (const char* code : {"Tm", "Li", "Th", "Mr", "Of", "Rg", "Sl", "Vp", "In", "Kd"})
    values[std::string("s") + code] = std::to_string(lookupValue("35", code, std::stoll(values.at(code))).value());
  const std::tuple<std::string, std::string, std::vector<std::string>> groups[] = {
      {"vfi", "VFI", {"sLi", "sOf", "sIn"}},
      {"pri", "PRI", {"sTm", "sMr", "sVp"}},
      {"ami", "AMI", {"sTh", "sRg"}},
      {"phi", "PHI", {"sSl", "sKd"}},
      {"fsiq", "FSIQ", {"svfi", "spri", "sami", "sphi"}}};
  for (const auto& [group, table, keys] : groups) {
    std::int64_t sum = 0;
    for (const auto& key : keys) sum += std::stoll(values.at(key));
    values["s" + group] = std::to_string(sum);
    const auto row = conversionRow(table, sum);
    const char* suffixes[] = {"", "IQ", "prosentil", "konfidensintervall"};
    for (int i = 0; i < 4; ++i) values["i" + group + suffixes[i]] = row[i];
  }
  values.insert({{"X", "X"},
                 {"testår", "2024"},
                 {"testmåned", "6"},
                 {"testdag", "10"},
                 {"fødselsår", "1985"},
                 {"fødselsmåned", "3"},
                 {"fødselsdag", "15"},
                 {"alderår", "39"},
                 {"aldermåneder", "2"},
                 {"alderdager", "26"}});
  return values;
}

std::vector<Mark> rightAlignedMarks() {
  std::vector<Mark> marks{{"X", 1081, 1366}, {"X", 977, 1317}};  // "Kjønn" is "K", "Hendthet" is "V"
  // Raw scores from the bottom up, each scaled score on its row in its group's column.
  const std::pair<std::string, double> rows[] = {{"Kd", 460}, {"In", 310}, {"Vp", 360}, {"Sl", 460}, {"Rg", 410},
                                                 {"Of", 310}, {"Mr", 360}, {"Th", 410}, {"Li", 310}, {"Tm", 360}};
  for (int i = 0; i < 10; ++i) {
    marks.push_back({rows[i].first, 250, 812 + 42.5 * i});
    marks.push_back({"s" + rows[i].first, rows[i].second, 812 + 42.5 * i});
  }
  const std::string groups[] = {"vfi", "pri", "ami", "phi", "fsiq"};
  for (int g = 0; g < 5; ++g) {
    const std::string index = "i" + groups[g];
    const double y = 345 - 45.0 * g;
    marks.insert(marks.end(), {{"s" + groups[g], 295 + 52.0 * g, 560},
                               {index, 270, y},
                               {index + "IQ", 414, y},
                               {index + "prosentil", 489, y},
                               {index + "konfidensintervall", 602, y},
                               {index + "IQ", 748 + 92.0 * g, 648}});
  }
  const char* profileRow[] = {"sLi", "sOf", "sIn", "sRs", "sTm", "sMr", "sVp", "sVf",
                              "sBu", "sTh", "sRg", "sBt", "sSl", "sKd", "sUt"};
  for (int i = 0; i < 15; ++i) marks.push_back({profileRow[i], 702 + 32.0 * i, 1190});
  marks.insert(marks.end(), {{"alderår", 976, 1410},
                             {"aldermåneder", 1055, 1410},
                             {"alderdager", 1138, 1410},
                             {"fødselsår", 976, 1452.5},
                             {"fødselsmåned", 1055, 1452.5},
                             {"fødselsdag", 1138, 1452.5},
                             {"testår", 976, 1495},
                             {"testmåned", 1055, 1495},
                             {"testdag", 1138, 1495}});
  const ExcelData values = expectedValues();
  for (auto& mark : marks) mark.text = values.at(mark.key);
  return marks;
}

// A white background of the form's size, read from a file as the program's
// own is: a PGM is plain enough to write here, so these tests need no image
// code of their own.
platform::Image blankBackground() {
  static const std::optional<platform::Image> image = [] {
    ScratchFolder scratch;
    const auto file = scratch / "background.pgm";
    std::ofstream(file, std::ios::binary) << "P5\n1190 1684\n255\n" << std::string(1190 * 1684, '\xff');
    return platform::loadImage(file);
  }();
  return image.value();
}

std::optional<std::string> RecordedRun::textAt(double x, double y, bool leftEnd) const {
  std::optional<std::string> found;
  if (!recording) return found;
  for (const auto& text : recording->visibleTexts()) {
    const double edge = leftEnd ? text.at.x : text.at.x + text.width;
    if (std::abs(edge - x) < 1e-9 && std::abs(text.at.y - y) < 1e-9) {
      EXPECT_FALSE(found) << "two texts at " << x << ", " << y;
      found = text.text;
    }
  }
  return found;
}

std::vector<platform::Operation> RecordedRun::strokes() const {
  return recording ? recording->ofKind(platform::Operation::Kind::stroke) : std::vector<platform::Operation>{};
}

RecordedRun runRecorded(const ExcelData& data, const RunOptions& options) {
  RecordedRun run;
  const ReportServices services{
      [&]() -> std::optional<platform::Image> {
        if (!options.background) return std::nullopt;
        return blankBackground();
      },
      [&](const std::filesystem::path& file, std::string& reason) -> std::unique_ptr<platform::DocumentContext> {
        run.requested.push_back(file);
        if (!options.createFailure.empty()) {
          reason = options.createFailure;
          return nullptr;
        }
        run.recording = std::make_shared<platform::Recording>();
        auto context = std::make_unique<platform::RecordingContext>(
            run.recording, [](std::string_view text, double) { return 10.0 * static_cast<double>(text.size()); });
        if (!options.closeFailure.empty()) context->failCloseWith(options.closeFailure);
        return context;
      },
      [&](const std::filesystem::path& file) { run.opened.push_back(file); },
  };
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

}  // namespace kelmora::testing
