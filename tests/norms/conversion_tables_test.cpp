// Reading the conversion tables and looking rows up in them.

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>

#include "base/diagnostics.h"
#include "base/resource_folder.h"
#include "norms/conversion_tables.h"
#include "support/scratch_folder.h"

namespace kelmora {
namespace {

namespace fs = std::filesystem;
using namespace std::string_literals;
using Lines = std::vector<std::string>;

TEST(ConversionTableText, ParsingRules) {
  // clang-format off
  const std::pair<const char*, ConversionTable> cases[] = {
      {"10;A;B;C\r\n11;D;E;F\r\n", {{"10", "A", "B", "C"}, {"11", "D", "E", "F"}}},
      {";12;;D;;", {{"12", "D"}}},
      {"10;A\n;;;\n11;B", {{"10", "A"}, {}, {"11", "B"}}},
      {"\n\r\n\n", {}},
      {"10;A\r11;B\r", {{"10", "A11", "B"}}},
      {"\"10\"; 11 ;07", {{"\"10\"", " 11 ", "07"}}},
      {"Sum;Index\n10;A", {{"Sum", "Index"}, {"10", "A"}}},
  };
  // clang-format on
  for (const auto& [text, rows] : cases) EXPECT_EQ(parseConversionTable(text), rows) << text;
}

// The text, or after "! " why the bytes are not text.
std::string textOrError(std::string_view bytes) {
  const auto decoded = decodeTableText(bytes);
  if (const auto* error = std::get_if<TextDecodingError>(&decoded)) return "! " + error->description;
  return std::get<std::string>(decoded);
}

TEST(ConversionTableText, EncodingIsUtf8WithOrWithoutByteOrderMark) {
  const std::string utf16 = "! teksten er UTF-16; lagre filen som UTF-8";
  const std::string notUtf8 = "! teksten er ikke gyldig UTF-8 (byte 3)";
  // clang-format off
  const std::pair<std::string, std::string> cases[] = {
      {"99,9;\xC3\xB8;\xE2\x80\x93;\xF0\x9F\x98\x80", "99,9;\xC3\xB8;\xE2\x80\x93;\xF0\x9F\x98\x80"},
      {"\xEF\xBB\xBF\xEF\xBB\xBF" "10", "\xEF\xBB\xBF" "10"},  // only one mark is the file's
      {"10;\xFF", notUtf8},       // never in UTF-8; the forms UTF-8 forbids are the decoder's own tests
      {"10;\xE9t\xE9", notUtf8},  // Latin-1
      {"\xFF\xFE" "1\0" "0\0"s, utf16},  // little-endian, with its mark
      {"\xFE\xFF\0" "1\0" "0"s, utf16},  // big-endian, with its mark
      {"1\0" "0\0;\0"s, "! teksten inneholder en NUL-byte (byte 1); er den UTF-16? Lagre filen som UTF-8"},
      {"10;\0"s, "! teksten inneholder en NUL-byte (byte 3); er den UTF-16? Lagre filen som UTF-8"},
  };
  // clang-format on
  for (const auto& [bytes, text] : cases) EXPECT_EQ(textOrError(bytes), text) << bytes;
}

// Each test reads tables from a folder of its own and starts with no tables.
class ConversionTables : public ::testing::Test {
 protected:
  void SetUp() override {
    bundle::setResourceDirectory(folder_.path());
    tables.clear();
  }

  void write(const std::string& name, const std::string& bytes) {
    std::ofstream(folder_ / (name + ".csv"), std::ios::binary | std::ios::trunc) << bytes;
  }
  Lines load() {
    OutputCapture capture;
    loadTables();
    return capture.lines();
  }

