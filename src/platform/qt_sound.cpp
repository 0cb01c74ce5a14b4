#include "platform/qt_sound.h"

#include <QAudioDevice>
#include <QAudioFormat>
#include <QAudioOutput>
#include <QAudioSink>
#include <QBuffer>
#include <QFileInfo>
#include <QMediaDevices>
#include <QMediaPlayer>
#include <QProcess>
#include <QResource>
#include <QStandardPaths>
#include <QTimer>
#include <QUrl>

#include "platform/cue_synth.h"

// The generated resource lives in a static library: pull it in explicitly.
static void InitCueResource() { Q_INIT_RESOURCE(cues); }

namespace mirokata {
namespace {

class AudioSinkOutput : public PcmOutput {
 public:
  ~AudioSinkOutput() override { Stop(); }

  void Play(const CuePcm& cue) override {
    Stop();
    const QAudioDevice device = QMediaDevices::defaultAudioOutput();
    if (device.isNull() || cue.size == 0) return;
    QAudioFormat format;
    format.setSampleRate(cue.sample_rate);
    format.setChannelCount(1);
    format.setSampleFormat(cue.bits == 8 ? QAudioFormat::UInt8
                                         : QAudioFormat::Int16);
    buffer_ = std::make_unique<QBuffer>();
    buffer_->setData(QByteArray::fromRawData(
        reinterpret_cast<const char*>(cue.samples), qsizetype(cue.size)));
    buffer_->open(QIODevice::ReadOnly);
    sink_ = std::make_unique<QAudioSink>(device, format);
    QAudioSink* sink = sink_.get();
    QObject::connect(sink, &QAudioSink::stateChanged, sink,
                     [sink](QAudio::State state) {
                       if (state == QAudio::IdleState) sink->stop();
                     });
    sink->start(buffer_.get());
  }

  void Stop() override {
    if (sink_) sink_->stop();
    sink_.reset();
    buffer_.reset();
  }

