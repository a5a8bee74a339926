#include "support/scratch_folder.h"

#include <stdlib.h>

#include <stdexcept>
#include <string>
#include <system_error>

namespace kelmora::testing {

ScratchFolder::ScratchFolder(Mode mode) {
  std::string pattern = (std::filesystem::temp_directory_path() / "kelmora-test-XXXXXX").string();
  if (!mkdtemp(pattern.data())) throw std::runtime_error("cannot make a scratch folder");
  path_ = pattern;
  if (mode == asWorkingDirectory) {
    previous_ = std::filesystem::current_path();
    std::filesystem::current_path(path_);
  }
}

ScratchFolder::~ScratchFolder() {
  std::error_code ignored;
  if (!previous_.empty()) std::filesystem::current_path(previous_, ignored);
  // A test may have taken the folder's own permissions away.
  std::filesystem::permissions(path_, std::filesystem::perms::owner_all, ignored);
  std::filesystem::remove_all(path_, ignored);
}

}  // namespace kelmora::testing
