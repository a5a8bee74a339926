#include "app/workbook_chooser.h"

#include <QFile>
#include <QFileInfo>
#include <QStringList>

namespace kelmora {

bool isWorkbookName(const QString& fileName) {
  // A bare ".xlsx" is a hidden file without a name, not a workbook.
  const QString name = QFileInfo(fileName).fileName();
  return name.size() > 5 && name.endsWith(QStringLiteral(".xlsx"), Qt::CaseInsensitive);
}

WorkbookDialog::WorkbookDialog(QWidget* parent) : QFileDialog(parent) {
  setWindowTitle(QStringLiteral("Les inn Excel-dokument"));
  setAcceptMode(QFileDialog::AcceptOpen);
  setFileMode(QFileDialog::ExistingFile);
  setNameFilter(QStringLiteral("Excel-dokument (*.xlsx *.XLSX)"));
  // Qt's own dialog on every desktop, so that these rules hold everywhere;
  // a read-only dialog offers no "New Folder".
  setOptions(QFileDialog::DontUseNativeDialog | QFileDialog::ReadOnly);
}

void WorkbookDialog::accept() {
  const QStringList files = selectedFiles();
  for (const QString& file : files) {
    // A directory is let through: the dialog then opens it instead of choosing it.
    if (QFileInfo(file).isDir()) continue;
    if (!isWorkbookName(file)) return;
  }
  QFileDialog::accept();
}

std::optional<std::filesystem::path> chooseWorkbookFile(QWidget* parent) {
  WorkbookDialog dialog(parent);
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  const QStringList files = dialog.selectedFiles();
  if (files.isEmpty() || files.front().isEmpty() || !isWorkbookName(files.front())) return std::nullopt;
  return std::filesystem::path(QFile::encodeName(files.front()).toStdString());
}

}  // namespace kelmora
