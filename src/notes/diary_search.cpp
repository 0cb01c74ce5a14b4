#include "notes/diary_search.h"

#include <algorithm>
#include <atomic>
#include <functional>
#include <optional>
#include <thread>
#include <utility>

#include "notes/diary_page.h"
#include "notes/diary_store.h"
#include "platform/file_io.h"
#include "platform/text_codec.h"
#include "richtext/rtf_reader.h"

namespace mirokata {
namespace {

// A page's header is read from this much of its start; only a page whose
// header runs longer is read whole.
constexpr size_t kHeadBytes = 4096;

DiaryMonthRow PageRow(const std::string& path, const CivilDate& date) {
  DiaryMonthRow row{date, DiaryRowKind::kBroken, {}};
  std::string bytes;
  if (ReadFileHead(path, kHeadBytes, &bytes) != ReadResult::kOk) return row;
  DiaryHeaderLines header = ScanDiaryHeader(bytes);
  if (!header.ended && bytes.size() == kHeadBytes) {
    if (ReadWholeFile(path, &bytes) != ReadResult::kOk) return row;
    header = ScanDiaryHeader(bytes);
  }
  if (!header.ended) return row;
  row.kind = DiaryRowKind::kTitled;
  row.title = header.title.value_or(std::string());
  return row;
}

DiaryMonthRow OldDayRow(const std::string& path, const CivilDate& date) {
  DiaryMonthRow row{date, DiaryRowKind::kOldDay, {}};
  std::string bytes;
  if (ReadFileHead(path, 4096, &bytes) != ReadResult::kOk) {
    row.kind = DiaryRowKind::kBroken;
    return row;
  }
  const size_t end = bytes.find_first_of("\r\n");
  row.title = DecodeDiaryValue(std::string_view(bytes).substr(0, end));
  return row;
}

bool Contains(
    std::string_view text,
    const std::boyer_moore_horspool_searcher<std::string_view::const_iterator>&
        searcher) {
  return std::search(text.begin(), text.end(), searcher) != text.end();
}

using Searcher =
    std::boyer_moore_horspool_searcher<std::string_view::const_iterator>;

constexpr unsigned kMaxSearchThreads = 4;

// One page's hit: a weather hit wins over a title hit, the body is scanned
// only when neither matched.
std::optional<DiaryHit> SearchPage(std::string_view bytes,
                                   const CivilDate& date,
                                   const Searcher& searcher) {
  std::optional<DiaryMatch> match;
  std::string shown, title;
  const std::optional<size_t> body =
      VisitDiaryHeader(bytes, [&](std::string_view line) {
        if (DiaryKeyIs(line, "TITLE:")) {
          title = DecodeDiaryValue(line.substr(6));
          shown = title;
          if (Contains(title, searcher)) match = DiaryMatch::kTitle;
        } else if (DiaryKeyIs(line, "WEATHER:")) {
          std::string weather = DecodeDiaryValue(line.substr(8));
          if (Contains(weather, searcher)) {
            match = DiaryMatch::kWeather;
            shown = std::move(weather);
          }
        }
      });
  if (!match && body &&
      Contains(ScanPlainText(bytes.substr(*body)), searcher)) {
    match = DiaryMatch::kBody;
  }
  if (!match) return std::nullopt;
  return DiaryHit{date, *match, std::move(shown), std::move(title)};
}

}  // namespace

DiaryMonth ListDiaryMonth(const std::string& folder, int year, int month,
                          int current_year) {
  DiaryMonth out;
  if (year < 1 || year > 9999 || month < 1 || month > 12) return out;
  const int32_t first = year * 10000 + month * 100;
  const DiaryListing listing =
      ListDiaryFolder(folder, {first, first + 99, month});
  // Old day files by the date they stand for in this month.
  std::map<int32_t, const std::string*> old_days;
  for (const auto& [yymmdd, name] : listing.old_days) {
    if (yymmdd / 100 % 100 != month) continue;
    std::optional<CivilDate> date = OldDayDate(yymmdd, current_year);
    if (date && date->year == year) old_days[DateKey(*date)] = &name;
  }
  const int days = DaysInMonth(year, month);
  out.rows.reserve(days);
  for (int day = 1; day <= days; ++day) {
    const CivilDate date{year, month, day};
    if (!IsValidDate(year, month, day)) continue;  // October 1582
    const int32_t key = DateKey(date);
    DiaryMonthRow row{date, DiaryRowKind::kEmpty, {}};
    if (auto page = listing.pages.find(key); page != listing.pages.end()) {
      row = PageRow(folder + "/" + page->second, date);
    } else if (auto old = old_days.find(key); old != old_days.end()) {
      row = OldDayRow(folder + "/" + *old->second, date);
    }
    if (row.kind == DiaryRowKind::kTitled || row.kind == DiaryRowKind::kOldDay)
      ++out.written;
    out.rows.push_back(std::move(row));
  }
  return out;
}

std::string DiaryRowText(const DiaryMonthRow& row, const WeekdayNames& ddd) {
  std::string text = DiaryDateText(row.date, ddd);
  switch (row.kind) {
    case DiaryRowKind::kEmpty:
      break;
    case DiaryRowKind::kTitled:
      text += " : " + row.title;
      break;
    case DiaryRowKind::kBroken:
      text += " : ファイル内容不正!!";
      break;
    case DiaryRowKind::kOldDay:
      text += " : 【" + row.title + "】";
      break;
  }
  return text;
}

std::string DiaryMonthHint(int written, int days) {
  const int percent = days > 0 ? written * 100 / days : 0;
  return "月あたり\r日記の記入状況 " + std::to_string(written) + "件(" +
         std::to_string(percent) + "%)";
}

const char* DiaryMatchMark(DiaryMatch match) {
  switch (match) {
    case DiaryMatch::kTitle:
      return "【題名】";
    case DiaryMatch::kWeather:
      return "【天気】";
    case DiaryMatch::kBody:
      break;
  }
  return "【本文】";
}

const char* DiaryMatchName(DiaryMatch match) {
  switch (match) {
    case DiaryMatch::kTitle:
      return "title";
    case DiaryMatch::kWeather:
      return "weather";
    case DiaryMatch::kBody:
      break;
  }
  return "body";
}

std::vector<DiaryHit> SearchDiary(
    const std::string& folder, std::string_view word, DiaryMonthRange range,
    const std::function<void(const CivilDate&)>& progress) {
  std::vector<DiaryHit> hits;
  if (word.empty()) return hits;
  range.from_year = std::clamp(range.from_year, 1, 9999);
  range.to_year = std::clamp(range.to_year, 1, 9999);
  range.from_month = std::clamp(range.from_month, 1, 12);
  range.to_month = std::clamp(range.to_month, 1, 12);
  if (range.to_year * 100 + range.to_month <
      range.from_year * 100 + range.from_month) {
    std::swap(range.from_year, range.to_year);
    std::swap(range.from_month, range.to_month);
  }
  const int32_t first = range.from_year * 10000 + range.from_month * 100;
  const int32_t last = range.to_year * 10000 + range.to_month * 100 + 99;
  const std::boyer_moore_horspool_searcher searcher(word.begin(), word.end());

  const DiaryListing listing = ListDiaryFolder(folder, {first, last, -1});
  std::vector<std::pair<int32_t, const std::string*>> pages;
  for (auto it = listing.pages.lower_bound(first);
       it != listing.pages.end() && it->first <= last; ++it) {
    pages.emplace_back(it->first, &it->second);
  }

  // Pages are read and scanned by a few threads at once; each result has
  // its slot, so the rows keep the date order. Only the calling thread
  // reports progress.
  std::vector<std::optional<DiaryHit>> found(pages.size());
  std::atomic<size_t> next{0};
  const auto work = [&](bool reports) {
    int32_t reported_month = -1;
    std::string bytes;
    for (size_t i = next++; i < pages.size(); i = next++) {
      const int32_t key = pages[i].first;
      const CivilDate date{key / 10000, key / 100 % 100, key % 100};
      if (reports && progress && key / 100 != reported_month) {
        reported_month = key / 100;
        progress(date);
      }
      if (ReadWholeFile(folder + "/" + *pages[i].second, &bytes) !=
          ReadResult::kOk) {
        continue;
      }
      found[i] = SearchPage(bytes, date, searcher);
    }
  };
  const size_t helpers = std::min<size_t>(
      pages.size() / 64,
      std::clamp(std::thread::hardware_concurrency(), 1u, kMaxSearchThreads) -
          1);
  std::vector<std::thread> threads;
  threads.reserve(helpers);
  for (size_t t = 0; t < helpers; ++t) threads.emplace_back(work, false);
  work(true);
  for (std::thread& t : threads) t.join();

  for (std::optional<DiaryHit>& hit : found) {
    if (hit) hits.push_back(std::move(*hit));
  }
  return hits;
}

std::string DiaryHitText(const DiaryHit& hit, const WeekdayNames& ddd) {
  return DiaryDateText(hit.date, ddd) + " : " + DiaryMatchMark(hit.match) +
         hit.shown;
}

}  // namespace mirokata
