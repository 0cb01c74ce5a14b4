#include <xcb/xcb.h>

#include <QGuiApplication>

#include "platform/display_flush.h"

namespace mirokata {

void FlushDisplayRequests() {
  auto* x11 =
      qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>()
              : nullptr;
  if (x11 == nullptr || x11->connection() == nullptr) return;
  xcb_flush(x11->connection());
}

}  // namespace mirokata
