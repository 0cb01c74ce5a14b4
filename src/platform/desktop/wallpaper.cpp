#include "platform/desktop/wallpaper.h"

#include <QBuffer>
#include <QByteArray>

#include "platform/file_io.h"

namespace mirokata {

std::optional<WallpaperImage> WriteWallpaperFile(const QImage& picture,
                                                 const std::string& file_path) {
  if (picture.isNull() || file_path.empty()) return std::nullopt;
  QByteArray bmp;
  QBuffer buffer(&bmp);
  buffer.open(QIODevice::WriteOnly);
  if (!picture.save(&buffer, "BMP")) return std::nullopt;
  if (!WriteFileAtomic(
          file_path,
          std::string_view(bmp.constData(), static_cast<size_t>(bmp.size())),
          PublicFileMode())) {
    return std::nullopt;
  }

  const QImage argb = picture.convertToFormat(QImage::Format_ARGB32);
  WallpaperImage image;
  image.width = argb.width();
  image.height = argb.height();
  image.argb.resize(static_cast<size_t>(image.width) * image.height);
  for (int y = 0; y < image.height; ++y) {
    const auto* row = reinterpret_cast<const uint32_t*>(argb.constScanLine(y));
    std::copy(row, row + image.width,
              image.argb.begin() + static_cast<ptrdiff_t>(y) * image.width);
  }
  return image;
}

void ApplyWallpaper(const WallpaperImage& image, const std::string& file_path,
                    DesktopWindows& desktop,
                    const std::function<void(const std::string&)>& record) {
  desktop.SetWallpaper(image, file_path);
  if (record) record(file_path);
}

}  // namespace mirokata
