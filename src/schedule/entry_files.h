// Entry files in the data folder: full paths, content, deletion, and the
// per-popup options kept in the settings file under the popup's full path.
//
// Entry content is opaque bytes here (rich text as the editors saved it).
// Every lookup goes through the folder index, so names match without regard
// to letter case and a file written or removed a moment ago is seen.
#ifndef MIROKATA_SCHEDULE_ENTRY_FILES_H_
#define MIROKATA_SCHEDULE_ENTRY_FILES_H_

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/file_io.h"
#include "schedule/folder_index.h"

namespace mirokata {

class SettingsFile;

// A plain name inside the folder: nothing that reaches elsewhere (not empty,
// "." or "..", no "/" and no NUL).
bool IsPlainName(std::string_view name);

class EntryFolder {
 public:
  // folder: the data folder text as configured (used verbatim in paths and
  // in the names of the PopupOptions sections).
  explicit EntryFolder(std::string folder,
                       FolderIndex::WallClock clock = nullptr);

  const std::string& folder() const { return folder_; }

  // Folder text + "/" + name, never normalised (a folder text ending with
  // a separator gives two in a row), like every other data path, so that
  // the text names a popup's options section the same way everywhere. An
  // empty folder text stands for ".".
  std::string FullPath(std::string_view name) const;

  // The folder as it is now, or the pinned look while a FolderPin lives.
  std::shared_ptr<const FolderSnapshot> Snapshot();
  FolderIndex& index() { return index_; }

  bool Exists(std::string_view name);
  // The on-disk spelling of a name, ignoring letter case.
  std::optional<std::string> Resolve(std::string_view name);
  // Files matching a wildcard pattern, ascending by name.
  std::vector<std::string> List(std::string_view pattern);

  // The file's bytes, at most `max_bytes` of its start; kMissing when there
  // is no such entry.
  ReadResult ReadContent(std::string_view name, std::string* content,
                         size_t max_bytes = SIZE_MAX);

  // Creates or atomically replaces the entry. An existing file whose name
  // differs only in case is the one replaced. Refuses (false, *error set)
  // names that are no entry name.
  bool WriteContent(std::string_view name, std::string_view content,
                    std::string* error = nullptr);

  // New entries in one go (an import): each written atomically like
  // WriteContent, but one whose name the folder holds already in any
  // letter case, or an earlier item of the same batch, is left alone and
  // reported; so is one that appears in the folder while the batch is
  // written. One look at the folder and one disk flush per few hundred
  // files (WriteNewFiles) serve the whole batch: thousands of new files
  // cost one scan, not one each. dry_run writes nothing and reports what
  // would be written.
  struct NewEntry {
    std::string name;
    std::string content;
  };
  struct NewEntriesResult {
    std::vector<std::string> written;
    std::vector<size_t> existing;                        // batch indexes
    std::vector<std::pair<size_t, std::string>> failed;  // index, error
  };
  NewEntriesResult WriteNewEntries(const std::vector<NewEntry>& entries,
                                   bool dry_run = false);

  // Removes the entry file; for a popup also erases its options section
  // (when settings is given). True when the file is gone afterwards. The
  // section is kept when the file could not be removed.
  bool Delete(std::string_view name, SettingsFile* settings,
              std::string* error = nullptr);

 private:
  friend class FolderPin;

  const std::string folder_;
  FolderIndex index_;
  int pins_ = 0;
  std::shared_ptr<const FolderSnapshot> pinned_;
};

// One look at the folder for a whole operation (re-colouring a month,
// building a day's lines, the popups of a minute): the first lookup
// revalidates the index and every later one of the operation reuses that
// snapshot. Without it, a folder changed in the last two seconds would be
// rescanned at each of the operation's dozens of lookups. The operation's
// own writes and deletes drop the pinned look, so they are seen at once.
// Pins nest; a null folder pins nothing.
class FolderPin {
 public:
  explicit FolderPin(EntryFolder* folder);
  ~FolderPin();
  FolderPin(const FolderPin&) = delete;
  FolderPin& operator=(const FolderPin&) = delete;

 private:
  EntryFolder* folder_;
};

// The options of one popup, in the section named by its full path.
struct PopupOptions {
  int closetime = -1;               // seconds; -1 stays open; 0 shows no window
  std::optional<std::string> file;  // absent: the global sound
  std::optional<std::string> bitmap;  // absent: the global picture
  bool smtp = false;
  bool wallpaper = false;
  bool stretch = false;
  std::string execute;   // program or document, "?" before parameters
  std::string execlose;  // part of a window title to close
  bool operator==(const PopupOptions&) const = default;
};

PopupOptions ReadPopupOptions(SettingsFile& settings, std::string_view section);
// Writes every key (file and bitmap are removed when absent) in one settings
// batch. False when the settings file could not be written.
bool WritePopupOptions(SettingsFile& settings, std::string_view section,
                       const PopupOptions& options);

}  // namespace mirokata

#endif  // MIROKATA_SCHEDULE_ENTRY_FILES_H_
