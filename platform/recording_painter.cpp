#include "platform/recording_painter.h"

#include <QPainter>
#include <QPainterPath>
#include <QPen>
#include <QString>
#include <QTransform>
#include <algorithm>
#include <cmath>

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

QPen penFor(const QColor& colour, double width) {
  // Butt caps, miter joins and a miter limit of 10, as a PDF reader assumes
  // by default; Qt's own (square caps, bevel joins) would lengthen every
  // profile segment by half the line width at each end.
  QPen pen(colour, width, Qt::SolidLine, Qt::FlatCap, Qt::MiterJoin);
  pen.setMiterLimit(10);
  return pen;
}

}  // namespace

void paintRecording(const Recording& recording, QPainter& painter, const RecordingPaint& paint) {
  const auto colourOf = [&](const Color& color) { return paint.ink ? *paint.ink : toQColor(color); };
  bool firstPage = true;
  for (const auto& operation : recording.operations) {
    switch (operation.kind) {
      case Operation::Kind::beginPage:
        if (paint.beginPage) paint.beginPage(operation.rect, firstPage);
        firstPage = false;
        painter.setTransform(QTransform(1, 0, 0, -1, 0, operation.rect.height));
        break;
      case Operation::Kind::image: {
        const QRectF r = toQRect(operation.rect);
        painter.save();
        painter.translate(r.x(), r.y() + r.height());
        painter.scale(1, -1);
        const QImage& image = operation.image->qImage();
        // Qt maps every image onto the unit square, so a stand-in takes
        // exactly the image's place.
        painter.drawImage(QRectF(0, 0, r.width(), r.height()),
                          paint.imageInPlaceOf ? paint.imageInPlaceOf(image) : image);
        painter.restore();
        break;
      }
      case Operation::Kind::text: {
        if (operation.text.empty()) break;
        painter.save();
        painter.setFont(systemFontOfSize(operation.fontSize));
        // The context sets every text in black.
        painter.setPen(paint.ink ? *paint.ink : QColor(Qt::black));
        // The line's lower-left corner lies one descent below the baseline.
        painter.translate(toQPoint(Point{operation.at.x, operation.at.y + systemFontDescent(operation.fontSize)}));
        painter.scale(1, -1);
        painter.drawText(QPointF(0, 0), QString::fromStdString(operation.text));
        painter.restore();
        break;
      }
      case Operation::Kind::stroke:
        if (!operation.path.empty()) {
          painter.strokePath(toQPath(operation.path),
                             penFor(colourOf(operation.state.strokeColor), operation.state.lineWidth));
        }
        break;
      case Operation::Kind::fill:
        if (!operation.path.empty()) {
          QPainterPath path = toQPath(operation.path);
          path.setFillRule(operation.rule == FillRule::winding ? Qt::WindingFill : Qt::OddEvenFill);
          painter.fillPath(path, QBrush(colourOf(operation.state.fillColor)));
        }
        break;
      default:  // the state of every mark is recorded with it
        break;
    }
  }
}

}  // namespace kelmora::platform
