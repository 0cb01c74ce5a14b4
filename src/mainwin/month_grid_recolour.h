// The main window's month re-colouring: the grid's holiday list from the
// holiday rules and its special-day list from the entry files, with the
// CanCol_* switches that turn kinds of marks off.
#ifndef MIROKATA_MAINWIN_MONTH_GRID_RECOLOUR_H_
#define MIROKATA_MAINWIN_MONTH_GRID_RECOLOUR_H_

#include <memory>
#include <string>
#include <vector>

#include "schedule/entry_match.h"

namespace mirokata {

class MonthGridModel;
class SettingsFile;

// Section CalendarEx; true switches that kind of mark off.
struct RecolourSwitches {
  bool all = false;    // CanCol_All
  bool born = false;   // CanCol_Born
  bool todo = false;   // CanCol_todo: one-day schedules
  bool day = false;    // CanCol_Day: yearly schedules
  bool month = false;  // CanCol_Mon: monthly schedules
  bool week = false;   // CanCol_Week: weekly schedules
};
RecolourSwitches ReadRecolourSwitches(SettingsFile& settings);

// The entry folder of the configured data folder (Calendar/Directory),
// kept while the setting stays the same so its index is reused.
class DataFolderEntries {
 public:
  explicit DataFolderEntries(SettingsFile& settings) : settings_(settings) {}
  // Null when no data folder has been chosen.
  EntryFolder* Current();

 private:
  SettingsFile& settings_;
  std::unique_ptr<EntryFolder> folder_;
};

// The kinds of entry a schedule name stands for, as the switches count
// them; false for names that no switch covers.
bool IsMarkedBy(const std::string& name, const RecolourSwitches& switches);

// Items of special days ("m,d") of a month, in day order: one item for each
// day with at least one counted entry (more items for the same day would
// colour nothing more). folder may be null (no data folder).
std::vector<std::string> SpecialDaysOfMonth(SettingsFile& settings,
                                            EntryFolder* folder, int year,
                                            int month,
                                            const RecolourSwitches& switches);

// RecolourMonth: rebuilds both lists of the grid for its shown month.
void RecolourMonth(SettingsFile& settings, EntryFolder* folder,
                   MonthGridModel& grid);

}  // namespace mirokata

#endif  // MIROKATA_MAINWIN_MONTH_GRID_RECOLOUR_H_
