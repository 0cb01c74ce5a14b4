#include "picture/jpeg_codec.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <set>
#include <string>

#include "picture/picture_file.h"
#include "platform/file_io.h"

namespace mirokata {
namespace {

namespace fs = std::filesystem;

// A picture with far more than 256 colours: three crossing ramps.
RgbPicture Gradient(int width, int height) {
  RgbPicture p{width, height, {}};
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      p.rgb.push_back(static_cast<uint8_t>(x * 255 / (width - 1)));
      p.rgb.push_back(static_cast<uint8_t>(y * 255 / (height - 1)));
      p.rgb.push_back(
          static_cast<uint8_t>(255 - (x + y) * 255 / (width + height - 2)));
    }
  }
  return p;
}

std::string Encoded(const RgbPicture& p) {
  std::string data;
  EXPECT_TRUE(EncodeJpeg(p, &data).ok);
  return data;
}

class JpegFiles : public ::testing::Test {
 protected:
  void SetUp() override {
    char tmpl[] = "/tmp/mirokata-jpeg-XXXXXX";
    ASSERT_NE(mkdtemp(tmpl), nullptr);
    dir_ = tmpl;
  }
  void TearDown() override { fs::remove_all(dir_); }
  std::string Path(const std::string& name) { return (dir_ / name).string(); }
  fs::path dir_;
};

TEST(JpegCodec, DecodesToAtMost256ColoursAndKeepsTheSize) {
  RgbPicture original = Gradient(120, 90);
  std::string data = Encoded(original);
  for (bool fast : {false, true}) {
    SCOPED_TRACE(fast ? "fast" : "default");
    JpegDecodeResult r = DecodeJpeg(data, {fast, {}});
    ASSERT_EQ(r.status, JpegStatus::kOk) << r.message;
    EXPECT_EQ(r.picture.width, 120);
    EXPECT_EQ(r.picture.height, 90);
    ASSERT_EQ(r.picture.pixels.size(), 120u * 90u);
    ASSERT_LE(r.picture.palette.size(), 256u);
    ASSERT_GT(r.picture.palette.size(), 16u);
    for (uint8_t i : r.picture.pixels) ASSERT_LT(i, r.picture.palette.size());

    // Dithered, so compare averages over 8x8 blocks with the original.
    RgbPicture back = ToRgb(r.picture);
    for (int by = 0; by < 88; by += 8) {
      for (int bx = 0; bx < 120; bx += 8) {
        for (int c = 0; c < 3; ++c) {
          long want = 0, got = 0;
          for (int y = by; y < by + 8; ++y) {
            for (int x = bx; x < bx + 8; ++x) {
              size_t o = (static_cast<size_t>(y) * 120 + x) * 3 + c;
              want += original.rgb[o];
              got += back.rgb[o];
            }
          }
          ASSERT_NEAR(got / 64.0, want / 64.0, 12.0)
              << "block " << bx << "," << by << " channel " << c;
        }
      }
    }
  }
}

TEST(JpegCodec, GreyPictureGetsAGreyPalette) {
  // Encode an all-grey ramp; libjpeg keeps it as colour, so write a real
  // one-component file through the colour path and check the palette is
  // grey where the picture is.
  RgbPicture grey{64, 16, {}};
  for (int y = 0; y < 16; ++y)
    for (int x = 0; x < 64; ++x)
      for (int c = 0; c < 3; ++c)
        grey.rgb.push_back(static_cast<uint8_t>(x * 4));
  JpegDecodeResult r = DecodeJpeg(Encoded(grey));
  ASSERT_EQ(r.status, JpegStatus::kOk);
  for (uint8_t i : r.picture.pixels) {
    Rgb c = r.picture.palette[i];
    EXPECT_LE(std::abs(c.r - c.g) + std::abs(c.g - c.b), 24);
  }
}

