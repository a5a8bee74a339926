#pragma once
// Images for the PDF writer without Qt's costly path: Qt stores every image
// as deflated RGB, a grey background included, and does so for every
// document. Here Qt draws a one-pixel stand-in in the image's place; the
// stand-in's object is then redefined, in an update appended to the
// document, as the image's own pixels, deflated once per image.

#include <QByteArray>
#include <QImage>
#include <memory>
#include <optional>
#include <string>

#include "platform/recording_context.h"

namespace kelmora::platform {

// An opaque image's pixels as a PDF stores them, eight bits a component and
// deflated: one component when every pixel is grey, else three.
struct DeflatedImage {
  int width = 0;
  int height = 0;
  bool grey = false;
  QByteArray pixels;
};

// The image of a document that Qt draws as the stand-in, its pixels appended
// afterwards.
struct ImageToAppend {
  qint64 key = 0;  // the image's QImage::cacheKey()
  QImage standIn;
  std::shared_ptr<const DeflatedImage> pixels;
};

// Only a document whose images are all one opaque image has one: one stand-in
// object is all that the document can be searched for without doubt. No value
// for a document without images, nor, with the reason, for any other. Opaque
// excludes an alpha channel and a one-bit bitmap (which Qt paints as a
// stencil). The last image deflated is kept, so that the same background
// costs nothing in the next document.
std::optional<ImageToAppend> imageToAppend(const Recording& recording, std::string& refusal);

// What Qt is given to draw in the image's place: one opaque white pixel.
QImage standInImage();

// The document with the stand-in's object redefined as the image. No value,
// and the check that failed, unless the document is laid out as Qt writes it:
// the stand-in's object found exactly once, where the one cross-reference
// table says it is, and a trailer that the update can follow.
std::optional<QByteArray> withImageForStandIn(const QByteArray& document, const DeflatedImage& image,
                                              std::string& refusal);

}  // namespace kelmora::platform
