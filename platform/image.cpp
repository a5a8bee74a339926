#include "platform/image.h"

#include <QImage>
#include <QImageReader>
#include <QString>
#include <cstdint>
#include <map>
#include <system_error>

#include "base/resource_folder.h"

namespace kelmora::platform {

Image::Image(const QImage& image) : image_(std::make_shared<const QImage>(image)) {}

int Image::width() const { return image_->width(); }
int Image::height() const { return image_->height(); }

std::optional<Image> loadImage(const std::filesystem::path& file) {
  QImageReader reader(QString::fromStdString(file.string()));
  QImage image = reader.read();
  if (image.isNull() || image.width() <= 0 || image.height() <= 0) return std::nullopt;
  // The PDF writer stores images as 32-bit pixels; converting once here spares
  // that conversion in every report.
  return Image(image.convertToFormat(image.hasAlphaChannel() ? QImage::Format_ARGB32 : QImage::Format_RGB32));
}

std::optional<Image> namedImage(std::string_view name) {
  const auto path = bundle::pathForResource(name, "png");
  if (!path) return std::nullopt;
  // Decoded once and kept, as named images are; a file that has changed
  // since is decoded again. Only the main thread asks for images.
  struct Cached {
    std::filesystem::file_time_type modified;
    std::uintmax_t size;
    std::optional<Image> image;
  };
  static std::map<std::filesystem::path, Cached> cache;
  std::error_code error;
  const auto modified = std::filesystem::last_write_time(*path, error);
  const auto size = std::filesystem::file_size(*path, error);
  if (error) return loadImage(*path);
  const auto found = cache.find(*path);
  if (found != cache.end() && found->second.modified == modified && found->second.size == size)
    return found->second.image;
  auto image = loadImage(*path);
  cache[*path] = Cached{modified, size, image};
  return image;
}

}  // namespace kelmora::platform
