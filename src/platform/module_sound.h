// Sound played by a module that is loaded on demand. The media libraries
// behind it are many and slow to map, and nothing needs them before the
// main window is on the screen.
#ifndef MIROKATA_PLATFORM_MODULE_SOUND_H_
#define MIROKATA_PLATFORM_MODULE_SOUND_H_

#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/sound.h"

namespace mirokata {

// The function a sound module exports: a new Sound, or null.
inline constexpr char kSoundModuleEntry[] = "mirokata_make_sound";
using SoundModuleEntry = Sound* (*)();

// Where the program's modules live: "../lib/mirokata" beside the folder of
// the program file, as both the build tree and an installation lay it out.
std::string ModuleFolder();

class ModuleSound : public Sound {
 public:
  // `path` is the module's file. Nothing is loaded yet.
  explicit ModuleSound(std::string path);
  ~ModuleSound() override;

  // Loads the module unless done. Any call below loads it first, so this
  // is only about when the cost is paid. A module that cannot be loaded
  // leaves the sound silent, as a machine without an audio device is.
  void Load();
  bool tried() const { return tried_; }
  // Why the module could not be loaded (empty while all is well).
  const std::string& error() const { return error_; }

  void PlayCue(std::string_view name) override;
  void PlayCueSequence(std::vector<CueStep> steps,
                       std::function<void()> done) override;
  bool PlayFile(const std::string& path) override;
  void StopFile() override;

 private:
  std::string path_;
  bool tried_ = false;
  std::string error_;
  void* handle_ = nullptr;
  std::unique_ptr<Sound> sound_;
};

}  // namespace mirokata

#endif  // MIROKATA_PLATFORM_MODULE_SOUND_H_
