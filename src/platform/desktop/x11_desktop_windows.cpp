// DesktopWindows over Xlib and the EWMH hints every current window manager
// keeps on the root window.

// No Qt here: Xlib's macros (None, Bool, Status) break Qt's headers.
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "platform/desktop/desktop_windows.h"

namespace mirokata {
namespace {

class NullDesktopWindows : public DesktopWindows {
 public:
  std::vector<std::string> ListWindowTitles() override { return {}; }
  bool RequestClose(const std::string&) override { return false; }
  void SetWallpaper(const WallpaperImage&, const std::string&) override {}
};

// Windows vanish between listing and asking; Xlib's default handler would
// end the program on the BadWindow that follows. Errors inside the scope
// are ignored and the previous handler returns afterwards.
int IgnoreXError(Display*, XErrorEvent*) { return 0; }

class ErrorTrap {
 public:
  explicit ErrorTrap(Display* display)
      : display_(display), old_(XSetErrorHandler(IgnoreXError)) {}
  ~ErrorTrap() {
    XSync(display_, False);
    XSetErrorHandler(old_);
  }
  ErrorTrap(const ErrorTrap&) = delete;
  ErrorTrap& operator=(const ErrorTrap&) = delete;

 private:
  Display* display_;
  int (*old_)(Display*, XErrorEvent*);
};

// One window property as raw 8/32-bit items.
struct Property {
  Atom type = 0;
  int format = 0;
  std::vector<unsigned char> bytes;  // format 8
  std::vector<unsigned long> longs;  // format 32 (Xlib widens to long)
};

bool GetProperty(Display* d, Window w, Atom name, Atom type, Property* out) {
  Atom actual_type = 0;
  int actual_format = 0;
  unsigned long count = 0, after = 0;
  unsigned char* data = nullptr;
  if (XGetWindowProperty(d, w, name, 0, 1 << 20, False, type, &actual_type,
                         &actual_format, &count, &after, &data) != Success) {
    return false;
  }
  bool ok = data != nullptr && actual_type != 0;
  if (ok) {
    out->type = actual_type;
    out->format = actual_format;
    if (actual_format == 8) {
      out->bytes.assign(data, data + count);
    } else if (actual_format == 32) {
      auto* longs = reinterpret_cast<unsigned long*>(data);
      out->longs.assign(longs, longs + count);
    } else {
      ok = false;
    }
  }
  if (data != nullptr) XFree(data);
  return ok;
}

int MaskShift(unsigned long mask) {
  int shift = 0;
  while (mask != 0 && (mask & 1) == 0) {
    mask >>= 1;
    ++shift;
  }
  return shift;
}

int MaskBits(unsigned long mask) {
  int bits = 0;
  for (; mask != 0; mask >>= 1) bits += static_cast<int>(mask & 1);
  return bits;
}

class X11DesktopWindows : public DesktopWindows {
 public:
  explicit X11DesktopWindows(Display* display)
      : display_(display), root_(DefaultRootWindow(display)) {
    auto atom = [&](const char* name) {
      return XInternAtom(display_, name, False);
    };
    client_list_ = atom("_NET_CLIENT_LIST");
    wm_name_ = atom("_NET_WM_NAME");
    utf8_string_ = atom("UTF8_STRING");
    wm_pid_ = atom("_NET_WM_PID");
    close_window_ = atom("_NET_CLOSE_WINDOW");
    supported_ = atom("_NET_SUPPORTED");
    wm_protocols_ = atom("WM_PROTOCOLS");
    wm_delete_ = atom("WM_DELETE_WINDOW");
    root_pmap_ = atom("_XROOTPMAP_ID");
    esetroot_pmap_ = atom("ESETROOT_PMAP_ID");
  }
  ~X11DesktopWindows() override { XCloseDisplay(display_); }

  std::vector<std::string> ListWindowTitles() override {
    ErrorTrap trap(display_);
    std::vector<std::string> titles;
    for (Window w : OtherClients()) {
      std::string title = Title(w);
      if (!title.empty()) titles.push_back(std::move(title));
    }
    return titles;
  }

  bool RequestClose(const std::string& title) override {
    if (title.empty()) return false;  // would match every untitled window
    ErrorTrap trap(display_);
    for (Window w : OtherClients()) {
      if (Title(w) == title) {
        SendClose(w);
        XFlush(display_);
        return true;
      }
    }
    return false;
  }

