// What the commands that read entries share: their options, the data
// folder they work on (and, through schedule/day_info.h, the cached holiday
// test).
#ifndef MIROKATA_CLI_ENTRY_FOLDER_CHOICE_H_
#define MIROKATA_CLI_ENTRY_FOLDER_CHOICE_H_

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "schedule/day_info.h"
#include "schedule/entry_match.h"

namespace mirokata {

class SettingsFile;

namespace cli {

// "--NAME VALUE" or "--NAME=VALUE" at args[*i]: kRead with *value set (and
// *i on the last word read), kMissing when VALUE does not follow, kOther for
// any other argument.
enum class OptionRead { kOther, kRead, kMissing };
OptionRead ReadOptionValue(const std::vector<std::string>& args, size_t* i,
                           std::string_view name,
                           std::optional<std::string>* value);

// The folder given with --data, else the one chosen in the settings file;
// nullopt (with a message on standard error naming `command`) when none
// has been chosen yet.
std::optional<std::string> ChosenDataFolder(
    SettingsFile& settings, const std::optional<std::string>& data_option,
    const char* command);

}  // namespace cli
}  // namespace mirokata

#endif  // MIROKATA_CLI_ENTRY_FOLDER_CHOICE_H_
