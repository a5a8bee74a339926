#include "base/file_reading.h"

#include <array>
#include <cerrno>
#include <cstdio>
#include <memory>
#include <system_error>

namespace kelmora {
namespace {

struct FileCloser {
  void operator()(std::FILE* file) const { std::fclose(file); }
};

}  // namespace

std::variant<std::string, FileReadError> readWholeFile(const std::filesystem::path& path) {
  errno = 0;
  std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path.c_str(), "rb"));
  if (!file) {
    return FileReadError{"filen kan ikke åpnes (" + std::generic_category().message(errno) + ")"};
  }
  std::string bytes;
  std::array<char, 16384> buffer;
  while (true) {
    const std::size_t count = std::fread(buffer.data(), 1, buffer.size(), file.get());
    bytes.append(buffer.data(), count);
    if (count < buffer.size()) break;
  }
  if (std::ferror(file.get())) {
    return FileReadError{"filen kan ikke leses (" + std::generic_category().message(errno) + ")"};
  }
  return bytes;
}

}  // namespace kelmora
