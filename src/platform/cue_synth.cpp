#include "platform/cue_synth.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <numbers>

namespace mirokata {
namespace {

constexpr double kTwoPi = 2.0 * std::numbers::pi;

char Lower(char c) { return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c; }

bool SameName(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (Lower(a[i]) != Lower(b[i])) return false;
  }
  return true;
}

// Attack and release ramps keep the cues free of clicks.
double Ramp(double t, double length, double attack, double release) {
  double g = 1.0;
  if (t < attack) g = t / attack;
  if (length - t < release) g = std::min(g, (length - t) / release);
  return std::max(0.0, g);
}

// A tone whose pitch glides from f0 to f1 with an exponential decay.
class Voice {
 public:
  Voice(double rate, double f0, double f1, double length, double decay)
      : rate_(rate), f0_(f0), f1_(f1), length_(length), decay_(decay) {}
  double Next(double t) {
    double f = f0_ + (f1_ - f0_) * std::min(1.0, t / length_);
    phase_ += kTwoPi * f / rate_;
    if (phase_ > kTwoPi) phase_ -= kTwoPi;
    double env = decay_ > 0 ? std::exp(-t / decay_) : 1.0;
    return std::sin(phase_) * env;
  }

 private:
  double rate_, f0_, f1_, length_, decay_;
  double phase_ = 0.0;
};

// Deterministic noise so that every build makes the same files.
class Noise {
 public:
  double Next() {
    state_ = state_ * 1664525u + 1013904223u;
    return (static_cast<double>(state_ >> 8) / double(1u << 24)) * 2.0 - 1.0;
  }

