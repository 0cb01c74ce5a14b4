#include "base/settings_file.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

#include "platform/file_io.h"

namespace mirokata {
namespace {

namespace fs = std::filesystem;

class SettingsFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char tmpl[] = "/tmp/mirokata-settings-XXXXXX";
    dir_ = mkdtemp(tmpl);
    path_ = dir_ + "/mirokata.ini";
  }
  void TearDown() override { fs::remove_all(dir_); }

  void WriteRaw(const std::string& bytes) {
    std::ofstream(path_, std::ios::binary) << bytes;
  }
  std::string ReadRaw() {
    std::string data;
    ReadWholeFile(path_, &data);
    return data;
  }

  std::string dir_;
  std::string path_;
};

TEST_F(SettingsFileTest, AbsentFileReadsDefaultsAndFirstWriteCreatesIt) {
  SettingsFile file(path_);
  EXPECT_EQ(file.origin(), SettingsFile::Origin::kAbsent);
  EXPECT_EQ(file.ReadString("Calendar", "Directory", "."), ".");
  EXPECT_EQ(file.ReadInteger("Form", "Height", 72), 72);
  EXPECT_TRUE(file.ReadBool("Form", "Waveplay", true));
  ASSERT_TRUE(file.WriteString("Calendar", "Directory", "/data"));
  EXPECT_EQ(ReadRaw(), "[Calendar]\r\nDirectory=/data\r\n");
}

TEST_F(SettingsFileTest, NamesMatchWithoutRegardToCase) {
  WriteRaw("[TelePhone]\r\nTop=5\r\n");
  SettingsFile file(path_);
  EXPECT_EQ(file.ReadInteger("Telephone", "top", 0), 5);
  ASSERT_TRUE(file.WriteInteger("TELEPHONE", "TOP", 7));
  // The existing spelling is kept; no second key appears.
  EXPECT_EQ(ReadRaw(), "[TelePhone]\r\nTop=7\r\n");
}

TEST_F(SettingsFileTest, JapaneseTextIsCp932OnDiskAndUtf8InMemory) {
  SettingsFile file(path_);
  ASSERT_TRUE(file.WriteString("Horiday", "01/01", "元日"));
  ASSERT_TRUE(file.WriteString("Memo_bun", "0", "ｽｹｼﾞｭｰﾙ～予定"));
  std::string raw = ReadRaw();
  EXPECT_NE(raw.find("01/01=\x8C\xB3\x93\xFA"), std::string::npos);
  SettingsFile again(path_);
  EXPECT_EQ(again.ReadString("horiday", "01/01", ""), "元日");
  EXPECT_EQ(again.ReadString("memo_bun", "0", ""), "ｽｹｼﾞｭｰﾙ～予定");
  // Characters CP932 cannot hold become "?", the rest is kept whole.
  ASSERT_TRUE(file.WriteString("Memo_bun", "1", "a😀b"));
  EXPECT_EQ(file.ReadString("Memo_bun", "1", ""), "a?b");
}

TEST_F(SettingsFileTest, IntegersAndBooleans) {
  WriteRaw(
      "[Form]\nhex=0x1F\nHEX2=0XffFFffFF\nneg=-12\nword=abc\nlead=12ab\n"
      "empty=\nspaced=  42  \nbig=99999999999\nb0=0\nb2=2\n");
  SettingsFile file(path_);
  auto s = file.Open();
  struct Case {
    const char* key;
    int expected;
  } cases[] = {{"hex", 31},   {"HEX2", -1}, {"neg", -12},     {"word", 77},
               {"lead", 12},  {"empty", 77}, {"spaced", 42}, {"big", INT_MAX},
               {"missing", 77}};
  for (const Case& c : cases) {
    EXPECT_EQ(s.ReadInteger("Form", c.key, 77), c.expected) << c.key;
  }
  EXPECT_FALSE(s.ReadBool("Form", "b0", true));
  EXPECT_TRUE(s.ReadBool("Form", "b2", false));
  EXPECT_TRUE(s.ReadBool("Form", "word", true));  // not a number: default
  // A colour with the high bit set keeps its bit pattern.
  ASSERT_TRUE(s.WriteInteger("CalendarEx", "WeekdayColor",
                             static_cast<int>(0x80000005u)));
  EXPECT_EQ(static_cast<uint32_t>(s.ReadInteger("CalendarEx", "WeekdayColor",
                                                0)),
            0x80000005u);
}

