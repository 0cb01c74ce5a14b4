#include "platform/x11_hot_key.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <cstdlib>
#include <memory>

// After Qt: Xlib defines macros (None, Bool, KeyPress) that Qt uses as names.
#include <X11/Xlib.h>
#include <X11/keysym.h>
#include <xcb/xcb.h>

namespace mirokata {
namespace {

// Caps Lock and Num Lock must not stop the chord from matching, so each
// chord is grabbed once per combination of them.
constexpr std::uint16_t kLockMasks[] = {0, XCB_MOD_MASK_LOCK, XCB_MOD_MASK_2,
                                        XCB_MOD_MASK_LOCK | XCB_MOD_MASK_2};
constexpr std::uint16_t kIgnored = XCB_MOD_MASK_LOCK | XCB_MOD_MASK_2;

struct X11 {
  Display* display = nullptr;
  xcb_connection_t* connection = nullptr;
  xcb_window_t root = 0;
};

X11 Connection() {
  X11 x;
  auto* app =
      qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>()
              : nullptr;
  if (app == nullptr) return x;
  x.display = app->display();
  x.connection = app->connection();
  if (x.display == nullptr || x.connection == nullptr) return {};
  x.root = DefaultRootWindow(x.display);
  return x;
}

}  // namespace

X11HotKey::X11HotKey() = default;

X11HotKey::~X11HotKey() {
  Unregister();
  if (filter_installed_ && QCoreApplication::instance() != nullptr) {
    QCoreApplication::instance()->removeNativeEventFilter(this);
  }
}

bool X11HotKey::Register(HotKeyChord chord, std::function<void()> pressed) {
  Unregister();
  const X11 x = Connection();
  if (x.connection == nullptr) return false;
  const KeyCode keycode = XKeysymToKeycode(x.display, XK_space);
  if (keycode == 0) return false;
  const std::uint16_t modifiers =
      chord == HotKeyChord::kSuperSpace ? XCB_MOD_MASK_4 : XCB_MOD_MASK_CONTROL;
  xcb_void_cookie_t cookies[4];
  for (int i = 0; i < 4; ++i) {
    cookies[i] =
        xcb_grab_key_checked(x.connection, 1, x.root, modifiers | kLockMasks[i],
                             keycode, XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC);
  }
  bool ok = true;
  for (xcb_void_cookie_t cookie : cookies) {
    if (xcb_generic_error_t* error = xcb_request_check(x.connection, cookie)) {
      ok = false;  // BadAccess: another program holds the chord
      std::free(error);
    }
  }
  if (!ok) {
    for (std::uint16_t lock : kLockMasks) {
      xcb_ungrab_key(x.connection, keycode, x.root, modifiers | lock);
    }
    xcb_flush(x.connection);
    return false;
  }
  xcb_flush(x.connection);
  keycode_ = keycode;
  modifiers_ = modifiers;
  pressed_ = std::move(pressed);
  if (!filter_installed_) {
    QCoreApplication::instance()->installNativeEventFilter(this);
    filter_installed_ = true;
  }
  return true;
}

void X11HotKey::Unregister() {
  if (keycode_ == 0) return;
  const X11 x = Connection();
  if (x.connection != nullptr) {
    for (std::uint16_t lock : kLockMasks) {
      xcb_ungrab_key(x.connection, keycode_, x.root, modifiers_ | lock);
    }
    xcb_flush(x.connection);
  }
  keycode_ = 0;
  modifiers_ = 0;
  pressed_ = nullptr;
}

bool X11HotKey::nativeEventFilter(const QByteArray& event_type, void* message,
                                  qintptr*) {
  if (keycode_ == 0 || event_type != "xcb_generic_event_t") return false;
  auto* event = static_cast<xcb_generic_event_t*>(message);
  if ((event->response_type & ~0x80) != XCB_KEY_PRESS) return false;
  auto* key = reinterpret_cast<xcb_key_press_event_t*>(event);
  if (key->detail != keycode_ || (key->state & ~kIgnored) != modifiers_) {
    return false;
  }
  if (pressed_) {
    // Run after the event has been dealt with: the handler may show and
    // raise windows.
    std::function<void()> pressed = pressed_;
    QMetaObject::invokeMethod(
        QCoreApplication::instance(), [pressed] { pressed(); },
        Qt::QueuedConnection);
  }
  return true;
}

}  // namespace mirokata
