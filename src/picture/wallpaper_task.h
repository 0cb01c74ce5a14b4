// SetDesktopWallpaper: the one way the program changes the wallpaper.
#ifndef MIROKATA_PICTURE_WALLPAPER_TASK_H_
#define MIROKATA_PICTURE_WALLPAPER_TASK_H_

#include <QImage>
#include <functional>
#include <string>

namespace mirokata {

class DesktopWindows;
class JpegJobs;

// Saves the picture as a bitmap file at `file_path` on the picture worker
// of `jobs` (a large one takes seconds to flush to disk), then, back on
// this thread, makes it the desktop's wallpaper and hands the path to
// `record`. It belongs to no window: a popup that closes meanwhile does not
// stop it. A picture that cannot be written changes nothing. `desktop` and
// whatever `record` reaches must outlive `jobs`. Returns the job id.
int SetDesktopWallpaper(JpegJobs& jobs, QImage picture, std::string file_path,
                        DesktopWindows& desktop,
                        std::function<void(const std::string&)> record);

}  // namespace mirokata

#endif  // MIROKATA_PICTURE_WALLPAPER_TASK_H_
