#include "richtext/color_history.h"

#include <algorithm>
#include <charconv>
#include <string>

#include "base/settings_file.h"

namespace mirokata {
namespace {

constexpr char kSection[] = "Nikki";

std::string KeyOf(int index) { return "Color" + std::to_string(index + 1); }

// A plain colour 0x00BBGGRR in decimal, blanks around it allowed.
std::optional<ColorValue> ParseColor(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t'))
    text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t'))
    text.remove_suffix(1);
  if (!text.empty() && text.front() == '+') text.remove_prefix(1);
  long long value = -1;
  auto [end, error] =
      std::from_chars(text.data(), text.data() + text.size(), value);
  if (text.empty() || error != std::errc() || end != text.data() + text.size())
    return std::nullopt;
  if (value < 0 || value > 0xFFFFFF) return std::nullopt;
  return ColorValue(value);
}

}  // namespace

std::vector<ColorValue> ReadColorHistory(const SettingsReader& settings) {
  std::vector<ColorValue> history;
  for (int i = 0; i < kColorHistorySize; ++i) {
    const std::string key = KeyOf(i);
    std::optional<ColorValue> color =
        settings.HasKey(kSection, key)
            ? ParseColor(settings.ReadString(kSection, key, ""))
            : std::optional<ColorValue>(kColorHistoryDefault);
    if (color &&
        std::find(history.begin(), history.end(), *color) == history.end()) {
      history.push_back(*color);
    }
  }
  return history;
}

std::vector<ColorValue> WithNewestColor(std::vector<ColorValue> history,
                                        ColorValue color) {
  std::erase(history, color);
  history.insert(history.begin(), color);
  if (history.size() > size_t(kColorHistorySize))
    history.resize(kColorHistorySize);
  return history;
}

bool RememberColor(SettingsFile& settings, ColorValue color) {
  return settings.Batch([color](SettingsBatch& batch) {
    const std::vector<ColorValue> history =
        WithNewestColor(ReadColorHistory(batch), color);
    for (int i = 0; i < kColorHistorySize; ++i) {
      const ColorValue value = history[std::min<size_t>(i, history.size() - 1)];
      batch.WriteInteger(kSection, KeyOf(i), ColorValueToInt(value));
    }
  });
}

}  // namespace mirokata
