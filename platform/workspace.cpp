#include "platform/workspace.h"

#include <QDesktopServices>
#include <QString>
#include <QUrl>

namespace kelmora::platform {

void openFile(const std::filesystem::path& file) {
  const auto absolute = std::filesystem::absolute(file);
  QDesktopServices::openUrl(QUrl::fromLocalFile(QString::fromStdString(absolute.string())));
}

void openURL(const std::string& address) {
  QDesktopServices::openUrl(QUrl(QString::fromStdString(address)));
}

}  // namespace kelmora::platform
