#include <filesystem>

#include "platform/testing/fake_desktop.h"
#include "platform/testing/fake_shell.h"
#include "platform/testing/fake_sound.h"

namespace mirokata {

void FakeSound::PlayCue(std::string_view name) {
  cues_.emplace_back(name);
  // As the real one: a cue cancels a running sequence.
  if (pending_done_) FinishSequence();
}

void FakeSound::PlayCueSequence(std::vector<CueStep> steps,
                                std::function<void()> done) {
  if (pending_done_) FinishSequence();
  sequences_.push_back(std::move(steps));
  if (at_once_) {
    if (done) done();
  } else {
    pending_done_ = done ? std::move(done) : [] {};
  }
}

void FakeSound::FinishSequence() {
  std::function<void()> done = std::move(pending_done_);
  pending_done_ = nullptr;
  if (done) done();
}

bool FakeSound::PlayFile(const std::string& path) {
  files_.push_back(path);
  if (file_result_) return *file_result_;
  std::error_code ec;
  return std::filesystem::is_regular_file(path, ec);
}

void FakeSound::Clear() {
  cues_.clear();
  sequences_.clear();
  files_.clear();
  stop_file_count_ = 0;
}

bool FakeShell::OpenDocument(const std::string& path_or_address) {
  calls_.push_back({Call::Kind::kOpenDocument, path_or_address, {}, {}, {}});
  return result_;
}

bool FakeShell::StartProgram(const std::string& program,
                             const std::vector<std::string>& arguments,
                             const std::string& working_folder) {
  calls_.push_back(
      {Call::Kind::kStartProgram, program, arguments, {}, working_folder});
  return result_;
}

bool FakeShell::Open(const std::string& file, const std::string& parameters,
                     const std::string& working_folder) {
  calls_.push_back({Call::Kind::kOpen, file, {}, parameters, working_folder});
  return result_;
}

bool FakeHotKey::Register(HotKeyChord chord, std::function<void()> pressed) {
  Unregister();
  if (!register_result_) return false;
  chord_ = chord;
  pressed_ = std::move(pressed);
  return true;
}

void FakeHotKey::Unregister() {
  chord_.reset();
  pressed_ = nullptr;
}

bool FakeHotKey::Press() {
  if (!chord_ || !pressed_) return false;
  pressed_();
  return true;
}

}  // namespace mirokata