TEST_F(SettingsFileTest, WritesKeepCommentsOrderAndUnknownSections) {
  WriteRaw(
      "; kept comment\r\n[Form]\r\ntop=1\r\n; inner\r\nleft=2\r\n\r\n"
      "[Other]\r\nx=y\r\nline without equals\r\n");
  SettingsFile file(path_);
  ASSERT_TRUE(file.WriteInteger("Form", "left", 3));
  ASSERT_TRUE(file.WriteInteger("Form", "Height", 190));
  ASSERT_TRUE(file.WriteString("New", "k", "v"));
  EXPECT_EQ(ReadRaw(),
            "; kept comment\r\n[Form]\r\ntop=1\r\n; inner\r\nleft=3\r\n"
            "Height=190\r\n\r\n[Other]\r\nx=y\r\nline without equals\r\n"
            "[New]\r\nk=v\r\n");
  EXPECT_EQ(file.Open().ListKeys("form"),
            (std::vector<std::string>{"top", "left", "Height"}));
}

TEST_F(SettingsFileTest, SectionNamesMayHoldBrackets) {
  SettingsFile file(path_);
  const std::string section = "/data/sched]ule/0900____.~~";
  ASSERT_TRUE(file.WriteString(section, "file", "/snd/a.wav"));
  ASSERT_TRUE(file.WriteInteger(section, "closetime", 5));
  SettingsFile again(path_);
  EXPECT_EQ(again.ReadString(section, "file", ""), "/snd/a.wav");
  EXPECT_EQ(again.ReadInteger(section, "closetime", 0), 5);
  EXPECT_EQ(again.Open().ListSections(), std::vector<std::string>{section});
}

TEST_F(SettingsFileTest, LineBreaksInValuesCannotInjectKeysOrSections) {
  SettingsFile file(path_);
  ASSERT_TRUE(file.WriteString("Memo", "title", "a\r\n[Form]\nWaveplay=0"));
  EXPECT_EQ(file.ReadString("Memo", "title", ""), "a  [Form] Waveplay=0");
  EXPECT_FALSE(file.Open().HasSection("Form"));
  EXPECT_TRUE(file.ReadBool("Form", "Waveplay", true));
  // Keys that could not be read back as the same key are refused.
  EXPECT_FALSE(file.WriteString("Memo", "a=b", "x"));
  EXPECT_FALSE(file.WriteString("Memo", "[x", "x"));
  EXPECT_FALSE(file.WriteString("Memo", "", "x"));
}

TEST_F(SettingsFileTest, EraseSectionAndDeleteKey) {
  WriteRaw("[A]\nk=1\n[B]\nk=2\nj=3\n[a]\nk=4\n");
  SettingsFile file(path_);
  auto s = file.Open();
  ASSERT_TRUE(s.EraseSection("a"));  // both spellings go
  EXPECT_FALSE(s.HasSection("A"));
  ASSERT_TRUE(s.DeleteKey("B", "K"));
  EXPECT_EQ(ReadRaw(), "[B]\r\nj=3\r\n");
  EXPECT_TRUE(s.EraseSection("missing"));  // nothing to do is no failure
}

TEST_F(SettingsFileTest, EveryReadSeesTheFileAsItIsNow) {
  SettingsFile mine(path_);
  SettingsFile other(path_);  // another window or process
  ASSERT_TRUE(mine.WriteString("Memo", "color", "1"));
  EXPECT_EQ(other.ReadString("Memo", "color", ""), "1");
  ASSERT_TRUE(other.WriteString("Memo", "color", "2"));
  ASSERT_TRUE(other.WriteString("Memo", "size", "9"));
  EXPECT_EQ(mine.ReadString("Memo", "color", ""), "2");
  // A write applies to the current file, so the other window's key stays.
  ASSERT_TRUE(mine.WriteString("Memo", "font", "x"));
  EXPECT_EQ(other.ReadString("Memo", "size", ""), "9");
  // An editor changing the file in place with the same length is seen too.
  std::this_thread::sleep_for(std::chrono::milliseconds(20));
  std::string raw = ReadRaw();
  raw[raw.find("size=9") + 5] = '8';
  { std::fstream f(path_, std::ios::in | std::ios::out | std::ios::binary);
    f.write(raw.data(), static_cast<std::streamsize>(raw.size())); }
  EXPECT_EQ(mine.ReadString("Memo", "size", ""), "8");
  // Deleting the file gives defaults again.
  fs::remove(path_);
  EXPECT_EQ(mine.ReadString("Memo", "size", "none"), "none");
}

