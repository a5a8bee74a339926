#pragma once
// The application's resources folder: where the conversion tables, the
// background image and the help page are found at run time.
//
// The program sets it at start from where it runs; tests, benchmarks and
// fuzz targets set a folder of their own. Until it is set there are no
// resources.

#include <filesystem>
#include <optional>
#include <string_view>

namespace kelmora::bundle {

// Uses this folder from now on.
void setResourceDirectory(const std::filesystem::path& directory);

// The resources folder of a program that runs from `programDirectory`: in the
// build tree "resources" beside the program, installed
// <prefix>/share/kelmora/resources. The first that exists, else the first.
std::filesystem::path resourceDirectoryBeside(const std::filesystem::path& programDirectory);

// The file "<name>.<type>" in the resources folder, or no value when there is
// no such regular file (or no folder has been set).
std::optional<std::filesystem::path> pathForResource(std::string_view name, std::string_view type);

}  // namespace kelmora::bundle
