// Diary pages: one file per day, "yyyymmdd.JNL" in the diary folder. A
// header of key lines ("TITLE:", "WEATHER:", "YOV_TOP:", ...), a line
// ":END", then the body (RTF as the rich edit control writes it, or plain
// text). CP932 on disk, lines ending in CR LF; LF or CR alone are read as
// line ends too.
#ifndef MIROKATA_NOTES_DIARY_PAGE_H_
#define MIROKATA_NOTES_DIARY_PAGE_H_

#include <sys/types.h>

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/weekday_names.h"
#include "calendar/gregorian.h"

namespace mirokata {

inline constexpr char kDiaryFolderName[] = "Diary";
// Header values are cut to this many characters when read.
inline constexpr size_t kDiaryValueLimit = 256;

struct DiaryHeader {
  std::string title;    // UTF-8
  std::string weather;  // UTF-8
  std::string picture;  // path of the attached picture; empty when none
  // Colours are the stored 32-bit values (system colours negative).
  std::optional<int32_t> font_color;
  std::optional<int32_t> back_color;
  std::optional<int32_t> top;
  std::optional<int32_t> left;
  std::optional<int32_t> width;
  std::optional<int32_t> height;
  bool read_only = false;
  // Lines this program does not know ("MOOD:good"), bytes as read, in
  // order; written back before ":END" (empty ones dropped).
  std::vector<std::string> other_lines;
  bool operator==(const DiaryHeader&) const = default;
};

struct DiaryPage {
  DiaryHeader header;
  // Everything after the ":END" line, bytes as in the file: an RTF
  // document, or CP932 plain text (ReadRichText takes either).
  std::string body;
  bool operator==(const DiaryPage&) const = default;
};

enum class PageParseState {
  kRead,
  kBroken,   // empty, or no ":END" line: shown nowhere, written never
  kRefused,  // encrypted, HTML, or a number that is none: `message` says
};

struct PageParse {
  PageParseState state = PageParseState::kBroken;
  DiaryPage page;
  std::string message;  // kRefused: the text for the user (UTF-8)
};

// Reads a page's bytes.
PageParse ParseDiaryPage(std::string_view bytes);

// Calls `visit` with each header line (bytes, without its line end) up to
// ":END"; the offset of the body after it, or nullopt when the bytes end
// first. DiaryKeyIs: the line starts with the key in any letter case.
std::optional<size_t> VisitDiaryHeader(
    std::string_view bytes, const std::function<void(std::string_view)>& visit);
bool DiaryKeyIs(std::string_view line, std::string_view key);

// The header fields a list or a search needs, read only up to ":END":
// `title` and `weather` cut as above. `ended` is false when the bytes end
// before a ":END" line (or are empty).
struct DiaryHeaderLines {
  std::optional<std::string> title;  // nullopt: no "TITLE:" line
  std::string weather;
  bool ended = false;
  size_t body_offset = 0;  // where the body starts, when ended
};
DiaryHeaderLines ScanDiaryHeader(std::string_view bytes);

// The file of a normal save: the header lines in their fixed order, the
// remembered lines, ":END", then `page.body` (the RTF document). Title and
// weather are one line each: CR and LF in them are written as spaces.
std::string DiaryPageBytes(const DiaryPage& page);

// The file the export writes: no "CODE:RTF" line, the picture always as
// "BMP:", and the body as plain text (UTF-8 in, CP932 out).
std::string ExportedPageBytes(const DiaryHeader& header,
                              std::string_view plain_text);

// "20240501.JNL" and "ni240501.day".
std::string DiaryPageName(const CivilDate& date);
std::string OldDayFileName(const CivilDate& date);

// The date part of rows and captions: "2024/05/01 (水)" (the locale's
// short weekday names, [0] Sunday).
std::string DiaryDateText(const CivilDate& date, const WeekdayNames& ddd);
// The caption and the title of a new page: "2024/05/01 (水)の日記".
std::string DiaryCaption(const CivilDate& date, const WeekdayNames& ddd);

// A header text value as written: CP932, or, when CP932 cannot hold it
// exactly, the settings file's lossless "{u}" form. CR and LF become
// spaces. DecodeDiaryValue reads either and cuts at kDiaryValueLimit
// characters.
std::string EncodeDiaryValue(std::string_view utf8);
std::string DecodeDiaryValue(std::string_view bytes);

}  // namespace mirokata

#endif  // MIROKATA_NOTES_DIARY_PAGE_H_
