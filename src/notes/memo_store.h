// The memo index in the settings file: ten categories, each a section whose
// keys are memo names ("Memo" + a number) in display order with the titles
// as values; the counter of issued numbers; and deleting and reordering.
// Every change that rewrites a category is one settings batch, so a kill
// leaves each category as it was or as it became, never half written.
#ifndef MIROKATA_NOTES_MEMO_STORE_H_
#define MIROKATA_NOTES_MEMO_STORE_H_

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "base/settings_file.h"

namespace mirokata {

inline constexpr int kMemoCategoryCount = 10;
inline constexpr int kDefaultMemoBackColor = 65535;  // yellow
inline constexpr int kDefaultMemoFontColor = 0;      // black

struct MemoEntry {
  std::string name;  // "Memo12"
  std::string title;
  bool operator==(const MemoEntry&) const = default;
};

// One category's section as read: its memos in key order, and every other
// key, kept as it stands so a rewrite never loses it.
struct MemoCategory {
  int number = 0;
  std::vector<MemoEntry> memos;
  SettingsBatch::Entries other_keys;
};

// "3_Memo" for category 3.
std::string MemoCategorySection(int category);
// The display name: `Memo_bun` when set, else "メモ１" .. "メモ１０".
std::string MemoCategoryName(const SettingsReader& settings, int category);

// The number of a memo name "Memo" + decimal digits (no leading zero, at
// most INT_MAX; the prefix in any letter case), or nothing for any other
// key. Only such names are ever joined to a folder.
std::optional<int> MemoNumberOf(std::string_view key);
inline std::string MemoName(int number) {
  return "Memo" + std::to_string(number);
}

// The whole section, however long.
MemoCategory ReadMemoCategory(const SettingsReader& settings, int category);
std::vector<MemoCategory> ReadAllMemoCategories(const SettingsReader& settings);

// The memo's file in the memo folder.
std::string MemoFilePath(const std::string& memo_folder, int number);

struct MemoColors {
  int back = kDefaultMemoBackColor;
  int font = kDefaultMemoFontColor;
};
// The memo's own colours, else those of the `Memo` section.
MemoColors MemoColorsOf(const SettingsReader& settings,
                        std::string_view memo_name);

// The next free number: above `MemoCount`/`Count` (a negative one counts
// as 0) and not used by a file in the memo folder, a memo's own section or
// a key of any category. Past the largest int it takes the lowest free
// number instead of wrapping. Nothing only when every number is taken.
std::optional<int> NextMemoNumber(const SettingsReader& settings,
                                  const std::string& memo_folder);

// Issues a number and lists the memo, titled with its name, at the end of
// the category; one batch. The name, or nothing when the file could not be
// written.
std::optional<std::string> CreateMemo(SettingsFile& settings,
                                      const std::string& memo_folder,
                                      int category);

struct MemoDeletion {
  bool written = false;       // the settings batch is on disk
  bool file_removed = false;  // the memo had a file, now gone ("del")
};
// Erases the memo's section and rewrites its category without it (other
// memos keep their order) in one batch, then removes its file. The file
// goes only after the batch, so a kill never leaves a listed memo without
// its text.
MemoDeletion DeleteMemo(SettingsFile& settings, const std::string& memo_folder,
                        int category, std::string_view memo_name);

// Writes these categories' memo lists (their other keys as read now stay)
// in one batch: the order chosen in the sorting window, and moves between
// two categories.
bool SaveMemoCategories(SettingsFile& settings,
                        const std::vector<MemoCategory>& categories);

// Memos whose `Show` is 1, category by category in index order: the
// windows to reopen at start-up.
std::vector<std::pair<int, MemoEntry>> MemosShownAtExit(
    const SettingsReader& settings);

}  // namespace mirokata

#endif  // MIROKATA_NOTES_MEMO_STORE_H_
