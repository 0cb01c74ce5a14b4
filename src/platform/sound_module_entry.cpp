// The sound module's one export.
#include "platform/module_sound.h"
#include "platform/qt_sound.h"

extern "C" __attribute__((visibility("default"))) mirokata::Sound*
mirokata_make_sound() {
  return new mirokata::QtSound();
}
