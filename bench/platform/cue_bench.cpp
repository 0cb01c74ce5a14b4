// What a cue costs the UI thread: every window opening and closing plays
// one, so it must stay far below a frame, with or without a sound card.
#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <memory>
#include <string>

#include "platform/qt_sound.h"
#include "platform/sound_cues.h"

namespace mirokata {
namespace {

QCoreApplication& App() {
  static int argc = 1;
  static char name[] = "platform_cue_bench";
  static char* argv[] = {name, nullptr};
  static QCoreApplication app(argc, argv);
  return app;
}

class NullOutput : public PcmOutput {
 public:
  void Play(const CuePcm& cue) override { benchmark::DoNotOptimize(cue.size); }
  void Stop() override {}
};

// Start-up share: finding and checking the built-in cues.
void BM_LoadCueLibrary(benchmark::State& state) {
  App();
  for (auto _ : state) {
    CueLibrary library;
    benchmark::DoNotOptimize(library.cues().size());
  }
}
BENCHMARK(BM_LoadCueLibrary);

// The program's own work per cue: the Waveplay check aside, name lookup
// and handing the samples over.
void BM_PlayCueLookup(benchmark::State& state) {
  App();
  QtSound sound(std::make_unique<NullOutput>());
  SoundCues cues(sound, [] { return true; });
  for (auto _ : state) cues.Play("CLO");
}
BENCHMARK(BM_PlayCueLookup);

// The real audio path on whatever device the machine has (none in CI:
// then this is the cost of finding that out).
void BM_PlayCueAudioSink(benchmark::State& state) {
  App();
  QtSound sound;
  const std::string names[] = {"ope", "clo", "c1", "sav"};
  std::size_t i = 0;
  for (auto _ : state) {
    sound.PlayCue(names[i++ % 4]);
    QCoreApplication::processEvents();
  }
}
BENCHMARK(BM_PlayCueAudioSink)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace mirokata
