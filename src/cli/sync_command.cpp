// mirokata-cal sync: one sync of the data folder with the CalDAV
// collection of the settings, for cron and systemd timers.
#include <QCoreApplication>
#include <QDate>
#include <QDateTime>
#include <QNetworkAccessManager>
#include <cstdio>
#include <optional>
#include <string>

#include "base/program_folder.h"
#include "base/settings_file.h"
#include "cli/command.h"
#include "cli/entry_folder_choice.h"
#include "schedule/ical_export.h"
#include "sync/sync_run.h"
#include "sync/sync_settings.h"

namespace mirokata::cli {

namespace {

const char kSyncUsage[] =
    "usage: mirokata-cal [--home DIR] sync [--data DIR] [--dry-run]\n";

const char kSyncHelp[] =
    "usage: mirokata-cal [--home DIR] sync [--data DIR] [--dry-run]\n"
    "\n"
    "Syncs the entries of the data folder both ways with the CalDAV\n"
    "calendar of the settings (section CalDAV: Url, User) and prints what\n"
    "went each way. The password comes from the environment variable\n"
    "MIROKATA_CALDAV_PASSWORD. --dry-run only says what would be done.\n"
    "Events no entry can hold stay on the server untouched and are listed\n"
    "on standard error; so are the files that keep the server's side of a\n"
    "conflict.\n"
    "Exit status: 0 in step, 1 conflicts or events left on the server,\n"
    "2 errors.\n";

constexpr int kExitError = 2;

int Usage(const std::string& message) {
  std::fprintf(stderr, "mirokata-cal sync: %s\n", message.c_str());
  std::fputs(kSyncUsage, stderr);
  return kExitUsage;
}

int RunSync(const CommandLine& line) {
  std::optional<std::string> data;
  bool dry_run = false;
  for (size_t i = 0; i < line.args.size(); ++i) {
    const std::string& a = line.args[i];
    switch (ReadOptionValue(line.args, &i, "data", &data)) {
      case OptionRead::kRead:
        continue;
      case OptionRead::kMissing:
        return Usage("--data needs a folder");
      case OptionRead::kOther:
        break;
    }
    if (a == "--help" || a == "-h") {
      std::fputs(kSyncHelp, stdout);
      return kExitOk;
    }
    if (a == "--dry-run") {
      dry_run = true;
      continue;
    }
    return Usage("unexpected \"" + a + "\"");
  }
  if (data && data->empty()) return Usage("--data needs a folder");

  SettingsFile settings(SettingsFilePath(line.program_folder));
  data = ChosenDataFolder(settings, data, "sync");
  if (!data) return kExitError;
  const SyncSettings chosen = ReadSyncSettings(settings.Open());
  if (chosen.url.empty()) {
    std::fputs("mirokata-cal sync: no CalDAV address (CalDAV/Url) is set\n",
               stderr);
    return kExitError;
  }

  int argc = 1;
  char name[] = "mirokata-cal";
  char* argv[] = {name, nullptr};
  QCoreApplication app(argc, argv);
  QNetworkAccessManager network;
  SyncJob job;
  job.url = QUrl(QString::fromStdString(chosen.url));
  job.credentials.user = QString::fromStdString(chosen.user);
  job.credentials.password =
      QString::fromLocal8Bit(qgetenv("MIROKATA_CALDAV_PASSWORD"));
  job.data_folder = *data;
  job.settings = &settings;
  job.is_holiday = CachedHolidayTest(settings);
  const QDate today = QDate::currentDate();
  job.export_options = IcalExportOptionsFor(
      settings, *data, {today.year(), today.month(), today.day()},
      QDateTime::currentSecsSinceEpoch());
  job.dry_run = dry_run;
  SyncRun run(std::move(job), &network);
  int status = kExitError;
  run.Start([&](const SyncResult& result) {
    for (const std::string& s : result.skipped) {
      std::fprintf(stderr, "left on the server: %s\n", s.c_str());
    }
    for (const std::string& f : result.conflict_files) {
      std::fprintf(stderr, "conflict, the server's copy: %s\n", f.c_str());
    }
    if (!result.ok) {
      std::fprintf(stderr, "mirokata-cal sync: %s\n",
                   result.error.toUtf8().constData());
      status = kExitError;
    } else {
      std::printf("%s%s\n", dry_run ? "(dry run) " : "",
                  SyncResultText(result).toUtf8().constData());
      status = result.conflicts > 0 || !result.skipped.empty() ? kExitFailure
                                                               : kExitOk;
    }
    QCoreApplication::exit(status);
  });
  app.exec();
  return status;
}

}  // namespace

const Command kSyncCommand = {
    "sync",
    "sync [--data DIR] [--dry-run]                 two-way CalDAV sync",
    kSyncHelp,
    RunSync,
};

}  // namespace mirokata::cli
