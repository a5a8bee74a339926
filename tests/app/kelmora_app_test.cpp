// The window group and its menus: new windows start empty, and the Help item
// and its shortcut open the help page.

#include <filesystem>
#include <memory>

#include <QAction>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QTemporaryDir>
#include <QtTest>

#include "app/kelmora_app.h"
#include "norms/resource_bundle.h"
#include "url_recorder.h"

using kelmora::ContentView;
using kelmora::ExcelData;
using kelmora::kelmoraApp;

namespace {

QMenu* menuTitled(QMainWindow* window, const QString& title) {
  for (QAction* action : window->menuBar()->actions()) {
    if (action->menu() && action->text() == title) return action->menu();
  }
  return nullptr;
}

ContentView* contentOf(QMainWindow* window) { return dynamic_cast<ContentView*>(window->centralWidget()); }

// An app whose windows load one fixed workbook and never run the scoring.
void useStandIns(kelmoraApp& app, int& runs) {
  app.services.chooseWorkbook = [](QWidget*) { return std::filesystem::path("/tmp/klient.xlsx"); };
  app.services.importWorkbook = [](const std::filesystem::path&, bool&) {
    return std::optional<ExcelData>(ExcelData{{"Navn", "Kari"}});
  };
  app.services.scoringRun = [&runs](const kelmora::SharedData&) { ++runs; };
  app.services.loadTables = [] {};
}

}  // namespace

class KelmoraAppTest : public QObject {
  Q_OBJECT

 private Q_SLOTS:
  void initTestCase() { kelmora::bundle::setResourceDirectory(KELMORA_TEST_RESOURCES); }
  void init() { recorder_ = std::make_unique<kelmora::testing::UrlRecorder>(); }
  void cleanup() { recorder_.reset(); }

  // The item and every form of its shortcut open the help page, once.
  void helpOpensTheHelpPage_data() {
    QTest::addColumn<int>("key");
    QTest::addColumn<Qt::KeyboardModifiers>("modifiers");
    QTest::newRow("menu item") << 0 << Qt::KeyboardModifiers();
    QTest::newRow("Ctrl and +") << int(Qt::Key_Plus) << Qt::KeyboardModifiers(Qt::ControlModifier);
    QTest::newRow("Ctrl, Shift and +") << int(Qt::Key_Plus)
                                       << Qt::KeyboardModifiers(Qt::ControlModifier | Qt::ShiftModifier);
    QTest::newRow("Ctrl and keypad +") << int(Qt::Key_Plus)
                                       << Qt::KeyboardModifiers(Qt::ControlModifier | Qt::KeypadModifier);
  }
  void helpOpensTheHelpPage() {
    QFETCH(int, key);
    QFETCH(Qt::KeyboardModifiers, modifiers);
    kelmoraApp app;
    QMainWindow* window = app.openWindow();
    window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(window));
    if (key == 0) {
      QMenu* help = menuTitled(window, QStringLiteral("Help"));
      QVERIFY(help);
      QCOMPARE(help->actions().size(), 1);
      QCOMPARE(help->actions().front()->text(), QStringLiteral("Open Help"));
      help->actions().front()->trigger();
    } else {
      QTest::keyClick(window, Qt::Key(key), modifiers);
    }
    QCOMPARE(recorder_->opened.size(), 1);
    const QUrl page = recorder_->opened.front();
    QVERIFY(page.isLocalFile());
    const std::filesystem::path expected = std::filesystem::path(KELMORA_TEST_RESOURCES) / "help" / "index.html";
    QCOMPARE(std::filesystem::path(page.toLocalFile().toStdString()).lexically_normal(), expected.lexically_normal());
  }

  void helpWithoutItsPageOpensNothing() {
    QTemporaryDir empty;
    kelmora::bundle::setResourceDirectory(empty.path().toStdString());
    kelmoraApp::openHelp();
    kelmora::bundle::setResourceDirectory(KELMORA_TEST_RESOURCES);
    QVERIFY(recorder_->opened.isEmpty());
  }

  // A further window, by the menu or by Ctrl+N, has its own empty store and no
  // report view, whatever the first one holds.
  void newWindowStartsEmpty_data() {
    QTest::addColumn<bool>("byShortcut");
    QTest::newRow("File > New Window") << false;
    QTest::newRow("Ctrl+N") << true;
  }
  void newWindowStartsEmpty() {
    QFETCH(bool, byShortcut);
    int runs = 0;
    kelmoraApp app;
    useStandIns(app, runs);
    QMainWindow* first = app.openWindow();
    first->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(first));
    contentOf(first)->chooseWorkbook();
    QVERIFY(contentOf(first)->isExcelFileLoaded());

    if (byShortcut) {
      QTest::keyClick(first, Qt::Key_N, Qt::ControlModifier);
    } else {
      menuTitled(first, QStringLiteral("File"))->actions().front()->trigger();
    }
    QCOMPARE(app.windows().size(), std::size_t(2));
    ContentView* fresh = contentOf(app.windows().back());
    QVERIFY(fresh);
    QVERIFY(fresh->sharedData() != contentOf(first)->sharedData());
    QVERIFY(fresh->sharedData()->excelData().empty());
    QVERIFY(!fresh->isExcelFileLoaded());
    QVERIFY(!fresh->showErrorAlert());
    QVERIFY(!fresh->showAlert());
    QVERIFY(fresh->pdfView() == nullptr);
    QCOMPARE(contentOf(first)->sharedData()->excelData(), (ExcelData{{"Navn", "Kari"}}));
  }

 private:
  std::unique_ptr<kelmora::testing::UrlRecorder> recorder_;
};

QTEST_MAIN(KelmoraAppTest)
#include "kelmora_app_test.moc"