 private:
  std::uint32_t state_ = 0x2545F491u;
};

// Bell-like note: fundamental plus a quieter inharmonic partial.
double Bell(double t, double f, double decay) {
  if (t < 0) return 0.0;
  double env = std::exp(-t / decay) * std::min(1.0, t / 0.004);
  return env * (0.75 * std::sin(kTwoPi * f * t) +
                0.25 * std::sin(kTwoPi * f * 2.76 * t) * std::exp(-t / 0.05));
}

using Shape = std::function<double(double t, double length, double rate)>;

std::vector<double> Render(const CueFormat& format, const Shape& shape) {
  const double rate = format.sample_rate;
  const double length = format.length_ms / 1000.0;
  const auto count = static_cast<std::size_t>(
      std::llround(format.sample_rate * (format.length_ms / 1000.0)));
  std::vector<double> samples(count);
  for (std::size_t i = 0; i < count; ++i) {
    double t = i / rate;
    samples[i] = std::clamp(shape(t, length, rate), -1.0, 1.0);
  }
  return samples;
}

std::vector<double> RenderCue(const CueFormat& f) {
  const double rate = f.sample_rate;
  const double length = f.length_ms / 1000.0;
  const std::string& n = f.name;
  if (n.size() == 2 && n[0] == 'p') {
    char key = n[1] == 's' ? '#' : n[1] == 'k' ? '*' : n[1];
    DtmfPair pair = DtmfFrequencies(key);
    if (pair.low_hz == 0)
      return Render(f, [](double, double, double) { return 0.0; });
    return Render(f, [pair](double t, double len, double) {
      return 0.42 * Ramp(t, len, 0.004, 0.004) *
             (std::sin(kTwoPi * pair.low_hz * t) +
              std::sin(kTwoPi * pair.high_hz * t));
    });
  }
  if (n == "ope") {
    Voice v(rate, 700, 1400, length, 0.06);
    return Render(f, [v](double t, double len, double) mutable {
      return 0.8 * Ramp(t, len, 0.005, 0.01) * v.Next(t);
    });
  }
  if (n == "clo") {
    Voice v(rate, 1400, 600, length, 0.09);
    return Render(f, [v](double t, double len, double) mutable {
      return 0.8 * Ramp(t, len, 0.005, 0.015) * v.Next(t);
    });
  }
  if (n == "c1") {
    Noise noise;
    return Render(f, [noise](double t, double len, double) mutable {
      double click = t < 0.003 ? noise.Next() * (1.0 - t / 0.003) : 0.0;
      double ping = std::exp(-t / 0.03) * (0.6 * std::sin(kTwoPi * 1800 * t) +
                                           0.3 * std::sin(kTwoPi * 900 * t));
      return 0.9 * Ramp(t, len, 0.0005, 0.02) * (click * 0.5 + ping);
    });
  }
  if (n == "sav") {
    return Render(f, [](double t, double len, double) {
      return 0.8 * Ramp(t, len, 0.002, 0.03) *
             (Bell(t, 1318.5, 0.08) + Bell(t - 0.14, 1760.0, 0.12));
    });
  }
  if (n == "del") {
    Voice v(rate, 900, 150, length, 0.25);
    Noise noise;
    double low = 0.0;
    return Render(f, [v, noise, low](double t, double len, double) mutable {
      low += 0.2 * (noise.Next() - low);  // softened noise: a swish
      return 0.85 * Ramp(t, len, 0.01, 0.05) *
             (0.7 * v.Next(t) + 0.3 * low * std::exp(-t / 0.15));
    });
  }
  if (n == "cop") {
    return Render(f, [](double t, double len, double) {
      double a = t < 0.045
                     ? std::sin(kTwoPi * 1568 * t) * Ramp(t, 0.045, 0.003, 0.01)
                     : 0.0;
      double b = t >= 0.055 ? std::sin(kTwoPi * 2093 * (t - 0.055)) *
                                  Ramp(t - 0.055, len - 0.055, 0.003, 0.01)
                            : 0.0;
      return 0.7 * (a + b);
    });
  }
  if (n == "pop") {
    Voice v(rate, 300, 1200, length, 0.03);
    return Render(f, [v](double t, double len, double) mutable {
      return 0.9 * Ramp(t, len, 0.002, 0.01) * v.Next(t);
    });
  }
  if (n == "rml") {
    return Render(f, [](double t, double len, double) {
      return 0.7 * Ramp(t, len, 0.002, 0.05) *
             (Bell(t, 1046.5, 0.1) + Bell(t - 0.15, 1318.5, 0.1) +
              Bell(t - 0.30, 1568.0, 0.12));
    });
  }
  if (n == "pas") {
    return Render(f, [](double t, double len, double) {
      return 0.6 * Ramp(t, len, 0.002, 0.08) *
             (Bell(t, 880.0, 0.2) + 0.8 * Bell(t - 0.32, 1174.7, 0.2));
    });
  }
  return {};
}

void Put16(std::vector<std::uint8_t>& out, unsigned v) {
  out.push_back(std::uint8_t(v & 0xFF));
  out.push_back(std::uint8_t((v >> 8) & 0xFF));
}

void Put32(std::vector<std::uint8_t>& out, std::uint32_t v) {
  Put16(out, v & 0xFFFF);
  Put16(out, v >> 16);
}

void PutTag(std::vector<std::uint8_t>& out, const char* tag) {
  out.insert(out.end(), tag, tag + 4);
}

std::uint32_t Get32(const std::uint8_t* p) {
  return p[0] | (p[1] << 8) | (p[2] << 16) | (std::uint32_t(p[3]) << 24);
}

unsigned Get16(const std::uint8_t* p) { return p[0] | (p[1] << 8); }

}  // namespace

const std::vector<CueFormat>& CueFormats() {
  static const std::vector<CueFormat> formats = [] {
    std::vector<CueFormat> list = {
        {"ope", 8287, 8, 85},   {"clo", 11025, 8, 133}, {"c1", 11025, 8, 194},
        {"sav", 11025, 8, 350}, {"del", 22050, 8, 457}, {"cop", 11025, 8, 102},
        {"pop", 8000, 8, 83},   {"rml", 11025, 8, 498}, {"pas", 22050, 16, 640},
    };
    for (char d = '0'; d <= '9'; ++d) {
      list.push_back({std::string("p") + d, 11025, 8, 100});
    }
    list.push_back({"ps", 11025, 8, 100});
    list.push_back({"pk", 11025, 8, 100});
    list.push_back({"pn", 8000, 8, 100});
    return list;
  }();
  return formats;
}

const CueFormat* FindCueFormat(std::string_view name) {
  for (const CueFormat& f : CueFormats()) {
    if (SameName(f.name, name)) return &f;
  }
  return nullptr;
}

