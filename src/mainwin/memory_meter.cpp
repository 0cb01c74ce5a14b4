#include "mainwin/memory_meter.h"

#include <charconv>
#include <utility>

#include "platform/file_io.h"

namespace mirokata {
namespace {

// The number of "Name:   1234 kB" in the text, if the line is there.
std::optional<uint64_t> Field(std::string_view text, std::string_view name) {
  size_t at = 0;
  while (at < text.size()) {
    size_t end = text.find('\n', at);
    if (end == std::string_view::npos) end = text.size();
    std::string_view line = text.substr(at, end - at);
    at = end + 1;
    if (line.size() <= name.size() || line.substr(0, name.size()) != name ||
        line[name.size()] != ':') {
      continue;
    }
    std::string_view rest = line.substr(name.size() + 1);
    size_t digits = rest.find_first_not_of(" \t");
    if (digits == std::string_view::npos) return std::nullopt;
    rest.remove_prefix(digits);
    uint64_t value = 0;
    auto [ptr, ec] =
        std::from_chars(rest.data(), rest.data() + rest.size(), value);
    if (ec != std::errc() || ptr == rest.data()) return std::nullopt;
    return value;
  }
  return std::nullopt;
}

}  // namespace

std::optional<MemoryFigures> ParseMeminfo(std::string_view text) {
  std::optional<uint64_t> total = Field(text, "MemTotal");
  if (!total) return std::nullopt;
  std::optional<uint64_t> available = Field(text, "MemAvailable");
  if (!available) {
    std::optional<uint64_t> free = Field(text, "MemFree");
    if (!free) return std::nullopt;
    available = *free + Field(text, "Buffers").value_or(0) +
                Field(text, "Cached").value_or(0);
  }
  return MemoryFigures{*total, *available};
}

std::string MemoryText(const MemoryFigures& figures) {
  if (figures.total_kb == 0) return {};
  // Per hundredth of the total; below 100 kB that hundredth rounds to zero,
  // so the percentage is taken the other way round.
  const uint64_t hundredth = figures.total_kb / 100;
  const uint64_t percent = hundredth != 0
                               ? figures.available_kb / hundredth
                               : figures.available_kb * 100 / figures.total_kb;
  return std::to_string(figures.available_kb) + "K(" + std::to_string(percent) +
         "%)";
}

int FreeResourcePercent(int /*kind*/) { return 0; }

std::string MemoryPanelText(int /*resource_setting*/,
                            const std::optional<MemoryFigures>& figures) {
  return figures ? MemoryText(*figures) : std::string();
}

std::optional<MemoryFigures> MemoryMeter::Read() const {
  std::string text;
  if (ReadWholeFile(path_, &text) != ReadResult::kOk) return std::nullopt;
  return ParseMeminfo(text);
}

}  // namespace mirokata
