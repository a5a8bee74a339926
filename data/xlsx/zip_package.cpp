#include "data/xlsx/zip_package.h"

#include <zip.h>

#include <array>

#include "data/xlsx/xlsx_error.h"

namespace kelmora::xlsx {
namespace {

constexpr std::size_t chunkSize = 64 * 1024;

std::string describe(zip_error_t* error) {
  const char* text = zip_error_strerror(error);
  return text ? text : "unknown error";
}

// A failed checksum is told apart: the entry was readable, its bytes are not
// the ones written.
XlsxError unreadable(const std::string& partName, zip_error_t* error) {
  const auto kind =
      zip_error_code_zip(error) == ZIP_ER_CRC ? XlsxError::Kind::crcMismatch : XlsxError::Kind::unreadablePart;
  return XlsxError(kind, partName, partName + ": cannot be read: " + describe(error));
}

struct FileCloser {
  void operator()(zip_file_t* file) const { zip_fclose(file); }
};

}  // namespace

void ZipPackage::Closer::operator()(zip* archive) const {
  // Read-only: nothing to write back.
  zip_discard(archive);
}

ZipPackage::~ZipPackage() = default;

std::optional<ZipPackage> ZipPackage::open(const std::filesystem::path& file) {
  int errorCode = 0;
  zip_t* archive = zip_open(file.c_str(), ZIP_RDONLY, &errorCode);
  if (!archive) return std::nullopt;
  return ZipPackage(archive);
}

std::optional<ZipPackage> ZipPackage::openBuffer(std::string_view bytes) {
  zip_error_t error;
  zip_error_init(&error);
  zip_source_t* source = zip_source_buffer_create(bytes.data(), bytes.size(), 0, &error);
  if (!source) {
    zip_error_fini(&error);
    return std::nullopt;
  }
  zip_t* archive = zip_open_from_source(source, ZIP_RDONLY, &error);
  zip_error_fini(&error);
  if (!archive) {
    zip_source_free(source);
    return std::nullopt;
  }
  return ZipPackage(archive);
}

bool ZipPackage::hasPart(std::string_view name) const {
  return zip_name_locate(archive_.get(), std::string(name).c_str(), ZIP_FL_ENC_GUESS) >= 0;
}

void ZipPackage::readPart(std::string_view name, const std::function<void(std::string_view chunk)>& consume) const {
  const std::string partName(name);
  const zip_int64_t index = zip_name_locate(archive_.get(), partName.c_str(), ZIP_FL_ENC_GUESS);
  if (index < 0) throw XlsxError(XlsxError::Kind::missingPart, partName, "the package has no part " + partName);

  std::unique_ptr<zip_file_t, FileCloser> file(zip_fopen_index(archive_.get(), static_cast<zip_uint64_t>(index), 0));
  if (!file) throw unreadable(partName, zip_get_error(archive_.get()));

  std::array<char, chunkSize> buffer;
  std::uint64_t total = 0;
  for (;;) {
    const zip_int64_t count = zip_fread(file.get(), buffer.data(), buffer.size());
    if (count < 0) throw unreadable(partName, zip_file_get_error(file.get()));
    if (count == 0) break;
    total += static_cast<std::uint64_t>(count);
    if (total > maxPartSize_) {
      throw XlsxError(XlsxError::Kind::partTooLarge, partName,
                      partName + ": the part inflates to more than " + std::to_string(maxPartSize_) +
                          " bytes, more than a workbook part may hold");
    }
    consume(std::string_view(buffer.data(), static_cast<std::size_t>(count)));
  }
}

}  // namespace kelmora::xlsx
