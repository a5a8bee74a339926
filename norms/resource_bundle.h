#pragma once
// The application's resources folder: where the conversion tables, the
// background image and the help page are found at run time.
//
// In the build tree the folder "resources" stands beside the executables; in
// the installed layout it is <prefix>/share/kelmora/resources. Tests point it
// at a folder of their own.

#include <filesystem>
#include <optional>
#include <string_view>

namespace kelmora::bundle {

// Uses this folder from now on, instead of the one found beside the program.
void setResourceDirectory(const std::filesystem::path& directory);

// The folder in use: the one set, or else the first of the candidates beside
// the running program that exists.
std::filesystem::path resourceDirectory();

// The file "<name>.<type>" in the resources folder, or no value when there is
// no such regular file.
std::optional<std::filesystem::path> pathForResource(std::string_view name, std::string_view type);

}  // namespace kelmora::bundle
