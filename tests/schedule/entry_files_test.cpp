#include "schedule/entry_files.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <time.h>

#include <atomic>
#include <filesystem>

#include "base/folders.h"
#include "base/program_folder.h"
#include "base/settings_file.h"
#include "schedule/folder_index.h"
#include "support/rename_watch.h"
#include "support/temp_folder.h"

namespace mirokata {
namespace {

namespace fs = std::filesystem;
using Names = std::vector<std::string>;

int64_t NowNs() {
  struct timespec ts;
  ::clock_gettime(CLOCK_REALTIME, &ts);
  return int64_t(ts.tv_sec) * 1'000'000'000 + ts.tv_nsec;
}

TEST(WildcardMatchTest, QuestionMarkIsOneCharacterStarAnyRun) {
  EXPECT_TRUE(WildcardMatch("_????___.TUE", "_~_~____.TUE"));
  EXPECT_FALSE(WildcardMatch("_????___.TUE", "_~_~___.TUE"));
  EXPECT_TRUE(WildcardMatch("BORN0229.*", "BORN0229.1980"));
  EXPECT_TRUE(WildcardMatch("BORN0229.*", "BORN0229."));
  EXPECT_FALSE(WildcardMatch("BORN0229.*", "BORN0228.1980"));
  EXPECT_TRUE(WildcardMatch("*.*", "A.B"));
  EXPECT_TRUE(WildcardMatch("A*B*C", "AXXBYYBC"));
  EXPECT_FALSE(WildcardMatch("A*B*C", "AXXBYYB"));
  // A star in a file name is just a character (found by fuzzing).
  EXPECT_TRUE(WildcardMatch("A*", "A*X"));
}

TEST(FolderIndexTest, ListsFilesOnlySortedAndIgnoringCase) {
  TempFolder dir;
  dir.TouchAll({"~_~_~___.TUE", "_~~~~___.tue", "_~_~~___.TUE", "BORN0229.1980",
                ".BORN0229.1980.tmp-abc"});
  fs::create_directory(dir / "_~~~_~__.TUE");  // a folder, skipped
  fs::create_symlink(dir / "~_~_~___.TUE", dir / "__~~~___.TUE");
  fs::create_symlink(dir / "missing", dir / "____~___.TUE");  // dangling
  ::mkfifo((dir / "___~____.TUE").c_str(), 0600);  // never to be opened

  FolderIndex index(dir.path());
  auto snap = index.Refresh();
  ASSERT_TRUE(snap->readable());
  Names found;
  snap->Match("_????___.tue", &found);
  EXPECT_EQ(found, (Names{"__~~~___.TUE", "_~_~~___.TUE", "_~~~~___.tue"}));
  found.clear();
  snap->Match("born0229.*", &found);
  EXPECT_EQ(found, Names{"BORN0229.1980"});
  found.clear();
  snap->Match("*", &found);
  EXPECT_EQ(found.size(), 5u);  // the hidden temporary is not an entry

  ASSERT_NE(snap->Find("_~~~~___.TUE"), nullptr);
  EXPECT_EQ(*snap->Find("_~~~~___.TUE"), "_~~~~___.tue");
  EXPECT_EQ(snap->Find("_~~~_~__.TUE"), nullptr);  // folder
  EXPECT_EQ(snap->Find("____~___.TUE"), nullptr);  // dangling link
  EXPECT_EQ(snap->Find("___~____.TUE"), nullptr);  // pipe
}

TEST(FolderIndexTest, CaseTwinsPreferTheExactSpelling) {
  TempFolder dir;
  dir.TouchAll({"0900____.TUE", "0900____.tue"});
  FolderIndex index(dir.path());
  auto snap = index.Refresh();
  EXPECT_EQ(*snap->Find("0900____.tue"), "0900____.tue");
  EXPECT_EQ(*snap->Find("0900____.TUE"), "0900____.TUE");
  EXPECT_EQ(*snap->Find("0900____.Tue"), "0900____.TUE");
}

TEST(FolderIndexTest, SeesChangesMadeAMomentAgo) {
  TempFolder dir;
  FolderIndex index(dir.path());
  EXPECT_FALSE(index.Refresh()->Contains("0730____.__"));
  dir.Touch("0730____.__");
  EXPECT_TRUE(index.Refresh()->Contains("0730____.__"));
  fs::remove(dir / "0730____.__");
  EXPECT_FALSE(index.Refresh()->Contains("0730____.__"));
  fs::rename(dir.path(), dir.path() + ".old");
  fs::create_directory(dir.path());
  dir.Touch("W0000600.__");
  auto snap = index.Refresh();  // another folder now answers to the path
  EXPECT_TRUE(snap->Contains("W0000600.__"));
  fs::remove_all(dir.path() + ".old");
}

TEST(FolderIndexTest, RescansOnlyWhileTheFolderTimeIsRecent) {
  TempFolder dir;
  dir.Touch("0730____.__");
  std::atomic<int64_t> now{NowNs()};
  FolderIndex index(dir.path(), [&] { return now.load(); });
  index.Refresh();
  index.Refresh();
  // The folder changed within two seconds of the scan: a file added in the
  // same timestamp tick would not show in its time, so scan again.
  EXPECT_EQ(index.scan_count(), 2u);

  now = NowNs() + 3'000'000'000;
  index.Refresh();  // this scan is safely after the folder time
  const uint64_t settled = index.scan_count();
  for (int i = 0; i < 5; ++i) index.Refresh();
  EXPECT_EQ(index.scan_count(), settled);

  dir.Touch("0800____.__");
  EXPECT_TRUE(index.Refresh()->Contains("0800____.__"));
  EXPECT_EQ(index.scan_count(), settled + 1);
}

TEST(FolderIndexTest, MissingFolderIsEmptyUntilItAppears) {
  TempFolder dir;
  const std::string path = dir / "data";
  FolderIndex index(path);
  auto snap = index.Refresh();
  EXPECT_FALSE(snap->readable());
  EXPECT_EQ(snap->size(), 0u);
  index.Refresh();
  EXPECT_EQ(index.scan_count(), 1u);  // a missing folder costs one stat

  fs::create_directory(path);
  std::ofstream(path + "/0730____.__") << "x";
  EXPECT_TRUE(index.Refresh()->Contains("0730____.__"));

  FolderIndex file_not_folder(path + "/0730____.__");
  EXPECT_FALSE(file_not_folder.Refresh()->readable());
}

class EntryFolderTest : public ::testing::Test {
 protected:
  TempFolder dir_;
  TempFolder program_dir_;
  EntryFolder folder_{dir_.path()};
  SettingsFile settings_{program_dir_ / "mirokata.ini"};
};

TEST_F(EntryFolderTest, FullPathJoinsTheFolderTextAsConfigured) {
  EXPECT_EQ(EntryFolder(".").FullPath("0730____.__"), "./0730____.__");
  EXPECT_EQ(EntryFolder("/data/").FullPath("0730____.__"),
            "/data//0730____.__");
  EXPECT_EQ(EntryFolder("").FullPath("0730____.__"), "./0730____.__");
  EXPECT_EQ(EntryFolder("/data").FullPath("W0000600.__"), "/data/W0000600.__");
}

TEST_F(EntryFolderTest, ContentRoundTripsAsBytes) {
  const std::string rtf("{\\rtf1\\ansi\\ansicpg932 \\'93\\'fa\0\xff}", 30);
  ASSERT_TRUE(folder_.WriteContent("____0115.71", rtf));
  std::string back;
  EXPECT_EQ(folder_.ReadContent("____0115.71", &back), ReadResult::kOk);
  EXPECT_EQ(back, rtf);
  ASSERT_TRUE(folder_.WriteContent("____0115.71", "new"));
  EXPECT_EQ(folder_.ReadContent("____0115.71", &back), ReadResult::kOk);
  EXPECT_EQ(back, "new");
  EXPECT_EQ(folder_.ReadContent("____0116.71", &back), ReadResult::kMissing);
  // No temporary is left behind by the atomic writes.
  EXPECT_EQ(folder_.Snapshot()->AllNames(), Names{"____0115.71"});
  EXPECT_EQ(std::distance(fs::directory_iterator(dir_.path()), {}), 1);
}

TEST_F(EntryFolderTest, CaseTwinOnDiskIsReadAndReplacedNotDuplicated) {
  dir_.Touch("0900____.tue", "old");
  std::string back;
  EXPECT_EQ(folder_.ReadContent("0900____.TUE", &back), ReadResult::kOk);
  EXPECT_EQ(back, "old");
  ASSERT_TRUE(folder_.WriteContent("0900____.TUE", "new"));
  EXPECT_EQ(folder_.Snapshot()->AllNames(), Names{"0900____.tue"});
  EXPECT_EQ(folder_.ReadContent("0900____.tue", &back), ReadResult::kOk);
  EXPECT_EQ(back, "new");
}

TEST_F(EntryFolderTest, NewEntriesLeaveEveryExistingSpellingAlone) {
  dir_.Touch("0900____.tue", "old");
  const std::vector<EntryFolder::NewEntry> batch = {
      {"0900____.TUE", "new"},  // a case twin of a file on disk
      {"____0214.23", "a"},
      {"____0214.23", "b"},  // an earlier item of the batch
      {"../____0215.23", "c"},
      {"____0216.23", "d"}};
  const EntryFolder::NewEntriesResult dry =
      folder_.WriteNewEntries(batch, true);
  EXPECT_EQ(dry.written, (Names{"____0214.23", "____0216.23"}));
  EXPECT_EQ(folder_.Snapshot()->AllNames(), Names{"0900____.tue"});

  const EntryFolder::NewEntriesResult done = folder_.WriteNewEntries(batch);
  EXPECT_EQ(done.written, dry.written);
  EXPECT_EQ(done.existing, (std::vector<size_t>{0, 2}));
  ASSERT_EQ(done.failed.size(), 1u);
  EXPECT_EQ(done.failed[0].first, 3u);
  // Seen at once, and nothing replaced.
  EXPECT_EQ(folder_.Snapshot()->AllNames(),
            (Names{"0900____.tue", "____0214.23", "____0216.23"}));
  std::string back;
  folder_.ReadContent("0900____.tue", &back);
  EXPECT_EQ(back, "old");
  folder_.ReadContent("____0214.23", &back);
  EXPECT_EQ(back, "a");
}

TEST_F(EntryFolderTest, NewEntriesNeverReplaceAFileThatTurnsUpMeanwhile) {
  // The look at the folder is pinned before the file appears, as when
  // another program writes it while the batch runs.
  FolderPin pin(&folder_);
  ASSERT_FALSE(folder_.Exists("____0214.23"));
  dir_.Touch("____0214.23", "theirs");
  const EntryFolder::NewEntriesResult done = folder_.WriteNewEntries(
      {{"____0213.23", "a"}, {"____0214.23", "b"}, {"____0215.23", "c"}});
  EXPECT_EQ(done.written, (Names{"____0213.23", "____0215.23"}));
  EXPECT_EQ(done.existing, (std::vector<size_t>{1}));
  EXPECT_TRUE(done.failed.empty());
  std::string back;
  folder_.ReadContent("____0214.23", &back);
  EXPECT_EQ(back, "theirs");
  struct stat st;
  ASSERT_EQ(::stat((dir_ / "____0215.23").c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 07777, PublicFileMode());
  EXPECT_EQ(std::distance(fs::directory_iterator(dir_.path()), {}), 3);
}

TEST_F(EntryFolderTest, RefusesNamesOutsideTheGrammarOrTheFolder) {
  std::string error;
  for (const char* bad :
       {"../0730____.__", "sub/0730____.__", "notes.txt", "", "____0230.__"}) {
    EXPECT_FALSE(folder_.WriteContent(bad, "x", &error)) << bad;
    EXPECT_FALSE(error.empty());
  }
  std::string back;
  EXPECT_EQ(folder_.ReadContent("../mirokata.ini", &back),
            ReadResult::kMissing);
  EXPECT_FALSE(folder_.Delete("../mirokata.ini", &settings_));
}

TEST_F(EntryFolderTest, DeletingAPopupTakesItsOptionsWithIt) {
  PopupOptions options;
  options.closetime = 30;
  options.file = "/sounds/bell.wav";
  options.smtp = true;
  options.execute = "/usr/bin/xterm?-e top";
  for (const char* name : {"0730____.__", "W0000600.__", "~_~~__25.__"}) {
    ASSERT_TRUE(folder_.WriteContent(name, "x"));
    ASSERT_TRUE(WritePopupOptions(settings_, folder_.FullPath(name), options));
  }

  ASSERT_TRUE(folder_.Delete("0730____.__", &settings_));
  ASSERT_TRUE(folder_.Delete("w0000600.__", &settings_));  // any case
  // A schedule has no options; a section of that name is someone else's.
  ASSERT_TRUE(folder_.Delete("~_~~__25.__", &settings_));
  EXPECT_EQ(folder_.Snapshot()->size(), 0u);

  Settings s = settings_.Open();
  EXPECT_FALSE(s.HasSection(folder_.FullPath("0730____.__")));
  EXPECT_FALSE(s.HasSection(folder_.FullPath("W0000600.__")));
  EXPECT_TRUE(s.HasSection(folder_.FullPath("~_~~__25.__")));
  // Deleting what is already gone is no failure.
  EXPECT_TRUE(folder_.Delete("0730____.__", &settings_));
}

TEST_F(EntryFolderTest, DeleteRemovesEveryCaseTwin) {
  dir_.TouchAll({"0900____.TUE", "0900____.tue"});
  ASSERT_TRUE(folder_.Delete("0900____.Tue", nullptr));
  EXPECT_EQ(folder_.Snapshot()->size(), 0u);
}

TEST_F(EntryFolderTest, PopupOptionsDefaultsAndRoundTrip) {
  const std::string section = folder_.FullPath("0730____.__");
  EXPECT_EQ(ReadPopupOptions(settings_, section), PopupOptions{});

  PopupOptions o;
  o.closetime = 0;
  o.file = "";  // present but empty is not the same as absent
  o.bitmap = "/pictures/写真.JPG";
  o.wallpaper = true;
  o.stretch = true;
  o.execlose = "電卓";
  ASSERT_TRUE(WritePopupOptions(settings_, section, o));
  EXPECT_EQ(ReadPopupOptions(settings_, section), o);

  o.file.reset();
  o.bitmap.reset();
  ASSERT_TRUE(WritePopupOptions(settings_, section, o));
  EXPECT_EQ(ReadPopupOptions(settings_, section), o);
}

TEST_F(EntryFolderTest, PopupOptionsReadKeysInAnyCase) {
  std::ofstream(program_dir_ / "mirokata.ini")
      << "[" << folder_.FullPath("0730____.__") << "]\r\n"
      << "CLOSETIME=15\r\nsmtp=1\r\nEXECUTE=/bin/true\r\nFile=a.wav\r\n";
  PopupOptions o = ReadPopupOptions(settings_, folder_.FullPath("0730____.__"));
  EXPECT_EQ(o.closetime, 15);
  EXPECT_TRUE(o.smtp);
  EXPECT_EQ(o.execute, "/bin/true");
  EXPECT_EQ(o.file, "a.wav");
  EXPECT_FALSE(o.bitmap.has_value());
}

TEST(FolderPinTest, OneScanPerOperationRightAfterAChange) {
  TempFolder dir;
  dir.TouchAll({"0730____.__", "0900____.TUE", "0900____.tue"});
  // Every scan is within two seconds of the folder's time: unpinned, each
  // look would scan again.
  const int64_t now = NowNs();
  EntryFolder folder(dir.path(), [now] { return now; });
  {
    const FolderPin pin(&folder);
    for (int i = 0; i < 5; ++i) EXPECT_TRUE(folder.Exists("0730____.__"));
    {
      const FolderPin nested(&folder);
      EXPECT_EQ(folder.List("0900*").size(), 2u);
    }
    EXPECT_TRUE(folder.Resolve("0730____.__"));
    EXPECT_EQ(folder.index().scan_count(), 1u);

    // The operation's own changes are seen at once.
    ASSERT_TRUE(folder.WriteContent("0800____.__", "x"));
    EXPECT_TRUE(folder.Exists("0800____.__"));
    ASSERT_TRUE(folder.Delete("0900____.Tue", nullptr));
    EXPECT_EQ(folder.List("0900*"), Names{});
  }
  // Someone else's change shows at the next operation.
  dir.Touch("1000____.__");
  EXPECT_TRUE(folder.Exists("1000____.__"));
  const FolderPin nothing(nullptr);
}

// A data folder and a popup whose paths CP932 cannot hold survive a
// restart: the folder is the one that exists, the options are found under
// the entry's path, one section however often they are written, and each
// write of the options is one rewrite of the settings file.
TEST(EntryFolderUnicodeTest, FolderAndOptionsSurviveARestart) {
  for (const char* sub : {"josé/予定", "仕事〜2026", "😀", "한국/～"}) {
    SCOPED_TRACE(sub);
    TempFolder program;
    TempFolder data_root;
    const std::string data = data_root / sub;
    fs::create_directories(data);
    PopupOptions o;
    o.closetime = 45;
    o.file = data + "/鐘〜é😀.wav";
    o.bitmap = "/pictures/Ünïcode 〜.jpg";
    o.execute = "/usr/bin/xdg-open?" + data + "/메모.txt";
    o.execlose = "電卓〜";
    {
      SettingsFile settings(program / "mirokata.ini");
      ASSERT_TRUE(settings.WriteString("Calendar", "Directory", data));
      EntryFolder folder(data);
      ASSERT_TRUE(folder.WriteContent("0730____.__", "text"));
      RenameWatch watch(program.path());
      for (int i = 0; i < 3; ++i) {
        ASSERT_TRUE(
            WritePopupOptions(settings, folder.FullPath("0730____.__"), o));
        EXPECT_EQ(watch.Take("mirokata.ini").renamed_onto, i == 0 ? 1 : 0);
        o.closetime = 45;
      }
      o.closetime = 50;
      ASSERT_TRUE(
          WritePopupOptions(settings, folder.FullPath("0730____.__"), o));
      EXPECT_EQ(watch.Take("mirokata.ini").renamed_onto, 1);
    }
    SettingsFile settings(program / "mirokata.ini");  // a restart
    const std::string stored = DataFolder(settings.Open());
    EXPECT_EQ(stored, data);
    EXPECT_TRUE(FolderExists(stored));
    EntryFolder folder(stored);
    std::string content;
    EXPECT_EQ(folder.ReadContent("0730____.__", &content), ReadResult::kOk);
    const std::string section = folder.FullPath("0730____.__");
    EXPECT_EQ(ReadPopupOptions(settings, section), o);
    EXPECT_EQ(settings.Open().ListSections(), (Names{"Calendar", section}));
    ASSERT_TRUE(folder.Delete("0730____.__", &settings));
    EXPECT_FALSE(
        SettingsFile(program / "mirokata.ini").Open().HasSection(section));
  }
}

TEST(EntryFolderMissingTest, MissingFolderYieldsNothingSilently) {
  EntryFolder folder("/nonexistent/mirokata-data");
  EXPECT_FALSE(folder.Exists("0730____.__"));
  EXPECT_TRUE(folder.List("*").empty());
  std::string back;
  EXPECT_EQ(folder.ReadContent("0730____.__", &back), ReadResult::kMissing);
  EXPECT_FALSE(folder.WriteContent("0730____.__", "x"));
}

}  // namespace
}  // namespace mirokata
