#pragma once
// The drawing context that the report is painted through.
//
// Coordinates are page points: origin at the bottom left, y growing upward.
// The state (stroke colour, fill colour, line width) and the current path
// outlive every call: a stroke or a fill paints the whole current path,
// whoever added to it, and empties it. Saving and restoring the graphics
// state covers the colours and the line width, never the path.

#include <string>
#include <string_view>

namespace kelmora::platform {

class Image;

struct Point {
  double x = 0;
  double y = 0;
  friend bool operator==(const Point&, const Point&) = default;
};

struct Rect {
  double x = 0, y = 0;  // the lower-left corner
  double width = 0, height = 0;
  friend bool operator==(const Rect&, const Rect&) = default;
};

// A colour in the generic RGB colour space, components from 0 to 1.
struct Color {
  double red = 0;
  double green = 0;
  double blue = 0;
  double alpha = 1;
  friend bool operator==(const Color&, const Color&) = default;

  static constexpr Color genericRGB(double red, double green, double blue, double alpha) {
    return Color{red, green, blue, alpha};
  }
};

enum class FillRule { winding, evenOdd };

class GraphicsContext {
 public:
  virtual ~GraphicsContext() = default;

  virtual void setStrokeColor(const Color& color) = 0;
  virtual void setFillColor(const Color& color) = 0;
  virtual void setLineWidth(double width) = 0;

  // Path building: draws nothing until a stroke or a fill.
  virtual void moveTo(Point point) = 0;
  virtual void addLineTo(Point point) = 0;
  // The ellipse inscribed in the rectangle, as a closed subpath of its own.
  virtual void addEllipseInRect(Rect rect) = 0;

  virtual void strokePath() = 0;
  virtual void fillPath(FillRule rule) = 0;

  virtual void saveGState() = 0;
  virtual void restoreGState() = 0;

  // The image stretched once into the rectangle.
  virtual void drawImage(const Image& image, Rect rect) = 0;

  // Text in the system font at a size, always black, set on one line.
  virtual double measureText(std::string_view text, double fontSize) = 0;
  // The point is the lower-left corner of the text's line (not its baseline).
  virtual void drawText(std::string_view text, double fontSize, Point lowerLeft) = 0;
};

// A context that writes a document of pages. Until close() succeeds nothing
// is left at the document's place: a document given up before that leaves
// neither a partial file nor the file it was to replace.
class DocumentContext : public GraphicsContext {
 public:
  virtual void beginPage(Rect mediaBox) = 0;
  virtual void endPage() = 0;
  // Completes the document. On failure returns false and sets the reason.
  virtual bool close(std::string& reason) = 0;
};

}  // namespace kelmora::platform
