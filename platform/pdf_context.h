#pragma once
// A drawing context that writes a PDF document to a file.

#include <filesystem>
#include <memory>
#include <string>

#include "platform/graphics_context.h"

namespace kelmora::platform {

// The pages are kept as drawn and written only by close(): the document is
// made in memory and written through a temporary file that replaces the
// target at once. So a failed write (a full disk, say) is known and never
// leaves a partial file, and giving the context up before close() leaves
// nothing at the target either, not even the file it was to replace: an
// earlier document is never taken for this one.
class PdfContext final : public DocumentContext {
 public:
  // No context (and the reason) when the file cannot be made there.
  static std::unique_ptr<PdfContext> create(const std::filesystem::path& file, std::string& reason);
  ~PdfContext() override;

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
  struct State;
  explicit PdfContext(std::unique_ptr<State> state);
  std::unique_ptr<State> state_;
};

}  // namespace kelmora::platform
