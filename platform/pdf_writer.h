#pragma once
// Recorded pages written as a PDF document, painted by Qt.

#include <string>

#include "platform/recording_context.h"

class QIODevice;

namespace kelmora::platform {

// Writes the recording's pages to the device as one document. Qt reports no
// failed write, so the document is made in memory and written with a byte
// count that is checked. False, with the reason, when the recording has no
// page or the document cannot be made or written whole.
bool writePdf(const Recording& recording, QIODevice& output, std::string& reason);

}  // namespace kelmora::platform
