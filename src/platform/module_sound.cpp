#include "platform/module_sound.h"

#include <dlfcn.h>
#include <unistd.h>

#include <QTimer>
#include <cstdio>
#include <utility>

#include "platform/file_io.h"

namespace mirokata {

std::string ModuleFolder() { return ExecutableFolder() + "/../lib/mirokata"; }

ModuleSound::ModuleSound(std::string path) : path_(std::move(path)) {}

ModuleSound::~ModuleSound() {
  // The module's objects go before its code. The library itself stays
  // mapped: Qt may still hold its types until the application ends.
  sound_.reset();
}

void ModuleSound::Load() {
  if (tried_) return;
  tried_ = true;
  handle_ = dlopen(path_.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (!handle_) {
    const char* why = dlerror();
    error_ = why ? why : "cannot load " + path_;
  } else if (auto entry = reinterpret_cast<SoundModuleEntry>(
                 dlsym(handle_, kSoundModuleEntry))) {
    sound_.reset(entry());
    if (!sound_) error_ = path_ + ": no sound";
  } else {
    error_ = path_ + ": not a sound module";
  }
  if (!error_.empty()) {
    std::fprintf(stderr, "mirokata: sound is off: %s\n", error_.c_str());
  }
}

void ModuleSound::PlayCue(std::string_view name) {
  Load();
  if (sound_) sound_->PlayCue(name);
}

void ModuleSound::PlayCueSequence(std::vector<CueStep> steps,
                                  std::function<void()> done) {
  Load();
  if (sound_) {
    sound_->PlayCueSequence(std::move(steps), std::move(done));
  } else if (done) {
    // Silence still ends, and never inside the call, as a sequence would.
    QTimer::singleShot(0, std::move(done));
  }
}

bool ModuleSound::PlayFile(const std::string& path) {
  Load();
  if (sound_) return sound_->PlayFile(path);
  return access(path.c_str(), F_OK) == 0;
}

void ModuleSound::StopFile() {
  if (sound_) sound_->StopFile();
}

}  // namespace mirokata
