#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>

#include "base/folders.h"
#include "base/services.h"
#include "base/settings_file.h"
#include "platform/file_io.h"
#include "platform/sound_cues.h"
#include "platform/testing/fake_messages.h"
#include "platform/testing/fake_sound.h"
#include "support/temp_folder.h"

namespace mirokata {
namespace {

TEST(CueSwitchTest, WaveplaySilencesCuesButNotSoundFiles) {
  TempFolder dir;
  SettingsFile file(dir / "mirokata.ini");
  FakeSound sound;
  SoundCues cues(sound, CueSwitch(file));
  std::ofstream(dir / "alarm.wav") << "RIFF";

  cues.Play("ope");  // no settings file: on
  file.WriteBool("Form", "Waveplay", false);
  cues.Play("clo");  // a change applies at once
  EXPECT_TRUE(cues.PlayFile(dir / "alarm.wav"));
  file.WriteString("form", "WAVEPLAY", "2");
  cues.Play("sav");

  EXPECT_EQ(sound.cues(), (std::vector<std::string>{"ope", "sav"}));
  EXPECT_EQ(sound.files(), (std::vector<std::string>{dir / "alarm.wav"}));
}

TEST(EnsureSubFolderTest, CreatesOrReportsAndStops) {
  TempFolder dir;
  FakeMessages messages;

  // Made when missing, and simply returned when there.
  EXPECT_EQ(
      EnsureSubFolder(dir.path(), "Todo", SubFolderMode("Todo"), messages),
      dir / "Todo");
  EXPECT_TRUE(std::filesystem::is_directory(dir / "Todo"));
  std::ofstream(dir / "Todo/TreeData.q32") << "x";
  EXPECT_EQ(
      EnsureSubFolder(dir.path(), "Todo", SubFolderMode("Todo"), messages),
      dir / "Todo");
  EXPECT_TRUE(std::filesystem::exists(dir / "Todo/TreeData.q32"));
  EXPECT_TRUE(messages.shown().empty());

  // A file in the way: the folder still does not exist.
  std::ofstream(dir / "Tel") << "not a folder";
  EXPECT_FALSE(
      EnsureSubFolder(dir.path(), "Tel", SubFolderMode("Tel"), messages));
  ASSERT_EQ(messages.shown().size(), 1u);
  EXPECT_EQ(messages.shown()[0].request.text, kMissingFolderMessage);
  EXPECT_EQ(messages.shown()[0].request.kind, MessageKind::kWarning);

  // The parent is missing: the platform's error is reported instead.
  messages.Clear();
  EXPECT_FALSE(
      EnsureSubFolder(dir / "gone", "Diary", SubFolderMode("Diary"), messages));
  ASSERT_EQ(messages.shown().size(), 1u);
  EXPECT_EQ(messages.shown()[0].request.kind, MessageKind::kError);
  EXPECT_NE(messages.shown()[0].request.text.find(dir / "gone/Diary"),
            std::string::npos);
}

int ModeOf(const std::string& path) {
  struct stat st {};
  return stat(path.c_str(), &st) == 0 ? int(st.st_mode & 07777) : -1;
}

TEST(EnsureSubFolderTest, PrivateFoldersAreTheOwnersAloneWhateverTheUmask) {
  TempFolder dir;
  FakeMessages messages;
  struct Case {
    const char* name;
    int mode;
  } cases[] = {{"Diary", 0700},
               {"Period", 0700},
               {"Password", 0700},
               {"Tel", 0700},
               {"Todo", int(PublicFolderMode())},
               {"Teikei", int(PublicFolderMode())}};
  // A lax umask must not widen a private folder, a strict one must not
  // narrow the mode asked.
  for (mode_t mask : {mode_t{0}, mode_t{077}}) {
    const mode_t old = umask(mask);
    for (const Case& c : cases) {
      const std::string parent = dir / std::to_string(mask);
      std::filesystem::create_directories(parent);
      ASSERT_TRUE(
          EnsureSubFolder(parent, c.name, SubFolderMode(c.name), messages));
      EXPECT_EQ(ModeOf(parent + "/" + c.name), c.mode) << c.name << mask;
    }
    umask(old);
  }
  EXPECT_EQ(PublicFolderMode(), 0777 & ~StartupUmask());
}

TEST(ConfirmDeleteTest, AsksUnlessSwitchedOff) {
  TempFolder dir;
  SettingsFile file(dir / "mirokata.ini");
  FakeMessages messages;
  messages.QueueAnswer(MessageAnswer::kNo);
  messages.QueueAnswer(MessageAnswer::kYes);
  EXPECT_FALSE(ConfirmDelete(file, messages, "メモ1"));
  EXPECT_TRUE(ConfirmDelete(file, messages));
  ASSERT_EQ(messages.shown().size(), 2u);
  EXPECT_EQ(messages.shown()[0].request.text, "メモ1\r削除しますか？");
  EXPECT_EQ(messages.shown()[1].request.text, "削除しますか？");
  EXPECT_EQ(messages.shown()[1].request.kind, MessageKind::kQuestion);
  EXPECT_EQ(messages.shown()[1].request.buttons, MessageButtons::kYesNo);

  file.WriteInteger("Form", "Delete", 1);
  EXPECT_TRUE(ConfirmDelete(file, messages));
  EXPECT_EQ(messages.shown().size(), 2u);
}

// The question that never waits: the answer arrives from the event loop.
TEST(ConfirmDeleteTest, LaterAsksWithoutWaiting) {
  TempFolder dir;
  SettingsFile file(dir / "mirokata.ini");
  FakeMessages messages;
  std::vector<bool> answers;
  const auto record = [&](bool go_on) { answers.push_back(go_on); };
  messages.QueueAnswer(MessageAnswer::kNo);
  ConfirmDeleteLater(file, messages, {}, {}, record);
  EXPECT_TRUE(answers.empty());
  ASSERT_EQ(messages.shown().size(), 1u);
  EXPECT_FALSE(messages.shown()[0].modal);
  EXPECT_EQ(messages.shown()[0].request.text, "削除しますか？");
  EXPECT_EQ(messages.AnswerPending(), 1);
  EXPECT_EQ(answers, std::vector<bool>{false});

  file.WriteInteger("Form", "Delete", 1);
  ConfirmDeleteLater(file, messages, {}, {}, record);
  EXPECT_EQ(answers, (std::vector<bool>{false, true}));
  EXPECT_EQ(messages.shown().size(), 1u);
}

}  // namespace
}  // namespace mirokata
