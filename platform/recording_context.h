#pragma once
// A drawing context that records what is painted, with the coordinates and
// the state each mark was painted with. Tests look at the page through it;
// the PDF context writes what it recorded.

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/graphics_context.h"
#include "platform/image.h"

namespace kelmora::platform {

struct Subpath {
  std::vector<Point> points;  // a move, then the ends of its lines
  bool ellipse = false;       // else the subpath is the points above
  Rect ellipseRect;
  friend bool operator==(const Subpath&, const Subpath&) = default;
};

struct PaintState {
  Color strokeColor;
  Color fillColor;
  double lineWidth = 1.0;
  friend bool operator==(const PaintState&, const PaintState&) = default;
};

struct Operation {
  enum class Kind { beginPage, endPage, close, saveGState, restoreGState, image, text, stroke, fill };
  Kind kind = Kind::beginPage;
  PaintState state;           // as it stood when the operation was made
  std::vector<Subpath> path;  // stroke, fill: everything the path held
  FillRule rule = FillRule::winding;
  std::string text;  // text
  double fontSize = 0;
  Point at;                    // text: lower-left corner of its line
  double width = 0;            // text: measured width
  Rect rect;                   // image, beginPage
  std::optional<Image> image;  // image
};

// What a context recorded; it outlives the context, so that a test can look
// at a document that the code under test has let go of.
struct Recording {
  std::vector<Operation> operations;
  bool closed = false;
  bool givenUp = false;  // the context went away without a successful close

  std::vector<Operation> ofKind(Operation::Kind kind) const;
  // The texts that leave a mark (empty texts take a place but paint nothing).
  std::vector<Operation> visibleTexts() const;
};

class RecordingContext : public DocumentContext {
 public:
  using Measure = std::function<double(std::string_view text, double fontSize)>;

  // Measures with the system font unless told otherwise.
  explicit RecordingContext(std::shared_ptr<Recording> recording = std::make_shared<Recording>(), Measure measure = {});
  ~RecordingContext() override;

  const Recording& recording() const { return *recording_; }
  const std::vector<Subpath>& currentPath() const { return path_; }

  // When set, close() fails with this reason.
  void failCloseWith(std::string reason) { closeFailure_ = std::move(reason); }

  void setStrokeColor(const Color& color) override;
  void setFillColor(const Color& color) override;
  void setLineWidth(double width) override;
  void moveTo(Point point) override;
  void addLineTo(Point point) override;
  void addEllipseInRect(Rect rect) override;
  void strokePath() override;
  void fillPath(FillRule rule) override;
  void saveGState() override;
  void restoreGState() override;
  void drawImage(const Image& image, Rect rect) override;
  double measureText(std::string_view text, double fontSize) override;
  void drawText(std::string_view text, double fontSize, Point lowerLeft) override;
  void beginPage(Rect mediaBox) override;
  void endPage() override;
  bool close(std::string& reason) override;

 private:
  Operation make(Operation::Kind kind) const;

  std::shared_ptr<Recording> recording_;
  Measure measure_;
  PaintState state_;
  std::vector<PaintState> saved_;
  std::vector<Subpath> path_;
  std::string closeFailure_;
};

}  // namespace kelmora::platform
