// Playing the built-in cues and the user's sound files.
#ifndef MIROKATA_PLATFORM_SOUND_H_
#define MIROKATA_PLATFORM_SOUND_H_

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace mirokata {

// One step of a cue sequence: a cue (empty: none) and then a pause.
struct CueStep {
  std::string cue;
  int pause_ms = 0;
};

// Sound output. Nothing here ever blocks, and everything is silent (never an
// error) when there is no audio device. Settings such as Form/Waveplay are
// the caller's business (see SoundCues).
class Sound {
 public:
  virtual ~Sound() = default;
  // Starts a built-in cue from memory and returns at once. The name is
  // matched without regard to case; a new cue cuts off the one playing; an
  // unknown name stays silent.
  virtual void PlayCue(std::string_view name) = 0;
  // Plays the steps one after another (each cue to its end, then its pause)
  // without waiting, then calls `done` on the UI thread. A new call or
  // PlayCue() cancels a running sequence (its `done` is still called once).
  virtual void PlayCueSequence(std::vector<CueStep> steps,
                               std::function<void()> done) = 0;
  // Plays a sound file (WAV, MIDI where the system can, anything else the
  // media backend reads) without waiting; replaces the file playing before.
  // False when the file does not exist.
  virtual bool PlayFile(const std::string& path) = 0;
  // Stops the file started by PlayFile().
  virtual void StopFile() = 0;
};

}  // namespace mirokata

#endif  // MIROKATA_PLATFORM_SOUND_H_
