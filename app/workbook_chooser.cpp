#include "app/workbook_chooser.h"

#include <QFile>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QIdentityProxyModel>
#include <QLocale>
#include <QStringList>

namespace kelmora {
namespace {

// The detail view's sizes, dates and workbook type in Bokmål, whatever the
// system's locale: Qt's file model writes sizes and dates in the system's
// locale, and takes the type from the MIME database, which has no Bokmål name
// for a workbook.
class BokmalDetails : public QIdentityProxyModel {
 public:
  using QIdentityProxyModel::QIdentityProxyModel;

  QVariant data(const QModelIndex& index, int role) const override {
    const auto* files = qobject_cast<const QFileSystemModel*>(sourceModel());
    if (role != Qt::DisplayRole || !files) return QIdentityProxyModel::data(index, role);
    const QModelIndex file = mapToSource(index);
    const QLocale bokmal(QLocale::NorwegianBokmal, QLocale::Norway);
    switch (index.column()) {
      case 1:
        if (!files->isDir(file)) return bokmal.formattedDataSize(files->size(file));
        break;
      case 2:
        if (!files->isDir(file) && isWorkbookName(files->fileName(file.siblingAtColumn(0))))
          return QStringLiteral("Excel-dokument");
        break;
      case 3:
        return bokmal.toString(files->lastModified(file), QLocale::ShortFormat);
    }
    return QIdentityProxyModel::data(index, role);
  }
};

}  // namespace

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
  setProxyModel(new BokmalDetails(this));
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
