// The window group and its menus: new windows start empty, and the Help item
// and its shortcut open the help page. Also the workbook dialog: its choices,
// its Bokmål, and where it keeps its history.

#include <filesystem>
#include <memory>

#include <QAction>
#include <QDialogButtonBox>
#include <QDir>
#include <QFile>
#include <QFileSystemModel>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QStandardPaths>
#include <QtTest>

#include "app/kelmora_app.h"
#include "app/workbook_chooser.h"
#include "base/resource_folder.h"
#include "support/scratch_folder.h"
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

// The app's first window, opened and active.
QMainWindow* activeWindow(kelmoraApp& app) {
  QMainWindow* window = app.openWindow();
  window->activateWindow();
  return QTest::qWaitForWindowActive(window) ? window : nullptr;
}

QString folderOf(const kelmora::testing::ScratchFolder& scratch) { return QString::fromStdString(scratch.path()); }

}  // namespace

class KelmoraAppTest : public QObject {
  Q_OBJECT

 private Q_SLOTS:
  void initTestCase() { kelmora::bundle::setResourceDirectory(KELMORA_TEST_RESOURCES); }
  void init() { recorder_ = std::make_unique<kelmora::testing::UrlRecorder>(); }
  void cleanup() { recorder_.reset(); }

  // The item and every form of its shortcut open the help page, once; "+"
  // without Ctrl opens nothing, and nor does Help without its page.
  void helpOpensTheHelpPage_data() {
    // clang-format off
    QTest::addColumn<bool>("byMenu");
    QTest::addColumn<Qt::KeyboardModifiers>("modifiers");
    QTest::addColumn<int>("opened");
    QTest::newRow("menu item") << true << Qt::KeyboardModifiers() << 1;
    QTest::newRow("Ctrl and +") << false << Qt::KeyboardModifiers(Qt::ControlModifier) << 1;
    QTest::newRow("Ctrl, Shift and +") << false << (Qt::ControlModifier | Qt::ShiftModifier) << 1;
    QTest::newRow("Ctrl and keypad +") << false << (Qt::ControlModifier | Qt::KeypadModifier) << 1;
    QTest::newRow("+ alone") << false << Qt::KeyboardModifiers() << 0;
    QTest::newRow("Shift and +") << false << Qt::KeyboardModifiers(Qt::ShiftModifier) << 0;
    QTest::newRow("Alt and +") << false << Qt::KeyboardModifiers(Qt::AltModifier) << 0;
    // clang-format on
  }
  void helpOpensTheHelpPage() {
    QFETCH(bool, byMenu);
    QFETCH(Qt::KeyboardModifiers, modifiers);
    QFETCH(int, opened);
    kelmoraApp app;
    QMainWindow* window = activeWindow(app);
    QVERIFY(window);
    if (byMenu) {
      QMenu* help = menuTitled(window, QStringLiteral("Help"));
      QVERIFY(help && help->actions().size() == 1);
      QCOMPARE(help->actions().front()->text(), QStringLiteral("Open Help"));
      help->actions().front()->trigger();
    } else {
      QTest::keyClick(window, Qt::Key_Plus, modifiers);
    }
    QCOMPARE(recorder_->opened.size(), opened);
    if (opened == 0) return;
    QCOMPARE(QDir::cleanPath(recorder_->opened.front().toLocalFile()),
             QDir::cleanPath(QStringLiteral(KELMORA_TEST_RESOURCES "/help/index.html")));

    const kelmora::testing::ScratchFolder empty;
    kelmora::bundle::setResourceDirectory(empty.path());
    kelmoraApp::openHelp();
    kelmora::bundle::setResourceDirectory(KELMORA_TEST_RESOURCES);
    QCOMPARE(recorder_->opened.size(), 1);
  }

  // A further window, by the menu or by Ctrl+N, has its own empty store and no
  // report view, whatever the first one holds, and the same menus.
  void newWindowStartsEmpty_data() {
    QTest::addColumn<bool>("byShortcut");
    QTest::newRow("File > New Window") << false;
    QTest::newRow("Ctrl+N") << true;
  }
  void newWindowStartsEmpty() {
    QFETCH(bool, byShortcut);
    kelmoraApp app;
    app.services = {[](QWidget*) { return std::filesystem::path("/tmp/klient.xlsx"); },
                    [](const std::filesystem::path&, bool&) {
                      return std::optional(ExcelData{{"Navn", "Kari"}});
                    },
                    [](const kelmora::SharedData&) {}, [] {}};
    QMainWindow* first = activeWindow(app);
    QVERIFY(first);
    contentOf(first)->chooseWorkbook();
    QVERIFY(contentOf(first)->isExcelFileLoaded());

    if (byShortcut) {
      QTest::keyClick(first, Qt::Key_N, Qt::ControlModifier);
    } else {
      menuTitled(first, QStringLiteral("File"))->actions().front()->trigger();
    }
    QCOMPARE(app.windows().size(), std::size_t(2));
    ContentView* fresh = contentOf(app.windows().back());
    QVERIFY(fresh && fresh->sharedData() != contentOf(first)->sharedData());
    QVERIFY(fresh->sharedData()->excelData().empty() && !fresh->isExcelFileLoaded() && !fresh->pdfView());
    QVERIFY(menuTitled(app.windows().back(), QStringLiteral("Help")));
    QCOMPARE(contentOf(first)->sharedData()->excelData(), (ExcelData{{"Navn", "Kari"}}));
  }

