#include "app/kelmora_app.h"

#include <memory>

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QKeySequence>
#include <QLocale>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QTranslator>

#include "base/resource_folder.h"
#include "platform/desktop.h"

namespace kelmora {

namespace {

// Installs the Bokmål catalogue for Qt's file dialog, once per application
// (every kelmoraApp calls it). It is loaded whatever the system's language
// is, since the rest of the window is Norwegian in every locale.
void installDialogTranslator() {
  QCoreApplication* application = QCoreApplication::instance();
  if (!application) return;
  const QString name = QStringLiteral("kelmora_file_dialog_nb");
  if (application->findChild<QTranslator*>(name, Qt::FindDirectChildrenOnly)) return;
  auto* translator = new QTranslator(application);
  translator->setObjectName(name);
  if (!translator->load(QStringLiteral(":/translations/file_dialog_nb.qm"))) {
    delete translator;
    return;
  }
  QCoreApplication::installTranslator(translator);
}

}  // namespace

kelmoraApp::kelmoraApp() {
  // Qt's own texts outside the catalogue (the file types the MIME database
  // names) follow the default locale.
  QLocale::setDefault(QLocale(QLocale::NorwegianBokmal, QLocale::Norway));
  installDialogTranslator();
}

kelmoraApp::~kelmoraApp() {
  for (const auto& window : windows_) delete window.data();
}

int kelmoraApp::main(int argc, char** argv) {
  QApplication application(argc, argv);
  QApplication::setApplicationName(QStringLiteral("kelmora"));
  QApplication::setDesktopFileName(QStringLiteral("kelmora"));
  bundle::setResourceDirectory(bundle::resourceDirectoryBeside(QApplication::applicationDirPath().toStdString()));
  kelmoraApp app;
  app.openWindow();
  return QApplication::exec();
}

QMainWindow* kelmoraApp::openWindow() {
  auto* window = new QMainWindow;
  window->setAttribute(Qt::WA_DeleteOnClose);
  window->setWindowTitle(QStringLiteral("kelmora"));
  window->setCentralWidget(new ContentView(std::make_shared<SharedData>(), services));
  window->resize(560, 280);
  addMenus(window);
  std::erase_if(windows_, [](const QPointer<QMainWindow>& open) { return open.isNull(); });
  windows_.emplace_back(window);
  window->show();
  return window;
}

std::vector<QMainWindow*> kelmoraApp::windows() const {
  std::vector<QMainWindow*> open;
  for (const auto& window : windows_) {
    if (window) open.push_back(window);
  }
  return open;
}

void kelmoraApp::addMenus(QMainWindow* window) {
  // The desktop's usual window commands, as the window group has them.
  QMenu* file = window->menuBar()->addMenu(QStringLiteral("File"));
  QAction* newWindow = file->addAction(QStringLiteral("New Window"));
  newWindow->setShortcut(QKeySequence::New);
  QObject::connect(newWindow, &QAction::triggered, window, [this] { openWindow(); });
  QAction* closeWindow = file->addAction(QStringLiteral("Close Window"));
  closeWindow->setShortcut(QKeySequence::Close);
  QObject::connect(closeWindow, &QAction::triggered, window, &QMainWindow::close);
  file->addSeparator();
  QAction* quit = file->addAction(QStringLiteral("Quit"));
  quit->setShortcut(QKeySequence::Quit);
  quit->setMenuRole(QAction::QuitRole);
  QObject::connect(quit, &QAction::triggered, qApp, &QApplication::closeAllWindows, Qt::QueuedConnection);

  QMenu* help = window->menuBar()->addMenu(QStringLiteral("Help"));
  QAction* openHelpItem = help->addAction(QStringLiteral("Open Help"));
  openHelpItem->setShortcuts(helpShortcuts());
  QObject::connect(openHelpItem, &QAction::triggered, window, [] { openHelp(); });
}

QList<QKeySequence> kelmoraApp::helpShortcuts() {
  return {QKeySequence(Qt::CTRL | Qt::Key_Plus), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Plus)};
}

std::optional<QUrl> kelmoraApp::helpAddress() {
  const auto page = bundle::pathForResource("help/index", "html");
  if (!page) return std::nullopt;
  return QUrl::fromLocalFile(QFile::decodeName(page->c_str()));
}

void kelmoraApp::openHelp() {
  const auto address = helpAddress();
  if (!address || !address->isValid()) return;
  platform::openURL(address->toString(QUrl::FullyEncoded).toStdString());
}

}  // namespace kelmora
