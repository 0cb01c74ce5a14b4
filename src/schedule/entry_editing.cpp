#include "schedule/entry_editing.h"

#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <utility>

#include "base/folders.h"
#include "base/settings_file.h"
#include "platform/messages.h"
#include "richtext/rtf_reader.h"
#include "richtext/rtf_writer.h"

namespace mirokata {
namespace {

constexpr char kBoilerplateSection[] = "Popup_Teikei";
constexpr char kBoilerplateFolder[] = "Teikei";

// The path of the entry as it is on disk now: the spelling of a regular file
// that matches without regard to case, else the name as given (so that a
// folder, pipe or other non-file of that name is found and refused).
std::string PathOnDisk(EntryFolder& folder, std::string_view name) {
  std::optional<std::string> actual = folder.Resolve(name);
  return folder.FullPath(actual ? std::string_view(*actual) : name);
}

// Reads the file at `path` with the stamp of what was read.
LoadedEntry ReadEntryAt(const std::string& path) {
  LoadedEntry loaded;
  struct stat info;
  loaded.result = ReadWholeFile(path, &loaded.content, &info);
  if (loaded.result == ReadResult::kOk) {
    loaded.stamp = StampOf(info);
  } else if (loaded.result == ReadResult::kUnreadable) {
    loaded.content.clear();
    loaded.stamp.exists = true;
    if (::stat(path.c_str(), &info) == 0) loaded.stamp = StampOf(info);
  }
  return loaded;
}

EntryStamp StampAt(const std::string& path) {
  struct stat info;
  if (::stat(path.c_str(), &info) != 0) return EntryStamp();
  return StampOf(info);
}

// A short Japanese reason why a file in `folder` could not be written or
// removed (`failed_what` when nothing about the folder explains it), with
// the system's own words after it.
std::string FailureReason(const std::string& folder, const char* failed_what,
                          const std::string& detail) {
  std::string reason;
  struct stat info;
  if (::stat(folder.c_str(), &info) != 0 || !S_ISDIR(info.st_mode)) {
    reason = "保存先のフォルダがありません。";
  } else if (::access(folder.c_str(), W_OK | X_OK) != 0) {
    reason = errno == EROFS ? "保存先は読み取り専用です。"
                            : "保存先のフォルダに書き込む権限がありません。";
  } else {
    reason = failed_what;
  }
  if (!detail.empty()) reason += "\r(" + detail + ")";
  return reason;
}

// What EnsureSubFolder would tell the user, kept for the caller to show.
class KeptMessages : public Messages {
 public:
  MessageAnswer Show(const MessageRequest& request) override {
    text = request.text;
    return DefaultAnswerOf(request);
  }
  void ShowNotice(const MessageRequest& request) override {
    text = request.text;
  }
  void Ask(const MessageRequest& request,
           std::function<void(MessageAnswer)> answered) override {
    text = request.text;
    answered(ClosedAnswerOf(request.buttons));
  }
  void Beep(MessageKind) override {}

