// What a reminder does besides showing its text: the program actions, the
// title of its window, the picture and sound it uses, and the rules of the
// popup window's one-second timer and snooze box. No widgets here.
#ifndef MIROKATA_SCHEDULE_POPUP_ACTIONS_H_
#define MIROKATA_SCHEDULE_POPUP_ACTIONS_H_

#include <array>
#include <optional>
#include <string>
#include <string_view>

#include "base/weekday_names.h"
#include "platform/clock.h"
#include "schedule/entry_files.h"

namespace mirokata {

class DesktopWindows;
class Shell;

// Runs the entry's program actions in their order: Execlose (the first
// other program's window whose title contains the text is asked to close;
// never one of ours), then Execute (split at the first "?" into program and
// parameters, started with an argument list in the program's folder, or
// opened as a document or address; never through a shell). Either may be
// null, which skips its action.
void RunProgramActions(const PopupOptions& options, Shell* shell,
                       DesktopWindows* desktop);

// The window title of a reminder: "yy/mm/dd (ddd) hh:nn", ddd taken from
// `names`.
std::string PopupTitleText(const LocalTime& time, const WeekdayNames& names);

// Colour of the title panel's text by weekday (1 = Sunday ... 7 = Saturday):
// 0x00BBGGRR, Sunday red, Saturday fuchsia, other days blue.
unsigned PopupTitleColor(int weekday);

// A file the option names, when it exists; otherwise the global one when
// that exists; otherwise nothing.
std::optional<std::string> ChooseSoundFile(const PopupOptions& options,
                                           const std::string& global_file);

// Which picture a finished popup shows.
struct PopupPicture {
  std::string path;        // empty: the built-in picture
  bool stretch = true;     // scale to the picture area
  bool wallpaper = false;  // also make it the desktop wallpaper
};
// The entry's own picture when its bitmap names an existing file (its
// Stretch switch turns stretching off, its Wallpaper switch asks for the
// wallpaper); otherwise the global picture when it exists, stretched unless
// the global Stretch is on, never as wallpaper. Only ".BMP" and ".JPG"
// files (any letter case) count as pictures.
PopupPicture ChoosePopupPicture(const PopupOptions& options,
                                const std::string& global_bitmap,
                                bool global_stretch);

// The snooze box's text read as minutes: clamped into 0..1440; a text that
// is no number gives 0. `text` is what the box and Form/Snooze then hold.
struct SnoozeMinutes {
  int minutes = 0;
  std::string text;
};
SnoozeMinutes ParseSnoozeMinutes(std::string_view box_text);
inline constexpr int kMaxSnoozeMinutes = 1440;

// The popup window's one-second timer: CloseCountdown (-1: closes only by
// hand) and SnoozeSeconds (-1: not snoozing).
class PopupTimer {
 public:
  enum class Step {
    kNone,          // keep running
    kEnableSnooze,  // stop the timer, enable the snooze controls
    kComeBack,      // stop the timer, play the global sound, show again
    kCountedDown,   // caption: CaptionForCountdown(close_countdown())
    kClose,         // close the window
  };

  explicit PopupTimer(int close_countdown = -1)
      : close_countdown_(close_countdown < -1 ? -1 : close_countdown) {}

  void SetCloseCountdown(int seconds) {
    close_countdown_ = seconds < -1 ? -1 : seconds;
  }
  // Starts a snooze of so many minutes (clamped as the snooze box is).
  void Snooze(int minutes);

  // One timer event.
  Step OnTimer();

  int close_countdown() const { return close_countdown_; }
  int snooze_seconds() const { return snooze_seconds_; }

 private:
  int close_countdown_ = -1;
  int snooze_seconds_ = -1;
};

// "Popup Window - " + seconds + "秒後に自動的に閉じます。".
std::string CaptionForCountdown(int seconds);
inline constexpr char kPopupCaption[] = "Popup Window";

// The delete question: "【" + title + "】" CR LF text CR LF "削除しますか？".
std::string DeleteQuestion(std::string_view title, std::string_view text);

}  // namespace mirokata

#endif  // MIROKATA_SCHEDULE_POPUP_ACTIONS_H_
