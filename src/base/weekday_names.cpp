#include "base/weekday_names.h"

#include <QLocale>

namespace mirokata {
namespace {

WeekdayNames NamesOf(const QLocale& locale,
                     QLocale::FormatType format = QLocale::ShortFormat) {
  WeekdayNames names;
  for (int weekday = 1; weekday <= 7; ++weekday) {
    // Qt counts from Monday = 1 to Sunday = 7.
    const int qt_day = weekday == 1 ? 7 : weekday - 1;
    names[weekday - 1] = locale.dayName(qt_day, format).toStdString();
  }
  return names;
}

}  // namespace

const WeekdayNames& JapaneseShortWeekdayNames() {
  static const WeekdayNames kNames = {"日", "月", "火", "水", "木", "金", "土"};
  return kNames;
}

const WeekdayNames& JapaneseLongWeekdayNames() {
  static const WeekdayNames kNames = {"日曜日", "月曜日", "火曜日", "水曜日",
                                      "木曜日", "金曜日", "土曜日"};
  return kNames;
}

const WeekdayNames& CLongWeekdayNames() {
  static const WeekdayNames kNames = {"Sunday",    "Monday",   "Tuesday",
                                      "Wednesday", "Thursday", "Friday",
                                      "Saturday"};
  return kNames;
}

const WeekdayNames& CShortWeekdayNames() {
  static const WeekdayNames kNames = {"Sun", "Mon", "Tue", "Wed",
                                      "Thu", "Fri", "Sat"};
  return kNames;
}

WeekdayNames LocaleShortWeekdayNames() { return NamesOf(QLocale::system()); }

WeekdayNames LocaleShortWeekdayNames(const std::string& locale_name) {
  return NamesOf(QLocale(QString::fromStdString(locale_name)));
}

}  // namespace mirokata

namespace mirokata {

WeekdayNames LocaleLongWeekdayNames() {
  return NamesOf(QLocale::system(), QLocale::LongFormat);
}

WeekdayNames LocaleLongWeekdayNames(const std::string& locale_name) {
  return NamesOf(QLocale(QString::fromStdString(locale_name)),
                 QLocale::LongFormat);
}

}  // namespace mirokata
