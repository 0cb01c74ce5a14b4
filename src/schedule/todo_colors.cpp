#include "schedule/todo_colors.h"

#include "base/settings_file.h"

namespace mirokata {

DayInfoColors ReadDayInfoColors(SettingsFile& settings, int days_from_today) {
  constexpr char kToDoSection[] = "To_do";
  Settings s = settings.Open();
  const char* text_key = "FutureColor";
  const char* back_key = "FutureBackColor";
  DayInfoColors c{kClNavy, kClMenu};
  if (days_from_today < 0) {
    text_key = "PastColor";
    back_key = "PastBackColor";
    c = {kClWhite, kClActiveCaption};
  } else if (days_from_today == 0) {
    text_key = "TodayColor";
    back_key = "TodayBackColor";
    c = {kClWhite, kClBtnShadow};
  }
  c.text = ColorValueFromInt(
      s.ReadInteger(kToDoSection, text_key, ColorValueToInt(c.text)));
  c.back = ColorValueFromInt(
      s.ReadInteger(kToDoSection, back_key, ColorValueToInt(c.back)));
  return c;
}

}  // namespace mirokata
