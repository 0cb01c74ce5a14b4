#include "mail/mail_checker.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <array>
#include <map>
#include <string>
#include <vector>

#include "base/secret_store.h"
#include "base/settings_file.h"
#include "mail_servers.h"
#include "platform/testing/fake_clock.h"
#include "platform/testing/fake_mail_network.h"
#include "support/temp_folder.h"

namespace mirokata {
namespace {

using Lines = std::array<std::string, kMailAccounts>;

class MailCheckerTest : public ::testing::Test {
 protected:
  MailCheckerTest() : settings_(home_ / "mirokata.ini"), secrets_(settings_) {
    services_.settings = &settings_;
    services_.clock = &clock_;
    services_.uptime = &uptime_;
    services_.mail_network = &network_;
    MailCheckHooks hooks;
    hooks.strip_colour = [this](StripColour c) { colours_.push_back(c); };
    hooks.show_results = [this](const Lines& lines) {
      results_.push_back(lines);
    };
    hooks.set_countdown = [this](int minutes) {
      countdowns_.push_back(minutes);
    };
    checker_ = std::make_unique<MailChecker>(services_, secrets_, hooks);
    // Each host answers with its own count.
    network_.on_connect_script = [this](FakeMailPeer& peer) {
      if (stalled_.count(peer.host)) return;
      peer.Accept();
      peer.Send("+OK hi\r\n");
    };
    network_.line_script = [this](FakeMailPeer& peer, const std::string& line) {
      const std::string verb = line.substr(0, line.find(' '));
      if (verb == "PASS") {
        peer.Send(refuse_.count(peer.host) ? "-ERR no\r\n" : "+OK\r\n");
      } else if (verb == "STAT") {
        peer.Send("+OK " + std::to_string(counts_[peer.host]) + " 100\r\n");
      } else if (verb == "CAPA") {
        peer.Send("-ERR\r\n");
      } else {
        peer.Send("+OK\r\n");
      }
    };
  }

  void Enable(int n, const std::string& name, const std::string& host,
              const std::string& password = "pw") {
    const std::string p = "pop" + std::to_string(n);
    settings_.Batch([&](SettingsBatch& b) {
      b.WriteBool("pop", p + "_check", true);
      b.WriteString("pop", p + "_name", name);
      b.WriteString("pop", p + "_server", host);
      b.WriteString("pop", p + "_user", "user" + std::to_string(n));
    });
    secrets_.Write(p, password, {});
  }

  void CheckAndAnswer() {
    checker_->Check();
    network_.RunPending();
  }

