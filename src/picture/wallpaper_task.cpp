#include "picture/wallpaper_task.h"

#include <memory>
#include <optional>
#include <utility>

#include "picture/jpeg_jobs.h"
#include "platform/desktop/wallpaper.h"

namespace mirokata {

int SetDesktopWallpaper(JpegJobs& jobs, QImage picture, std::string file_path,
                        DesktopWindows& desktop,
                        std::function<void(const std::string&)> record) {
  auto written = std::make_shared<std::optional<WallpaperImage>>();
  auto path = std::make_shared<const std::string>(std::move(file_path));
  return jobs.RunFileWork(
      [written, path, picture = std::move(picture)] {
        *written = WriteWallpaperFile(picture, *path);
      },
      nullptr,
      [written, path, &desktop, record = std::move(record)] {
        if (*written) ApplyWallpaper(**written, *path, desktop, record);
      });
}

}  // namespace mirokata
