// The cue rules over the Sound service: Form/Waveplay silences cues but not
// files or dialling, and dialling maps characters to tones and pauses.
#include "platform/sound_cues.h"

#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <vector>

#include "base/settings_file.h"
#include "platform/testing/fake_sound.h"

namespace mirokata {
namespace {

class WaveplayTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char tmpl[] = "/tmp/mirokata-cues-XXXXXX";
    dir_ = mkdtemp(tmpl);
    settings_ = std::make_unique<SettingsFile>(dir_ + "/mirokata.ini");
    cues_ = std::make_unique<SoundCues>(sound_, [this] {
      return settings_->ReadBool("Form", "Waveplay", true);
    });
  }
  void TearDown() override { std::filesystem::remove_all(dir_); }

  std::string dir_;
  std::unique_ptr<SettingsFile> settings_;
  FakeSound sound_;
  std::unique_ptr<SoundCues> cues_;
};

TEST_F(WaveplayTest, OffSilencesCuesAtOnceButNotFilesOrDialling) {
  cues_->Play("ope");  // no settings file yet: default on
  ASSERT_TRUE(settings_->WriteBool("form", "WAVEPLAY", false));
  cues_->Play("clo");
  const std::string file = dir_ + "/alarm.wav";
  FILE* f = fopen(file.c_str(), "w");
  fclose(f);
  EXPECT_TRUE(cues_->PlayFile(file));
  cues_->PlayDialTones("1", 100, [] {});
  ASSERT_TRUE(settings_->WriteBool("Form", "Waveplay", true));
  cues_->Play("sav");

  EXPECT_EQ(sound_.cues(), (std::vector<std::string>{"ope", "sav"}));
  EXPECT_EQ(sound_.files(), std::vector<std::string>{file});
  EXPECT_EQ(sound_.sequences().size(), 1u);
  EXPECT_FALSE(cues_->PlayFile(dir_ + "/missing.wav"));
}

TEST(DialTones, CharactersBecomeTonesAndPauses) {
  struct Case {
    const char* number;
    std::vector<CueStep> steps;
  };
  const Case cases[] = {
      {"03-1234",
       {{"p0", 100},
        {"p3", 100},
        {"pn", 100},
        {"p1", 100},
        {"p2", 100},
        {"p3", 100},
        {"p4", 100}}},
      {"0,5", {{"p0", 100}, {"", 3000}, {"p5", 100}}},
      {"*#$", {{"pk", 100}, {"ps", 100}, {"", 10000}}},
      // Letters never borrow a tone ("k" is not "*", "s" not "#").
      {"ksn (",
       {{"pn", 100}, {"pn", 100}, {"pn", 100}, {"pn", 100}, {"pn", 100}}},
      // A full-width digit is one character with no tone of its own.
      {"０1", {{"pn", 100}, {"p1", 100}}},
      {"", {}},
  };
  for (const Case& c : cases) {
    const std::vector<CueStep> steps = DialToneSteps(c.number, 100);
    ASSERT_EQ(steps.size(), c.steps.size()) << c.number;
    for (std::size_t i = 0; i < steps.size(); ++i) {
      EXPECT_EQ(steps[i].cue, c.steps[i].cue) << c.number << " #" << i;
      EXPECT_EQ(steps[i].pause_ms, c.steps[i].pause_ms)
          << c.number << " #" << i;
    }
  }
  EXPECT_EQ(DialToneSteps("1", -5)[0].pause_ms, 0);
}

TEST(DialTones, DoneArrivesAfterTheSequenceAndNotBefore) {
  FakeSound sound;
  SoundCues cues(sound, [] { return false; });  // dialling ignores Waveplay
  int done = 0;
  cues.PlayDialTones("12", 50, [&] { ++done; });
  EXPECT_EQ(done, 0);
  EXPECT_TRUE(sound.sequence_running());
  sound.FinishSequence();
  EXPECT_EQ(done, 1);
  ASSERT_EQ(sound.sequences().size(), 1u);
  EXPECT_EQ(sound.sequences()[0].size(), 2u);
}

}  // namespace
}  // namespace mirokata
