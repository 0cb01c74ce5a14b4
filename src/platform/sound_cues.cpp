#include "platform/sound_cues.h"

#include "platform/cue_synth.h"

namespace mirokata {

const std::vector<std::string>& CueNames() {
  static const std::vector<std::string> names = [] {
    std::vector<std::string> list;
    for (const CueFormat& format : CueFormats()) list.push_back(format.name);
    return list;
  }();
  return names;
}

std::string DialToneCue(char c) {
  if (c >= '0' && c <= '9') return std::string("p") + c;
  if (c == '#') return "ps";
  if (c == '*') return "pk";
  return "pn";
}

std::vector<CueStep> DialToneSteps(std::string_view number, int sleep_ms) {
  std::vector<CueStep> steps;
  const int pause = sleep_ms > 0 ? sleep_ms : 0;
  for (std::size_t i = 0; i < number.size(); ++i) {
    const char c = number[i];
    if (c == ',') {
      steps.push_back({"", 3000});
    } else if (c == '$') {
      steps.push_back({"", 10000});
    } else {
      steps.push_back({DialToneCue(c), pause});
      // A multi-byte character is one character: one tone for all of it.
      if (static_cast<unsigned char>(c) >= 0xC0) {
        while (i + 1 < number.size() &&
               (static_cast<unsigned char>(number[i + 1]) & 0xC0) == 0x80) {
          ++i;
        }
      }
    }
  }
  return steps;
}

SoundCues::SoundCues(Sound& sound, std::function<bool()> cues_enabled)
    : sound_(sound), cues_enabled_(std::move(cues_enabled)) {}

void SoundCues::Play(std::string_view name) {
  if (cues_enabled_ && !cues_enabled_()) return;
  sound_.PlayCue(name);
}

void SoundCues::PlayDialTones(std::string_view number, int sleep_ms,
                              std::function<void()> done) {
  sound_.PlayCueSequence(DialToneSteps(number, sleep_ms), std::move(done));
}

}  // namespace mirokata
