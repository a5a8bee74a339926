#pragma once
// The sample client's report over the record form, from the real scoring run:
// the preview to look at, and the places where the report writes, whose boxes
// the tests check. The form can so never disagree with where the report draws.

#include <QImage>
#include <QRectF>
#include <QString>
#include <filesystem>
#include <memory>
#include <vector>

#include "data/shared_data.h"
#include "platform/recording_context.h"

namespace kelmora::background {

// Reads the conversion tables from the resources folder; false unless all of
// them are there.
bool loadConversionTables(const std::filesystem::path& resources);

// The scoring run of the client over the form, recorded with text measured in
// the report's font. Needs the conversion tables; none when the run ends
// without a report.
std::shared_ptr<const platform::Recording> recordedReport(const QImage& form, const ExcelData& client);

// The form with the sample client's report (values, profiles, circle) painted
// over it in blue, to check by eye that everything fits. Null when the run
// makes no report.
QImage drawPreview(const QImage& form);

// A place where the report writes, holding the widest text it must take
// there. x is the right end of the text (the left end when leftAligned), y
// the bottom of its line, in page points with y upward.
struct SampleMark {
  QString what;  // the kind of box; empty for a place the form has no box for
  QString text;
  double x;
  double y;
  double fontSize;
  bool leftAligned = false;
};

// Every place of the sample client's report, and of the same client with the
// other sex and handedness so that each check box is taken once: where the
// run put each text, with the widest text of its kind in its place. Empty
// when a run makes no report.
std::vector<SampleMark> sampleMarks(const QImage& form);

// The rectangle, in image pixels (y down), that the mark's line of text takes
// in the report's font: its width by the height of one line.
QRectF markRect(const SampleMark& mark);

}  // namespace kelmora::background
