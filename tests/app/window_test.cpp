// The window: the group of main windows and their menus, the content of each
// (driven through its button, mostly with the chooser, the import and the
// scoring run replaced by scripted stand-ins) and the workbook dialog.

#include <deque>
#include <filesystem>
#include <fstream>
#include <memory>
#include <optional>
#include <vector>

#include <QAction>
#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QFileSystemModel>
#include <QLabel>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QMimeDatabase>
#include <QPushButton>
#include <QStandardPaths>
#include <QtTest>

#include "app/kelmora_app.h"
#include "app/workbook_chooser.h"
#include "base/diagnostics.h"
#include "base/resource_folder.h"
#include "norms/conversion_tables.h"
#include "support/scratch_folder.h"
#include "support/workbook_writer.h"

using kelmora::ContentView;
using kelmora::ExcelData;
using kelmora::kelmoraApp;
using kelmora::SharedData;
using Path = std::filesystem::path;

namespace QTest {
template <>
inline char* toString(const ExcelData& data) {
  return qstrdup(kelmora::dumpMap(data).c_str());
}
}  // namespace QTest

// Takes every request to open a file while it lives, so that no test starts a
// viewer or a browser.
class UrlRecorder : public QObject {
  Q_OBJECT

 public:
  UrlRecorder() { QDesktopServices::setUrlHandler(QStringLiteral("file"), this, "open"); }
  ~UrlRecorder() override { QDesktopServices::unsetUrlHandler(QStringLiteral("file")); }

  QList<QUrl> opened;

 public Q_SLOTS:
  void open(const QUrl& url) { opened.append(url); }
};

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

// One answer of the import: the pairs (none for a file that is no workbook)
// and whether it raises the input-error flag.
struct ImportAnswer {
  std::optional<ExcelData> pairs;
  bool raisesFlag = false;
  bool nextAtOnce = false;  // the next load follows before the event loop runs
};
using ImportScript = std::vector<ImportAnswer>;

// A view whose chooser gives `choice` and whose import gives the answers in
// turn, and what it did: every file imported, every run (with the map it found
// in the store), every table load.
struct Scripted {
  std::optional<Path> choice = "/tmp/client.xlsx";
  std::deque<ImportAnswer> answers;
  std::vector<Path> imported;
  std::vector<ExcelData> runs;
  int tableLoads = 0;
  std::shared_ptr<SharedData> store = std::make_shared<SharedData>();
  ContentView view{store,
                   {[this](QWidget*) { return choice; },
                    [this](const Path& file, bool& showAlert) {
                      imported.push_back(file);
                      const ImportAnswer answer = answers.front();
                      answers.pop_front();
                      if (answer.raisesFlag) showAlert = true;
                      return answer.pairs;
                    },
                    [this](const SharedData& seen) { runs.push_back(seen.excelData()); }, [this] { ++tableLoads; }}};

  // Presses the button, the import giving `answer`, and lets the runs that the
  // store's announcements made due take place.
  void load(const ImportAnswer& answer) {
    answers = {answer};
    QTest::mouseClick(view.loadButton(), Qt::LeftButton);
    if (!answer.nextAtOnce) settle();
  }
  static void settle() {
    QCoreApplication::processEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  }
};

// An alert box as the user reads it: its title, heading, message and buttons.
QString boxText(QMessageBox* box) {
  QStringList parts{box->windowTitle(), box->text(), box->informativeText()};
  for (QAbstractButton* button : box->buttons()) parts << button->text();
  return parts.join(u'|');
}

const ExcelData first{{"Navn", "Kari"}, {"Tm", "30"}, {"Li", "20"}};
const ExcelData second{{"Navn", "Ola"}, {"Kd", "40"}};

}  // namespace

Q_DECLARE_METATYPE(ImportScript)
Q_DECLARE_METATYPE(std::vector<ExcelData>)

class WindowTest : public QObject {
  Q_OBJECT

