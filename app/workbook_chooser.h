#pragma once
// The modal chooser of one Excel workbook.

#include <filesystem>
#include <optional>

#include <QFileDialog>
#include <QString>

namespace kelmora {

// True for a file name that ends in ".xlsx", in any case.
bool isWorkbookName(const QString& fileName);

// Qt's own file dialog set up to choose one existing .xlsx file: no
// directories, no new folders. Qt's dialog accepts a typed name that its filter
// would hide; this one refuses any file that is not a workbook and stays open.
class WorkbookDialog : public QFileDialog {
 public:
  explicit WorkbookDialog(QWidget* parent = nullptr);

  void accept() override;
};

// Runs the dialog modally; no value when the user cancels or chooses nothing.
std::optional<std::filesystem::path> chooseWorkbookFile(QWidget* parent);

}  // namespace kelmora
