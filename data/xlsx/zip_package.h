#pragma once
// Read-only access to the parts of a ZIP package, over libzip.

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

struct zip;

namespace kelmora::xlsx {

// Parts are inflated chunk by chunk and counted as they come, so a part that
// inflates far beyond what its entry declares (a zip bomb) stops at the cap
// instead of filling memory.
inline constexpr std::uint64_t defaultMaxPartSize = std::uint64_t{256} * 1024 * 1024;

class ZipPackage {
 public:
  // Nothing when the file cannot be opened as a ZIP archive.
  static std::optional<ZipPackage> open(const std::filesystem::path& file);
  // The same over bytes in memory, which must outlive the package.
  static std::optional<ZipPackage> openBuffer(std::string_view bytes);

  ZipPackage(ZipPackage&&) noexcept = default;
  ZipPackage& operator=(ZipPackage&&) noexcept = default;
  ~ZipPackage();

  bool hasPart(std::string_view name) const;

  // Hands the part's inflated bytes to `consume` in chunks. Throws XlsxError,
  // naming the part, when it is missing, cannot be inflated, fails its
  // checksum or grows beyond maxPartSize.
  void readPart(std::string_view name, const std::function<void(std::string_view chunk)>& consume) const;

  void setMaxPartSize(std::uint64_t bytes) { maxPartSize_ = bytes; }
  std::uint64_t maxPartSize() const { return maxPartSize_; }

 private:
  struct Closer {
    void operator()(zip* archive) const;
  };
  explicit ZipPackage(zip* archive) : archive_(archive) {}

  std::unique_ptr<zip, Closer> archive_;
  std::uint64_t maxPartSize_ = defaultMaxPartSize;
};

}  // namespace kelmora::xlsx
