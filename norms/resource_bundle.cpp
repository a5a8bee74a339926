#include "norms/resource_bundle.h"

#include <string>
#include <system_error>

namespace kelmora::bundle {
namespace {
std::optional<std::filesystem::path> chosenDirectory;

std::filesystem::path executableDirectory() {
  std::error_code error;
  auto executable = std::filesystem::read_symlink("/proc/self/exe", error);
  if (error) return std::filesystem::current_path(error);
  return executable.parent_path();
}
}  // namespace

void setResourceDirectory(const std::filesystem::path& directory) { chosenDirectory = directory; }

std::filesystem::path resourceDirectory() {
  if (chosenDirectory) return *chosenDirectory;
  const auto here = executableDirectory();
  const std::filesystem::path candidates[] = {
      here / "resources",
      here.parent_path() / "share" / "kelmora" / "resources",
      here.parent_path() / "resources",
  };
  std::error_code error;
  for (const auto& candidate : candidates) {
    if (std::filesystem::is_directory(candidate, error)) return candidate;
  }
  return candidates[0];
}

std::optional<std::filesystem::path> pathForResource(std::string_view name, std::string_view type) {
  std::string fileName(name);
  if (!type.empty()) {
    fileName += '.';
    fileName += type;
  }
  auto path = resourceDirectory() / fileName;
  std::error_code error;
  if (!std::filesystem::is_regular_file(path, error)) return std::nullopt;
  return path;
}

}  // namespace kelmora::bundle
