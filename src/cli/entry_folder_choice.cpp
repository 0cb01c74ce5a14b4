#include "cli/entry_folder_choice.h"

#include <cstdio>

#include "base/folders.h"
#include "base/settings_file.h"

namespace mirokata::cli {

OptionRead ReadOptionValue(const std::vector<std::string>& args, size_t* i,
                           std::string_view name,
                           std::optional<std::string>* value) {
  const std::string& a = args[*i];
  if (a == name) {
    if (*i + 1 >= args.size()) return OptionRead::kMissing;
    *value = args[++*i];
    return OptionRead::kRead;
  }
  if (a.size() > name.size() && a.starts_with(name) && a[name.size()] == '=') {
    *value = a.substr(name.size() + 1);
    return OptionRead::kRead;
  }
  return OptionRead::kOther;
}

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
