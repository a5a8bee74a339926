// The workbook dialog: which names it lets the user choose.

#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include "app/workbook_chooser.h"

using kelmora::isWorkbookName;
using kelmora::WorkbookDialog;

class WorkbookChooserTest : public QObject {
  Q_OBJECT

 private Q_SLOTS:
  void workbookNames_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("workbook");
    QTest::newRow("plain") << "/tmp/klient.xlsx" << true;
    QTest::newRow("upper case") << "/tmp/KLIENT.XLSX" << true;
    QTest::newRow("blank in folder and name") << "/tmp/mine filer/klient 1.xlsx" << true;
    QTest::newRow("old Excel format") << "/tmp/klient.xls" << false;
    QTest::newRow("macro workbook") << "/tmp/klient.xlsm" << false;
    QTest::newRow("extension in the middle") << "/tmp/klient.xlsx.txt" << false;
    QTest::newRow("nothing before the extension") << "/tmp/.xlsx" << false;
    QTest::newRow("folder named like a workbook, with slash") << "/tmp/mappe.xlsx/" << false;
  }
  void workbookNames() {
    QFETCH(QString, name);
    QFETCH(bool, workbook);
    QCOMPARE(isWorkbookName(name), workbook);
  }

  // A typed name that the filter hides is still refused; the dialog stays open.
  void dialogRefusesTypedNamesThatAreNoWorkbook_data() {
    QTest::addColumn<QString>("typed");
    QTest::addColumn<bool>("accepted");
    QTest::newRow("workbook") << "klient.xlsx" << true;
    QTest::newRow("workbook in upper case") << "KLIENT2.XLSX" << true;
    QTest::newRow("text file") << "notater.txt" << false;
    QTest::newRow("old Excel format") << "gammel.xls" << false;
  }
  void dialogRefusesTypedNamesThatAreNoWorkbook() {
    QFETCH(QString, typed);
    QFETCH(bool, accepted);
    QTemporaryDir folder;
    QVERIFY(folder.isValid());
    for (const char* name : {"klient.xlsx", "KLIENT2.XLSX", "notater.txt", "gammel.xls"}) {
      QFile file(folder.filePath(QString::fromLatin1(name)));
      QVERIFY(file.open(QIODevice::WriteOnly));
    }
    WorkbookDialog dialog;
    dialog.setDirectory(folder.path());
    dialog.open();
    dialog.selectFile(typed);
    dialog.accept();
    QCOMPARE(dialog.result() == QDialog::Accepted, accepted);
    QCOMPARE(dialog.isVisible(), !accepted);
    if (accepted) QCOMPARE(dialog.selectedFiles(), QStringList{folder.filePath(typed)});
  }
};

QTEST_MAIN(WorkbookChooserTest)
#include "workbook_chooser_test.moc"
