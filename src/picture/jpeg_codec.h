// Reading and writing JPEG files with libjpeg.
//
// Plain C++ with no Qt: pictures are plain pixel buffers. Every libjpeg
// failure comes back as a status and the library's own message; nothing
// here ever ends the program, whatever the file holds.
#ifndef MIROKATA_PICTURE_JPEG_CODEC_H_
#define MIROKATA_PICTURE_JPEG_CODEC_H_

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace mirokata {

struct Rgb {
  uint8_t r = 0;
  uint8_t g = 0;
  uint8_t b = 0;
  bool operator==(const Rgb&) const = default;
};

// A picture of at most 256 colours: one palette index per pixel, rows top
// to bottom without padding.
struct IndexedPicture {
  int width = 0;
  int height = 0;
  std::vector<Rgb> palette;
  std::vector<uint8_t> pixels;  // width * height indices into palette
};

// A 24-bit picture: three bytes (red, green, blue) per pixel, no padding.
struct RgbPicture {
  int width = 0;
  int height = 0;
  std::vector<uint8_t> rgb;
};

RgbPicture ToRgb(const IndexedPicture& picture);

// Decoded pictures needing more than this (four bytes per pixel: the
// quantizer's full-colour image plus our indices) are refused before any
// pixel is decoded, so a hostile header cannot exhaust memory.
inline constexpr uint64_t kMaxDecodedBytes = uint64_t{256} << 20;

enum class JpegStatus {
  kOk,
  // The library complained about the data (a truncated file, corrupt
  // segments) but produced a whole picture; the damaged part is grey.
  kDamaged,
  // Nothing usable: the library gave up, or the file is missing.
  kFailed,
  // Width x height beyond kMaxDecodedBytes.
  kTooLarge,
  // The progress callback asked to stop.
  kStopped,
};

struct JpegDecodeOptions {
  // The fast, lower-quality inverse DCT (previews).
  bool fast = false;
  // Called with 0..100 whenever the figure changes; return false to stop.
  // Must not throw.
  std::function<bool(int percent)> progress;
};

struct JpegDecodeResult {
  JpegStatus status = JpegStatus::kFailed;
  // Set for kOk and kDamaged.
  IndexedPicture picture;
  // The library's message (first one for kDamaged); empty for kOk.
  std::string message;
};

// Decodes to at most 256 colours (Floyd-Steinberg dithered). Grey pictures
// get a grey palette; CMYK files are converted to RGB.
JpegDecodeResult DecodeJpeg(std::string_view data,
                            const JpegDecodeOptions& options = {});
JpegDecodeResult DecodeJpegFile(const std::string& path,
                                const JpegDecodeOptions& options = {});

struct JpegEncodeResult {
  bool ok = false;
  std::string message;  // why not, when !ok
};

// Encodes at quality 100. EncodeJpeg leaves *out empty on failure.
JpegEncodeResult EncodeJpeg(
    const RgbPicture& picture, std::string* out,
    const std::function<bool(int percent)>& progress = {});
// Encodes and then replaces the file atomically: a failed or stopped encode
// leaves an existing file as it was.
JpegEncodeResult EncodeJpegFile(
    const RgbPicture& picture, const std::string& path,
    const std::function<bool(int percent)>& progress = {});

}  // namespace mirokata

#endif  // MIROKATA_PICTURE_JPEG_CODEC_H_
