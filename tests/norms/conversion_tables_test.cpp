// Reading the conversion tables and looking rows up in them.

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <regex>

#include "norms/conversion_tables.h"
#include "norms/diagnostics.h"
#include "norms/resource_bundle.h"

namespace kelmora {
namespace {

namespace fs = std::filesystem;
using Lines = std::vector<std::string>;

TEST(ConversionTableText, ParsingRules) {
  const struct {
    const char* text;
    ConversionTable rows;
  } cases[] = {
      {"10;A;B;C\r\n11;D;E;F\r\n", {{"10", "A", "B", "C"}, {"11", "D", "E", "F"}}},
      {"12;;D;E;F", {{"12", "D", "E", "F"}}},
      {";12;D;;", {{"12", "D"}}},
      {"10;A\n;;;\n11;B", {{"10", "A"}, {}, {"11", "B"}}},
      {"\n\r\n\n", {}},
      {"", {}},
      {"10;A\r11;B\r", {{"10", "A11", "B"}}},
      {"\n\n10;A\n\n\n11;B\n\n", {{"10", "A"}, {"11", "B"}}},
      {"\"10\"; 11 ;07", {{"\"10\"", " 11 ", "07"}}},
      {"Sum;Index\n10;A", {{"Sum", "Index"}, {"10", "A"}}},
      {"10;x\r\r\ry", {{"10", "xy"}}},
  };
  for (const auto& c : cases) EXPECT_EQ(parseConversionTable(c.text), c.rows) << c.text;
}

TEST(ConversionTableText, EncodingIsUtf8WithOrWithoutByteOrderMark) {
  const std::pair<std::string, std::string> good[] = {
      {"10;A", "10;A"},
      {"\xEF\xBB\xBF" "10;A", "10;A"},
      {"\xEF\xBB\xBF", ""},
      {"99,9;\xC3\xB8;\xE2\x80\x93;\xF0\x9F\x98\x80", "99,9;\xC3\xB8;\xE2\x80\x93;\xF0\x9F\x98\x80"},
      {"\xEF\xBB\xBF\xEF\xBB\xBF" "10", "\xEF\xBB\xBF" "10"},  // only one mark is the file's
  };
  for (const auto& [bytes, text] : good) {
    const auto decoded = decodeTableText(bytes);
    ASSERT_TRUE(std::holds_alternative<std::string>(decoded)) << bytes;
    EXPECT_EQ(std::get<std::string>(decoded), text);
  }
  const std::string bad[] = {
      "10;\xFF",            // never in UTF-8
      "10;\xC3",            // cut short
      "10;\xC0\xAF",        // overlong
      "10;\xED\xA0\x80",    // surrogate
      "10;\xF4\x90\x80\x80",  // above U+10FFFF
      "10;\xE9t\xE9",       // Latin-1
      "\xFF\xFE" "1\0" "0\0",  // UTF-16
  };
  for (const auto& bytes : bad) {
    EXPECT_TRUE(std::holds_alternative<TextDecodingError>(decodeTableText(bytes))) << bytes;
  }
}

// Each test reads tables from a folder of its own and starts with no tables.
class ConversionTables : public ::testing::Test {
 protected:
  void SetUp() override {
    folder_ = fs::temp_directory_path() /
              ("kelmora-tables-" + std::to_string(::getpid()) + "-" +
               ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(folder_);
    fs::create_directories(folder_);
    bundle::setResourceDirectory(folder_);
    tables.clear();
  }
  void TearDown() override { fs::remove_all(folder_); }

  void write(const std::string& name, const std::string& bytes) {
    std::ofstream(folder_ / (name + ".csv"), std::ios::binary | std::ios::trunc) << bytes;
  }
  void writeAllFive() {
    write("Sheet 1-VFI", "10;100;50;95-105\n");
    write("Sheet 2-PRI", "11;101;53;96-106\n");
    write("Sheet 3-AMI", "12;102;55;97-107\n");
    write("Sheet 4-PHI", "13;103;58;98-108\n");
    write("Sheet 5-FSIQ", "14;104;61;99-109\n");
  }

  fs::path folder_;
};

TEST_F(ConversionTables, LoadReadsAllFiveUnderTheirTableNames) {
  writeAllFive();
  OutputCapture capture;
  loadTables();
  EXPECT_EQ(capture.lines(), Lines{"Tabellene lastes!"});
  EXPECT_EQ(tables, (ConversionTableMap{{"VFI", {{"10", "100", "50", "95-105"}}},
                                        {"PRI", {{"11", "101", "53", "96-106"}}},
                                        {"AMI", {{"12", "102", "55", "97-107"}}},
                                        {"PHI", {{"13", "103", "58", "98-108"}}},
                                        {"FSIQ", {{"14", "104", "61", "99-109"}}}}));
}

TEST_F(ConversionTables, MissingFileLeavesTheOthersLoaded) {
  writeAllFive();
  fs::remove(folder_ / "Sheet 3-AMI.csv");
  OutputCapture capture;
  loadTables();
  EXPECT_EQ(capture.lines(), (Lines{"Tabellene lastes!", "Filen ble ikke funnet"}));
  EXPECT_EQ(tables.size(), 4u);
  EXPECT_FALSE(tables.contains("AMI"));
}

TEST_F(ConversionTables, ReloadKeepsATableWhoseFileNowFails) {
  writeAllFive();
  {
    OutputCapture quiet;
    loadTables();
  }
  write("Sheet 1-VFI", "10;\xFF\n");
  fs::remove(folder_ / "Sheet 2-PRI.csv");
  write("Sheet 3-AMI", "\n\r\n");  // read, so it replaces the earlier table
  write("Sheet 4-PHI", "13;1;2;3\n13;x\n");
  OutputCapture capture;
  loadTables();
  EXPECT_EQ(capture.lines(), (Lines{"Tabellene lastes!", "Feil ved lesing av fil: teksten er ikke gyldig UTF-8 (byte 3)",
                                    "Filen ble ikke funnet"}));
  EXPECT_EQ(tables.at("VFI"), (ConversionTable{{"10", "100", "50", "95-105"}}));
  EXPECT_EQ(tables.at("PRI"), (ConversionTable{{"11", "101", "53", "96-106"}}));
  EXPECT_EQ(tables.at("AMI"), ConversionTable{});
  EXPECT_EQ(tables.at("PHI"), (ConversionTable{{"13", "1", "2", "3"}, {"13", "x"}}));
}

TEST_F(ConversionTables, ByteOrderMarkIsNotPartOfTheFirstField) {
  write("Sheet 1-VFI", "\xEF\xBB\xBF" "10;A;B;C\n");
  EXPECT_EQ(readCSV("Sheet 1-VFI"), (ConversionTable{{"10", "A", "B", "C"}}));
}

TEST_F(ConversionTables, FileThatCannotBeOpenedIsReported) {
  if (::geteuid() == 0) GTEST_SKIP() << "root reads files whatever their permissions";
  write("Sheet 1-VFI", "10;A;B;C\n");
  fs::permissions(folder_ / "Sheet 1-VFI.csv", fs::perms::none);
  OutputCapture capture;
  EXPECT_EQ(readCSV("Sheet 1-VFI"), std::nullopt);
  EXPECT_EQ(capture.lines(), Lines{"Feil ved lesing av fil: filen kan ikke åpnes (Permission denied)"});
}

TEST_F(ConversionTables, FolderWithTheFileNameIsNotAFile) {
  fs::create_directories(folder_ / "Sheet 1-VFI.csv");
  OutputCapture capture;
  EXPECT_EQ(readCSV("Sheet 1-VFI"), std::nullopt);
  EXPECT_EQ(capture.lines(), Lines{"Filen ble ikke funnet"});
}

TEST_F(ConversionTables, LookupFindsTheFirstRowWhoseFirstFieldIsTheTextExactly) {
  write("Sheet 1-VFI", "10;A;B;C\r\n11;D;E;F;extra\r\n11;G;H;I\r\n07;J\r\n 8;K\r\n\"9\";L\r\n;;\r\n");
  {
    OutputCapture quiet;
    loadTables();
  }
  const struct {
    const char* text;
    std::optional<ConversionRow> row;
  } cases[] = {
      {"11", ConversionRow{"11", "D", "E", "F", "extra"}},
      {"10", ConversionRow{"10", "A", "B", "C"}},
      {"07", ConversionRow{"07", "J"}},
      {"12", std::nullopt}, {"7", std::nullopt}, {"8", std::nullopt}, {"9", std::nullopt},
      {"", std::nullopt}, {"11 ", std::nullopt},
  };
  for (const auto& c : cases) {
    OutputCapture quiet;
    EXPECT_EQ(index("VFI", c.text), c.row) << c.text;
  }
}

TEST_F(ConversionTables, LookupPrintsTheTableTheTextAndTheMatches) {
  write("Sheet 2-PRI", "10;A\n11;B\n11;C\n");
  {
    OutputCapture quiet;
    loadTables();
  }
  OutputCapture capture;
  index("PRI", "11");
  index("PRI", "12");
  EXPECT_EQ(capture.lines(), (Lines{
                                 R"(Tabellen som ble funnet er:  [["10", "A"], ["11", "B"], ["11", "C"]])",
                                 "Det skal slås opp i verdi:  11",
                                 R"(filteredArray:  [["11", "B"], ["11", "C"]])",
                                 R"(Tabellen som ble funnet er:  [["10", "A"], ["11", "B"], ["11", "C"]])",
                                 "Det skal slås opp i verdi:  12",
                                 "filteredArray:  []",
                             }));
}

TEST_F(ConversionTables, LookupInATableNeverLoaded) {
  OutputCapture capture;
  EXPECT_EQ(index("VFI", "10"), std::nullopt);
  EXPECT_EQ(index("vfi", "10"), std::nullopt);
  EXPECT_EQ(capture.lines(), (Lines{"Tabell VFI ikke funnet.", "Tabell vfi ikke funnet."}));
}

// ---- the shipped demonstration tables

double percentValue(const std::string& text) {
  std::string plain = text;
  std::replace(plain.begin(), plain.end(), ',', '.');
  if (plain.starts_with("<") || plain.starts_with(">")) plain.erase(0, 1);
  return std::stod(plain);
}

TEST(ShippedConversionTables, EverySumOfACompleteSetHasARow) {
#ifndef KELMORA_DEMO_TABLES
  GTEST_SKIP() << "checks the form of the demonstration tables";
#endif
  bundle::setResourceDirectory(KELMORA_TEST_RESOURCES);
  {
    OutputCapture capture;
    loadTables();
    EXPECT_EQ(capture.lines(), Lines{"Tabellene lastes!"});
  }
  const struct {
    const char* name;
    int lowest, highest;
  } ranges[] = {{"VFI", 3, 57}, {"PRI", 3, 57}, {"AMI", 2, 38}, {"PHI", 2, 38}, {"FSIQ", 10, 190}};
  const std::regex percentile(R"(<0,1|>99,9|[0-9]{1,2}|0,[1-9]|99,[0-9])");
  const std::regex interval(R"(([0-9]+)-([0-9]+))");
  for (const auto& range : ranges) {
    SCOPED_TRACE(range.name);
    const ConversionTable& table = tables.at(range.name);
    EXPECT_EQ(table.size(), static_cast<std::size_t>(range.highest - range.lowest + 1));
    long previousScore = 0;
    double previousPercent = 0;
    for (int sum = range.lowest; sum <= range.highest; ++sum) {
      OutputCapture quiet;
      const auto row = index(range.name, std::to_string(sum));
      ASSERT_TRUE(row.has_value()) << sum;
      ASSERT_EQ(row->size(), 4u) << sum;
      const long score = std::stol((*row)[1]);
      EXPECT_GE(score, previousScore) << sum;
      EXPECT_TRUE(std::regex_match((*row)[2], percentile)) << (*row)[2];
      EXPECT_GE(percentValue((*row)[2]), previousPercent) << sum;
      std::smatch bounds;
      ASSERT_TRUE(std::regex_match((*row)[3], bounds, interval)) << (*row)[3];
      EXPECT_LE(std::stol(bounds[1]), score) << sum;
      EXPECT_GE(std::stol(bounds[2]), score) << sum;
      previousScore = score;
      previousPercent = percentValue((*row)[2]);
    }
  }
}

}  // namespace
}  // namespace kelmora
