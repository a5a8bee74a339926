// The main window with the real import and scoring run: real workbooks go in,
// the report comes out in the working directory and is handed to the desktop.

#include <filesystem>

#include <QDir>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QtTest>

#include "app/content_view.h"
#include "norms/resource_bundle.h"
#include "test_printing.h"
#include "client_workbook.h"
#include "url_recorder.h"

using kelmora::ContentView;
using kelmora::ContentViewServices;
using kelmora::ExcelData;
using kelmora::SharedData;
using kelmora::testing::SheetRows;

namespace {

const SheetRows nameOnly{{std::string("Navn")}, {std::string("Ola")}};
const SheetRows unequal{
    {std::string("Tm"), std::string("Li"), std::string("Th")},
    {20.0},
};

}  // namespace

Q_DECLARE_METATYPE(std::vector<SheetRows>)
Q_DECLARE_METATYPE(ExcelData)

class WorkbookLoadingTest : public QObject {
  Q_OBJECT

 private Q_SLOTS:
  void initTestCase() { kelmora::bundle::setResourceDirectory(KELMORA_TEST_RESOURCES); }

  void init() {
    folder_ = std::make_unique<QTemporaryDir>();
    QVERIFY(folder_->isValid());
    previous_ = QDir::currentPath();
    QVERIFY(QDir::setCurrent(folder_->path()));
    recorder_ = std::make_unique<kelmora::testing::UrlRecorder>();
  }
  void cleanup() {
    recorder_.reset();
    QDir::setCurrent(previous_);
    folder_.reset();
  }

  void loads_data() {
    QTest::addColumn<bool>("isWorkbook");
    QTest::addColumn<std::vector<SheetRows>>("sheets");
    QTest::addColumn<bool>("loaded");
    QTest::addColumn<bool>("errorAlert");
    QTest::addColumn<bool>("inputAlert");
    QTest::addColumn<ExcelData>("someOfTheStore");
    QTest::addColumn<bool>("reportOpened");

    QTest::newRow("complete client") << true << kelmora::testing::clientWorkbook() << true << false << false
                                     << ExcelData{{"Navn", "Kari Nordmann"},
                                                  {"Fødselsdato", "15-04-1990"},
                                                  {"Testdato", "02-03-2024"},
                                                  {"Kd", "69"}}
                                     << true;
    QTest::newRow("worksheet without rows")
        << true << std::vector<SheetRows>{SheetRows{}} << true << false << false << ExcelData{} << false;
    // That worksheet adds nothing; the others are still read.
    QTest::newRow("key row longer than value row")
        << true << std::vector<SheetRows>{nameOnly, unequal} << true << false << true << ExcelData{{"Navn", "Ola"}}
        << false;
    QTest::newRow("not a workbook") << false << std::vector<SheetRows>{} << false << true << false << ExcelData{}
                                    << false;
  }
  void loads() {
    QFETCH(bool, isWorkbook);
    QFETCH(std::vector<SheetRows>, sheets);
    QFETCH(bool, loaded);
    QFETCH(bool, errorAlert);
    QFETCH(bool, inputAlert);
    QFETCH(ExcelData, someOfTheStore);
    QFETCH(bool, reportOpened);

    const std::filesystem::path workbook = std::filesystem::path(folder_->path().toStdString()) / "klient.xlsx";
    if (isWorkbook) {
      QVERIFY(kelmora::testing::writeWorkbook(workbook, sheets));
    } else {
      QFile text(QString::fromStdString(workbook.string()));
      QVERIFY(text.open(QIODevice::WriteOnly));
      text.write("Navn;Tm\nKari;30\n");
    }

    ContentViewServices services;
    services.chooseWorkbook = [&](QWidget*) { return workbook; };
    ContentView view(std::make_shared<SharedData>(), services);
    view.show();
    view.chooseWorkbook();
    QCoreApplication::processEvents();

    QCOMPARE(view.isExcelFileLoaded(), loaded);
    QCOMPARE(view.showErrorAlert(), errorAlert);
    QCOMPARE(view.showAlert(), inputAlert);
    const ExcelData& store = view.sharedData()->excelData();
    if (someOfTheStore.empty()) QCOMPARE(store, ExcelData{});
    for (const auto& [key, value] : someOfTheStore) {
      QVERIFY2(store.contains(key), key.c_str());
      QCOMPARE(store.at(key), value);
    }
    if (inputAlert) QVERIFY(!store.contains("Tm"));
    // The window's store never receives what the run derives.
    QVERIFY(!store.contains("alderår"));
    QVERIFY(!store.contains("sTm"));

    const bool written = std::filesystem::exists("test.pdf");
    QCOMPARE(written, reportOpened);
    if (reportOpened) {
      QCOMPARE(recorder_->opened.size(), 1);
      QCOMPARE(recorder_->opened.front(), QUrl::fromLocalFile(QDir(folder_->path()).filePath("test.pdf")));
    } else {
      QVERIFY(recorder_->opened.isEmpty());
    }
  }

 private:
  std::unique_ptr<QTemporaryDir> folder_;
  QString previous_;
  std::unique_ptr<kelmora::testing::UrlRecorder> recorder_;
};

QTEST_MAIN(WorkbookLoadingTest)
#include "workbook_loading_test.moc"
