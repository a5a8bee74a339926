// Writes the record form "wais-iv.png" that the report is printed over.
//
//   kelmora-background <form.png> [<preview.png> <resources>]
//
// The preview is the form with the sample client's report drawn on it by the
// real scoring run, the way to check by eye that every value fits its box.
// The run reads its conversion tables from the resources folder.

#include <QGuiApplication>
#include <QImageWriter>
#include <QString>
#include <cstdio>

#include "tools/background/record_form.h"
#include "tools/background/sample_report.h"

namespace {

bool writePng(const QImage& image, const QString& path) {
  QImageWriter writer(path, "png");
  // Highest compression: the file ships with the program and is embedded in
  // every report.
  writer.setQuality(0);
  if (writer.write(image)) return true;
  std::fprintf(stderr, "kelmora-background: cannot write %s: %s\n", qPrintable(path), qPrintable(writer.errorString()));
  return false;
}

}  // namespace

int main(int argc, char** argv) {
  // Text needs a platform integration; the offscreen one needs no display.
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication application(argc, argv);
  if (argc != 2 && argc != 4) {
    std::fprintf(stderr, "usage: kelmora-background <form.png> [<preview.png> <resources>]\n");
    return 2;
  }
  if (!kelmora::background::loadFormFonts()) {
    std::fprintf(stderr, "kelmora-background: DejaVu Sans not found (install fonts-dejavu-core)\n");
    return 1;
  }
  const QImage form = kelmora::background::renderRecordForm();
  if (!writePng(form, QString::fromLocal8Bit(argv[1]))) return 1;
  if (argc == 4) {
    if (!kelmora::background::loadConversionTables(argv[3])) {
      std::fprintf(stderr, "kelmora-background: the conversion tables are not all in %s\n", argv[3]);
      return 1;
    }
    const QImage preview = kelmora::background::drawPreview(form);
    if (preview.isNull()) {
      std::fprintf(stderr, "kelmora-background: the sample client's run made no report\n");
      return 1;
    }
    if (!writePng(preview, QString::fromLocal8Bit(argv[2]))) return 1;
  }
  return 0;
}
