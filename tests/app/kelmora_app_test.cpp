// The window group and its menus: new windows start empty, and the Help item
// and its shortcut open the help page. Also the workbook dialog's choices and
// its Norwegian texts.

#include <filesystem>
#include <memory>

#include <QAction>
#include <QApplication>
#include <QDialogButtonBox>
#include <QDir>
#include <QFile>
#include <QFileSystemModel>
#include <QLabel>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
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

// What a person reads at one place of the file dialog: "button Open" is a
// button of its box, "column 2" a column head of its detail view, "NAME tip"
// the tool tip of the widget NAME, and a bare NAME that label's text.
QString textAt(QFileDialog& dialog, const QString& place) {
  const QStringList words = place.split(u' ');
  if (words.front() == u"button") {
    const auto role = words.back() == u"Open" ? QDialogButtonBox::Open : QDialogButtonBox::Cancel;
    auto* box = dialog.findChild<QDialogButtonBox*>();
    return box && box->button(role) ? box->button(role)->text() : QString();
  }
  if (words.front() == u"column") {
    auto* model = dialog.findChild<QFileSystemModel*>();
    return model ? model->headerData(words.back().toInt(), Qt::Horizontal).toString() : QString();
  }
  auto* widget = dialog.findChild<QWidget*>(words.front());
  if (!widget) return {};
  if (words.size() > 1) return widget->toolTip();
  auto* label = qobject_cast<QLabel*>(widget);
  return label ? label->text() : QString();
}

}  // namespace

class KelmoraAppTest : public QObject {
  Q_OBJECT

 private Q_SLOTS:
  void initTestCase() { kelmora::bundle::setResourceDirectory(KELMORA_TEST_RESOURCES); }
  void init() { recorder_ = std::make_unique<kelmora::testing::UrlRecorder>(); }
  void cleanup() { recorder_.reset(); }

