#include <QGuiApplication>

#include "platform/display_flush.h"

// After Qt: Xlib's macros clash with names Qt uses.
#include <xcb/xcb.h>

namespace mirokata {

void FlushDisplayRequests() {
  auto* x11 =
      qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>()
              : nullptr;
  if (x11 == nullptr || x11->connection() == nullptr) return;
  xcb_flush(x11->connection());
}

}  // namespace mirokata
