#include "schedule/reminder_engine.h"

#include <sys/stat.h>

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <utility>
#include <vector>

#include "base/date_pattern.h"
#include "base/settings_file.h"
#include "calendar/holidays.h"
#include "platform/sound.h"
#include "platform/uptime.h"
#include "schedule/entry_match.h"
#include "schedule/entry_name.h"
#include "schedule/entry_text.h"

namespace mirokata {

// What one tick knows while it runs; the popup window lives here and
// nowhere else, so a later tick can never reach or replace it.
struct ReminderEngine::TickState {
  explicit TickState(Settings session) : settings(std::move(session)) {}
  Settings settings;
  LocalTime now;
  LocalTime reminder_time;
  std::string elapsed_name;
  std::string fired_entry_path;
  // The texts appended to the popup window, for the reminder mail.
  std::vector<std::string> popup_texts;
  // The earliest minute caught up from before this tick's own, if any.
  std::optional<LocalTime> earliest_missed;
  std::unique_ptr<PopupSink> popup;
};

namespace {

std::string HhNn(const LocalTime& t) {
  char text[8];
  std::snprintf(text, sizeof text, "%02d%02d", t.hour % 100, t.minute % 100);
  return text;
}

bool IsFile(const std::string& path) {
  struct stat st {};
  return !path.empty() && ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

// Minutes since 1970 UTC.
std::int64_t MinuteOf(const LocalTime& t) {
  return t.unix_seconds >= 0 ? t.unix_seconds / 60
                             : -((59 - t.unix_seconds) / 60);
}

int LateMinutes(const SettingsReader& s) {
  return std::clamp(
      s.ReadInteger("Calendar", "LateMinutes", kDefaultLateMinutes), 0,
      kMaxLateMinutes);
}

// A clock set back by more than this was corrected, not nudged: the run
// goes on from the new time instead of waiting a day or more to get back
// to minutes it has processed.
constexpr std::int64_t kSetBackLimit = 24 * 60;

class TickGuard {
 public:
  explicit TickGuard(bool& flag) : flag_(flag) { flag_ = true; }
  ~TickGuard() { flag_ = false; }

 private:
  bool& flag_;
};

}  // namespace

long double DateTimeOfUnixMs(std::int64_t unix_ms) {
  // 1 January 1970 is day 25569 of the date-time values.
  return static_cast<long double>(unix_ms) / 86400000.0L + 25569.0L;
}

int32_t SettingsDayCount(const CivilDate& date) {
  static const int32_t kEpoch = DayNumber(1899, 12, 30);
  return DayNumber(date) - kEpoch;
}

ReminderEngine::ReminderEngine(const Services& services, ReminderParts parts)
    : services_(services), parts_(std::move(parts)) {}

void ReminderEngine::Run(Command command) {
  if (parts_.commands) parts_.commands->RunCommandLater(command);
}

ReminderEngine::~ReminderEngine() = default;

EntryFolder& ReminderEngine::FolderFor(const std::string& directory) {
  if (!folder_ || folder_->folder() != directory) {
    folder_ = std::make_unique<EntryFolder>(directory);
  }
  return *folder_;
}

void ReminderEngine::Tick() {
  // Nothing below waits, but a hook might still pump events; a tick that
  // arrives meanwhile is dropped rather than run inside this one.
  if (in_tick_) return;
  TickGuard guard(in_tick_);
  RunTick();
}

void ReminderEngine::RunTick() {
  // 1. One look at the settings for the whole tick.
  TickState tick(services_.settings->Open());
  Settings& s = tick.settings;
  tick.now = services_.clock->Now();
  const int before = s.ReadInteger("Calendar", "before", 0);
  tick.reminder_time =
      services_.clock->At(tick.now.unix_seconds + std::int64_t(before) * 60);
  const std::string directory = s.ReadString("Calendar", "Directory", ".");
  EntryFolder& folder = FolderFor(directory);
  const FolderPin pin(&folder);
  tick.elapsed_name = ElapsedNameForUptime(services_.uptime->Seconds());

  // 2. The start-up ten-second step never fires, nor does the start-up
  // minute unless minutes are caught up from the last run.
  const std::int64_t minute = MinuteOf(tick.reminder_time);
  if (!first_tick_done_) {
    StartMinutes(tick, minute);
    last_uptime_name_ = tick.elapsed_name;
    if (last_mail_minute_ < 0) last_mail_minute_ = tick.now.minute;
    if (parts_.events) parts_.events->FirstTick();
    first_tick_done_ = true;
  }

  // 3. A new day (by the clock, not by the advanced reminder time).
  const CivilDate today{tick.now.year, tick.now.month, tick.now.day};
  if (!last_day_date_ || !(*last_day_date_ == today)) DayChange(tick);

  // 4, 5. Elapsed-time popups, once per ten-second step.
  tick.fired_entry_path.clear();
  if (tick.elapsed_name != last_uptime_name_) {
    last_uptime_name_ = tick.elapsed_name;
    if (!tick.elapsed_name.empty() && folder.Exists(tick.elapsed_name)) {
      PopupHit(tick, tick.elapsed_name, false);
    }
  }

  // 6. Minute popups, once per minute of the reminder time.
  if (minute != previous_tick_minute_) {
    previous_tick_minute_ = minute;
    if (parts_.events) parts_.events->Minute();
    if (s.ReadBool("Nikki", "Auto", false)) {
      char diary[16];
      std::snprintf(diary, sizeof diary, "%.2d%.2d",
                    s.ReadInteger("Nikki", "Auto_H", 0),
                    s.ReadInteger("Nikki", "Auto_M", 0));
      if (HhNn(tick.now) == diary) {
        Run(Command::kDiaryList);
        const std::string sound = s.ReadString("Calendar", "file", "");
        if (services_.sound && IsFile(sound)) services_.sound->PlayFile(sound);
      }
    }
  }
  MinutePopups(tick, minute);

  // 7. The window of this tick.
  if (!tick.fired_entry_path.empty()) FinishPopup(tick);

  // 8, 9.
  MailCountdownStep(tick);
  RefreshDisplays(tick);
}

void ReminderEngine::StartMinutes(TickState& tick, std::int64_t minute) {
  last_minute_ = minute;
  previous_tick_minute_ = minute;
  saved_minute_ = minute;
  if (LateMinutes(tick.settings) == 0) return;
  // The last run wrote down where it stopped: the minutes since, this one
  // included, were never looked at. A first start knows of none.
  const std::string text =
      tick.settings.ReadString("Calendar", "LastMinute", "");
  std::int64_t last = 0;
  const char* end = text.data() + text.size();
  const auto [ptr, ec] = std::from_chars(text.data(), end, last);
  if (text.empty() || ec != std::errc() || ptr != end) return;
  if (last < minute) last_minute_ = last;
}

void ReminderEngine::MinutePopups(TickState& tick, std::int64_t minute) {
  const std::int64_t last = *last_minute_;
  if (minute <= last) {
    // The clock went back: what this run has processed does not fire
    // again.
    if (last - minute > kSetBackLimit) last_minute_ = minute;
    return;
  }
  // Every minute since the last one processed, so that minutes slept
  // through or stalled over still fire, but none further back than the
  // setting allows.
  const std::int64_t from =
      std::max(last + 1, minute - LateMinutes(tick.settings));
  last_minute_ = minute;

  struct Hit {
    LocalTime time;
    std::string name;
    bool one_day;
  };
  std::vector<Hit> hits;
  SettingsFile* settings = services_.settings;
  EntryMatcher matcher(folder_.get(), [settings](int y, int m, int d) {
    return IsPublicHoliday(*settings, y, m, d);
  });
  for (std::int64_t m = from; m <= minute; ++m) {
    const LocalTime t =
        m == minute ? tick.reminder_time : services_.clock->At(m * 60);
    const CivilDate date{t.year, t.month, t.day};
    for (const std::string& name :
         matcher.PopupNamesForMinute(date, t.hour * 100 + t.minute)) {
      const std::optional<EntryFields> fields = ParseEntryName(name);
      hits.push_back(
          {t, name, fields && fields->kind == EntryKind::kOneDayPopup});
    }
  }
  if (!hits.empty() && MinuteOf(hits.front().time) != minute) {
    tick.earliest_missed = hits.front().time;
  }
  // Texts of several minutes in one window each say which minute they are.
  const bool several = !hits.empty() && MinuteOf(hits.front().time) !=
                                            MinuteOf(hits.back().time);
  for (const Hit& hit : hits) {
    PopupHit(
        tick, hit.name, hit.one_day,
        several
            ? "【" + PopupTitleText(hit.time, parts_.short_weekday_names) + "】"
            : std::string());
  }

  // Written down once an hour, so that even a run that ends without a
  // clean exit leaves a place to catch up from.
  if (minute - saved_minute_ >= 60) {
    saved_minute_ = minute;
    tick.settings.WriteString("Calendar", "LastMinute", std::to_string(minute));
  }
}

void ReminderEngine::SaveLastMinute() {
  if (!last_minute_) return;
  saved_minute_ = *last_minute_;
  services_.settings->WriteString("Calendar", "LastMinute",
                                  std::to_string(*last_minute_));
}

void ReminderEngine::DayChange(TickState& tick) {
  Settings& s = tick.settings;
  const CivilDate today{tick.now.year, tick.now.month, tick.now.day};
  if (parts_.events) parts_.events->DateChanged();
  last_day_date_ = today;

  if (!s.ReadBool("Form", "BirthPop", true)) return;
  const int32_t today_count = SettingsDayCount(today);
  std::string day = s.ReadString("Pop_Born", "Day", "0");
  if (SettingsFile::ParseInteger(day, 0) > today_count) {
    // The clock went back: forget the later greeting so that today and the
    // days after it are greeted again.
    day = std::to_string(today_count - 1);
    s.WriteString("Pop_Born", "Day", day);
  }
  if (day == std::to_string(today_count)) return;
  if (folder_->List(BirthdaysOfDayPattern(today.month, today.day)).empty()) {
    return;
  }
  Run(Command::kBirthdayGreeting);
  const std::string sound = s.ReadString("Pop_Born", "file", "");
  if (services_.sound && IsFile(sound)) services_.sound->PlayFile(sound);
  s.WriteString("Pop_Born", "Day", std::to_string(today_count));
}

void ReminderEngine::PopupHit(TickState& tick, const std::string& name,
                              bool one_day, const std::string& heading) {
  if (!parts_.popups) return;
  EntryFolder& folder = *folder_;
  if (tick.fired_entry_path.empty() || !tick.popup) {
    tick.popup = parts_.popups->CreatePopup();
    if (!tick.popup) return;
    tick.popup_texts.clear();
  }
  const std::string path = folder.FullPath(name);
  tick.fired_entry_path = path;
  std::string text;
  // Gone since the existence test: nothing to show, no message.
  if (ReadEntryTextForDisplay(folder, name, &text) != ReadResult::kOk) return;
  tick.popup_texts.push_back(heading.empty() ? text : heading + "\n" + text);
  tick.popup->AppendEntry(path, tick.popup_texts.back());
  if (one_day) tick.popup->EnableDelete(path);
  const PopupOptions options = ReadPopupOptions(*services_.settings, path);
  RunProgramActions(options, services_.shell, services_.desktop);
}

void ReminderEngine::FinishPopup(TickState& tick) {
  if (!tick.popup) return;
  Settings& s = tick.settings;
  PopupFinish finish;
  finish.entry_path = tick.fired_entry_path;
  const bool elapsed =
      !tick.elapsed_name.empty() &&
      finish.entry_path == folder_->FullPath(tick.elapsed_name);
  // A window that caught up minutes shows the earliest of them.
  const LocalTime& reminder =
      tick.earliest_missed ? *tick.earliest_missed : tick.reminder_time;
  const LocalTime& shown =
      elapsed && !tick.earliest_missed ? tick.now : reminder;
  finish.title = PopupTitleText(shown, parts_.short_weekday_names);
  // The colour is the reminder day's, even where the title shows now.
  finish.weekday = reminder.weekday;
  finish.options = ReadPopupOptions(*services_.settings, finish.entry_path);
  finish.picture =
      ChoosePopupPicture(finish.options, s.ReadString("Calendar", "bitmap", ""),
                         s.ReadBool("Calendar", "Stretch", false));
  finish.close_countdown = finish.options.closetime;

  if (parts_.events) {
    PopupFinished finished;
    finished.entry_path = finish.entry_path;
    finished.title = finish.title;
    finished.send_mail =
        finish.options.smtp && s.ReadBool("smtp", "smtp_check", false);
    if (finished.send_mail) finished.texts = tick.popup_texts;
    parts_.events->PopupWindowFinished(finished);
  }
  if (services_.sound) {
    if (std::optional<std::string> sound = ChooseSoundFile(
            finish.options, s.ReadString("Calendar", "file", ""))) {
      services_.sound->PlayFile(*sound);
    }
  }
  // From here the window owns itself.
  std::unique_ptr<PopupSink> popup = std::move(tick.popup);
  popup->Finish(finish);
}

void ReminderEngine::MailCountdownStep(TickState& tick) {
  if (!tick.settings.ReadBool("pop", "check", false)) return;
  if (tick.now.minute == last_mail_minute_) return;
  last_mail_minute_ = tick.now.minute;
  --mail_countdown_;
  if (mail_countdown_ < 1) Run(Command::kMailCheck);
}

void ReminderEngine::RefreshDisplays(TickState& tick) {
  if (!parts_.displays) return;
  Settings& s = tick.settings;
  const LocalTime& now = tick.now;
  MainDisplayState state;
  state.date_text = FormatDatePattern("yyyy/mm/dd(aaa)", now);
  state.clock_text = FormatDatePattern("hh:nn:ss", now);
  state.hour = now.hour;
  state.analog_clock = s.ReadBool("Form", "AnalogClock", false);
  state.stay_on_top = s.ReadBool("ToolWindow", "StayOnTop", false);
  const int resource = s.ReadInteger("Form", "Resource", 0);
  if (parts_.memory_text) state.memory_text = parts_.memory_text(resource);
  if (parts_.displays->MoonPanelShown()) {
    // Local time plus the zone's bias at this instant is Universal Time,
    // which the Unix time already is.
    state.moon = true;
    state.moon_instant =
        DateTimeOfUnixMs(now.unix_seconds * 1000 + now.millisecond);
    state.moon_texts = MoonPanelTextsOf(state.moon_instant);
  }
  parts_.displays->Show(state);
}

}  // namespace mirokata