DtmfPair DtmfFrequencies(char key) {
  static constexpr int kLow[] = {697, 770, 852, 941};
  static constexpr int kHigh[] = {1209, 1336, 1477};
  static constexpr char kPad[4][3] = {
      {'1', '2', '3'}, {'4', '5', '6'}, {'7', '8', '9'}, {'*', '0', '#'}};
  for (int r = 0; r < 4; ++r) {
    for (int c = 0; c < 3; ++c) {
      if (kPad[r][c] == key) return {kLow[r], kHigh[c]};
    }
  }
  return {};
}

std::vector<std::uint8_t> SynthesizeCue(std::string_view name) {
  const CueFormat* format = FindCueFormat(name);
  if (format == nullptr) return {};
  std::vector<double> samples = RenderCue(*format);
  const int bytes_per_sample = format->bits / 8;
  const auto data_size =
      static_cast<std::uint32_t>(samples.size() * bytes_per_sample);
  std::vector<std::uint8_t> out;
  out.reserve(44 + data_size + 1);
  PutTag(out, "RIFF");
  Put32(out, 36 + data_size + (data_size & 1));
  PutTag(out, "WAVE");
  PutTag(out, "fmt ");
  Put32(out, 16);
  Put16(out, 1);  // PCM
  Put16(out, 1);  // mono
  Put32(out, format->sample_rate);
  Put32(out, format->sample_rate * bytes_per_sample);
  Put16(out, bytes_per_sample);
  Put16(out, format->bits);
  PutTag(out, "data");
  Put32(out, data_size);
  for (double s : samples) {
    if (format->bits == 8) {
      out.push_back(std::uint8_t(std::lround(128.0 + s * 127.0)));
    } else {
      Put16(out, std::uint16_t(std::int16_t(std::lround(s * 32767.0))));
    }
  }
  if (data_size & 1) out.push_back(0);  // chunks are word aligned
  return out;
}

int WavInfo::DurationMs() const {
  if (!valid || sample_rate <= 0 || channels <= 0 || bits <= 0) return 0;
  const std::size_t frame = std::size_t(channels) * (bits / 8);
  if (frame == 0) return 0;
  return int(std::uint64_t(data_size / frame) * 1000 / sample_rate);
}

WavInfo ParseWav(const std::uint8_t* data, std::size_t size) {
  WavInfo info;
  if (data == nullptr || size < 12) return info;
  if (std::string_view(reinterpret_cast<const char*>(data), 4) != "RIFF" ||
      std::string_view(reinterpret_cast<const char*>(data + 8), 4) != "WAVE") {
    return info;
  }
  bool have_format = false;
  std::size_t pos = 12;
  while (pos + 8 <= size) {
    std::string_view tag(reinterpret_cast<const char*>(data + pos), 4);
    const std::uint32_t length = Get32(data + pos + 4);
    const std::size_t body = pos + 8;
    const std::size_t available = size - body;
    if (tag == "fmt ") {
      if (length < 16 || available < 16) return info;
      if (Get16(data + body) != 1) return info;  // PCM only
      info.channels = int(Get16(data + body + 2));
      info.sample_rate = int(Get32(data + body + 4));
      info.bits = int(Get16(data + body + 14));
      have_format = true;
    } else if (tag == "data") {
      if (!have_format) return info;
      info.data_offset = body;
      info.data_size = std::min<std::size_t>(length, available);
      info.valid = info.channels > 0 && info.sample_rate > 0 &&
                   (info.bits == 8 || info.bits == 16);
      return info;
    }
    if (length > available) return info;
    pos = body + length + (length & 1);
  }
  return info;
}

std::vector<double> WavSamples(const std::uint8_t* data, std::size_t size) {
  WavInfo info = ParseWav(data, size);
  std::vector<double> samples;
  if (!info.valid) return samples;
  const std::size_t frame = std::size_t(info.channels) * (info.bits / 8);
  const std::uint8_t* p = data + info.data_offset;
  const std::size_t frames = info.data_size / frame;
  samples.reserve(frames);
  for (std::size_t i = 0; i < frames; ++i, p += frame) {
    if (info.bits == 8) {
      samples.push_back((p[0] - 128.0) / 127.0);
    } else {
      samples.push_back(std::int16_t(Get16(p)) / 32767.0);
    }
  }
  return samples;
}

}  // namespace mirokata
