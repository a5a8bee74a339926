// Feeds arbitrary packages to the workbook reader and the import. The first
// byte picks the form of the rest:
//   even: the bytes of a file, imported through handleFile by path;
//   odd:  parts, packed into a package uncompressed (see parts_form.h).

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>

#include "base/diagnostics.h"
#include "data/workbook_import.h"
#include "data/xlsx/xlsx_file.h"
#include "fuzz/data/parts_form.h"
#include "support/scratch_folder.h"

namespace {

// One file in a folder of its own, removed when the run ends.
std::filesystem::path scratchFile() {
  static const kelmora::testing::ScratchFolder folder;
  return folder / "workbook.xlsx";
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const std::string_view rest(reinterpret_cast<const char*>(data) + 1, size - 1);
  kelmora::OutputCapture quiet;
  bool showAlert = false;
  if (data[0] % 2 == 0) {
    {
      std::ofstream out(scratchFile(), std::ios::binary | std::ios::trunc);
      out.write(rest.data(), static_cast<std::streamsize>(rest.size()));
    }
    (void)kelmora::handleFile(scratchFile(), showAlert);
  } else {
    const std::string bytes = kelmora::fuzz::packParts(rest);
    if (auto file = kelmora::xlsx::XLSXFile::openBuffer(bytes)) {
      (void)kelmora::importWorkbook(*file, showAlert);
      // Every row kept: the reader's own model, not only the import's two rows.
      try {
        for (const auto& workbook : file->parseWorkbooks()) {
          for (const auto& sheet : file->parseWorksheetPathsAndNames(workbook))
            (void)file->parseWorksheet(sheet.second);
        }
      } catch (const std::exception&) {}
    }
  }
  return 0;
}
