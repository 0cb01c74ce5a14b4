#include "platform/desktop/wallpaper.h"

#include <QBuffer>
#include <QByteArray>

#include "platform/desktop/desktop_windows.h"
#include "platform/file_io.h"

namespace mirokata {

bool SetDesktopWallpaper(const QImage& picture, const std::string& file_path,
                         DesktopWindows& desktop,
                         const std::function<void(const std::string&)>& record) {
  if (picture.isNull() || file_path.empty()) return false;
  QByteArray bmp;
  QBuffer buffer(&bmp);
  buffer.open(QIODevice::WriteOnly);
  if (!picture.save(&buffer, "BMP")) return false;
  if (!WriteFileAtomic(
          file_path,
          std::string_view(bmp.constData(), static_cast<size_t>(bmp.size())),
          PublicFileMode())) {
    return false;
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
  desktop.SetWallpaper(image, file_path);

  if (record) record(file_path);
  return true;
}

}  // namespace mirokata
