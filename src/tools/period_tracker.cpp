#include "tools/period_tracker.h"

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <string>
#include <tuple>
#include <utility>

#include "base/date_pattern.h"
#include "base/settings_file.h"
#include "calendar/date_fields.h"

namespace mirokata {
namespace {

constexpr char kCountKey[] = "Count";
constexpr char kDaysKey[] = "Days";
constexpr char kAKey[] = "RAvg";
constexpr char kBKey[] = "LAvg";
constexpr CivilDate kLastDate{9999, 12, 31};

bool IsDigits(std::string_view text) {
  return !text.empty() && std::all_of(text.begin(), text.end(), [](char c) {
    return c >= '0' && c <= '9';
  });
}

bool SameKey(std::string_view a, std::string_view b) {
  return a.size() == b.size() &&
         std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           auto lower = [](char c) {
             return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c;
           };
           return lower(x) == lower(y);
         });
}

// Keys the date list owns: "Count" and the numbered dates.
bool IsDateListKey(std::string_view key) {
  return IsDigits(key) || SameKey(key, kCountKey);
}

std::optional<int> ParseNumber(std::string_view text) {
  int value = 0;
  const char* end = text.data() + text.size();
  auto [p, ec] = std::from_chars(text.data(), end, value);
  if (ec != std::errc() || p != end) return std::nullopt;
  return value;
}

int CappedAverage(int64_t sum, int64_t count) {
  return int(std::clamp<int64_t>(sum / count, 1, kMaxCycle));
}

void SortUnique(std::vector<CivilDate>& dates) {
  auto less = [](const CivilDate& a, const CivilDate& b) {
    return std::tie(a.year, a.month, a.day) < std::tie(b.year, b.month, b.day);
  };
  std::sort(dates.begin(), dates.end(), less);
  dates.erase(std::unique(dates.begin(), dates.end()), dates.end());
}

// Cycle starts every `step(i)` days after `last`, i = 1 .. 100, up to the
// calendar's end.
template <typename Offset>
std::vector<CivilDate> Predictions(const CivilDate& last, Offset offset) {
  std::vector<CivilDate> out;
  const int64_t base = DayNumber(last);
  const int64_t end = DayNumber(kLastDate);
  for (int i = 1; i <= kPredictionCount; ++i) {
    const int64_t day = base + offset(i);
    if (day > end) break;
    out.push_back(CivilDateOf(int32_t(day)));
  }
  return out;
}

// The section's entries other than the date list, in file order.
SettingsBatch::Entries KeptEntries(const SettingsReader& reader) {
  SettingsBatch::Entries kept;
  for (const std::string& key : reader.ListKeys(kPeriodSection)) {
    if (IsDateListKey(key)) continue;
    kept.emplace_back(key, reader.ReadString(kPeriodSection, key, ""));
  }
  return kept;
}

bool HasEntry(const SettingsBatch::Entries& entries, std::string_view key) {
  return std::any_of(entries.begin(), entries.end(),
                     [&](const auto& e) { return SameKey(e.first, key); });
}

void SetEntry(SettingsBatch::Entries& entries, std::string_view key,
              std::string value) {
  for (auto& e : entries) {
    if (SameKey(e.first, key)) {
      e.second = std::move(value);
      return;
    }
  }
  entries.emplace_back(std::string(key), std::move(value));
}

void AppendDateList(SettingsBatch::Entries& entries,
                    const std::vector<CivilDate>& dates) {
  entries.emplace_back(kCountKey, std::to_string(dates.size()));
  for (size_t i = 0; i < dates.size(); ++i) {
    entries.emplace_back(std::to_string(i), SlashDateText(dates[i]));
  }
}

}  // namespace

std::string PeriodDayText(const CivilDate& date) {
  return FormatDatePattern("yyyy/mm/dd (aaa)", FieldsOfDate(date));
}

std::vector<CivilDate> ReadPeriodDates(const SettingsReader& reader) {
  const size_t keys = reader.ListKeys(kPeriodSection).size();
  // A Count larger than the section (a damaged file) must not loop for
  // ever; a section without one gives what its keys hold.
  size_t count = keys;
  if (reader.HasKey(kPeriodSection, kCountKey)) {
    count = size_t(std::clamp(reader.ReadInteger(kPeriodSection, kCountKey, 0),
                              0, int(std::min<size_t>(keys, 1 << 30))));
  }
  std::vector<CivilDate> dates;
  dates.reserve(count);
  for (size_t i = 0; i < count; ++i) {
    const std::optional<CivilDate> date = ParseSlashDate(
        reader.ReadString(kPeriodSection, std::to_string(i), "-end-"));
    if (date) dates.push_back(*date);
  }
  SortUnique(dates);
  return dates;
}

