#include "schedule/entry_editing.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QGuiApplication>
#include <QTextDocument>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "base/folders.h"
#include "base/settings_file.h"
#include "richtext/rtf_reader.h"
#include "richtext/rtf_writer.h"
#include "richtext/text_document_rtf_qt.h"
#include "support/rename_watch.h"
#include "support/temp_folder.h"

namespace mirokata {
namespace {

namespace fs = std::filesystem;

constexpr char kOneDayPopup[] = "09001211.26";
constexpr char kLaterPopup[] = "10001211.26";
constexpr char kOneDaySchedule[] = "____1211.26";

std::string ReadRaw(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

EntryStamp StampOnDisk(const std::string& path) {
  struct stat info;
  if (::stat(path.c_str(), &info) != 0) return EntryStamp();
  return StampOf(info);
}

// Takes the write bits away from a folder. False when this process writes
// there all the same (run as root): the test has nothing to show then.
bool MakeReadOnly(const std::string& folder) {
  fs::permissions(
      folder,
      fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
      fs::perm_options::remove);
  return ::access(folder.c_str(), W_OK) != 0;
}

void MakeWritable(const std::string& folder) {
  fs::permissions(folder, fs::perms::owner_write, fs::perm_options::add);
}

// A file of no permissions. False when this process reads it all the same.
bool MakeUnreadable(const std::string& path) {
  fs::permissions(path, fs::perms::none);
  return ::access(path.c_str(), R_OK) != 0;
}

class EntryEditingTest : public ::testing::Test {
 protected:
  std::string Path(const std::string& name) const {
    return folder_.FullPath(name);
  }
  SettingsBatch::Entries Keys(const std::string& section) {
    Settings s = settings_.Open();
    SettingsBatch::Entries entries;
    for (const std::string& key : s.ListKeys(section)) {
      entries.emplace_back(key, s.ReadString(section, key, ""));
    }
    return entries;
  }

  TempFolder dir_;
  TempFolder program_dir_;
  EntryFolder folder_{dir_.path()};
  SettingsFile settings_{program_dir_ / "mirokata.ini"};
};

// --- Loading -------------------------------------------------------------

TEST_F(EntryEditingTest, LoadGivesTheBytesAndTheStampOfTheFileRead) {
  dir_.Touch("0900____.tue", "{\\rtf1 old}");
  const LoadedEntry loaded = LoadEntryForEdit(folder_, "0900____.TUE");
  EXPECT_EQ(loaded.result, ReadResult::kOk);
  EXPECT_EQ(loaded.content, "{\\rtf1 old}");
  EXPECT_TRUE(loaded.stamp.exists);
  EXPECT_EQ(loaded.stamp, StampOnDisk(Path("0900____.tue")));
  EXPECT_EQ(loaded.stamp.size, 11);
  EXPECT_EQ(CurrentStamp(folder_, "0900____.Tue"), loaded.stamp);
}

TEST_F(EntryEditingTest, LoadOfAMissingEntryHasNoStamp) {
  const LoadedEntry loaded = LoadEntryForEdit(folder_, kOneDayPopup);
  EXPECT_EQ(loaded.result, ReadResult::kMissing);
  EXPECT_TRUE(loaded.content.empty());
  EXPECT_FALSE(loaded.stamp.exists);
  EXPECT_EQ(loaded.stamp, EntryStamp());
  EXPECT_EQ(CurrentStamp(folder_, kOneDayPopup), EntryStamp());
  // Nothing outside the folder is reached.
  program_dir_.Touch("x");
  EXPECT_EQ(LoadEntryForEdit(folder_, "../x").result, ReadResult::kMissing);
  EXPECT_EQ(LoadEntryForEdit(folder_, program_dir_ / "x").result,
            ReadResult::kMissing);
}

TEST_F(EntryEditingTest, AFolderOfTheEntrysNameIsUnreadable) {
  fs::create_directory(Path(kOneDayPopup));
  const LoadedEntry loaded = LoadEntryForEdit(folder_, kOneDayPopup);
  EXPECT_EQ(loaded.result, ReadResult::kUnreadable);
  EXPECT_TRUE(loaded.content.empty());
  EXPECT_TRUE(loaded.stamp.exists);
}

TEST_F(EntryEditingTest, AFileWithoutReadPermissionIsUnreadable) {
  dir_.Touch(kOneDayPopup, "secret");
  if (!MakeUnreadable(Path(kOneDayPopup))) {
    GTEST_SKIP() << "running with permissions that ignore the file's mode";
  }
  const LoadedEntry loaded = LoadEntryForEdit(folder_, kOneDayPopup);
  EXPECT_EQ(loaded.result, ReadResult::kUnreadable);
  EXPECT_TRUE(loaded.content.empty());
  EXPECT_TRUE(loaded.stamp.exists);
}

// --- Saving --------------------------------------------------------------

TEST_F(EntryEditingTest, SaveWritesAtomicallyAndGivesTheNewStamp) {
  LoadedEntry loaded = LoadEntryForEdit(folder_, kOneDayPopup);
  ASSERT_FALSE(folder_.Exists(kOneDayPopup));
  RenameWatch watch(dir_.path());
  SaveResult saved =
      SaveEntry(folder_, kOneDayPopup, "{\\rtf1 first}", loaded.stamp, false);
  ASSERT_EQ(saved.outcome, SaveOutcome::kSaved) << saved.error;
  EXPECT_TRUE(saved.error.empty());
  EXPECT_EQ(saved.stamp, StampOnDisk(Path(kOneDayPopup)));
  EXPECT_EQ(ReadRaw(Path(kOneDayPopup)), "{\\rtf1 first}");
  EXPECT_TRUE(folder_.Exists(kOneDayPopup));  // the index sees it at once
  if (watch.ok()) {
    EXPECT_EQ(watch.Take(kOneDayPopup).renamed_onto, 1);
  }
  struct stat info;
  ASSERT_EQ(::stat(Path(kOneDayPopup).c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 07777, PublicFileMode());

  // The stamp of a save is what the next save expects.
  saved =
      SaveEntry(folder_, kOneDayPopup, "{\\rtf1 second}", saved.stamp, false);
  ASSERT_EQ(saved.outcome, SaveOutcome::kSaved) << saved.error;
  EXPECT_EQ(ReadRaw(Path(kOneDayPopup)), "{\\rtf1 second}");
  EXPECT_EQ(LoadEntryForEdit(folder_, kOneDayPopup).stamp, saved.stamp);
}

TEST_F(EntryEditingTest, SaveReplacesTheSpellingOnDisk) {
  dir_.Touch("0900____.tue", "old");
  const LoadedEntry loaded = LoadEntryForEdit(folder_, "0900____.TUE");
  const SaveResult saved =
      SaveEntry(folder_, "0900____.TUE", "new", loaded.stamp, false);
  ASSERT_EQ(saved.outcome, SaveOutcome::kSaved) << saved.error;
  EXPECT_EQ(folder_.Snapshot()->AllNames(),
            std::vector<std::string>{"0900____.tue"});
  EXPECT_EQ(ReadRaw(Path("0900____.tue")), "new");
}

TEST_F(EntryEditingTest, SaveRefusesWhatAnotherWindowSavedMeanwhile) {
  ASSERT_TRUE(folder_.WriteContent(kOneDayPopup, "original"));
  const LoadedEntry mine = LoadEntryForEdit(folder_, kOneDayPopup);
  const LoadedEntry theirs = LoadEntryForEdit(folder_, kOneDayPopup);
  ASSERT_EQ(
      SaveEntry(folder_, kOneDayPopup, "theirs", theirs.stamp, false).outcome,
      SaveOutcome::kSaved);

  SaveResult saved =
      SaveEntry(folder_, kOneDayPopup, "mine", mine.stamp, false);
  EXPECT_EQ(saved.outcome, SaveOutcome::kChangedElsewhere);
  EXPECT_EQ(ReadRaw(Path(kOneDayPopup)), "theirs");
  // The user said to go on.
  saved = SaveEntry(folder_, kOneDayPopup, "mine", mine.stamp, true);
  EXPECT_EQ(saved.outcome, SaveOutcome::kSaved);
  EXPECT_EQ(ReadRaw(Path(kOneDayPopup)), "mine");
}

TEST_F(EntryEditingTest, SaveRefusesWhatWasDeletedOrCreatedMeanwhile) {
  ASSERT_TRUE(folder_.WriteContent(kOneDayPopup, "original"));
  const LoadedEntry loaded = LoadEntryForEdit(folder_, kOneDayPopup);
  ASSERT_TRUE(folder_.Delete(kOneDayPopup, &settings_));
  EXPECT_EQ(
      SaveEntry(folder_, kOneDayPopup, "mine", loaded.stamp, false).outcome,
      SaveOutcome::kChangedElsewhere);
  EXPECT_FALSE(fs::exists(Path(kOneDayPopup)));

  const LoadedEntry absent = LoadEntryForEdit(folder_, kLaterPopup);
  ASSERT_TRUE(folder_.WriteContent(kLaterPopup, "theirs"));
  EXPECT_EQ(
      SaveEntry(folder_, kLaterPopup, "mine", absent.stamp, false).outcome,
      SaveOutcome::kChangedElsewhere);
  EXPECT_EQ(ReadRaw(Path(kLaterPopup)), "theirs");
}

TEST_F(EntryEditingTest, SaveNeverWritesOverAFolderOfTheEntrysName) {
  fs::create_directory(Path(kOneDayPopup));
  dir_.Touch(std::string(kOneDayPopup) + "/inside", "kept");
  const LoadedEntry loaded = LoadEntryForEdit(folder_, kOneDayPopup);
  for (bool force : {false, true}) {
    const SaveResult saved =
        SaveEntry(folder_, kOneDayPopup, "new", loaded.stamp, force);
    EXPECT_EQ(saved.outcome, SaveOutcome::kUnreadable);
    EXPECT_FALSE(saved.error.empty());
  }
  EXPECT_TRUE(fs::is_directory(Path(kOneDayPopup)));
  EXPECT_EQ(ReadRaw(Path(kOneDayPopup) + "/inside"), "kept");
}

TEST_F(EntryEditingTest, SaveNeverWritesOverAFileItCannotRead) {
  dir_.Touch(kOneDayPopup, "precious");
  if (!MakeUnreadable(Path(kOneDayPopup))) {
    GTEST_SKIP() << "running with permissions that ignore the file's mode";
  }
  const LoadedEntry loaded = LoadEntryForEdit(folder_, kOneDayPopup);
  for (bool force : {false, true}) {
    EXPECT_EQ(
        SaveEntry(folder_, kOneDayPopup, "new", loaded.stamp, force).outcome,
        SaveOutcome::kUnreadable);
  }
  fs::permissions(Path(kOneDayPopup), fs::perms::owner_read);
  EXPECT_EQ(ReadRaw(Path(kOneDayPopup)), "precious");
}

TEST_F(EntryEditingTest, AMissingFolderFailsWithAReason) {
  EntryFolder gone(dir_ / "gone");
  const SaveResult saved =
      SaveEntry(gone, kOneDayPopup, "x", EntryStamp(), false);
  EXPECT_EQ(saved.outcome, SaveOutcome::kFailed);
  EXPECT_NE(saved.error.find("保存先のフォルダがありません。"),
            std::string::npos)
      << saved.error;
  EXPECT_FALSE(fs::exists(dir_ / "gone"));
}

TEST_F(EntryEditingTest, AReadOnlyFolderFailsAndKeepsTheOldFile) {
  ASSERT_TRUE(folder_.WriteContent(kOneDayPopup, "old"));
  const LoadedEntry loaded = LoadEntryForEdit(folder_, kOneDayPopup);
  if (!MakeReadOnly(dir_.path())) {
    MakeWritable(dir_.path());
    GTEST_SKIP() << "running with permissions that ignore the folder's mode";
  }
  const SaveResult saved =
      SaveEntry(folder_, kOneDayPopup, "new", loaded.stamp, false);
  MakeWritable(dir_.path());
  EXPECT_EQ(saved.outcome, SaveOutcome::kFailed);
  EXPECT_NE(saved.error.find("権限がありません"), std::string::npos)
      << saved.error;
  EXPECT_EQ(ReadRaw(Path(kOneDayPopup)), "old");
  EXPECT_EQ(folder_.Snapshot()->AllNames(),
            std::vector<std::string>{kOneDayPopup});
}

// --- Popup options -------------------------------------------------------

TEST_F(EntryEditingTest, OptionsTheEditsDoNotSetSurviveInOneRewrite) {
  const std::string section = Path(kOneDayPopup);
  PopupOptions stored;
  stored.closetime = 30;
  stored.file = "/sounds/鐘.wav";
  stored.bitmap = "/pictures/海.jpg";
  stored.wallpaper = true;
  stored.stretch = true;
  stored.execute = "/usr/bin/old";
  ASSERT_TRUE(WritePopupOptions(settings_, section, stored));
  ASSERT_TRUE(settings_.Batch([](SettingsBatch& b) {
    b.WriteString("Calendar", "Directory", "/data");
    b.WriteString("Popup_Teikei", "0", "会議");
  }));
  const SettingsBatch::Entries calendar = Keys("Calendar");
  const SettingsBatch::Entries teikei = Keys("Popup_Teikei");

  PopupOptionEdits edits;
  edits.closetime = -1;
  edits.smtp = true;
  edits.execute = "/usr/bin/new?--now";
  edits.execlose = "電卓";
  RenameWatch watch(program_dir_.path());
  ASSERT_TRUE(SavePopupOptions(settings_, section, edits));
  if (watch.ok()) {
    EXPECT_EQ(watch.Take("mirokata.ini").renamed_onto, 1);
  }

  PopupOptions expected = stored;
  expected.closetime = -1;
  expected.smtp = true;
  expected.execute = "/usr/bin/new?--now";
  expected.execlose = "電卓";
  EXPECT_EQ(ReadPopupOptions(settings_, section), expected);
  EXPECT_EQ(Keys("Calendar"), calendar);
  EXPECT_EQ(Keys("Popup_Teikei"), teikei);

  // Chosen sound and picture, wallpaper and stretching shown: all written.
  edits.file = "";
  edits.bitmap = "/pictures/山.jpg";
  edits.wallpaper = false;
  edits.stretch = false;
  ASSERT_TRUE(SavePopupOptions(settings_, section, edits));
  expected.file = "";
  expected.bitmap = "/pictures/山.jpg";
  expected.wallpaper = false;
  expected.stretch = false;
  EXPECT_EQ(ReadPopupOptions(settings_, section), expected);
}

TEST_F(EntryEditingTest, OptionsOfANewPopupStartFromTheDefaults) {
  PopupOptionEdits edits;
  edits.closetime = 60;
  ASSERT_TRUE(SavePopupOptions(settings_, Path(kOneDayPopup), edits));
  PopupOptions expected;
  expected.closetime = 60;
  EXPECT_EQ(ReadPopupOptions(settings_, Path(kOneDayPopup)), expected);
}

TEST_F(EntryEditingTest, ATimeChangeSavesASecondEntryBesideTheFirst) {
  PopupOptionEdits first;
  first.closetime = 10;
  first.execlose = "first";
  ASSERT_EQ(
      SaveEntry(folder_, kOneDayPopup, "first", EntryStamp(), false).outcome,
      SaveOutcome::kSaved);
  ASSERT_TRUE(SavePopupOptions(settings_, Path(kOneDayPopup), first));

  // The editor's time moved from 09:00 to 10:00: another entry.
  const LoadedEntry later = LoadEntryForEdit(folder_, kLaterPopup);
  EXPECT_EQ(later.result, ReadResult::kMissing);
  PopupOptionEdits second;
  second.closetime = 20;
  second.execlose = "second";
  ASSERT_EQ(
      SaveEntry(folder_, kLaterPopup, "second", later.stamp, false).outcome,
      SaveOutcome::kSaved);
  ASSERT_TRUE(SavePopupOptions(settings_, Path(kLaterPopup), second));

  EXPECT_EQ(ReadRaw(Path(kOneDayPopup)), "first");
  EXPECT_EQ(ReadRaw(Path(kLaterPopup)), "second");
  EXPECT_EQ(ReadPopupOptions(settings_, Path(kOneDayPopup)).execlose, "first");
  EXPECT_EQ(ReadPopupOptions(settings_, Path(kOneDayPopup)).closetime, 10);
  EXPECT_EQ(ReadPopupOptions(settings_, Path(kLaterPopup)).execlose, "second");
  EXPECT_EQ(ReadPopupOptions(settings_, Path(kLaterPopup)).closetime, 20);
}

// --- Adding to the one-day schedule ---------------------------------------

TEST_F(EntryEditingTest, AppendStartsAMissingScheduleWithThePopupText) {
  // An empty popup text adds nothing, not even an empty schedule.
  EXPECT_EQ(AppendToOneDaySchedule(folder_, kOneDaySchedule, "").outcome,
            SaveOutcome::kSaved);
  EXPECT_FALSE(fs::exists(Path(kOneDaySchedule)));
  const SaveResult saved =
      AppendToOneDaySchedule(folder_, kOneDaySchedule, "【9:00～】会議");
  ASSERT_EQ(saved.outcome, SaveOutcome::kSaved) << saved.error;
  const std::string data = ReadRaw(Path(kOneDaySchedule));
  EXPECT_TRUE(LooksLikeRtf(data));
  EXPECT_EQ(RichTextToPlainText(data), "【9:00～】会議");
  EXPECT_EQ(saved.stamp, StampOnDisk(Path(kOneDaySchedule)));
}

TEST_F(EntryEditingTest, AppendPutsThePopupTextOnALineOfItsOwnEachSave) {
  ASSERT_TRUE(
      folder_.WriteContent(kOneDaySchedule, PlainTextToRtf("朝礼\r\n昼食")));
  for (int save = 0; save < 2; ++save) {
    ASSERT_EQ(AppendToOneDaySchedule(folder_, kOneDaySchedule, "会議").outcome,
              SaveOutcome::kSaved);
  }
  EXPECT_EQ(RichTextToPlainText(ReadRaw(Path(kOneDaySchedule))),
            "朝礼\r\n昼食\r\n会議\r\n会議");
}

TEST_F(EntryEditingTest, AppendReadsAPlainTextSchedule) {
  dir_.Touch(kOneDaySchedule, "\x92\xa9\x97\xe7");  // "朝礼" in CP932
  ASSERT_EQ(AppendToOneDaySchedule(folder_, kOneDaySchedule, "会議").outcome,
            SaveOutcome::kSaved);
  EXPECT_EQ(RichTextToPlainText(ReadRaw(Path(kOneDaySchedule))),
            "朝礼\r\n会議");
}

TEST_F(EntryEditingTest, AppendWritesNothingWhenTheScheduleIsUnreadable) {
  fs::create_directory(Path(kOneDaySchedule));
  const SaveResult saved =
      AppendToOneDaySchedule(folder_, kOneDaySchedule, "会議");
  EXPECT_EQ(saved.outcome, SaveOutcome::kUnreadable);
  EXPECT_TRUE(fs::is_directory(Path(kOneDaySchedule)));
  EXPECT_EQ(std::distance(fs::directory_iterator(dir_.path()), {}), 1);

  fs::remove(Path(kOneDaySchedule));
  dir_.Touch(kOneDaySchedule, PlainTextToRtf("秘密"));
  if (!MakeUnreadable(Path(kOneDaySchedule))) {
    GTEST_SKIP() << "running with permissions that ignore the file's mode";
  }
  const std::string before = [&] {
    fs::permissions(Path(kOneDaySchedule), fs::perms::owner_read);
    std::string data = ReadRaw(Path(kOneDaySchedule));
    fs::permissions(Path(kOneDaySchedule), fs::perms::none);
    return data;
  }();
  EXPECT_EQ(AppendToOneDaySchedule(folder_, kOneDaySchedule, "会議").outcome,
            SaveOutcome::kUnreadable);
  fs::permissions(Path(kOneDaySchedule), fs::perms::owner_read);
  EXPECT_EQ(ReadRaw(Path(kOneDaySchedule)), before);
}

// --- Deleting ------------------------------------------------------------

TEST_F(EntryEditingTest, DeleteRemovesTheFileAndItsOptions) {
  ASSERT_TRUE(folder_.WriteContent(kOneDayPopup, "x"));
  PopupOptionEdits edits;
  edits.closetime = 5;
  ASSERT_TRUE(SavePopupOptions(settings_, Path(kOneDayPopup), edits));
  std::string error;
  EXPECT_TRUE(DeleteEntry(folder_, &settings_, "09001211.26", &error));
  EXPECT_FALSE(fs::exists(Path(kOneDayPopup)));
  EXPECT_FALSE(settings_.Open().HasSection(Path(kOneDayPopup)));
  // What is already gone is no failure.
  EXPECT_TRUE(DeleteEntry(folder_, &settings_, kOneDayPopup, &error));
}

TEST_F(EntryEditingTest, AFailedRemovalKeepsTheOptionsAndSaysWhy) {
  ASSERT_TRUE(folder_.WriteContent(kOneDayPopup, "x"));
  PopupOptionEdits edits;
  edits.closetime = 5;
  ASSERT_TRUE(SavePopupOptions(settings_, Path(kOneDayPopup), edits));
  if (!MakeReadOnly(dir_.path())) {
    MakeWritable(dir_.path());
    GTEST_SKIP() << "running with permissions that ignore the folder's mode";
  }
  std::string error;
  const bool deleted = DeleteEntry(folder_, &settings_, kOneDayPopup, &error);
  MakeWritable(dir_.path());
  EXPECT_FALSE(deleted);
  EXPECT_NE(error.find("権限がありません"), std::string::npos) << error;
  EXPECT_TRUE(fs::exists(Path(kOneDayPopup)));
  EXPECT_TRUE(settings_.Open().HasSection(Path(kOneDayPopup)));
  EXPECT_EQ(ReadPopupOptions(settings_, Path(kOneDayPopup)).closetime, 5);
}

// --- Boilerplates --------------------------------------------------------

class BoilerplateTest : public EntryEditingTest {
 protected:
  BoilerplateStore store_{settings_, dir_.path()};
};

TEST_F(BoilerplateTest, TitlesDefaultAndAreStoredByKey) {
  EXPECT_EQ(BoilerplateStore::DefaultTitle(0), "定型文1");
  EXPECT_EQ(BoilerplateStore::DefaultTitle(19), "定型文20");
  EXPECT_EQ(store_.Title(0), "定型文1");
  EXPECT_EQ(store_.Title(19), "定型文20");
  ASSERT_TRUE(store_.SetTitle(3, "朝の挨拶"));
  EXPECT_EQ(store_.Title(3), "朝の挨拶");
  EXPECT_EQ(settings_.ReadString("popup_teikei", "3", ""), "朝の挨拶");
  EXPECT_FALSE(store_.SetTitle(20, "x"));
  EXPECT_FALSE(store_.SetTitle(-1, "x"));
}

TEST_F(BoilerplateTest, EnsureFolderCreatesTeikei) {
  std::string error;
  ASSERT_TRUE(store_.EnsureFolder(&error)) << error;
  EXPECT_TRUE(fs::is_directory(dir_ / "Teikei"));
  struct stat info;
  ASSERT_EQ(::stat((dir_ / "Teikei").c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 07777, SubFolderMode("Teikei"));
  EXPECT_TRUE(store_.EnsureFolder(&error));  // already there
  EXPECT_EQ(store_.SlotPath(7), dir_ / "Teikei/7.rtf");
}

TEST_F(BoilerplateTest, AFileInTheWayStopsWithTheFolderMessage) {
  dir_.Touch("Teikei", "not a folder");
  std::string error;
  EXPECT_FALSE(store_.EnsureFolder(&error));
  EXPECT_EQ(error, kMissingFolderMessage);
  EXPECT_EQ(ReadRaw(dir_ / "Teikei"), "not a folder");
  std::string content;
  EXPECT_NE(store_.Load(0, &content), ReadResult::kOk);
  EXPECT_FALSE(store_.Save(0, "x", &error));
  EXPECT_FALSE(error.empty());
}

TEST_F(BoilerplateTest, SlotsSaveLoadAndDelete) {
  std::string error;
  ASSERT_TRUE(store_.EnsureFolder(&error));
  std::string content = "stale";
  EXPECT_EQ(store_.Load(4, &content), ReadResult::kMissing);
  EXPECT_TRUE(content.empty());

  const std::string rtf = PlainTextToRtf("お世話になっております。");
  ASSERT_TRUE(store_.Save(4, rtf, &error)) << error;
  EXPECT_EQ(store_.Load(4, &content), ReadResult::kOk);
  EXPECT_EQ(content, rtf);
  struct stat info;
  ASSERT_EQ(::stat(store_.SlotPath(4).c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 07777, PublicFileMode());
  // Atomic: no temporary is left beside the slot.
  EXPECT_EQ(std::distance(fs::directory_iterator(dir_ / "Teikei"), {}), 1);

  ASSERT_TRUE(store_.SetTitle(4, "挨拶"));
  ASSERT_TRUE(store_.Delete(4, &error)) << error;
  EXPECT_FALSE(fs::exists(store_.SlotPath(4)));
  EXPECT_EQ(store_.Title(4), "定型文5");
  EXPECT_EQ(settings_.ReadString("Popup_Teikei", "4", ""), "定型文5");
  // An empty slot: only the title is reset.
  ASSERT_TRUE(store_.SetTitle(5, "空"));
  EXPECT_TRUE(store_.Delete(5, &error));
  EXPECT_EQ(store_.Title(5), "定型文6");
}

TEST_F(BoilerplateTest, AFailedSlotRemovalKeepsTheTitle) {
  std::string error;
  ASSERT_TRUE(store_.EnsureFolder(&error));
  ASSERT_TRUE(store_.Save(2, "x", &error));
  ASSERT_TRUE(store_.SetTitle(2, "残る"));
  if (!MakeReadOnly(dir_ / "Teikei")) {
    MakeWritable(dir_ / "Teikei");
    GTEST_SKIP() << "running with permissions that ignore the folder's mode";
  }
  const bool deleted = store_.Delete(2, &error);
  const bool saved = store_.Save(3, "y", &error);
  MakeWritable(dir_ / "Teikei");
  EXPECT_FALSE(deleted);
  EXPECT_FALSE(saved);
  EXPECT_NE(error.find("権限がありません"), std::string::npos) << error;
  EXPECT_TRUE(fs::exists(store_.SlotPath(2)));
  EXPECT_EQ(store_.Title(2), "残る");
}

// --- What other programs read ---------------------------------------------

std::string InteropScript() {
  const char* root = std::getenv("MIROKATA_SOURCE_DIR");
  return std::string(root ? root : ".") + "/tests/schedule/entry_interop.py";
}

bool HavePython() {
  return std::system("python3 -c 'import configparser' >/dev/null 2>&1") == 0;
}

int RunInterop(const std::string& arguments) {
  return std::system(
      ("python3 '" + InteropScript() + "' " + arguments).c_str());
}

void EnsureGuiApplication() {
  if (QGuiApplication::instance()) return;
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
  }
  static int argc = 1;
  static char name[] = "entry_editing_test";
  static char* argv[] = {name, nullptr};
  static QGuiApplication* app = new QGuiApplication(argc, argv);
  (void)app;
}

TEST_F(EntryEditingTest, UnrtfFindsTheJapaneseTextOfASavedEntry) {
  if (std::system("command -v unrtf >/dev/null 2>&1") != 0) {
    GTEST_SKIP() << "unrtf is not installed";
  }
  if (!HavePython()) GTEST_SKIP() << "no python3";
  EnsureGuiApplication();
  QTextDocument document;
  document.setPlainText(
      QString::fromUtf8("会議の予定\n表示ソフトの部屋で１０時から"));
  const LoadedEntry loaded = LoadEntryForEdit(folder_, kOneDayPopup);
  const SaveResult saved = SaveEntry(
      folder_, kOneDayPopup, SaveRichText(document), loaded.stamp, false);
  ASSERT_EQ(saved.outcome, SaveOutcome::kSaved) << saved.error;
  EXPECT_EQ(RunInterop("unrtf '" + Path(kOneDayPopup) +
                       "' 会議の予定 表示ソフトの部屋で１０時から"),
            0);
}

TEST_F(EntryEditingTest, ConfigparserReadsThePopupSectionUntilDeleted) {
  if (!HavePython()) GTEST_SKIP() << "no python3";
  ASSERT_TRUE(folder_.WriteContent(kOneDayPopup, "x"));
  PopupOptionEdits edits;
  edits.closetime = 45;
  edits.file = "/sounds/鐘.wav";
  edits.smtp = true;
  edits.wallpaper = true;
  edits.execute = "/usr/bin/xterm?-e top";
  edits.execlose = "電卓";
  ASSERT_TRUE(SavePopupOptions(settings_, Path(kOneDayPopup), edits));
  const std::string ini = settings_.path();
  EXPECT_EQ(RunInterop("ini '" + ini + "' '" + Path(kOneDayPopup) +
                       "' closetime=45 file=/sounds/鐘.wav Smtp=1 "
                       "Wallpaper=1 Stretch=0 'Execute=/usr/bin/xterm?-e top' "
                       "Execlose=電卓"),
            0);
  std::string error;
  ASSERT_TRUE(DeleteEntry(folder_, &settings_, kOneDayPopup, &error)) << error;
  EXPECT_EQ(
      RunInterop("no-ini-section '" + ini + "' '" + Path(kOneDayPopup) + "'"),
      0);
}

TEST_F(BoilerplateTest, ALibreOfficeDocumentKeepsItsBytesInASlot) {
  const char* root = std::getenv("MIROKATA_SOURCE_DIR");
  const std::string fixture = std::string(root ? root : ".") +
                              "/tests/richtext/fixtures/libreoffice_writer.rtf";
  const std::string rtf = ReadRaw(fixture);
  ASSERT_FALSE(rtf.empty()) << fixture;
  std::string error;
  ASSERT_TRUE(store_.EnsureFolder(&error));
  ASSERT_TRUE(store_.Save(9, rtf, &error)) << error;
  std::string back;
  ASSERT_EQ(store_.Load(9, &back), ReadResult::kOk);
  EXPECT_EQ(back, rtf);
  const std::string text = RichTextToPlainText(back);
  EXPECT_NE(text.find("会議の予定"), std::string::npos) << text;
  EXPECT_NE(text.find("表示ソフトの会議室"), std::string::npos) << text;
}

}  // namespace
}  // namespace mirokata