 private Q_SLOTS:
  void initTestCase() { kelmora::bundle::setResourceDirectory(KELMORA_TEST_RESOURCES); }
  void init() { recorder_.opened.clear(); }

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
      QVERIFY(help && help->actions().size() == 1);
      QCOMPARE(help->actions().front()->text(), QStringLiteral("Open Help"));
      help->actions().front()->trigger();
    } else {
      QTest::keyClick(window, Qt::Key_Plus, modifiers);
    }
    QCOMPARE(recorder_.opened.size(), opened);
    if (opened == 0) return;
    QCOMPARE(QDir::cleanPath(recorder_.opened.front().toLocalFile()),
             QDir::cleanPath(QStringLiteral(KELMORA_TEST_RESOURCES "/help/index.html")));
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
  // any locale. The dialog keeps its history in the test's own settings,
  // never in the user's.
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
    QCOMPARE(QMimeDatabase().mimeTypeForName("text/plain").comment(), QStringLiteral("vanlig tekstdokument"));

    const kelmora::testing::ScratchFolder scratch;
    const QDir folder(folderOf(scratch));
    QFile workbook(folder.filePath("klient.xlsx"));
    QVERIFY(workbook.open(QIODevice::WriteOnly) && workbook.write(QByteArray(1536, 'x')) == 1536 && workbook.flush());
    QVERIFY(workbook.setFileTime(QDateTime(QDate(2024, 3, 5), QTime(14, 7)), QFileDevice::FileModificationTime));
    QVERIFY(folder.mkdir("mappe"));
    auto dialog = std::make_unique<kelmora::WorkbookDialog>();
    dialog->setDirectory(folder.path());
    dialog->setViewMode(QFileDialog::Detail);
    dialog->open();
    auto* files = dialog->findChild<QFileSystemModel*>();
    const auto shown = [&](const char* name, int column) {
      return dialog->proxyModel()->mapFromSource(files->index(folder.filePath(name), column)).data().toString();
    };
    QTRY_COMPARE(shown("klient.xlsx", 1), QStringLiteral("1,50 KiB"));
    QCOMPARE(shown("klient.xlsx", 2), QStringLiteral("Excel-dokument"));
    QCOMPARE(shown("klient.xlsx", 3), QStringLiteral("05.03.2024 14:07"));
    QCOMPARE(shown("mappe", 1), QString());
    QCOMPARE(shown("mappe", 2), QStringLiteral("Mappe"));

    // Its history goes to the test's own settings in the build tree.
    dialog.reset();
    const QString settings = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    QVERIFY2(settings.startsWith(QStringLiteral(KELMORA_TEST_BUILD "/")), qPrintable(settings));
    QFile history(settings + QStringLiteral("/QtProject.conf"));
    QVERIFY(history.open(QIODevice::ReadOnly) && history.readAll().contains(QFile::encodeName(folder.path())));
  }

  // The texts as the user reads them, Norwegian letters intact; the tables are
  // loaded each time the view is shown, by the real loader unless one is given.
  void greetingAndTables() {
    Scripted s;
    QCOMPARE(s.view.headline()->text(), QString::fromUtf8("Velkommen til kelmora!"));
    QCOMPARE(
        s.view.instructions()->text(),
        QString::fromUtf8("For å komme i gang, vennligst last opp en Excel-fil ved å klikke på knappen nedenfor."));
    QCOMPARE(s.view.loadButton()->text(), QString::fromUtf8("Les inn Excel-dokument"));
    s.view.show();
    s.view.hide();
    s.view.show();
    QCOMPARE(s.tableLoads, 2);

    kelmora::tables.clear();
    ContentView real;
    kelmora::OutputCapture quiet;
    real.show();
    QCOMPARE(kelmora::tables.size(), std::size_t(5));
  }

  // A chosen file's address is printed before the file is imported. A
  // cancelled chooser, or one that gives an empty path, changes nothing and
  // prints nothing.
  void chooserAnswers() {
    Scripted s;
    kelmora::OutputCapture output;
    s.choice = "/tmp/klient data/Åse.xlsx";
    s.load({first});
    for (const auto& nothing : {std::optional<Path>(), std::optional<Path>(Path())}) {
      s.choice = nothing;
      s.load({second});
    }
    QVERIFY(output.lines() == std::vector<std::string>{"filePath:  file:///tmp/klient%20data/%C3%85se.xlsx"});
    QCOMPARE(s.imported, std::vector<Path>{"/tmp/klient data/Åse.xlsx"});
    QCOMPARE(s.runs, std::vector<ExcelData>{first});
    QCOMPARE(s.store->excelData(), first);
  }

  // Sequences of loads and the state they leave: the flags and their alert
  // boxes, the store and the runs of the report view (each on the map then
  // stored).
  void loadSequences_data() {
    // clang-format off
    QTest::addColumn<ImportScript>("script");
    QTest::addColumn<bool>("loaded");  // the load-error alert shows otherwise
    QTest::addColumn<bool>("inputAlert");
    QTest::addColumn<ExcelData>("store");
    QTest::addColumn<std::vector<ExcelData>>("runs");
    using Runs = std::vector<ExcelData>;
    QTest::newRow("second workbook replaces the first whole")
        << ImportScript{{first}, {second}} << true << false << second << Runs{first, second};
    QTest::newRow("workbook without rows") << ImportScript{{ExcelData{}}} << true << false << ExcelData{}
                                           << Runs{ExcelData{}};
    QTest::newRow("no workbook at first") << ImportScript{{std::nullopt}} << false << false << ExcelData{} << Runs{};
    QTest::newRow("failure after a good load keeps the store")
        << ImportScript{{first}, {std::nullopt}} << false << false << first << Runs{first};
    QTest::newRow("second workbook at once: one run on it")
        << ImportScript{{first, false, true}, {second}} << true << false << second << Runs{second};
    QTest::newRow("failure at once after a good load: no run")
        << ImportScript{{first, false, true}, {std::nullopt}} << false << false << first << Runs{};
    QTest::newRow("good load after a failure brings the report back")
        << ImportScript{{first}, {std::nullopt}, {second}} << true << false << second << Runs{first, second};
    QTest::newRow("input alert outlasts a clean and a failing load")
        << ImportScript{{first, true}, {second}, {std::nullopt}} << false << true << second << Runs{first, second};
    // clang-format on
  }
  void loadSequences() {
    QFETCH(ImportScript, script);
    QFETCH(bool, loaded);
    QFETCH(bool, inputAlert);
    QFETCH(ExcelData, store);
    QFETCH(std::vector<ExcelData>, runs);
    Scripted s;
    for (const auto& answer : script) {
      s.load(answer);
      QCOMPARE(s.view.pdfView() != nullptr, s.view.isExcelFileLoaded());
    }
    QCOMPARE(s.view.isExcelFileLoaded(), loaded);
    QCOMPARE(s.view.showErrorAlert(), !loaded);
    QCOMPARE(s.view.showAlert(), inputAlert);
    QCOMPARE(s.store->excelData(), store);
    QCOMPARE(s.runs, runs);

    // Each box shows its texts and one OK; closing it, by the button or by
    // the window's close (Escape clicks the one button), lowers its flag and
    // takes it away.
    QPointer<QMessageBox> error = s.view.errorAlert(), input = s.view.inputAlert();
    QVERIFY(bool(error) == !loaded && bool(input) == inputAlert);
    if (error) QCOMPARE(boxText(error), QStringLiteral("Feil|Feil|Kunne ikke laste inn Excel-filen.|OK"));
    if (input)
      QCOMPARE(boxText(input),
               "Feil i inndataene|Feil i inndataene|Noe er ikke kodet riktig. Sjekk dokumentasjonen.|OK");
    if (error) QTest::mouseClick(error->buttons().front(), Qt::LeftButton);
    if (input) input->close();
    Scripted::settle();
    QVERIFY(!s.view.showErrorAlert() && !s.view.showAlert() && !error && !input);
    QCOMPARE(s.view.isExcelFileLoaded(), loaded);

    // The report view runs again on a change made elsewhere to the store it
    // was given; once removed, it runs no more.
    s.store->addData("Navn", "Liv");
    Scripted::settle();
    QCOMPARE(s.runs.size(), runs.size() + (loaded ? 1 : 0));
    if (loaded) QCOMPARE(s.runs.back().at("Navn"), "Liv");
  }

  // A real file through the real import, in a folder where an earlier
  // client's report lies: it never stays. A workbook with faulty sheets (an
  // empty one, one whose key row is longer than its value row) still gives its
  // other sheets and a run, which without dates writes no report; a text file
  // named like a workbook gives the load alert and no run.
  void earlierReportGoes_data() {
    QTest::addColumn<bool>("workbook");
    QTest::newRow("workbook with faulty sheets") << true;
    QTest::newRow("text named like a workbook") << false;
  }
  void earlierReportGoes() {
    QFETCH(bool, workbook);
    const kelmora::testing::ScratchFolder folder(kelmora::testing::ScratchFolder::asWorkingDirectory);
    const Path file = folder / "klient.xlsx";
    using S = std::string;
    if (workbook) {
      QVERIFY(kelmora::testing::writeWorkbook(file, {{}, {{S("Navn")}, {S("Ola")}}, {{S("Tm"), S("Li")}, {20.0}}}));
    } else {
      std::ofstream(file) << "Navn;Tm\nKari;30\n";
    }
    std::ofstream(folder / "test.pdf") << "%PDF-1.4 Kari";
    ContentView view(std::make_shared<SharedData>(), {[&](QWidget*) { return file; }, {}, {}, {}});
    view.chooseWorkbook();
    QCoreApplication::processEvents();

    QVERIFY(view.isExcelFileLoaded() == workbook && view.showAlert() == workbook);
    QCOMPARE(view.sharedData()->excelData(), workbook ? (ExcelData{{"Navn", "Ola"}}) : ExcelData());
    QVERIFY(!std::filesystem::exists(folder / "test.pdf"));
    QVERIFY(recorder_.opened.isEmpty());
  }

 private:
  UrlRecorder recorder_;
};

QTEST_MAIN(WindowTest)
#include "window_test.moc"