TEST_F(SettingsFileTest, CorruptFilesAreReadAsFarAsTheyMakeSense) {
  std::string junk;
  for (int i = 0; i < 4096; ++i) junk.push_back(static_cast<char>(i * 37 % 256));
  std::string overlong(1 << 20, 'x');
  WriteRaw(junk + "\n[Form\ntop=3\n[Calendar]\nDirectory=" + overlong +
           "\n\x81\n[Broken]]]\nk=v\n" + std::string("\0\0=\0", 4));
  SettingsFile file(path_);
  EXPECT_EQ(file.ReadInteger("Form", "top", 0), 3);  // no closing bracket
  EXPECT_EQ(file.ReadString("Calendar", "Directory", "").size(), overlong.size());
  EXPECT_EQ(file.ReadString("Broken]]", "k", ""), "v");
  // A write keeps the junk lines byte for byte.
  ASSERT_TRUE(file.WriteInteger("Form", "left", 4));
  EXPECT_NE(ReadRaw().find(junk.substr(11, 60)), std::string::npos);
}

TEST_F(SettingsFileTest, UnreadableFileIsNeverOverwritten) {
  fs::create_directory(path_);  // present, but no file we can read
  SettingsFile file(path_);
  std::vector<std::string> messages;
  file.SetProblemReporter([&](const std::string& m) { messages.push_back(m); });
  EXPECT_EQ(file.ReadInteger("Horiday", "Set", 0), 0);
  EXPECT_EQ(file.origin(), SettingsFile::Origin::kUnreadable);
  EXPECT_TRUE(file.read_only());
  EXPECT_FALSE(file.WriteInteger("Horiday", "Set", 1));
  EXPECT_FALSE(file.WriteString("Calendar", "Directory", "/x"));
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_NE(messages[0].find("設定ファイルを読み込めません。"), std::string::npos);
  EXPECT_TRUE(fs::is_directory(path_));
}

TEST_F(SettingsFileTest, RefusedWriteIsReportedOncePerRun) {
  SettingsFile file(dir_ + "/gone/mirokata.ini");
  int reports = 0;
  file.SetProblemReporter([&](const std::string&) { ++reports; });
  EXPECT_FALSE(file.WriteInteger("Form", "top", 1));
  EXPECT_FALSE(file.WriteInteger("Form", "left", 1));
  EXPECT_EQ(reports, 1);
  EXPECT_FALSE(file.read_only());  // reading still works
}

TEST_F(SettingsFileTest, KillDuringWritesLeavesAWholeFile) {
  // Each write sets every key of the file to one generation number; a torn
  // file would mix generations or lose keys.
  constexpr int kKeys = 300;
  for (int round = 0; round < 8; ++round) {
    pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      SettingsFile file(path_);
      for (int gen = 0;; ++gen) {
        auto s = file.Open();
        s.WriteString("Gen", "all", std::to_string(gen));
        for (int k = 0; k < kKeys; k += 50) {
          s.WriteString("Sec" + std::to_string(k), "v", std::to_string(gen));
        }
      }
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(15 + round * 7));
    kill(child, SIGKILL);
    waitpid(child, nullptr, 0);
    std::string raw = ReadRaw();
    if (raw.empty()) continue;  // killed before the first write
    ASSERT_EQ(raw.substr(raw.size() - 2), "\r\n") << "torn file";
    SettingsFile file(path_);
    EXPECT_NE(file.ReadInteger("Gen", "all", -1), -1);
    // No temporary files are left that a reader could mistake for data.
    for (const auto& e : fs::directory_iterator(dir_)) {
      if (e.path().filename() != "mirokata.ini") fs::remove(e.path());
    }
  }
}

}  // namespace
}  // namespace mirokata
