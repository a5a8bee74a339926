// Everything a run prints, in order, against a recorded transcript: a line
// that moves, changes or goes missing, a lookup in the wrong band, a dump of
// the wrong store, all show here. The norm lookups print the shipped norm
// rows, so the transcripts hold only for the demonstration tables.
//
// After a deliberate change, write the transcripts anew with
//   KELMORA_WRITE_TRANSCRIPTS=1 ctest -R '^report.Transcript'
// and read the difference before committing it.

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

#include "norms/conversion_tables.h"
#include "report_fixture.h"

namespace kelmora {
namespace {

using TranscriptTest = testing::ReportTest;

std::string joined(const std::vector<std::string>& lines) {
  std::string text;
  for (const auto& line : lines) text += line + "\n";
  return text;
}

void expectTranscript(const std::vector<std::string>& lines, const std::string& name) {
  const std::string file = std::string(KELMORA_TRANSCRIPTS) + "/" + name + ".txt";
  if (std::getenv("KELMORA_WRITE_TRANSCRIPTS")) {
    std::ofstream(file, std::ios::binary | std::ios::trunc) << joined(lines);
    GTEST_SKIP() << "wrote " << file;
  }
  std::ifstream in(file, std::ios::binary);
  ASSERT_TRUE(in) << "no transcript " << file;
  std::stringstream recorded;
  recorded << in.rdbuf();
  std::vector<std::string> expected;
  std::string line;
  while (std::getline(recorded, line)) expected.push_back(line);
  ASSERT_EQ(lines.size(), expected.size());
  for (std::size_t i = 0; i < lines.size(); ++i) EXPECT_EQ(lines[i], expected[i]) << "line " << i + 1;
}

TEST_F(TranscriptTest, ACompleteClient) {
#ifndef KELMORA_DEMO_TABLES
  GTEST_SKIP() << "recorded with the demonstration tables";
#endif
  expectTranscript(testing::runRecorded(testing::completeClient()).lines, "complete_client");
}

TEST_F(TranscriptTest, AClientWhoseRunStopsAtTheSums) {
#ifndef KELMORA_DEMO_TABLES
  GTEST_SKIP() << "recorded with the demonstration tables";
#endif
  // A client of 24 (band "20", so that the run's check lookup in band "35"
  // reads other rows than the client's own) without verbal scores: the
  // verbal sum is 0, below every row of its table.
  ExcelData client = testing::completeClient();
  client["Fødselsdato"] = "15-03-2000";
  for (const char* code : {"Li", "Of", "In"}) client.erase(code);
  tables["VFI"].erase(tables["VFI"].begin());
  expectTranscript(testing::runRecorded(client).lines, "stopping_client");
}

}  // namespace
}  // namespace kelmora
