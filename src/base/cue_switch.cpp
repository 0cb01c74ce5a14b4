#include "base/services.h"
#include "base/settings_file.h"

namespace mirokata {

std::function<bool()> CueSwitch(SettingsFile& settings) {
  return [&settings] { return settings.ReadBool("Form", "Waveplay", true); };
}

}  // namespace mirokata
