// The main window's content driven through its button, with the chooser, the
// import and the scoring run replaced by scripted stand-ins.

#include <deque>
#include <filesystem>
#include <optional>
#include <vector>

#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QtTest>

#include "app/content_view.h"
#include "norms/diagnostics.h"
#include "test_printing.h"
#include "url_recorder.h"

using kelmora::ContentView;
using kelmora::ContentViewServices;
using kelmora::ExcelData;
using kelmora::SharedData;

namespace {

// One answer of the import: the pairs (none for a file that is no workbook)
// and whether it raises the input-error flag.
struct ImportAnswer {
  std::optional<ExcelData> pairs;
  bool raisesFlag = false;
};
using ImportScript = std::vector<ImportAnswer>;

// What the window's world saw: every file imported, every run (with the map
// the run found in the store), every table load.
struct World {
  std::deque<std::optional<std::filesystem::path>> choices;
  std::deque<ImportAnswer> answers;
  std::vector<std::filesystem::path> imported;
  std::vector<ExcelData> runs;
  int tableLoads = 0;

  ContentViewServices services() {
    ContentViewServices services;
    services.chooseWorkbook = [this](QWidget*) {
      auto choice = choices.front();
      choices.pop_front();
      return choice;
    };
    services.importWorkbook = [this](const std::filesystem::path& file, bool& showAlert) {
      imported.push_back(file);
      auto answer = answers.front();
      answers.pop_front();
      if (answer.raisesFlag) showAlert = true;
      return answer.pairs;
    };
    services.scoringRun = [this](const SharedData& store) { runs.push_back(store.excelData()); };
    services.loadTables = [this] { ++tableLoads; };
    return services;
  }
};

// Lets the runs that the store's announcements made due take place.
void settle() {
  QCoreApplication::processEvents();
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

// Presses the button with the next file chosen and the next import answer.
void load(ContentView& view, World& world, const ImportAnswer& answer, const char* file = "/tmp/client.xlsx") {
  world.choices.emplace_back(file);
  world.answers.push_back(answer);
  QTest::mouseClick(view.loadButton(), Qt::LeftButton);
  settle();
}

const ExcelData first{{"Navn", "Kari"}, {"Tm", "30"}, {"Li", "20"}};
const ExcelData second{{"Navn", "Ola"}, {"Kd", "40"}};

}  // namespace

Q_DECLARE_METATYPE(ImportScript)
Q_DECLARE_METATYPE(ExcelData)
Q_DECLARE_METATYPE(std::vector<ExcelData>)

class ContentViewTest : public QObject {
  Q_OBJECT

 private Q_SLOTS:
  void init() { recorder_ = std::make_unique<kelmora::testing::UrlRecorder>(); }
  void cleanup() {
    QVERIFY2(recorder_->opened.isEmpty(), "a test asked the desktop to open something");
    recorder_.reset();
  }

  // The texts as the user reads them, Norwegian letters intact.
  void greetingTexts() {
    World world;
    ContentView view(std::make_shared<SharedData>(), world.services());
    QCOMPARE(view.headline()->text(), QString::fromUtf8("Velkommen til kelmora!"));
    QCOMPARE(view.instructions()->text(),
             QString::fromUtf8("For å komme i gang, vennligst last opp en Excel-fil ved å klikke på knappen nedenfor."));
    QCOMPARE(view.loadButton()->text(), QString::fromUtf8("Les inn Excel-dokument"));
  }

  // Cancelling, or a chooser that gives no file, changes nothing and prints
  // nothing, also while a workbook is loaded.
  void chooserWithoutAFileChangesNothing_data() {
    QTest::addColumn<bool>("loadedBefore");
    QTest::addColumn<bool>("cancelled");
    QTest::newRow("cancelled, nothing loaded") << false << true;
    QTest::newRow("empty path, workbook loaded") << true << false;
  }
  void chooserWithoutAFileChangesNothing() {
    QFETCH(bool, loadedBefore);
    QFETCH(bool, cancelled);
    World world;
    ContentView view(std::make_shared<SharedData>(), world.services());
    if (loadedBefore) load(view, world, {first});
    auto* reportView = view.pdfView();
    const auto runsBefore = world.runs.size();

    kelmora::OutputCapture output;
    world.choices.push_back(cancelled ? std::nullopt : std::optional<std::filesystem::path>(std::filesystem::path()));
    QTest::mouseClick(view.loadButton(), Qt::LeftButton);
    settle();

    QVERIFY(world.choices.empty());
    QCOMPARE(output.text(), std::string());
    QCOMPARE(world.imported.size(), std::size_t(loadedBefore ? 1 : 0));
    QCOMPARE(world.runs.size(), runsBefore);
    QCOMPARE(view.isExcelFileLoaded(), loadedBefore);
    QCOMPARE(view.pdfView(), reportView);
    QCOMPARE(view.sharedData()->excelData(), loadedBefore ? first : ExcelData{});
  }

