// The report as a real PDF file, read back with the poppler tools.
#include <gtest/gtest.h>
#include <unistd.h>

#include <QFile>
#include <QImage>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QString>
#include <cmath>
#include <fstream>

#include "norms/conversion_tables.h"
#include "norms/diagnostics.h"
#include "norms/lookup.h"
#include "report/scoring_run.h"
#include "pdf_tools.h"
#include "report_fixture.h"

namespace kelmora {
namespace {

using testing::pdf::runTool;

struct Word {
  QString text;
  double xMin, yMin, xMax, yMax;
};

// The words of the page with their boxes (top-left origin, y down), with
// ligatures and other compatibility forms folded.
std::vector<Word> wordsOf(const QString& bboxHtml) {
  std::vector<Word> words;
  static const QRegularExpression pattern(
      R"re(<word xMin="([\d.]+)" yMin="([\d.]+)" xMax="([\d.]+)" yMax="([\d.]+)">([^<]*)</word>)re");
  auto matches = pattern.globalMatch(bboxHtml);
  while (matches.hasNext()) {
    const auto m = matches.next();
    QString text = m.captured(5).normalized(QString::NormalizationForm_KC);
    text.replace("&amp;", "&").replace("&lt;", "<").replace("&gt;", ">");
    words.push_back({text, m.captured(1).toDouble(), m.captured(2).toDouble(), m.captured(3).toDouble(),
                     m.captured(4).toDouble()});
  }
  return words;
}

struct PdfReportTest : ::testing::Test {
  testing::ScratchFolder folder;
  std::vector<std::filesystem::path> opened;

  void SetUp() override {
    testing::writeConversionTables(folder.resources());
    testing::writeBackground(folder.resources(), 1190, 1684);
    if (QStandardPaths::findExecutable("pdftotext").isEmpty()) GTEST_SKIP() << "poppler-utils are missing";
  }

  std::vector<std::string> run(const ExcelData& data) {
    ReportServices services = productionServices();
    // Never start a viewer from a test.
    services.openFile = [this](const std::filesystem::path& file) { opened.push_back(file); };
    SharedData store;
    store.setExcelData(data);
    OutputCapture output;
    performScoringRun(store, services);
    return output.lines();
  }

  std::vector<std::string> filesInFolder() const {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder.path()))
      if (entry.path().filename() != "resources") names.push_back(entry.path().filename().string());
    return names;
  }
};

TEST_F(PdfReportTest, ACompleteClientGivesOnePageWithTheBackgroundAndTheValuesInPlace) {
  run(testing::completeClient());
  ASSERT_TRUE(std::filesystem::exists("test.pdf"));
  EXPECT_EQ(opened, std::vector<std::filesystem::path>{"test.pdf"});

  const auto info = runTool("pdfinfo", {"test.pdf"});
  ASSERT_TRUE(info);
  EXPECT_TRUE(info->contains(QRegularExpression(R"(Pages:\s+1\n)"))) << info->toStdString();
  EXPECT_TRUE(info->contains(QRegularExpression(R"(Page size:\s+1190 x 1684 pts)"))) << info->toStdString();

  // One image, the background as it is: its size, grey, eight bits a pixel,
  // without lossy compression.
  const auto images = testing::pdf::imagesOf("test.pdf");
  ASSERT_EQ(images.size(), 1u);
  const QStringList expectedColumns{"image", "1190", "1684", "gray", "1", "8", "image"};
  EXPECT_EQ(images[0].mid(2, 7), expectedColumns) << images[0].join(' ').toStdString();
  const QImage background =
      QImage(QString::fromStdString((folder.resources() / "wais-iv.png").string())).convertToFormat(QImage::Format_RGB32);
  EXPECT_TRUE(testing::pdf::storedImageOf("test.pdf") == background);
  // Upright and in place: only the values and the profile stray from it.
  const int stray = testing::pdf::strayPixels(testing::pdf::pageOf("test.pdf", true), background);
  // (The marks take about one pixel in a hundred; a background turned over
  // or left out adds more than one in fifty.)
  EXPECT_GE(stray, 0);
  EXPECT_LT(stray, 1190 * 1684 * 3 / 200);

  // The font is embedded, and only the glyphs used: Qt does not tag the
  // subset's name, so its size shows it (the whole font is some 750 KB).
  const auto fonts = runTool("pdffonts", {"test.pdf"});
  ASSERT_TRUE(fonts);
  const auto fontRows = fonts->split('\n', Qt::SkipEmptyParts).mid(2);
  ASSERT_EQ(fontRows.size(), 1) << fonts->toStdString();
  EXPECT_TRUE(fontRows[0].contains(QRegularExpression(R"(\s+yes\s+\S+\s+yes\s+\d+\s+\d+$)"))) << fonts->toStdString();
  QFile pdf("test.pdf");
  ASSERT_TRUE(pdf.open(QIODevice::ReadOnly));
  const auto fontLength = QRegularExpression(R"(/Length1 (\d+))").match(QString::fromLatin1(pdf.readAll()));
  ASSERT_TRUE(fontLength.hasMatch());
  EXPECT_LT(fontLength.captured(1).toInt(), 100000);

  const auto bbox = runTool("pdftotext", {"-bbox", "test.pdf", "-"});
  ASSERT_TRUE(bbox);
  const auto words = wordsOf(*bbox);
  // Each value must stand with its line's lower-left (or lower-right) corner
  // at its page point, within half a point; page y grows upward.
  const auto findWord = [&](const std::string& text, double x, double y, bool rightEnd) {
    for (const auto& word : words) {
      const double edge = rightEnd ? word.xMax : word.xMin;
      if (word.text == QString::fromStdString(text) && std::abs(edge - x) <= 0.5 &&
          std::abs((1684 - word.yMax) - y) <= 0.5)
        return true;
    }
    return false;
  };
  OutputCapture quiet;
  const std::vector<std::tuple<std::string, double, double, bool>> expected{
      {"Kari", 130, 1510, false},
      {"20", 250, 1194.5, true},
      {std::to_string(*lookupValue("35", "Tm", 20)), 360, 1194.5, true},
      {std::to_string(*lookupValue("35", "Kd", 20)), 460, 812, true},
      {"2024", 976, 1495, true},
      {"1985", 976, 1452.5, true},
      {"26", 1138, 1410, true},
      {"X", 1081, 1366, true},
      {"X", 977, 1317, true},
      {"8", 1150, 1190, true},  // "sUt", at the right edge of the profile row
  };
  for (const auto& [text, x, y, rightEnd] : expected)
    EXPECT_TRUE(findWord(text, x, y, rightEnd)) << text << " at " << x << ", " << y << "\n" << bbox->toStdString();
  // The index table's confidence interval of the full scale, at its corner.
  bool intervalFound = false;
  for (const auto& word : words)
    if (word.text.contains('-') && std::abs(word.xMax - 602) <= 0.5 && std::abs((1684 - word.yMax) - 165) <= 0.5)
      intervalFound = true;
  EXPECT_TRUE(intervalFound);
}

