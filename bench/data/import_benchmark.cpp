// The import of a small client workbook, and of workbooks whose one sheet has
// many rows after the two that are read: the large case should cost about
// one pass of inflating and scanning the part, in memory that does not grow
// with the rows.

#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <map>
#include <memory>
#include <stdexcept>

#include "base/diagnostics.h"
#include "data/workbook_import.h"
#include "data/xlsx/xlsx_file.h"
#include "data/xlsx/xml_reader.h"
#include "support/package_builder.h"
#include "support/scratch_folder.h"
#include "support/workbook_writer.h"

namespace kelmora {
namespace {

testing::ScratchFolder& folder() {
  static testing::ScratchFolder scratch;
  return scratch;
}

// The end-to-end client's workbook, as that test loads it.
std::filesystem::path endToEndClientWorkbook() {
  static const std::filesystem::path path = [] {
    const auto file = folder() / "klient.xlsx";
    if (!testing::writeWorkbook(file, testing::endToEndClientWorkbook()))
      throw std::runtime_error("cannot write the client workbook");
    return file;
  }();
  return path;
}

// Ten numeric cells and a date in each row; rows are written out as they are
// made, so making the file needs little memory either.
std::filesystem::path largeWorkbook(std::int64_t rows) {
  static std::map<std::int64_t, std::filesystem::path> made;
  if (auto found = made.find(rows); found != made.end()) return found->second;
  testing::WorkbookLayout layout;
  layout.sheets = {std::string()};
  // Eleven keys over the eleven columns, as shared strings.
  std::string keyRow = "<row r=\"1\">";
  layout.sharedStrings.emplace();
  for (int key = 0; key < 11; ++key) {
    *layout.sharedStrings += "<si><t>Felt " + std::to_string(key) + "</t></si>";
    keyRow +=
        "<c r=\"" + std::string(1, static_cast<char>('A' + key)) + "1\" t=\"s\"><v>" + std::to_string(key) + "</v></c>";
  }
  keyRow += "</row>";
  auto parts = testing::workbookParts(layout);
  testing::Part sheet{
      "xl/worksheets/sheet1.xml",
      R"(<worksheet xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main"><sheetData>)" + keyRow};
  sheet.rest = [rows](std::ostream& out) {
    for (std::int64_t row = 2; row <= rows + 1; ++row) {
      const std::string r = std::to_string(row);
      out << "<row r=\"" << r << "\">";
      for (char column = 'A'; column <= 'J'; ++column) {
        out << "<c r=\"" << column << r << "\"><v>" << row * 7 % 1000 << "</v></c>";
      }
      out << "<c r=\"K" << r << "\" s=\"1\"><v>45000</v></c></row>";
    }
    out << "</sheetData></worksheet>";
  };
  parts = testing::withParts(parts, {sheet});
  const auto file = folder() / ("rader-" + std::to_string(rows) + ".xlsx");
  testing::writePackage(file, parts);
  return made[rows] = file;
}

void importOnce(benchmark::State& state, const std::filesystem::path& file) {
  OutputCapture quiet;  // the import's diagnostic lines are not what is measured
  bool showAlert = false;
  for (auto _ : state) {
    auto result = handleFile(file, showAlert);
    benchmark::DoNotOptimize(result);
    if (!result || result->size() < 5) state.SkipWithError("the workbook did not import");
  }
  state.counters["file_bytes"] = static_cast<double>(std::filesystem::file_size(file));
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  state.counters["peak_rss_kib"] = static_cast<double>(usage.ru_maxrss);
}

void BM_ImportClientWorkbook(benchmark::State& state) { importOnce(state, endToEndClientWorkbook()); }
BENCHMARK(BM_ImportClientWorkbook)->Unit(benchmark::kMicrosecond);

void BM_ImportLargeSheet(benchmark::State& state) {
  const auto file = largeWorkbook(state.range(0));
  importOnce(state, file);
  state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_ImportLargeSheet)->Arg(20'000)->Arg(200'000)->Unit(benchmark::kMillisecond);

// Reference points for the large import: inflating the sheet alone, and
// inflating it and scanning its XML with no handling at all.
struct IgnoreAll : xlsx::XmlHandler {
  void startElement(std::string_view, const xlsx::XmlAttributes&) override {}
  void endElement(std::string_view) override {}
};

void BM_InflateSheetOnly(benchmark::State& state) {
  const auto file = xlsx::XLSXFile::open(largeWorkbook(state.range(0)));
  std::uint64_t bytes = 0;
  for (auto _ : state) {
    bytes = 0;
    file->package().readPart("xl/worksheets/sheet1.xml", [&](std::string_view chunk) { bytes += chunk.size(); });
  }
  state.counters["part_bytes"] = static_cast<double>(bytes);
}
BENCHMARK(BM_InflateSheetOnly)->Arg(200'000)->Unit(benchmark::kMillisecond);

void BM_InflateAndScanSheet(benchmark::State& state) {
  const auto file = xlsx::XLSXFile::open(largeWorkbook(state.range(0)));
  for (auto _ : state) {
    IgnoreAll handler;
    xlsx::readXmlPart(file->package(), "xl/worksheets/sheet1.xml", handler);
  }
}
BENCHMARK(BM_InflateAndScanSheet)->Arg(200'000)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace kelmora

BENCHMARK_MAIN();
