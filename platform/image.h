#pragma once
// Bitmaps: decoded images, and the named ones among the resources.

#include <filesystem>
#include <memory>
#include <optional>
#include <string_view>

class QImage;

namespace kelmora::platform {

// A decoded bitmap; copies share the pixels.
class Image {
 public:
  explicit Image(const QImage& image);

  int width() const;   // pixels
  int height() const;  // pixels
  const QImage& qImage() const { return *image_; }

 private:
  std::shared_ptr<const QImage> image_;
};

// Decodes an image file; no value when it cannot be read or holds no pixels.
std::optional<Image> loadImage(const std::filesystem::path& file);

// The PNG "<name>.png" among the resources, decoded; no value when the
// resource is missing or does not yield a bitmap.
std::optional<Image> namedImage(std::string_view name);

}  // namespace kelmora::platform
