// The band-file format that the build compiles into the norm tables.

#include <gtest/gtest.h>

#include "norms/norm_file.h"

namespace kelmora {
namespace {

// One row for each code but the first, which the cases supply.
std::string otherCodes() {
  std::string text;
  for (std::size_t i = 1; i < subtestCodes.size(); ++i) text += std::string(subtestCodes[i]) + ";1;0;9\n";
  return text;
}

TEST(NormFile, RowsInFileOrder) {
  const std::string text = "\xEF\xBB\xBFTm;1;0;8\r\n\nTm;19;9;66\n  \n" + otherCodes() + "Tm;3;-2;+4";
  const auto parsed = parseNormFile(text);
  ASSERT_TRUE(std::holds_alternative<std::vector<NormFileRow>>(parsed));
  const auto& rows = std::get<std::vector<NormFileRow>>(parsed);
  ASSERT_EQ(rows.size(), 17u);
  EXPECT_EQ(rows[0], (NormFileRow{"Tm", 1, 0, 8}));
  EXPECT_EQ(rows[1], (NormFileRow{"Tm", 19, 9, 66}));
  EXPECT_EQ(rows[2], (NormFileRow{"Li", 1, 0, 9}));
  EXPECT_EQ(rows[16], (NormFileRow{"Tm", 3, -2, 4}));
}

// A malformed line is named by its number; a code without rows names the file.
TEST(NormFile, MalformedLinesAndMissingCodes) {
  const auto tmLine = [](const std::string& line) { return "Tm;1;0;8\n\n" + line + "\n" + otherCodes(); };
  const std::tuple<std::string, std::size_t, std::string> cases[] = {
      {tmLine("Tm;1;0"), 3, "expected 4 fields (code;scaled;lowest;highest), found 3"},
      {tmLine("Tm;1;0;8;"), 3, "expected 4 fields (code;scaled;lowest;highest), found 5"},
      {tmLine("TM;1;0;8"), 3, "unknown subtest code \"TM\""},
      {tmLine("Tm;one;0;8"), 3, "scaled score \"one\" is not a whole number"},
      {tmLine("Tm;1; 0;8"), 3, "lowest raw score \" 0\" is not a whole number"},
      {tmLine("Tm;1;0;8.0"), 3, "highest raw score \"8.0\" is not a whole number"},
      {tmLine("Tm;1;0;"), 3, "highest raw score \"\" is not a whole number"},
      {tmLine("Tm;1;0;9223372036854775808"), 3, "highest raw score \"9223372036854775808\" is not a whole number"},
      {otherCodes(), 0, "no rows for subtest code \"Tm\""},
  };
  for (const auto& [text, line, message] : cases) {
    const auto parsed = parseNormFile(text);
    ASSERT_TRUE(std::holds_alternative<NormFileError>(parsed)) << text;
    EXPECT_EQ(std::get<NormFileError>(parsed).line, line) << message;
    EXPECT_EQ(std::get<NormFileError>(parsed).message, message);
  }
}

}  // namespace
}  // namespace kelmora
