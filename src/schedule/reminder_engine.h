// The main tick: once a second it does the day-change work, fires
// elapsed-time and minute popups into one popup window per tick, counts
// down to the next mail check and refreshes the main window's displays.
//
// Everything outside goes through interfaces (clock, uptime, sound, shell,
// other programs' windows, the popup window, the displays), so tests drive
// the engine with a fake clock. A tick never waits and never re-enters;
// the popup window it fills is held by that tick alone and owns itself
// once finished.
#ifndef MIROKATA_SCHEDULE_REMINDER_ENGINE_H_
#define MIROKATA_SCHEDULE_REMINDER_ENGINE_H_

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "base/command.h"
#include "base/services.h"
#include "base/tick_events.h"
#include "base/weekday_names.h"
#include "calendar/gregorian.h"
#include "calendar/moon.h"
#include "platform/clock.h"
#include "schedule/entry_files.h"
#include "schedule/popup_actions.h"

namespace mirokata {

class EntryFolder;

// How the engine finishes a popup window (the options are those of the
// entry that fired last in the tick).
struct PopupFinish {
  std::string title;  // "yy/mm/dd (ddd) hh:nn"
  int weekday = 1;    // of the reminder time, 1 = Sunday: the title colour
  std::string entry_path;
  PopupOptions options;
  PopupPicture picture;
  // -1 stays until closed; 0 never shows and closes at the first second.
  int close_countdown = -1;
};

// One popup window being filled by a tick. Destroying it before Finish()
// discards the window; after Finish() the window lives on by itself.
class PopupSink {
 public:
  virtual ~PopupSink() = default;
  // Records `path` as the entry shown and appends its text as new lines.
  virtual void AppendEntry(const std::string& path,
                           const std::string& text) = 0;
  // The window holds the one-day popup at `path`: its delete commands
  // delete exactly that entry.
  virtual void EnableDelete(const std::string& path) = 0;
  // Picture, text read-only, countdown; shows the window unless the close
  // countdown is 0.
  virtual void Finish(const PopupFinish& finish) = 0;
};

class PopupFactory {
 public:
  virtual ~PopupFactory() = default;
  virtual std::unique_ptr<PopupSink> CreatePopup() = 0;
};

// What the main window shows after each tick.
struct MainDisplayState {
  std::string date_text;    // "yyyy/mm/dd(aaa)"
  std::string clock_text;   // "hh:mm:ss"
  std::string memory_text;  // "%dK(%d%%)", empty without figures
  int hour = 0;             // the analog clock's hands: white before noon
  bool analog_clock = false;
  bool stay_on_top = false;
  // The moon panel, filled only while it is shown.
  bool moon = false;
  long double moon_instant = 0;  // Universal Time date-time value
  MoonPanelTexts moon_texts;
};

class ReminderDisplays {
 public:
  virtual ~ReminderDisplays() = default;
  virtual void Show(const MainDisplayState& state) = 0;
  // The moon figures are computed only while the panel can be seen.
  virtual bool MoonPanelShown() const = 0;
};

// What the engine drives besides the platform's services.
struct ReminderParts {
  PopupFactory* popups = nullptr;
  ReminderDisplays* displays = nullptr;
  // Listeners of the first tick, a new day, each minute and each finished
  // popup window; null: nobody listens.
  const TickEvents* events = nullptr;
  // Windows the tick opens (birthday greeting, automatic diary, mail
  // check) are commands run from the event loop; null: none opens.
  CommandHost* commands = nullptr;
  // The memory panel's text for the Form/Resource setting.
  std::function<std::string(int resource_setting)> memory_text;
  // The ddd of the popup title: the desktop locale's short weekday names.
  WeekdayNames short_weekday_names = CShortWeekdayNames();
};

class ReminderEngine {
 public:
  // Settings, clock and uptime are required; sound, shell and desktop may
  // be null.
  ReminderEngine(const Services& services, ReminderParts parts);
  ~ReminderEngine();
  ReminderEngine(const ReminderEngine&) = delete;
  ReminderEngine& operator=(const ReminderEngine&) = delete;

  // Where the ticks show the date, clock, memory and moon (set before the
  // first tick when the displays are made after the engine).
  void SetDisplays(ReminderDisplays* displays,
                   std::function<std::string(int)> memory_text) {
    parts_.displays = displays;
    parts_.memory_text = std::move(memory_text);
  }

  // The timer handler. A call while a tick runs returns at once.
  void Tick();

  // MailCountdown: minutes left until the next automatic mail check.
  int mail_countdown() const { return mail_countdown_; }
  void SetMailCountdown(int minutes) { mail_countdown_ = minutes; }

  // LastMailMinute starts at the minute of the program's start.
  void SetLastMailMinute(int minute) { last_mail_minute_ = minute; }

  // Writes the last minute processed (Calendar/LastMinute), from which the
  // next start catches up. Called at a clean exit; the tick also writes it
  // once an hour.
  void SaveLastMinute();

  // For tests and the displays.
  bool first_tick_done() const { return first_tick_done_; }
  // The last minute of the reminder time processed, in minutes since 1970
  // UTC; empty before the first tick.
  std::optional<std::int64_t> last_minute() const { return last_minute_; }
  const std::string& last_uptime_name() const { return last_uptime_name_; }

 private:
  struct TickState;
  void RunTick();
  void DayChange(TickState& tick);
  void StartMinutes(TickState& tick, std::int64_t minute);
  void MinutePopups(TickState& tick, std::int64_t minute);
  void PopupHit(TickState& tick, const std::string& name, bool one_day,
                const std::string& heading = {});
  void FinishPopup(TickState& tick);
  void MailCountdownStep(TickState& tick);
  void RefreshDisplays(TickState& tick);
  EntryFolder& FolderFor(const std::string& directory);

  void Run(Command command);

  Services services_;
  ReminderParts parts_;
  bool in_tick_ = false;
  bool first_tick_done_ = false;
  // Minutes since 1970 UTC of the reminder time: the last one processed,
  // the one the previous tick saw, and the last one written down.
  std::optional<std::int64_t> last_minute_;
  std::int64_t previous_tick_minute_ = 0;
  std::int64_t saved_minute_ = 0;
  std::string last_uptime_name_;
  std::optional<CivilDate> last_day_date_;
  int mail_countdown_ = 0;
  int last_mail_minute_ = -1;
  std::unique_ptr<EntryFolder> folder_;
};

// The date-time value (days since 30 December 1899) of a Universal Time
// instant given in Unix milliseconds.
long double DateTimeOfUnixMs(std::int64_t unix_ms);

// Catching up: how far back a tick looks for minutes it has not seen
// (Calendar/LateMinutes; 0 looks at the current minute only), and the most
// it is allowed to.
inline constexpr int kDefaultLateMinutes = 720;
inline constexpr int kMaxLateMinutes = 7 * 24 * 60;

// Day count of a date as the settings keep it (30 December 1899 is 0).
int32_t SettingsDayCount(const CivilDate& date);

}  // namespace mirokata

#endif  // MIROKATA_SCHEDULE_REMINDER_ENGINE_H_
