#include "notes/diary_store.h"

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <memory>

#include "base/date_pattern.h"
#include "base/folders.h"
#include "base/settings_file.h"
#include "platform/file_io.h"

namespace mirokata {
namespace {

// "【天気】" in CP932.
constexpr std::string_view kWeatherMark = "\x81\x79\x93\x56\x8B\x43\x81\x7A";

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

char Lower(char c) {
  return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool EndsWithNoCase(std::string_view name, std::string_view suffix) {
  if (name.size() < suffix.size()) return false;
  name = name.substr(name.size() - suffix.size());
  for (size_t i = 0; i < suffix.size(); ++i) {
    if (Lower(name[i]) != Lower(suffix[i])) return false;
  }
  return true;
}

int32_t Digits(std::string_view text) {
  int32_t value = 0;
  for (char c : text) value = value * 10 + (c - '0');
  return value;
}

bool AllDigits(std::string_view text) {
  for (char c : text) {
    if (!IsDigit(c)) return false;
  }
  return !text.empty();
}

// Keeps the preferred spelling of two names that differ only in case.
template <typename Preferred>
void Keep(std::map<int32_t, std::string>& names, int32_t key,
          std::string_view name, const Preferred& preferred_of) {
  auto [it, added] = names.try_emplace(key, name);
  if (added) return;
  const std::string preferred = preferred_of();
  if (it->second == preferred) return;
  if (name == preferred || name < it->second) it->second = name;
}

bool Exists(const std::string& path) {
  struct stat info;
  return ::lstat(path.c_str(), &info) == 0;
}

// `name` in the folder, or the name on disk that differs only in case.
std::optional<std::string> FindName(const std::string& folder,
                                    const std::string& name) {
  if (Exists(folder + "/" + name)) return folder + "/" + name;
  std::unique_ptr<DIR, int (*)(DIR*)> dir(::opendir(folder.c_str()),
                                          &::closedir);
  if (!dir) return std::nullopt;
  std::optional<std::string> best;
  while (const dirent* entry = ::readdir(dir.get())) {
    std::string_view found = entry->d_name;
    if (found.size() != name.size() || !EndsWithNoCase(found, name)) continue;
    if (!best || found < *best) best = std::string(found);
  }
  if (!best) return std::nullopt;
  return folder + "/" + *best;
}

std::string UnreadableMessage(const std::string& path) {
  return "｢" + path + "｣を読み込めないので中断します。";
}

std::string WithCrLf(std::string_view text) {
  std::string out;
  out.reserve(text.size() + 2);
  out += text;
  out += "\r\n";
  return out;
}

}  // namespace

std::optional<std::string> EnsureDiaryFolder(SettingsFile& settings,
                                             Messages& messages, bool wait) {
  return EnsureSubFolder(PrivacyFolder(settings.Open()), kDiaryFolderName,
                         SubFolderMode(kDiaryFolderName), messages, wait);
}

std::string DiaryFolderPath(SettingsFile& settings) {
  std::string folder = PrivacyFolder(settings.Open());
  if (!folder.empty() && folder.back() != '/') folder += '/';
  return folder + kDiaryFolderName;
}

DiaryListing ListDiaryFolder(const std::string& folder,
                             const DiaryListFilter& filter) {
  DiaryListing listing;
  std::unique_ptr<DIR, int (*)(DIR*)> dir(::opendir(folder.c_str()),
                                          &::closedir);
  if (!dir) return listing;
  listing.readable = true;
  while (const dirent* entry = ::readdir(dir.get())) {
    const std::string_view name = entry->d_name;
    if (name.size() != 12) continue;
    if (AllDigits(name.substr(0, 8)) && EndsWithNoCase(name, ".jnl")) {
      const int32_t key = Digits(name.substr(0, 8));
      if (key < filter.first_page || key > filter.last_page) continue;
      const CivilDate date{key / 10000, key / 100 % 100, key % 100};
      if (date.year < 1 || !IsValidDate(date.year, date.month, date.day)) {
        continue;
      }
      Keep(listing.pages, key, name, [&date] { return DiaryPageName(date); });
    } else if (filter.old_month >= 0 && Lower(name[0]) == 'n' &&
               Lower(name[1]) == 'i' && AllDigits(name.substr(2, 6)) &&
               EndsWithNoCase(name, ".day")) {
      const int32_t key = Digits(name.substr(2, 6));
      if (filter.old_month > 0 && key / 100 % 100 != filter.old_month) {
        continue;
      }
      Keep(listing.old_days, key, name, [key] {
        return OldDayFileName({2000 + key / 10000, key / 100 % 100, key % 100});
      });
    }
  }
  return listing;
}

std::optional<CivilDate> OldDayDate(int32_t yymmdd, int current_year) {
  const int year = CenturyRule(yymmdd / 10000, current_year);
  const int month = yymmdd / 100 % 100, day = yymmdd % 100;
  if (year < 1 || !IsValidDate(year, month, day)) return std::nullopt;
  return CivilDate{year, month, day};
}

PageLocation LocatePage(const std::string& folder, const CivilDate& date) {
  const std::string name = DiaryPageName(date);
  if (std::optional<std::string> found = FindName(folder, name)) {
    return {*found, true};
  }
  return {folder + "/" + name, false};
}

OldDayFile ParseOldDayFile(std::string_view bytes) {
  OldDayFile out;
  size_t pos = 0;
  int line_number = 0;
  while (pos < bytes.size()) {
    size_t end = pos;
    while (end < bytes.size() && bytes[end] != '\r' && bytes[end] != '\n')
      ++end;
    const std::string_view line = bytes.substr(pos, end - pos);
    if (end < bytes.size()) {
      if (bytes[end] == '\r' && end + 1 < bytes.size() &&
          bytes[end + 1] == '\n')
        ++end;
      ++end;
    }
    pos = end;
    ++line_number;
    if (line_number == 1) {
      out.title = line;
    } else if (line_number == 2 && line.starts_with(kWeatherMark)) {
      out.weather = line.substr(kWeatherMark.size());
    } else {
      out.body += line;
      out.body += "\r\n";
    }
  }
  return out;
}

std::string ConvertedPageBytes(const OldDayFile& old_file) {
  std::string out = "TITLE:" + WithCrLf(old_file.title);
  out += "WEATHER:" + WithCrLf(old_file.weather);
  out += ":END\r\n";
  out += old_file.body;
  return out;
}

OpenedPage OpenDiaryPage(const std::string& folder, const CivilDate& date,
                         int current_year, std::string_view new_title) {
  OpenedPage opened;
  const PageLocation location = LocatePage(folder, date);
  opened.path = location.path;
  std::string bytes;
  if (location.exists) {
    const ReadResult read = ReadWholeFile(location.path, &bytes);
    if (read != ReadResult::kMissing) {
      if (read != ReadResult::kOk) {
        opened.state = PageOpenState::kRefused;
        opened.message = UnreadableMessage(location.path);
        return opened;
      }
      PageParse parse = ParseDiaryPage(bytes);
      switch (parse.state) {
        case PageParseState::kRead:
          opened.state = PageOpenState::kRead;
          opened.page = std::move(parse.page);
          break;
        case PageParseState::kBroken:
          opened.state = PageOpenState::kBroken;
          break;
        case PageParseState::kRefused:
          opened.state = PageOpenState::kRefused;
          opened.message = std::move(parse.message);
          break;
      }
      return opened;
    }
  }

  // An old day file of this date, when its two-digit year means this year.
  const std::optional<CivilDate> old_date =
      OldDayDate(DateKey(date) % 1000000, current_year);
  if (old_date && *old_date == date) {
    if (std::optional<std::string> old_path =
            FindName(folder, OldDayFileName(date))) {
      std::string old_bytes;
      const ReadResult read = ReadWholeFile(*old_path, &old_bytes);
      if (read == ReadResult::kUnreadable) {
        opened.state = PageOpenState::kRefused;
        opened.message = UnreadableMessage(*old_path);
        return opened;
      }
      if (read == ReadResult::kOk) {
        const std::string page_bytes =
            ConvertedPageBytes(ParseOldDayFile(old_bytes));
        opened.state = PageOpenState::kConverted;
        opened.old_path = *old_path;
        opened.page = ParseDiaryPage(page_bytes).page;
        std::string error;
        if (!WriteFileAtomic(location.path, page_bytes, kPrivateFileMode,
                             &error)) {
          opened.written = false;
          opened.message = SaveFailureMessage(location.path, error);
          return opened;
        }
        opened.written = true;
        ::unlink(old_path->c_str());
        char yymmdd[16], yyyymmdd[16];
        std::snprintf(yymmdd, sizeof yymmdd, "%02d%02d%02d", date.year % 100,
                      date.month, date.day);
        std::snprintf(yyyymmdd, sizeof yyyymmdd, "%04d%02d%02d", date.year,
                      date.month, date.day);
        opened.message = std::string("NI") + yymmdd + ".DAYを" + folder + "/" +
                         yyyymmdd + ".JNLに変換し保存しました｡";
        return opened;
      }
    }
  }

  opened.state = PageOpenState::kNew;
  opened.page.header.title = std::string(new_title);
  return opened;
}

bool SaveDiaryPage(const std::string& path, const DiaryPage& page,
                   std::string* error) {
  return WriteFileAtomic(path, DiaryPageBytes(page), kPrivateFileMode, error);
}

bool SaveExportedPage(const std::string& path, const DiaryHeader& header,
                      std::string_view plain_text, std::string* error) {
  return WriteFileAtomic(path, ExportedPageBytes(header, plain_text),
                         kPrivateFileMode, error);
}

std::string SaveFailureMessage(const std::string& path,
                               const std::string& reason) {
  return "保存できません。\r" + path + "\r" + reason;
}

}  // namespace mirokata
