// Synthesis of the built-in sound cues and a reader for the WAV files made.
#ifndef MIROKATA_PLATFORM_CUE_SYNTH_H_
#define MIROKATA_PLATFORM_CUE_SYNTH_H_

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace mirokata {

// Format of one cue: mono PCM.
struct CueFormat {
  std::string name;  // lower case
  int sample_rate = 0;
  int bits = 0;  // 8 (unsigned) or 16 (signed little-endian)
  int length_ms = 0;
};

// Every cue, in table order.
const std::vector<CueFormat>& CueFormats();
// Null for an unknown name (matched without regard to case).
const CueFormat* FindCueFormat(std::string_view name);

// The DTMF pair (low, high) in Hz of '0'-'9', '*' and '#'; {0, 0} otherwise.
struct DtmfPair {
  int low_hz = 0;
  int high_hz = 0;
};
DtmfPair DtmfFrequencies(char key);

// A complete RIFF WAVE file of the cue; empty for an unknown name.
std::vector<std::uint8_t> SynthesizeCue(std::string_view name);

// The header facts of a PCM WAVE file.
struct WavInfo {
  bool valid = false;
  int channels = 0;
  int sample_rate = 0;
  int bits = 0;
  std::size_t data_offset = 0;  // of the first sample
  std::size_t data_size = 0;    // bytes of samples (clipped to the buffer)
  int DurationMs() const;
};
// Reads only within [data, data + size); anything malformed is !valid.
WavInfo ParseWav(const std::uint8_t* data, std::size_t size);
// The samples of a mono or multi-channel PCM file (first channel), scaled to
// [-1, 1]; empty when the file is not valid PCM.
std::vector<double> WavSamples(const std::uint8_t* data, std::size_t size);

}  // namespace mirokata

#endif  // MIROKATA_PLATFORM_CUE_SYNTH_H_
