#include "schedule/popup_actions.h"

#include <sys/stat.h>

#include <cctype>
#include <charconv>
#include <cstdio>

#include "base/date_pattern.h"
#include "platform/desktop/desktop_windows.h"
#include "platform/shell.h"

namespace mirokata {
namespace {

bool IsFile(const std::string& path) {
  struct stat st {};
  return !path.empty() && ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

bool IsPictureFile(const std::string& path) {
  if (path.size() < 4) return false;
  std::string ext = path.substr(path.size() - 4);
  for (char& c : ext)
    c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return (ext == ".BMP" || ext == ".JPG") && IsFile(path);
}

}  // namespace

void RunProgramActions(const PopupOptions& options, Shell* shell,
                       DesktopWindows* desktop) {
  if (desktop != nullptr && !options.execlose.empty()) {
    CloseWindowContaining(*desktop, options.execlose);
  }
  if (shell != nullptr && !options.execute.empty()) {
    const CommandText command = SplitCommandText(options.execute);
    if (!command.file.empty()) {
      shell->Open(command.file, command.parameters, FolderOfPath(command.file));
    }
  }
}

std::string PopupTitleText(const LocalTime& t, const WeekdayNames& names) {
  return FormatDatePattern("yy/mm/dd (ddd) hh:nn", t, names);
}

unsigned PopupTitleColor(int weekday) {
  if (weekday == 1) return 0x0000FFu;  // red
  if (weekday == 7) return 0xFF00FFu;  // fuchsia
  return 0xFF0000u;                    // blue
}

std::optional<std::string> ChooseSoundFile(const PopupOptions& options,
                                           const std::string& global_file) {
  if (options.file && IsFile(*options.file)) return *options.file;
  if (IsFile(global_file)) return global_file;
  return std::nullopt;
}

PopupPicture ChoosePopupPicture(const PopupOptions& options,
                                const std::string& global_bitmap,
                                bool global_stretch) {
  PopupPicture picture;
  if (options.bitmap && IsFile(*options.bitmap)) {
    picture.stretch = !options.stretch;
    if (IsPictureFile(*options.bitmap)) {
      picture.path = *options.bitmap;
      picture.wallpaper = options.wallpaper;
    }
    return picture;
  }
  picture.stretch = !global_stretch;
  if (IsPictureFile(global_bitmap)) picture.path = global_bitmap;
  return picture;
}

SnoozeMinutes ParseSnoozeMinutes(std::string_view box_text) {
  std::string_view s = box_text;
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t'))
    s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t'))
    s.remove_suffix(1);
  if (!s.empty() && s.front() == '+') s.remove_prefix(1);
  long long value = 0;
  const char* end = s.data() + s.size();
  const auto [ptr, ec] = std::from_chars(s.data(), end, value);
  SnoozeMinutes result;
  if (s.empty() || ptr != end) {
    result.text.assign(1, '0');  // not = "0": GCC 12 -Wrestrict false alarm
    return result;
  }
  if (ec == std::errc::result_out_of_range) {
    value = (!s.empty() && s.front() == '-') ? 0 : kMaxSnoozeMinutes;
  }
  if (value < 0) value = 0;
  if (value > kMaxSnoozeMinutes) value = kMaxSnoozeMinutes;
  result.minutes = static_cast<int>(value);
  // The box shows what the window will really wait.
  result.text = std::to_string(result.minutes);
  return result;
}

void PopupTimer::Snooze(int minutes) {
  if (minutes < 0) minutes = 0;
  if (minutes > kMaxSnoozeMinutes) minutes = kMaxSnoozeMinutes;
  snooze_seconds_ = minutes * 60;
  // A window put to snooze comes back; it no longer closes by itself.
  close_countdown_ = -1;
}

PopupTimer::Step PopupTimer::OnTimer() {
  if (close_countdown_ == -1) {
    if (snooze_seconds_ == -1) return Step::kEnableSnooze;
    const bool back = snooze_seconds_ == 0;
    --snooze_seconds_;
    return back ? Step::kComeBack : Step::kNone;
  }
  if (close_countdown_ == 0) return Step::kClose;
  --close_countdown_;
  return Step::kCountedDown;
}

std::string CaptionForCountdown(int seconds) {
  return std::string(kPopupCaption) + " - " + std::to_string(seconds) +
         "秒後に自動的に閉じます。";
}

std::string DeleteQuestion(std::string_view title, std::string_view text) {
  std::string q = "【";
  q += title;
  q += "】\r\n";
  q += text;
  q += "\r\n削除しますか？";
  return q;
}

}  // namespace mirokata
