// The program's one global hot key.
#ifndef MIROKATA_PLATFORM_HOT_KEY_H_
#define MIROKATA_PLATFORM_HOT_KEY_H_

#include <functional>

namespace mirokata {

// Form/Hotkey 0: Super+Space, anything else: Ctrl+Space.
enum class HotKeyChord { kSuperSpace, kCtrlSpace };

inline HotKeyChord HotKeyChordFromSetting(int hotkey_setting) {
  return hotkey_setting == 0 ? HotKeyChord::kSuperSpace
                             : HotKeyChord::kCtrlSpace;
}

class HotKey {
 public:
  virtual ~HotKey() = default;
  // Grabs the chord desktop-wide; `pressed` runs on the UI thread at each
  // press. Replaces an earlier registration. False (and the program runs on
  // without a hot key) where no grab is possible: no X11, or another
  // program holds the chord.
  virtual bool Register(HotKeyChord chord, std::function<void()> pressed) = 0;
  // Releases the grab; harmless when nothing is registered.
  virtual void Unregister() = 0;
};

}  // namespace mirokata

#endif  // MIROKATA_PLATFORM_HOT_KEY_H_
