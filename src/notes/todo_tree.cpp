#include "notes/todo_tree.h"

#include <algorithm>
#include <iterator>
#include <utility>

#include "platform/text_codec.h"

namespace mirokata {
namespace {

struct Line {
  int depth = 0;
  std::string_view text;
};

// The lines of one file; false at a line more than one level deeper than
// the one before (the first line counts as following level -1).
bool SplitTreeLines(std::string_view data, std::vector<Line>* lines) {
  size_t pos = 0;
  int previous = -1;
  while (pos < data.size()) {
    size_t end = data.find_first_of("\r\n", pos);
    if (end == std::string_view::npos) end = data.size();
    std::string_view line = data.substr(pos, end - pos);
    pos = end;
    if (pos < data.size()) {
      pos +=
          (data[pos] == '\r' && pos + 1 < data.size() && data[pos + 1] == '\n')
              ? 2
              : 1;
    }
    if (line == "\x1A") continue;
    size_t depth = 0;
    while (depth < line.size() && (line[depth] == '\t' || line[depth] == ' ')) {
      ++depth;
    }
    if (static_cast<long long>(depth) > previous + 1LL) return false;
    previous = static_cast<int>(depth);
    lines->push_back({previous, line.substr(depth)});
  }
  return true;
}

}  // namespace

TodoKind KindOfFileText(std::string_view file) {
  if (file == kCategoryMark) return TodoKind::kCategory;
  if (file == kTrashMark) return TodoKind::kTrash;
  return TodoKind::kNote;
}

bool IsNoteFileName(std::string_view name) {
  constexpr std::string_view kSuffix = ".q32";
  if (name.size() <= kSuffix.size()) return false;
  const size_t digits = name.size() - kSuffix.size();
  for (size_t i = 0; i < digits; ++i) {
    if (name[i] < '0' || name[i] > '9') return false;
  }
  for (size_t i = 0; i < kSuffix.size(); ++i) {
    char c = name[digits + i];
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    if (c != kSuffix[i]) return false;
  }
  return true;
}

std::string CleanTitle(std::string_view title) {
  std::string out(title);
  for (char& c : out) {
    if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) c = ' ';
  }
  const size_t first = out.find_first_not_of(' ');
  return first == std::string::npos ? std::string() : out.substr(first);
}

TodoTree TodoTree::Initial() {
  TodoTree tree;
  tree.Append("やるべきもの", kCategoryMark, 0);
  tree.Append("保留されているもの", kCategoryMark, 0);
  tree.Append("終了したもの", kCategoryMark, 0);
  tree.Append("ごみ箱", kTrashMark, 0);
  return tree;
}

size_t TodoTree::SubtreeEnd(size_t i) const {
  size_t end = i + 1;
  while (end < nodes_.size() && nodes_[end].depth > nodes_[i].depth) ++end;
  return end;
}

std::optional<size_t> TodoTree::Parent(size_t i) const {
  const int depth = nodes_[i].depth;
  if (depth == 0) return std::nullopt;
  for (size_t p = i; p-- > 0;) {
    if (nodes_[p].depth < depth) return p;
  }
  return std::nullopt;
}

std::vector<size_t> TodoTree::Children(size_t i) const {
  std::vector<size_t> children;
  const int depth = nodes_[i].depth;
  for (size_t c = i + 1; c < nodes_.size() && nodes_[c].depth > depth; ++c) {
    if (nodes_[c].depth == depth + 1) children.push_back(c);
  }
  return children;
}

bool TodoTree::Append(std::string title, std::string file, int depth) {
  const int previous = nodes_.empty() ? -1 : nodes_.back().depth;
  if (depth < 0 || depth > previous + 1) return false;
  nodes_.push_back({std::move(title), std::move(file), depth, NewId()});
  return true;
}

std::optional<size_t> TodoTree::AddNote(std::string title, std::string file) {
  if (nodes_.empty()) return std::nullopt;
  nodes_.insert(nodes_.begin() + 1, TodoNode{CleanTitle(title), std::move(file),
                                             nodes_[0].depth + 1, NewId()});
  return 1;
}

