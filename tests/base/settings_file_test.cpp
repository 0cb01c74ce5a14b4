#include "base/settings_file.h"

#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <thread>

#include "platform/file_io.h"
#include "platform/text_codec.h"
#include "support/child_run.h"
#include "support/rename_watch.h"

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
  // Characters CP932 cannot hold are escaped, never "?".
  ASSERT_TRUE(file.WriteString("Memo_bun", "1", "a😀b"));
  EXPECT_EQ(file.ReadString("Memo_bun", "1", ""), "a😀b");
  EXPECT_NE(ReadRaw().find("1={u}a{1F600}b\r\n"), std::string::npos);
}

// What each text is in the file, and that it comes back whole after a
// restart, as a value, as a key and as a section name.
TEST_F(SettingsFileTest, AnyTextSurvivesARestartAndPlainTextIsWrittenAsBefore) {
  struct Case {
    const char* text;
    const char* stored;  // UTF-8 of the file's text; nullptr: as before
  } cases[] = {
      {"元日", nullptr},
      {"ｽｹｼﾞｭｰﾙ～予定", nullptr},  // U+FF5E is CP932's own
      {"①Ⅹ㈱髙", nullptr},         // NEC and IBM rows
      {"C:\\data", nullptr},
      {"a{b}", nullptr},  // "{" is plain unless the text starts with "{u}"
      {"", nullptr},
      {"/home/josé/予定", "{u}/home/jos{E9}/予定"},
      {"~/仕事〜2026", "{u}~/仕事{301C}2026"},  // U+301C, Linux's wave dash
      {"한국어", "{u}{D55C}{AD6D}{C5B4}"},
      {"a😀b", "{u}a{1F600}b"},
      {"−1", "{u}{2212}1"},  // U+2212 would come back as U+FF0D
      {" lead", "{u}{20}lead"},
      {"trail\t", "{u}trail{9}"},
      {"{u}x", "{u}{7B}u}x"},
      {"{u}", "{u}{7B}u}"},
      {"é{7B}", "{u}{E9}{7B}7B}"},
  };
  {
    SettingsFile file(path_);
    ASSERT_TRUE(file.Batch([&](SettingsBatch& b) {
      for (size_t i = 0; i < std::size(cases); ++i) {
        const std::string text = cases[i].text;
        b.WriteString("Values", "v" + std::to_string(i), text);
        if (!text.empty() && text.front() != ' ' && text.back() != '\t') {
          b.WriteString("Keys", text, "k" + std::to_string(i));
          b.WriteString("/data/" + text, "s", std::to_string(i));
        }
      }
    }));
  }
  const std::string raw = ReadRaw();
  SettingsFile again(path_);  // a restart
  Settings s = again.Open();
  for (size_t i = 0; i < std::size(cases); ++i) {
    const Case& c = cases[i];
    const std::string text = c.text;
    SCOPED_TRACE(text);
    const std::string stored = c.stored ? c.stored : text;
    EXPECT_EQ(SettingsFile::EncodeText(text), Utf8ToCp932(stored));
    EXPECT_EQ(SettingsFile::DecodeText(Utf8ToCp932(stored)), text);
    EXPECT_NE(
        raw.find("v" + std::to_string(i) + "=" + Utf8ToCp932(stored) + "\r\n"),
        std::string::npos);
    EXPECT_EQ(s.ReadString("Values", "v" + std::to_string(i), "-"), text);
    if (!text.empty() && text.front() != ' ' && text.back() != '\t') {
      EXPECT_EQ(s.ReadString("Keys", text, "-"), "k" + std::to_string(i));
      EXPECT_EQ(s.ReadString("/data/" + text, "s", "-"), std::to_string(i));
    }
  }
  EXPECT_EQ(raw.find('?'), std::string::npos);
  // An escape that is no escape stays as it stands; a plain value that
  // looks escaped is not expanded.
  EXPECT_EQ(SettingsFile::DecodeText("{u}a{}b{110000}{D800}{1234567}{7B"),
            "a{}b{110000}{D800}{1234567}{7B");
  EXPECT_EQ(SettingsFile::DecodeText("a{E9}"), "a{E9}");
}

