// The to-do board's tree: one list of nodes in depth-first order, each with
// the title the user sees and the text that says what the node is (a
// category, the trash, or the name of the note's file). The two tree files
// are written from it and read into it as one pair.
#ifndef MIROKATA_NOTES_TODO_TREE_H_
#define MIROKATA_NOTES_TODO_TREE_H_

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace mirokata {

inline constexpr char kCategoryMark[] = "%$#Q32#$%";
inline constexpr char kTrashMark[] = "%$#G32#$%";
inline constexpr char kTitleTreeName[] = "TreeData.q32";
inline constexpr char kFileTreeName[] = "TreeFile.q32";

enum class TodoKind { kCategory, kTrash, kNote };

struct TodoNode {
  std::string title;  // UTF-8
  std::string file;   // the mark or the note's file name, UTF-8
  int depth = 0;      // 0 for the top level
  uint32_t id = 0;    // stable while the tree lives, for views
};

TodoKind KindOfFileText(std::string_view file);

// True for the names a note's file may have: digits, then ".q32" in any
// case. Any other text names nothing the board reads, writes or deletes.
bool IsNoteFileName(std::string_view name);

// A title as the tree file can carry it: line breaks, tabs and other
// control characters become spaces, leading blanks go (a reader would take
// them for depth).
std::string CleanTitle(std::string_view title);

class TodoTree {
 public:
  // "やるべきもの", "保留されているもの", "終了したもの", "ごみ箱".
  static TodoTree Initial();

  size_t size() const { return nodes_.size(); }
  bool empty() const { return nodes_.empty(); }
  const TodoNode& node(size_t i) const { return nodes_[i]; }
  const std::vector<TodoNode>& nodes() const { return nodes_; }
  TodoKind KindOf(size_t i) const { return KindOfFileText(nodes_[i].file); }

  // One past the last node of i's subtree.
  size_t SubtreeEnd(size_t i) const;
  std::optional<size_t> Parent(size_t i) const;
  std::vector<size_t> Children(size_t i) const;
  bool HasChildren(size_t i) const {
    return i + 1 < nodes_.size() && nodes_[i + 1].depth > nodes_[i].depth;
  }

  // Appends a node in depth-first order (the reader's way in); the depth
  // must be at most one deeper than the last node's.
  bool Append(std::string title, std::string file, int depth);

  // A new first child of the first top-level node; returns its index.
  std::optional<size_t> AddNote(std::string title, std::string file);

  // A note dropped on `target`: before it when it is a note, as its first
  // child when it is a category or the trash. Refused (false, nothing
  // changes) for anything but a note, for the node itself and for its own
  // subtree. *moved_to receives the note's new index.
  bool Move(size_t from, size_t target, size_t* moved_to = nullptr);

  // Titles of the trash cannot change.
  bool Rename(size_t i, std::string_view title);

  // The last trash node that holds something.
  std::optional<size_t> FullTrash() const;
  // Removes node i with its subtree.
  void Remove(size_t i);

  std::optional<size_t> IndexOfId(uint32_t id) const;

 private:
  uint32_t NewId() { return next_id_++; }
  std::vector<TodoNode> nodes_;
  uint32_t next_id_ = 1;
};

// The pair of tree files.
struct TreeFileBytes {
  std::string titles;  // "TreeData.q32"
  std::string files;   // "TreeFile.q32"
};

// Both files in the system code page, one CR LF line per node, a TAB per
// level.
TreeFileBytes WriteTreeFiles(const TodoTree& tree);

struct TreeReadResult {
  std::optional<TodoTree> tree;
  // Which file is broken when there is no tree.
  std::string broken;
};

// Reads the pair; a file that is absent is given as nullopt. Both absent
// or both empty: the initial tree. One absent, a depth jump, or files of
// different shape: no tree, and the broken file's name. No recursion, so
// any depth reads.
TreeReadResult ReadTreeFiles(const std::optional<std::string>& titles,
                             const std::optional<std::string>& files);

// "｢TreeData.q32｣が壊れているので中断します。"
std::string BrokenTreeMessage(std::string_view name);

}  // namespace mirokata

#endif  // MIROKATA_NOTES_TODO_TREE_H_
