// The data folder, the privacy folder and their sub-folders.
#ifndef MIROKATA_BASE_FOLDERS_H_
#define MIROKATA_BASE_FOLDERS_H_

#include <sys/types.h>

#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "platform/messages.h"

class QWidget;

namespace mirokata {

class Settings;
class SettingsFile;

// `Calendar`/`Directory` when no data folder has been chosen yet.
inline constexpr char kNoDataFolder[] = ".";

inline constexpr char kMissingFolderMessage[] =
    "保存先ディレクトリが無いので\r処理を中断します。";
inline constexpr char kDataFolderNotice[] =
    "専用のフォルダは用意しましたか？\rスケジュールデータを格納するフォルダに"
    "他のファイルが存在するとエラーになります。\r\rまた、既に設定しているので"
    "あれば特に変更する必要がありますか？";
inline constexpr char kRootFolderWarning[] =
    "ルートが設定されています。\rサブディレクトリに再設定してください。";
inline constexpr char kPrivacyFolderNotice[] =
    "日記や、Periodのデータが他人に見られたくない等の理由から\rフロッピー,MO,"
    "ZIP等の取り外し可能なメディアに記録したい場合のみ\r設定するものです。本当"
    "に"
    "必要ですか？";

// The `Directory` text of section `Calendar`, exactly as stored.
std::string DataFolder(const Settings& settings);
inline bool IsNoDataFolder(std::string_view folder) {
  return folder == kNoDataFolder;
}
// The `Directory` text of section `Privacy`, or the data folder when empty.
std::string PrivacyFolder(const Settings& settings);

// Every start: a chosen data folder that no longer exists is forgotten, so
// the next data command sends the user to the preferences.
void ForgetMissingDataFolder(Settings& settings);

// First start: creates ProgramFolder "/Schedule" (a failure is ignored)
// and stores it as the data folder. Returns the stored text.
std::string SetUpFirstDataFolder(Settings& settings,
                                 std::string_view program_folder);

// The sub-folder parent + "/" + name, created when missing with exactly
// `mode` (the umask plays no part; a folder that exists keeps its mode). On
// failure the user is told why and nothing is returned; the caller's
// command stops. With `wait` false the box never waits (code the tick
// reaches).
std::optional<std::string> EnsureSubFolder(std::string_view parent,
                                           std::string_view name, mode_t mode,
                                           Messages& messages,
                                           bool wait = true);

// The mode each data sub-folder is created with: the privacy
// folder's "Diary" and "Period", and the "Password" lock data and the "Tel"
// phone book (other people's numbers and addresses) are 0700; "Teikei",
// "Todo", "Memo" and anything else get PublicFolderMode() (0755 under the
// usual umask 022).
mode_t SubFolderMode(std::string_view name);

// The folder buttons of the preferences. `chosen` comes from the folder
// chooser (the caller has shown the notice and handled Cancel).
struct DataFolderChoice {
  std::string stored;            // now `Calendar`/`Directory`
  bool is_root = false;          // warn with kRootFolderWarning
  bool privacy_follows = false;  // the privacy folder shows this one too
};
DataFolderChoice StoreChosenDataFolder(Settings& settings,
                                       const std::string& chosen);
// The same choice without writing it: `privacy_empty` says whether the
// privacy folder is stored as empty (following the data folder).
DataFolderChoice DescribeDataFolderChoice(const std::string& chosen,
                                          bool privacy_empty);

// Returns the privacy folder to show. One trailing separator is dropped
// (but "/" stays "/"); the data folder itself is stored as empty.
std::string StoreChosenPrivacyFolder(Settings& settings,
                                     const std::string& chosen,
                                     const std::string& shown_data_folder);
// The same without writing: the folder to show, and in `stored` what
// `Privacy`/`Directory` becomes.
std::string DescribePrivacyFolderChoice(const std::string& chosen,
                                        const std::string& shown_data_folder,
                                        std::string* stored);

// Asks "削除しますか？" (with the item's name on a line of its own when
// given) unless `Form`/`Delete` is not 0. True when the delete may go on.
bool ConfirmDelete(SettingsFile& settings, Messages& messages,
                   std::string_view item = {}, QWidget* parent = nullptr);

// The same question without waiting: `go_on` runs with true (at once when
// `Form`/`Delete` is not 0) or false later, from the event loop. `request`
// places the box; its kind, text and buttons are set here.
void ConfirmDeleteLater(SettingsFile& settings, Messages& messages,
                        MessageRequest request, std::string_view item,
                        std::function<void(bool)> go_on);

}  // namespace mirokata

#endif  // MIROKATA_BASE_FOLDERS_H_
