#pragma once
// A recording painted with QPainter: how the report's page looks, whether it
// goes into a PDF document or onto an image.

#include <QColor>
#include <QImage>
#include <functional>
#include <optional>

#include "platform/recording_context.h"

class QPainter;

namespace kelmora::platform {

struct RecordingPaint {
  // Called where each page begins, before the painter is turned to its page
  // points; a PDF writer starts the next page here.
  std::function<void(const Rect& mediaBox, bool firstPage)> beginPage;
  // What is painted in a recorded image's place; the image itself if unset.
  std::function<const QImage&(const QImage& recorded)> imageInPlaceOf;
  // Every text, stroke and fill in this colour rather than its own.
  std::optional<QColor> ink;
};

// Paints the recorded pages, given in page points with y upward, onto the
// painter's device (y downward), one unit to one point.
void paintRecording(const Recording& recording, QPainter& painter, const RecordingPaint& paint = {});

}  // namespace kelmora::platform
