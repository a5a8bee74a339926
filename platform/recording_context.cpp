#include "platform/recording_context.h"

#include <utility>

#include "platform/image.h"
#include "platform/system_font.h"

namespace kelmora::platform {

std::vector<Operation> Recording::ofKind(Operation::Kind kind) const {
  std::vector<Operation> result;
  for (const auto& operation : operations)
    if (operation.kind == kind) result.push_back(operation);
  return result;
}

std::vector<Operation> Recording::visibleTexts() const {
  std::vector<Operation> result;
  for (const auto& operation : operations)
    if (operation.kind == Operation::Kind::text && !operation.text.empty()) result.push_back(operation);
  return result;
}

RecordingContext::RecordingContext(std::shared_ptr<Recording> recording, Measure measure)
    : recording_(std::move(recording)), measure_(std::move(measure)) {
  if (!measure_) measure_ = systemFontTextWidth;
}

RecordingContext::~RecordingContext() {
  if (!recording_->closed) recording_->givenUp = true;
}

Operation RecordingContext::make(Operation::Kind kind) const {
  Operation operation;
  operation.kind = kind;
  operation.state = state_;
  return operation;
}

void RecordingContext::setStrokeColor(const Color& color) { state_.strokeColor = color; }
void RecordingContext::setFillColor(const Color& color) { state_.fillColor = color; }
void RecordingContext::setLineWidth(double width) { state_.lineWidth = width; }

void RecordingContext::moveTo(Point point) { path_.push_back(Subpath{{point}, false, {}}); }

void RecordingContext::addLineTo(Point point) {
  // A line with no current point starts from the origin, as a bare path would.
  if (path_.empty() || path_.back().ellipse) path_.push_back(Subpath{{Point{}}, false, {}});
  path_.back().points.push_back(point);
}

void RecordingContext::addEllipseInRect(Rect rect) { path_.push_back(Subpath{{}, true, rect}); }

void RecordingContext::strokePath() {
  Operation operation = make(Operation::Kind::stroke);
  operation.path = std::exchange(path_, {});
  recording_->operations.push_back(std::move(operation));
}

void RecordingContext::fillPath(FillRule rule) {
  Operation operation = make(Operation::Kind::fill);
  operation.path = std::exchange(path_, {});
  operation.rule = rule;
  recording_->operations.push_back(std::move(operation));
}

void RecordingContext::saveGState() {
  saved_.push_back(state_);
  recording_->operations.push_back(make(Operation::Kind::saveGState));
}

void RecordingContext::restoreGState() {
  if (!saved_.empty()) {
    state_ = saved_.back();
    saved_.pop_back();
  }
  recording_->operations.push_back(make(Operation::Kind::restoreGState));
}

void RecordingContext::drawImage(const Image& image, Rect rect) {
  Operation operation = make(Operation::Kind::image);
  operation.rect = rect;
  operation.image = image;
  recording_->operations.push_back(std::move(operation));
}

double RecordingContext::measureText(std::string_view text, double fontSize) { return measure_(text, fontSize); }

void RecordingContext::drawText(std::string_view text, double fontSize, Point lowerLeft) {
  Operation operation = make(Operation::Kind::text);
  operation.text = std::string(text);
  operation.fontSize = fontSize;
  operation.at = lowerLeft;
  operation.width = measure_(text, fontSize);
  recording_->operations.push_back(std::move(operation));
}

void RecordingContext::beginPage(Rect mediaBox) {
  Operation operation = make(Operation::Kind::beginPage);
  operation.rect = mediaBox;
  recording_->operations.push_back(std::move(operation));
}

void RecordingContext::endPage() { recording_->operations.push_back(make(Operation::Kind::endPage)); }

bool RecordingContext::close(std::string& reason) {
  if (!closeFailure_.empty()) {
    reason = closeFailure_;
    return false;
  }
  recording_->operations.push_back(make(Operation::Kind::close));
  recording_->closed = true;
  return true;
}

}  // namespace kelmora::platform
