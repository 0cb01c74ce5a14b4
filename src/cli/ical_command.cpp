// mirokata-cal ical: the entries as iCalendar events, and events of an
// iCalendar file as entries.
#include <QByteArray>
#include <QDate>
#include <QDateTime>
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "base/program_folder.h"
#include "base/settings_file.h"
#include "cli/command.h"
#include "cli/days_command.h"
#include "cli/entry_folder_choice.h"
#include "platform/file_io.h"
#include "schedule/entry_files.h"
#include "schedule/ical_export.h"
#include "schedule/ical_import.h"

namespace mirokata::cli {

namespace {

const char kIcalUsage[] =
    "usage: mirokata-cal [--home DIR] ical [--data DIR] [FROM TO]\n"
    "       mirokata-cal [--home DIR] ical --import FILE [--data DIR] "
    "[--dry-run]\n";

const char kIcalHelp[] =
    "usage: mirokata-cal [--home DIR] ical [--data DIR] [FROM TO]\n"
    "       mirokata-cal [--home DIR] ical --import FILE [--data DIR] "
    "[--dry-run]\n"
    "\n"
    "Without --import, writes every entry of the data folder to standard\n"
    "output as one iCalendar (RFC 5545) event: one-day entries on their day,\n"
    "repeating ones with an RRULE, birthdays every year, popups at their\n"
    "time in the system's time zone with an alarm the advance minutes\n"
    "ahead. Entries that move off holidays are given as their days from\n"
    "FROM to TO (YYYY-MM-DD; default a year back to two years ahead).\n"
    "Elapsed-time popups have no date and are left out.\n"
    "\n"
    "With --import FILE (\"-\" for standard input), makes an entry of each\n"
    "event one entry can hold: one day, every year, every month on a day,\n"
    "every week on a weekday, weekdays of numbered or last weeks. An event\n"
    "at a time with an alarm becomes a popup, any other a schedule. Other\n"
    "events, and events whose entry exists already (it is never replaced),\n"
    "are listed on standard error. --dry-run writes nothing.\n"
    "Exit status: 0 all imported, 1 some skipped, 2 bad input.\n";

// An .ics file larger than this is refused, not read into memory.

int Usage(const std::string& message) {
  std::fprintf(stderr, "mirokata-cal ical: %s\n", message.c_str());
  std::fputs(kIcalUsage, stderr);
  return kExitUsage;
}

int Export(const std::string& data, SettingsFile& settings,
           const std::optional<CivilDate>& from,
           const std::optional<CivilDate>& to) {
  EntryFolder folder(data);
  const QDate today = QDate::currentDate();
  IcalExportOptions options = IcalExportOptionsFor(
      settings, data, {today.year(), today.month(), today.day()},
      QDateTime::currentSecsSinceEpoch());
  if (from) options.from = *from;
  if (to) options.to = *to;
  std::vector<std::string> left_out;
  const std::string text =
      ExportIcal(folder, CachedHolidayTest(settings), options, &left_out);
  for (const std::string& line : left_out) {
    std::fprintf(stderr, "left out: %s\n", line.c_str());
  }
  if (std::fwrite(text.data(), 1, text.size(), stdout) != text.size() ||
      std::fflush(stdout) != 0) {
    return kExitFailure;
  }
  return kExitOk;
}

int Import(const std::string& data, const std::string& file, bool dry_run) {
  std::string text;
  ReadResult read;
  if (file == "-") {
    char buffer[1 << 16];
    size_t n;
    read = ReadResult::kOk;
    while ((n = std::fread(buffer, 1, sizeof buffer, stdin)) > 0) {
      text.append(buffer, n);
      if (text.size() > kMaxIcalFileBytes) break;
    }
  } else {
    read = ReadFileHead(file, kMaxIcalFileBytes + 1, &text);
  }
  if (read != ReadResult::kOk) {
    std::fprintf(stderr, "mirokata-cal ical: cannot read %s\n", file.c_str());
    return kExitUsage;
  }
  if (text.size() > kMaxIcalFileBytes) {
    std::fprintf(stderr, "mirokata-cal ical: %s is larger than %zu MiB\n",
                 file.c_str(), kMaxIcalFileBytes >> 20);
    return kExitUsage;
  }
  EntryFolder folder(data);
  const IcalImportResult result =
      ImportIcal(text, folder, SystemTimeZoneName(), dry_run);
  if (!result.readable) {
    std::fprintf(stderr, "mirokata-cal ical: %s: %s\n", file.c_str(),
                 result.error.c_str());
    return kExitUsage;
  }
  for (const std::string& name : result.imported) {
    std::printf("%s%s\n", dry_run ? "would write " : "", name.c_str());
  }
  for (const std::string& problem : result.problems) {
    std::fprintf(stderr, "skipped: %s\n", problem.c_str());
  }
  std::fflush(stdout);
  return result.problems.empty() ? kExitOk : kExitFailure;
}

int RunIcal(const CommandLine& line) {
  std::optional<std::string> data;
  std::optional<std::string> import;
  bool dry_run = false;
  std::vector<std::string> dates;
  const std::vector<std::string>& args = line.args;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    if (a == "--help" || a == "-h") {
      std::fputs(kIcalHelp, stdout);
      return kExitOk;
    }
    if (const OptionRead r = ReadOptionValue(args, &i, "--data", &data);
        r != OptionRead::kOther) {
      if (r == OptionRead::kMissing) return Usage("--data needs a folder");
      continue;
    }
    if (const OptionRead r = ReadOptionValue(args, &i, "--import", &import);
        r != OptionRead::kOther) {
      if (r == OptionRead::kMissing) return Usage("--import needs a file");
      continue;
    }
    if (a == "--dry-run") {
      dry_run = true;
    } else if (a.starts_with("-") && a.size() > 1) {
      return Usage("unknown option \"" + a + "\"");
    } else {
      dates.push_back(a);
    }
  }
  if (data && data->empty()) return Usage("--data needs a folder");
  if (import && import->empty()) return Usage("--import needs a file");
  if (import && !dates.empty()) return Usage("--import takes no dates");
  if (!import && dry_run) return Usage("--dry-run goes with --import");
  if (!import && dates.size() != 0 && dates.size() != 2) {
    return Usage("expected FROM and TO, or no dates");
  }
  std::optional<CivilDate> from, to;
  if (dates.size() == 2) {
    std::optional<CivilDate> f = ParseIsoDate(dates[0]);
    if (!f) return Usage("not a date: \"" + dates[0] + "\"");
    std::optional<CivilDate> t = ParseIsoDate(dates[1]);
    if (!t) return Usage("not a date: \"" + dates[1] + "\"");
    if (DayNumber(*t) < DayNumber(*f)) return Usage("TO is before FROM");
    from = f;
    to = t;
  }

  SettingsFile settings(SettingsFilePath(line.program_folder));
  data = ChosenDataFolder(settings, data, "ical");
  if (!data) return kExitFailure;
  if (import) return Import(*data, *import, dry_run);
  return Export(*data, settings, from, to);
}

}  // namespace

const Command kIcalCommand = {
    "ical",
    "ical [--data DIR] [FROM TO] | --import FILE [--dry-run]   iCalendar",
    kIcalHelp,
    RunIcal,
};

}  // namespace mirokata::cli
