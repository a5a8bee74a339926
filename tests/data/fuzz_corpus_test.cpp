// The fuzz target's seed corpus: each seed is a valid input that the import
// reads through or stops at a known failure, and the hostile packages of the
// tests are among the seeds as the test support makes them.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <map>

#include "base/diagnostics.h"
#include "data/hostile_packages.h"
#include "data/workbook_import.h"
#include "data/xlsx/xlsx_file.h"
#include "fuzz/data/parts_form.h"

namespace kelmora::testing {
namespace {

// scripts/fuzz.sh runs with -max_len=16384; a longer seed would be cut.
constexpr std::size_t maxSeedLength = 16384;

// A hostile package stops the import at its own failure, keeping the pairs
// read before it.
TEST(FuzzCorpus, SeedsImportAsTheirPackagesDo) {
  std::map<std::string, const HostilePackage*> hostile;
  for (const auto& package : hostilePackages()) hostile.emplace(seedFileName(package), &package);

  std::size_t seeds = 0;
  for (const auto& entry : std::filesystem::directory_iterator(KELMORA_FUZZ_CORPUS)) {
    const std::string name = entry.path().filename().string();
    SCOPED_TRACE(name);
    ++seeds;
    const std::string seed = readFile(entry.path());
    ASSERT_FALSE(seed.empty());
    EXPECT_LE(seed.size(), maxSeedLength);
    // Decoded as the fuzz target does.
    const bool parts = seed[0] % 2 != 0;
    const std::string bytes = parts ? fuzz::packParts(std::string_view(seed).substr(1)) : seed.substr(1);
    const auto file = xlsx::XLSXFile::openBuffer(bytes);
    ASSERT_TRUE(file);
    ExcelData pairs;
    std::optional<xlsx::XlsxError> failure;
    try {
      OutputCapture quiet;  // a workbook's uneven rows print their lengths
      bool showAlert = false;
      importPairs(*file, pairs, showAlert);
    } catch (const xlsx::XlsxError& error) {
      failure = error;
    }

    const auto found = hostile.find(name);
    if (found == hostile.end()) {
      if (failure) ADD_FAILURE() << "the import stops: " << failure->what();
      continue;
    }
    const HostilePackage& package = *found->second;
    ASSERT_TRUE(failure);
    EXPECT_THAT(*failure, xlsx::IsXlsxError(package.kind, package.part));
    EXPECT_EQ(pairs, package.readBefore);
    // A file's bytes depend on libzip's writer; the parts form does not.
    if (parts) {
      EXPECT_EQ(seed, seedBytes(package)) << "the seed is out of date: run kelmora_write_fuzz_seeds";
    }
    hostile.erase(found);
  }
  EXPECT_GT(seeds, 0u);
  for (const auto& [name, package] : hostile) {
    ADD_FAILURE() << name << " is not in the corpus: run kelmora_write_fuzz_seeds";
  }
}

}  // namespace
}  // namespace kelmora::testing
