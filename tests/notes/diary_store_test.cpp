// Pages on disk: finding, opening, converting old day files, saving.
#include "notes/diary_store.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "base/settings_file.h"
#include "platform/file_io.h"
#include "platform/testing/fake_messages.h"
#include "platform/text_codec.h"
#include "richtext/rtf_reader.h"
#include "support/file_size_limit.h"
#include "support/temp_folder.h"

namespace mirokata {
namespace {

namespace fs = std::filesystem;

std::string Sjis(std::string_view utf8) { return Utf8ToCp932(utf8); }

std::string Slurp(const std::string& path) {
  std::string data;
  ReadWholeFile(path, &data);
  return data;
}

struct FileStamp {
  std::string bytes;
  int64_t mtime_ns = 0;
  bool operator==(const FileStamp&) const = default;
};

FileStamp StampOf(const std::string& path) {
  struct stat info {};
  ::stat(path.c_str(), &info);
  return {Slurp(path),
          int64_t(info.st_mtim.tv_sec) * 1000000000 + info.st_mtim.tv_nsec};
}

std::vector<std::string> Names(const TempFolder& folder) {
  std::vector<std::string> names;
  for (const auto& e : fs::directory_iterator(folder.path()))
    names.push_back(e.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

constexpr CivilDate kMay1{2024, 5, 1};
constexpr char kNewTitle[] = "2024/05/01 (水)の日記";

TEST(DiaryStore, FindsPagesInAnyCaseAndSavesOverTheFileRead) {
  const char* spellings[] = {"20240501.JNL", "20240501.jnl", "20240501.Jnl"};
  for (const char* name : spellings) {
    SCOPED_TRACE(name);
    TempFolder folder;
    folder.Touch(name, "TITLE:old\r\n:END\r\nbody\r\n");
    OpenedPage opened = OpenDiaryPage(folder.path(), kMay1, 2026, kNewTitle);
    ASSERT_EQ(opened.state, PageOpenState::kRead);
    EXPECT_EQ(opened.path, folder / name);
    EXPECT_EQ(opened.page.header.title, "old");
    opened.page.header.title = "new";
    std::string error;
    ASSERT_TRUE(SaveDiaryPage(opened.path, opened.page, &error)) << error;
    EXPECT_EQ(Names(folder), std::vector<std::string>{name});
    struct stat info {};
    ASSERT_EQ(::stat((folder / name).c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0600u);
    EXPECT_EQ(OpenDiaryPage(folder.path(), kMay1, 2026, "").page.header.title,
              "new");
  }
}

TEST(DiaryStore, OpeningNeverWritesWhateverThePage) {
  const std::pair<const char*, std::string> pages[] = {
      {"read", "TITLE:t\r\n:END\r\n{\\rtf1 x}"},
      {"cipher", "CIPHER:x\r\n:END\r\n"},
      {"bad number", "YOV_LEFT:1e3\r\n:END\r\n"},
      {"no end", "TITLE:t\r\n"},
      {"empty", ""},
  };
  for (const auto& [name, bytes] : pages) {
    SCOPED_TRACE(name);
    TempFolder folder;
    folder.Touch("20240501.JNL", bytes);
    folder.Touch("ni240501.day", "old\r\n");
    const FileStamp before = StampOf(folder / "20240501.JNL");
    const FileStamp old_before = StampOf(folder / "ni240501.day");
    usleep(20000);
    OpenDiaryPage(folder.path(), kMay1, 2026, kNewTitle);
    EXPECT_EQ(StampOf(folder / "20240501.JNL"), before);
    EXPECT_EQ(StampOf(folder / "ni240501.day"), old_before);
    EXPECT_EQ(Names(folder),
              (std::vector<std::string>{"20240501.JNL", "ni240501.day"}));
  }
}

TEST(DiaryStore, StatesOfOpening) {
  TempFolder folder;
  folder.Touch("20240502.JNL", "CODE:HTML\r\n:END\r\n");
  folder.Touch("20240503.JNL", "");
  fs::create_directory(folder / "20240504.JNL");
  ASSERT_EQ(::mkfifo((folder / "20240505.jnl").c_str(), 0600), 0);

  OpenedPage fresh = OpenDiaryPage(folder.path(), kMay1, 2026, kNewTitle);
  EXPECT_EQ(fresh.state, PageOpenState::kNew);
  EXPECT_EQ(fresh.page.header.title, kNewTitle);
  EXPECT_EQ(fresh.path, folder / "20240501.JNL");

  OpenedPage html = OpenDiaryPage(folder.path(), {2024, 5, 2}, 2026, "");
  EXPECT_EQ(html.state, PageOpenState::kRefused);
  EXPECT_NE(html.message.find("HTML"), std::string::npos);

  EXPECT_EQ(OpenDiaryPage(folder.path(), {2024, 5, 3}, 2026, "").state,
            PageOpenState::kBroken);

  // A page that is there but cannot be read is never taken for a new one.
  for (int day : {4, 5}) {
    SCOPED_TRACE(day);
    OpenedPage odd = OpenDiaryPage(folder.path(), {2024, 5, day}, 2026, "");
    EXPECT_EQ(odd.state, PageOpenState::kRefused);
    EXPECT_NE(odd.message.find("を読み込めないので中断します。"),
              std::string::npos);
  }
}

TEST(DiaryStore, ConvertsOldDayFiles) {
  struct Case {
    const char* name;
    std::string old_bytes;
    std::string title, weather, text;
  };
  const Case cases[] = {
      {"with weather", Sjis("遠足\r\n【天気】晴\r\n一行目\r\n二行目\r\n"),
       "遠足", "晴", "一行目\r\n二行目\r\n"},
      {"without weather", Sjis("遠足\r\n晴れた\r\n"), "遠足", "", "晴れた\r\n"},
      {"LF only, upper-case name", Sjis("題\n【天気】雨\nx\n"), "題", "雨",
       "x\r\n"},
      {"title only", Sjis("題だけ"), "題だけ", "", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TempFolder folder;
    const std::string old_name =
        std::string(c.name).find("upper") != std::string::npos ? "NI240501.DAY"
                                                               : "ni240501.day";
    folder.Touch(old_name, c.old_bytes);
    OpenedPage opened = OpenDiaryPage(folder.path(), kMay1, 2026, kNewTitle);
    ASSERT_EQ(opened.state, PageOpenState::kConverted);
    EXPECT_TRUE(opened.written);
    EXPECT_EQ(opened.page.header.title, c.title);
    EXPECT_EQ(opened.page.header.weather, c.weather);
    EXPECT_EQ(RichTextToPlainText(opened.page.body), c.text);
    EXPECT_EQ(opened.message, "NI240501.DAYを" + folder.path() +
                                  "/20240501.JNLに変換し保存しました｡");
    EXPECT_EQ(Names(folder), std::vector<std::string>{"20240501.JNL"});
    const std::string page = Slurp(folder / "20240501.JNL");
    EXPECT_TRUE(page.starts_with("TITLE:" + Sjis(c.title) + "\r\nWEATHER:" +
                                 Sjis(c.weather) + "\r\n:END\r\n"))
        << page;
    struct stat info {};
    ::stat((folder / "20240501.JNL").c_str(), &info);
    EXPECT_EQ(info.st_mode & 0777, 0600u);
  }
}

TEST(DiaryStore, OldDayFileBelongsToTheYearOfItsCentury) {
  TempFolder folder;
  folder.Touch("ni990501.day", "old\r\n");
  OpenedPage far = OpenDiaryPage(folder.path(), {2099, 5, 1}, 2026, "t");
  EXPECT_EQ(far.state, PageOpenState::kNew);
  EXPECT_EQ(Names(folder), std::vector<std::string>{"ni990501.day"});
  OpenedPage near = OpenDiaryPage(folder.path(), {1999, 5, 1}, 2026, "t");
  EXPECT_EQ(near.state, PageOpenState::kConverted);
  EXPECT_EQ(Names(folder), std::vector<std::string>{"19990501.JNL"});
}

TEST(DiaryStore, PageNextToAnOldFileLeavesTheOldFileAlone) {
  TempFolder folder;
  folder.Touch("20240501.JNL", "TITLE:page\r\n:END\r\n");
  folder.Touch("ni240501.day", "old\r\n");
  OpenedPage opened = OpenDiaryPage(folder.path(), kMay1, 2026, "t");
  EXPECT_EQ(opened.state, PageOpenState::kRead);
  EXPECT_EQ(opened.page.header.title, "page");
  EXPECT_EQ(Names(folder),
            (std::vector<std::string>{"20240501.JNL", "ni240501.day"}));
}

TEST(DiaryStore, FailedConversionKeepsTheOldFileAndTheText) {
  TempFolder folder;
  const std::string old_bytes =
      Sjis("遠足\r\n【天気】晴\r\n") + std::string(4096, 'a') + "\r\n";
  folder.Touch("ni240501.day", old_bytes);
  OpenedPage opened;
  {
    FileSizeLimit limit(1024);
    ASSERT_TRUE(limit.ok());
    opened = OpenDiaryPage(folder.path(), kMay1, 2026, "t");
  }
  EXPECT_EQ(opened.state, PageOpenState::kConverted);
  EXPECT_FALSE(opened.written);
  EXPECT_TRUE(opened.message.starts_with("保存できません。\r" + folder.path() +
                                         "/20240501.JNL\r"))
      << opened.message;
  EXPECT_EQ(opened.page.header.title, "遠足");
  EXPECT_EQ(Names(folder), std::vector<std::string>{"ni240501.day"});
  EXPECT_EQ(Slurp(folder / "ni240501.day"), old_bytes);
}

TEST(DiaryStore, FailedSaveKeepsTheOldPage) {
  TempFolder folder;
  folder.Touch("20240501.JNL", "TITLE:old\r\n:END\r\nx\r\n");
  const FileStamp before = StampOf(folder / "20240501.JNL");
  DiaryPage page;
  page.body = std::string(8192, 'b');
  std::string error;
  {
    FileSizeLimit limit(1024);
    ASSERT_TRUE(limit.ok());
    EXPECT_FALSE(SaveDiaryPage(folder / "20240501.JNL", page, &error));
  }
  EXPECT_FALSE(error.empty());
  EXPECT_EQ(StampOf(folder / "20240501.JNL"), before);
  EXPECT_EQ(Names(folder), std::vector<std::string>{"20240501.JNL"});
  EXPECT_EQ(SaveFailureMessage("/d/x.JNL", "disk full"),
            "保存できません。\r/d/x.JNL\rdisk full");
}

TEST(DiaryStore, ListingKeepsOneSpellingPerDate) {
  TempFolder folder;
  folder.TouchAll({"20240501.jnl", "20240501.JNL", "20240502.jnl",
                   "ni990501.DAY", "ni990501.day", ".20240503.JNL.tmp-x",
                   "20240230.JNL", "2024050.JNL", "notes.txt"});
  const DiaryListing listing = ListDiaryFolder(folder.path());
  ASSERT_TRUE(listing.readable);
  EXPECT_EQ(listing.pages,
            (std::map<int32_t, std::string>{{20240501, "20240501.JNL"},
                                            {20240502, "20240502.jnl"}}));
  EXPECT_EQ(listing.old_days,
            (std::map<int32_t, std::string>{{990501, "ni990501.day"}}));
  EXPECT_FALSE(ListDiaryFolder(folder / "missing").readable);
}

}  // namespace
}  // namespace mirokata

namespace mirokata {
namespace {

TEST(DiaryFolder, MadePrivateInThePrivacyFolderElseTheDataFolder) {
  TempFolder home, data, privacy;
  SettingsFile settings(home / "mirokata.ini");
  settings.WriteString("Calendar", "Directory", data.path());
  FakeMessages messages;
  EXPECT_EQ(EnsureDiaryFolder(settings, messages), data / "Diary");
  EXPECT_EQ(DiaryFolderPath(settings), data / "Diary");
  settings.WriteString("Privacy", "Directory", privacy.path());
  EXPECT_EQ(EnsureDiaryFolder(settings, messages), privacy / "Diary");
  struct stat info {};
  ASSERT_EQ(::stat((privacy / "Diary").c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 0777, 0700u);
  EXPECT_TRUE(messages.shown().empty());
  // A file in the way: the user is told, nothing is returned.
  std::ofstream(data / "Diary.tmp") << "x";
  settings.WriteString("Privacy", "Directory", data / "Diary.tmp");
  EXPECT_FALSE(EnsureDiaryFolder(settings, messages));
  EXPECT_EQ(messages.shown().size(), 1u);
}

}  // namespace
}  // namespace mirokata
