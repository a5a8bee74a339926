#include "app/content_view.h"

#include <system_error>
#include <utility>

#include <QFile>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QShowEvent>
#include <QUrl>
#include <QVBoxLayout>

#include "app/report_services.h"
#include "app/workbook_chooser.h"
#include "base/diagnostics.h"
#include "data/workbook_import.h"
#include "norms/conversion_tables.h"
#include "report/scoring_run.h"

namespace kelmora {
namespace {
constexpr int spaceBelowText = 20;

ContentViewServices withDefaults(ContentViewServices services) {
  if (!services.chooseWorkbook) services.chooseWorkbook = chooseWorkbookFile;
  if (!services.importWorkbook) services.importWorkbook = handleFile;
  if (!services.scoringRun)
    services.scoringRun = [](const SharedData& store) { performScoringRun(store, productionServices()); };
  if (!services.loadTables) services.loadTables = [] { loadTables(); };
  return services;
}
}  // namespace

ContentView::ContentView(std::shared_ptr<SharedData> sharedData, ContentViewServices services, QWidget* parent)
    : QWidget(parent), sharedData_(std::move(sharedData)), services_(withDefaults(std::move(services))) {
  headline_ = new QLabel(QString::fromUtf8("Velkommen til kelmora!"));
  QFont headlineFont = headline_->font();
  headlineFont.setBold(true);
  headline_->setFont(headlineFont);
  headline_->setAlignment(Qt::AlignCenter);
  headline_->setContentsMargins(0, 0, 0, spaceBelowText);

  instructions_ = new QLabel(
      QString::fromUtf8("For å komme i gang, vennligst last opp en Excel-fil ved å klikke på knappen nedenfor."));
  instructions_->setAlignment(Qt::AlignCenter);
  instructions_->setWordWrap(true);
  instructions_->setContentsMargins(0, 0, 0, spaceBelowText);

  loadButton_ = new QPushButton(QString::fromUtf8("Les inn Excel-dokument"));
  connect(loadButton_, &QPushButton::clicked, this, [this] { chooseWorkbook(); });

  // The column takes its natural height and stands centred in the window.
  stack_ = new QVBoxLayout(this);
  stack_->addStretch(1);
  stack_->addWidget(headline_);
  stack_->addWidget(instructions_);
  stack_->addWidget(loadButton_, 0, Qt::AlignHCenter);
  stack_->addStretch(1);
  setFocusProxy(loadButton_);
}

void ContentView::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  // The window system's own show events (a window coming back from being
  // minimised) are no new appearance of the view.
  if (!event->spontaneous()) services_.loadTables();
}

void ContentView::chooseWorkbook() {
  const auto chosen = services_.chooseWorkbook(this);
  if (!chosen || chosen->empty()) return;
  std::error_code error;
  auto file = std::filesystem::absolute(*chosen, error);
  if (error) file = *chosen;
  // A file URL's own text: blanks and letters beyond ASCII percent-encoded.
  const QString url = QUrl::fromLocalFile(QFile::decodeName(file.c_str())).toString(QUrl::FullyEncoded);
  printItems("filePath: ", url.toStdString());
  loadExcelData(file);
}

void ContentView::loadExcelData(const std::filesystem::path& from) {
  // The import may only raise the flag; whatever it returns, its value is
  // written back, so a clean load never lowers an alert still showing.
  bool raised = showAlert_;
  auto pairs = services_.importWorkbook(from, raised);
  setShowAlert(raised);
  if (pairs) {
    sharedData_->setExcelData(std::move(*pairs));
    setExcelFileLoaded(true);
    setShowErrorAlert(false);
  } else {
    // The store keeps what it held. No run follows, so the last one's report
    // goes now: it belongs to another workbook.
    setExcelFileLoaded(false);
    removeEarlierReport();
    setShowErrorAlert(true);
  }
}

void ContentView::setExcelFileLoaded(bool loaded) {
  isExcelFileLoaded_ = loaded;
  if (loaded && !pdfView_) {
    pdfView_ = new PDFView(sharedData_, services_.scoringRun, this);
    stack_->insertWidget(stack_->count() - 1, pdfView_);
  } else if (!loaded && pdfView_) {
    // Deleted at once: a run it still had pending goes with it.
    delete pdfView_;
    pdfView_ = nullptr;
  }
}

void ContentView::setShowErrorAlert(bool raised) {
  showErrorAlert_ = raised;
  followFlag(errorAlert_, raised, QString::fromUtf8("Feil"), QString::fromUtf8("Kunne ikke laste inn Excel-filen."),
             &ContentView::setShowErrorAlert);
}

void ContentView::setShowAlert(bool raised) {
  showAlert_ = raised;
  followFlag(inputAlert_, raised, QString::fromUtf8("Feil i inndataene"),
             QString::fromUtf8("Noe er ikke kodet riktig. Sjekk dokumentasjonen."), &ContentView::setShowAlert);
}

void ContentView::followFlag(QPointer<QMessageBox>& box, bool raised, const QString& title, const QString& message,
                             void (ContentView::*lower)(bool)) {
  if (raised && !box) {
    box = new QMessageBox(this);
    box->setIcon(QMessageBox::Warning);
    box->setWindowTitle(title);
    box->setText(title);
    box->setInformativeText(message);
    box->setDefaultButton(box->addButton(QStringLiteral("OK"), QMessageBox::AcceptRole));
    // Every way of closing the box (the button, Escape) is a dismissal.
    connect(box, &QDialog::finished, this, [this, lower] { (this->*lower)(false); });
    box->open();
  } else if (!raised && box) {
    QMessageBox* leaving = box;
    box = nullptr;
    leaving->disconnect(this);
    leaving->hide();
    leaving->deleteLater();
  }
}

}  // namespace kelmora