  std::string text;
};

bool ValidSlot(int slot) {
  return slot >= 0 && slot < BoilerplateStore::kSlots;
}

}  // namespace

EntryStamp StampOf(const struct stat& info) {
  EntryStamp stamp;
  stamp.exists = true;
  stamp.device = info.st_dev;
  stamp.inode = info.st_ino;
  stamp.size = info.st_size;
  stamp.mtime_ns = static_cast<long long>(info.st_mtim.tv_sec) * 1000000000LL +
                   info.st_mtim.tv_nsec;
  return stamp;
}

LoadedEntry LoadEntryForEdit(EntryFolder& folder, std::string_view name) {
  if (!IsPlainName(name)) return LoadedEntry();
  return ReadEntryAt(PathOnDisk(folder, name));
}

EntryStamp CurrentStamp(EntryFolder& folder, std::string_view name) {
  if (!IsPlainName(name)) return EntryStamp();
  return StampAt(PathOnDisk(folder, name));
}

SaveResult SaveEntry(EntryFolder& folder, std::string_view name,
                     std::string_view content, const EntryStamp& expected,
                     bool force) {
  SaveResult result;
  if (!IsPlainName(name)) {
    result.error = "ファイル名が正しくありません。";
    return result;
  }
  // One look at the folder for the whole save: the spelling read here is
  // the one WriteContent replaces, and the folder is scanned once.
  FolderPin pin(&folder);
  const std::string path = PathOnDisk(folder, name);
  // The file as it is now, read through one open: whether it can be read
  // and which file it is.
  const LoadedEntry now = ReadEntryAt(path);
  if (now.result == ReadResult::kUnreadable) {
    result.outcome = SaveOutcome::kUnreadable;
    result.error = "ファイルを読み込めないので上書きしません。";
    result.stamp = now.stamp;
    return result;
  }
  if (!force && now.stamp != expected) {
    result.outcome = SaveOutcome::kChangedElsewhere;
    result.stamp = now.stamp;
    return result;
  }
  std::string detail;
  if (!folder.WriteContent(name, content, &detail)) {
    result.error = FailureReason(ParentFolder(folder.FullPath(name)),
                                 "ファイルに書き込めません。", detail);
    return result;
  }
  result.outcome = SaveOutcome::kSaved;
  result.stamp = StampAt(path);
  return result;
}

bool SavePopupOptions(SettingsFile& settings, std::string_view section,
                      const PopupOptionEdits& edits) {
  // The stored options, changed only where the editor owns them.
  PopupOptions options = ReadPopupOptions(settings, section);
  options.closetime = edits.closetime;
  if (edits.file) options.file = edits.file;
  if (edits.bitmap) options.bitmap = edits.bitmap;
  options.smtp = edits.smtp;
  if (edits.wallpaper) options.wallpaper = *edits.wallpaper;
  if (edits.stretch) options.stretch = *edits.stretch;
  options.execute = edits.execute;
  options.execlose = edits.execlose;
  return WritePopupOptions(settings, section, options);
}

SaveResult AppendToOneDaySchedule(EntryFolder& folder,
                                  std::string_view schedule_name,
                                  std::string_view popup_plain_text) {
  SaveResult result;
  if (!IsPlainName(schedule_name)) {
    result.error = "ファイル名が正しくありません。";
    return result;
  }
  FolderPin pin(&folder);
  const LoadedEntry schedule = ReadEntryAt(PathOnDisk(folder, schedule_name));
  if (schedule.result == ReadResult::kUnreadable) {
    result.outcome = SaveOutcome::kUnreadable;
    result.error = "スケジュールを読み込めないので追加しません。";
    result.stamp = schedule.stamp;
    return result;
  }
  if (popup_plain_text.empty()) {
    // Nothing to add: no empty schedule that would mark the day.
    result.outcome = SaveOutcome::kSaved;
    result.stamp = schedule.stamp;
    return result;
  }
  std::string text = schedule.result == ReadResult::kOk
                         ? RichTextToPlainText(schedule.content)
                         : std::string();
  // The popup's text starts a line of its own.
  if (!text.empty() && text.back() != '\n' && text.back() != '\r') {
    text += "\r\n";
  }
  text += popup_plain_text;
  // Written whatever its stamp: the popup editor holds no view of it.
  return SaveEntry(folder, schedule_name, PlainTextToRtf(text), EntryStamp(),
                   /*force=*/true);
}

bool DeleteEntry(EntryFolder& folder, SettingsFile* settings,
                 std::string_view name, std::string* error) {
  std::string detail;
  if (folder.Delete(name, settings, &detail)) return true;
  if (error) {
    if (!IsPlainName(name)) {
      *error = "ファイル名が正しくありません。";
    } else if (folder.Exists(name)) {
      *error = FailureReason(ParentFolder(folder.FullPath(name)),
                             "ファイルを削除できません。", detail);
    } else {
      // The file went; its options stay until a later delete erases them.
      *error = "設定ファイルに書き込めません。";
    }
  }
  return false;
}

BoilerplateStore::BoilerplateStore(SettingsFile& settings,
                                   std::string data_folder)
    : settings_(settings), data_folder_(std::move(data_folder)) {}

std::string BoilerplateStore::DefaultTitle(int slot) {
  return "定型文" + std::to_string(slot + 1);
}

std::string BoilerplateStore::Title(int slot) const {
  return settings_.ReadString(kBoilerplateSection, std::to_string(slot),
                              DefaultTitle(slot));
}

bool BoilerplateStore::SetTitle(int slot, std::string_view title) {
  if (!ValidSlot(slot)) return false;
  return settings_.WriteString(kBoilerplateSection, std::to_string(slot),
                               title);
}

bool BoilerplateStore::EnsureFolder(std::string* error) const {
  KeptMessages messages;
  if (EnsureSubFolder(data_folder_, kBoilerplateFolder,
                      SubFolderMode(kBoilerplateFolder), messages)) {
    return true;
  }
  if (error) *error = messages.text;
  return false;
}

std::string BoilerplateStore::SlotPath(int slot) const {
  return data_folder_ + "/" + kBoilerplateFolder + "/" + std::to_string(slot) +
         ".rtf";
}

ReadResult BoilerplateStore::Load(int slot, std::string* content) const {
  content->clear();
  if (!ValidSlot(slot)) return ReadResult::kMissing;
  return ReadWholeFile(SlotPath(slot), content);
}

bool BoilerplateStore::Save(int slot, std::string_view content,
                            std::string* error) const {
  if (!ValidSlot(slot)) {
    if (error) *error = "定型文の番号が正しくありません。";
    return false;
  }
  const std::string path = SlotPath(slot);
  std::string detail;
  if (WriteFileAtomic(path, content, PublicFileMode(), &detail)) return true;
  if (error) {
    *error =
        FailureReason(ParentFolder(path), "ファイルに書き込めません。", detail);
  }
  return false;
}

bool BoilerplateStore::Delete(int slot, std::string* error) {
  if (!ValidSlot(slot)) {
    if (error) *error = "定型文の番号が正しくありません。";
    return false;
  }
  const std::string path = SlotPath(slot);
  if (::unlink(path.c_str()) != 0 && errno != ENOENT && errno != ENOTDIR) {
    const std::string detail = std::string("delete: ") + std::strerror(errno);
    if (error) {
      *error = FailureReason(ParentFolder(path), "ファイルを削除できません。",
                             detail);
    }
    return false;
  }
  if (!settings_.WriteString(kBoilerplateSection, std::to_string(slot),
                             DefaultTitle(slot))) {
    if (error) *error = "設定ファイルに書き込めません。";
    return false;
  }
  return true;
}

}  // namespace mirokata