  testing::ScratchFolder folder_;
};

TEST_F(ConversionTables, LoadAndReloadKeepEveryTableRead) {
  // The mark is no part of "10", and the row lies past the first 16 KiB.
  write("Sheet 1-VFI", "\xEF\xBB\xBF" + std::string(16384, '\n') + "10;100;50;95-105\n");
  write("Sheet 2-PRI", "11;101;53;96-106\n");
  // A file that opens but cannot be read, also by root.
  fs::create_symlink("/proc/self/mem", folder_ / "Sheet 3-AMI.csv");
  write("Sheet 4-PHI", "13;103;58;98-108\n");
  write("Sheet 5-FSIQ", "14;104;61;99-109\n");
  EXPECT_EQ(load(), (Lines{"Tabellene lastes!",
                           "Feil ved lesing av fil: Sheet 3-AMI.csv: filen kan ikke leses (Input/output error)"}));
  // clang-format off
  ConversionTableMap expected = {{"VFI", {{"10", "100", "50", "95-105"}}}, {"PRI", {{"11", "101", "53", "96-106"}}},
                                 {"PHI", {{"13", "103", "58", "98-108"}}}, {"FSIQ", {{"14", "104", "61", "99-109"}}}};
  // clang-format on
  EXPECT_EQ(tables, expected);

  // A file that fails now leaves the table read before; one that reads replaces it.
  write("Sheet 1-VFI", "10;\xFF\n");
  fs::remove(folder_ / "Sheet 2-PRI.csv");
  fs::create_directory(folder_ / "Sheet 2-PRI.csv");  // a folder is no file
  fs::remove(folder_ / "Sheet 3-AMI.csv");
  write("Sheet 3-AMI", "\n\r\n");
  write("Sheet 4-PHI", "13;1;2;3\n13;x\n");
  write("Sheet 5-FSIQ", "\xFF\xFE\x31\x00\x34\x00"s);  // UTF-16
  EXPECT_EQ(load(), (Lines{"Tabellene lastes!",
                           "Feil ved lesing av fil: Sheet 1-VFI.csv: teksten er ikke gyldig UTF-8 (byte 3)",
                           "Filen ble ikke funnet: Sheet 2-PRI.csv",
                           "Feil ved lesing av fil: Sheet 5-FSIQ.csv: teksten er UTF-16; lagre filen som UTF-8"}));
  expected["AMI"] = {};
  expected["PHI"] = {{"13", "1", "2", "3"}, {"13", "x"}};
  EXPECT_EQ(tables, expected);
}

TEST_F(ConversionTables, LookupGivesTheFirstRowWhoseFirstFieldIsTheTextExactly) {
  write("Sheet 1-VFI", "10;A;B;C\r\n11;D;E;F;extra\r\n11;G\r\n07;J\r\n 8;K\r\n;;\r\n");
  load();
  OutputCapture capture;
  EXPECT_EQ(index("VFI", "11"), (ConversionRow{"11", "D", "E", "F", "extra"}));
  EXPECT_EQ(index("PRI", "10"), std::nullopt);  // never loaded
  EXPECT_EQ(capture.lines(),
            (Lines{R"(Tabellen som ble funnet er:  [["10", "A", "B", "C"], ["11", "D", "E", "F", )"
                   R"("extra"], ["11", "G"], ["07", "J"], [" 8", "K"], []])",
                   "Det skal slås opp i verdi:  11", R"(filteredArray:  [["11", "D", "E", "F", "extra"], ["11", "G"]])",
                   "Tabell PRI ikke funnet."}));
  // clang-format off
  const std::pair<const char*, std::optional<ConversionRow>> cases[] = {
      {"10", ConversionRow{"10", "A", "B", "C"}}, {"07", ConversionRow{"07", "J"}}, {"12", std::nullopt},
      {"7", std::nullopt}, {"8", std::nullopt}, {"", std::nullopt}, {"11 ", std::nullopt},
  };
  // clang-format on
  for (const auto& [text, row] : cases) EXPECT_EQ(index("VFI", text), row) << text;
}

// Every sum a complete set of scaled scores can give has a row: an index
// score that does not fall as the sum rises, a percentile and an interval
// around the score. The generator makes them so; this holds it to that.
TEST(ShippedConversionTables, EverySumOfACompleteSetHasARow) {
#ifndef KELMORA_DEMO_TABLES
  GTEST_SKIP() << "checks the form of the demonstration tables";
#endif
  bundle::setResourceDirectory(KELMORA_TEST_RESOURCES);
  OutputCapture quiet;
  loadTables();
  const std::tuple<const char*, int, int> ranges[] = {
      {"VFI", 3, 57}, {"PRI", 3, 57}, {"AMI", 2, 38}, {"PHI", 2, 38}, {"FSIQ", 10, 190}};
  for (const auto& [name, lowest, highest] : ranges) {
    EXPECT_EQ(tables.at(name).size(), static_cast<std::size_t>(highest - lowest + 1)) << name;
    long previous = 0, score = 0, low = 0, high = 0;
    for (int sum = lowest; sum <= highest; ++sum) {
      const auto row = index(name, std::to_string(sum));
      ASSERT_TRUE(row && row->size() == 4) << name << " " << sum;
      ASSERT_EQ(std::sscanf(((*row)[1] + " " + (*row)[3]).c_str(), "%ld %ld-%ld", &score, &low, &high), 3) << sum;
      EXPECT_TRUE(previous <= score && low <= score && score <= high) << name << " " << sum;
      previous = score;
    }
  }
}

}  // namespace
}  // namespace kelmora
