// The diary list's month and the diary search, read from one listing of
// the diary folder. Neither ever writes.
#ifndef MIROKATA_NOTES_DIARY_SEARCH_H_
#define MIROKATA_NOTES_DIARY_SEARCH_H_

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "base/weekday_names.h"
#include "calendar/gregorian.h"

namespace mirokata {

enum class DiaryRowKind {
  kEmpty,   // neither a page nor an old day file
  kTitled,  // a page with its header (title may be empty)
  kBroken,  // a page that is empty, has no ":END" or cannot be read
  kOldDay,  // no page, but an old day file; `title` is its first line
};

struct DiaryMonthRow {
  CivilDate date;
  DiaryRowKind kind = DiaryRowKind::kEmpty;
  std::string title;  // UTF-8
};

struct DiaryMonth {
  std::vector<DiaryMonthRow> rows;  // one per day, in order
  int written = 0;                  // titled pages and old day files
};

// The month's rows. Old day files count for the year the century rule
// reads from their "yy" in `current_year`.
DiaryMonth ListDiaryMonth(const std::string& folder, int year, int month,
                          int current_year);

// "2024/05/01 (水) : title", "... : ファイル内容不正!!", "... : 【old】",
// or the date alone.
std::string DiaryRowText(const DiaryMonthRow& row, const WeekdayNames& ddd);

// "月あたり\r日記の記入状況 3件(10%)".
std::string DiaryMonthHint(int written, int days);

enum class DiaryMatch { kTitle, kWeather, kBody };

// "【題名】", "【天気】", "【本文】" and, for the terminal, "title",
// "weather", "body".
const char* DiaryMatchMark(DiaryMatch match);
const char* DiaryMatchName(DiaryMatch match);

struct DiaryHit {
  CivilDate date;
  DiaryMatch match = DiaryMatch::kTitle;
  std::string shown;  // the row's text after the mark: title or weather
  std::string title;  // the page's title
};

// Months from (from_year, from_month) to (to_year, to_month), both
// included; a range given backwards is searched forwards.
struct DiaryMonthRange {
  int from_year = 1, from_month = 1;
  int to_year = 9999, to_month = 12;
};

// Finds `word` (UTF-8, letter case counts) in the titles, weather texts
// and bodies of the pages in the range, in date order, one row per page:
// a weather hit wins over a title hit of the same page, the body is looked
// at only when the header did not match. An empty word finds nothing. Old
// day files are not searched. Pages are read by up to four threads;
// `progress`, when given, is called on the calling thread with the date of
// a page being read, at most once per month.
std::vector<DiaryHit> SearchDiary(
    const std::string& folder, std::string_view word, DiaryMonthRange range,
    const std::function<void(const CivilDate&)>& progress = nullptr);

// "2024/05/01 (水) : 【天気】晴".
std::string DiaryHitText(const DiaryHit& hit, const WeekdayNames& ddd);

}  // namespace mirokata

#endif  // MIROKATA_NOTES_DIARY_SEARCH_H_
