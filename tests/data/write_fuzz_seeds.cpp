// Writes every hostile package of the tests as a seed of the import fuzz
// target: kelmora_write_fuzz_seeds [folder], the committed corpus by default.

#include <filesystem>
#include <iostream>

#include "data/hostile_packages.h"

int main(int argc, char** argv) {
  const std::filesystem::path folder = argc > 1 ? argv[1] : KELMORA_FUZZ_CORPUS;
  for (const auto& package : kelmora::testing::hostilePackages()) {
    kelmora::testing::writeFile(folder / seedFileName(package), seedBytes(package));
    std::cout << (folder / seedFileName(package)).string() << '\n';
  }
}
