#include "platform/pdf_context.h"

#include <QSaveFile>
#include <QString>
#include <system_error>

#include "platform/pdf_writer.h"
#include "platform/system_font.h"

namespace kelmora::platform {

struct PdfContext::Target {
  std::filesystem::path file;
  // Opened at once, so that a folder that cannot take the document is known
  // before anything is drawn; it replaces the target only when committed.
  QSaveFile output;

  explicit Target(const std::filesystem::path& target)
      : file(target), output(QString::fromStdString(target.string())) {}
};

std::unique_ptr<PdfContext> PdfContext::create(const std::filesystem::path& file, std::string& reason) {
  auto target = std::make_unique<Target>(file);
  // Unbuffered: QSaveFile commits even when flushing a buffer fails, which
  // would put a cut-off document in place.
  if (!target->output.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
    reason = target->output.errorString().toStdString();
    return nullptr;
  }
  return std::unique_ptr<PdfContext>(new PdfContext(std::move(target)));
}

PdfContext::PdfContext(std::unique_ptr<Target> target)
    : RecordingContext(std::make_shared<Recording>(), systemFontTextWidth), target_(std::move(target)) {}

PdfContext::~PdfContext() {
  if (recording().closed) return;
  target_->output.cancelWriting();
  std::error_code error;
  std::filesystem::remove(target_->file, error);
}

bool PdfContext::close(std::string& reason) {
  if (recording().closed) return true;
  if (tried_) {
    reason = "the document could not be written before";
    return false;
  }
  tried_ = true;
  if (!writePdf(recording(), target_->output, reason)) return false;
  if (!target_->output.commit()) {
    reason = target_->output.errorString().toStdString();
    return false;
  }
  return RecordingContext::close(reason);
}

}  // namespace kelmora::platform
