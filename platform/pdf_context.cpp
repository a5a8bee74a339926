#include "platform/pdf_context.h"

#include <QBuffer>
#include <QByteArray>
#include <QColor>
#include <QMarginsF>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPainterPath>
#include <QPdfWriter>
#include <QPen>
#include <QSaveFile>
#include <QString>
#include <QTransform>
#include <system_error>
#include <vector>

#include "platform/named_image.h"
#include "platform/system_font.h"

namespace kelmora::platform {
namespace {

QColor toQColor(const Color& color) {
  return QColor::fromRgbF(static_cast<float>(color.red), static_cast<float>(color.green),
                          static_cast<float>(color.blue), static_cast<float>(color.alpha));
}

// What a save of the graphics state keeps; the path is not part of it.
struct GraphicsState {
  Color strokeColor;  // the initial colours are opaque black
  Color fillColor;
  double lineWidth = 1.0;
};

}  // namespace

struct PdfContext::State {
  std::filesystem::path file;
  QSaveFile output;
  QByteArray document;
  QBuffer buffer{&document};
  std::unique_ptr<QPdfWriter> writer;
  QPainter painter;
  QPainterPath path;
  GraphicsState graphics;
  std::vector<GraphicsState> savedStates;
  bool closed = false;
  bool finished = false;  // close() was tried

  explicit State(const std::filesystem::path& target) : file(target), output(QString::fromStdString(target.string())) {}

  QPen pen() const {
    // Butt caps, miter joins and a miter limit of 10, as a PDF reader assumes
    // by default; Qt's own defaults (square caps, bevel joins) would lengthen
    // every profile segment by half the line width at each end.
    QPen pen(toQColor(graphics.strokeColor), graphics.lineWidth, Qt::SolidLine, Qt::FlatCap, Qt::MiterJoin);
    pen.setMiterLimit(10);
    return pen;
  }
};

std::unique_ptr<PdfContext> PdfContext::create(const std::filesystem::path& file, std::string& reason) {
  auto state = std::make_unique<State>(file);
  if (!state->output.open(QIODevice::WriteOnly)) {
    reason = state->output.errorString().toStdString();
    return nullptr;
  }
  state->buffer.open(QIODevice::WriteOnly);
  state->writer = std::make_unique<QPdfWriter>(&state->buffer);
  // One unit is one point.
  state->writer->setResolution(72);
  return std::unique_ptr<PdfContext>(new PdfContext(std::move(state)));
}

PdfContext::PdfContext(std::unique_ptr<State> state) : state_(std::move(state)) {}

PdfContext::~PdfContext() {
  if (state_->painter.isActive()) state_->painter.end();
  if (!state_->closed) {
    state_->output.cancelWriting();
    std::error_code error;
    std::filesystem::remove(state_->file, error);
  }
}

void PdfContext::setStrokeColor(const Color& color) { state_->graphics.strokeColor = color; }
void PdfContext::setFillColor(const Color& color) { state_->graphics.fillColor = color; }
void PdfContext::setLineWidth(double width) { state_->graphics.lineWidth = width; }

void PdfContext::moveTo(Point point) { state_->path.moveTo(point.x, point.y); }
void PdfContext::addLineTo(Point point) { state_->path.lineTo(point.x, point.y); }
void PdfContext::addEllipseInRect(Rect rect) {
  state_->path.addEllipse(QRectF(rect.x, rect.y, rect.width, rect.height));
}

void PdfContext::strokePath() {
  if (!state_->path.isEmpty() && state_->painter.isActive()) state_->painter.strokePath(state_->path, state_->pen());
  state_->path = QPainterPath();
}

void PdfContext::fillPath(FillRule rule) {
  if (!state_->path.isEmpty() && state_->painter.isActive()) {
    state_->path.setFillRule(rule == FillRule::winding ? Qt::WindingFill : Qt::OddEvenFill);
    state_->painter.fillPath(state_->path, QBrush(toQColor(state_->graphics.fillColor)));
  }
  state_->path = QPainterPath();
}

void PdfContext::saveGState() {
  state_->savedStates.push_back(state_->graphics);
  if (state_->painter.isActive()) state_->painter.save();
}

void PdfContext::restoreGState() {
  if (state_->savedStates.empty()) return;
  state_->graphics = state_->savedStates.back();
  state_->savedStates.pop_back();
  if (state_->painter.isActive()) state_->painter.restore();
}

void PdfContext::drawImage(const Image& image, Rect rect) {
  if (!state_->painter.isActive()) return;
  // The page space has y upward; the image's rows run downward.
  QPainter& painter = state_->painter;
  painter.save();
  painter.translate(rect.x, rect.y + rect.height);
  painter.scale(1, -1);
  painter.drawImage(QRectF(0, 0, rect.width, rect.height), image.qImage());
  painter.restore();
}

double PdfContext::measureText(std::string_view text, double fontSize) {
  return systemFontTextWidth(text, fontSize);
}

void PdfContext::drawText(std::string_view text, double fontSize, Point lowerLeft) {
  if (!state_->painter.isActive() || text.empty()) return;
  QPainter& painter = state_->painter;
  painter.save();
  painter.setFont(systemFontOfSize(fontSize));
  painter.setPen(QColor(Qt::black));
  // The line's lower-left corner lies one descent below the baseline.
  painter.translate(lowerLeft.x, lowerLeft.y + systemFontDescent(fontSize));
  painter.scale(1, -1);
  painter.drawText(QPointF(0, 0), QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())));
  painter.restore();
}

void PdfContext::beginPage(Rect mediaBox) {
  QPdfWriter& writer = *state_->writer;
  // An exact match: the nearest standard size (1190 x 1684 would become A2,
  // 1191 points wide) must not replace the background's own size.
  writer.setPageSize(QPageSize(QSizeF(mediaBox.width, mediaBox.height), QPageSize::Point, QString(),
                               QPageSize::ExactMatch));
  writer.setPageMargins(QMarginsF(0, 0, 0, 0), QPageLayout::Point);
  if (state_->painter.isActive()) {
    writer.newPage();
  } else {
    state_->painter.begin(&writer);
    // Otherwise Qt stores the background as a JPEG.
    state_->painter.setRenderHint(QPainter::LosslessImageRendering);
    state_->painter.setRenderHint(QPainter::Antialiasing);
  }
  state_->painter.setTransform(QTransform(1, 0, 0, -1, 0, mediaBox.height));
}

void PdfContext::endPage() {}

bool PdfContext::close(std::string& reason) {
  State& state = *state_;
  if (state.closed) return true;
  if (state.finished) {
    reason = "the document was already given up";
    return false;
  }
  state.finished = true;
  if (state.painter.isActive() && !state.painter.end()) {
    reason = "the PDF document could not be completed";
    return false;
  }
  state.writer.reset();
  state.buffer.close();
  if (state.output.write(state.document) != state.document.size()) {
    reason = state.output.errorString().toStdString();
    return false;
  }
  if (!state.output.commit()) {
    reason = state.output.errorString().toStdString();
    return false;
  }
  state.closed = true;
  return true;
}

}  // namespace kelmora::platform
