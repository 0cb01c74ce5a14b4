#include "picture/jpeg_codec.h"

// jpeglib.h needs size_t and FILE declared first.
#include <jerror.h>
#include <jpeglib.h>

#include <csetjmp>
#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/file_io.h"

namespace mirokata {
namespace {

// Everything libjpeg touches lives in plain structs, and every function that
// calls setjmp() holds nothing but these and other trivially destructible
// values: a longjmp() out of libjpeg then skips no destructor.

using ProgressFn = bool (*)(void* context, int percent);

struct ErrorState {
  jpeg_error_mgr pub;
  jmp_buf jump;
  char message[JMSG_LENGTH_MAX];
  char warning[JMSG_LENGTH_MAX];
  bool warned;
};

struct ProgressState {
  jpeg_progress_mgr pub;
  ErrorState* error;
  ProgressFn fn;
  void* context;
  int last_percent;
  bool stopped;
};

[[noreturn]] void OnError(j_common_ptr cinfo) {
  ErrorState* err = reinterpret_cast<ErrorState*>(cinfo->err);
  (*cinfo->err->format_message)(cinfo, err->message);
  std::longjmp(err->jump, 1);
}

void OnMessage(j_common_ptr cinfo, int level) {
  if (level >= 0) return;  // trace output
  ErrorState* err = reinterpret_cast<ErrorState*>(cinfo->err);
  if (!err->warned) {
    (*cinfo->err->format_message)(cinfo, err->warning);
    err->warned = true;
  }
  cinfo->err->num_warnings++;
}

void OnProgress(j_common_ptr cinfo) {
  ProgressState* p = reinterpret_cast<ProgressState*>(cinfo->progress);
  if (p->fn == nullptr || p->pub.pass_limit <= 0) return;
  long passes = p->pub.total_passes > 0 ? p->pub.total_passes : 1;
  long done = p->pub.completed_passes * 100 +
              p->pub.pass_counter * 100 / p->pub.pass_limit;
  int percent = static_cast<int>(done / passes);
  if (percent > 100) percent = 100;
  if (percent == p->last_percent) return;
  p->last_percent = percent;
  if (!p->fn(p->context, percent)) {
    p->stopped = true;
    std::strcpy(p->error->message, "stopped");
    std::longjmp(p->error->jump, 2);
  }
}

void InitErrors(ErrorState* err) {
  std::memset(err, 0, sizeof(*err));
  jpeg_std_error(&err->pub);
  err->pub.error_exit = OnError;
  err->pub.emit_message = OnMessage;
}

void InitProgress(ProgressState* p, ErrorState* err, ProgressFn fn,
                  void* context) {
  std::memset(p, 0, sizeof(*p));
  p->pub.progress_monitor = OnProgress;
  p->error = err;
  p->fn = fn;
  p->context = context;
  p->last_percent = -1;
}

struct DecodeJob {
  jpeg_decompress_struct cinfo;
  ErrorState err;
  ProgressState progress;
  bool fast;
  bool too_large;
  bool created;
  int colours;
  unsigned char palette[256][3];
};

uint8_t Clamp255(int v) {
  return static_cast<uint8_t>(v < 0 ? 0 : (v > 255 ? 255 : v));
}

// The colour map as RGB; it lives only until the decompression finishes.
void CopyPalette(DecodeJob* job) {
  const int colours = job->cinfo.actual_number_of_colors;
  const int components = job->cinfo.out_color_components;
  JSAMPARRAY map = job->cinfo.colormap;
  // Adobe writes CMYK inverted, which is what nearly every CMYK JPEG is.
  const bool inverted = job->cinfo.saw_Adobe_marker;
  job->colours = colours < 0 ? 0 : (colours > 256 ? 256 : colours);
  for (int i = 0; i < job->colours; ++i) {
    unsigned char* c = job->palette[i];
    if (components == 1) {
      c[0] = c[1] = c[2] = map[0][i];
    } else if (components == 4) {
      int k = inverted ? map[3][i] : 255 - map[3][i];
      for (int ch = 0; ch < 3; ++ch) {
        int v = inverted ? map[ch][i] : 255 - map[ch][i];
        c[ch] = Clamp255(v * k / 255);
      }
    } else {
      for (int ch = 0; ch < 3; ++ch) c[ch] = map[ch][i];
    }
  }
}

// Reads the header and starts decompression; false on a library error.
bool StartDecode(DecodeJob* job, const unsigned char* data,
                 unsigned long size) {
  if (setjmp(job->err.jump) != 0) return false;
  jpeg_create_decompress(&job->cinfo);
  job->created = true;
  job->cinfo.progress = &job->progress.pub;
  // A safety net on top of the size check: libjpeg refuses to allocate
  // beyond this instead of exhausting memory.
  job->cinfo.mem->max_memory_to_use = 4 * static_cast<long>(kMaxDecodedBytes);
  jpeg_mem_src(&job->cinfo, data, size);
  jpeg_read_header(&job->cinfo, TRUE);
  uint64_t pixels = uint64_t{job->cinfo.image_width} * job->cinfo.image_height;
  if (pixels * 4 > kMaxDecodedBytes) {
    job->too_large = true;
    return false;
  }
  job->cinfo.quantize_colors = TRUE;
  job->cinfo.desired_number_of_colors = 256;
  job->cinfo.dct_method = job->fast ? JDCT_IFAST : JDCT_ISLOW;
  if (job->cinfo.jpeg_color_space == JCS_CMYK ||
      job->cinfo.jpeg_color_space == JCS_YCCK) {
    // The two-pass quantizer only takes three components.
    job->cinfo.out_color_space = JCS_CMYK;
    job->cinfo.two_pass_quantize = FALSE;
  } else if (job->cinfo.num_components == 1) {
    job->cinfo.out_color_space = JCS_GRAYSCALE;
  } else {
    job->cinfo.out_color_space = JCS_RGB;
  }
  jpeg_start_decompress(&job->cinfo);
  return true;
}

// Reads every row into pixels (output_width * output_height bytes).
bool ReadRows(DecodeJob* job, unsigned char* pixels) {
  if (setjmp(job->err.jump) != 0) return false;
  const JDIMENSION width = job->cinfo.output_width;
  while (job->cinfo.output_scanline < job->cinfo.output_height) {
    JSAMPROW row = pixels + size_t{job->cinfo.output_scanline} * width;
    jpeg_read_scanlines(&job->cinfo, &row, 1);
  }
  CopyPalette(job);
  jpeg_finish_decompress(&job->cinfo);
  return true;
}

// Our own memory destination: libjpeg's jpeg_mem_dest() frees its buffer
// when it grows but only reports the new one at the end, so after an error
// the caller would hold a dangling pointer.
struct MemoryDest {
  jpeg_destination_mgr pub;
  unsigned char* buffer;
  size_t capacity;
  size_t length;
};

void InitMemoryDest(j_compress_ptr cinfo) {
  MemoryDest* dest = reinterpret_cast<MemoryDest*>(cinfo->dest);
  if (dest->buffer == nullptr) {
    dest->capacity = 65536;
    dest->buffer = static_cast<unsigned char*>(std::malloc(dest->capacity));
    if (dest->buffer == nullptr) ERREXIT1(cinfo, JERR_OUT_OF_MEMORY, 1);
  }
  dest->pub.next_output_byte = dest->buffer;
  dest->pub.free_in_buffer = dest->capacity;
}

boolean GrowMemoryDest(j_compress_ptr cinfo) {
  MemoryDest* dest = reinterpret_cast<MemoryDest*>(cinfo->dest);
  size_t grown = dest->capacity * 2;
  auto* bigger = static_cast<unsigned char*>(std::realloc(dest->buffer, grown));
  if (bigger == nullptr) ERREXIT1(cinfo, JERR_OUT_OF_MEMORY, 2);
  dest->buffer = bigger;
  dest->pub.next_output_byte = bigger + dest->capacity;
  dest->pub.free_in_buffer = grown - dest->capacity;
  dest->capacity = grown;
  return TRUE;
}

void TermMemoryDest(j_compress_ptr cinfo) {
  MemoryDest* dest = reinterpret_cast<MemoryDest*>(cinfo->dest);
  dest->length = dest->capacity - dest->pub.free_in_buffer;
}

struct EncodeJob {
  jpeg_compress_struct cinfo;
  ErrorState err;
  ProgressState progress;
  MemoryDest dest;
  bool created;
};

bool RunEncode(EncodeJob* job, const unsigned char* rgb, int width,
               int height) {
  if (setjmp(job->err.jump) != 0) return false;
  jpeg_create_compress(&job->cinfo);
  job->created = true;
  job->cinfo.progress = &job->progress.pub;
  job->dest.pub.init_destination = InitMemoryDest;
  job->dest.pub.empty_output_buffer = GrowMemoryDest;
  job->dest.pub.term_destination = TermMemoryDest;
  job->cinfo.dest = &job->dest.pub;
  job->cinfo.image_width = static_cast<JDIMENSION>(width);
  job->cinfo.image_height = static_cast<JDIMENSION>(height);
  job->cinfo.input_components = 3;
  job->cinfo.in_color_space = JCS_RGB;
  jpeg_set_defaults(&job->cinfo);
  jpeg_set_quality(&job->cinfo, 100, TRUE);
  jpeg_start_compress(&job->cinfo, TRUE);
  const size_t stride = size_t{3} * static_cast<size_t>(width);
  while (job->cinfo.next_scanline < job->cinfo.image_height) {
    JSAMPROW row =
        const_cast<JSAMPROW>(rgb) + job->cinfo.next_scanline * stride;
    jpeg_write_scanlines(&job->cinfo, &row, 1);
  }
  jpeg_finish_compress(&job->cinfo);
  return true;
}

bool CallProgress(void* context, int percent) {
  auto* fn = static_cast<const std::function<bool(int)>*>(context);
  try {
    return (*fn)(percent);
  } catch (...) {
    return false;
  }
}

}  // namespace

RgbPicture ToRgb(const IndexedPicture& picture) {
  RgbPicture out;
  out.width = picture.width;
  out.height = picture.height;
  out.rgb.resize(picture.pixels.size() * 3);
  size_t o = 0;
  for (uint8_t index : picture.pixels) {
    Rgb c = index < picture.palette.size() ? picture.palette[index] : Rgb{};
    out.rgb[o++] = c.r;
    out.rgb[o++] = c.g;
    out.rgb[o++] = c.b;
  }
  return out;
}

JpegDecodeResult DecodeJpeg(std::string_view data,
                            const JpegDecodeOptions& options) {
  JpegDecodeResult result;
  // Zero-initialised, heap-held so the setjmp frames stay small.
  auto* job = static_cast<DecodeJob*>(std::calloc(1, sizeof(DecodeJob)));
  if (job == nullptr) {
    result.message = "Insufficient memory";
    return result;
  }
  InitErrors(&job->err);
  job->cinfo.err = &job->err.pub;
  InitProgress(&job->progress, &job->err,
               options.progress ? CallProgress : nullptr,
               const_cast<std::function<bool(int)>*>(&options.progress));
  job->fast = options.fast;

  const auto* bytes = reinterpret_cast<const unsigned char*>(data.data());
  bool ok = StartDecode(job, bytes, static_cast<unsigned long>(data.size()));
  if (ok) {
    const uint64_t width = job->cinfo.output_width;
    const uint64_t height = job->cinfo.output_height;
    result.picture.width = static_cast<int>(width);
    result.picture.height = static_cast<int>(height);
    result.picture.pixels.assign(width * height, 0);
    ok = ReadRows(job, result.picture.pixels.data());
  }

  if (ok) {
    result.picture.palette.resize(static_cast<size_t>(job->colours));
    for (int i = 0; i < job->colours; ++i) {
      result.picture.palette[static_cast<size_t>(i)] = {
          job->palette[i][0], job->palette[i][1], job->palette[i][2]};
    }
    if (job->err.warned) {
      result.status = JpegStatus::kDamaged;
      result.message = job->err.warning;
    } else {
      result.status = JpegStatus::kOk;
    }
  } else {
    result.picture = {};
    if (job->too_large) {
      result.status = JpegStatus::kTooLarge;
      result.message = "Image too large to open (" +
                       std::to_string(job->cinfo.image_width) + " x " +
                       std::to_string(job->cinfo.image_height) + " pixels)";
    } else if (job->progress.stopped) {
      result.status = JpegStatus::kStopped;
    } else {
      result.status = JpegStatus::kFailed;
      result.message = job->err.message;
    }
  }
  if (job->created) jpeg_destroy_decompress(&job->cinfo);
  std::free(job);
  return result;
}

JpegDecodeResult DecodeJpegFile(const std::string& path,
                                const JpegDecodeOptions& options) {
  std::string data;
  switch (ReadWholeFile(path, &data)) {
    case ReadResult::kOk:
      return DecodeJpeg(data, options);
    case ReadResult::kMissing: {
      JpegDecodeResult result;
      result.message = "File not found: " + path;
      return result;
    }
    case ReadResult::kUnreadable:
      break;
  }
  JpegDecodeResult result;
  result.message = "Cannot read file: " + path;
  return result;
}

JpegEncodeResult EncodeJpeg(const RgbPicture& picture, std::string* out,
                            const std::function<bool(int percent)>& progress) {
  out->clear();
  JpegEncodeResult result;
  if (picture.width <= 0 || picture.height <= 0 ||
      picture.width > JPEG_MAX_DIMENSION ||
      picture.height > JPEG_MAX_DIMENSION ||
      picture.rgb.size() != size_t{3} * static_cast<size_t>(picture.width) *
                                static_cast<size_t>(picture.height)) {
    result.message = "Invalid picture size";
    return result;
  }
  auto* job = static_cast<EncodeJob*>(std::calloc(1, sizeof(EncodeJob)));
  if (job == nullptr) {
    result.message = "Insufficient memory";
    return result;
  }
  InitErrors(&job->err);
  job->cinfo.err = &job->err.pub;
  InitProgress(&job->progress, &job->err, progress ? CallProgress : nullptr,
               const_cast<std::function<bool(int)>*>(&progress));
  bool ok = RunEncode(job, picture.rgb.data(), picture.width, picture.height);
  if (ok) {
    out->assign(reinterpret_cast<const char*>(job->dest.buffer),
                job->dest.length);
    result.ok = true;
  } else {
    result.message = job->err.message;
  }
  if (job->created) jpeg_destroy_compress(&job->cinfo);
  std::free(job->dest.buffer);
  std::free(job);
  return result;
}

JpegEncodeResult EncodeJpegFile(
    const RgbPicture& picture, const std::string& path,
    const std::function<bool(int percent)>& progress) {
  std::string data;
  JpegEncodeResult result = EncodeJpeg(picture, &data, progress);
  if (!result.ok) return result;
  std::string error;
  if (!WriteFileAtomic(path, data, PublicFileMode(), &error)) {
    result.ok = false;
    result.message = error;
  }
  return result;
}

}  // namespace mirokata
