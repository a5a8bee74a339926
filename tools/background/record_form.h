#pragma once
// The record form that the report page is printed over ("wais-iv.png"), drawn
// from the page's own layout constants so that every box sits where the report
// writes its value.

#include <QImage>

namespace kelmora::background {

// Registers the form's typefaces (DejaVu Sans and DejaVu Sans Bold) from the
// system's font folder. Needs a QGuiApplication. False when a file is missing:
// drawing with a substitute font would give a different image.
bool loadFormFonts();

// The whole form, page-sized (one pixel per page point), white, opaque.
QImage renderRecordForm();

}  // namespace kelmora::background
