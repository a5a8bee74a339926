#include "app/report_services.h"

#include "platform/desktop.h"
#include "platform/image.h"
#include "platform/pdf_context.h"

namespace kelmora {

ReportServices productionServices() {
  return ReportServices{
      [] { return platform::namedImage("wais-iv"); },
      [](const std::filesystem::path& file, std::string& reason) -> std::unique_ptr<platform::DocumentContext> {
        return platform::PdfContext::create(file, reason);
      },
      [](const std::filesystem::path& file) { platform::openFile(file); },
  };
}

}  // namespace kelmora
