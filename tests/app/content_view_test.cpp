// The main window's content driven through its button, mostly with the
// chooser, the import and the scoring run replaced by scripted stand-ins.

#include <deque>
#include <filesystem>
#include <fstream>
#include <optional>
#include <vector>

#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QtTest>

#include "app/content_view.h"
#include "base/diagnostics.h"
#include "base/resource_folder.h"
#include "norms/conversion_tables.h"
#include "support/scratch_folder.h"
#include "support/workbook_writer.h"
#include "url_recorder.h"

using kelmora::ContentView;
using kelmora::ExcelData;
using kelmora::SharedData;
using Path = std::filesystem::path;

namespace QTest {
template <>
inline char* toString(const ExcelData& data) {
  return qstrdup(kelmora::dumpMap(data).c_str());
}
}  // namespace QTest

namespace {

// One answer of the import: the pairs (none for a file that is no workbook)
// and whether it raises the input-error flag.
struct ImportAnswer {
  std::optional<ExcelData> pairs;
  bool raisesFlag = false;
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
    settle();
  }
  static void settle() {
    QCoreApplication::processEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  }
};

const ExcelData first{{"Navn", "Kari"}, {"Tm", "30"}, {"Li", "20"}};
const ExcelData second{{"Navn", "Ola"}, {"Kd", "40"}};

}  // namespace

Q_DECLARE_METATYPE(ImportScript)
Q_DECLARE_METATYPE(std::vector<ExcelData>)

class ContentViewTest : public QObject {
  Q_OBJECT

 private Q_SLOTS:
  void initTestCase() { kelmora::bundle::setResourceDirectory(KELMORA_TEST_RESOURCES); }

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

  // Sequences of loads and the state they leave: the flags, the alert boxes,
  // the store and the runs of the report view (each on the map then stored).
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
    QCOMPARE(s.view.errorAlert() != nullptr && s.view.showErrorAlert(), !loaded);
    QCOMPARE(s.view.inputAlert() != nullptr && s.view.showAlert(), inputAlert);
    QCOMPARE(s.store->excelData(), store);
    QCOMPARE(s.runs, runs);
  }

  // The report view reads the store it was given, not a copy, and runs again
  // after a change made elsewhere; once removed, it runs no more, not even the
  // run it had pending when a failure followed a good load at once.
  void reportViewRunsWhileItLives() {
    Scripted s;
    s.answers = {{first}, {std::nullopt}};
    s.view.chooseWorkbook();
    s.view.chooseWorkbook();
    Scripted::settle();
    s.load({first});
    s.store->addData("Navn", "Per");
    Scripted::settle();
    s.load({std::nullopt});
    s.store->addData("Navn", "Liv");
    Scripted::settle();
    QCOMPARE(s.runs.size(), std::size_t(2));
    QCOMPARE(s.runs.back().at("Navn"), "Per");
  }

  // Both alerts: their texts, and dismissal (by the button or by Escape)
  // lowers the flag.
  void alertsShowTheirTextsAndDismissalLowersTheFlag_data() {
    // clang-format off
    QTest::addColumn<bool>("workbookOpens");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("message");
    QTest::newRow("load error, OK") << false << "Feil" << "Kunne ikke laste inn Excel-filen.";
    QTest::newRow("input error, Escape") << true << "Feil i inndataene"
                                         << "Noe er ikke kodet riktig. Sjekk dokumentasjonen.";
    // clang-format on
  }
  void alertsShowTheirTextsAndDismissalLowersTheFlag() {
    QFETCH(bool, workbookOpens);
    QFETCH(QString, title);
    QFETCH(QString, message);
    Scripted s;
    s.view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&s.view));
    s.load(workbookOpens ? ImportAnswer{first, true} : ImportAnswer{std::nullopt});

    QPointer<QMessageBox> box = workbookOpens ? s.view.inputAlert() : s.view.errorAlert();
    QVERIFY(box && box->isVisible());
    QCOMPARE(box->windowTitle() + box->text() + box->informativeText(), title + title + message);
    QCOMPARE(box->buttons().size(), 1);
    QCOMPARE(box->buttons().front()->text(), QStringLiteral("OK"));
    if (workbookOpens) {
      QTest::keyClick(box, Qt::Key_Escape);
    } else {
      QTest::mouseClick(box->buttons().front(), Qt::LeftButton);
    }
    Scripted::settle();
    QVERIFY(!s.view.showErrorAlert() && !s.view.showAlert() && box.isNull());
    QCOMPARE(s.view.isExcelFileLoaded(), workbookOpens);
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
    kelmora::testing::UrlRecorder recorder;
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
    QVERIFY(recorder.opened.isEmpty());
  }
};

QTEST_MAIN(ContentViewTest)
#include "content_view_test.moc"