  // The item and every form of its shortcut open the help page, once; "+"
  // without Ctrl opens nothing.
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
      QVERIFY(help);
      QCOMPARE(help->actions().size(), 1);
      QCOMPARE(help->actions().front()->text(), QStringLiteral("Open Help"));
      help->actions().front()->trigger();
    } else {
      QTest::keyClick(window, Qt::Key_Plus, modifiers);
    }
    QCOMPARE(recorder_->opened.size(), opened);
    if (opened == 0) return;
    QVERIFY(recorder_->opened.front().isLocalFile());
    QCOMPARE(QDir::cleanPath(recorder_->opened.front().toLocalFile()),
             QDir::cleanPath(QStringLiteral(KELMORA_TEST_RESOURCES "/help/index.html")));

    // Without its page, Help opens nothing.
    const kelmora::testing::ScratchFolder empty;
    kelmora::bundle::setResourceDirectory(empty.path());
    kelmoraApp::openHelp();
    kelmora::bundle::setResourceDirectory(KELMORA_TEST_RESOURCES);
    QCOMPARE(recorder_->opened.size(), 1);
  }

  // A further window, by the menu or by Ctrl+N, has its own empty store and no
  // report view, whatever the first one holds, and the same menus.
  void newWindowStartsEmpty_data() {
    // clang-format off
    QTest::addColumn<bool>("byShortcut");
    QTest::newRow("File > New Window") << false;
    QTest::newRow("Ctrl+N") << true;
    // clang-format on
  }
  void newWindowStartsEmpty() {
    QFETCH(bool, byShortcut);
    kelmoraApp app;
    app.services = {[](QWidget*) { return std::filesystem::path("/tmp/klient.xlsx"); },
                    [](const std::filesystem::path&, bool&) {
                      return std::optional<ExcelData>(ExcelData{{"Navn", "Kari"}});
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
    QVERIFY(fresh);
    QVERIFY(fresh->sharedData() != contentOf(first)->sharedData());
    QVERIFY(fresh->sharedData()->excelData().empty());
    QVERIFY(!fresh->isExcelFileLoaded() && !fresh->showErrorAlert() && !fresh->showAlert());
    QVERIFY(fresh->pdfView() == nullptr);
    QVERIFY(menuTitled(app.windows().back(), QStringLiteral("File")));
    QVERIFY(menuTitled(app.windows().back(), QStringLiteral("Help")));
    QCOMPARE(contentOf(first)->sharedData()->excelData(), (ExcelData{{"Navn", "Kari"}}));
  }

  // One existing file, workbooks listed, no "New Folder": and a typed name
  // that the filter hides is still refused and the dialog stays open; a
  // folder is opened, not chosen.
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
    const QDir folder(QString::fromStdString(scratch.path().string()));
    if (typed.endsWith(u'/')) {
      QVERIFY(folder.mkdir(typed));
      QVERIFY(!kelmora::isWorkbookName(folder.filePath(typed)));
    } else {
      QFile file(folder.filePath(typed));
      QVERIFY(file.open(QIODevice::WriteOnly));
    }
    kelmora::WorkbookDialog dialog;
    QCOMPARE(dialog.fileMode(), QFileDialog::ExistingFile);
    QCOMPARE(dialog.acceptMode(), QFileDialog::AcceptOpen);
    QCOMPARE(dialog.nameFilters(), QStringList{QStringLiteral("Excel-dokument (*.xlsx *.XLSX)")});
    QVERIFY(dialog.testOption(QFileDialog::ReadOnly));
    QVERIFY(dialog.testOption(QFileDialog::DontUseNativeDialog));
    dialog.setDirectory(folder.path());
    dialog.open();
    dialog.selectFile(typed);
    dialog.accept();
    QCOMPARE(dialog.result() == QDialog::Accepted, accepted);
    QCOMPARE(dialog.isVisible(), !accepted);
    if (accepted) QCOMPARE(dialog.selectedFiles(), QStringList{folder.filePath(typed)});
  }

  // Qt's own dialog speaks Bokmål once the app exists, whatever the locale.
  void workbookDialogSpeaksNorwegian_data() {
    // clang-format off
    QTest::addColumn<QString>("place");
    QTest::addColumn<QString>("expected");
    QTest::newRow("look in") << "lookInLabel" << QString::fromUtf8("Søk i:");
    QTest::newRow("file name") << "fileNameLabel" << "Fil&navn:";
    QTest::newRow("files of type") << "fileTypeLabel" << "Filtype:";
    QTest::newRow("open button") << "button Open" << QString::fromUtf8("&Åpne");
    QTest::newRow("cancel button") << "button Cancel" << "Avbryt";
    QTest::newRow("name column") << "column 0" << "Navn";
    QTest::newRow("size column") << "column 1" << QString::fromUtf8("Størrelse");
    QTest::newRow("date column") << "column 3" << "Endret";
    QTest::newRow("back") << "backButton tip" << "Tilbake";
    QTest::newRow("forward") << "forwardButton tip" << "Fremover";
    QTest::newRow("parent folder") << "toParentButton tip" << "Overordnet mappe";
    QTest::newRow("list view") << "listModeButton tip" << "Listevisning";
    QTest::newRow("detail view") << "detailModeButton tip" << "Detaljvisning";
    // clang-format on
  }
  void workbookDialogSpeaksNorwegian() {
    QFETCH(QString, place);
    QFETCH(QString, expected);
    kelmoraApp app;
    kelmora::WorkbookDialog dialog;
    dialog.open();
    QCOMPARE(textAt(dialog, place), expected);
  }

  // A typed workbook that is not there is reported in Bokmål, with the
  // dialog's title and an "OK" button as it stands.
  void workbookDialogReportsAMissingFileInNorwegian() {
    kelmoraApp app;
    const kelmora::testing::ScratchFolder folder;
    kelmora::WorkbookDialog dialog;
    dialog.setDirectory(QString::fromStdString(folder.path().string()));
    dialog.open();
    dialog.selectFile(QStringLiteral("mangler.xlsx"));
    QString title, text, button;
    QTimer::singleShot(0, &dialog, [&] {
      auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
      if (!box) return;
      title = box->windowTitle();
      text = box->text();
      button = box->button(QMessageBox::Ok) ? box->button(QMessageBox::Ok)->text() : QString();
      box->done(QMessageBox::Ok);
    });
    dialog.accept();
    QCOMPARE(text, QString::fromUtf8("mangler.xlsx\nFant ikke filen.\nKontroller at riktig filnavn er oppgitt."));
    QCOMPARE(title, QStringLiteral("Les inn Excel-dokument"));
    QCOMPARE(button, QStringLiteral("OK"));
    QVERIFY(dialog.isVisible());
  }

  // The catalogue's texts for desktops that the offscreen tests cannot show
  // (GNOME's theme), and the OK buttons that stay in English.
  void dialogCatalogue_data() {
    // clang-format off
    QTest::addColumn<QByteArray>("context");
    QTest::addColumn<QByteArray>("source");
    QTest::addColumn<QString>("expected");
    QTest::newRow("GNOME cancel") << QByteArray("QGnomeTheme") << QByteArray("&Cancel") << "&Avbryt";
    QTest::newRow("GNOME OK") << QByteArray("QGnomeTheme") << QByteArray("&OK") << "&OK";
    QTest::newRow("OK") << QByteArray("QPlatformTheme") << QByteArray("OK") << "OK";
    // clang-format on
  }
  void dialogCatalogue() {
    QFETCH(QByteArray, context);
    QFETCH(QByteArray, source);
    QFETCH(QString, expected);
    kelmoraApp app;
    QCOMPARE(QCoreApplication::translate(context.constData(), source.constData()), expected);
  }

 private:
  std::unique_ptr<kelmora::testing::UrlRecorder> recorder_;
};

QTEST_MAIN(KelmoraAppTest)
#include "kelmora_app_test.moc"
