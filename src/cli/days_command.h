// mirokata-cal days: one line per civil day with its holidays, lunisolar
// date, rokuyo and moon age.
#ifndef MIROKATA_CLI_DAYS_COMMAND_H_
#define MIROKATA_CLI_DAYS_COMMAND_H_

#include <optional>
#include <string>
#include <string_view>

#include "calendar/gregorian.h"

namespace mirokata {

class SettingsFile;

namespace cli {

// A date written YYYY-MM-DD that exists; nullopt otherwise.
std::optional<CivilDate> ParseIsoDate(std::string_view text);

// The line of one day, without its line break.
std::string DayLine(SettingsFile& settings, const CivilDate& date);

}  // namespace cli
}  // namespace mirokata

#endif  // MIROKATA_CLI_DAYS_COMMAND_H_
