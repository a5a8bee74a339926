#pragma once
// A drawing context that writes a PDF document to a file.

#include <filesystem>
#include <memory>
#include <string>

#include "platform/recording_context.h"

namespace kelmora::platform {

// The pages are recorded as drawn and written only by close(): the document is
// made in memory and written through a temporary file that replaces the
// target at once. So a failed write (a full disk, say) is known and never
// leaves a partial file, and giving the context up before close() leaves
// nothing at the target either, not even the file it was to replace: an
// earlier document is never taken for this one.
class PdfContext final : public RecordingContext {
 public:
  // No context (and the reason) when the file cannot be made there.
  static std::unique_ptr<PdfContext> create(const std::filesystem::path& file, std::string& reason);
  ~PdfContext() override;

  bool close(std::string& reason) override;

 private:
  struct Target;
  explicit PdfContext(std::unique_ptr<Target> target);
  std::unique_ptr<Target> target_;
  bool tried_ = false;
};

}  // namespace kelmora::platform
