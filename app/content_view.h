#pragma once
// The content of every main window: the greeting, the workbook button, the two
// alerts and, once a workbook is loaded, the report view.

#include <filesystem>
#include <functional>
#include <memory>
#include <optional>

#include <QMessageBox>
#include <QPointer>
#include <QWidget>

#include "app/pdf_view.h"
#include "data/shared_data.h"

class QLabel;
class QPushButton;
class QVBoxLayout;

namespace kelmora {

// What the window calls outside itself. An empty member means the real one:
// the modal workbook dialog, the workbook import, the scoring run and the
// loading of the conversion tables. Tests put their own in place.
struct ContentViewServices {
  std::function<std::optional<std::filesystem::path>(QWidget* parent)> chooseWorkbook;
  std::function<std::optional<ExcelData>(const std::filesystem::path& file, bool& showAlert)> importWorkbook;
  ScoringRun scoringRun;
  std::function<void()> loadTables;
};

class ContentView : public QWidget {
 public:
  explicit ContentView(std::shared_ptr<SharedData> sharedData = std::make_shared<SharedData>(),
                       ContentViewServices services = {}, QWidget* parent = nullptr);

  const std::shared_ptr<SharedData>& sharedData() const { return sharedData_; }

  // The window's state, as the alerts and the report view follow it.
  bool isExcelFileLoaded() const { return isExcelFileLoaded_; }
  bool showErrorAlert() const { return showErrorAlert_; }
  bool showAlert() const { return showAlert_; }

  // The report view while a workbook is loaded, otherwise null.
  PDFView* pdfView() const { return pdfView_; }
  QPushButton* loadButton() const { return loadButton_; }
  QLabel* headline() const { return headline_; }
  QLabel* instructions() const { return instructions_; }
  // The alert boxes while their flags are raised, otherwise null.
  QMessageBox* errorAlert() const { return errorAlert_; }
  QMessageBox* inputAlert() const { return inputAlert_; }

  // The action of "Les inn Excel-dokument".
  void chooseWorkbook();

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  void loadExcelData(const std::filesystem::path& from);
  void setExcelFileLoaded(bool loaded);
  void setShowErrorAlert(bool raised);
  void setShowAlert(bool raised);
  // Opens the box when its flag rises and takes it away when the flag falls;
  // dismissing the box lowers the flag through `lower`.
  void followFlag(QPointer<QMessageBox>& box, bool raised, const QString& title, const QString& message,
                  void (ContentView::*lower)(bool));

  std::shared_ptr<SharedData> sharedData_;
  ContentViewServices services_;
  bool isExcelFileLoaded_ = false;
  bool showErrorAlert_ = false;
  bool showAlert_ = false;

  QVBoxLayout* stack_ = nullptr;
  QLabel* headline_ = nullptr;
  QLabel* instructions_ = nullptr;
  QPushButton* loadButton_ = nullptr;
  PDFView* pdfView_ = nullptr;
  QPointer<QMessageBox> errorAlert_;
  QPointer<QMessageBox> inputAlert_;
};

}  // namespace kelmora
