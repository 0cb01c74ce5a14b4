// Any bytes as the pair of tree files (split at the first NUL; no NUL: the
// titles alone, the other file missing): reading must not crash, a tree read
// must have the shape both files give, and writing it must read back as the
// same tree. Moves and the trash follow on whatever was read.
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>

#include "notes/todo_tree.h"

namespace {

using mirokata::TodoTree;

bool SameTree(const TodoTree& a, const TodoTree& b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (a.node(i).depth != b.node(i).depth) return false;
  }
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace mirokata;
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  const size_t split = input.find('\0');
  std::optional<std::string> titles(std::string(input.substr(0, split)));
  std::optional<std::string> files;
  if (split != std::string_view::npos) {
    files = std::string(input.substr(split + 1));
  }
  TreeReadResult read = ReadTreeFiles(titles, files);
  if (!read.tree) {
    if (read.broken != kTitleTreeName && read.broken != kFileTreeName) abort();
    return 0;
  }
  TodoTree& tree = *read.tree;
  int previous = -1;
  for (const TodoNode& n : tree.nodes()) {
    if (n.depth < 0 || n.depth > previous + 1) abort();
    previous = n.depth;
  }
  const TreeFileBytes written = WriteTreeFiles(tree);
  const TreeReadResult again = ReadTreeFiles(written.titles, written.files);
  if (!again.tree || !SameTree(*again.tree, tree)) abort();
  // A few drops and the trash on what was read.
  const size_t n = tree.size();
  for (size_t i = 0; n > 0 && i < 4; ++i) {
    const size_t from = (size * 7 + i * 13) % n;
    const size_t target = (size * 3 + i * 5) % n;
    const size_t before = tree.size();
    tree.Move(from, target);
    if (tree.size() != before) abort();
  }
  if (const std::optional<size_t> trash = tree.FullTrash()) {
    tree.Remove(*trash + 1);
  }
  const TreeFileBytes after = WriteTreeFiles(tree);
  const TreeReadResult last = ReadTreeFiles(after.titles, after.files);
  if (!last.tree || !SameTree(*last.tree, tree)) abort();
  return 0;
}