int ReadPeriodDays(const SettingsReader& reader) {
  const int days =
      reader.ReadInteger(kPeriodSection, kDaysKey, kDefaultPeriodDays);
  return days >= 1 && days <= kMaxPeriodDays ? days : kDefaultPeriodDays;
}

int CycleFromText(std::string_view text) {
  while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
  while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
  if (!IsDigits(text)) return kDefaultCycle;
  const std::string_view digits =
      text.substr(std::min(text.find_first_not_of('0'), text.size()));
  if (digits.empty()) return kDefaultCycle;  // 0
  if (digits.size() > 3) return kMaxCycle;
  return *ParseNumber(digits);
}

Cycles ComputeCycles(const std::vector<CivilDate>& dates, int previous_a) {
  Cycles cycles;
  cycles.alternate_a = previous_a;
  const size_t n = dates.size();
  int64_t sum = 0, sum_p = 0, sum_q = 0, count_p = 0, count_q = 0;
  for (size_t i = 1; i < n; ++i) {
    const int64_t interval = DayNumber(dates[i]) - DayNumber(dates[i - 1]);
    sum += interval;
    // I1, I3, ... are group P; I2, I4, ... group Q.
    if (i % 2 == 1) {
      sum_p += interval;
      ++count_p;
    } else {
      sum_q += interval;
      ++count_q;
    }
  }
  cycles.common = n >= 2 ? CappedAverage(sum, int64_t(n - 1)) : kDefaultCycle;
  const bool next_in_p = n % 2 == 1;
  if (next_in_p) {
    if (count_p > 0) cycles.alternate_a = CappedAverage(sum_p, count_p);
    if (count_q > 0) cycles.alternate_b = CappedAverage(sum_q, count_q);
  } else {
    if (count_q > 0) cycles.alternate_a = CappedAverage(sum_q, count_q);
    if (count_p > 0) cycles.alternate_b = CappedAverage(sum_p, count_p);
  }
  if (count_p == 0) cycles.alternate_a = kDefaultCycle;
  if (count_q == 0) cycles.alternate_b = kDefaultCycle;
  cycles.alternate_a = std::clamp(cycles.alternate_a, 1, kMaxCycle);
  return cycles;
}

std::vector<CivilDate> CommonPredictions(const CivilDate& last, int cycle) {
  cycle = std::clamp(cycle, 1, kMaxCycle);
  return Predictions(last, [cycle](int i) { return int64_t(i) * cycle; });
}

std::vector<CivilDate> AlternatingPredictions(const CivilDate& last, int a,
                                              int b) {
  a = std::clamp(a, 1, kMaxCycle);
  b = std::clamp(b, 1, kMaxCycle);
  return Predictions(last, [a, b](int i) {
    const int64_t half_up = (i + 1) / 2, half_down = i / 2;
    return i % 2 == 1 ? half_up * a + half_down * b : half_down * (a + b);
  });
}

CycleDetail DetailOf(const std::vector<CivilDate>& predictions, size_t index,
                     const CivilDate& last, int period_days) {
  CycleDetail detail;
  if (index >= predictions.size()) return detail;
  const CivilDate& end_date = predictions[index];
  const CivilDate& start_date = index == 0 ? last : predictions[index - 1];
  const int64_t s = DayNumber(start_date);
  const int64_t e = DayNumber(end_date);
  const int64_t d = std::clamp(period_days, 1, kMaxPeriodDays);
  detail.caption = PeriodDayText(start_date) + "～" + PeriodDayText(end_date);
  for (int64_t t = s; t <= e; ++t) {
    const char* label;
    if (t < s + d) {
      label = "×　生理中";
    } else if (t >= e - 23 && t < e - 19) {
      label = "？　　　安全日";
    } else if (t >= e - 19 && t < e - 16) {
      label = "？　　危険日";
    } else if (t >= e - 16 && t < e - 11) {
      label = "×【危険日】";
    } else if (t == e - 11) {
      label = "？　　危険日";
    } else if (t < e) {
      label = "△　　　　安全日";
    } else {
      label = "×　生理中";
    }
    detail.lines.push_back(PeriodDayText(CivilDateOf(int32_t(t))) + " " +
                           label);
  }
  return detail;
}

std::string CycleStatus(const std::vector<CivilDate>& dates, size_t index) {
  if (index >= dates.size()) return kEmptyPeriodStatus;
  if (index == 0) return {};
  const int64_t days = DayNumber(dates[index]) - DayNumber(dates[index - 1]);
  return std::to_string(days) + "日周期 (" + SlashDateText(dates[index - 1]) +
         "～" + SlashDateText(dates[index]) + ")";
}

