#include "base/resource_folder.h"

#include <string>
#include <system_error>

namespace kelmora::bundle {
namespace {
std::filesystem::path chosenDirectory;
}  // namespace

void setResourceDirectory(const std::filesystem::path& directory) { chosenDirectory = directory; }

std::filesystem::path resourceDirectoryBeside(const std::filesystem::path& programDirectory) {
  const std::filesystem::path candidates[] = {
      programDirectory / "resources",
      programDirectory.parent_path() / "share" / "kelmora" / "resources",
      programDirectory.parent_path() / "resources",
  };
  std::error_code error;
  for (const auto& candidate : candidates) {
    if (std::filesystem::is_directory(candidate, error)) return candidate;
  }
  return candidates[0];
}

std::optional<std::filesystem::path> pathForResource(std::string_view name, std::string_view type) {
  if (chosenDirectory.empty()) return std::nullopt;
  std::string fileName(name);
  if (!type.empty()) {
    fileName += '.';
    fileName += type;
  }
  auto path = chosenDirectory / fileName;
  std::error_code error;
  if (!std::filesystem::is_regular_file(path, error)) return std::nullopt;
  return path;
}

}  // namespace kelmora::bundle