  void SetWallpaper(const WallpaperImage& image,
                    const std::string& file_path) override {
    SetRootBackground(image);
    if (!file_path.empty()) ApplyDesktopWallpaperSetting(file_path);
  }

 private:
  std::vector<Window> OtherClients() {
    std::vector<Window> windows;
    Property list;
    if (GetProperty(display_, root_, client_list_, XA_WINDOW, &list) &&
        list.format == 32) {
      windows.assign(list.longs.begin(), list.longs.end());
    } else {
      // No EWMH window manager: the mapped children of the root window are
      // the top-level windows.
      Window root_return = 0, parent = 0;
      Window* children = nullptr;
      unsigned int count = 0;
      if (XQueryTree(display_, root_, &root_return, &parent, &children,
                     &count)) {
        for (unsigned int i = 0; i < count; ++i) {
          XWindowAttributes attributes;
          if (XGetWindowAttributes(display_, children[i], &attributes) &&
              attributes.map_state == IsViewable &&
              !attributes.override_redirect) {
            windows.push_back(children[i]);
          }
        }
        if (children != nullptr) XFree(children);
      }
    }
    const unsigned long own_pid = static_cast<unsigned long>(getpid());
    std::erase_if(windows, [&](Window w) {
      Property pid;
      return GetProperty(display_, w, wm_pid_, XA_CARDINAL, &pid) &&
             pid.format == 32 && !pid.longs.empty() && pid.longs[0] == own_pid;
    });
    return windows;
  }

  std::string Title(Window w) {
    Property name;
    if (GetProperty(display_, w, wm_name_, utf8_string_, &name) &&
        name.format == 8 && !name.bytes.empty()) {
      return std::string(name.bytes.begin(), name.bytes.end());
    }
    XTextProperty text;
    std::string title;
    if (XGetWMName(display_, w, &text) && text.value != nullptr) {
      char** list = nullptr;
      int count = 0;
      if (Xutf8TextPropertyToTextList(display_, &text, &list, &count) >=
              Success &&
          count > 0 && list != nullptr) {
        title = list[0];
      } else if (text.encoding == XA_STRING) {
        // Latin-1 without a usable locale.
        for (unsigned long i = 0; i < text.nitems; ++i) {
          unsigned char c = text.value[i];
          if (c < 0x80) {
            title += static_cast<char>(c);
          } else {
            title += static_cast<char>(0xc0 | (c >> 6));
            title += static_cast<char>(0x80 | (c & 0x3f));
          }
        }
      }
      if (list != nullptr) XFreeStringList(list);
      XFree(text.value);
    }
    return title;
  }

  bool WindowManagerCanClose() {
    Property supported;
    if (!GetProperty(display_, root_, supported_, XA_ATOM, &supported)) {
      return false;
    }
    return std::find(supported.longs.begin(), supported.longs.end(),
                     close_window_) != supported.longs.end();
  }

  void SendClose(Window w) {
    XEvent event;
    std::memset(&event, 0, sizeof(event));
    event.xclient.type = ClientMessage;
    event.xclient.format = 32;
    if (WindowManagerCanClose()) {
      event.xclient.window = w;
      event.xclient.message_type = close_window_;
      event.xclient.data.l[0] = CurrentTime;
      event.xclient.data.l[1] = 2;  // on the user's behalf
      XSendEvent(display_, root_, False,
                 SubstructureRedirectMask | SubstructureNotifyMask, &event);
      return;
    }
    // Without a window manager: the window's own close protocol.
    event.xclient.window = w;
    event.xclient.message_type = wm_protocols_;
    event.xclient.data.l[0] = static_cast<long>(wm_delete_);
    event.xclient.data.l[1] = CurrentTime;
    XSendEvent(display_, w, False, NoEventMask, &event);
  }

