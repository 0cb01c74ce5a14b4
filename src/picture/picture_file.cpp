#include "picture/picture_file.h"

#include <cctype>
#include <string>

namespace mirokata {

PictureKind PictureKindOf(std::string_view path) {
  size_t slash = path.find_last_of('/');
  std::string_view name =
      slash == std::string_view::npos ? path : path.substr(slash + 1);
  if (name.size() < 4) return PictureKind::kNone;
  std::string ext;
  for (char c : name.substr(name.size() - 4)) {
    ext += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  }
  if (ext == ".BMP") return PictureKind::kBitmap;
  if (ext == ".JPG") return PictureKind::kJpeg;
  return PictureKind::kNone;
}

}  // namespace mirokata
