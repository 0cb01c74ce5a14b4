// Starting the program at login, as every desktop does it: a desktop entry
// in the user's autostart folder ($XDG_CONFIG_HOME/autostart, else
// ~/.config/autostart).
#ifndef MIROKATA_BASE_AUTOSTART_H_
#define MIROKATA_BASE_AUTOSTART_H_

#include <string>

namespace mirokata {

// Where the entry lives; empty when neither XDG_CONFIG_HOME nor HOME is set.
std::string AutostartEntryPath();

// The entry that starts `program` (an absolute path), quoted for Exec.
std::string AutostartEntryText(const std::string& program);

// Whether the entry is there and not switched off (Hidden=true).
bool AutostartEnabled();

// Writes the entry (0644, atomically; the folders are made as needed) or
// removes it. False with *error when that fails; removing an entry that is
// not there succeeds.
bool SetAutostart(bool enabled, const std::string& program,
                  std::string* error = nullptr);

}  // namespace mirokata

#endif  // MIROKATA_BASE_AUTOSTART_H_
