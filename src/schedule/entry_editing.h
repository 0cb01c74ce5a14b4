// What the schedule and popup editors do to the files: load an entry with
// the identity of what was read, save it (text, then the popup's options in
// one settings batch) without writing over a file another window changed or
// one that could not be read, add a popup's text to the one-day schedule of
// its date, delete file first and options after, and keep the twenty popup
// boilerplates of "Teikei".
#ifndef MIROKATA_SCHEDULE_ENTRY_EDITING_H_
#define MIROKATA_SCHEDULE_ENTRY_EDITING_H_

#include <sys/stat.h>

#include <optional>
#include <string>
#include <string_view>

#include "platform/file_io.h"
#include "schedule/entry_files.h"

namespace mirokata {

class SettingsFile;

// Which file a window loaded or last saved: absent, or device, inode, size
// and modification time. Every write replaces the file by a rename, so any
// other writer changes the stamp.
struct EntryStamp {
  bool exists = false;
  dev_t device = 0;
  ino_t inode = 0;
  off_t size = 0;
  long long mtime_ns = 0;
  bool operator==(const EntryStamp&) const = default;
};
EntryStamp StampOf(const struct stat& info);

struct LoadedEntry {
  ReadResult result = ReadResult::kMissing;  // kUnreadable: never save over it
  std::string content;                       // the file's bytes when kOk
  EntryStamp stamp;                          // what was read
};
LoadedEntry LoadEntryForEdit(EntryFolder& folder, std::string_view name);

// The stamp of the entry as it is on disk now.
EntryStamp CurrentStamp(EntryFolder& folder, std::string_view name);

enum class SaveOutcome {
  kSaved,
  kChangedElsewhere,  // the stamp differs from `expected`: ask, then force
  kUnreadable,        // the file exists but cannot be read: left alone
  kFailed,            // error says why
};
struct SaveResult {
  SaveOutcome outcome = SaveOutcome::kFailed;
  std::string error;  // UTF-8, for "保存できませんでした。\r" + error
  EntryStamp stamp;   // of the file written (kSaved)
};

// Writes `content` (RTF) as the entry `name`. Unless `force`, refuses with
// kChangedElsewhere when the file on disk is not the one `expected` says.
SaveResult SaveEntry(EntryFolder& folder, std::string_view name,
                     std::string_view content, const EntryStamp& expected,
                     bool force);

// What a popup editor owns of the options. Unset members keep what is
// stored (file and bitmap when no chooser was opened; Wallpaper and Stretch
// while the entry's own picture is missing).
struct PopupOptionEdits {
  int closetime = -1;
  std::optional<std::string> file;
  std::optional<std::string> bitmap;
  bool smtp = false;
  std::optional<bool> wallpaper;
  std::optional<bool> stretch;
  std::string execute;
  std::string execlose;
};
// Starts from the stored options of `section` and writes the result in one
// settings batch. False when the settings file could not be written.
bool SavePopupOptions(SettingsFile& settings, std::string_view section,
                      const PopupOptionEdits& edits);

// Adds the popup's plain text (UTF-8) on a line of its own after the plain
// text of the one-day schedule `schedule_name` and writes the result as RTF.
// kUnreadable when the schedule exists but cannot be read.
SaveResult AppendToOneDaySchedule(EntryFolder& folder,
                                  std::string_view schedule_name,
                                  std::string_view popup_plain_text);

// Removes the file, then (for a popup) its options section; the section
// stays when the file could not be removed. True when the entry is gone.
bool DeleteEntry(EntryFolder& folder, SettingsFile* settings,
                 std::string_view name, std::string* error);

// The popup boilerplates: slot files "<data folder>/Teikei/<slot>.rtf" and
// their titles in section Popup_Teikei, keys "0" to "19".
class BoilerplateStore {
 public:
  static constexpr int kSlots = 20;

  BoilerplateStore(SettingsFile& settings, std::string data_folder);

  // The stored title, or "定型文" + (slot + 1).
  std::string Title(int slot) const;
  static std::string DefaultTitle(int slot);
  bool SetTitle(int slot, std::string_view title);

  // Creates "Teikei" when missing; false (with the folder message in
  // *error) when it still does not exist.
  bool EnsureFolder(std::string* error) const;
  // kMissing for an empty slot.
  ReadResult Load(int slot, std::string* content) const;
  bool Save(int slot, std::string_view content, std::string* error) const;
  // Removes the slot file (when there is one) and resets the title.
  bool Delete(int slot, std::string* error);

  std::string SlotPath(int slot) const;

 private:
  SettingsFile& settings_;
  std::string data_folder_;
};

}  // namespace mirokata

#endif  // MIROKATA_SCHEDULE_ENTRY_EDITING_H_
