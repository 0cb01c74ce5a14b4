// Decoding and encoding a photo-sized JPEG picture.
#include <benchmark/benchmark.h>

#include "picture/jpeg_codec.h"

namespace mirokata {
namespace {

// A smooth picture with some detail, as a photo has.
RgbPicture Photo(int width, int height) {
  RgbPicture p{width, height, {}};
  p.rgb.reserve(static_cast<size_t>(width) * height * 3);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      p.rgb.push_back(static_cast<uint8_t>(x * 255 / width));
      p.rgb.push_back(static_cast<uint8_t>(y * 255 / height));
      p.rgb.push_back(static_cast<uint8_t>((x * y) % 251));
    }
  }
  return p;
}

const std::string& Encoded(int width, int height) {
  static std::string data = [&] {
    std::string out;
    EncodeJpeg(Photo(width, height), &out);
    return out;
  }();
  return data;
}

void BM_Decode256Colours(benchmark::State& state) {
  const std::string& data = Encoded(1024, 768);
  const bool fast = state.range(0) != 0;
  for (auto _ : state) {
    JpegDecodeResult r = DecodeJpeg(data, {fast, {}});
    benchmark::DoNotOptimize(r.picture.pixels.data());
  }
  state.SetLabel(fast ? "1024x768 fast IDCT (preview)"
                      : "1024x768 default IDCT");
}
BENCHMARK(BM_Decode256Colours)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

void BM_EncodeQuality100(benchmark::State& state) {
  const RgbPicture photo = Photo(1024, 768);
  for (auto _ : state) {
    std::string out;
    EncodeJpeg(photo, &out);
    benchmark::DoNotOptimize(out.data());
  }
  state.SetLabel("1024x768");
}
BENCHMARK(BM_EncodeQuality100)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace mirokata
