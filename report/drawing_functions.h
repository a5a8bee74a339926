#pragma once
// The functions that put the report's content on the page: texts by key, the
// score profiles and the circle. They keep nothing between calls; whatever
// they leave in the context (colours, line width, an unstroked path) is seen
// by the next call on it.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "data/shared_data.h"
#include "platform/graphics_context.h"

namespace kelmora {

using CGFloat = double;
using CGPoint = platform::Point;
using CGColor = platform::Color;

struct CGLine {
  CGFloat x1 = 0;
  CGFloat y1 = 0;
  CGFloat x2 = 0;
  CGFloat y2 = 0;
};

// Moves the text at place i of the drawn order to startPosition.x + entry i x
// width; places beyond the list keep the running x.
struct ColumnTable {
  std::vector<std::int64_t> columns;
  CGFloat width = 0;
};

// Only right alignment differs: every other value draws from the x.
enum class NSTextAlignment { left = 0, center = 1, right = 2 };

inline constexpr CGColor opaqueBlack = CGColor::genericRGB(0, 0, 0, 1);
inline constexpr CGColor opaqueRed = CGColor::genericRGB(1, 0, 0, 1);

// Draws the values under the keys as a column (up) or a row (right). A
// non-zero up reverses the keys, so that with up > 0 the first key ends on
// top. A key without a value is skipped and gives its place to the next; a
// value that reads as the whole number -1 (after trimming blanks) takes its
// place but draws nothing.
void drawText(CGPoint startPosition, const std::vector<std::string>& keys, CGFloat up, CGFloat right,
              const std::optional<ColumnTable>& offset, CGFloat fontSize, NSTextAlignment alignment,
              const SharedData& sharedData, platform::GraphicsContext& context);

// Draws the whole numbers under the keys as a profile line: position i at
// x = start.x + right x i, y = start.y + up x value. A value of -1 has no
// point and its neighbours are joined across it. A key without a whole number
// ends the call before it strokes, leaving its segments in the path.
void drawScores(CGPoint startPosition, const std::vector<std::string>& keys, CGFloat up, CGFloat right,
                const SharedData& sharedData, platform::GraphicsContext& context);

// Outlines a circle. It also fills, after the stroke has emptied the path, so
// the fill paints nothing but leaves red as the fill colour.
void drawCircle(CGFloat x, CGFloat y, CGFloat radius, CGColor strokeColor, CGFloat lineWidth,
                platform::GraphicsContext& context);

void drawLine(CGLine line, platform::GraphicsContext& context);

// The text with blanks (Unicode space separators and tabs, not line breaks)
// removed from both ends.
std::string trimmingWhitespaces(const std::string& text);

}  // namespace kelmora
