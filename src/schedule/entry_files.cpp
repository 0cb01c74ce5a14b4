#include "schedule/entry_files.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <unordered_set>

#include "base/settings_file.h"
#include "schedule/entry_name.h"

namespace mirokata {

bool IsPlainName(std::string_view name) {
  return !name.empty() && name != "." && name != ".." &&
         name.find('/') == std::string_view::npos &&
         name.find('\0') == std::string_view::npos;
}

EntryFolder::EntryFolder(std::string folder, FolderIndex::WallClock clock)
    : folder_(std::move(folder)),
      index_(folder_.empty() ? std::string(".") : folder_, std::move(clock)) {}

std::string EntryFolder::FullPath(std::string_view name) const {
  std::string path = folder_.empty() ? std::string(".") : folder_;
  path += '/';
  path += name;
  return path;
}

std::shared_ptr<const FolderSnapshot> EntryFolder::Snapshot() {
  if (pins_ == 0) return index_.Refresh();
  if (!pinned_) pinned_ = index_.Refresh();
  return pinned_;
}

FolderPin::FolderPin(EntryFolder* folder) : folder_(folder) {
  if (folder_) ++folder_->pins_;
}

FolderPin::~FolderPin() {
  if (folder_ && --folder_->pins_ == 0) folder_->pinned_.reset();
}

bool EntryFolder::Exists(std::string_view name) {
  return Snapshot()->Contains(name);
}

std::optional<std::string> EntryFolder::Resolve(std::string_view name) {
  auto snapshot = Snapshot();
  if (const std::string* actual = snapshot->Find(name)) return *actual;
  return std::nullopt;
}

std::vector<std::string> EntryFolder::List(std::string_view pattern) {
  std::vector<std::string> names;
  Snapshot()->Match(pattern, &names);
  return names;
}

ReadResult EntryFolder::ReadContent(std::string_view name, std::string* content,
                                    size_t max_bytes) {
  content->clear();
  if (!IsPlainName(name)) return ReadResult::kMissing;
  std::optional<std::string> actual = Resolve(name);
  if (!actual) return ReadResult::kMissing;
  return ReadFileHead(FullPath(*actual), max_bytes, content);
}

bool EntryFolder::WriteContent(std::string_view name, std::string_view content,
                               std::string* error) {
  if (!IsPlainName(name) || !ParseEntryName(name)) {
    if (error) *error = "not an entry name: " + std::string(name);
    return false;
  }
  std::optional<std::string> actual = Resolve(name);
  pinned_.reset();
  return WriteFileAtomic(FullPath(actual ? *actual : std::string(name)),
                         content, PublicFileMode(), error);
}

EntryFolder::NewEntriesResult EntryFolder::WriteNewEntries(
    const std::vector<NewEntry>& entries, bool dry_run) {
  NewEntriesResult result;
  const std::shared_ptr<const FolderSnapshot> before = Snapshot();
  std::unordered_set<std::string> taken;
  std::vector<size_t> to_write;
  for (size_t i = 0; i < entries.size(); ++i) {
    const NewEntry& e = entries[i];
    if (!IsPlainName(e.name) || !ParseEntryName(e.name)) {
      result.failed.emplace_back(i, "not an entry name");
      continue;
    }
    if (before->Contains(e.name) || !taken.insert(UpperAscii(e.name)).second) {
      result.existing.push_back(i);
      continue;
    }
    to_write.push_back(i);
  }
  if (dry_run) {
    for (size_t i : to_write) result.written.push_back(entries[i].name);
    return result;
  }
  std::vector<NewFile> files;
  files.reserve(to_write.size());
  for (size_t i : to_write)
    files.push_back({entries[i].name, entries[i].content});
  // The names were looked for in every letter case above; the write itself
  // refuses one that turned up since in this very spelling.
  const std::vector<NewFileResult> done = WriteNewFiles(
      folder_.empty() ? std::string(".") : folder_, files, PublicFileMode());
  pinned_.reset();
  for (size_t k = 0; k < to_write.size(); ++k) {
    const size_t i = to_write[k];
    switch (done[k].state) {
      case NewFileResult::kWritten:
        result.written.push_back(entries[i].name);
        break;
      case NewFileResult::kExists:
        result.existing.push_back(i);
        break;
      case NewFileResult::kFailed:
        result.failed.emplace_back(i, done[k].error);
        break;
    }
  }
  std::sort(result.existing.begin(), result.existing.end());
  std::sort(result.failed.begin(), result.failed.end());
  return result;
}

bool EntryFolder::Delete(std::string_view name, SettingsFile* settings,
                         std::string* error) {
  if (!IsPlainName(name)) {
    if (error) *error = "not an entry name: " + std::string(name);
    return false;
  }
  // Every spelling of the name goes, so that no case twin turns up later
  // under the same options section.
  std::vector<std::string> removed;
  for (;;) {
    std::optional<std::string> actual = Resolve(name);
    if (!actual ||
        std::find(removed.begin(), removed.end(), *actual) != removed.end()) {
      break;
    }
    pinned_.reset();
    if (::unlink(FullPath(*actual).c_str()) != 0 && errno != ENOENT) {
      if (error) *error = std::string("delete: ") + std::strerror(errno);
      return false;
    }
    removed.push_back(*actual);
  }
  if (settings != nullptr && IsPopupClass(ClassifyEntryName(name))) {
    Settings session = settings->Open();
    if (session.HasSection(FullPath(name)) &&
        !session.EraseSection(FullPath(name))) {
      if (error) *error = "the settings file could not be written";
      return false;
    }
  }
  return true;
}

PopupOptions ReadPopupOptions(SettingsFile& settings,
                              std::string_view section) {
  Settings s = settings.Open();
  PopupOptions o;
  o.closetime = s.ReadInteger(section, "closetime", -1);
  if (s.HasKey(section, "file")) o.file = s.ReadString(section, "file", "");
  if (s.HasKey(section, "bitmap")) {
    o.bitmap = s.ReadString(section, "bitmap", "");
  }
  o.smtp = s.ReadBool(section, "Smtp", false);
  o.wallpaper = s.ReadBool(section, "Wallpaper", false);
  o.stretch = s.ReadBool(section, "Stretch", false);
  o.execute = s.ReadString(section, "Execute", "");
  o.execlose = s.ReadString(section, "Execlose", "");
  return o;
}

bool WritePopupOptions(SettingsFile& settings, std::string_view section,
                       const PopupOptions& o) {
  // One batch: a kill never leaves old and new options mixed.
  return settings.Batch([&](SettingsBatch& b) {
    b.WriteInteger(section, "closetime", o.closetime);
    if (o.file) {
      b.WriteString(section, "file", *o.file);
    } else {
      b.DeleteKey(section, "file");
    }
    if (o.bitmap) {
      b.WriteString(section, "bitmap", *o.bitmap);
    } else {
      b.DeleteKey(section, "bitmap");
    }
    b.WriteBool(section, "Smtp", o.smtp);
    b.WriteBool(section, "Wallpaper", o.wallpaper);
    b.WriteBool(section, "Stretch", o.stretch);
    b.WriteString(section, "Execute", o.execute);
    b.WriteString(section, "Execlose", o.execlose);
  });
}

}  // namespace mirokata
