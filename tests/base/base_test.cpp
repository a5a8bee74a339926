// The helpers below every subsystem: whole numbers, the printer's number
// forms and joins, strict UTF-8, whole files and the resources folder.

#include <gtest/gtest.h>

#include <fstream>
#include <limits>

#include "base/diagnostics.h"
#include "base/file_reading.h"
#include "base/resource_folder.h"
#include "base/utf8.h"
#include "base/whole_number.h"
#include "support/scratch_folder.h"

namespace kelmora {
namespace {

TEST(WholeNumber, OptionalSignThenDigitsWithinSixtyFourBits) {
  constexpr auto lowest = std::numeric_limits<std::int64_t>::min();
  constexpr auto highest = std::numeric_limits<std::int64_t>::max();
  // clang-format off
  const std::pair<const char*, std::optional<std::int64_t>> cases[] = {
      {"7", 7}, {"+7", 7}, {"-7", -7}, {"007", 7}, {"-0", 0},
      {"9223372036854775807", highest}, {"-9223372036854775808", lowest},
      {"9223372036854775808", std::nullopt}, {"-9223372036854775809", std::nullopt},
      {"", std::nullopt}, {"+", std::nullopt}, {" 7", std::nullopt}, {"7 ", std::nullopt},
      {"7.0", std::nullopt}, {"1e3", std::nullopt}, {"+-7", std::nullopt}, {"0x7", std::nullopt},
      {"\xD9\xA7", std::nullopt},  // an Arabic-Indic seven
  };
  // clang-format on
  for (const auto& [text, number] : cases) EXPECT_EQ(parseWholeNumber(text), number) << text;
  EXPECT_EQ(formatWholeNumber(lowest), "-9223372036854775808");
}

TEST(Diagnostics, ItemsJoinedByOneBlankInTheirOwnForms) {
  OutputCapture output;
  printItems("x, y = ", 812.0, ", ", 1194.5);
  printItems("Ugyldig input for kategori ", "Tm", ": ", std::int64_t{99}, ".");
  printItems(0.1, -82.5, 1e20, true);
  printItems(std::map<std::string, std::string>{{"a", "1"}}, std::vector<std::string>{"b", ""});
  EXPECT_EQ(output.lines(), (std::vector<std::string>{
                                "x, y =  812.0 ,  1194.5",
                                "Ugyldig input for kategori  Tm :  99 .",
                                "0.1 -82.5 100000000000000000000.0 true",
                                R"(["a": "1"] ["b", ""])",
                            }));
}

TEST(Utf8, StrictDecodingAndOneByteOrderMark) {
  const struct {
    const char* bytes;
    std::optional<char32_t> code;
    std::size_t length;
  } cases[] = {
      {"a", U'a', 1},
      {"\xC3\xB8", U'\u00F8', 2},
      {"\xE3\x80\x80", U'\u3000', 3},
      {"\xF0\x9F\x98\x80", U'\U0001F600', 4},
      {"\xC0\xA0", std::nullopt, 0},          // an overlong blank
      {"\xED\xA0\x80", std::nullopt, 0},      // a surrogate
      {"\xF4\x90\x80\x80", std::nullopt, 0},  // above U+10FFFF
      {"\xE3\x80", std::nullopt, 0},          // cut short
      {"\x80", std::nullopt, 0},              // a continuation byte alone
  };
  for (const auto& c : cases) {
    const auto decoded = decodeUtf8(c.bytes, 0);
    EXPECT_EQ(decoded ? std::optional(decoded->code) : std::nullopt, c.code) << c.bytes;
    if (decoded) {
      EXPECT_EQ(decoded->length, c.length) << c.bytes;
    }
  }
  EXPECT_EQ(firstIllFormedByte("ab\xC3\xB8"
                               "c\xFF"),
            5u);
  EXPECT_EQ(firstIllFormedByte("ab\xC3\xB8"), std::nullopt);
  EXPECT_EQ(withoutByteOrderMark("\xEF\xBB\xBF\xEF\xBB\xBF"
                                 "10"),
            "\xEF\xBB\xBF"
            "10");
  EXPECT_EQ(withoutByteOrderMark("10"), "10");
}

// The file's bytes, or after "! " why they cannot be read.
std::string bytesOrError(const std::filesystem::path& path) {
  auto read = readWholeFile(path);
  if (const auto* error = std::get_if<FileReadError>(&read)) return "! " + error->description;
  return std::get<std::string>(std::move(read));
}

TEST(FileReading, EveryByteInItsPlaceWhateverTheSizeOrWhyNot) {
  testing::ScratchFolder folder;
  // Around the size of one read and over several.
  for (const std::size_t size : {0, 16383, 16384, 16385, 100000}) {
    std::string bytes(size, '\0');
    for (std::size_t i = 0; i < size; ++i) bytes[i] = static_cast<char>(i * 7 % 251);
    std::ofstream(folder / "file", std::ios::binary | std::ios::trunc) << bytes;
    EXPECT_TRUE(bytesOrError(folder / "file") == bytes) << size << " bytes";
  }
  EXPECT_EQ(bytesOrError(folder / "missing"), "! filen kan ikke åpnes (No such file or directory)");
  EXPECT_EQ(bytesOrError(folder.path()), "! filen kan ikke leses (Is a directory)");
}

TEST(ResourceFolder, FoundBesideTheProgramInTheBuildTreeOrInstalled) {
  testing::ScratchFolder folder;
  namespace fs = std::filesystem;
  // Installed: <prefix>/bin and <prefix>/share/kelmora/resources.
  fs::create_directories(folder / "bin");
  fs::create_directories(folder / "share/kelmora/resources");
  EXPECT_EQ(bundle::resourceDirectoryBeside(folder / "bin"), folder / "share/kelmora/resources");
  // The build tree: "resources" beside the program comes first.
  fs::create_directories(folder / "bin/resources");
  EXPECT_EQ(bundle::resourceDirectoryBeside(folder / "bin"), folder / "bin/resources");

  std::ofstream(folder / "bin/resources/Sheet 1-VFI.csv") << "10;100\n";
  fs::create_directories(folder / "bin/resources/help.html");  // a folder is no resource
  {
    // Until a folder is set there are no resources, not even in the working directory.
    const testing::ScratchFolder here(testing::ScratchFolder::asWorkingDirectory);
    std::ofstream("Sheet 1-VFI.csv") << "10;100\n";
    bundle::setResourceDirectory({});
    EXPECT_EQ(bundle::pathForResource("Sheet 1-VFI", "csv"), std::nullopt) << "no folder set";
  }
  bundle::setResourceDirectory(folder / "bin/resources");
  EXPECT_EQ(bundle::pathForResource("Sheet 1-VFI", "csv"), folder / "bin/resources/Sheet 1-VFI.csv");
  EXPECT_EQ(bundle::pathForResource("help", "html"), std::nullopt);
  EXPECT_EQ(bundle::pathForResource("Sheet 2-PRI", "csv"), std::nullopt);
  bundle::setResourceDirectory({});
}

}  // namespace
}  // namespace kelmora
