#include "cli/entry_folder_choice.h"

#include <cstdio>
#include <memory>
#include <unordered_map>

#include "base/folders.h"
#include "base/settings_file.h"
#include "calendar/holidays.h"

namespace mirokata::cli {

std::optional<std::string> ChosenDataFolder(
    SettingsFile& settings, const std::optional<std::string>& data_option,
    const char* command) {
  if (data_option) return data_option;
  std::string data = DataFolder(settings.Open());
  if (IsNoDataFolder(data)) {
    std::fprintf(stderr,
                 "mirokata-cal %s: no data folder has been chosen yet; name "
                 "one with --data DIR\n",
                 command);
    return std::nullopt;
  }
  return data;
}

HolidayTest CachedHolidayTest(SettingsFile& settings) {
  auto days = std::make_shared<std::unordered_map<int32_t, bool>>();
  return [days, &settings](int y, int m, int d) {
    auto [it, added] = days->try_emplace(DayNumber(y, m, d), false);
    if (added) it->second = IsPublicHoliday(settings, y, m, d);
    return it->second;
  };
}

}  // namespace mirokata::cli