TEST(JpegCodec, BadDataNeverCrashes) {
  const std::string good = Encoded(Gradient(64, 64));
  std::string zero_width = good;
  size_t sof = good.find("\xFF\xC0");
  ASSERT_NE(sof, std::string::npos);
  zero_width[sof + 7] = zero_width[sof + 8] = 0;
  struct Case {
    const char* name;
    std::string data;
    JpegStatus status;
    const char* message;  // start of the library's message
  } cases[] = {
      {"empty", "", JpegStatus::kFailed, "Empty input"},
      {"not a jpeg", "BM this is a bitmap", JpegStatus::kFailed,
       "Not a JPEG file"},
      {"header only", good.substr(0, 20), JpegStatus::kFailed, ""},
      {"zero width", zero_width, JpegStatus::kFailed, ""},
      {"truncated", good.substr(0, good.size() / 2), JpegStatus::kDamaged,
       "Premature end of JPEG file"},
      {"no end marker", good.substr(0, good.size() - 2), JpegStatus::kDamaged,
       "Premature end of JPEG file"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    JpegDecodeResult r = DecodeJpeg(c.data);
    EXPECT_EQ(r.status, c.status);
    EXPECT_EQ(r.message.rfind(c.message, 0), 0u) << r.message;
    EXPECT_FALSE(r.message.empty());
    if (c.status == JpegStatus::kDamaged) {
      EXPECT_EQ(r.picture.width, 64);
      EXPECT_EQ(r.picture.pixels.size(), 64u * 64u);
    } else {
      EXPECT_TRUE(r.picture.pixels.empty());
    }
  }
  // Scrambled entropy data: whatever libjpeg makes of it, a whole picture
  // or a clean failure.
  for (size_t at = 200; at + 64 < good.size(); at += 97) {
    std::string scrambled = good;
    for (size_t i = at; i < at + 64; ++i)
      scrambled[i] = static_cast<char>(scrambled[i] * 31 + 7);
    JpegDecodeResult r = DecodeJpeg(scrambled);
    if (r.status == JpegStatus::kFailed) {
      EXPECT_FALSE(r.message.empty());
    } else {
      EXPECT_EQ(r.picture.pixels.size(), 64u * 64u);
    }
  }
}

TEST(JpegCodec, RefusesHugePicturesBeforeDecoding) {
  std::string data = Encoded(Gradient(16, 16));
  // Patch the frame header (SOF0: FF C0, length, precision, height, width).
  size_t sof = data.find("\xFF\xC0");
  ASSERT_NE(sof, std::string::npos);
  auto put16 = [&](size_t at, int v) {
    data[at] = static_cast<char>(v >> 8);
    data[at + 1] = static_cast<char>(v & 0xff);
  };
  put16(sof + 5, 60000);  // height
  put16(sof + 7, 60000);  // width: 3.6 G pixels
  JpegDecodeResult r = DecodeJpeg(data);
  EXPECT_EQ(r.status, JpegStatus::kTooLarge);
  EXPECT_NE(r.message.find("60000 x 60000"), std::string::npos);
  EXPECT_TRUE(r.picture.pixels.empty());
}

TEST(JpegCodec, ProgressRunsToTheEndAndCanStop) {
  std::string data = Encoded(Gradient(256, 256));
  int last = -1;
  bool rising = true;
  JpegDecodeResult r = DecodeJpeg(data, {false, [&](int p) {
                                           rising = rising && p > last;
                                           last = p;
                                           return true;
                                         }});
  EXPECT_EQ(r.status, JpegStatus::kOk);
  EXPECT_TRUE(rising);
  EXPECT_GE(last, 90);

  r = DecodeJpeg(data, {false, [](int p) { return p < 30; }});
  EXPECT_EQ(r.status, JpegStatus::kStopped);
  EXPECT_TRUE(r.picture.pixels.empty());
}

TEST_F(JpegFiles, EncodeAndDecodeFileKeepTheSize) {
  std::string path = Path("picture.JPG");
  ASSERT_TRUE(EncodeJpegFile(Gradient(33, 17), path).ok);
  JpegDecodeResult r = DecodeJpegFile(path);
  ASSERT_EQ(r.status, JpegStatus::kOk);
  EXPECT_EQ(r.picture.width, 33);
  EXPECT_EQ(r.picture.height, 17);
  // Re-encoding a decoded picture works too.
  ASSERT_TRUE(EncodeJpegFile(ToRgb(r.picture), path).ok);
  EXPECT_EQ(DecodeJpegFile(path).picture.width, 33);

  EXPECT_EQ(DecodeJpegFile(Path("missing.jpg")).status, JpegStatus::kFailed);
}

TEST_F(JpegFiles, FailedEncodeKeepsTheOldFile) {
  std::string path = Path("keep.jpg");
  ASSERT_TRUE(WriteFileAtomic(path, "old contents", 0644));
  RgbPicture bad{10, 10, std::vector<uint8_t>(12)};  // too few pixels
  EXPECT_FALSE(EncodeJpegFile(bad, path).ok);
  // Stopped half way through.
  JpegEncodeResult stopped =
      EncodeJpegFile(Gradient(300, 300), path, [](int p) { return p < 50; });
  EXPECT_FALSE(stopped.ok);
  std::string data;
  ASSERT_EQ(ReadWholeFile(path, &data), ReadResult::kOk);
  EXPECT_EQ(data, "old contents");
  // No temporary files left behind.
  int files = 0;
  for (const auto& e : fs::directory_iterator(dir_)) {
    (void)e;
    ++files;
  }
  EXPECT_EQ(files, 1);
  EXPECT_FALSE(EncodeJpegFile(Gradient(8, 8), Path("no/such/dir.jpg")).ok);
}

TEST(PictureFile, KindFollowsTheExtensionInCapitals) {
  struct {
    const char* path;
    PictureKind kind;
  } cases[] = {
      {"/a/b/photo.jpg", PictureKind::kJpeg},
      {"PHOTO.JPG", PictureKind::kJpeg},
      {"x.Bmp", PictureKind::kBitmap},
      {"photo.jpeg", PictureKind::kNone},
      {"photo.png", PictureKind::kNone},
      {"/dir.jpg/readme", PictureKind::kNone},
      {"jpg", PictureKind::kNone},
      {"", PictureKind::kNone},
  };
  for (const auto& c : cases)
    EXPECT_EQ(PictureKindOf(c.path), c.kind) << c.path;
}

}  // namespace
}  // namespace mirokata
