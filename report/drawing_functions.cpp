#include "report/drawing_functions.h"

#include <algorithm>
#include <cstddef>

#include "base/diagnostics.h"
#include "base/utf8.h"
#include "base/whole_number.h"
#include "norms/debug_mode.h"

namespace kelmora {
namespace {

// The horizontal blanks: the tab and the Unicode space separators.
bool isWhitespace(char32_t c) {
  return c == 0x09 || c == 0x20 || c == 0xA0 || c == 0x1680 || (c >= 0x2000 && c <= 0x200A) || c == 0x202F ||
         c == 0x205F || c == 0x3000;
}

std::string describe(const std::optional<ColumnTable>& offset) {
  if (!offset) return "ingen kolonnetabell";
  std::string text = "[";
  for (std::size_t i = 0; i < offset->columns.size(); ++i) {
    if (i) text += ", ";
    text += formatWholeNumber(offset->columns[i]);
  }
  return text + "] bredde " + formatDecimal(offset->width);
}

}  // namespace

std::string trimmingWhitespaces(const std::string& text) {
  const auto blankAt = [&](std::size_t at) {
    const auto character = decodeUtf8(text, at);
    return character && isWhitespace(character->code) ? character->length : 0;
  };
  std::size_t begin = 0;
  while (const std::size_t length = blankAt(begin)) begin += length;
  std::size_t end = text.size();
  while (end > begin) {
    // Step back to the first byte of the last character.
    std::size_t start = end - 1;
    while (start > begin && (static_cast<unsigned char>(text[start]) & 0xC0) == 0x80) --start;
    if (blankAt(start) != end - start) break;
    end = start;
  }
  return text.substr(begin, end - begin);
}

void drawText(CGPoint startPosition, const std::vector<std::string>& keys, CGFloat up, CGFloat right,
              const std::optional<ColumnTable>& offset, CGFloat fontSize, NSTextAlignment alignment,
              const SharedData& sharedData, platform::GraphicsContext& context) {
  std::vector<std::string> ordered = keys;
  if (up != 0) std::reverse(ordered.begin(), ordered.end());

  if (right > 0) printItems("Det går mot høyre");
  if (debugMode) printItems("drawText: ", ordered, up, right, describe(offset));

  CGPoint running = startPosition;
  std::string currentText;
  for (std::size_t place = 0; place < ordered.size(); ++place) {
    const std::string& key = ordered[place];
    const auto found = sharedData.excelData().find(key);
    if (offset && place < offset->columns.size())
      running.x = startPosition.x + static_cast<CGFloat>(offset->columns[place]) * offset->width;

    // A key without a value keeps its place like an empty text, only without
    // a word: the values after it stay in their own rows.
    if (found != sharedData.excelData().end()) {
      const std::string& value = found->second;
      printItems("Tegner tekst for nøkkel: ", key, " med verdi: ", value);

      currentText = trimmingWhitespaces(value);
      // -1 marks a missing value in the workbook and the conversion tables.
      if (parseWholeNumber(currentText) == -1) currentText.clear();

      const CGFloat width = context.measureText(currentText, fontSize);
      const CGFloat drawingX = alignment == NSTextAlignment::right ? running.x - width : running.x;

      context.saveGState();
      context.drawText(currentText, fontSize, CGPoint{drawingX, running.y});
      if (debugMode) printItems("adjustedX = ", drawingX, ", currentY = ", running.y);
      context.restoreGState();
      if (right > 0 && debugMode) printItems("Mot høyre: AdjustedX = ", drawingX);
    }

    running.y += up;
    if (right > 0) running.x += right;
  }
}

void drawScores(CGPoint startPosition, const std::vector<std::string>& keys, CGFloat up, CGFloat right,
                const SharedData& sharedData, platform::GraphicsContext& context) {
  context.setStrokeColor(opaqueBlack);
  context.setLineWidth(2.0);
  context.moveTo(startPosition);

  std::optional<CGPoint> lastPoint;
  for (std::size_t i = 0; i < keys.size(); ++i) {
    const std::string& key = keys[i];
    const auto found = sharedData.excelData().find(key);
    if (found == sharedData.excelData().end()) return;
    // No trimming here: a value with blanks ends the line.
    const auto number = parseWholeNumber(found->second);
    if (!number) return;

    const CGFloat x = startPosition.x + right * static_cast<CGFloat>(i);
    const CGFloat y = startPosition.y + up * static_cast<CGFloat>(*number);
    printItems("drawScores");
    printItems("index, key, value = ", i, key, ", ", *number);
    printItems("x, y = ", x, ", ", y);

    if (*number == -1) continue;
    // Each segment is a subpath of its own, so segments meet without a join.
    if (lastPoint) {
      context.moveTo(*lastPoint);
      context.addLineTo(CGPoint{x, y});
    }
    lastPoint = CGPoint{x, y};
  }
  context.strokePath();
}

void drawCircle(CGFloat x, CGFloat y, CGFloat radius, CGColor strokeColor, CGFloat lineWidth,
                platform::GraphicsContext& context) {
  context.setStrokeColor(strokeColor);
  context.setFillColor(opaqueRed);
  context.setLineWidth(lineWidth);
  context.addEllipseInRect(platform::Rect{x - radius, y - radius, 2 * radius, 2 * radius});
  context.strokePath();
  // The stroke has emptied the path: this fill paints nothing.
  context.fillPath(platform::FillRule::winding);
}

void drawLine(CGLine line, platform::GraphicsContext& context) {
  context.setStrokeColor(opaqueBlack);
  context.setLineWidth(2.0);
  context.moveTo(CGPoint{line.x1, line.y1});
  context.addLineTo(CGPoint{line.x2, line.y2});
  context.strokePath();
}

}  // namespace kelmora
