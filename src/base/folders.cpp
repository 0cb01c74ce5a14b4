#include "base/folders.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstring>

#include "base/program_folder.h"
#include "base/settings_file.h"
#include "platform/file_io.h"
#include "platform/messages.h"

namespace mirokata {

std::string DataFolder(const Settings& settings) {
  return settings.ReadString("Calendar", "Directory", kNoDataFolder);
}

std::string PrivacyFolder(const Settings& settings) {
  std::string privacy = settings.ReadString("Privacy", "Directory", "");
  return privacy.empty() ? DataFolder(settings) : privacy;
}

void ForgetMissingDataFolder(Settings& settings) {
  const std::string folder = DataFolder(settings);
  if (!IsNoDataFolder(folder) && !FolderExists(folder)) {
    settings.WriteString("Calendar", "Directory", kNoDataFolder);
  }
}

std::string SetUpFirstDataFolder(Settings& settings,
                                 std::string_view program_folder) {
  const std::string folder = JoinPath(program_folder, "Schedule");
  mkdir(folder.c_str(), PublicFolderMode());
  settings.WriteString("Calendar", "Directory", folder);
  return folder;
}

std::optional<std::string> EnsureSubFolder(std::string_view parent,
                                           std::string_view name, mode_t mode,
                                           Messages& messages, bool wait) {
  auto tell = [&](MessageKind kind, const std::string& text) {
    const MessageRequest request(kind, text);
    if (wait) {
      messages.Show(request);
    } else {
      messages.ShowNotice(request);
    }
  };
  const std::string path = JoinPath(parent, name);
  if (!FolderExists(path)) {
    // mkdir applies the umask; chmod then gives exactly the mode asked.
    if (mkdir(path.c_str(), mode & 07777) == 0) {
      chmod(path.c_str(), mode & 07777);
    } else if (errno != EEXIST) {
      tell(MessageKind::kError,
           "フォルダを作成できません。\r" + path + "\r" + std::strerror(errno));
      return std::nullopt;
    }
  }
  if (!FolderExists(path)) {
    tell(MessageKind::kWarning, kMissingFolderMessage);
    return std::nullopt;
  }
  return path;
}

mode_t SubFolderMode(std::string_view name) {
  for (const char* own : {"Diary", "Period", "Password", "Tel"}) {
    if (name == own) return kPrivateFolderMode;
  }
  return PublicFolderMode();
}

DataFolderChoice DescribeDataFolderChoice(const std::string& chosen,
                                          bool privacy_empty) {
  DataFolderChoice choice;
  choice.stored = chosen;
  choice.is_root = !chosen.empty() && chosen.back() == '/';
  choice.privacy_follows = privacy_empty;
  return choice;
}

DataFolderChoice StoreChosenDataFolder(Settings& settings,
                                       const std::string& chosen) {
  settings.WriteString("Calendar", "Directory", chosen);
  return DescribeDataFolderChoice(
      chosen, settings.ReadString("Privacy", "Directory", "").empty());
}

std::string DescribePrivacyFolderChoice(const std::string& chosen,
                                        const std::string& shown_data_folder,
                                        std::string* stored) {
  std::string result = chosen;
  // Unlike a drive root, "/" has nothing left once its separator goes, and
  // an empty value would silently mean the data folder.
  if (result.size() > 1 && result.back() == '/') result.pop_back();
  *stored = result == shown_data_folder ? "" : result;
  return result;
}

std::string StoreChosenPrivacyFolder(Settings& settings,
                                     const std::string& chosen,
                                     const std::string& shown_data_folder) {
  std::string stored;
  std::string result =
      DescribePrivacyFolderChoice(chosen, shown_data_folder, &stored);
  settings.WriteString("Privacy", "Directory", stored);
  return result;
}

namespace {

std::string DeleteQuestion(std::string_view item) {
  std::string text = "削除しますか？";
  if (!item.empty()) text = std::string(item) + "\r" + text;
  return text;
}

}  // namespace

bool ConfirmDelete(SettingsFile& settings, Messages& messages,
                   std::string_view item, QWidget* parent) {
  if (settings.ReadInteger("Form", "Delete", 0) != 0) return true;
  return messages.AskYesNo(DeleteQuestion(item), parent);
}

void ConfirmDeleteLater(SettingsFile& settings, Messages& messages,
                        MessageRequest request, std::string_view item,
                        std::function<void(bool)> go_on) {
  if (settings.ReadInteger("Form", "Delete", 0) != 0) {
    go_on(true);
    return;
  }
  request.kind = MessageKind::kQuestion;
  request.text = DeleteQuestion(item);
  request.buttons = MessageButtons::kYesNo;
  messages.Ask(request, [go_on = std::move(go_on)](MessageAnswer answer) {
    go_on(answer == MessageAnswer::kYes);
  });
}

}  // namespace mirokata
