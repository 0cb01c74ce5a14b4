#include "notes/memo_store.h"

#include <sys/stat.h>
#include <unistd.h>

#include <climits>
#include <unordered_set>

namespace mirokata {

namespace {

constexpr const char* kFullWidthDigits[] = {"０", "１", "２", "３", "４",
                                            "５", "６", "７", "８", "９"};

bool FileExists(const std::string& path) {
  struct stat st;
  return ::lstat(path.c_str(), &st) == 0;
}

SettingsBatch::Entries EntriesOf(const MemoCategory& category) {
  SettingsBatch::Entries entries;
  entries.reserve(category.memos.size() + category.other_keys.size());
  for (const MemoEntry& m : category.memos)
    entries.emplace_back(m.name, m.title);
  for (const auto& kv : category.other_keys) entries.push_back(kv);
  return entries;
}

}  // namespace

std::string MemoCategorySection(int category) {
  return std::to_string(category) + "_Memo";
}

std::string MemoCategoryName(const SettingsReader& settings, int category) {
  std::string name =
      settings.ReadString("Memo_bun", std::to_string(category), "");
  if (!name.empty()) return name;
  std::string built = "メモ";
  const std::string digits = std::to_string(category + 1);
  for (char c : digits) built += kFullWidthDigits[c - '0'];
  return built;
}

std::optional<int> MemoNumberOf(std::string_view key) {
  if (key.size() < 5 || key.size() > 14) return std::nullopt;
  static constexpr std::string_view kPrefix = "memo";
  for (size_t i = 0; i < kPrefix.size(); ++i) {
    char c = key[i];
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    if (c != kPrefix[i]) return std::nullopt;
  }
  std::string_view digits = key.substr(kPrefix.size());
  if (digits[0] == '0') return std::nullopt;
  long long value = 0;
  for (char c : digits) {
    if (c < '0' || c > '9') return std::nullopt;
    value = value * 10 + (c - '0');
    if (value > INT_MAX) return std::nullopt;
  }
  return static_cast<int>(value);
}

MemoCategory ReadMemoCategory(const SettingsReader& settings, int category) {
  MemoCategory result;
  result.number = category;
  const std::string section = MemoCategorySection(category);
  for (const std::string& key : settings.ListKeys(section)) {
    std::string value = settings.ReadString(section, key, "");
    if (std::optional<int> n = MemoNumberOf(key)) {
      result.memos.push_back({MemoName(*n), std::move(value)});
    } else {
      result.other_keys.emplace_back(key, std::move(value));
    }
  }
  return result;
}

std::vector<MemoCategory> ReadAllMemoCategories(
    const SettingsReader& settings) {
  std::vector<MemoCategory> all;
  all.reserve(kMemoCategoryCount);
  for (int c = 0; c < kMemoCategoryCount; ++c) {
    all.push_back(ReadMemoCategory(settings, c));
  }
  return all;
}

std::string MemoFilePath(const std::string& memo_folder, int number) {
  std::string path = memo_folder;
  if (!path.empty() && path.back() != '/') path += '/';
  return path + MemoName(number);
}

MemoColors MemoColorsOf(const SettingsReader& settings,
                        std::string_view memo_name) {
  MemoColors colors;
  colors.back = settings.ReadInteger(
      memo_name, "BackColor",
      settings.ReadInteger("Memo", "BackColor", kDefaultMemoBackColor));
  colors.font = settings.ReadInteger(
      memo_name, "FontColor",
      settings.ReadInteger("Memo", "FontColor", kDefaultMemoFontColor));
  return colors;
}

std::optional<int> NextMemoNumber(const SettingsReader& settings,
                                  const std::string& memo_folder) {
  std::unordered_set<int> listed;
  for (int c = 0; c < kMemoCategoryCount; ++c) {
    for (const std::string& key : settings.ListKeys(MemoCategorySection(c))) {
      if (std::optional<int> n = MemoNumberOf(key)) listed.insert(*n);
    }
  }
  auto in_use = [&](int n) {
    return listed.count(n) != 0 || settings.HasSection(MemoName(n)) ||
           FileExists(MemoFilePath(memo_folder, n));
  };
  const int count = std::max(0, settings.ReadInteger("MemoCount", "Count", 0));
  for (long long n = static_cast<long long>(count) + 1; n <= INT_MAX; ++n) {
    if (!in_use(static_cast<int>(n))) return static_cast<int>(n);
  }
  // The counter is exhausted: the lowest number nobody uses.
  for (int n = 1; n <= count; ++n) {
    if (!in_use(n)) return n;
  }
  return std::nullopt;
}

std::optional<std::string> CreateMemo(SettingsFile& settings,
                                      const std::string& memo_folder,
                                      int category) {
  Settings s = settings.Open();
  const std::optional<int> number = NextMemoNumber(s, memo_folder);
  if (!number) return std::nullopt;
  const std::string name = MemoName(*number);
  const int count = std::max(0, s.ReadInteger("MemoCount", "Count", 0));
  const bool written = s.Batch([&](SettingsBatch& b) {
    b.WriteInteger("MemoCount", "Count", std::max(count, *number));
    b.WriteString(MemoCategorySection(category), name, name);
  });
  if (!written) return std::nullopt;
  return name;
}

MemoDeletion DeleteMemo(SettingsFile& settings, const std::string& memo_folder,
                        int category, std::string_view memo_name) {
  MemoDeletion result;
  const std::optional<int> number = MemoNumberOf(memo_name);
  if (!number) return result;
  const std::string name = MemoName(*number);
  Settings s = settings.Open();
  result.written = s.Batch([&](SettingsBatch& b) {
    MemoCategory current = ReadMemoCategory(b, category);
    std::erase_if(current.memos,
                  [&](const MemoEntry& m) { return m.name == name; });
    b.EraseSection(name);
    b.ReplaceSection(MemoCategorySection(category), EntriesOf(current));
  });
  if (!result.written) return result;
  const std::string path = MemoFilePath(memo_folder, *number);
  result.file_removed = ::unlink(path.c_str()) == 0;
  return result;
}

bool SaveMemoCategories(SettingsFile& settings,
                        const std::vector<MemoCategory>& categories) {
  return settings.Batch([&](SettingsBatch& b) {
    for (const MemoCategory& wanted : categories) {
      if (wanted.number < 0 || wanted.number >= kMemoCategoryCount) continue;
      MemoCategory merged = ReadMemoCategory(b, wanted.number);
      merged.memos = wanted.memos;
      b.ReplaceSection(MemoCategorySection(wanted.number), EntriesOf(merged));
    }
  });
}

std::vector<std::pair<int, MemoEntry>> MemosShownAtExit(
    const SettingsReader& settings) {
  std::vector<std::pair<int, MemoEntry>> shown;
  for (int c = 0; c < kMemoCategoryCount; ++c) {
    for (MemoEntry& m : ReadMemoCategory(settings, c).memos) {
      if (settings.ReadInteger(m.name, "Show", 0) == 1) {
        shown.emplace_back(c, std::move(m));
      }
    }
  }
  return shown;
}

}  // namespace mirokata
