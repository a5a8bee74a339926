#include "platform/pdf_writer.h"

#include <QBuffer>
#include <QByteArray>
#include <QImage>
#include <QMarginsF>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QString>
#include <algorithm>

#include "base/diagnostics.h"
#include "platform/pdf_appended_image.h"
#include "platform/recording_painter.h"

namespace kelmora::platform {
namespace {

void setPage(QPdfWriter& writer, const Rect& mediaBox) {
  // An exact match: the nearest standard size (1190 x 1684 would become A2,
  // 1191 points wide) must not replace the background's own size.
  writer.setPageSize(
      QPageSize(QSizeF(mediaBox.width, mediaBox.height), QPageSize::Point, QString(), QPageSize::ExactMatch));
  writer.setPageMargins(QMarginsF(0, 0, 0, 0), QPageLayout::Point);
}

// The document as Qt makes it in memory; false, with the reason, if Qt fails.
bool render(const Recording& recording, const Rect& firstPage, const ImageToAppend* appended, QByteArray& document,
            std::string& reason) {
  document.clear();
  QBuffer buffer(&document);
  buffer.open(QIODevice::WriteOnly);
  QPdfWriter writer(&buffer);
  // One unit is one point.
  writer.setResolution(72);
  setPage(writer, firstPage);
  QPainter painter;
  if (!painter.begin(&writer)) {
    reason = "the PDF document could not be begun";
    return false;
  }
  // Otherwise Qt stores the background as a JPEG.
  painter.setRenderHint(QPainter::LosslessImageRendering);
  painter.setRenderHint(QPainter::Antialiasing);
  RecordingPaint paint;
  // The writer begins with the first page already open.
  paint.beginPage = [&writer](const Rect& mediaBox, bool firstPage) {
    if (firstPage) return;
    setPage(writer, mediaBox);
    writer.newPage();
  };
  if (appended) {
    paint.imageInPlaceOf = [appended](const QImage& image) -> const QImage& {
      return image.cacheKey() == appended->key ? appended->standIn : image;
    };
  }
  paintRecording(recording, painter, paint);
  if (!painter.end()) {
    reason = "the PDF document could not be completed";
    return false;
  }
  return true;
}

}  // namespace

bool writePdf(const Recording& recording, QIODevice& output, std::string& reason) {
  const auto firstPage = std::find_if(recording.operations.begin(), recording.operations.end(),
                                      [](const Operation& o) { return o.kind == Operation::Kind::beginPage; });
  if (firstPage == recording.operations.end()) {
    reason = "the document has no page";
    return false;
  }

  // A document that does not take the image in place of the stand-in is made
  // again the ordinary way, which costs some ten times as much; the line says
  // why, so that a slow report is not a mystery.
  QByteArray document;
  std::string refusal;
  bool made = false;
  if (const auto appended = imageToAppend(recording, refusal)) {
    if (!render(recording, firstPage->rect, &*appended, document, reason)) return false;
    if (auto updated = withImageForStandIn(document, *appended->pixels, refusal)) {
      document = std::move(*updated);
      made = true;
    }
  }
  if (!made) {
    if (!refusal.empty()) printLine("PDF: bildet skrives på vanlig, langsommere måte: " + refusal);
    if (!render(recording, firstPage->rect, nullptr, document, reason)) return false;
  }
  // A short write (a full disk, a file-size limit) comes without a reason;
  // writing what is left then fails with it.
  for (qint64 written = 0, step = 0; written < document.size(); written += step) {
    step = output.write(document.constData() + written, document.size() - written);
    if (step <= 0) {
      reason = output.errorString().toStdString();
      return false;
    }
  }
  return true;
}

}  // namespace kelmora::platform
