#include "mainwin/month_grid_recolour.h"

#include <cstdio>

#include "base/settings_file.h"
#include "calendar/holidays.h"
#include "mainwin/month_grid.h"
#include "schedule/day_info.h"
#include "schedule/entry_files.h"
#include "schedule/entry_name.h"

namespace mirokata {

RecolourSwitches ReadRecolourSwitches(SettingsFile& settings) {
  Settings s = settings.Open();
  RecolourSwitches w;
  w.all = s.ReadBool(kCalendarExSection, "CanCol_All", false);
  w.born = s.ReadBool(kCalendarExSection, "CanCol_Born", false);
  w.todo = s.ReadBool(kCalendarExSection, "CanCol_todo", false);
  w.day = s.ReadBool(kCalendarExSection, "CanCol_Day", false);
  w.month = s.ReadBool(kCalendarExSection, "CanCol_Mon", false);
  w.week = s.ReadBool(kCalendarExSection, "CanCol_Week", false);
  return w;
}

EntryFolder* DataFolderEntries::Current() {
  // Calendar/Directory; "." means no data folder has been chosen.
  const std::string text = settings_.ReadString("Calendar", "Directory", ".");
  if (text.empty() || text == ".") {
    folder_.reset();
    return nullptr;
  }
  if (!folder_ || folder_->folder() != text) {
    folder_ = std::make_unique<EntryFolder>(text);
  }
  return folder_.get();
}

bool IsMarkedBy(const std::string& name, const RecolourSwitches& switches) {
  switch (ClassifyEntryName(name)) {
    case EntryClass::kBirthday:
      return !switches.born;
    case EntryClass::kWeeklySchedule:
      return !switches.week;
    case EntryClass::kSchedule:
      break;
    default:
      return false;
  }
  const size_t dot = name.find('.');
  const std::string_view ext = dot == std::string::npos
                                   ? std::string_view()
                                   : std::string_view(name).substr(dot + 1);
  if (name.compare(0, 4, "____") == 0 && ext != "__") return !switches.todo;
  if (name.compare(4, 2, "__") == 0) return !switches.month;
  return !switches.day;
}

std::vector<std::string> SpecialDaysOfMonth(SettingsFile& settings,
                                            EntryFolder* folder, int year,
                                            int month,
                                            const RecolourSwitches& switches) {
  std::vector<std::string> items;
  if (folder == nullptr || switches.all) return items;
  const FolderPin pin(folder);
  EntryMatcher matcher(folder, CachedHolidayTest(settings));
  const int length = DaysInMonth(year, month);
  std::vector<std::string> born;
  const std::shared_ptr<const FolderSnapshot> snapshot = folder->Snapshot();
  for (int d = 1; d <= length; ++d) {
    if (!IsValidDate(year, month, d)) continue;
    bool marked = false;
    if (!switches.born) {
      // Any file of the day's pattern counts, whatever its year reads.
      born.clear();
      snapshot->Match(BirthdaysOfDayPattern(month, d), &born);
      marked = !born.empty();
    }
    if (!marked) {
      for (const std::string& name :
           matcher.ScheduleNamesForDay({year, month, d})) {
        if (IsMarkedBy(name, switches)) {
          marked = true;
          break;
        }
      }
    }
    if (marked)
      items.push_back(std::to_string(month) + "," + std::to_string(d));
  }
  return items;
}

void RecolourMonth(SettingsFile& settings, EntryFolder* folder,
                   MonthGridModel& grid) {
  const int year = grid.year();
  const int month = grid.month();
  grid.SetLists(HolidaysOfMonth(settings, year, month),
                SpecialDaysOfMonth(settings, folder, year, month,
                                   ReadRecolourSwitches(settings)));
}

}  // namespace mirokata
