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

// A hostile package, as the test support makes it now, stops the import at
// its own failure and keeps the pairs read before it. Its parts form is its
// seed; a file's bytes depend on libzip's writer and may differ.
TEST(FuzzCorpus, SeedsImportAsTheirPackagesDo) {
  std::map<std::string, const HostilePackage*> hostile;
  for (const auto& package : hostilePackages()) hostile.emplace(seedFileName(package), &package);
  for (const auto& entry : std::filesystem::directory_iterator(KELMORA_FUZZ_CORPUS)) {
    const std::string name = entry.path().filename().string();
    SCOPED_TRACE(name);
    const auto found = hostile.find(name);
    const HostilePackage* package = found == hostile.end() ? nullptr : found->second;
    std::string seed = readFile(entry.path());
    ASSERT_FALSE(seed.empty());
    EXPECT_LE(seed.size(), maxSeedLength);
    if (package && package->damage) {
      seed = seedBytes(*package);
    } else if (package) {
      EXPECT_EQ(seed, seedBytes(*package)) << "run kelmora_write_fuzz_seeds";
    }
    // Decoded as the fuzz target does.
    const std::string bytes = seed[0] % 2 ? fuzz::packParts(std::string_view(seed).substr(1)) : seed.substr(1);
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
    if (!package) {
      if (failure) ADD_FAILURE() << "the import stops: " << failure->what();
      continue;
    }
    ASSERT_TRUE(failure);
    EXPECT_THAT(*failure, xlsx::IsXlsxError(package->kind, package->part));
    EXPECT_EQ(pairs, package->readBefore);
    hostile.erase(found);
  }
  for (const auto& [name, package] : hostile)
    ADD_FAILURE() << name << " is not in the corpus: run kelmora_write_fuzz_seeds";
}

}  // namespace
}  // namespace kelmora::testing
