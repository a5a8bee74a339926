#include "platform/pdf_appended_image.h"

#include <zlib.h>

#include <QColor>
#include <cstdio>
#include <mutex>

namespace kelmora::platform {
namespace {

std::shared_ptr<const DeflatedImage> deflate(const QImage& source, std::string& refusal) {
  if (source.isNull()) {
    refusal = "the image holds no pixels";
    return nullptr;
  }
  if (source.hasAlphaChannel()) {
    refusal = "the image has an alpha channel";
    return nullptr;
  }
  if (source.depth() == 1) {
    refusal = "the image is a one-bit bitmap";
    return nullptr;
  }
  const QImage image = source.format() == QImage::Format_RGB32 ? source : source.convertToFormat(QImage::Format_RGB32);
  auto made = std::make_shared<DeflatedImage>();
  made->width = image.width();
  made->height = image.height();
  made->grey = true;
  for (int y = 0; y < image.height() && made->grey; ++y) {
    const auto* row = reinterpret_cast<const QRgb*>(image.constScanLine(y));
    for (int x = 0; x < image.width(); ++x) {
      if (qRed(row[x]) != qBlue(row[x]) || qGreen(row[x]) != qBlue(row[x])) {
        made->grey = false;
        break;
      }
    }
  }
  const qsizetype components = made->grey ? 1 : 3;
  QByteArray raw(qsizetype(image.width()) * image.height() * components, Qt::Uninitialized);
  auto* out = reinterpret_cast<uchar*>(raw.data());
  for (int y = 0; y < image.height(); ++y) {
    const auto* row = reinterpret_cast<const QRgb*>(image.constScanLine(y));
    for (int x = 0; x < image.width(); ++x) {
      if (!made->grey) {
        *out++ = static_cast<uchar>(qRed(row[x]));
        *out++ = static_cast<uchar>(qGreen(row[x]));
      }
      *out++ = static_cast<uchar>(qBlue(row[x]));
    }
  }
  uLongf size = compressBound(static_cast<uLong>(raw.size()));
  made->pixels.resize(static_cast<qsizetype>(size));
  if (compress2(reinterpret_cast<Bytef*>(made->pixels.data()), &size, reinterpret_cast<const Bytef*>(raw.constData()),
                static_cast<uLong>(raw.size()), Z_DEFAULT_COMPRESSION) != Z_OK) {
    refusal = "the image could not be deflated";
    return nullptr;
  }
  made->pixels.resize(static_cast<qsizetype>(size));
  return made;
}

QByteArray number(qint64 value) { return QByteArray::number(value); }

// The decimal number that the text holds and nothing else.
std::optional<qint64> wholeNumber(const QByteArray& text) {
  if (text.isEmpty() || text.size() > 15) return std::nullopt;
  for (const char c : text)
    if (c < '0' || c > '9') return std::nullopt;
  return text.toLongLong();
}

std::shared_ptr<const DeflatedImage> deflatedImage(const QImage& image, std::string& refusal) {
  static std::mutex mutex;
  static qint64 lastKey = 0;
  static std::shared_ptr<const DeflatedImage> last;
  const std::lock_guard lock(mutex);
  if (last && lastKey == image.cacheKey()) return last;
  auto made = deflate(image, refusal);
  if (made) {
    lastKey = image.cacheKey();
    last = made;
  }
  return made;
}

}  // namespace

std::optional<ImageToAppend> imageToAppend(const Recording& recording, std::string& refusal) {
  std::optional<ImageToAppend> found;
  for (const auto& operation : recording.operations) {
    if (operation.kind != Operation::Kind::image || !operation.image) continue;
    const QImage& image = operation.image->qImage();
    if (found) {
      if (image.cacheKey() == found->key) continue;
      refusal = "the document holds more than one image";
      return std::nullopt;
    }
    auto pixels = deflatedImage(image, refusal);
    if (!pixels) return std::nullopt;
    found = ImageToAppend{image.cacheKey(), standInImage(), std::move(pixels)};
  }
  return found;
}

QImage standInImage() {
  QImage image(1, 1, QImage::Format_RGB32);
  image.fill(Qt::white);
  return image;
}

std::optional<QByteArray> withImageForStandIn(const QByteArray& document, const DeflatedImage& image,
                                              std::string& refusal) {
  const auto refuse = [&refusal](const char* check) -> std::optional<QByteArray> {
    refusal = check;
    return std::nullopt;
  };
  // The dictionary that Qt writes for the stand-in, after its "n 0 obj" line.
  static const QByteArray standIn =
      "\n<<\n/Type /XObject\n/Subtype /Image\n/Width 1\n/Height 1\n/BitsPerComponent 8\n/ColorSpace /DeviceRGB\n";
  const qsizetype found = document.indexOf(standIn);
  if (found < 0) return refuse("the stand-in's dictionary is not in the document");
  if (document.indexOf(standIn, found + 1) >= 0) return refuse("the stand-in's dictionary is there more than once");
  const qsizetype objectAt = document.lastIndexOf('\n', found - 1) + 1;
  const QByteArray objectLine = document.mid(objectAt, found - objectAt);
  const qint64 object = objectLine.endsWith(" 0 obj") ? wholeNumber(objectLine.chopped(6)).value_or(0) : 0;
  if (object == 0) return refuse("the stand-in's dictionary does not open an object");

  // The end: "startxref", the table's offset, "%%EOF".
  const qsizetype startxref = document.lastIndexOf("\nstartxref\n");
  if (startxref < 0) return refuse("the document has no startxref");
  const qsizetype offsetEnd = document.indexOf('\n', startxref + 11);
  if (offsetEnd < 0 || document.mid(offsetEnd + 1).trimmed() != "%%EOF")
    return refuse("the document does not end with startxref, an offset and %%EOF");
  const auto xrefAt = wholeNumber(document.mid(startxref + 11, offsetEnd - startxref - 11).trimmed());
  if (!xrefAt || *xrefAt >= startxref || !document.mid(*xrefAt).startsWith("xref\n"))
    return refuse("startxref does not point at a cross-reference table");

  // One subsection from object 0, whose entry for the stand-in points at it.
  const qsizetype headerAt = *xrefAt + 5;
  const qsizetype headerEnd = document.indexOf('\n', headerAt);
  const QList<QByteArray> header =
      headerEnd < 0 ? QList<QByteArray>{} : document.mid(headerAt, headerEnd - headerAt).trimmed().split(' ');
  const qint64 count = header.size() == 2 && header[0] == "0" ? wholeNumber(header[1]).value_or(0) : 0;
  if (object >= count) return refuse("the cross-reference table is not one section from object 0 with the stand-in");
  const qsizetype entries = headerEnd + 1;
  char expected[32];
  std::snprintf(expected, sizeof expected, "%010lld 00000 n", static_cast<long long>(objectAt));
  if (document.mid(entries + 20 * object, 18) != expected)
    return refuse("the stand-in's cross-reference entry does not point at its object");
  const qsizetype trailerAt = entries + 20 * count;
  if (!document.mid(trailerAt).startsWith("trailer\n")) return refuse("no trailer follows the cross-reference table");
  const QByteArray trailer = document.mid(trailerAt + 8, startxref - trailerAt - 8).trimmed();
  if (!trailer.startsWith("<<") || !trailer.endsWith(">>")) return refuse("the trailer is not one dictionary");
  if (trailer.contains("/Prev")) return refuse("the document has an update already");
  if (trailer.contains("/Encrypt")) return refuse("the document is encrypted");

  QByteArray updated;
  updated.reserve(document.size() + image.pixels.size() + 512);
  updated += document;
  if (!updated.endsWith('\n')) updated += '\n';
  const qsizetype newObjectAt = updated.size();
  updated += number(object) + " 0 obj\n<<\n/Type /XObject\n/Subtype /Image\n/Width " + number(image.width) +
             "\n/Height " + number(image.height) + "\n/BitsPerComponent 8\n/ColorSpace " +
             (image.grey ? "/DeviceGray" : "/DeviceRGB") + "\n/Length " + number(image.pixels.size()) +
             "\n/Filter /FlateDecode\n>>\nstream\n";
  updated += image.pixels;
  updated += "\nendstream\nendobj\n";
  const qsizetype newXrefAt = updated.size();
  std::snprintf(expected, sizeof expected, "%010lld 00000 n \n", static_cast<long long>(newObjectAt));
  updated += "xref\n" + number(object) + " 1\n" + expected;
  updated += "trailer\n" + trailer.chopped(2).trimmed() + "\n/Prev " + number(*xrefAt) + "\n>>\nstartxref\n" +
             number(newXrefAt) + "\n%%EOF\n";
  return updated;
}

}  // namespace kelmora::platform