  // Puts the picture, scaled to cover the screen, into a pixmap that
  // outlives this connection and makes it the root window's background.
  // The pixmap ids go into the usual root properties so that compositors and
  // transparent terminals follow, and a pixmap left there by an earlier run
  // (or another setter following the same convention) is freed.
  void SetRootBackground(const WallpaperImage& image) {
    if (image.width <= 0 || image.height <= 0 ||
        image.argb.size() != static_cast<size_t>(image.width) *
                                 static_cast<size_t>(image.height)) {
      return;
    }
    Display* d = XOpenDisplay(DisplayString(display_));
    if (d == nullptr) return;
    const int screen = DefaultScreen(d);
    const Window root = RootWindow(d, screen);
    Visual* visual = DefaultVisual(d, screen);
    const int depth = DefaultDepth(d, screen);
    const int width = DisplayWidth(d, screen);
    const int height = DisplayHeight(d, screen);
    if ((visual->c_class != TrueColor && visual->c_class != DirectColor) ||
        width <= 0 || height <= 0) {
      XCloseDisplay(d);
      return;
    }
    XImage* ximage = XCreateImage(
        d, visual, static_cast<unsigned>(depth), ZPixmap, 0, nullptr,
        static_cast<unsigned>(width), static_cast<unsigned>(height), 32, 0);
    if (ximage == nullptr) {
      XCloseDisplay(d);
      return;
    }
    ximage->data = static_cast<char*>(
        std::malloc(static_cast<size_t>(ximage->bytes_per_line) *
                    static_cast<size_t>(height)));
    if (ximage->data == nullptr) {
      XDestroyImage(ximage);
      XCloseDisplay(d);
      return;
    }
    const unsigned long masks[3] = {visual->red_mask, visual->green_mask,
                                    visual->blue_mask};
    int shifts[3], bits[3];
    for (int c = 0; c < 3; ++c) {
      shifts[c] = MaskShift(masks[c]);
      bits[c] = MaskBits(masks[c]);
    }
    // Cover: scale by the larger ratio and crop the middle.
    const double scale = std::max(static_cast<double>(width) / image.width,
                                  static_cast<double>(height) / image.height);
    const double x0 = (image.width - width / scale) / 2;
    const double y0 = (image.height - height / scale) / 2;
    for (int y = 0; y < height; ++y) {
      int sy =
          std::clamp(static_cast<int>(y0 + y / scale), 0, image.height - 1);
      for (int x = 0; x < width; ++x) {
        int sx =
            std::clamp(static_cast<int>(x0 + x / scale), 0, image.width - 1);
        uint32_t argb = image.argb[static_cast<size_t>(sy) * image.width + sx];
        const unsigned long channel[3] = {(argb >> 16) & 0xff,
                                          (argb >> 8) & 0xff, argb & 0xff};
        unsigned long pixel = 0;
        for (int c = 0; c < 3; ++c) {
          unsigned long v = bits[c] >= 8 ? channel[c] << (bits[c] - 8)
                                         : channel[c] >> (8 - bits[c]);
          pixel |= (v << shifts[c]) & masks[c];
        }
        XPutPixel(ximage, x, y, pixel);
      }
    }
    Pixmap pixmap = XCreatePixmap(d, root, static_cast<unsigned>(width),
                                  static_cast<unsigned>(height),
                                  static_cast<unsigned>(depth));
    GC gc = XCreateGC(d, pixmap, 0, nullptr);
    XPutImage(d, pixmap, gc, ximage, 0, 0, 0, 0, static_cast<unsigned>(width),
              static_cast<unsigned>(height));
    XFreeGC(d, gc);
    XDestroyImage(ximage);

    {
      ErrorTrap trap(d);
      Property old_root, old_esetroot;
      if (GetProperty(d, root, root_pmap_, XA_PIXMAP, &old_root) &&
          GetProperty(d, root, esetroot_pmap_, XA_PIXMAP, &old_esetroot) &&
          !old_root.longs.empty() && !old_esetroot.longs.empty() &&
          old_root.longs[0] == old_esetroot.longs[0]) {
        XKillClient(d, old_root.longs[0]);
      }
    }
    unsigned long id = pixmap;
    for (Atom property : {root_pmap_, esetroot_pmap_}) {
      XChangeProperty(d, root, property, XA_PIXMAP, 32, PropModeReplace,
                      reinterpret_cast<unsigned char*>(&id), 1);
    }
    XSetWindowBackgroundPixmap(d, root, pixmap);
    XClearWindow(d, root);
    XSetCloseDownMode(d, RetainPermanent);
    XCloseDisplay(d);
  }

  Display* display_;
  Window root_;
  Atom client_list_, wm_name_, utf8_string_, wm_pid_, close_window_, supported_,
      wm_protocols_, wm_delete_, root_pmap_, esetroot_pmap_;
};

}  // namespace

std::unique_ptr<DesktopWindows> CreateDesktopWindows() {
  const char* name = std::getenv("DISPLAY");
  if (name != nullptr && *name != '\0') {
    if (Display* display = XOpenDisplay(name)) {
      return std::make_unique<X11DesktopWindows>(display);
    }
  }
  return std::make_unique<NullDesktopWindows>();
}

}  // namespace mirokata
