// The global hot key as a passive key grab on the X11 root window.
#ifndef MIROKATA_PLATFORM_X11_HOT_KEY_H_
#define MIROKATA_PLATFORM_X11_HOT_KEY_H_

#include <QAbstractNativeEventFilter>
#include <cstdint>
#include <functional>

#include "platform/hot_key.h"

namespace mirokata {

class X11HotKey : public HotKey, public QAbstractNativeEventFilter {
 public:
  X11HotKey();
  ~X11HotKey() override;

  bool Register(HotKeyChord chord, std::function<void()> pressed) override;
  void Unregister() override;

  bool nativeEventFilter(const QByteArray& event_type, void* message,
                         qintptr* result) override;

 private:
  bool filter_installed_ = false;
  std::uint8_t keycode_ = 0;
  std::uint16_t modifiers_ = 0;
  std::function<void()> pressed_;
};

}  // namespace mirokata

#endif  // MIROKATA_PLATFORM_X11_HOT_KEY_H_
