// The services every part of the program reaches: the platform's services
// and the program-wide objects, made once by the application (or by a test)
// and outliving every window.
#ifndef MIROKATA_BASE_SERVICES_H_
#define MIROKATA_BASE_SERVICES_H_

#include <functional>
#include <string>

namespace mirokata {

class Clock;
class DesktopWindows;
class EntryChanges;
class HotKey;
class JpegJobs;
class MailNetwork;
class Messages;
class Power;
class Reachability;
class Screen;
class SettingsFile;
class Shell;
class Sound;
class SoundCues;
class Tray;
class Uptime;

inline constexpr char kVersionText[] = "Version 2.62";
inline constexpr char kProductName[] = "Mirokata";

struct Services {
  std::string program_folder;  // ends with "/"
  SettingsFile* settings = nullptr;
  const Clock* clock = nullptr;
  const Uptime* uptime = nullptr;
  Messages* messages = nullptr;
  Sound* sound = nullptr;
  SoundCues* cues = nullptr;
  Shell* shell = nullptr;
  HotKey* hot_key = nullptr;
  Tray* tray = nullptr;
  Screen* screen = nullptr;
  Power* power = nullptr;
  // Name lookups and ICMP echo requests.
  Reachability* reachability = nullptr;
  // Connections to mail servers.
  MailNetwork* mail_network = nullptr;
  // Other programs' windows and the wallpaper.
  DesktopWindows* desktop = nullptr;
  // The one picture worker (JPEG and bitmap files, the wallpaper file).
  JpegJobs* jpeg = nullptr;
  // Told of every write or delete of an entry file.
  EntryChanges* entry_changes = nullptr;
  // Where the memory figures come from.
  std::string meminfo_path = "/proc/meminfo";
};

// The `Form`/`Waveplay` switch (default on), read at every cue so that a
// change applies at once.
std::function<bool()> CueSwitch(SettingsFile& settings);

}  // namespace mirokata

#endif  // MIROKATA_BASE_SERVICES_H_