// One spelling of a section's name for writing and finding it: an entry
// path CP932 cannot hold gets one section, however often it is written.
TEST_F(SettingsFileTest, ASectionIsFoundUnderTheNameItWasWrittenWith) {
  const std::string section = "/home/josé/仕事〜2026/0900____.~~";
  SettingsFile file(path_);
  for (int i = 0; i < 3; ++i) {
    ASSERT_TRUE(file.WriteInteger(section, "closetime", i));
    ASSERT_TRUE(file.WriteString(section, "file", "/snd/😀.wav"));
  }
  ASSERT_TRUE(file.WriteString("Line\nbreak", "k", "v"));
  SettingsFile again(path_);
  EXPECT_EQ(again.Open().ListSections(),
            (std::vector<std::string>{section, "Line break"}));
  EXPECT_EQ(again.ReadInteger(section, "closetime", -1), 2);
  EXPECT_EQ(again.ReadString(section, "file", ""), "/snd/😀.wav");
  EXPECT_EQ(again.ReadString("Line\nbreak", "k", ""), "v");
  EXPECT_EQ(again.ReadString("  line break ", "k", ""), "v");
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
  } cases[] = {{"hex", 31},    {"HEX2", -1},     {"neg", -12},
               {"word", 77},   {"lead", 12},     {"empty", 77},
               {"spaced", 42}, {"big", INT_MAX}, {"missing", 77}};
  for (const Case& c : cases) {
    EXPECT_EQ(s.ReadInteger("Form", c.key, 77), c.expected) << c.key;
  }
  EXPECT_FALSE(s.ReadBool("Form", "b0", true));
  EXPECT_TRUE(s.ReadBool("Form", "b2", false));
  EXPECT_TRUE(s.ReadBool("Form", "word", true));  // not a number: default
  // A colour with the high bit set keeps its bit pattern.
  ASSERT_TRUE(s.WriteInteger("CalendarEx", "WeekdayColor",
                             static_cast<int>(0x80000005u)));
  EXPECT_EQ(
      static_cast<uint32_t>(s.ReadInteger("CalendarEx", "WeekdayColor", 0)),
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

// Sections no write touches go back byte for byte when their lines end in
// CR LF; any other line ends (LF, none at the end of the file) become CR LF.
TEST_F(SettingsFileTest, UntouchedSectionsGoBackAsReadInCrLf) {
  WriteRaw(
      "[A]\r\nx=1\r\n[B]\ny=2\n[C]\r\n\x93\xfa=\x96\x7b\r\n\r\n"
      "[D]\r\nz=\r\r\n[E]\r\nlast=3");
  SettingsFile file(path_);
  ASSERT_TRUE(file.WriteInteger("A", "x", 5));
  EXPECT_EQ(ReadRaw(),
            "[A]\r\nx=5\r\n[B]\r\ny=2\r\n[C]\r\n\x93\xfa=\x96\x7b\r\n\r\n"
            "[D]\r\nz=\r\r\n[E]\r\nlast=3\r\n");
  Settings s = file.Open();
  EXPECT_EQ(s.ReadInteger("B", "y", 0), 2);
  EXPECT_EQ(s.ReadString("C", "日", ""), "本");
  EXPECT_EQ(s.ReadInteger("E", "last", 0), 3);
}

// A file is split into lines section by section as readers reach them, from
// whichever thread reads first.
TEST_F(SettingsFileTest, ManyThreadsReadOneFreshFile) {
  std::string text;
  for (int i = 0; i < 400; ++i) {
    text += "[S" + std::to_string(i) + "]\r\n";
    for (int k = 0; k < 6; ++k) {
      text +=
          "k" + std::to_string(k) + "=" + std::to_string(i * 10 + k) + "\r\n";
    }
  }
  WriteRaw(text);
  for (int round = 0; round < 20; ++round) {
    SettingsFile file(path_);
    Settings s = file.Open();
    std::atomic<int> wrong{0};
    std::vector<std::thread> readers;
    for (int t = 0; t < 4; ++t) {
      readers.emplace_back([&s, &wrong, t] {
        for (int i = 0; i < 400; ++i) {
          const int section = (i * 7 + t * 101) % 400;
          const int k = (i + t) % 6;
          if (s.ReadInteger("S" + std::to_string(section),
                            "k" + std::to_string(k), -1) != section * 10 + k) {
            ++wrong;
          }
        }
      });
    }
    for (auto& r : readers) r.join();
    ASSERT_EQ(wrong.load(), 0) << "round " << round;
    // A write after the reads keeps every section.
    ASSERT_TRUE(file.WriteInteger("S0", "k0", 0));
    EXPECT_EQ(ReadRaw(), text);
  }
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
  {
    std::fstream f(path_, std::ios::in | std::ios::out | std::ios::binary);
    f.write(raw.data(), static_cast<std::streamsize>(raw.size()));
  }
  EXPECT_EQ(mine.ReadString("Memo", "size", ""), "8");
  // Deleting the file gives defaults again.
  fs::remove(path_);
  EXPECT_EQ(mine.ReadString("Memo", "size", "none"), "none");
}

TEST_F(SettingsFileTest, CorruptFilesAreReadAsFarAsTheyMakeSense) {
  std::string junk;
  for (int i = 0; i < 4096; ++i)
    junk.push_back(static_cast<char>(i * 37 % 256));
  std::string overlong(1 << 20, 'x');
  WriteRaw(junk + "\n[Form\ntop=3\n[Calendar]\nDirectory=" + overlong +
           "\n\x81\n[Broken]]]\nk=v\n" + std::string("\0\0=\0", 4));
  SettingsFile file(path_);
  EXPECT_EQ(file.ReadInteger("Form", "top", 0), 3);  // no closing bracket
  EXPECT_EQ(file.ReadString("Calendar", "Directory", "").size(),
            overlong.size());
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
  EXPECT_NE(messages[0].find("設定ファイルを読み込めません。"),
            std::string::npos);
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

std::string JsonString(std::string_view utf8) {
  std::string out = "\"";
  size_t pos = 0;
  while (pos < utf8.size()) {
    uint32_t cp = NextCodePoint(utf8, &pos);
    char buf[16];
    if (cp == '"' || cp == '\\') {
      out += '\\';
      out += char(cp);
    } else if (cp >= 0x20 && cp < 0x7F) {
      out += char(cp);
    } else if (cp < 0x10000) {
      snprintf(buf, sizeof buf, "\\u%04x", cp);
      out += buf;
    } else {
      cp -= 0x10000;
      snprintf(buf, sizeof buf, "\\u%04x\\u%04x", 0xD800 + (cp >> 10),
               0xDC00 + (cp & 0x3FF));
      out += buf;
    }
  }
  return out + "\"";
}

// Python's configparser, reading CP932, gets every character CP932 holds
// exactly as we wrote it, and reads the escaped form without error, as the
// escaped text.
TEST_F(SettingsFileTest, PythonConfigparserReadsWhatWeWrite) {
  if (std::system("python3 -c 'import configparser' >/dev/null 2>&1") != 0) {
    GTEST_SKIP() << "no python3";
  }
  std::set<std::string> chars;
  auto add = [&](std::string bytes) {
    std::string text = Cp932ToUtf8(bytes);
    if (FitsCp932(text)) chars.insert(text);
  };
  for (int b = 0x20; b < 0x7F; ++b) add(std::string(1, char(b)));
  for (int b = 0xA1; b <= 0xDF; ++b) add(std::string(1, char(b)));
  for (int lead = 0x81; lead <= 0xFC; ++lead) {
    if (lead > 0x9F && lead < 0xE0) continue;
    for (int trail = 0x40; trail <= 0xFC; ++trail) {
      if (trail != 0x7F) add(std::string{char(lead), char(trail)});
    }
  }
  ASSERT_GT(chars.size(), 7000u);
  // Values of 64 characters between "<" and ">", so that neither reader's
  // trimming of blanks plays a part.
  std::map<std::string, std::map<std::string, std::string>> expected;
  {
    SettingsFile file(path_);
    ASSERT_TRUE(file.Batch([&](SettingsBatch& b) {
      std::string value = "<";
      int n = 0, count = 0;
      for (const std::string& c : chars) {
        value += c;
        if (++count % 64 == 0 || count == int(chars.size())) {
          value += ">";
          const std::string key = "c" + std::to_string(n++);
          b.WriteString("Chars", key, value);
          expected["Chars"][key] = value;
          value = "<";
        }
      }
      // Texts CP932 cannot hold: read as their escaped form.
      const std::string section = "/home/josé/仕事〜2026/0900____.~~";
      int e = 0;
      for (const char* text : {"/home/josé/予定", "a😀b", " lead", "{u}x"}) {
        const std::string key = "e" + std::to_string(e++);
        b.WriteString("Escaped", key, text);
        b.WriteString(section, "file", text);
        expected["Escaped"][key] = Cp932ToUtf8(SettingsFile::EncodeText(text));
      }
      expected[Cp932ToUtf8(SettingsFile::EncodeText(section))]["file"] =
          Cp932ToUtf8(SettingsFile::EncodeText("{u}x"));
    }));
  }
  std::string json = "{";
  for (const auto& [section, keys] : expected) {
    if (json.size() > 1) json += ",";
    json += JsonString(section) + ":{";
    bool first = true;
    for (const auto& [key, value] : keys) {
      if (!first) json += ",";
      first = false;
      json += JsonString(key) + ":" + JsonString(value);
    }
    json += "}";
  }
  json += "}";
  const std::string json_path = dir_ + "/expected.json";
  std::ofstream(json_path, std::ios::binary) << json;
  const char* root = std::getenv("MIROKATA_SOURCE_DIR");
  const std::string script =
      std::string(root ? root : ".") + "/tests/base/configparser_reads.py";
  ASSERT_TRUE(fs::exists(script)) << script;
  const std::string command =
      "python3 '" + script + "' '" + path_ + "' '" + json_path + "'";
  EXPECT_EQ(std::system(command.c_str()), 0) << command;
}

TEST_F(SettingsFileTest, KillDuringWritesLeavesAWholeFile) {
  // Each batch sets every key of a large file to one generation. A torn
  // write leaves the file empty, cut short, with keys of two generations or
  // with keys missing; a lost write takes the generation back.
  constexpr int kSections = 40, kKeys = 8;
  const std::string payload(2000, 'p');
  auto write_generation = [&](SettingsFile& file, int gen) {
    return file.Batch([&](SettingsBatch& b) {
      b.WriteInteger("Gen", "all", gen);
      for (int s = 0; s < kSections; ++s) {
        for (int k = 0; k < kKeys; ++k) {
          b.WriteString("Sec" + std::to_string(s), "k" + std::to_string(k),
                        std::to_string(gen) + ":" + payload);
        }
      }
    });
  };
  {
    SettingsFile file(path_);
    ASSERT_TRUE(write_generation(file, 0));
  }
  int last_gen = 0;
  for (int round = 0; round < 24; ++round) {
    pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      SettingsFile file(path_);
      for (int gen = file.ReadInteger("Gen", "all", -1000) + 1;; ++gen) {
        write_generation(file, gen);
      }
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(5 + round * 3));
    kill(child, SIGKILL);
    waitpid(child, nullptr, 0);
    const std::string raw = ReadRaw();
    ASSERT_FALSE(raw.empty()) << "torn: an empty file, round " << round;
    ASSERT_EQ(raw.substr(raw.size() - 2), "\r\n") << "torn, round " << round;
    SettingsFile file(path_);
    Settings s = file.Open();
    const int gen = s.ReadInteger("Gen", "all", -1);
    ASSERT_GE(gen, last_gen) << "a finished write was lost";
    const std::string expected = std::to_string(gen) + ":" + payload;
    for (int sec = 0; sec < kSections; ++sec) {
      for (int k = 0; k < kKeys; ++k) {
        ASSERT_EQ(s.ReadString("Sec" + std::to_string(sec),
                               "k" + std::to_string(k), "missing"),
                  expected)
            << "generations mixed, round " << round;
      }
    }
    last_gen = gen;
    // Temporary files of a killed write are hidden ones; clear them.
    for (const auto& e : fs::directory_iterator(dir_)) {
      if (e.path().filename() != "mirokata.ini") fs::remove(e.path());
    }
  }
  EXPECT_GT(last_gen, 0);  // the children did get to write
}

TEST_F(SettingsFileTest, ABatchIsOneRewriteAndItsReadsSeeItsChanges) {
  WriteRaw(
      "[Keep]\r\nx=1\r\n[Old]\r\na=1\r\n[Twice]\r\nq=1\r\n"
      "; note\r\nr=2\r\n\r\n[TWICE]\r\nq=3\r\n");
  SettingsFile file(path_);
  SettingsFile other(path_);  // another window
  RenameWatch watch(dir_);
  ASSERT_TRUE(watch.ok());
  Settings session = file.Open();
  SettingsBatch batch = session.StartBatch();
  const char* keys[] = {"closetime", "file",    "bitmap",  "Smtp",
                        "Wallpaper", "Stretch", "Execute", "Execlose"};
  for (int i = 0; i < 8; ++i) {
    ASSERT_TRUE(batch.WriteInteger("/data/0900____.~~", keys[i], i));
  }
  batch.EraseSection("old");
  ASSERT_TRUE(batch.ReplaceSection("twice", {{"q", "9"}, {"s", "é"}}));
  EXPECT_FALSE(batch.WriteString("Bad", "a=b", "x"));  // refused, not kept
  EXPECT_EQ(batch.size(), 10u);
  // The batch reads its own changes; nothing is on disk yet.
  EXPECT_EQ(batch.ReadInteger("/data/0900____.~~", "Execlose", -1), 7);
  EXPECT_FALSE(batch.HasSection("Old"));
  EXPECT_EQ(batch.ListKeys("Twice"), (std::vector<std::string>{"q", "s"}));
  EXPECT_FALSE(session.HasSection("/data/0900____.~~"));
  EXPECT_EQ(watch.Take("mirokata.ini").renamed_onto, 0);
  // Another window writes meanwhile; its key stays.
  ASSERT_TRUE(other.WriteString("Keep", "y", "2"));
  EXPECT_EQ(watch.Take("mirokata.ini").renamed_onto, 1);

  ASSERT_TRUE(batch.Commit());
  RenameWatch::Counts counts = watch.Take("mirokata.ini");
  EXPECT_EQ(counts.renamed_onto, 1);
  EXPECT_EQ(counts.created, 1);
  EXPECT_EQ(batch.size(), 0u);
  EXPECT_EQ(ReadRaw(),
            "[Keep]\r\nx=1\r\ny=2\r\n[Twice]\r\nq=9\r\ns={u}{E9}\r\n"
            "\r\n[/data/0900____.~~]\r\nclosetime=0\r\nfile=1\r\n"
            "bitmap=2\r\nSmtp=3\r\nWallpaper=4\r\nStretch=5\r\n"
            "Execute=6\r\nExeclose=7\r\n");
  EXPECT_EQ(other.ReadString("twice", "s", ""), "é");

  // The same eight keys one by one: eight rewrites.
  for (int i = 0; i < 8; ++i) {
    ASSERT_TRUE(file.WriteInteger("/data/0900____.~~", keys[i], 10 + i));
  }
  EXPECT_EQ(watch.Take("mirokata.ini").renamed_onto, 8);
  // A batch that changes nothing writes nothing.
  ASSERT_TRUE(
      file.Batch([](SettingsBatch& b) { b.WriteInteger("Keep", "x", 1); }));
  EXPECT_EQ(watch.Take("mirokata.ini").renamed_onto, 0);
  // A batch left without Commit() writes nothing either.
  {
    SettingsBatch dropped = file.StartBatch();
    dropped.WriteInteger("Keep", "x", 5);
  }
  EXPECT_EQ(watch.Take("mirokata.ini").renamed_onto, 0);
  EXPECT_EQ(file.ReadInteger("Keep", "x", 0), 1);
}

TEST_F(SettingsFileTest, TheFileIsTheOwnersAlone) {
  auto mode = [&] {
    struct stat st {};
    stat(path_.c_str(), &st);
    return st.st_mode & 07777;
  };
  SettingsFile file(path_);
  ASSERT_TRUE(file.WriteString("pop", "pass1", "secret"));
  EXPECT_EQ(mode(), 0600u);
  chmod(path_.c_str(), 0644);  // as an earlier version left it
  ASSERT_TRUE(file.WriteString("pop", "pass1", "other"));
  EXPECT_EQ(mode(), 0600u);
}

TEST_F(SettingsFileTest, ALinkedFileStaysALink) {
  fs::create_directories(dir_ + "/dotfiles");
  const std::string target = dir_ + "/dotfiles/mirokata.ini";
  std::ofstream(target, std::ios::binary) << "[Form]\r\ntop=1\r\n";
  fs::create_symlink("dotfiles/mirokata.ini", path_);
  SettingsFile file(path_);
  ASSERT_TRUE(file.WriteInteger("Form", "left", 2));
  EXPECT_TRUE(fs::is_symlink(path_));
  std::string data;
  ASSERT_EQ(ReadWholeFile(target, &data), ReadResult::kOk);
  EXPECT_EQ(data, "[Form]\r\ntop=1\r\nleft=2\r\n");
  SettingsFile again(path_);
  EXPECT_EQ(again.ReadInteger("Form", "left", 0), 2);
  EXPECT_EQ(std::distance(fs::directory_iterator(dir_ + "/dotfiles"), {}), 1);
}

TEST_F(SettingsFileTest, AFifoIsUnreadableAtOnceAndNeverWritten) {
  ASSERT_EQ(mkfifo(path_.c_str(), 0600), 0);
  // In a child, so that a blocking open fails the test instead of hanging
  // it: no writer ever comes.
  const std::optional<char> result = RunInChild([&] {
    SettingsFile file(path_);
    std::vector<std::string> messages;
    file.SetProblemReporter(
        [&](const std::string& m) { messages.push_back(m); });
    const bool as_a_folder =
        file.ReadInteger("Horiday", "Set", 7) == 7 &&
        file.origin() == SettingsFile::Origin::kUnreadable &&
        file.read_only() && !file.WriteInteger("Horiday", "Set", 1) &&
        messages.size() == 1 &&
        messages[0].find("設定ファイルを読み込めません。") != std::string::npos;
    return as_a_folder ? 'y' : 'n';
  });
  ASSERT_TRUE(result.has_value()) << "reading a FIFO settings file blocked";
  EXPECT_EQ(*result, 'y');
  struct stat st {};
  ASSERT_EQ(lstat(path_.c_str(), &st), 0);
  EXPECT_TRUE(S_ISFIFO(st.st_mode));
}

}  // namespace
}  // namespace mirokata
