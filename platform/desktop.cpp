#include "platform/desktop.h"

#include <QDesktopServices>
#include <QString>
#include <QUrl>
#include <system_error>

namespace kelmora::platform {

void openFile(const std::filesystem::path& file) {
  std::error_code error;
  auto absolute = std::filesystem::absolute(file, error);
  if (error) absolute = file;
  QDesktopServices::openUrl(QUrl::fromLocalFile(QString::fromStdString(absolute.string())));
}

void openURL(const std::string& address) { QDesktopServices::openUrl(QUrl(QString::fromStdString(address))); }

}  // namespace kelmora::platform