  void choosingPrintsTheFileAddressAndImportsThatFile() {
    World world;
    ContentView view(std::make_shared<SharedData>(), world.services());
    kelmora::OutputCapture output;
    load(view, world, {first}, "/tmp/klient data/Åse.xlsx");
    QCOMPARE(output.lines().front(), std::string("filePath:  file:///tmp/klient data/Åse.xlsx"));
    QCOMPARE(world.imported, std::vector<std::filesystem::path>{"/tmp/klient data/Åse.xlsx"});
  }

  // Sequences of loads and the state they leave: the flags, the store, the
  // report view and the runs it made (each on the map the store then held).
  void loadSequences_data() {
    QTest::addColumn<ImportScript>("script");
    QTest::addColumn<bool>("loaded");
    QTest::addColumn<bool>("errorAlert");
    QTest::addColumn<bool>("inputAlert");
    QTest::addColumn<ExcelData>("store");
    QTest::addColumn<std::vector<ExcelData>>("runs");

    QTest::newRow("one workbook") << ImportScript{{first}} << true << false << false << first
                                  << std::vector<ExcelData>{first};
    QTest::newRow("workbook without rows") << ImportScript{{ExcelData{}}} << true << false << false << ExcelData{}
                                           << std::vector<ExcelData>{ExcelData{}};
    QTest::newRow("second workbook replaces the first whole")
        << ImportScript{{first}, {second}} << true << false << false << second
        << std::vector<ExcelData>{first, second};
    QTest::newRow("no workbook at first") << ImportScript{{std::nullopt}} << false << true << false << ExcelData{}
                                          << std::vector<ExcelData>{};
    QTest::newRow("failure after a good load keeps the store")
        << ImportScript{{first}, {std::nullopt}} << false << true << false << first
        << std::vector<ExcelData>{first};
    QTest::newRow("good load after a failure brings the report back")
        << ImportScript{{first}, {std::nullopt}, {second}} << true << false << false << second
        << std::vector<ExcelData>{first, second};
    QTest::newRow("faulty workbook still loads")
        << ImportScript{{first, true}} << true << false << true << first << std::vector<ExcelData>{first};
    QTest::newRow("clean load after a faulty one keeps the input alert")
        << ImportScript{{first, true}, {second}} << true << false << true << second
        << std::vector<ExcelData>{first, second};
    QTest::newRow("failure after a faulty load keeps the input alert")
        << ImportScript{{first, true}, {std::nullopt}} << false << true << true << first
        << std::vector<ExcelData>{first};
  }
  void loadSequences() {
    QFETCH(ImportScript, script);
    QFETCH(bool, loaded);
    QFETCH(bool, errorAlert);
    QFETCH(bool, inputAlert);
    QFETCH(ExcelData, store);
    QFETCH(std::vector<ExcelData>, runs);

    World world;
    ContentView view(std::make_shared<SharedData>(), world.services());
    for (const auto& answer : script) {
      const bool errorBefore = view.showErrorAlert();
      const bool inputBefore = view.showAlert();
      load(view, world, answer);
      QVERIFY2(!(view.showErrorAlert() && !errorBefore && view.showAlert() && !inputBefore),
               "one load raised both alerts");
      QCOMPARE(view.pdfView() != nullptr, view.isExcelFileLoaded());
    }
    QCOMPARE(view.isExcelFileLoaded(), loaded);
    QCOMPARE(view.showErrorAlert(), errorAlert);
    QCOMPARE(view.showAlert(), inputAlert);
    QCOMPARE(view.errorAlert() != nullptr, errorAlert);
    QCOMPARE(view.inputAlert() != nullptr, inputAlert);
    QCOMPARE(view.sharedData()->excelData(), store);
    QCOMPARE(world.runs, runs);
  }

