// mirokata-cal agenda: the entries that apply on each day and the popups
// that fire at each of its minutes, by the same rule the reminders use.
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "base/program_folder.h"
#include "base/settings_file.h"
#include "cli/command.h"
#include "cli/days_command.h"
#include "cli/entry_folder_choice.h"
#include "schedule/entry_files.h"
#include "schedule/entry_match.h"

namespace mirokata::cli {

namespace {

const char kAgendaUsage[] =
    "usage: mirokata-cal [--home DIR] agenda [--data DIR] FROM [TO]\n";

const char kAgendaHelp[] =
    "usage: mirokata-cal [--home DIR] agenda [--data DIR] FROM [TO]\n"
    "\n"
    "For each day from FROM to TO (both YYYY-MM-DD; TO defaults to FROM)\n"
    "prints, tab-separated:\n"
    "\n"
    "  date  -     NAME   each schedule and birthday entry of the day\n"
    "  date  hhnn  NAME   each popup entry firing at that minute, 0000-2359\n"
    "\n"
    "in the order the reminders take them (no advance minutes applied).\n"
    "The data folder is the one chosen in the settings file mirokata.ini\n"
    "(--home DIR, else $MIROKATA_HOME, else the program's own folder) unless\n"
    "--data DIR names another; holidays come from the same settings file.\n"
    "Nothing is written.\n";

int Usage(const std::string& message) {
  std::fprintf(stderr, "mirokata-cal agenda: %s\n", message.c_str());
  std::fputs(kAgendaUsage, stderr);
  return kExitUsage;
}

bool Flush(std::string* out) {
  const bool ok =
      std::fwrite(out->data(), 1, out->size(), stdout) == out->size();
  out->clear();
  return ok;
}

int RunAgenda(const CommandLine& line) {
  std::optional<std::string> data;
  std::vector<std::string> dates;
  const std::vector<std::string>& args = line.args;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    if (a == "--help" || a == "-h") {
      std::fputs(kAgendaHelp, stdout);
      return kExitOk;
    }
    if (const OptionRead r = ReadOptionValue(args, &i, "--data", &data);
        r != OptionRead::kOther) {
      if (r == OptionRead::kMissing) return Usage("--data needs a folder");
      continue;
    }
    if (a.starts_with("-") && a.size() > 1) {
      return Usage("unknown option \"" + a + "\"");
    } else {
      dates.push_back(a);
    }
  }
  if (data && data->empty()) return Usage("--data needs a folder");
  if (dates.empty() || dates.size() > 2) {
    return Usage("expected FROM and an optional TO date");
  }
  std::optional<CivilDate> from = ParseIsoDate(dates[0]);
  if (!from) return Usage("not a date: \"" + dates[0] + "\"");
  std::optional<CivilDate> to =
      dates.size() > 1 ? ParseIsoDate(dates[1]) : from;
  if (!to) return Usage("not a date: \"" + dates[1] + "\"");
  const int32_t first = DayNumber(*from);
  const int32_t last = DayNumber(*to);
  if (last < first) return Usage("TO is before FROM");

  SettingsFile settings(SettingsFilePath(line.program_folder));
  data = ChosenDataFolder(settings, data, "agenda");
  if (!data) return kExitFailure;
  EntryFolder folder(*data);
  // Nothing writes during the run: one look serves every day and minute.
  const FolderPin pin(&folder);
  EntryMatcher matcher(&folder, CachedHolidayTest(settings));

  std::string out;
  out.reserve(1 << 16);
  for (int32_t n = first; n <= last; ++n) {
    const CivilDate date = CivilDateOf(n);
    char day[16];
    std::snprintf(day, sizeof day, "%04d-%02d-%02d\t", date.year, date.month,
                  date.day);
    for (const std::string& name : matcher.ScheduleNamesForDay(date)) {
      out.append(day).append("-\t").append(name).push_back('\n');
    }
    for (int hour = 0; hour < 24; ++hour) {
      for (int minute = 0; minute < 60; ++minute) {
        const int hhnn = hour * 100 + minute;
        for (const std::string& name :
             matcher.PopupNamesForMinute(date, hhnn)) {
          char time[8];
          std::snprintf(time, sizeof time, "%04d\t", hhnn);
          out.append(day).append(time).append(name).push_back('\n');
        }
      }
    }
    if (out.size() >= (1 << 16) - 256 && !Flush(&out)) return kExitFailure;
  }
  if (!Flush(&out) || std::fflush(stdout) != 0) return kExitFailure;
  return kExitOk;
}

}  // namespace

const Command kAgendaCommand = {
    "agenda",
    "agenda [--data DIR] FROM [TO]   schedules per day, popups per minute",
    kAgendaHelp,
    RunAgenda,
};

}  // namespace mirokata::cli
