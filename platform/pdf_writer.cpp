#include "platform/pdf_writer.h"

#include <QBuffer>
#include <QByteArray>
#include <QColor>
#include <QImage>
#include <QMarginsF>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPainterPath>
#include <QPdfWriter>
#include <QPen>
#include <QString>
#include <QTransform>
#include <algorithm>
#include <cmath>
#include <optional>

#include "base/diagnostics.h"
#include "platform/pdf_appended_image.h"
#include "platform/system_font.h"

namespace kelmora::platform {
namespace {

// Qt writes a coordinate correctly only while it is moderate: past 2^32 it
// writes garbage that breaks the page's content stream, and a viewer then
// drops everything drawn after it. A point this far out is off the page
// either way, so holding it at a million points changes nothing visible.
constexpr double farOffThePage = 1e6;

double onWritableScale(double coordinate) {
  if (std::isnan(coordinate)) return 0;
  return std::clamp(coordinate, -farOffThePage, farOffThePage);
}

QPointF toQPoint(Point point) { return QPointF(onWritableScale(point.x), onWritableScale(point.y)); }

QRectF toQRect(const Rect& r) {
  return QRectF(onWritableScale(r.x), onWritableScale(r.y), onWritableScale(r.width), onWritableScale(r.height));
}

QColor toQColor(const Color& color) {
  return QColor::fromRgbF(static_cast<float>(color.red), static_cast<float>(color.green),
                          static_cast<float>(color.blue), static_cast<float>(color.alpha));
}

QPainterPath toQPath(const std::vector<Subpath>& subpaths) {
  QPainterPath path;
  for (const auto& subpath : subpaths) {
    if (subpath.ellipse) {
      path.addEllipse(toQRect(subpath.ellipseRect));
      continue;
    }
    path.moveTo(toQPoint(subpath.points.front()));
    for (std::size_t i = 1; i < subpath.points.size(); ++i) path.lineTo(toQPoint(subpath.points[i]));
  }
  return path;
}

QPen penFor(const PaintState& state) {
  // Butt caps, miter joins and a miter limit of 10, as a PDF reader assumes
  // by default; Qt's own (square caps, bevel joins) would lengthen every
  // profile segment by half the line width at each end.
  QPen pen(toQColor(state.strokeColor), state.lineWidth, Qt::SolidLine, Qt::FlatCap, Qt::MiterJoin);
  pen.setMiterLimit(10);
  return pen;
}

void setPage(QPdfWriter& writer, const Rect& mediaBox) {
  // An exact match: the nearest standard size (1190 x 1684 would become A2,
  // 1191 points wide) must not replace the background's own size.
  writer.setPageSize(QPageSize(QSizeF(mediaBox.width, mediaBox.height), QPageSize::Point, QString(),
                                QPageSize::ExactMatch));
  writer.setPageMargins(QMarginsF(0, 0, 0, 0), QPageLayout::Point);
}

// Paints the recorded pages; the page space has y upward, Qt's y downward.
void replay(const Recording& recording, QPdfWriter& writer, QPainter& painter, const ImageToAppend* appended) {
  bool firstPage = true;
  for (const auto& operation : recording.operations) {
    switch (operation.kind) {
      case Operation::Kind::beginPage:
        // The writer begins with the first page already open.
        if (!firstPage) {
          setPage(writer, operation.rect);
          writer.newPage();
        }
        firstPage = false;
        painter.setTransform(QTransform(1, 0, 0, -1, 0, operation.rect.height));
        break;
      case Operation::Kind::image: {
        const QRectF r = toQRect(operation.rect);
        painter.save();
        painter.translate(r.x(), r.y() + r.height());
        painter.scale(1, -1);
        const QImage& image = operation.image->qImage();
        // Qt maps every image onto the unit square, so the stand-in takes
        // exactly the image's place.
        painter.drawImage(QRectF(0, 0, r.width(), r.height()),
                          appended && image.cacheKey() == appended->key ? appended->standIn : image);
        painter.restore();
        break;
      }
      case Operation::Kind::text: {
        if (operation.text.empty()) break;
        painter.save();
        painter.setFont(systemFontOfSize(operation.fontSize));
        painter.setPen(QColor(Qt::black));
        // The line's lower-left corner lies one descent below the baseline.
        painter.translate(toQPoint(Point{operation.at.x, operation.at.y + systemFontDescent(operation.fontSize)}));
        painter.scale(1, -1);
        painter.drawText(QPointF(0, 0), QString::fromStdString(operation.text));
        painter.restore();
        break;
      }
      case Operation::Kind::stroke:
        if (!operation.path.empty()) painter.strokePath(toQPath(operation.path), penFor(operation.state));
        break;
      case Operation::Kind::fill:
        if (!operation.path.empty()) {
          QPainterPath path = toQPath(operation.path);
          path.setFillRule(operation.rule == FillRule::winding ? Qt::WindingFill : Qt::OddEvenFill);
          painter.fillPath(path, QBrush(toQColor(operation.state.fillColor)));
        }
        break;
      default:  // the state of every mark is recorded with it
        break;
    }
  }
}

// The document as Qt makes it in memory; false, with the reason, if Qt fails.
bool render(const Recording& recording, const Rect& firstPage, const ImageToAppend* appended,
            QByteArray& document, std::string& reason) {
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
  replay(recording, writer, painter, appended);
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
  if (output.write(document) != document.size()) {
    reason = output.errorString().toStdString();
    return false;
  }
  return true;
}

}  // namespace kelmora::platform