bool TodoTree::Move(size_t from, size_t target, size_t* moved_to) {
  if (from >= nodes_.size() || target >= nodes_.size()) return false;
  if (KindOf(from) != TodoKind::kNote) return false;
  const size_t end = SubtreeEnd(from);
  if (target >= from && target < end) return false;
  const bool before = KindOf(target) == TodoKind::kNote;
  const int new_depth = nodes_[target].depth + (before ? 0 : 1);
  const int shift = new_depth - nodes_[from].depth;
  std::vector<TodoNode> moving(std::make_move_iterator(nodes_.begin() + from),
                               std::make_move_iterator(nodes_.begin() + end));
  for (TodoNode& n : moving) n.depth += shift;
  nodes_.erase(nodes_.begin() + from, nodes_.begin() + end);
  size_t at = target > from ? target - (end - from) : target;
  if (!before) ++at;
  nodes_.insert(nodes_.begin() + at, std::make_move_iterator(moving.begin()),
                std::make_move_iterator(moving.end()));
  if (moved_to) *moved_to = at;
  return true;
}

bool TodoTree::Rename(size_t i, std::string_view title) {
  if (i >= nodes_.size() || KindOf(i) == TodoKind::kTrash) return false;
  nodes_[i].title = CleanTitle(title);
  return true;
}

std::optional<size_t> TodoTree::FullTrash() const {
  for (size_t i = nodes_.size(); i-- > 0;) {
    if (KindOf(i) == TodoKind::kTrash && HasChildren(i)) return i;
  }
  return std::nullopt;
}

void TodoTree::Remove(size_t i) {
  if (i >= nodes_.size()) return;
  nodes_.erase(nodes_.begin() + i, nodes_.begin() + SubtreeEnd(i));
}

std::optional<size_t> TodoTree::IndexOfId(uint32_t id) const {
  for (size_t i = 0; i < nodes_.size(); ++i) {
    if (nodes_[i].id == id) return i;
  }
  return std::nullopt;
}

TreeFileBytes WriteTreeFiles(const TodoTree& tree) {
  TreeFileBytes out;
  for (const TodoNode& n : tree.nodes()) {
    out.titles.append(static_cast<size_t>(n.depth), '\t');
    out.titles += Utf8ToCp932(CleanTitle(n.title));
    out.titles += "\r\n";
    out.files.append(static_cast<size_t>(n.depth), '\t');
    out.files += Utf8ToCp932(CleanTitle(n.file));
    out.files += "\r\n";
  }
  return out;
}

TreeReadResult ReadTreeFiles(const std::optional<std::string>& titles,
                             const std::optional<std::string>& files) {
  TreeReadResult result;
  if (!titles && !files) {
    result.tree = TodoTree::Initial();
    return result;
  }
  if (!titles || !files) {
    result.broken = titles ? kFileTreeName : kTitleTreeName;
    return result;
  }
  std::vector<Line> title_lines;
  std::vector<Line> file_lines;
  if (!SplitTreeLines(*titles, &title_lines)) {
    result.broken = kTitleTreeName;
    return result;
  }
  if (!SplitTreeLines(*files, &file_lines)) {
    result.broken = kFileTreeName;
    return result;
  }
  if (title_lines.empty() && file_lines.empty()) {
    result.tree = TodoTree::Initial();
    return result;
  }
  bool same_shape = title_lines.size() == file_lines.size();
  for (size_t i = 0; same_shape && i < title_lines.size(); ++i) {
    same_shape = title_lines[i].depth == file_lines[i].depth;
  }
  if (!same_shape) {
    result.broken = kFileTreeName;
    return result;
  }
  TodoTree tree;
  for (size_t i = 0; i < title_lines.size(); ++i) {
    tree.Append(Cp932ToUtf8(title_lines[i].text),
                Cp932ToUtf8(file_lines[i].text), title_lines[i].depth);
  }
  result.tree = std::move(tree);
  return result;
}

std::string BrokenTreeMessage(std::string_view name) {
  return "｢" + std::string(name) + "｣が壊れているので中断します。";
}

}  // namespace mirokata
