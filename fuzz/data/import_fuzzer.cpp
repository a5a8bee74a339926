// Feeds arbitrary packages to the workbook reader and the import. The first
// byte picks the form of the rest:
//   even: the bytes of a file, imported through handleFile by path;
//   odd:  parts, each "name\n" followed by its content, separated by NUL
//         bytes, packed into a package uncompressed, so that mutations reach
//         the XML of each part instead of breaking the deflate stream.

#include <unistd.h>
#include <zip.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>

#include "data/workbook_import.h"
#include "data/xlsx/xlsx_file.h"
#include "base/diagnostics.h"

namespace {

// Packs the parts into a ZIP archive in memory; empty when libzip refuses.
std::string packParts(std::string_view text) {
  zip_error_t error;
  zip_error_init(&error);
  zip_source_t* buffer = zip_source_buffer_create(nullptr, 0, 0, &error);
  zip_error_fini(&error);
  if (!buffer) return {};
  zip_source_keep(buffer);
  zip_t* archive = zip_open_from_source(buffer, ZIP_TRUNCATE, nullptr);
  if (!archive) {
    zip_source_free(buffer);
    zip_source_free(buffer);
    return {};
  }
  while (!text.empty()) {
    const auto end = std::min(text.find('\0'), text.size());
    const std::string_view part = text.substr(0, end);
    text.remove_prefix(std::min(end + 1, text.size()));
    const auto newline = part.find('\n');
    if (newline == std::string_view::npos || newline == 0) continue;
    const std::string name(part.substr(0, newline));
    const std::string_view content = part.substr(newline + 1);
    zip_source_t* source = zip_source_buffer(archive, content.data(), content.size(), 0);
    if (!source) continue;
    const zip_int64_t index = zip_file_add(archive, name.c_str(), source, ZIP_FL_OVERWRITE);
    if (index < 0) {
      zip_source_free(source);
      continue;
    }
    zip_set_file_compression(archive, static_cast<zip_uint64_t>(index), ZIP_CM_STORE, 0);
  }
  std::string bytes;
  if (zip_close(archive) != 0) {
    zip_discard(archive);
  } else if (zip_source_open(buffer) == 0) {
    char chunk[4096];
    zip_int64_t count;
    while ((count = zip_source_read(buffer, chunk, sizeof chunk)) > 0) bytes.append(chunk, static_cast<std::size_t>(count));
    zip_source_close(buffer);
  }
  zip_source_free(buffer);
  return bytes;
}

const std::filesystem::path& scratchFile() {
  static const std::filesystem::path path =
      std::filesystem::temp_directory_path() / ("kelmora-fuzz-" + std::to_string(getpid()) + ".xlsx");
  return path;
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
    const std::string bytes = packParts(rest);
    if (auto file = kelmora::xlsx::XLSXFile::openBuffer(bytes)) {
      (void)kelmora::importWorkbook(*file, showAlert);
      // Every row kept: the reader's own model, not only the import's two rows.
      try {
        for (const auto& workbook : file->parseWorkbooks()) {
          for (const auto& sheet : file->parseWorksheetPathsAndNames(workbook)) (void)file->parseWorksheet(sheet.second);
        }
      } catch (const std::exception&) {
      }
    }
  }
  return 0;
}
