// The program's cue rules on top of Sound: the Waveplay switch and dialling.
#ifndef MIROKATA_PLATFORM_SOUND_CUES_H_
#define MIROKATA_PLATFORM_SOUND_CUES_H_

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/sound.h"

namespace mirokata {

// Every built-in cue name, lower case, in table order.
const std::vector<std::string>& CueNames();

// The cue of one dialled character: "p0".."p9", "ps" for '#', "pk" for '*',
// "pn" for anything else.
std::string DialToneCue(char c);

// Pause after each dialled character, milliseconds: ',' 3000 and '$' 10000
// (no tone), anything else `sleep_ms` after its tone.
std::vector<CueStep> DialToneSteps(std::string_view number, int sleep_ms);

class SoundCues {
 public:
  // `cues_enabled` is asked at every cue; it reads Form/Waveplay (default
  // true) from the settings file, so a change applies at once.
  SoundCues(Sound& sound, std::function<bool()> cues_enabled);

  // PlayCue: plays the named cue unless cues are switched off.
  void Play(std::string_view name);
  // Tone dialling: plays `number` as touch tones regardless of Waveplay and
  // calls `done` after the last pause. Never waits; the caller disables its
  // button until `done`.
  void PlayDialTones(std::string_view number, int sleep_ms,
                     std::function<void()> done);
  // User sound files ignore Waveplay.
  bool PlayFile(const std::string& path) { return sound_.PlayFile(path); }
  void StopFile() { sound_.StopFile(); }

  Sound& sound() { return sound_; }

 private:
  Sound& sound_;
  std::function<bool()> cues_enabled_;
};

}  // namespace mirokata

#endif  // MIROKATA_PLATFORM_SOUND_CUES_H_
