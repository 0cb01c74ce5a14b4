// Which picture files the program reads.
#ifndef MIROKATA_PICTURE_PICTURE_FILE_H_
#define MIROKATA_PICTURE_PICTURE_FILE_H_

#include <string_view>

namespace mirokata {

// What a file name says it holds, by its extension compared in capitals:
// ".BMP" a bitmap, ".JPG" a JPEG file, anything else (".jpeg" included) no
// picture.
enum class PictureKind { kNone, kBitmap, kJpeg };
PictureKind PictureKindOf(std::string_view path);

}  // namespace mirokata

#endif  // MIROKATA_PICTURE_PICTURE_FILE_H_
