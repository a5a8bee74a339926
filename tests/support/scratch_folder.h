#pragma once
// A fresh temporary folder for a test, removed with everything in it when the
// object goes.

#include <filesystem>
#include <string_view>

namespace kelmora::testing {

class ScratchFolder {
 public:
  // asWorkingDirectory makes the folder the working directory while it
  // lives; the previous one comes back when it goes.
  enum Mode { aside, asWorkingDirectory };
  explicit ScratchFolder(Mode mode = aside);
  ~ScratchFolder();
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;

  const std::filesystem::path& path() const { return path_; }
  std::filesystem::path operator/(std::string_view name) const { return path_ / name; }

 private:
  std::filesystem::path path_;
  std::filesystem::path previous_;  // empty when set aside
};

}  // namespace kelmora::testing
