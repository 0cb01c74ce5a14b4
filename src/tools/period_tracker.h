// The period tracker's data and arithmetic: the recorded start dates kept in
// their own private file ("Period.ini" in the privacy folder's "Period"),
// the cycle averages, the two prediction lists and the detail of one
// predicted cycle. Everything here works on the month grid's calendar.
#ifndef MIROKATA_TOOLS_PERIOD_TRACKER_H_
#define MIROKATA_TOOLS_PERIOD_TRACKER_H_

#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "calendar/date_fields.h"
#include "calendar/gregorian.h"

namespace mirokata {

class SettingsFile;
class SettingsReader;

inline constexpr char kPeriodFolderName[] = "Period";
inline constexpr char kPeriodFileName[] = "Period.ini";
inline constexpr char kPeriodSection[] = "Period";
inline constexpr char kCommentSection[] = "Comment";
inline constexpr char kEmptyPeriodStatus[] = "良い子が授かりますように..";

inline constexpr int kDefaultCycle = 28;
// Cycle lengths hold 1 to 999 days: the fields are three characters wide,
// and dates centuries apart must not make a cycle of millions of days.
inline constexpr int kMaxCycle = 999;
inline constexpr int kDefaultPeriodDays = 5;
inline constexpr int kMaxPeriodDays = 20;
inline constexpr int kPredictionCount = 100;

// "2024/05/01 (水)".
std::string PeriodDayText(const CivilDate& date);

// The recorded dates of section `Period`: at most `Count` of the keys "0"
// onward (never more than the section holds), dates only, "2024/5/1"
// normalised, sorted and without repeats.
std::vector<CivilDate> ReadPeriodDates(const SettingsReader& reader);
// `Days`: 1 to 20, else 5.
int ReadPeriodDays(const SettingsReader& reader);

// A typed cycle length: a whole number from 1 to 999; anything else is 28
// (and more than 999 is 999).
int CycleFromText(std::string_view text);

struct Cycles {
  int common = kDefaultCycle;       // K
  int alternate_a = kDefaultCycle;  // A, the next cycle's side
  int alternate_b = kDefaultCycle;  // B
  bool operator==(const Cycles&) const = default;
};

// K, A and B from the recorded dates. The odd-numbered intervals and the
// even-numbered ones are averaged apart; A is the average of the group the
// next cycle belongs to. `previous_a` stays A when that group is empty but
// the other is not (two dates).
Cycles ComputeCycles(const std::vector<CivilDate>& dates, int previous_a);

// Up to 100 predicted starts after `last`, ending at 9999/12/31.
std::vector<CivilDate> CommonPredictions(const CivilDate& last, int cycle);
// The same with cycles of A and B days in turn, A first.
std::vector<CivilDate> AlternatingPredictions(const CivilDate& last, int a,
                                              int b);

struct CycleDetail {
  std::string caption;             // "S～E"
  std::vector<std::string> lines;  // one a day, S to E
};
// The days of predicted cycle `index` (from the previous prediction, or
// from `last` for the first, to the prediction itself), each with its
// reference class, for a period of `period_days` days. Empty when there is
// no such prediction.
CycleDetail DetailOf(const std::vector<CivilDate>& predictions, size_t index,
                     const CivilDate& last, int period_days);

// The status text for the recorded date `index`: "28日周期 (2024/04/03～
// 2024/05/01)" when an earlier date exists, empty for the first, and the
// empty-list text when there is no such date.
std::string CycleStatus(const std::vector<CivilDate>& dates, size_t index);

// The tracker file and the dates and lengths it yields. Every change is on
// disk when the call returns (the file is written atomically with mode
// 0600); a file that is there but cannot be read is never written.
class PeriodTracker {
 public:
  // settings: the program's settings file, which may still hold older
  // dates. folder: the "Period" folder (it must exist to save anything).
  PeriodTracker(SettingsFile& settings, const std::string& folder);
  ~PeriodTracker();

  SettingsFile& file() { return *file_; }

  // Reads the file, taking over dates left in the settings file, then
  // saves the dates and computes the lengths, as after a change. False when
  // the dates could not be saved (they are still shown).
  bool Load();

  const std::vector<CivilDate>& dates() const { return dates_; }
  int period_days() const { return period_days_; }
  const Cycles& cycles() const { return cycles_; }
  const std::vector<CivilDate>& common() const { return common_; }
  const std::vector<CivilDate>& alternating() const { return alternating_; }

  // False (and nothing written) when the date is recorded already.
  bool Add(const CivilDate& date);
  // False when the date is not recorded.
  bool Remove(const CivilDate& date);
  // Writes `Days` (1-20).
  void SetPeriodDays(int days);
  // Typed lengths (each through CycleFromText); A and B are written to
  // `RAvg`/`LAvg` when they change; the predictions are made again.
  void SetCycles(std::string_view common, std::string_view a,
                 std::string_view b);

  std::string Comment(const CivilDate& date);
  bool SetComment(const CivilDate& date, std::string_view text);

  // The last save's outcome.
  bool saved() const { return saved_; }

 private:
  // Rewrites the date keys with `Count`, and `RAvg`/`LAvg`, in one batch.
  bool SaveDates();
  void Predict();

  SettingsFile& settings_;
  std::unique_ptr<SettingsFile> file_;
  std::vector<CivilDate> dates_;
  int period_days_ = kDefaultPeriodDays;
  Cycles cycles_;
  std::vector<CivilDate> common_;
  std::vector<CivilDate> alternating_;
  bool saved_ = true;
};

// Moves dates that older versions kept in the settings file's own `Period`
// section into the tracker file: they are merged with the file's dates,
// the file's `Days`, `RAvg`, `LAvg` and comments stay, and the settings
// section is erased only once the file is written. True when there was
// nothing to move or the move is complete.
bool MigrateOlderPeriodDates(SettingsFile& settings, SettingsFile& tracker);

}  // namespace mirokata

#endif  // MIROKATA_TOOLS_PERIOD_TRACKER_H_
