#include "platform/desktop/wallpaper.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <QImage>
#include <filesystem>
#include <functional>
#include <optional>

#include "base/settings_file.h"
#include "platform/file_io.h"
#include "platform/testing/fake_desktop_windows.h"

namespace mirokata {
namespace {

namespace fs = std::filesystem;

class WallpaperTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char tmpl[] = "/tmp/mirokata-wallpaper-XXXXXX";
    ASSERT_NE(mkdtemp(tmpl), nullptr);
    dir_ = tmpl;
    settings_ =
        std::make_unique<SettingsFile>((dir_ / "mirokata.ini").string());
  }
  void TearDown() override { fs::remove_all(dir_); }

  static QImage Picture() {
    QImage image(40, 30, QImage::Format_RGB32);
    image.fill(QColor(10, 200, 30));
    image.setPixelColor(0, 0, QColor(255, 0, 0));
    return image;
  }

  std::function<void(const std::string&)> Record() {
    return [this](const std::string& path) {
      settings_->WriteString(kWallpaperSection, kWallpaperKey, path);
    };
  }

  // Both halves, as the picture worker and the UI thread run them.
  bool SetWallpaper(const QImage& picture, const std::string& path) {
    std::optional<WallpaperImage> image = WriteWallpaperFile(picture, path);
    if (!image) return false;
    ApplyWallpaper(*image, path, desktop_, Record());
    return true;
  }

  fs::path dir_;
  std::unique_ptr<SettingsFile> settings_;
  FakeDesktopWindows desktop_;
};

TEST_F(WallpaperTest, SavesABitmapSetsItAndRecordsThePath) {
  const std::string path = (dir_ / kPopupWallpaperFile).string();
  ASSERT_TRUE(SetWallpaper(Picture(), path));

  QImage saved(QString::fromStdString(path), "BMP");
  ASSERT_FALSE(saved.isNull());
  EXPECT_EQ(saved.size(), QSize(40, 30));
  EXPECT_EQ(saved.pixelColor(0, 0), QColor(255, 0, 0));
  EXPECT_EQ(saved.pixelColor(5, 5), QColor(10, 200, 30));

  ASSERT_EQ(desktop_.wallpapers.size(), 1u);
  EXPECT_EQ(desktop_.wallpapers[0].width, 40);
  EXPECT_EQ(desktop_.wallpapers[0].file_path, path);
  EXPECT_EQ(settings_->ReadString("Desktop", "Wallpaper", ""), path);

  // An indexed (decoded JPEG) picture works the same way and replaces it.
  QImage indexed = Picture().convertToFormat(QImage::Format_Indexed8);
  ASSERT_TRUE(SetWallpaper(indexed, path));
  EXPECT_EQ(desktop_.wallpapers.size(), 2u);
  EXPECT_EQ(QImage(QString::fromStdString(path)).size(), QSize(40, 30));
}

TEST_F(WallpaperTest, NothingChangesWhenTheFileCannotBeWritten) {
  const std::string path = (dir_ / "wall.bmp").string();
  ASSERT_TRUE(WriteFileAtomic(path, "old", 0644));
  EXPECT_FALSE(SetWallpaper(QImage(), path));
  EXPECT_FALSE(SetWallpaper(Picture(), (dir_ / "no/such.bmp").string()));
  EXPECT_TRUE(desktop_.wallpapers.empty());
  EXPECT_EQ(settings_->ReadString("Desktop", "Wallpaper", "none"), "none");
  std::string data;
  ASSERT_EQ(ReadWholeFile(path, &data), ReadResult::kOk);
  EXPECT_EQ(data, "old");
}

}  // namespace
}  // namespace mirokata
