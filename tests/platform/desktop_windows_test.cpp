#include "platform/desktop/desktop_windows.h"

#include <gtest/gtest.h>

#include "platform/testing/fake_desktop_windows.h"

namespace mirokata {
namespace {

TEST(CloseWindowContaining, ClosesTheFirstWindowWhoseTitleContainsTheText) {
  struct Case {
    const char* text;
    std::vector<std::string> closed;
  } cases[] = {
      {"Terminal", {"Terminal"}},     {"a.txt", {"メモ帳 - a.txt"}},
      {"メモ帳", {"メモ帳 - a.txt"}}, {"2", {"Terminal 2"}},
      {"nothing like it", {}},        {"", {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    FakeDesktopWindows windows;
    windows.titles = {"メモ帳 - a.txt", "Terminal", "Terminal 2"};
    EXPECT_EQ(CloseWindowContaining(windows, c.text), !c.closed.empty());
    EXPECT_EQ(windows.close_requests, c.closed);
  }
}

TEST(DesktopKind, ReadsTheColonSeparatedList) {
  struct {
    const char* value;
    DesktopKind kind;
  } cases[] = {
      {"GNOME", DesktopKind::kGnome},
      {"ubuntu:GNOME", DesktopKind::kGnome},
      {"GNOME-Classic:GNOME", DesktopKind::kGnome},
      {"XFCE", DesktopKind::kXfce},
      {"KDE", DesktopKind::kKde},
      {"LXQt", DesktopKind::kUnknown},
      {"", DesktopKind::kUnknown},
      {"openbox", DesktopKind::kUnknown},
  };
  for (const auto& c : cases)
    EXPECT_EQ(DesktopKindOf(c.value), c.kind) << c.value;
}

TEST(WallpaperCommands, AreArgumentListsForEachDesktop) {
  const std::string path = "/home/u/壁紙 1/Yov_Wallpaper.BMP";
  const std::string uri =
      "file:///home/u/%E5%A3%81%E7%B4%99%201/Yov_Wallpaper.BMP";
  EXPECT_EQ(
      WallpaperCommands(DesktopKind::kGnome, path),
      (std::vector<DesktopCommand>{
          {"gsettings",
           {"set", "org.gnome.desktop.background", "picture-uri", uri}},
          {"gsettings",
           {"set", "org.gnome.desktop.background", "picture-uri-dark", uri}}}));
  EXPECT_EQ(
      WallpaperCommands(DesktopKind::kKde, path),
      (std::vector<DesktopCommand>{{"plasma-apply-wallpaperimage", {path}}}));
  const std::string a =
      "/backdrop/screen0/monitorVirtual1/workspace0/last-image";
  const std::string b =
      "/backdrop/screen0/monitorVirtual1/workspace1/last-image";
  EXPECT_EQ(
      WallpaperCommands(DesktopKind::kXfce, path, {a, b}),
      (std::vector<DesktopCommand>{
          {"xfconf-query", {"-c", "xfce4-desktop", "-p", a, "-s", path}},
          {"xfconf-query", {"-c", "xfce4-desktop", "-p", b, "-s", path}}}));
  // Nothing listed yet: the first monitor's property is created.
  auto created = WallpaperCommands(DesktopKind::kXfce, path);
  ASSERT_EQ(created.size(), 1u);
  EXPECT_EQ(created[0].arguments.back(), path);
  EXPECT_NE(
      std::find(created[0].arguments.begin(), created[0].arguments.end(), "-n"),
      created[0].arguments.end());
  EXPECT_TRUE(WallpaperCommands(DesktopKind::kUnknown, path).empty());
}

TEST(DesktopWindows, WithoutADisplayEverythingIsQuiet) {
  const char* saved = std::getenv("DISPLAY");
  std::string old = saved ? saved : "";
  unsetenv("DISPLAY");
  auto windows = CreateDesktopWindows();
  EXPECT_TRUE(windows->ListWindowTitles().empty());
  EXPECT_FALSE(windows->RequestClose("anything"));
  windows->SetWallpaper({1, 1, {0xffff0000}}, "");
  if (saved) setenv("DISPLAY", old.c_str(), 1);
}

}  // namespace
}  // namespace mirokata
