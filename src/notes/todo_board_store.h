// The to-do board's files in the data folder's "Todo" folder: the two tree
// files, written together from one tree after every change, and one rich
// text file per note.
#ifndef MIROKATA_NOTES_TODO_BOARD_STORE_H_
#define MIROKATA_NOTES_TODO_BOARD_STORE_H_

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

#include "notes/todo_tree.h"

namespace mirokata {

class SettingsFile;

inline constexpr char kTodoFolderName[] = "Todo";
// Notes past this size are shown read-only and empty, never written.
inline constexpr size_t kMaxNoteBytes = size_t{16} << 20;

// A note as it was read into the text area.
struct NoteLoad {
  enum class State {
    kLoaded,      // read, `data` holds it
    kAbsent,      // no file yet: starts empty, written when typed into
    kForeign,     // a name no note file has: never read, written or deleted
    kUnreadable,  // there, but the read failed
    kTooLarge,    // more than kMaxNoteBytes
  };
  State state = State::kAbsent;
  std::string file;  // the node's file text
  std::string data;
  bool writable() const {
    return state == State::kLoaded || state == State::kAbsent;
  }
};

class TodoBoardStore {
 public:
  // `folder`: the "Todo" folder.
  explicit TodoBoardStore(std::string folder);

  const std::string& folder() const { return folder_; }
  TodoTree& tree() { return tree_; }
  const TodoTree& tree() const { return tree_; }

  // Reads both tree files. On failure the tree stays as it was (the initial
  // one) and *message says which file is broken; nothing is written.
  bool Load(std::string* message);
  // Writes both tree files from the tree.
  bool SaveTrees(std::string* error);

  // The next note file name from `Borad`/`Count`, skipping numbers whose
  // file exists or that a node names already; stores the number after it.
  std::string TakeNoteFileName(SettingsFile& settings);

  // Adds a note with that title under the first category and writes the
  // trees; the note's index, or npos when the tree has no top level.
  // *error is set when the trees could not be written (the note stays).
  size_t AddNote(SettingsFile& settings, const std::string& title,
                 std::string* error);

  NoteLoad LoadNote(size_t index) const;
  // Writes the text area back: only a note that loaded (or had no file)
  // and was changed since; true when nothing needed writing.
  bool StoreNote(const NoteLoad& loaded, bool modified, std::string_view data,
                 std::string* error);

  // Removes every child of the full trash from the tree and deletes the
  // files of the notes among them (never one another node still names);
  // `deleted` runs per deleted file. Then writes the trees. Returns the
  // trash's index, or npos when no trash holds anything. *error is set when
  // a file or the trees could not be written.
  size_t EmptyTrash(const std::function<void()>& deleted, std::string* error);

  std::string PathOf(std::string_view file) const;

 private:
  std::string folder_;
  TodoTree tree_ = TodoTree::Initial();
};

}  // namespace mirokata

#endif  // MIROKATA_NOTES_TODO_BOARD_STORE_H_
