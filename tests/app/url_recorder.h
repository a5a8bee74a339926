#pragma once
// Takes every request to open a file or a web address while it lives, so that
// no test starts a viewer or a browser.

#include <QDesktopServices>
#include <QList>
#include <QObject>
#include <QUrl>

namespace kelmora::testing {

class UrlRecorder : public QObject {
  Q_OBJECT

 public:
  UrlRecorder() {
    for (const char* scheme : schemes) QDesktopServices::setUrlHandler(QString::fromLatin1(scheme), this, "open");
  }
  ~UrlRecorder() override {
    for (const char* scheme : schemes) QDesktopServices::unsetUrlHandler(QString::fromLatin1(scheme));
  }

  QList<QUrl> opened;

 public Q_SLOTS:
  void open(const QUrl& url) { opened.append(url); }

 private:
  static constexpr const char* schemes[] = {"file", "http", "https"};
};

}  // namespace kelmora::testing
