// mirokata-cal diary: searches the diary and prints a page. Only reads.
#include <time.h>

#include <cstdio>
#include <optional>
#include <string>
#include <string_view>

#include "base/folders.h"
#include "base/program_folder.h"
#include "base/settings_file.h"
#include "cli/command.h"
#include "cli/days_command.h"
#include "notes/diary_search.h"
#include "notes/diary_store.h"
#include "platform/file_io.h"
#include "richtext/rtf_reader.h"

namespace mirokata::cli {

namespace {

const char kDiaryUsage[] =
    "usage: mirokata-cal [--home DIR] diary search WORD [FROM TO]\n"
    "       mirokata-cal [--home DIR] diary show YYYY-MM-DD\n";

const char kDiaryHelp[] =
    "usage: mirokata-cal [--home DIR] diary search WORD [FROM TO]\n"
    "       mirokata-cal [--home DIR] diary show YYYY-MM-DD\n"
    "\n"
    "search: finds WORD (letter case counts) in the titles, weather texts and\n"
    "bodies of the diary pages from month FROM to month TO (both YYYY-MM;\n"
    "default: every page). One line per page found, tab-separated, UTF-8:\n"
    "\n"
    "  date (YYYY-MM-DD)  match (title, weather or body)  title\n"
    "\n"
    "show: prints the page's header fields, an empty line and its body as\n"
    "plain text.\n"
    "\n"
    "The diary folder is \"Diary\" in the privacy folder named in the "
    "settings\n"
    "file mirokata.ini of the program folder (--home DIR, else\n"
    "$MIROKATA_HOME, else the program's own folder). Nothing is written.\n";

int Usage(const char* message) {
  std::fprintf(stderr, "mirokata-cal diary: %s\n", message);
  std::fputs(kDiaryUsage, stderr);
  return kExitUsage;
}

// "YYYY-MM" with a year 1-9999 and a month 1-12.
bool ParseMonth(std::string_view text, int* year, int* month) {
  if (text.size() != 7 || text[4] != '-') return false;
  int value[2] = {0, 0};
  const struct { size_t pos, len; } parts[2] = {{0, 4}, {5, 2}};
  for (int i = 0; i < 2; ++i) {
    for (size_t k = 0; k < parts[i].len; ++k) {
      const char c = text[parts[i].pos + k];
      if (c < '0' || c > '9') return false;
      value[i] = value[i] * 10 + (c - '0');
    }
  }
  if (value[0] < 1 || value[1] < 1 || value[1] > 12) return false;
  *year = value[0];
  *month = value[1];
  return true;
}

int CurrentYear() {
  const time_t now = ::time(nullptr);
  struct tm local {};
  ::localtime_r(&now, &local);
  return local.tm_year + 1900;
}

// The diary folder from the settings; nullopt (with a message) when no
// data folder has been chosen.
std::optional<std::string> DiaryFolderOf(const CommandLine& line) {
  SettingsFile settings(SettingsFilePath(line.program_folder));
  if (IsNoDataFolder(PrivacyFolder(settings.Open()))) {
    std::fputs(
        "mirokata-cal diary: no data folder has been chosen yet; choose one "
        "in the preferences\n",
        stderr);
    return std::nullopt;
  }
  return DiaryFolderPath(settings);
}

// One field of a line: tabs and line breaks would split it.
std::string Field(std::string_view text) {
  std::string out(text);
  for (char& c : out) {
    if (c == '\t' || c == '\r' || c == '\n') c = ' ';
  }
  return out;
}

bool Write(const std::string& text) {
  return std::fwrite(text.data(), 1, text.size(), stdout) == text.size();
}

int RunSearch(const CommandLine& line) {
  const std::vector<std::string>& args = line.args;
  if (args.size() != 2 && args.size() != 4) {
    return Usage("search expects WORD and an optional FROM TO");
  }
  DiaryMonthRange range;
  if (args.size() == 4 &&
      (!ParseMonth(args[2], &range.from_year, &range.from_month) ||
       !ParseMonth(args[3], &range.to_year, &range.to_month))) {
    return Usage("FROM and TO are months written YYYY-MM");
  }
  const std::optional<std::string> folder = DiaryFolderOf(line);
  if (!folder) return kExitFailure;
  std::string out;
  out.reserve(1 << 16);
  for (const DiaryHit& hit : SearchDiary(*folder, args[1], range)) {
    char date[16];
    std::snprintf(date, sizeof date, "%04d-%02d-%02d\t", hit.date.year,
                  hit.date.month, hit.date.day);
    out += date;
    out += DiaryMatchName(hit.match);
    out += '\t';
    out += Field(hit.title);
    out += '\n';
    if (out.size() >= (1 << 16) - 1024) {
      if (!Write(out)) return kExitFailure;
      out.clear();
    }
  }
  if (!Write(out) || std::fflush(stdout) != 0) return kExitFailure;
  return kExitOk;
}

int RunShow(const CommandLine& line) {
  const std::vector<std::string>& args = line.args;
  if (args.size() != 2) return Usage("show expects one date");
  const std::optional<CivilDate> date = ParseIsoDate(args[1]);
  if (!date) return Usage("not a date (YYYY-MM-DD)");
  const std::optional<std::string> folder = DiaryFolderOf(line);
  if (!folder) return kExitFailure;

  DiaryPage page;
  const PageLocation location = LocatePage(*folder, *date);
  std::string bytes;
  const ReadResult read = location.exists ? ReadWholeFile(location.path, &bytes)
                                          : ReadResult::kMissing;
  if (read == ReadResult::kUnreadable) {
    std::fprintf(stderr, "mirokata-cal diary: cannot read %s\n",
                 location.path.c_str());
    return kExitFailure;
  }
  if (read == ReadResult::kOk) {
    PageParse parse = ParseDiaryPage(bytes);
    if (parse.state != PageParseState::kRead) {
      std::fprintf(stderr, "mirokata-cal diary: %s: %s\n",
                   location.path.c_str(),
                   parse.state == PageParseState::kBroken
                       ? "no page header"
                       : Field(parse.message).c_str());
      return kExitFailure;
    }
    page = std::move(parse.page);
  } else {
    // An old day file is shown as it would be converted, not converted.
    const DiaryListing listing = ListDiaryFolder(*folder);
    const int32_t yymmdd = DateKey(*date) % 1000000;
    auto old = listing.old_days.find(yymmdd);
    const std::optional<CivilDate> old_date = OldDayDate(yymmdd, CurrentYear());
    if (old == listing.old_days.end() || !old_date || !(*old_date == *date) ||
        ReadWholeFile(*folder + "/" + old->second, &bytes) != ReadResult::kOk) {
      std::fprintf(stderr, "mirokata-cal diary: no page for %s\n",
                   args[1].c_str());
      return kExitFailure;
    }
    page = ParseDiaryPage(ConvertedPageBytes(ParseOldDayFile(bytes))).page;
  }

  const DiaryHeader& h = page.header;
  std::string out = "date\t" + args[1] + "\n";
  out += "title\t" + Field(h.title) + "\n";
  out += "weather\t" + Field(h.weather) + "\n";
  if (!h.picture.empty()) out += "picture\t" + Field(h.picture) + "\n";
  out += std::string("read-only\t") + (h.read_only ? "yes" : "no") + "\n\n";
  const std::string text = ScanPlainText(page.body);
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') continue;
    out.push_back(text[i] == '\r' ? '\n' : text[i]);
  }
  if (!out.empty() && out.back() != '\n') out.push_back('\n');
  if (!Write(out) || std::fflush(stdout) != 0) return kExitFailure;
  return kExitOk;
}

int RunDiary(const CommandLine& line) {
  const std::vector<std::string>& args = line.args;
  for (const std::string& a : args) {
    if (a == "--help" || a == "-h") {
      std::fputs(kDiaryHelp, stdout);
      return kExitOk;
    }
  }
  if (args.empty()) return Usage("expected search or show");
  if (args[0] == "search") return RunSearch(line);
  if (args[0] == "show") return RunShow(line);
  return Usage("expected search or show");
}

}  // namespace

const Command kDiaryCommand = {
    "diary",
    "diary search WORD [FROM TO] | diary show DATE   the diary's pages",
    kDiaryHelp,
    RunDiary,
};

}  // namespace mirokata::cli
