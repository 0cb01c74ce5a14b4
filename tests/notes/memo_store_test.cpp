#include "notes/memo_store.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <climits>
#include <filesystem>
#include <fstream>
#include <set>
#include <thread>

#include "support/temp_folder.h"

namespace mirokata {
namespace {

namespace fs = std::filesystem;

class MemoStoreTest : public ::testing::Test {
 protected:
  void SetUp() override { fs::create_directory(memo_folder_); }
  void WriteRaw(const std::string& text) {
    std::ofstream(ini_, std::ios::binary) << text;
  }
  std::vector<std::string> Names(int category) {
    SettingsFile file(ini_);
    std::vector<std::string> names;
    for (const MemoEntry& m : ReadMemoCategory(file.Open(), category).memos) {
      names.push_back(m.name);
    }
    return names;
  }

  TempFolder dir_;
  const std::string ini_ = dir_ / "mirokata.ini";
  const std::string memo_folder_ = dir_ / "Memo";
};

TEST_F(MemoStoreTest, AFreshFileGivesMemo1InTheFirstCategoryYellowOnBlack) {
  SettingsFile file(ini_);
  EXPECT_EQ(MemoCategoryName(file.Open(), 0), "メモ１");
  EXPECT_EQ(MemoCategoryName(file.Open(), 9), "メモ１０");
  ASSERT_EQ(CreateMemo(file, memo_folder_, 0), "Memo1");
  Settings s = file.Open();
  EXPECT_EQ(s.ReadInteger("MemoCount", "Count", -1), 1);
  const MemoCategory first = ReadMemoCategory(s, 0);
  ASSERT_EQ(first.memos.size(), 1u);
  EXPECT_EQ(first.memos[0], (MemoEntry{"Memo1", "Memo1"}));
  const MemoColors colors = MemoColorsOf(s, "Memo1");
  EXPECT_EQ(colors.back, 0x00FFFF);
  EXPECT_EQ(colors.font, 0);
  // A category name the user gave wins.
  ASSERT_TRUE(file.WriteString("Memo_bun", "3", "仕事"));
  EXPECT_EQ(MemoCategoryName(file.Open(), 3), "仕事");
}

TEST_F(MemoStoreTest, DeletingAMiddleMemoKeepsTheOrderAndTheOtherKeys) {
  WriteRaw(
      "[2_Memo]\r\nMemo5=five\r\n../x=odd\r\nMemo2=two\r\nMemo9=nine\r\n"
      "[Memo2]\r\nShow=0\r\nTop=10\r\n[Memo5]\r\nShow=0\r\n");
  std::ofstream(memo_folder_ + "/Memo2") << "{\\rtf1 two}";
  SettingsFile file(ini_);
  const MemoDeletion done = DeleteMemo(file, memo_folder_, 2, "Memo2");
  EXPECT_TRUE(done.written);
  EXPECT_TRUE(done.file_removed);
  EXPECT_FALSE(fs::exists(memo_folder_ + "/Memo2"));
  Settings s = file.Open();
  const MemoCategory after = ReadMemoCategory(s, 2);
  EXPECT_EQ(after.memos,
            (std::vector<MemoEntry>{{"Memo5", "five"}, {"Memo9", "nine"}}));
  EXPECT_EQ(after.other_keys, (SettingsBatch::Entries{{"../x", "odd"}}));
  EXPECT_FALSE(s.HasSection("Memo2"));
  EXPECT_TRUE(s.HasSection("Memo5"));
}

TEST_F(MemoStoreTest, AHugeCategoryIsReadWholeAndSurvivesADelete) {
  // Far more than 8192 bytes of key names.
  constexpr int kMemos = 1500;
  std::string raw = "[4_Memo]\r\n";
  for (int i = 1; i <= kMemos; ++i) {
    raw += "Memo" + std::to_string(i) + "=title " + std::to_string(i) + "\r\n";
  }
  WriteRaw(raw);
  SettingsFile file(ini_);
  ASSERT_EQ(ReadMemoCategory(file.Open(), 4).memos.size(), size_t{kMemos});
  ASSERT_TRUE(DeleteMemo(file, memo_folder_, 4, "Memo700").written);
  const MemoCategory after = ReadMemoCategory(file.Open(), 4);
  ASSERT_EQ(after.memos.size(), size_t{kMemos - 1});
  for (int i = 1, at = 0; i <= kMemos; ++i) {
    if (i == 700) continue;
    ASSERT_EQ(after.memos[at++], (MemoEntry{"Memo" + std::to_string(i),
                                            "title " + std::to_string(i)}));
  }
}

TEST_F(MemoStoreTest, OnlyMemoNamesAreMemos) {
  struct Case {
    const char* key;
    std::optional<int> number;
  };
  const Case cases[] = {
      {"Memo1", 1},           {"memo7", 7},
      {"MEMO12", 12},         {"Memo2147483647", INT_MAX},
      {"Memo2147483648", {}}, {"Memo99999999999", {}},
      {"Memo", {}},           {"Memo01", {}},
      {"Memo0", {}},          {"Memo1a", {}},
      {"Memo-1", {}},         {"Memo+1", {}},
      {"../x", {}},           {"Memo1/../../x", {}},
      {"Memo 1", {}},         {"Mem1", {}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(MemoNumberOf(c.key), c.number) << c.key;
  }

  // Hostile keys are skipped, kept on rewrite and never reach a path.
  WriteRaw(
      "[0_Memo]\r\n../victim=a\r\nMemo01=b\r\nMemo3=c\r\n"
      "Memo1/../../victim=d\r\n");
  std::ofstream(dir_ / "victim") << "keep me";
  SettingsFile file(ini_);
  EXPECT_FALSE(DeleteMemo(file, memo_folder_, 0, "../victim").written);
  EXPECT_FALSE(DeleteMemo(file, memo_folder_, 0, "Memo1/../../victim").written);
  EXPECT_TRUE(fs::exists(dir_ / "victim"));
  ASSERT_TRUE(DeleteMemo(file, memo_folder_, 0, "Memo3").written);
  const MemoCategory after = ReadMemoCategory(file.Open(), 0);
  EXPECT_TRUE(after.memos.empty());
  EXPECT_EQ(
      after.other_keys,
      (SettingsBatch::Entries{
          {"../victim", "a"}, {"Memo01", "b"}, {"Memo1/../../victim", "d"}}));
}

TEST_F(MemoStoreTest, TheCounterSkipsNumbersInUseAndNeverOverflows) {
  struct Case {
    const char* name;
    std::string ini;
    std::vector<std::string> files;
    std::string expected;
    int count_after;
  };
  const std::string max = std::to_string(INT_MAX);
  const Case cases[] = {
      {"count lost while Memo1-3 exist",
       "[0_Memo]\r\nMemo1=a\r\nMemo2=b\r\n[5_Memo]\r\nMemo3=c\r\n",
       {},
       "Memo4",
       4},
      {"negative count", "[MemoCount]\r\nCount=-40\r\n", {}, "Memo1", 1},
      {"reset count, own section left",
       "[MemoCount]\r\nCount=0\r\n[Memo1]\r\n"
       "Show=1\r\n",
       {},
       "Memo2",
       2},
      {"reset count, file left",
       "[MemoCount]\r\nCount=0\r\n",
       {"Memo1", "Memo2"},
       "Memo3",
       3},
      {"count behind a category key",
       "[MemoCount]\r\nCount=6\r\n[9_Memo]\r\n"
       "Memo7=x\r\n",
       {},
       "Memo8",
       8},
      {"largest int",
       "[MemoCount]\r\nCount=" + max +
           "\r\n[0_Memo]\r\n"
           "Memo1=a\r\n",
       {},
       "Memo2",
       INT_MAX},
      {"above the largest int",
       "[MemoCount]\r\nCount=99999999999\r\n",
       {},
       "Memo1",
       INT_MAX},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    fs::remove_all(memo_folder_);
    fs::create_directory(memo_folder_);
    for (const std::string& f : c.files) {
      std::ofstream(memo_folder_ + "/" + f) << "text";
    }
    WriteRaw(c.ini);
    SettingsFile file(ini_);
    ASSERT_EQ(CreateMemo(file, memo_folder_, 1), c.expected);
    Settings s = file.Open();
    EXPECT_EQ(s.ReadInteger("MemoCount", "Count", -1), c.count_after);
    const MemoCategory listed = ReadMemoCategory(s, 1);
    ASSERT_FALSE(listed.memos.empty());
    EXPECT_EQ(listed.memos.back().name, c.expected);
  }
}

TEST_F(MemoStoreTest, SortingSavesBothCategoriesAndKeepsOtherKeys) {
  WriteRaw(
      "[0_Memo]\r\nMemo1=a\r\nnote=kept\r\nMemo2=b\r\n"
      "[1_Memo]\r\nMemo3=c\r\n");
  SettingsFile file(ini_);
  MemoCategory zero{0, {{"Memo2", "b"}}, {}};
  MemoCategory one{1, {{"Memo1", "a"}, {"Memo3", "c"}}, {}};
  ASSERT_TRUE(SaveMemoCategories(file, {zero, one}));
  EXPECT_EQ(Names(0), (std::vector<std::string>{"Memo2"}));
  EXPECT_EQ(Names(1), (std::vector<std::string>{"Memo1", "Memo3"}));
  EXPECT_EQ(ReadMemoCategory(file.Open(), 0).other_keys,
            (SettingsBatch::Entries{{"note", "kept"}}));
}

TEST_F(MemoStoreTest, MemosShownAtExitAreListedInIndexOrder) {
  WriteRaw(
      "[3_Memo]\r\nMemo4=d\r\nMemo2=b\r\n[0_Memo]\r\nMemo1=a\r\n"
      "[Memo4]\r\nShow=1\r\n[Memo2]\r\nShow=1\r\n[Memo1]\r\nShow=0\r\n");
  SettingsFile file(ini_);
  const auto shown = MemosShownAtExit(file.Open());
  ASSERT_EQ(shown.size(), 2u);
  EXPECT_EQ(shown[0].second.name, "Memo4");
  EXPECT_EQ(shown[1].second.name, "Memo2");
  EXPECT_EQ(shown[1].first, 3);
}

TEST_F(MemoStoreTest, KillDuringDeletesAndSortingLeavesEachCategoryWhole) {
  // Two categories of memos, each with its own section. A child moves memos
  // between them (one sorting save of both) and deletes memos, again and
  // again, until killed. Afterwards no memo may be listed twice, listed
  // without its section, or have a section but be listed nowhere.
  constexpr int kPerCategory = 150;
  std::string raw;
  for (int c = 0; c < 2; ++c) {
    raw += "[" + std::to_string(c) + "_Memo]\r\n../x=odd\r\n";
    for (int i = 1; i <= kPerCategory; ++i) {
      const int n = c * kPerCategory + i;
      raw += "Memo" + std::to_string(n) + "=t" + std::to_string(n) + "\r\n";
    }
  }
  for (int n = 1; n <= 2 * kPerCategory; ++n) {
    raw += "[Memo" + std::to_string(n) + "]\r\nShow=0\r\n";
  }
  WriteRaw(raw);
  int deleted_before = 0;
  for (int round = 0; round < 12; ++round) {
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      SettingsFile file(ini_);
      for (int i = 0;; ++i) {
        std::vector<MemoCategory> both = ReadAllMemoCategories(file.Open());
        both.resize(2);
        if (i % 3 == 2 && !both[0].memos.empty()) {
          DeleteMemo(file, memo_folder_, 0, both[0].memos.front().name);
          continue;
        }
        // Move the last of each category to the front of the other.
        if (both[0].memos.empty() || both[1].memos.empty()) continue;
        MemoEntry a = both[0].memos.back(), b = both[1].memos.back();
        both[0].memos.pop_back();
        both[1].memos.pop_back();
        both[0].memos.insert(both[0].memos.begin(), b);
        both[1].memos.insert(both[1].memos.begin(), a);
        SaveMemoCategories(file, both);
      }
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(20 + round * 7));
    kill(child, SIGKILL);
    waitpid(child, nullptr, 0);

    SettingsFile file(ini_);
    Settings s = file.Open();
    std::set<std::string> listed;
    for (int c = 0; c < 2; ++c) {
      const MemoCategory cat = ReadMemoCategory(s, c);
      ASSERT_EQ(cat.other_keys, (SettingsBatch::Entries{{"../x", "odd"}}))
          << "round " << round;
      for (const MemoEntry& m : cat.memos) {
        ASSERT_TRUE(listed.insert(m.name).second)
            << m.name << " listed twice, round " << round;
        ASSERT_TRUE(s.HasSection(m.name))
            << m.name << " listed without its section, round " << round;
        ASSERT_EQ(m.title, "t" + m.name.substr(4));
      }
    }
    int deleted = 0;
    for (int n = 1; n <= 2 * kPerCategory; ++n) {
      const std::string name = "Memo" + std::to_string(n);
      if (!s.HasSection(name)) {
        ++deleted;
        continue;
      }
      ASSERT_EQ(listed.count(name), 1u)
          << name << " is listed nowhere, round " << round;
    }
    ASSERT_GE(deleted, deleted_before);
    deleted_before = deleted;
    for (const auto& e : fs::directory_iterator(dir_.path())) {
      if (e.path().filename().string().starts_with(".")) fs::remove(e.path());
    }
  }
  EXPECT_GT(deleted_before, 0);  // the children did get to work
}

}  // namespace
}  // namespace mirokata
