// Loading the picture files that popups, memos and diary pages show.
#ifndef MIROKATA_PICTURE_PICTURE_LOADING_H_
#define MIROKATA_PICTURE_PICTURE_LOADING_H_

#include <QImage>
#include <QString>
#include <functional>

#include "picture/jpeg_codec.h"

class QObject;

namespace mirokata {

class JpegJobs;

// An 8-bit indexed image with the picture's palette.
QImage ToQImage(const IndexedPicture& picture);
// Any image as 24-bit pixels (alpha dropped), for encoding.
RgbPicture ToRgbPicture(const QImage& image);

// Loads the picture file by its kind on the picture worker of `jobs`,
// queued behind any work already there: a ".BMP" file as it is, a ".JPG"
// file decoded (with the progress window unless `fast_preview`, which also
// uses the fast inverse DCT). `done` gets a null image for a missing file,
// another extension, a decode error or a stop; it runs on the UI thread,
// later for a picture file and before this returns otherwise, and never
// once `receiver` is gone (a null receiver: always). Returns the job id, or
// 0 when no job was queued.
int LoadPicture(JpegJobs& jobs, const QString& path, bool fast_preview,
                QObject* receiver, std::function<void(QImage)> done);

}  // namespace mirokata

#endif  // MIROKATA_PICTURE_PICTURE_LOADING_H_
