// The diary folder on disk: finding a day's page whatever the letter case
// of its name, opening it (and converting an old day file), and saving it
// over the file that was read.
#ifndef MIROKATA_NOTES_DIARY_STORE_H_
#define MIROKATA_NOTES_DIARY_STORE_H_

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>

#include "calendar/gregorian.h"
#include "notes/diary_page.h"

namespace mirokata {

class Messages;
class SettingsFile;

// The diary folder (privacy folder + "/Diary"), made when missing with mode
// 0700; nullopt when it cannot be, after the user was told (the diary
// command then opens the preferences). `wait` false: the box never waits.
std::optional<std::string> EnsureDiaryFolder(SettingsFile& settings,
                                             Messages& messages,
                                             bool wait = true);
// The same path without making anything (the terminal reads through it).
std::string DiaryFolderPath(SettingsFile& settings);

// One listing of the folder: the pages and old day files by date. Names
// compare without regard to letter case; when two names differ only in
// case, the upper-case page name ("20240501.JNL") or the lower-case old
// name ("ni240501.day") wins, else the first by name. Hidden files are
// left out; folders and other odd entries are kept (reading them fails,
// and that is shown).
struct DiaryListing {
  bool readable = false;
  // yyyymmdd (20240501) -> name on disk.
  std::map<int32_t, std::string> pages;
  // yymmdd (990501) -> name on disk. The year is the reader's to decide.
  std::map<int32_t, std::string> old_days;
};
// `filter` narrows what is kept (the folder is read whole either way).
struct DiaryListFilter {
  int32_t first_page = 0;  // pages with first_page <= yyyymmdd <= last_page
  int32_t last_page = INT32_MAX;
  int old_month = 0;  // old day files of this month only; 0 all, -1 none
};
DiaryListing ListDiaryFolder(const std::string& folder,
                             const DiaryListFilter& filter = {});

inline int32_t DateKey(const CivilDate& date) {
  return date.year * 10000 + date.month * 100 + date.day;
}

// The date an old day file's "yymmdd" stands for in a year counted by the
// century rule from `current_year`; nullopt when the day does not exist.
std::optional<CivilDate> OldDayDate(int32_t yymmdd, int current_year);

// Where a page lives: the name on disk (found in any case), or, with
// `exists` false, the name a new page gets.
struct PageLocation {
  std::string path;
  bool exists = false;
};
PageLocation LocatePage(const std::string& folder, const CivilDate& date);

// An old day file: first line the title, a second line starting with
// "【天気】" the weather (bytes CP932, as in the file), the rest the body.
struct OldDayFile {
  std::string title;    // CP932 bytes
  std::string weather;  // CP932 bytes
  std::string body;     // CP932 text, lines ending in CR LF
};
OldDayFile ParseOldDayFile(std::string_view bytes);
// The page a conversion writes: "TITLE:", "WEATHER:", ":END", the text.
std::string ConvertedPageBytes(const OldDayFile& old_file);

enum class PageOpenState {
  kRead,       // the page was read; `path` is the file
  kNew,        // no page, no old file; `path` is where a save will go
  kConverted,  // an old day file became the page (see `written`)
  kBroken,     // empty or no ":END": show nothing, write nothing
  kRefused,    // `message` says why (cipher, HTML, bad number, unreadable)
};

struct OpenedPage {
  PageOpenState state = PageOpenState::kNew;
  DiaryPage page;
  std::string path;
  // kConverted: true when the page is on disk and the old file deleted;
  // false when the write failed (the old file is kept, the window holds the
  // text as a modified page and `message` says why).
  bool written = false;
  std::string old_path;  // kConverted: the old day file
  // kRefused: the warning; kConverted: the status bar text or the failure.
  std::string message;
};

// Opens the page of `date` as the diary window does. An old day file counts
// only when its two-digit year reads as date's year from `current_year`.
// A new page's title is `new_title` (the window caption).
OpenedPage OpenDiaryPage(const std::string& folder, const CivilDate& date,
                         int current_year, std::string_view new_title);

// Writes the page (DiaryPageBytes) atomically with mode 0600 to `path`,
// the file that was read or the new page's name. False with *error.
bool SaveDiaryPage(const std::string& path, const DiaryPage& page,
                   std::string* error);
// The export: ExportedPageBytes to a file the user chose.
bool SaveExportedPage(const std::string& path, const DiaryHeader& header,
                      std::string_view plain_text, std::string* error);

// "保存できません。\r" + path + "\r" + reason.
std::string SaveFailureMessage(const std::string& path,
                               const std::string& reason);

}  // namespace mirokata

#endif  // MIROKATA_NOTES_DIARY_STORE_H_
