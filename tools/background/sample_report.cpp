#include "tools/background/sample_report.h"

#include <QColor>
#include <QFontMetricsF>
#include <QPainter>
#include <algorithm>
#include <cmath>
#include <optional>
#include <utility>

#include "base/diagnostics.h"
#include "base/resource_folder.h"
#include "norms/conversion_tables.h"
#include "platform/image.h"
#include "platform/recording_painter.h"
#include "platform/system_font.h"
#include "report/page_layout.h"
#include "report/scoring_run.h"
#include "tools/sample_client/sample_client.h"

namespace kelmora::background {
namespace {

namespace L = kelmora::layout;

bool near(double a, double b) { return std::abs(a - b) < 0.01; }

struct Place {
  const char* what;
  const char* widest;
  bool leftAligned = false;
};

// What a box must take at the place where the report anchors a text (its left
// end is only the name's): the longest name we allow for, the highest raw
// score of any subtest, and the widest value of each column.
std::optional<Place> placeOf(double left, double right, double y) {
  if (near(left, L::name.x) && near(y, L::name.y)) return Place{"name", "Kristoffer Bjørgvin Øyjordsæther", true};
  if (near(y, L::subtestScoreRowY)) return Place{"profile scaled score", "19"};
  if (near(y, L::indexScoreRow.y)) return Place{"profile index score", "160"};
  if (near(y, L::sumRow.y)) return Place{"sum", "190"};
  if (near(y, L::sexCrossY) || near(y, L::handednessCrossY)) return Place{"cross", "X"};
  if (near(right, L::rawColumn.x)) return Place{"raw score", "135"};
  for (std::size_t k = 0; k < indexGroupCount; ++k) {
    if (near(right, L::scaledColumn.x + L::scaledColumnWidth * static_cast<double>(k))) {
      return Place{"scaled score", "19"};
    }
  }
  const std::pair<double, Place> columns[] = {
      {L::indexColumnX[0], {"index sum", "190"}},
      {L::indexColumnX[1], {"index score", "160"}},
      {L::indexColumnX[2], {"percentile", ">99,9"}},
      {L::indexColumnX[3], {"confidence interval", "155-163"}},
      {L::yearColumnX, {"year", "2024"}},
      {L::monthColumnX, {"month", "12"}},
      {L::dayColumnX, {"day", "30"}},
  };
  for (const auto& [x, place] : columns)
    if (near(right, x)) return place;
  return std::nullopt;
}

SampleMark widened(const platform::Operation& text) {
  const double right = text.at.x + text.width;
  const auto place = placeOf(text.at.x, right, text.at.y);
  if (!place) return {QString(), QString::fromStdString(text.text), right, text.at.y, text.fontSize};
  const double x = place->leftAligned ? text.at.x : right;
  return {QString::fromUtf8(place->what),
          QString::fromUtf8(place->widest),
          x,
          text.at.y,
          text.fontSize,
          place->leftAligned};
}

}  // namespace

bool loadConversionTables(const std::filesystem::path& resources) {
  bundle::setResourceDirectory(resources);
  OutputCapture quiet;
  loadTables();
  return std::all_of(indexes.begin(), indexes.end(),
                     [](const Index& index) { return tables.contains(std::string(index.table)); });
}

std::shared_ptr<const platform::Recording> recordedReport(const QImage& form, const ExcelData& client) {
  auto recording = std::make_shared<platform::Recording>();
  const platform::Image background(form);
  const ReportServices services{
      [&] { return std::optional(background); },
      [&](const std::filesystem::path&, std::string&) -> std::unique_ptr<platform::DocumentContext> {
        return std::make_unique<platform::RecordingContext>(recording, platform::systemFontTextWidth);
      },
      [](const std::filesystem::path&) {},
  };
  SharedData store;
  store.setExcelData(client);
  // The run's diagnostic lines are of no use here.
  OutputCapture quiet;
  performScoringRun(store, services);
  if (!recording->closed) return nullptr;
  return recording;
}

QImage drawPreview(const QImage& form) {
  const auto recording = recordedReport(form, sampleClient());
  if (!recording) return {};
  QImage preview(form.size(), QImage::Format_RGB32);
  preview.setDotsPerMeterX(form.dotsPerMeterX());
  preview.setDotsPerMeterY(form.dotsPerMeterY());
  preview.fill(Qt::white);
  QPainter painter(&preview);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setRenderHint(QPainter::TextAntialiasing);
  platform::RecordingPaint paint;
  // In colour, to tell the report's marks from the form.
  paint.ink = QColor(0x10, 0x3c, 0xb4);
  platform::paintRecording(*recording, painter, paint);
  painter.end();
  return preview;
}

std::vector<SampleMark> sampleMarks(const QImage& form) {
  // The report crosses the left box for "M" and "V" only.
  // Whole strings swapped in, not letters copied over the old one: GCC 12
  // warns falsely of overlap (-Wrestrict) for that copy in an optimised build.
  const auto otherOf = [](const std::string& box, std::string left, std::string right) {
    return box == left ? right : left;
  };
  ExcelData otherBoxes = sampleClient();
  otherBoxes["Kjønn"] = otherOf(otherBoxes["Kjønn"], "M", "K");
  otherBoxes["Hendthet"] = otherOf(otherBoxes["Hendthet"], "V", "H");
  std::vector<SampleMark> marks;
  for (const ExcelData& client : {sampleClient(), otherBoxes}) {
    const auto recording = recordedReport(form, client);
    if (!recording) return {};
    for (const auto& text : recording->visibleTexts()) {
      const SampleMark mark = widened(text);
      const bool known = std::any_of(marks.begin(), marks.end(), [&](const SampleMark& other) {
        return near(other.x, mark.x) && near(other.y, mark.y) && other.leftAligned == mark.leftAligned;
      });
      if (!known) marks.push_back(mark);
    }
  }
  return marks;
}

QRectF markRect(const SampleMark& mark) {
  const QFontMetricsF metrics = platform::systemFontMetrics(mark.fontSize);
  const double width = metrics.horizontalAdvance(mark.text);
  const double left = mark.leftAligned ? mark.x : mark.x - width;
  const double lineHeight = metrics.ascent() + metrics.descent();
  return {left, L::pageHeight - mark.y - lineHeight, width, lineHeight};
}

}  // namespace kelmora::background