  TempFolder home_;
  SettingsFile settings_;
  SettingsSecretStore secrets_;
  FakeClock clock_;
  FakeUptime uptime_;
  FakeMailNetwork network_;
  Services services_;
  std::map<std::string, int> counts_;
  std::map<std::string, bool> stalled_;
  std::map<std::string, bool> refuse_;
  std::vector<StripColour> colours_;
  std::vector<Lines> results_;
  std::vector<int> countdowns_;
  std::unique_ptr<MailChecker> checker_;
};

TEST_F(MailCheckerTest, OnlyAccountTwoShowsInTheSecondRow) {
  Enable(2, "仕事", "pop2.example");
  counts_["pop2.example"] = 3;
  settings_.WriteInteger("pop", "min", 15);
  CheckAndAnswer();
  ASSERT_EQ(results_.size(), 1u);
  EXPECT_EQ(results_[0], (Lines{"", "仕事：3通", ""}));
  EXPECT_EQ(colours_, (std::vector<StripColour>{StripColour::kAccount2,
                                                StripColour::kNormal}));
  EXPECT_EQ(countdowns_, std::vector<int>{15});
  EXPECT_EQ(checker_->outcome(2), MailOutcome::kOk);
  EXPECT_EQ(network_.peers.size(), 1u);
  EXPECT_TRUE(network_.last().Wrote("PASS pw"));
}

TEST_F(MailCheckerTest, AccountsRunOneAfterAnotherInOrder) {
  Enable(1, "a", "one.example");
  Enable(2, "b", "two.example");
  Enable(3, "c", "three.example");
  counts_ = {{"one.example", 1}, {"two.example", 0}, {"three.example", 7}};
  checker_->Check();
  // The second account waits for the first to end.
  EXPECT_EQ(network_.peers.size(), 1u);
  network_.RunPending();
  ASSERT_EQ(network_.peers.size(), 3u);
  EXPECT_EQ(network_.peers[0]->host, "one.example");
  EXPECT_EQ(network_.peers[1]->host, "two.example");
  EXPECT_EQ(network_.peers[2]->host, "three.example");
  ASSERT_EQ(results_.size(), 1u);
  EXPECT_EQ(results_[0], (Lines{"a：1通", "", "c：7通"}));
  EXPECT_EQ(colours_, (std::vector<StripColour>{
                          StripColour::kAccount1, StripColour::kAccount2,
                          StripColour::kAccount3, StripColour::kNormal}));
  EXPECT_EQ(countdowns_, std::vector<int>{60});
}

TEST_F(MailCheckerTest, CheckDuringAStallOnlyGreysThenTheDeadlineFreesIt) {
  Enable(1, "a", "slow.example");
  stalled_["slow.example"] = true;
  checker_->Check();
  network_.RunPending();
  EXPECT_TRUE(checker_->busy());
  colours_.clear();
  checker_->Check();
  network_.RunPending();
  EXPECT_EQ(colours_, std::vector<StripColour>{StripColour::kWaiting});
  EXPECT_EQ(network_.peers.size(), 1u);
  EXPECT_TRUE(results_.empty());
  EXPECT_TRUE(countdowns_.empty());

  uptime_.Advance(kMailDeadlineMs);
  checker_->Poll();
  EXPECT_FALSE(checker_->busy());
  EXPECT_TRUE(network_.peers[0]->aborted);
  EXPECT_EQ(checker_->outcome(1), MailOutcome::kTimedOut);
  EXPECT_EQ(results_.size(), 1u);
  EXPECT_EQ(countdowns_.size(), 1u);
  EXPECT_EQ(colours_.back(), StripColour::kNormal);

  // The next check works.
  stalled_.clear();
  counts_["slow.example"] = 2;
  CheckAndAnswer();
  EXPECT_EQ(results_.back(), (Lines{"a：2通", "", ""}));
}

TEST_F(MailCheckerTest, AFailedCheckKeepsTheLastCount) {
  Enable(1, "a", "one.example");
  counts_["one.example"] = 3;
  CheckAndAnswer();
  refuse_["one.example"] = true;
  counts_["one.example"] = 9;
  CheckAndAnswer();
  EXPECT_EQ(checker_->outcome(1), MailOutcome::kLoginFailed);
  EXPECT_EQ(checker_->count(1), 3);
  EXPECT_EQ(results_.back(), (Lines{"a：3通", "", ""}));
  EXPECT_TRUE(network_.last().Wrote("QUIT"));
}

TEST_F(MailCheckerTest, AnEmptiedMailboxGivesNoLines) {
  Enable(3, "c", "three.example");
  counts_["three.example"] = 4;
  CheckAndAnswer();
  counts_["three.example"] = 0;
  CheckAndAnswer();
  EXPECT_EQ(results_.back(), (Lines{"", "", ""}));
}

TEST_F(MailCheckerTest, InjectingPasswordSkipsOnlyThatAccount) {
  Enable(1, "a", "one.example", "pw\r\nDELE 1");
  Enable(2, "b", "two.example");
  counts_["two.example"] = 1;
  CheckAndAnswer();
  EXPECT_EQ(checker_->outcome(1), MailOutcome::kSkipped);
  ASSERT_EQ(network_.peers.size(), 1u);
  EXPECT_EQ(network_.peers[0]->host, "two.example");
  EXPECT_EQ(results_.back(), (Lines{"", "b：1通", ""}));
}

TEST(SecretStoreTest, MaskedPasswordsRoundTripAsPlainText) {
  TempFolder home;
  SettingsFile settings(home / "mirokata.ini");
  SettingsSecretStore store(settings);
  const std::string hard = "P a=\\漢字\x5A\x50\x57";  // bytes masking to CR, LF
  store.Write("pop2", hard, {});
  const std::string stored = settings.ReadString("pop", "pop2_password", "");
  EXPECT_NE(stored, hard);
  for (char c : stored) {
    EXPECT_TRUE(std::isalnum(static_cast<unsigned char>(c)) || c == '+' ||
                c == '/' || c == '=')
        << stored;
  }
  std::optional<std::string> back;
  store.Read("pop2", [&](std::optional<std::string> p) { back = p; });
  EXPECT_EQ(back, hard);
  struct stat st {};
  ASSERT_EQ(::stat(settings.path().c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0600u);

  settings.WriteString("smtp", "smtp_password", "not base64!");
  back = "x";
  store.Read("smtp", [&](std::optional<std::string> p) { back = p; });
  EXPECT_FALSE(back);
  store.Write("pop2", "", {});
  EXPECT_FALSE(settings.Open().HasKey("pop", "pop2_password"));
}

class ReminderMailerTest : public ::testing::Test {
 protected:
  ReminderMailerTest()
      : settings_(home_ / "mirokata.ini"), secrets_(settings_) {
    services_.settings = &settings_;
    services_.clock = &clock_;
    services_.uptime = &uptime_;
    services_.mail_network = &network_;
    mailer_ = std::make_unique<ReminderMailer>(
        services_, secrets_, [this](StripColour c) { colours_.push_back(c); },
        [] { return std::string("desk.example"); });
    settings_.Batch([](SettingsBatch& b) {
      b.WriteBool("smtp", "smtp_check", true);
      b.WriteString("smtp", "smtp_server", "smtp.example");
      b.WriteString("smtp", "smtp_mailaddr", "me@example.com");
      b.WriteString("smtp", "smtp_fromaddr", "desk@example.com");
    });
    server_.Install(network_);
  }

  TempFolder home_;
  SettingsFile settings_;
  SettingsSecretStore secrets_;
  FakeClock clock_;
  FakeUptime uptime_;
  FakeMailNetwork network_;
  Services services_;
  SmtpScript server_;
  std::vector<StripColour> colours_;
  std::unique_ptr<ReminderMailer> mailer_;
};

TEST_F(ReminderMailerTest, SwitchedOffSendsNothing) {
  settings_.WriteBool("smtp", "smtp_check", false);
  EXPECT_FALSE(mailer_->Send("t", {"x"}));
  EXPECT_TRUE(network_.peers.empty());
}

TEST_F(ReminderMailerTest, TwoTextsOneMailWhileTheStripIsOlive) {
  ASSERT_TRUE(
      mailer_->Send("26/12/11 (Fri) 09:05", {"first", "second\nthird"}));
  network_.RunPending();
  EXPECT_EQ(mailer_->last_outcome(), MailOutcome::kOk);
  EXPECT_EQ(mailer_->running(), 0u);
  const std::vector<std::string>& lines = server_.message_lines;
  const auto blank = std::find(lines.begin(), lines.end(), "");
  ASSERT_NE(blank, lines.end());
  EXPECT_EQ(std::vector<std::string>(blank + 1, lines.end()),
            (std::vector<std::string>{"26/12/11 (Fri) 09:05", "first", "second",
                                      "third"}));
  EXPECT_TRUE(network_.last().Wrote("MAIL FROM:<desk@example.com>"));
  EXPECT_TRUE(network_.last().Wrote("RCPT TO:<me@example.com>"));
  EXPECT_EQ(colours_, (std::vector<StripColour>{StripColour::kSending,
                                                StripColour::kNormal}));
}

TEST_F(ReminderMailerTest, EmptyFromGivesTheEmptyReversePath) {
  settings_.WriteString("smtp", "smtp_fromaddr", "");
  ASSERT_TRUE(mailer_->Send("t", {"x"}));
  network_.RunPending();
  EXPECT_TRUE(network_.last().Wrote("MAIL FROM:<>"));
  EXPECT_NE(std::find(server_.message_lines.begin(),
                      server_.message_lines.end(), "From: me@example.com"),
            server_.message_lines.end());
}

TEST_F(ReminderMailerTest, InjectingAddressSendsNothing) {
  settings_.WriteString("smtp", "smtp_mailaddr", "me@example.com>,evil");
  EXPECT_FALSE(mailer_->Send("t", {"x"}));
  EXPECT_TRUE(network_.peers.empty());
  EXPECT_TRUE(colours_.empty());
}

TEST_F(ReminderMailerTest, CredentialsFromTheStoreOnlyOverTls) {
  settings_.WriteString("smtp", "smtp_user", "taro");
  secrets_.Write("smtp", "pw", {});
  ASSERT_TRUE(mailer_->Send("t", {"x"}));
  network_.RunPending();
  EXPECT_EQ(mailer_->last_outcome(), MailOutcome::kOk);
  EXPECT_FALSE(network_.last().written_plain.find("AUTH") != std::string::npos);
  EXPECT_TRUE(network_.last().Wrote("AUTH PLAIN AHRhcm8AcHc="));
}

TEST_F(ReminderMailerTest, StalledServerEndsAtTheDeadline) {
  network_.on_connect_script = [](FakeMailPeer&) {};
  ASSERT_TRUE(mailer_->Send("t", {"x"}));
  network_.RunPending();
  EXPECT_EQ(mailer_->running(), 1u);
  uptime_.Advance(kMailDeadlineMs);
  mailer_->Poll();
  EXPECT_EQ(mailer_->running(), 0u);
  EXPECT_EQ(mailer_->last_outcome(), MailOutcome::kTimedOut);
  EXPECT_EQ(colours_.back(), StripColour::kNormal);
}

}  // namespace
}  // namespace mirokata