  // Only an existing workbook is chosen: a typed name that the filter hides is
  // refused and the dialog stays open; a folder is opened, not chosen.
  void workbookDialogChoosesOnlyWorkbooks_data() {
    // clang-format off
    QTest::addColumn<QString>("typed");
    QTest::addColumn<bool>("accepted");
    QTest::newRow("workbook, blank in the name") << "klient 1.xlsx" << true;
    QTest::newRow("workbook in upper case") << "KLIENT2.XLSX" << true;
    QTest::newRow("old Excel format") << "gammel.xls" << false;
    QTest::newRow("extension in the middle") << "klient.xlsx.txt" << false;
    QTest::newRow("nothing before the extension") << ".xlsx" << false;
    QTest::newRow("folder named like a workbook") << "mappe.xlsx/" << false;
    // clang-format on
  }
  void workbookDialogChoosesOnlyWorkbooks() {
    QFETCH(QString, typed);
    QFETCH(bool, accepted);
    const kelmora::testing::ScratchFolder scratch;
    const QDir folder(folderOf(scratch));
    QFile file(folder.filePath(typed));
    QVERIFY(typed.endsWith(u'/') ? folder.mkdir(typed) : file.open(QIODevice::WriteOnly));
    kelmora::WorkbookDialog dialog;
    dialog.setDirectory(folder.path());
    dialog.open();
    dialog.selectFile(typed);
    dialog.accept();
    QCOMPARE(dialog.result() == QDialog::Accepted, accepted);
    QCOMPARE(dialog.isVisible(), !accepted);
    if (accepted) QCOMPARE(dialog.selectedFiles(), QStringList{folder.filePath(typed)});
  }

  // Once the app exists, the Bokmål catalogue answers in each of its contexts,
  // and the dialog's detail view gives sizes, dates and types in Bokmål, in
  // any locale.
  void workbookDialogSpeaksBokmal() {
    kelmoraApp app;
    const char* const texts[][3] = {
        {"QFileDialog", "%1\nFile not found.\nPlease verify the correct file name was given.",
         "%1\nFant ikke filen.\nKontroller at riktig filnavn er oppgitt."},
        {"QPlatformTheme", "Cancel", "Avbryt"},
        {"QGnomeTheme", "&Cancel", "&Avbryt"},
        {"QFileSystemModel", "Size", "Størrelse"},
    };
    for (const auto& [context, source, bokmal] : texts)
      QCOMPARE(QCoreApplication::translate(context, source), QString::fromUtf8(bokmal));

    const kelmora::testing::ScratchFolder scratch;
    const QDir folder(folderOf(scratch));
    QFile workbook(folder.filePath("klient.xlsx"));
    QVERIFY(workbook.open(QIODevice::WriteOnly) && workbook.write(QByteArray(1536, 'x')) == 1536 && workbook.flush());
    QVERIFY(workbook.setFileTime(QDateTime(QDate(2024, 3, 5), QTime(14, 7)), QFileDevice::FileModificationTime));
    QVERIFY(folder.mkdir("mappe"));
    kelmora::WorkbookDialog dialog;
    dialog.setDirectory(folder.path());
    dialog.setViewMode(QFileDialog::Detail);
    dialog.open();
    QCOMPARE(dialog.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Open)->text(), QString::fromUtf8("&Åpne"));
    auto* files = dialog.findChild<QFileSystemModel*>();
    const auto shown = [&](const char* name, int column) {
      return dialog.proxyModel()->mapFromSource(files->index(folder.filePath(name), column)).data().toString();
    };
    QTRY_COMPARE(shown("klient.xlsx", 1), QStringLiteral("1,50 KiB"));
    QCOMPARE(shown("klient.xlsx", 2), QStringLiteral("Excel-dokument"));
    QCOMPARE(shown("klient.xlsx", 3), QStringLiteral("05.03.2024 14:07"));
    QCOMPARE(shown("mappe", 1), QString());
    QCOMPARE(shown("mappe", 2), QStringLiteral("Mappe"));
  }

  // The dialog's history goes to the test's own settings in the build tree,
  // never to the user's.
  void workbookDialogKeepsItsHistoryInTheTestsOwnSettings() {
    const QString settings = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    QVERIFY2(settings.startsWith(QStringLiteral(KELMORA_TEST_BUILD "/")), qPrintable(settings));
    const kelmora::testing::ScratchFolder scratch;
    {
      kelmora::WorkbookDialog dialog;
      dialog.setDirectory(folderOf(scratch));
      dialog.open();
      dialog.reject();
    }
    QFile history(settings + QStringLiteral("/QtProject.conf"));
    QVERIFY(history.open(QIODevice::ReadOnly));
    QVERIFY(history.readAll().contains(QFile::encodeName(folderOf(scratch))));
  }

 private:
  std::unique_ptr<kelmora::testing::UrlRecorder> recorder_;
};

QTEST_MAIN(KelmoraAppTest)
#include "kelmora_app_test.moc"
