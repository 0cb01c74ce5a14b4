#include "picture/picture_loading.h"

#include <QFileInfo>
#include <QPointer>
#include <memory>

#include "picture/jpeg_jobs.h"
#include "picture/picture_file.h"

namespace mirokata {

QImage ToQImage(const IndexedPicture& picture) {
  if (picture.width <= 0 || picture.height <= 0) return {};
  QImage image(picture.width, picture.height, QImage::Format_Indexed8);
  if (image.isNull()) return {};
  QList<QRgb> table;
  for (const Rgb& c : picture.palette) table.push_back(qRgb(c.r, c.g, c.b));
  while (table.size() < 1) table.push_back(qRgb(0, 0, 0));
  image.setColorTable(table);
  const size_t width = static_cast<size_t>(picture.width);
  for (int y = 0; y < picture.height; ++y) {
    const uint8_t* row = picture.pixels.data() + width * static_cast<size_t>(y);
    std::copy(row, row + width, image.scanLine(y));
  }
  return image;
}

RgbPicture ToRgbPicture(const QImage& image) {
  RgbPicture out;
  if (image.isNull()) return out;
  const QImage rgb = image.convertToFormat(QImage::Format_RGB888);
  out.width = rgb.width();
  out.height = rgb.height();
  const size_t stride = static_cast<size_t>(out.width) * 3;
  out.rgb.resize(stride * static_cast<size_t>(out.height));
  for (int y = 0; y < out.height; ++y) {
    std::copy(rgb.constScanLine(y), rgb.constScanLine(y) + stride,
              out.rgb.begin() + static_cast<ptrdiff_t>(stride) * y);
  }
  return out;
}

int LoadPicture(JpegJobs& jobs, const QString& path, bool fast_preview,
                QObject* receiver, std::function<void(QImage)> done) {
  const std::string file = path.toStdString();
  const PictureKind kind = PictureKindOf(file);
  if (kind == PictureKind::kNone || !QFileInfo(path).isFile()) {
    done(QImage());
    return 0;
  }
  if (kind == PictureKind::kBitmap) {
    // A large bitmap takes a while to read: off the user-interface thread
    // too, in turn with the JPEG work.
    auto image = std::make_shared<QImage>();
    return jobs.RunFileWork(
        [image, path] { *image = QImage(path, "BMP"); }, receiver,
        [image, done = std::move(done)] { done(std::move(*image)); });
  }
  JpegJobs::DecodeRequest request;
  request.path = file;
  request.fast = fast_preview;
  request.progress_window = !fast_preview;
  return jobs.Decode(std::move(request), receiver,
                     [done = std::move(done)](std::optional<IndexedPicture> p) {
                       done(p ? ToQImage(*p) : QImage());
                     });
}

}  // namespace mirokata