TEST_F(PdfReportTest, ARunThatStopsAfterTheSetUpLeavesNoFile) {
  { std::ofstream earlier("test.pdf"); earlier << "the previous client's report"; }
  tables.erase("VFI");
  const auto lines = run(testing::completeClient());
  EXPECT_EQ(lines.back().rfind("Her tryner vi: ", 0), 0u) << lines.back();
  EXPECT_TRUE(filesInFolder().empty());
  EXPECT_TRUE(opened.empty());
}

TEST_F(PdfReportTest, AFolderThatCannotBeWrittenGivesALineAndNoFile) {
  // A removed working directory refuses new files to every user; a folder
  // without write permission only to users other than root.
  const std::filesystem::path inner = folder.path() / "gone";
  std::filesystem::create_directory(inner);
  std::filesystem::current_path(inner);
  std::filesystem::remove(inner);
  auto lines = run(testing::completeClient());
  std::filesystem::current_path(folder.path());
  EXPECT_EQ(lines.back().rfind("Kunne ikke lage rapporten ", 0), 0u) << lines.back();
  EXPECT_NE(lines.back().find("test.pdf: "), std::string::npos) << lines.back();
  EXPECT_GT(lines.back().size(), lines.back().find("test.pdf: ") + 10) << "a reason follows";
  EXPECT_TRUE(opened.empty());

  if (geteuid() != 0) {
    std::filesystem::permissions(folder.path(), std::filesystem::perms::owner_read | std::filesystem::perms::owner_exec);
    lines = run(testing::completeClient());
    std::filesystem::permissions(folder.path(), std::filesystem::perms::owner_all);
    EXPECT_EQ(lines.back().rfind("Kunne ikke lage rapporten " + (folder.path() / "test.pdf").string(), 0), 0u)
        << lines.back();
    EXPECT_TRUE(filesInFolder().empty());
    EXPECT_TRUE(opened.empty());
  }
}

TEST_F(PdfReportTest, AMissingBackgroundEndsTheRunSilently) {
  std::filesystem::remove(folder.resources() / "wais-iv.png");
  { std::ofstream notAnImage(folder.resources() / "wais-iv.png"); notAnImage << "not a picture"; }
  const auto lines = run(testing::completeClient());
  EXPECT_EQ(lines.size(), 1u);
  EXPECT_TRUE(filesInFolder().empty());
}

}  // namespace
}  // namespace kelmora
