#include "notes/todo_board_store.h"

#include <errno.h>
#include <string.h>
#include <unistd.h>

#include <algorithm>
#include <climits>
#include <filesystem>
#include <optional>
#include <unordered_map>
#include <unordered_set>
#include <utility>

#include "base/settings_file.h"
#include "platform/file_io.h"

namespace mirokata {
namespace {

constexpr char kCountSection[] = "Borad";
constexpr char kCountKey[] = "Count";

std::string Lower(std::string_view text) {
  std::string out(text);
  for (char& c : out) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return out;
}

// Reads a tree file; false with *message for one that is there but cannot
// be read.
bool ReadTreeFile(const std::string& path, std::optional<std::string>* data) {
  std::string bytes;
  switch (ReadWholeFile(path, &bytes)) {
    case ReadResult::kOk:
      *data = std::move(bytes);
      return true;
    case ReadResult::kMissing:
      data->reset();
      return true;
    case ReadResult::kUnreadable:
      break;
  }
  return false;
}

}  // namespace

TodoBoardStore::TodoBoardStore(std::string folder)
    : folder_(std::move(folder)) {}

std::string TodoBoardStore::PathOf(std::string_view file) const {
  return folder_ + "/" + std::string(file);
}

bool TodoBoardStore::Load(std::string* message) {
  std::optional<std::string> titles;
  std::optional<std::string> files;
  if (!ReadTreeFile(PathOf(kTitleTreeName), &titles)) {
    *message = BrokenTreeMessage(kTitleTreeName);
    return false;
  }
  if (!ReadTreeFile(PathOf(kFileTreeName), &files)) {
    *message = BrokenTreeMessage(kFileTreeName);
    return false;
  }
  TreeReadResult read = ReadTreeFiles(titles, files);
  if (!read.tree) {
    *message = BrokenTreeMessage(read.broken);
    return false;
  }
  tree_ = std::move(*read.tree);
  return true;
}

bool TodoBoardStore::SaveTrees(std::string* error) {
  const TreeFileBytes bytes = WriteTreeFiles(tree_);
  std::string why;
  if (!WriteFileAtomic(PathOf(kTitleTreeName), bytes.titles, PublicFileMode(),
                       &why)) {
    if (error) *error = PathOf(kTitleTreeName) + "\r" + why;
    return false;
  }
  if (!WriteFileAtomic(PathOf(kFileTreeName), bytes.files, PublicFileMode(),
                       &why)) {
    if (error) *error = PathOf(kFileTreeName) + "\r" + why;
    return false;
  }
  return true;
}

std::string TodoBoardStore::TakeNoteFileName(SettingsFile& settings) {
  std::unordered_set<std::string> taken;
  for (const TodoNode& n : tree_.nodes()) {
    if (IsNoteFileName(n.file)) taken.insert(Lower(n.file));
  }
  std::error_code ec;
  for (std::filesystem::directory_iterator it(folder_, ec), end;
       !ec && it != end; it.increment(ec)) {
    const std::string name = it->path().filename().string();
    if (IsNoteFileName(name)) taken.insert(Lower(name));
  }
  Settings s = settings.Open();
  int n = s.ReadInteger(kCountSection, kCountKey, 0);
  if (n < 0 || n == INT_MAX) n = 0;
  const int start = n;
  while (taken.count(std::to_string(n) + ".q32")) {
    n = n == INT_MAX - 1 ? 0 : n + 1;
    if (n == start) break;  // every number taken: cannot happen in practice
  }
  s.WriteInteger(kCountSection, kCountKey, n + 1);
  return std::to_string(n) + ".q32";
}

size_t TodoBoardStore::AddNote(SettingsFile& settings, const std::string& title,
                               std::string* error) {
  if (tree_.empty()) return std::string::npos;
  const std::optional<size_t> at =
      tree_.AddNote(title, TakeNoteFileName(settings));
  if (!at) return std::string::npos;
  SaveTrees(error);
  return *at;
}

NoteLoad TodoBoardStore::LoadNote(size_t index) const {
  NoteLoad load;
  if (index >= tree_.size()) return load;
  load.file = tree_.node(index).file;
  if (!IsNoteFileName(load.file)) {
    load.state = NoteLoad::State::kForeign;
    return load;
  }
  switch (ReadFileHead(PathOf(load.file), kMaxNoteBytes + 1, &load.data)) {
    case ReadResult::kOk:
      load.state = load.data.size() > kMaxNoteBytes ? NoteLoad::State::kTooLarge
                                                    : NoteLoad::State::kLoaded;
      break;
    case ReadResult::kMissing:
      load.state = NoteLoad::State::kAbsent;
      break;
    case ReadResult::kUnreadable:
      load.state = NoteLoad::State::kUnreadable;
      break;
  }
  if (load.state != NoteLoad::State::kLoaded) load.data.clear();
  return load;
}

bool TodoBoardStore::StoreNote(const NoteLoad& loaded, bool modified,
                               std::string_view data, std::string* error) {
  if (!modified || !loaded.writable() || !IsNoteFileName(loaded.file)) {
    return true;
  }
  std::string why;
  if (!WriteFileAtomic(PathOf(loaded.file), data, PublicFileMode(), &why)) {
    if (error) *error = PathOf(loaded.file) + "\r" + why;
    return false;
  }
  return true;
}

size_t TodoBoardStore::EmptyTrash(const std::function<void()>& deleted,
                                  std::string* error) {
  const std::optional<size_t> trash = tree_.FullTrash();
  if (!trash) return std::string::npos;
  const size_t first = *trash + 1;
  const size_t end = tree_.SubtreeEnd(*trash);
  // A file another node still names stays (two nodes may share one).
  std::unordered_map<std::string, int> outside;
  for (size_t i = 0; i < tree_.size(); ++i) {
    if (i >= first && i < end) continue;
    if (IsNoteFileName(tree_.node(i).file))
      ++outside[Lower(tree_.node(i).file)];
  }
  std::string why;
  const std::vector<size_t> children = tree_.Children(*trash);
  for (size_t c = children.size(); c-- > 0;) {
    const size_t child = children[c];
    bool failed = false;
    for (size_t i = tree_.SubtreeEnd(child); i-- > child;) {
      const std::string& file = tree_.node(i).file;
      if (!IsNoteFileName(file) || outside.count(Lower(file))) continue;
      if (::unlink(PathOf(file).c_str()) == 0) {
        if (deleted) deleted();
      } else if (errno != ENOENT) {
        why = PathOf(file) + "\r" + strerror(errno);
        failed = true;
      }
    }
    // A note whose file could not go stays in the trash.
    if (!failed) tree_.Remove(child);
  }
  std::string save_error;
  const bool saved = SaveTrees(&save_error);
  if (error) {
    if (!why.empty()) {
      *error = why;
    } else if (!saved) {
      *error = save_error;
    }
  }
  return *trash;
}

}  // namespace mirokata
