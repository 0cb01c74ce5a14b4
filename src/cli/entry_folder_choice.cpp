#include "cli/entry_folder_choice.h"

#include <cstdio>

#include "base/folders.h"
#include "base/settings_file.h"

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

}  // namespace mirokata::cli