 private:
  std::unique_ptr<QBuffer> buffer_;
  std::unique_ptr<QAudioSink> sink_;
};

// Qt 6.4's GStreamer backend crashes while making a media player when the
// GStreamer base plugins are missing; the FFmpeg backend needs nothing but
// its libraries. Must run before anything touches Qt Multimedia; a backend
// chosen in the environment is kept.
void SelectMediaBackend() {
  if (qEnvironmentVariableIsEmpty("QT_MEDIA_BACKEND")) {
    qputenv("QT_MEDIA_BACKEND", "ffmpeg");
  }
}

std::string LowerAscii(std::string_view s) {
  std::string out(s);
  for (char& c : out) {
    if (c >= 'A' && c <= 'Z') c = char(c - 'A' + 'a');
  }
  return out;
}

}  // namespace

std::unique_ptr<PcmOutput> MakeAudioSinkOutput() {
  SelectMediaBackend();
  return std::make_unique<AudioSinkOutput>();
}

CueLibrary::CueLibrary() {
  InitCueResource();
  for (const CueFormat& format : CueFormats()) {
    QResource resource(QStringLiteral(":/cues/%1.wav")
                           .arg(QString::fromStdString(format.name)));
    if (!resource.isValid() ||
        resource.compressionAlgorithm() != QResource::NoCompression) {
      continue;
    }
    const auto* data = resource.data();
    const auto size = std::size_t(resource.size());
    const WavInfo info = ParseWav(data, size);
    if (!info.valid || info.channels != 1) continue;
    cues_.push_back({format.name, data + info.data_offset, info.data_size,
                     info.sample_rate, info.bits, info.DurationMs()});
  }
}

const CuePcm* CueLibrary::Find(std::string_view name) const {
  const std::string lower = LowerAscii(name);
  for (const CuePcm& cue : cues_) {
    if (cue.name == lower) return &cue;
  }
  return nullptr;
}

QtSound::QtSound(std::unique_ptr<PcmOutput> output)
    : output_(std::move(output)),
      step_timer_(std::make_unique<QTimer>()),
      midi_owner_(std::make_unique<QObject>()) {
  SelectMediaBackend();
  step_timer_->setSingleShot(true);
  QObject::connect(step_timer_.get(), &QTimer::timeout, [this] { RunStep(); });
}

QtSound::~QtSound() {
  step_timer_->stop();
  StopMidiSynth();
  if (player_) player_->stop();
  if (output_) output_->Stop();
}

void QtSound::PlayCue(std::string_view name) {
  EndSequence();
  const CuePcm* cue = library_.Find(name);
  if (cue == nullptr) return;
  output_->Stop();  // a new cue cuts off the one still sounding
  output_->Play(*cue);
}

void QtSound::PlayCueSequence(std::vector<CueStep> steps,
                              std::function<void()> done) {
  EndSequence();
  steps_ = std::move(steps);
  next_step_ = 0;
  done_ = std::move(done);
  sequence_running_ = true;
  RunStep();
}

void QtSound::RunStep() {
  if (!sequence_running_) return;
  if (next_step_ >= steps_.size()) {
    EndSequence();
    return;
  }
  const CueStep& step = steps_[next_step_++];
  int wait_ms = step.pause_ms > 0 ? step.pause_ms : 0;
  if (!step.cue.empty()) {
    const CuePcm* cue = library_.Find(step.cue);
    if (cue == nullptr) cue = library_.Find("pn");
    if (cue != nullptr) {
      output_->Stop();
      output_->Play(*cue);
      wait_ms += cue->duration_ms;
    }
  }
  // Timed by the cue's length, not by the device, so that the sequence ends
  // on time without any audio device too.
  step_timer_->start(wait_ms);
}

void QtSound::EndSequence() {
  if (!sequence_running_) return;
  sequence_running_ = false;
  step_timer_->stop();
  steps_.clear();
  next_step_ = 0;
  std::function<void()> done = std::move(done_);
  done_ = nullptr;
  if (done) done();
}

bool QtSound::IsMidiFile(const std::string& path) {
  const QString suffix =
      QFileInfo(QString::fromStdString(path)).suffix().toLower();
  return suffix == QLatin1String("mid") || suffix == QLatin1String("midi") ||
         suffix == QLatin1String("rmi") || suffix == QLatin1String("kar");
}

bool QtSound::StartMidiSynth(const QString& path) {
  QString program = QStandardPaths::findExecutable(QStringLiteral("timidity"));
  QStringList arguments;
  if (!program.isEmpty()) {
    arguments = {QStringLiteral("-idqq"), path};
  } else {
    program = QStandardPaths::findExecutable(QStringLiteral("fluidsynth"));
    if (program.isEmpty()) return false;
    QString font;
    for (const char* candidate : {"/usr/share/sounds/sf2/default-GM.sf2",
                                  "/usr/share/sounds/sf2/FluidR3_GM.sf2",
                                  "/usr/share/sounds/sf2/TimGM6mb.sf2"}) {
      if (QFileInfo(QString::fromLatin1(candidate)).isFile()) {
        font = QString::fromLatin1(candidate);
        break;
      }
    }
    if (font.isEmpty()) return false;
    arguments = {QStringLiteral("-i"), QStringLiteral("-n"),
                 QStringLiteral("-q"), font, path};
  }
  auto* process = new QProcess(midi_owner_.get());
  process->setProgram(program);
  process->setArguments(arguments);
  process->setStandardInputFile(QProcess::nullDevice());
  process->setStandardOutputFile(QProcess::nullDevice());
  process->setStandardErrorFile(QProcess::nullDevice());
  QObject::connect(process, &QProcess::finished, process,
                   &QObject::deleteLater);
  QObject::connect(process, &QProcess::errorOccurred, process,
                   [process](QProcess::ProcessError error) {
                     if (error == QProcess::FailedToStart) {
                       process->deleteLater();
                     }
                   });
  process->start();
  midi_ = process;
  return true;
}

void QtSound::StopMidiSynth() {
  if (midi_ == nullptr) return;
  // Killed, not waited for: it is reaped when it has gone.
  if (midi_->state() != QProcess::NotRunning) midi_->kill();
  midi_ = nullptr;
}

bool QtSound::PlayFile(const std::string& path) {
  const QFileInfo info(QString::fromStdString(path));
  if (!info.isFile()) return false;
  StopMidiSynth();
  if (player_) player_->stop();
  if (IsMidiFile(path) && StartMidiSynth(info.absoluteFilePath())) {
    current_file_ = path;
    return true;
  }
  // Qt 6.4's media player crashes in its render thread when it plays with
  // no audio device, so without one the file is not played at all.
  const QAudioDevice device = QMediaDevices::defaultAudioOutput();
  if (device.isNull()) {
    current_file_ = path;
    return true;
  }
  if (!player_) {
    audio_output_ = std::make_unique<QAudioOutput>();
    player_ = std::make_unique<QMediaPlayer>();
    player_->setAudioOutput(audio_output_.get());
  }
  audio_output_->setDevice(device);
  player_->stop();
  player_->setSource(QUrl::fromLocalFile(info.absoluteFilePath()));
  player_->play();
  current_file_ = path;
  return true;
}

void QtSound::StopFile() {
  StopMidiSynth();
  if (player_) player_->stop();
  current_file_.clear();
}

}  // namespace mirokata
