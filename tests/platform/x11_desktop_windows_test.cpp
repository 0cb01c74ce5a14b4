// Against a real X server with a window manager (MIROKATA_TEST_DISPLAY).
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>

#include "platform/desktop/desktop_windows.h"

// Last: Xlib's macros (None, Bool) break the headers above.
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

namespace mirokata {
namespace {

// A top-level window with a UTF-8 title that takes part in the close
// protocol, mapped and flushed.
Window OpenWindow(Display* d, const std::string& title) {
  Window w = XCreateSimpleWindow(d, DefaultRootWindow(d), 10, 10, 200, 100, 0,
                                 0, WhitePixel(d, DefaultScreen(d)));
  XChangeProperty(d, w, XInternAtom(d, "_NET_WM_NAME", False),
                  XInternAtom(d, "UTF8_STRING", False), 8, PropModeReplace,
                  reinterpret_cast<const unsigned char*>(title.data()),
                  static_cast<int>(title.size()));
  long pid = getpid();
  XChangeProperty(d, w, XInternAtom(d, "_NET_WM_PID", False), XA_CARDINAL, 32,
                  PropModeReplace, reinterpret_cast<unsigned char*>(&pid), 1);
  Atom del = XInternAtom(d, "WM_DELETE_WINDOW", False);
  XSetWMProtocols(d, w, &del, 1);
  XMapWindow(d, w);
  XFlush(d);
  return w;
}

// Another program: shows a window and exits with 0 when asked to close it,
// with 3 when nobody asks within ten seconds.
pid_t StartOtherProgram(const std::string& title) {
  pid_t pid = fork();
  if (pid != 0) return pid;
  Display* d = XOpenDisplay(nullptr);
  if (d == nullptr) _exit(2);
  Window w = OpenWindow(d, title);
  Atom protocols = XInternAtom(d, "WM_PROTOCOLS", False);
  Atom del = XInternAtom(d, "WM_DELETE_WINDOW", False);
  auto until = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  while (std::chrono::steady_clock::now() < until) {
    while (XPending(d)) {
      XEvent e;
      XNextEvent(d, &e);
      if (e.type == ClientMessage && e.xclient.window == w &&
          e.xclient.message_type == protocols &&
          static_cast<Atom>(e.xclient.data.l[0]) == del) {
        _exit(0);
      }
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  _exit(3);
}

int WaitExit(pid_t pid) {
  for (int i = 0; i < 1000; ++i) {
    int status = 0;
    if (waitpid(pid, &status, WNOHANG) == pid) {
      return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  kill(pid, SIGKILL);
  waitpid(pid, nullptr, 0);
  return -2;
}

class X11DesktopWindowsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const char* display = std::getenv("MIROKATA_TEST_DISPLAY");
    if (display == nullptr || *display == '\0') {
      GTEST_SKIP() << "MIROKATA_TEST_DISPLAY is not set";
    }
    setenv("DISPLAY", display, 1);
    own_ = XOpenDisplay(display);
    ASSERT_NE(own_, nullptr);
  }
  void TearDown() override {
    if (own_ != nullptr) XCloseDisplay(own_);
  }

  bool WaitForTitle(DesktopWindows& windows, const std::string& title) {
    for (int i = 0; i < 500; ++i) {
      for (const std::string& t : windows.ListWindowTitles()) {
        if (t == title) return true;
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return false;
  }

  Display* own_ = nullptr;
};

TEST_F(X11DesktopWindowsTest, FindsAndClosesAnotherProgramsWindow) {
  const std::string title =
      "予定表 - test " + std::to_string(getpid()) + ".txt";
  pid_t other = StartOtherProgram(title);
  // This program's own window with a similar title is never a candidate.
  OpenWindow(own_, "予定表 - own window");

  auto windows = CreateDesktopWindows();
  ASSERT_TRUE(WaitForTitle(*windows, title));
  for (const std::string& t : windows->ListWindowTitles()) {
    EXPECT_NE(t, "予定表 - own window");
  }
  EXPECT_FALSE(windows->RequestClose("予定表 - own window"));
  EXPECT_FALSE(windows->RequestClose("no such window"));

  // The reminder's rule: part of the title finds the whole one.
  EXPECT_TRUE(CloseWindowContaining(*windows, "予定表 - test"));
  EXPECT_EQ(WaitExit(other), 0);
}

TEST_F(X11DesktopWindowsTest, WallpaperBecomesTheRootBackground) {
  auto windows = CreateDesktopWindows();
  WallpaperImage image{2, 2, {0xffff0000, 0xffff0000, 0xffff0000, 0xffff0000}};
  windows->SetWallpaper(image, "");
  Display* d = own_;
  Atom root_pmap = XInternAtom(d, "_XROOTPMAP_ID", False);
  Atom type = 0;
  int format = 0;
  unsigned long count = 0, after = 0;
  unsigned char* data = nullptr;
  ASSERT_EQ(
      XGetWindowProperty(d, DefaultRootWindow(d), root_pmap, 0, 1, False,
                         XA_PIXMAP, &type, &format, &count, &after, &data),
      Success);
  ASSERT_NE(data, nullptr);
  ASSERT_EQ(count, 1u);
  Pixmap pixmap = *reinterpret_cast<unsigned long*>(data);
  XFree(data);
  // The pixmap covers the screen, in red.
  XImage* pixel = XGetImage(d, pixmap, DisplayWidth(d, DefaultScreen(d)) - 1,
                            DisplayHeight(d, DefaultScreen(d)) - 1, 1, 1,
                            AllPlanes, ZPixmap);
  ASSERT_NE(pixel, nullptr);
  unsigned long value = XGetPixel(pixel, 0, 0);
  Visual* visual = DefaultVisual(d, DefaultScreen(d));
  EXPECT_EQ(value & visual->red_mask, visual->red_mask);
  EXPECT_EQ(value & visual->green_mask, 0u);
  EXPECT_EQ(value & visual->blue_mask, 0u);
  XDestroyImage(pixel);

  // A second wallpaper replaces the first.
  image.argb.assign(4, 0xff0000ff);
  windows->SetWallpaper(image, "");
  ASSERT_EQ(
      XGetWindowProperty(d, DefaultRootWindow(d), root_pmap, 0, 1, False,
                         XA_PIXMAP, &type, &format, &count, &after, &data),
      Success);
  ASSERT_NE(data, nullptr);
  EXPECT_NE(*reinterpret_cast<unsigned long*>(data), pixmap);
  XFree(data);
}

}  // namespace
}  // namespace mirokata
