#pragma once
// Reading a whole file into memory.

#include <filesystem>
#include <string>
#include <variant>

namespace kelmora {

// Why a file could not be read, in words for a diagnostic line (Norwegian,
// with the system's own reason in brackets).
struct FileReadError {
  std::string description;
};

// The file's bytes, unchanged.
std::variant<std::string, FileReadError> readWholeFile(const std::filesystem::path& path);

}  // namespace kelmora
