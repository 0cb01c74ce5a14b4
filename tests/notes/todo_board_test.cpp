#include <gtest/gtest.h>
#include <sys/stat.h>

#include <climits>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "base/settings_file.h"
#include "notes/todo_board_store.h"
#include "notes/todo_tree.h"
#include "platform/file_io.h"
#include "platform/text_codec.h"
#include "support/temp_folder.h"

namespace mirokata {
namespace {

std::string Slurp(const std::string& path) {
  std::string data;
  ReadWholeFile(path, &data);
  return data;
}

// Titles and file texts, one "depth:title|file" per node.
std::string Shape(const TodoTree& tree) {
  std::string out;
  for (const TodoNode& n : tree.nodes()) {
    out += std::to_string(n.depth) + ":" + n.title + "|" + n.file + "\n";
  }
  return out;
}

std::optional<size_t> FindTitle(const TodoTree& tree, const std::string& t) {
  for (size_t i = 0; i < tree.size(); ++i) {
    if (tree.node(i).title == t) return i;
  }
  return std::nullopt;
}

class TodoBoardTest : public ::testing::Test {
 protected:
  TodoBoardTest()
      : todo_(data_ / "Todo"),
        settings_(data_ / "mirokata.ini"),
        store_(todo_) {
    std::filesystem::create_directory(todo_);
  }
  void WritePair(const std::string& titles, const std::string& files) {
    std::ofstream(todo_ + "/" + kTitleTreeName, std::ios::binary)
        << Utf8ToCp932(titles);
    std::ofstream(todo_ + "/" + kFileTreeName, std::ios::binary)
        << Utf8ToCp932(files);
  }
  // The store reloaded from disk.
  TodoTree Reloaded() {
    TodoBoardStore again(todo_);
    std::string message;
    EXPECT_TRUE(again.Load(&message)) << message;
    return again.tree();
  }

