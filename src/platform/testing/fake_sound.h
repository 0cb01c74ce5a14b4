// Sound output that records what it was asked to play.
#ifndef MIROKATA_PLATFORM_TESTING_FAKE_SOUND_H_
#define MIROKATA_PLATFORM_TESTING_FAKE_SOUND_H_

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/sound.h"

namespace mirokata {

class FakeSound : public Sound {
 public:
  void PlayCue(std::string_view name) override;
  void PlayCueSequence(std::vector<CueStep> steps,
                       std::function<void()> done) override;
  bool PlayFile(const std::string& path) override;
  void StopFile() override { ++stop_file_count_; }

  // Cue names as passed, in order.
  const std::vector<std::string>& cues() const { return cues_; }
  const std::vector<std::vector<CueStep>>& sequences() const {
    return sequences_;
  }
  // Paths passed to PlayFile, in order (missing files included).
  const std::vector<std::string>& files() const { return files_; }
  int stop_file_count() const { return stop_file_count_; }
  void Clear();

  // Sequences finish only when told (as the real one finishes later), unless
  // set to finish at once.
  void SetFinishSequencesAtOnce(bool at_once) { at_once_ = at_once; }
  bool sequence_running() const { return static_cast<bool>(pending_done_); }
  // Ends the running sequence and calls its `done`.
  void FinishSequence();
  // Forces PlayFile's answer; by default it is whether the file exists.
  void SetPlayFileResult(std::optional<bool> result) { file_result_ = result; }

 private:
  std::vector<std::string> cues_;
  std::vector<std::vector<CueStep>> sequences_;
  std::vector<std::string> files_;
  int stop_file_count_ = 0;
  bool at_once_ = false;
  std::function<void()> pending_done_;
  std::optional<bool> file_result_;
};

}  // namespace mirokata

#endif  // MIROKATA_PLATFORM_TESTING_FAKE_SOUND_H_
