#include "cli/days_command.h"

#include <cstdio>
#include <string>

#include "base/program_folder.h"
#include "base/settings_file.h"
#include "calendar/holidays.h"
#include "calendar/lunisolar.h"
#include "calendar/moon.h"
#include "cli/command.h"

namespace mirokata::cli {

namespace {

const char kDaysHelp[] =
    "usage: mirokata-cal [--home DIR] days FROM [TO]\n"
    "\n"
    "Prints one line per day from FROM to TO (both YYYY-MM-DD; TO defaults\n"
    "to FROM), tab-separated, UTF-8:\n"
    "\n"
    "  date  weekday(1=Sunday..7=Saturday)  holidays  lunar-month  leap(0/1)\n"
    "  lunar-day  rokuyo  moon-age(days at 12:00 JST)\n"
    "\n"
    "Holidays come from the settings file mirokata.ini in the program folder\n"
    "(--home DIR, else $MIROKATA_HOME, else the program's own folder); the\n"
    "file is only read, and without one the default holidays apply.\n";

int Usage(const char* message) {
  std::fprintf(stderr, "mirokata-cal days: %s\n", message);
  std::fputs("usage: mirokata-cal [--home DIR] days FROM [TO]\n", stderr);
  return kExitUsage;
}

int RunDays(const CommandLine& line) {
  const std::vector<std::string>& args = line.args;
  for (const std::string& a : args) {
    if (a == "--help" || a == "-h") {
      std::fputs(kDaysHelp, stdout);
      return kExitOk;
    }
  }
  if (args.empty() || args.size() > 2) {
    return Usage("expected FROM and an optional TO date");
  }
  std::optional<CivilDate> from = ParseIsoDate(args[0]);
  if (!from) {
    std::fprintf(stderr, "mirokata-cal days: not a date: \"%s\"\n",
                 args[0].c_str());
    return kExitUsage;
  }
  std::optional<CivilDate> to = args.size() > 1 ? ParseIsoDate(args[1]) : from;
  if (!to) {
    std::fprintf(stderr, "mirokata-cal days: not a date: \"%s\"\n",
                 args[1].c_str());
    return kExitUsage;
  }
  const int32_t first = DayNumber(*from);
  const int32_t last = DayNumber(*to);
  if (last < first) return Usage("TO is before FROM");

  SettingsFile settings(SettingsFilePath(line.program_folder));
  std::string out;
  out.reserve(1 << 16);
  for (int32_t n = first; n <= last; ++n) {
    out += DayLine(settings, CivilDateOf(n));
    out += '\n';
    if (out.size() >= (1 << 16) - 256) {
      if (std::fwrite(out.data(), 1, out.size(), stdout) != out.size()) {
        return kExitFailure;
      }
      out.clear();
    }
  }
  if (std::fwrite(out.data(), 1, out.size(), stdout) != out.size() ||
      std::fflush(stdout) != 0) {
    return kExitFailure;
  }
  return kExitOk;
}

}  // namespace

std::optional<CivilDate> ParseIsoDate(std::string_view text) {
  if (text.size() != 10 || text[4] != '-' || text[7] != '-') {
    return std::nullopt;
  }
  int fields[3] = {0, 0, 0};
  const struct { size_t pos, len; } parts[3] = {{0, 4}, {5, 2}, {8, 2}};
  for (int i = 0; i < 3; ++i) {
    for (size_t k = 0; k < parts[i].len; ++k) {
      const char c = text[parts[i].pos + k];
      if (c < '0' || c > '9') return std::nullopt;
      fields[i] = fields[i] * 10 + (c - '0');
    }
  }
  if (fields[0] < 1 || !IsValidDate(fields[0], fields[1], fields[2])) {
    return std::nullopt;
  }
  return CivilDate{fields[0], fields[1], fields[2]};
}

std::string DayLine(SettingsFile& settings, const CivilDate& date) {
  const int32_t n = DayNumber(date);
  char head[32];
  std::snprintf(head, sizeof head, "%04d-%02d-%02d\t%d\t", date.year,
                date.month, date.day, WeekdayOf(n));
  std::string line = head;
  for (const std::string& name : HolidayNamesOf(settings, date)) line += name;

  const LunarDate lunar =
      LunarDateOf(LocalDayCount(date.year, date.month, date.day));
  // 12:00 Japan Standard Time is 03:00 Universal Time.
  const long double age = MoonAge(DateTimeOfDayNumber(n) + 0.125L);
  char tail[64];
  std::snprintf(tail, sizeof tail, "\t%d\t%d\t%d\t", lunar.month,
                lunar.leap ? 1 : 0, lunar.day);
  line += tail;
  line += RokuyoOf(lunar);
  std::snprintf(tail, sizeof tail, "\t%.2Lf", age);
  line += tail;
  return line;
}

const Command kDaysCommand = {
    "days",
    "days FROM [TO]   holidays, lunisolar date, rokuyo and moon age per day",
    kDaysHelp,
    RunDays,
};

}  // namespace mirokata::cli