  TempFolder data_;
  std::string todo_;
  SettingsFile settings_;
  TodoBoardStore store_;
};

TEST(TodoTreeTest, InitialContent) {
  EXPECT_EQ(Shape(TodoTree::Initial()),
            "0:やるべきもの|%$#Q32#$%\n0:保留されているもの|%$#Q32#$%\n"
            "0:終了したもの|%$#Q32#$%\n0:ごみ箱|%$#G32#$%\n");
}

TEST(TodoTreeTest, NoteFileNames) {
  struct Case {
    const char* name;
    bool note;
  } cases[] = {
      {"0.q32", true},
      {"12.q32", true},
      {"12.Q32", true},
      {"007.q32", true},
      {".q32", false},
      {"1.q32 ", false},
      {"../../.bashrc", false},
      {"../1.q32", false},
      {"/etc/passwd", false},
      {"1.q32/..", false},
      {"1a.q32", false},
      {"%$#Q32#$%", false},
      {"", false},
      {"１.q32", false},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(IsNoteFileName(c.name), c.note) << c.name;
  }
}

TEST_F(TodoBoardTest, NumberingSkipsUsedNumbers) {
  struct Case {
    std::optional<int> count;
    std::vector<std::string> files_on_disk;
    std::vector<std::string> names_in_tree;
    std::string expected;
  } cases[] = {
      {std::nullopt, {}, {}, "0.q32"},
      {3, {}, {}, "3.q32"},
      {0, {"0.q32"}, {}, "1.q32"},
      {0, {"0.Q32", "1.q32"}, {}, "2.q32"},
      {0, {}, {"0.q32", "1.Q32"}, "2.q32"},
      {0, {"1.q32"}, {"0.q32", "2.q32"}, "3.q32"},
      {-5, {}, {}, "0.q32"},
      {INT_MAX, {}, {}, "0.q32"},
      {5, {"notes.txt", "5.rtf"}, {"5"}, "5.q32"},
  };
  for (const Case& c : cases) {
    TempFolder data;
    std::filesystem::create_directory(data / "Todo");
    SettingsFile settings(data / "mirokata.ini");
    if (c.count) settings.WriteInteger("Borad", "Count", *c.count);
    for (const std::string& f : c.files_on_disk) data.Touch("Todo/" + f);
    TodoBoardStore store(data / "Todo");
    for (const std::string& n : c.names_in_tree) store.tree().AddNote("t", n);
    const std::string name = store.TakeNoteFileName(settings);
    EXPECT_EQ(name, c.expected) << c.expected;
    EXPECT_EQ(settings.ReadInteger("Borad", "Count", -1),
              std::stoi(c.expected) + 1);
  }
}

TEST_F(TodoBoardTest, AddPutsTheNewestFirstAndWritesBothFiles) {
  std::string error;
  EXPECT_EQ(store_.AddNote(settings_, "first", &error), 1u);
  EXPECT_EQ(store_.AddNote(settings_, "second", &error), 1u);
  EXPECT_TRUE(error.empty()) << error;
  const std::string expected =
      "0:やるべきもの|%$#Q32#$%\n1:second|1.q32\n1:first|0.q32\n"
      "0:保留されているもの|%$#Q32#$%\n0:終了したもの|%$#Q32#$%\n"
      "0:ごみ箱|%$#G32#$%\n";
  EXPECT_EQ(Shape(store_.tree()), expected);
  EXPECT_EQ(Shape(Reloaded()), expected);
  EXPECT_EQ(Slurp(todo_ + "/TreeFile.q32"),
            "%$#Q32#$%\r\n\t1.q32\r\n\t0.q32\r\n%$#Q32#$%\r\n%$#Q32#$%\r\n"
            "%$#G32#$%\r\n");
}

TEST_F(TodoBoardTest, AddWithoutTheFolderReportsTheFailedWrite) {
  std::filesystem::remove(todo_);
  std::string error;
  EXPECT_EQ(store_.AddNote(settings_, "n", &error), 1u);
  EXPECT_NE(error.find("TreeData.q32"), std::string::npos) << error;
}

TEST(TodoTreeTest, Drops) {
  // Tree: やるべきもの{a, b{b1}}, 保留されているもの, 終了したもの{c}, ごみ箱.
  auto make = [] {
    TodoTree t;
    t.Append("やるべきもの", kCategoryMark, 0);
    t.Append("a", "0.q32", 1);
    t.Append("b", "1.q32", 1);
    t.Append("b1", "2.q32", 2);
    t.Append("保留されているもの", kCategoryMark, 0);
    t.Append("終了したもの", kCategoryMark, 0);
    t.Append("c", "3.q32", 1);
    t.Append("ごみ箱", kTrashMark, 0);
    return t;
  };
  struct Case {
    const char* dragged;
    const char* target;
    bool moved;
    const char* order;  // titles with depths after the drop
  } cases[] = {
      {"a", "終了したもの", true,
       "0やるべきもの 1b 2b1 0保留されているもの 0終了したもの 1a 1c 0ごみ箱"},
      {"c", "a", true,
       "0やるべきもの 1c 1a 1b 2b1 0保留されているもの 0終了したもの 0ごみ箱"},
      {"b", "ごみ箱", true,
       "0やるべきもの 1a 0保留されているもの 0終了したもの 1c 0ごみ箱 1b 2b1"},
      {"b1", "保留されているもの", true,
       "0やるべきもの 1a 1b 0保留されているもの 1b1 0終了したもの 1c 0ごみ箱"},
      {"a", "c", true,
       "0やるべきもの 1b 2b1 0保留されているもの 0終了したもの 1a 1c 0ごみ箱"},
      {"b", "b", false, nullptr},
      {"b", "b1", false, nullptr},
      {"やるべきもの", "ごみ箱", false, nullptr},
      {"ごみ箱", "やるべきもの", false, nullptr},
  };
  for (const Case& c : cases) {
    TodoTree t = make();
    const std::string before = Shape(t);
    size_t moved_to = 0;
    const bool moved =
        t.Move(*FindTitle(t, c.dragged), *FindTitle(t, c.target), &moved_to);
    EXPECT_EQ(moved, c.moved) << c.dragged << " on " << c.target;
    if (!c.moved) {
      EXPECT_EQ(Shape(t), before);
      continue;
    }
    std::string order;
    for (const TodoNode& n : t.nodes()) {
      order += (order.empty() ? "" : " ") + std::to_string(n.depth) + n.title;
    }
    EXPECT_EQ(order, c.order) << c.dragged << " on " << c.target;
    EXPECT_EQ(t.node(moved_to).title, c.dragged);
    // Both texts travel together.
    for (const TodoNode& n : t.nodes()) {
      EXPECT_EQ(make().node(*FindTitle(make(), n.title)).file, n.file);
    }
  }
}

TEST_F(TodoBoardTest, CorruptPairsAreRefusedAndLeftAsTheyAre) {
  struct Case {
    std::optional<std::string> titles;
    std::optional<std::string> files;
    const char* broken;  // null: reads
  } cases[] = {
      {"a\r\n\t\tb\r\n", "%$#Q32#$%\r\n\t\t0.q32\r\n", "TreeData.q32"},
      {"a\r\n\t\tb\r\n", "%$#Q32#$%\r\n\t0.q32\r\n", "TreeData.q32"},
      {"a\r\n\tb\r\n", "%$#Q32#$%\r\n\t\t\t0.q32\r\n", "TreeFile.q32"},
      {"a\r\nb\r\n", "%$#Q32#$%\r\n\t0.q32\r\n", "TreeFile.q32"},
      {"a\r\n\tb\r\n", "%$#Q32#$%\r\n", "TreeFile.q32"},
      {"\ta\r\n", "\t%$#Q32#$%\r\n", "TreeData.q32"},
      {"a\r\n", std::nullopt, "TreeFile.q32"},
      {std::nullopt, "%$#Q32#$%\r\n", "TreeData.q32"},
      {"", "%$#Q32#$%\r\n", "TreeFile.q32"},
      {"a\r\n\x1A\r\n", "%$#Q32#$%\r\n", nullptr},
      {"a\r\n b\r\n", "%$#Q32#$%\r\n\t0.q32\r\n", nullptr},
      {"a\n\tb", "%$#Q32#$%\r\t0.q32\r\n", nullptr},
  };
  for (const Case& c : cases) {
    TempFolder data;
    const std::string todo = data / "Todo";
    std::filesystem::create_directory(todo);
    if (c.titles) data.Touch("Todo/TreeData.q32", *c.titles);
    if (c.files) data.Touch("Todo/TreeFile.q32", *c.files);
    TodoBoardStore store(todo);
    std::string message;
    const bool loaded = store.Load(&message);
    EXPECT_EQ(loaded, c.broken == nullptr) << message;
    if (c.broken) {
      EXPECT_EQ(message,
                std::string("｢") + c.broken + "｣が壊れているので中断します。");
      EXPECT_EQ(Shape(store.tree()), Shape(TodoTree::Initial()));
    }
    // Loading never writes; both files are as they were.
    EXPECT_EQ(std::filesystem::exists(todo + "/TreeData.q32"),
              c.titles.has_value());
    if (c.titles) {
      EXPECT_EQ(Slurp(todo + "/TreeData.q32"), *c.titles);
    }
    if (c.files) {
      EXPECT_EQ(Slurp(todo + "/TreeFile.q32"), *c.files);
    }
  }
}

TEST_F(TodoBoardTest, EmptyOrAbsentPairReadsAsTheInitialTree) {
  std::string message;
  ASSERT_TRUE(store_.Load(&message)) << message;
  EXPECT_EQ(Shape(store_.tree()), Shape(TodoTree::Initial()));
  WritePair("", "");
  TodoBoardStore empty(todo_);
  ASSERT_TRUE(empty.Load(&message)) << message;
  EXPECT_EQ(Shape(empty.tree()), Shape(TodoTree::Initial()));
}

TEST_F(TodoBoardTest, UnreadableTreeFileIsRefused) {
  std::filesystem::create_directory(todo_ + "/TreeFile.q32");
  std::ofstream(todo_ + "/TreeData.q32") << "a\r\n";
  std::string message;
  EXPECT_FALSE(store_.Load(&message));
  EXPECT_EQ(message, "｢TreeFile.q32｣が壊れているので中断します。");
}

TEST_F(TodoBoardTest, DeepAndLongTreesReadAndWriteWithoutRecursion) {
  std::string titles;
  std::string files;
  for (int depth = 0; depth < 10000; ++depth) {
    titles += std::string(static_cast<size_t>(depth), '\t') + "t\r\n";
    files +=
        std::string(static_cast<size_t>(depth), '\t') + kCategoryMark + "\r\n";
  }
  for (int i = 0; i < 100000; ++i) {
    titles += "\tn\r\n";
    files += "\t" + std::to_string(i) + ".q32\r\n";
  }
  WritePair(titles, files);
  std::string message;
  ASSERT_TRUE(store_.Load(&message)) << message;
  EXPECT_EQ(store_.tree().size(), 110000u);
  EXPECT_EQ(store_.tree().node(9999).depth, 9999);
  const size_t deepest = 9999;
  EXPECT_EQ(store_.tree().Parent(deepest), 9998u);
  ASSERT_TRUE(store_.SaveTrees(&message)) << message;
  EXPECT_EQ(Slurp(todo_ + "/TreeData.q32"), titles);
  EXPECT_EQ(Slurp(todo_ + "/TreeFile.q32"), files);
}

TEST_F(TodoBoardTest, TitlesAreWrittenSoTheyReadBack) {
  std::string error;
  const size_t note = store_.AddNote(settings_, "x", &error);
  const char* typed[] = {"  lead", "\t\ttabs", "line\r\nbreak",
                         "\x1A",   "  \t ",    "全角　そのまま"};
  const char* kept[] = {"lead", "tabs", "line  break",
                        "",     "",     "全角　そのまま"};
  for (size_t i = 0; i < std::size(typed); ++i) {
    ASSERT_TRUE(store_.tree().Rename(note, typed[i]));
    ASSERT_TRUE(store_.SaveTrees(&error)) << error;
    const TodoTree back = Reloaded();
    EXPECT_EQ(Shape(back), Shape(store_.tree())) << typed[i];
    EXPECT_EQ(back.node(note).title, kept[i]);
  }
  // The trash keeps its title.
  EXPECT_FALSE(store_.tree().Rename(*FindTitle(store_.tree(), "ごみ箱"), "x"));
}

TEST_F(TodoBoardTest, HostileNamesNeverReachOutsideTheFolder) {
  // A canary beside the data folder and one in it.
  const std::string canary = data_ / "canary";
  data_.Touch("canary", "alive");
  WritePair(
      "やるべきもの\r\n\tevil\r\n保留されているもの\r\n終了したもの\r\n"
      "ごみ箱\r\n\tevil too\r\n\tabsolute\r\n",
      "%$#Q32#$%\r\n\t../canary\r\n%$#Q32#$%\r\n%$#Q32#$%\r\n%$#G32#$%\r\n"
      "\t../canary\r\n\t" +
          canary + "\r\n");
  std::string message;
  ASSERT_TRUE(store_.Load(&message)) << message;
  // Select: never read, never written, even when changed.
  for (size_t i : {size_t{1}, size_t{5}, size_t{6}}) {
    const NoteLoad load = store_.LoadNote(i);
    EXPECT_EQ(load.state, NoteLoad::State::kForeign);
    EXPECT_TRUE(load.data.empty());
    EXPECT_TRUE(store_.StoreNote(load, true, "{\\rtf1 x}", &message));
  }
  // Add, then empty the trash.
  EXPECT_EQ(store_.AddNote(settings_, "new", &message), 1u);
  int deleted = 0;
  EXPECT_NE(store_.EmptyTrash([&] { ++deleted; }, &message), std::string::npos);
  EXPECT_EQ(deleted, 0);
  EXPECT_EQ(Slurp(canary), "alive");
  EXPECT_FALSE(store_.tree().FullTrash());
  // The foreign note outside the trash is still shown.
  EXPECT_EQ(store_.tree().node(2).file, "../canary");
}

TEST_F(TodoBoardTest, NotesThatFailedToLoadAreNeverWrittenBack) {
  std::string error;
  store_.AddNote(settings_, "dir", &error);    // 0.q32: a folder
  store_.AddNote(settings_, "huge", &error);   // 1.q32: too large
  store_.AddNote(settings_, "plain", &error);  // 2.q32: kept as it is
  store_.AddNote(settings_, "new", &error);    // 3.q32: absent
  std::filesystem::create_directory(todo_ + "/0.q32");
  data_.Touch("Todo/1.q32", std::string(kMaxNoteBytes + 1, 'x'));
  data_.Touch("Todo/2.q32", "plain text");
  struct Case {
    const char* title;
    NoteLoad::State state;
    bool modified;
    bool written;
  } cases[] = {
      {"dir", NoteLoad::State::kUnreadable, true, false},
      {"huge", NoteLoad::State::kTooLarge, true, false},
      {"plain", NoteLoad::State::kLoaded, false, false},
      {"plain", NoteLoad::State::kLoaded, true, true},
      {"new", NoteLoad::State::kAbsent, false, false},
      {"new", NoteLoad::State::kAbsent, true, true},
  };
  for (const Case& c : cases) {
    const size_t i = *FindTitle(store_.tree(), c.title);
    const std::string path = todo_ + "/" + store_.tree().node(i).file;
    const NoteLoad load = store_.LoadNote(i);
    EXPECT_EQ(load.state, c.state) << c.title;
    EXPECT_TRUE(store_.StoreNote(load, c.modified, "{\\rtf1 new}", &error));
    EXPECT_EQ(Slurp(path) == "{\\rtf1 new}", c.written) << c.title;
  }
  EXPECT_TRUE(std::filesystem::is_directory(todo_ + "/0.q32"));
  EXPECT_EQ(std::filesystem::file_size(todo_ + "/1.q32"), kMaxNoteBytes + 1);
}

TEST_F(TodoBoardTest, EmptyTrashDeletesItsNotesAndNoOtherFile) {
  WritePair("やるべきもの\r\n\tkeep\r\nごみ箱\r\n\tgone\r\n\tshared\r\n",
            "%$#Q32#$%\r\n\t1.q32\r\n%$#G32#$%\r\n\t0.q32\r\n\t1.Q32\r\n");
  data_.TouchAll({"Todo/0.q32", "Todo/1.q32", "Todo/7.q32"});
  std::string message;
  ASSERT_TRUE(store_.Load(&message)) << message;
  int deleted = 0;
  EXPECT_EQ(store_.EmptyTrash([&] { ++deleted; }, &message), 2u);
  EXPECT_EQ(deleted, 1);
  EXPECT_FALSE(std::filesystem::exists(todo_ + "/0.q32"));
  EXPECT_TRUE(std::filesystem::exists(todo_ + "/1.q32"));
  EXPECT_TRUE(std::filesystem::exists(todo_ + "/7.q32"));
  EXPECT_EQ(Shape(Reloaded()),
            "0:やるべきもの|%$#Q32#$%\n1:keep|1.q32\n0:ごみ箱|%$#G32#$%\n");
  // Nothing left to empty.
  EXPECT_EQ(store_.EmptyTrash({}, &message), std::string::npos);
}

TEST_F(TodoBoardTest, EmptyTrashPicksTheLastTrashThatHoldsNotes) {
  WritePair("ごみ箱\r\n\ta\r\nごみ箱\r\n\tb\r\nごみ箱\r\n",
            "%$#G32#$%\r\n\t0.q32\r\n%$#G32#$%\r\n\t1.q32\r\n%$#G32#$%\r\n");
  std::string message;
  ASSERT_TRUE(store_.Load(&message)) << message;
  EXPECT_EQ(store_.EmptyTrash({}, &message), 2u);
  EXPECT_EQ(Shape(store_.tree()),
            "0:ごみ箱|%$#G32#$%\n1:a|0.q32\n0:ごみ箱|%$#G32#$%\n"
            "0:ごみ箱|%$#G32#$%\n");
}

}  // namespace
}  // namespace mirokata
