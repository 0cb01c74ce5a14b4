// The child of bench/base/kill_torture.py: writes, generation after
// generation, the three kinds of file the program replaces atomically,
// until it is killed. Each version carries its generation and a checksum,
// so that the parent can tell a whole file (old or new) from a torn one.
//
//   kill_torture_writer DIR [COUNT]
//
// DIR/home/mirokata.ini    [Torture] gen, k0..k7, sum (one settings batch)
//                          and the popup options of the entry (a second
//                          batch, WritePopupOptions)
// DIR/データ〜é😀/0900__25.~~   the entry: "gen=G\n" payload "\nsum=CRC\n"
// DIR/home/Yov_Wallpaper.BMP    SetDesktopWallpaper: pixels that spell G
//
// Starts from the generation in the settings file, prints "ready" once set
// up, and stops after COUNT generations when given.
#include <QColor>
#include <QImage>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>

#include "base/program_folder.h"
#include "base/settings_file.h"
#include "platform/desktop/wallpaper.h"
#include "platform/testing/fake_desktop_windows.h"
#include "schedule/entry_files.h"

namespace mirokata {
namespace {

std::string Hex(uint32_t v) {
  char buf[16];
  std::snprintf(buf, sizeof buf, "%08x", v);
  return buf;
}

// CRC-32 as zlib (and Python's zlib.crc32) computes it.
uint32_t Crc(const std::string& s) {
  uint32_t crc = 0xFFFFFFFFu;
  for (unsigned char c : s) {
    crc ^= c;
    for (int i = 0; i < 8; ++i) crc = (crc >> 1) ^ (0xEDB88320u & -(crc & 1));
  }
  return ~crc;
}

// Text that differs from one generation to the next, of varying length.
std::string Payload(int gen, int salt, size_t min_size) {
  uint32_t x = uint32_t(gen) * 2654435761u + uint32_t(salt) * 40503u + 1;
  size_t size = min_size + (x % (min_size + 1));
  std::string out;
  out.reserve(size);
  for (size_t i = 0; i < size; ++i) {
    x = x * 1103515245u + 12345u;
    out.push_back(char('a' + (x >> 16) % 26));
  }
  return out;
}

QImage Picture(int gen) {
  QImage image(64, 48, QImage::Format_RGB32);
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x) {
      image.setPixelColor(
          x, y,
          QColor(gen & 0xFF, (gen >> 8) & 0xFF, (x * 7 + y * 13 + gen) & 0xFF));
    }
  }
  return image;
}

int Run(const std::string& dir, long count) {
  const std::string home = dir + "/home";
  const std::string data = dir + "/データ〜é😀";
  if (!MakeFolders(home) || !MakeFolders(data)) return 2;
  SettingsFile settings(SettingsFilePath(home));
  EntryFolder folder(data);
  FakeDesktopWindows desktop;
  const std::string entry = "0900__25.~~";
  const std::string section = folder.FullPath(entry);
  // Bulk, so that each settings write takes a while.
  if (!settings.Open().HasSection("Filler0")) {
    settings.Batch([](SettingsBatch& b) {
      for (int i = 0; i < 300; ++i) {
        b.WriteString("Filler" + std::to_string(i), "text", Payload(0, i, 100));
      }
    });
  }
  int gen = settings.ReadInteger("Torture", "gen", 0);
  std::puts("ready");
  std::fflush(stdout);
  for (long done = 0; count < 0 || done < count; ++done) {
    ++gen;
    const std::string g = std::to_string(gen);
    // 1. One batch: the generation, eight keys and their checksum.
    bool ok = settings.Batch([&](SettingsBatch& b) {
      std::string all;
      b.WriteString("Torture", "gen", g);
      for (int k = 0; k < 8; ++k) {
        const std::string value = g + ":" + Payload(gen, k, 100);
        b.WriteString("Torture", "k" + std::to_string(k), value);
        all += value;
      }
      b.WriteString("Torture", "sum", Hex(Crc(all)));
    });
    // 2. The popup's options, under the entry's full path.
    PopupOptions o;
    o.closetime = gen;
    o.execute = g + ":" + Payload(gen, 9, 50);
    o.execlose = Hex(Crc(o.execute));
    ok = WritePopupOptions(settings, section, o) && ok;
    // 3. The entry file.
    const std::string body = Payload(gen, 10, 20000);
    ok = folder.WriteContent(entry, "gen=" + g + "\n" + body +
                                        "\nsum=" + Hex(Crc(body)) + "\n") &&
         ok;
    // 4. The wallpaper bitmap.
    desktop.wallpapers.clear();
    const std::string wallpaper = home + "/" + kPopupWallpaperFile;
    const std::optional<WallpaperImage> image =
        WriteWallpaperFile(Picture(gen), wallpaper);
    if (image) ApplyWallpaper(*image, wallpaper, desktop, {});
    ok = image.has_value() && ok;
    if (!ok) {
      std::fprintf(stderr, "a write failed in generation %d\n", gen);
      return 1;
    }
  }
  return 0;
}

}  // namespace
}  // namespace mirokata

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: %s DIR [COUNT]\n", argv[0]);
    return 2;
  }
  return mirokata::Run(argv[1], argc > 2 ? std::atol(argv[2]) : -1);
}