PeriodTracker::PeriodTracker(SettingsFile& settings, const std::string& folder)
    : settings_(settings),
      file_(std::make_unique<SettingsFile>(folder + "/" + kPeriodFileName,
                                           0600)) {}

PeriodTracker::~PeriodTracker() = default;

bool PeriodTracker::Load() {
  MigrateOlderPeriodDates(settings_, *file_);
  {
    Settings reader = file_->Open();
    period_days_ = ReadPeriodDays(reader);
    dates_ = ReadPeriodDates(reader);
  }
  // A move that could not be written still shows the older dates.
  Settings older = settings_.Open();
  if (older.HasKey(kPeriodSection, "0")) {
    for (const CivilDate& date : ReadPeriodDates(older)) dates_.push_back(date);
    SortUnique(dates_);
  }
  return SaveDates();
}

bool PeriodTracker::Add(const CivilDate& date) {
  if (std::find(dates_.begin(), dates_.end(), date) != dates_.end()) {
    return false;
  }
  dates_.push_back(date);
  SortUnique(dates_);
  SaveDates();
  return true;
}

bool PeriodTracker::Remove(const CivilDate& date) {
  auto it = std::find(dates_.begin(), dates_.end(), date);
  if (it == dates_.end()) return false;
  dates_.erase(it);
  SaveDates();
  return true;
}

void PeriodTracker::SetPeriodDays(int days) {
  period_days_ = std::clamp(days, 1, kMaxPeriodDays);
  file_->WriteInteger(kPeriodSection, kDaysKey, period_days_);
}

void PeriodTracker::SetCycles(std::string_view common, std::string_view a,
                              std::string_view b) {
  Cycles next{CycleFromText(common), CycleFromText(a), CycleFromText(b)};
  const bool sides_changed = next.alternate_a != cycles_.alternate_a ||
                             next.alternate_b != cycles_.alternate_b;
  cycles_ = next;
  if (sides_changed) {
    file_->Batch([&](SettingsBatch& batch) {
      batch.WriteInteger(kPeriodSection, kAKey, cycles_.alternate_a);
      batch.WriteInteger(kPeriodSection, kBKey, cycles_.alternate_b);
    });
  }
  Predict();
}

std::string PeriodTracker::Comment(const CivilDate& date) {
  return file_->ReadString(kCommentSection, SlashDateText(date), "");
}

bool PeriodTracker::SetComment(const CivilDate& date, std::string_view text) {
  return file_->WriteString(kCommentSection, SlashDateText(date), text);
}

bool PeriodTracker::SaveDates() {
  cycles_ = ComputeCycles(dates_, cycles_.alternate_a);
  Predict();
  saved_ = file_->Batch([&](SettingsBatch& batch) {
    SettingsBatch::Entries entries = KeptEntries(batch);
    AppendDateList(entries, dates_);
    SetEntry(entries, kAKey, std::to_string(cycles_.alternate_a));
    SetEntry(entries, kBKey, std::to_string(cycles_.alternate_b));
    batch.ReplaceSection(kPeriodSection, entries);
  });
  return saved_;
}

void PeriodTracker::Predict() {
  if (dates_.empty()) {
    common_.clear();
    alternating_.clear();
    return;
  }
  common_ = CommonPredictions(dates_.back(), cycles_.common);
  alternating_ = AlternatingPredictions(dates_.back(), cycles_.alternate_a,
                                        cycles_.alternate_b);
}

bool MigrateOlderPeriodDates(SettingsFile& settings, SettingsFile& tracker) {
  Settings older = settings.Open();
  if (!older.HasKey(kPeriodSection, "0")) return true;
  std::vector<CivilDate> dates = ReadPeriodDates(older);
  const bool written = tracker.Batch([&](SettingsBatch& batch) {
    for (const CivilDate& date : ReadPeriodDates(batch)) dates.push_back(date);
    SortUnique(dates);
    SettingsBatch::Entries entries = KeptEntries(batch);
    // Lengths only the older section holds come along.
    for (const char* key : {kDaysKey, kAKey, kBKey}) {
      if (!HasEntry(entries, key) && older.HasKey(kPeriodSection, key)) {
        entries.emplace_back(key, older.ReadString(kPeriodSection, key, ""));
      }
    }
    AppendDateList(entries, dates);
    batch.ReplaceSection(kPeriodSection, entries);
  });
  return written && older.EraseSection(kPeriodSection);
}

}  // namespace mirokata
