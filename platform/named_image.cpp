#include "platform/named_image.h"

#include <QImage>
#include <QImageReader>
#include <QString>

#include "norms/resource_bundle.h"

namespace kelmora::platform {

Image::Image(const QImage& image) : image_(std::make_shared<const QImage>(image)) {}

int Image::width() const { return image_->width(); }
int Image::height() const { return image_->height(); }

std::optional<Image> loadImage(const std::filesystem::path& file) {
  QImageReader reader(QString::fromStdString(file.string()));
  QImage image = reader.read();
  if (image.isNull() || image.width() <= 0 || image.height() <= 0) return std::nullopt;
  return Image(image);
}

std::optional<Image> namedImage(std::string_view name) {
  const auto path = bundle::pathForResource(name, "png");
  if (!path) return std::nullopt;
  return loadImage(*path);
}

}  // namespace kelmora::platform
