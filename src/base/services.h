// The services every window of the program reaches, owned by the
// application object (or by a test) and outliving every window.
#ifndef MIROKATA_BASE_SERVICES_H_
#define MIROKATA_BASE_SERVICES_H_

#include <functional>
#include <string>

namespace mirokata {

class Clock;
class HotKey;
class Messages;
class Power;
class Screen;
class SettingsFile;
class Shell;
class SoundCues;
class Tray;

inline constexpr char kVersionText[] = "Version 2.62";
inline constexpr char kProductName[] = "Mirokata";

struct AppContext {
  std::string program_folder;  // ends with "/"
  SettingsFile* settings = nullptr;
  Clock* clock = nullptr;
  Messages* messages = nullptr;
  SoundCues* cues = nullptr;
  Shell* shell = nullptr;
  HotKey* hot_key = nullptr;
  Tray* tray = nullptr;
  Screen* screen = nullptr;
  Power* power = nullptr;
};

// The `Form`/`Waveplay` switch (default on), read at every cue so that a
// change applies at once.
std::function<bool()> CueSwitch(SettingsFile& settings);

}  // namespace mirokata

#endif  // MIROKATA_BASE_SERVICES_H_
