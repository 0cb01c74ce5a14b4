// Sound through Qt Multimedia: cues from the built-in resource through an
// audio sink, user files through a media player.
#ifndef MIROKATA_PLATFORM_QT_SOUND_H_
#define MIROKATA_PLATFORM_QT_SOUND_H_

#include <QPointer>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/sound.h"

class QAudioOutput;
class QMediaPlayer;
class QObject;
class QProcess;
class QString;
class QTimer;

namespace mirokata {

// One built-in cue: its samples stay in the program's resource memory.
struct CuePcm {
  std::string name;
  const std::uint8_t* samples = nullptr;
  std::size_t size = 0;
  int sample_rate = 0;
  int bits = 0;
  int duration_ms = 0;
};

// The cues compiled into the program.
class CueLibrary {
 public:
  CueLibrary();
  // Matched without regard to case; null for an unknown name.
  const CuePcm* Find(std::string_view name) const;
  const std::vector<CuePcm>& cues() const { return cues_; }

 private:
  std::vector<CuePcm> cues_;
};

// Where cue samples go; the real one is an audio sink on the default device.
class PcmOutput {
 public:
  virtual ~PcmOutput() = default;
  // Starts the cue at once (QtSound calls Stop() first).
  virtual void Play(const CuePcm& cue) = 0;
  virtual void Stop() = 0;
};

// Silent (and quick) when there is no audio device.
std::unique_ptr<PcmOutput> MakeAudioSinkOutput();

class QtSound : public Sound {
 public:
  // Needs a QCoreApplication. The media player is made at the first file.
  explicit QtSound(std::unique_ptr<PcmOutput> output = MakeAudioSinkOutput());
  ~QtSound() override;

  void PlayCue(std::string_view name) override;
  void PlayCueSequence(std::vector<CueStep> steps,
                       std::function<void()> done) override;
  bool PlayFile(const std::string& path) override;
  void StopFile() override;

  // MIDI files go to a synthesiser program when one is installed
  // ("timidity", or "fluidsynth" with a General MIDI sound font), since the
  // media backend has none; other files go to the media player.
  static bool IsMidiFile(const std::string& path);

  // The file of the last PlayFile() (empty after StopFile()).
  const std::string& current_file() const { return current_file_; }
  const CueLibrary& library() const { return library_; }

 private:
  void RunStep();
  void EndSequence();
  bool StartMidiSynth(const QString& path);
  void StopMidiSynth();

  std::unique_ptr<PcmOutput> output_;
  CueLibrary library_;
  std::unique_ptr<QTimer> step_timer_;
  std::vector<CueStep> steps_;
  std::size_t next_step_ = 0;
  std::function<void()> done_;
  bool sequence_running_ = false;
  std::unique_ptr<QAudioOutput> audio_output_;
  std::unique_ptr<QMediaPlayer> player_;
  std::string current_file_;
  // Owns synthesiser processes until they have ended.
  std::unique_ptr<QObject> midi_owner_;
  QPointer<QProcess> midi_;
};

}  // namespace mirokata

#endif  // MIROKATA_PLATFORM_QT_SOUND_H_