  // The report view reads the store it was given, not a copy, and runs again
  // after a change made elsewhere; once removed, it runs no more.
  void reportViewFollowsTheStore() {
    World world;
    auto store = std::make_shared<SharedData>();
    ContentView view(store, world.services());
    load(view, world, {first});
    QCOMPARE(view.pdfView()->sharedData(), store);

    store->addData("Navn", "Per");
    settle();
    ExcelData changed = first;
    changed["Navn"] = "Per";
    QCOMPARE(world.runs, (std::vector<ExcelData>{first, changed}));

    load(view, world, {std::nullopt});
    store->addData("Navn", "Liv");
    settle();
    QCOMPARE(world.runs.size(), std::size_t(2));
  }

  // A failure that follows a good load at once, before the event loop turns,
  // must not leave a run of the removed report view behind.
  void removedReportViewDropsItsPendingRun() {
    World world;
    ContentView view(std::make_shared<SharedData>(), world.services());
    world.choices = {"/tmp/a.xlsx", "/tmp/b.xlsx"};
    world.answers = {{first}, {std::nullopt}};
    view.chooseWorkbook();
    view.chooseWorkbook();
    settle();
    QVERIFY(world.runs.empty());
    QVERIFY(view.pdfView() == nullptr);
  }

  // Both alerts: their texts, and dismissal in either way lowers the flag.
  void alertsShowTheirTextsAndDismissalLowersTheFlag_data() {
    QTest::addColumn<bool>("workbookOpens");
    QTest::addColumn<bool>("byEscape");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("message");
    const QString loadTitle = QString::fromUtf8("Feil");
    const QString loadMessage = QString::fromUtf8("Kunne ikke laste inn Excel-filen.");
    const QString inputTitle = QString::fromUtf8("Feil i inndataene");
    const QString inputMessage = QString::fromUtf8("Noe er ikke kodet riktig. Sjekk dokumentasjonen.");
    QTest::newRow("load error, OK") << false << false << loadTitle << loadMessage;
    QTest::newRow("load error, Escape") << false << true << loadTitle << loadMessage;
    QTest::newRow("input error, OK") << true << false << inputTitle << inputMessage;
    QTest::newRow("input error, Escape") << true << true << inputTitle << inputMessage;
  }
  void alertsShowTheirTextsAndDismissalLowersTheFlag() {
    QFETCH(bool, workbookOpens);
    QFETCH(bool, byEscape);
    QFETCH(QString, title);
    QFETCH(QString, message);
    World world;
    ContentView view(std::make_shared<SharedData>(), world.services());
    view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view));
    load(view, world, workbookOpens ? ImportAnswer{first, true} : ImportAnswer{std::nullopt});

    QPointer<QMessageBox> box = workbookOpens ? view.inputAlert() : view.errorAlert();
    QVERIFY(box);
    QVERIFY(box->isVisible());
    QCOMPARE(box->windowTitle(), title);
    QCOMPARE(box->text(), title);
    QCOMPARE(box->informativeText(), message);
    QCOMPARE(box->buttons().size(), 1);
    QCOMPARE(box->buttons().front()->text(), QStringLiteral("OK"));

    if (byEscape) {
      QTest::keyClick(box, Qt::Key_Escape);
    } else {
      QTest::mouseClick(box->buttons().front(), Qt::LeftButton);
    }
    settle();
    QVERIFY(!view.showErrorAlert());
    QVERIFY(!view.showAlert());
    QVERIFY(box.isNull());
    QCOMPARE(view.isExcelFileLoaded(), workbookOpens);
  }

  void tablesAreLoadedEachTimeTheViewIsShown() {
    World world;
    ContentView view(std::make_shared<SharedData>(), world.services());
    QCOMPARE(world.tableLoads, 0);
    view.show();
    QCOMPARE(world.tableLoads, 1);
    view.hide();
    view.show();
    QCOMPARE(world.tableLoads, 2);
  }

 private:
  std::unique_ptr<kelmora::testing::UrlRecorder> recorder_;
};

QTEST_MAIN(ContentViewTest)
#include "content_view_test.moc"
