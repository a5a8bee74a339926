#pragma once
// The desktop: opening a file or an address with its default application.

#include <filesystem>
#include <string>

namespace kelmora::platform {

// The answer of the desktop is not looked at.
void openFile(const std::filesystem::path& file);
void openURL(const std::string& address);

}  // namespace kelmora::platform
