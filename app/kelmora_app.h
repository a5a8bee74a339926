#pragma once
// The application type: the group of main windows and the menus they carry.

#include <optional>
#include <vector>

#include <QList>
#include <QPointer>
#include <QUrl>

#include "app/content_view.h"

class QKeySequence;
class QMainWindow;

namespace kelmora {

class kelmoraApp {
 public:
  // Gives Qt's own dialogs (the workbook chooser) their Norwegian texts, in
  // every locale; the QApplication must exist already.
  kelmoraApp();
  ~kelmoraApp();
  kelmoraApp(const kelmoraApp&) = delete;
  kelmoraApp& operator=(const kelmoraApp&) = delete;

  // The process entry: makes the Qt application, opens the first window and
  // runs the event loop until the user quits.
  static int main(int argc, char** argv);

  // Opens one more main window, with its own new and empty store.
  QMainWindow* openWindow();

  // The windows of the group that are still open, oldest first.
  std::vector<QMainWindow*> windows() const;

  // What each new window's content calls outside itself (tests replace it).
  ContentViewServices services;

  // The help page shipped among the resources, as a file address; no value
  // when the page is not there.
  static std::optional<QUrl> helpAddress();
  // Opens the help page in the default browser. Nothing is reported either way.
  static void openHelp();
  // "Open Help" answers to Ctrl and "+" (Command and "+" on macOS), with or
  // without the Shift that many keyboards need to type "+".
  static QList<QKeySequence> helpShortcuts();

 private:
  void addMenus(QMainWindow* window);

  std::vector<QPointer<QMainWindow>> windows_;
};

}  // namespace kelmora
