// Every setting the preferences edit, in one table: where it is stored,
// its type, default and range, and the page, caption and help text it
// shows with. Loading, saving and the dialog all go by it.
#ifndef MIROKATA_TOOLS_PREFERENCE_TABLE_H_
#define MIROKATA_TOOLS_PREFERENCE_TABLE_H_

#include <string>
#include <string_view>
#include <vector>

namespace mirokata {

class SettingsBatch;
class SettingsReader;

enum class PreferencePage {
  kBasic,      // "基本設定"
  kExtended,   // "拡張設定"
  kHelper,     // "補助設定"
  kCalendar,   // "ｶﾚﾝﾀﾞｰ"
  kSchedule,   // "ｽｹｼﾞｭｰﾙ"
  kMemo,       // "メモ"
  kDiary,      // "日記"
  kPopup,      // "ﾎﾟｯﾌﾟｱｯﾌﾟ"
  kPhoneBook,  // "簡易電話帳"
  kVersion,    // "ﾊﾞｰｼﾞｮﾝ情報"
};
inline constexpr int kPreferencePageCount = 10;
const char* PreferencePageTitle(PreferencePage page);
// The status bar's text while the mouse is over the page; may be empty.
const char* PreferencePageHelp(PreferencePage page);

// How a value is stored. Values are held in their stored text form:
// booleans "1"/"0", integers and colours in decimal.
enum class PreferenceType {
  kBool,
  kInteger,          // clamped to [low, high]
  kOptionalInteger,  // as kInteger, or "" for a key that is absent
  kColor,            // any 32-bit colour value
  kString,
};

// The control that shows it.
enum class PreferenceControl {
  kCheck,
  kChoice,  // one of `options`, stored as its index
  kNumber,
  kText,
  kColor,
  kSound,    // the sound chooser
  kProgram,  // a file dialog
  kPicture,  // the picture chooser
  kFont,     // the installed fonts
};

struct PreferenceItem {
  std::string section;
  std::string key;
  PreferenceType type = PreferenceType::kBool;
  std::string default_value;
  int low = 0;
  int high = 0;
  PreferencePage page = PreferencePage::kBasic;
  PreferenceControl control = PreferenceControl::kCheck;
  std::string caption;
  std::string help;
  std::string group;  // the frame it sits in, when any
  std::vector<std::string> options;
  std::string unit;  // the text after a number field
  int step = 1;
};

// The table, in the order the pages show the items.
const std::vector<PreferenceItem>& PreferenceTable();
// The item's index, or -1; names match without regard to letter case.
int PreferenceIndex(std::string_view section, std::string_view key);

// The stored text a value becomes: garbage gives the default, an integer
// out of range is clamped, a boolean is "1" or "0". `present` false: the key
// is absent.
std::string NormalizePreference(const PreferenceItem& item, bool present,
                                std::string_view raw);

// The values of every item, as loaded and as edited since.
class PreferenceValues {
 public:
  // Reads every item from the settings.
  static PreferenceValues Load(const SettingsReader& settings);

  const std::string& Get(int index) const { return current_[index]; }
  int GetInt(int index) const;
  bool GetBool(int index) const;
  const std::string& Loaded(int index) const { return loaded_[index]; }
  // Sets the value, normalised as loading would.
  void Set(int index, std::string_view value);
  void SetInt(int index, int value) { Set(index, std::to_string(value)); }
  void SetBool(int index, bool value) { Set(index, value ? "1" : "0"); }
  bool Changed(int index) const { return current_[index] != loaded_[index]; }
  // Indexes of the changed items, in table order.
  std::vector<int> ChangedItems() const;
  // Writes the changed items into the batch (an optional integer set to ""
  // deletes its key).
  void WriteChanged(SettingsBatch& batch) const;
  // After a successful save: what is on disk now is the new base.
  void MarkSaved() { loaded_ = current_; }

 private:
  std::vector<std::string> loaded_;
  std::vector<std::string> current_;
};

}  // namespace mirokata

#endif  // MIROKATA_TOOLS_PREFERENCE_TABLE_H_
