#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "mail/mail_exchange.h"
#include "mail/pop3_session.h"
#include "mail/smtp_session.h"
#include "mail_servers.h"
#include "platform/testing/fake_clock.h"
#include "platform/testing/fake_mail_network.h"

namespace mirokata {
namespace {

class Pop3Test : public ::testing::Test {
 protected:
  Pop3Account Account(int security = 3) {
    Pop3Account a;
    a.host = "pop.example";
    a.user = "taro";
    a.password = "secret";
    a.security = security;
    return a;
  }

  // Starts one exchange and answers until the server has nothing to say.
  void Run(const Pop3Account& account) {
    auto session = std::make_unique<Pop3Session>(account);
    pop3_ = session.get();
    exchange_ = std::make_unique<MailExchange>(
        network_, uptime_, std::move(session), [this] { ++done_calls_; });
    exchange_->Start();
    network_.RunPending();
  }

  FakeMailPeer& peer() { return network_.last(); }

  // The peer no longer hears from this client.
  bool Closed() { return !peer().open(); }

  FakeMailNetwork network_;
  FakeUptime uptime_;
  Pop3Script server_;
  Pop3Session* pop3_ = nullptr;
  std::unique_ptr<MailExchange> exchange_;
  int done_calls_ = 0;
};

TEST_F(Pop3Test, PlainModeSendsExactlyTheFourCommands) {
  server_.Install(network_);
  Run(Account(3));
  EXPECT_EQ(peer().port, 110);
  EXPECT_EQ(peer().transport, MailTransport::kPlain);
  EXPECT_EQ(peer().written, "USER taro\r\nPASS secret\r\nSTAT\r\nQUIT\r\n");
  EXPECT_EQ(pop3_->outcome(), MailOutcome::kOk);
  EXPECT_EQ(pop3_->count(), 3);
  EXPECT_TRUE(Closed());
  EXPECT_EQ(done_calls_, 1);
}

TEST_F(Pop3Test, StlsWhenListedKeepsThePasswordOffThePlainLink) {
  server_.Install(network_);
  Run(Account(0));
  EXPECT_EQ(peer().written_plain, "CAPA\r\nSTLS\r\n");
  EXPECT_TRUE(peer().tls);
  EXPECT_TRUE(peer().Wrote("PASS secret"));
  EXPECT_EQ(pop3_->count(), 3);
}

TEST_F(Pop3Test, NoStlsListedFallsBackToThePlainExchange) {
  server_.capa = "+OK\r\nUSER\r\n.\r\n";
  server_.Install(network_);
  Run(Account(0));
  EXPECT_EQ(peer().written,
            "CAPA\r\nUSER taro\r\nPASS secret\r\nSTAT\r\nQUIT\r\n");
  EXPECT_EQ(pop3_->count(), 3);

  server_.capa = "-ERR what\r\n";
  Run(Account(0));
  EXPECT_EQ(pop3_->count(), 3);
  EXPECT_FALSE(peer().tls);
}

TEST_F(Pop3Test, ImplicitTlsUses995) {
  server_.Install(network_);
  Run(Account(2));
  EXPECT_EQ(peer().port, 995);
  EXPECT_EQ(peer().transport, MailTransport::kImplicitTls);
  EXPECT_EQ(peer().written_plain, "");
  EXPECT_EQ(pop3_->count(), 3);

  Pop3Account other = Account(2);
  other.port_text = "1995";
  Run(other);
  EXPECT_EQ(peer().port, 1995);
}

TEST_F(Pop3Test, FailedTlsNeverSendsThePassword) {
  for (int security : {0, 1}) {
    SCOPED_TRACE(security);
    server_.tls_fails = true;
    server_.Install(network_);
    Run(Account(security));
    EXPECT_EQ(pop3_->outcome(), MailOutcome::kTlsFailed);
    EXPECT_FALSE(peer().WroteStarting("USER"));
    EXPECT_FALSE(peer().WroteStarting("PASS"));
    EXPECT_FALSE(pop3_->count());
    EXPECT_EQ(done_calls_, security + 1);
  }
}

TEST_F(Pop3Test, RequiredStlsRefusedEndsWithQuit) {
  server_.stls = "-ERR no\r\n";
  server_.Install(network_);
  Run(Account(1));
  EXPECT_EQ(pop3_->outcome(), MailOutcome::kNoTls);
  EXPECT_EQ(peer().written, "STLS\r\nQUIT\r\n");
  EXPECT_TRUE(Closed());
}

// Each broken server: no count, QUIT while the link still stood, the
// connection closed, the end reported once.
struct Fault {
  const char* name;
  void (*breaks)(Pop3Script&);
  bool quit;
};

const Fault kFaults[] = {
    {"greeting -ERR", [](Pop3Script& s) { s.greeting = "-ERR busy\r\n"; },
     true},
    {"USER -ERR", [](Pop3Script& s) { s.user = "-ERR who\r\n"; }, true},
    {"PASS -ERR", [](Pop3Script& s) { s.pass = "-ERR no\r\n"; }, true},
    {"STAT -ERR", [](Pop3Script& s) { s.stat = "-ERR locked\r\n"; }, true},
    {"garbage", [](Pop3Script& s) { s.greeting = "HELLO THERE\r\n"; }, true},
    {"NUL bytes",
     [](Pop3Script& s) { s.stat = std::string("+OK 3\0 99\r\n", 11); }, true},
    {"STAT beyond int", [](Pop3Script& s) { s.stat = "+OK 99999999999 1\r\n"; },
     true},
    {"STAT negative", [](Pop3Script& s) { s.stat = "+OK -1 0\r\n"; }, true},
    {"STAT not decimal", [](Pop3Script& s) { s.stat = "+OK 3x 10\r\n"; }, true},
    {"STAT empty", [](Pop3Script& s) { s.stat = "+OK\r\n"; }, true},
    {"1 MiB line",
     [](Pop3Script& s) {
       s.stat = "+OK " + std::string(1 << 20, '7') + "\r\n";
     },
     true},
    {"multi-line greeting",
     [](Pop3Script& s) { s.greeting = "+OK one\r\n+OK two\r\n"; }, true},
    {"bytes after STLS",
     [](Pop3Script& s) { s.stls = "+OK go\r\n+OK 9 9\r\n"; }, true},
    {"close mid-line",
     [](Pop3Script& s) {
       s.greeting = "+OK 3";
       s.close_after_greeting = true;
     },
     false},
};

TEST_F(Pop3Test, BrokenServersLeaveNoCount) {
  for (const Fault& fault : kFaults) {
    SCOPED_TRACE(fault.name);
    server_ = Pop3Script();
    fault.breaks(server_);
    server_.Install(network_);
    const int before = done_calls_;
    Run(Account(1));
    // STLS mode so that "bytes after STLS" applies; the rest does not care.
    EXPECT_FALSE(pop3_->count());
    EXPECT_NE(pop3_->outcome(), MailOutcome::kOk);
    EXPECT_EQ(done_calls_, before + 1);
    EXPECT_TRUE(Closed());
    EXPECT_EQ(peer().WroteStarting("QUIT"), fault.quit);
    EXPECT_FALSE(peer().WroteStarting("PASS") && !peer().tls);
  }
}

TEST_F(Pop3Test, StalledServerIsDroppedAtTheDeadline) {
  server_.accept = false;
  server_.Install(network_);
  Run(Account(3));
  uptime_.Advance(kMailDeadlineMs - 1);
  exchange_->CheckDeadline();
  EXPECT_FALSE(pop3_->finished());
  uptime_.Advance(1);
  exchange_->CheckDeadline();
  EXPECT_EQ(pop3_->outcome(), MailOutcome::kTimedOut);
  EXPECT_TRUE(peer().aborted);
  EXPECT_EQ(done_calls_, 1);
}

TEST_F(Pop3Test, TricklingServerCannotStretchTheDeadline) {
  server_.Install(network_);
  server_.greeting = "";
  Run(Account(3));
  // One byte a second of a greeting that never ends.
  for (int second = 0; second < 120 && !pop3_->finished(); ++second) {
    uptime_.Advance(1000);
    peer().Send("+");
  }
  EXPECT_EQ(pop3_->outcome(), MailOutcome::kTimedOut);
  EXPECT_TRUE(peer().aborted);
  EXPECT_EQ(done_calls_, 1);
}

TEST_F(Pop3Test, LineBreaksInCredentialsMakeTheAccountUnusable) {
  for (const std::string& bad : {std::string("a\r\nDELE 1"), std::string("a\n"),
                                 std::string("a\0b", 3)}) {
    Pop3Account a = Account();
    a.user = bad;
    EXPECT_FALSE(Pop3Session(a).usable());
    a = Account();
    a.password = bad;
    EXPECT_FALSE(Pop3Session(a).usable());
  }
  EXPECT_TRUE(Pop3Session(Account()).usable());
  Pop3Account no_port = Account();
  no_port.port_text = "99999";
  EXPECT_FALSE(Pop3Session(no_port).usable());
}

TEST(ReplyLineReaderTest, SplitsAcrossChunksAndCapsLines) {
  ReplyLineReader reader;
  EXPECT_TRUE(reader.Feed("+O"));
  EXPECT_FALSE(reader.NextLine());
  EXPECT_TRUE(reader.Feed("K 1\r\n-ERR\nx"));
  EXPECT_EQ(reader.NextLine(), "+OK 1");
  EXPECT_EQ(reader.NextLine(), "-ERR");
  EXPECT_FALSE(reader.NextLine());
  EXPECT_TRUE(reader.HasPending());

  ReplyLineReader longest;
  EXPECT_TRUE(longest.Feed(std::string(ReplyLineReader::kMaxLine, 'a')));
  EXPECT_TRUE(longest.Feed("\r\n"));
  EXPECT_EQ(longest.NextLine()->size(), ReplyLineReader::kMaxLine);
  ReplyLineReader too_long;
  std::string chunk(1000, 'a');
  bool ok = true;
  for (int i = 0; i < 10 && ok; ++i) ok = too_long.Feed(chunk);
  EXPECT_FALSE(ok);
  EXPECT_FALSE(too_long.NextLine());
}

class SmtpTest : public ::testing::Test {
 protected:
  SmtpRequest Request(int security = 0) {
    SmtpRequest r;
    r.host = "smtp.example";
    r.security = security;
    r.local_host_name = "desk.example";
    r.envelope_from = "me@example.com";
    r.envelope_to = "you@example.com";
    r.message = "Subject: x\r\n\r\nhello\r\n";
    return r;
  }

  void Run(const SmtpRequest& request) {
    auto session = std::make_unique<SmtpSession>(request);
    smtp_ = session.get();
    exchange_ = std::make_unique<MailExchange>(network_, uptime_,
                                               std::move(session), [] {});
    exchange_->Start();
    network_.RunPending();
  }

  FakeMailPeer& peer() { return network_.last(); }

  FakeMailNetwork network_;
  FakeUptime uptime_;
  SmtpScript server_;
  SmtpSession* smtp_ = nullptr;
  std::unique_ptr<MailExchange> exchange_;
};

TEST_F(SmtpTest, PlainModeIsTheOldExchange) {
  server_.Install(network_);
  Run(Request(3));
  EXPECT_EQ(peer().written,
            "HELO desk.example\r\nMAIL FROM:<me@example.com>\r\n"
            "RCPT TO:<you@example.com>\r\nDATA\r\n"
            "Subject: x\r\n\r\nhello\r\n.\r\nQUIT\r\n");
  EXPECT_EQ(smtp_->outcome(), MailOutcome::kOk);
  EXPECT_EQ(server_.message_lines.back(), "hello");
}

TEST_F(SmtpTest, StartTlsThenAuthOverTls) {
  SmtpRequest r = Request(0);
  r.user = "taro";
  r.password = "pw";
  server_.Install(network_);
  Run(r);
  EXPECT_EQ(peer().written_plain, "EHLO desk.example\r\nSTARTTLS\r\n");
  // "\0taro\0pw" in base64.
  EXPECT_TRUE(peer().Wrote("AUTH PLAIN AHRhcm8AcHc="));
  EXPECT_EQ(smtp_->outcome(), MailOutcome::kOk);
}

TEST_F(SmtpTest, AuthLoginWhenPlainIsNotOffered) {
  SmtpRequest r = Request(2);
  r.user = "taro";
  r.password = "pw";
  server_.ehlo_tls = "250-x\r\n250 AUTH LOGIN\r\n";
  server_.Install(network_);
  // Two 334 prompts, then 235.
  int auth_steps = 0;
  network_.line_script = [&, inner = network_.line_script](
                             FakeMailPeer& p, const std::string& line) {
    if (line == "AUTH LOGIN" || line == "dGFybw==") {
      ++auth_steps;
      p.Send("334 ok\r\n");
    } else if (line == "cHc=") {
      p.Send("235 ok\r\n");
    } else {
      inner(p, line);
    }
  };
  Run(r);
  EXPECT_EQ(peer().port, 465);
  EXPECT_EQ(auth_steps, 2);
  EXPECT_EQ(smtp_->outcome(), MailOutcome::kOk);
}

TEST_F(SmtpTest, NoCredentialsWithoutTls) {
  SmtpRequest r = Request(0);
  r.user = "taro";
  r.password = "pw";
  // AUTH offered on the plain link, no STARTTLS.
  server_.ehlo = "250-x\r\n250 AUTH PLAIN LOGIN\r\n";
  server_.Install(network_);
  Run(r);
  EXPECT_EQ(smtp_->outcome(), MailOutcome::kAuthNeedsTls);
  EXPECT_FALSE(smtp_->sent_credentials());
  EXPECT_FALSE(peer().WroteStarting("AUTH"));
  EXPECT_FALSE(peer().WroteStarting("MAIL"));
  EXPECT_TRUE(peer().Wrote("QUIT"));
}

TEST_F(SmtpTest, FailedTlsSendsNothingMore) {
  SmtpRequest r = Request(1);
  r.user = "taro";
  server_.tls_fails = true;
  server_.Install(network_);
  Run(r);
  EXPECT_EQ(smtp_->outcome(), MailOutcome::kTlsFailed);
  EXPECT_EQ(peer().written, "EHLO desk.example\r\nSTARTTLS\r\n");
}

TEST_F(SmtpTest, RequiredTlsNotOfferedQuits) {
  server_.ehlo = "250-x\r\n250 8BITMIME\r\n";
  server_.Install(network_);
  Run(Request(1));
  EXPECT_EQ(smtp_->outcome(), MailOutcome::kNoTls);
  EXPECT_EQ(peer().written, "EHLO desk.example\r\nQUIT\r\n");
}

TEST_F(SmtpTest, OldServerGetsHelo) {
  server_.ehlo = "502 what\r\n";
  server_.Install(network_);
  Run(Request(0));
  EXPECT_TRUE(peer().Wrote("HELO desk.example"));
  EXPECT_EQ(smtp_->outcome(), MailOutcome::kOk);
}

struct SmtpFault {
  const char* name;
  void (*breaks)(SmtpScript&);
};

const SmtpFault kSmtpFaults[] = {
    {"greeting 554", [](SmtpScript& s) { s.greeting = "554 no\r\n"; }},
    {"MAIL refused", [](SmtpScript& s) { s.mail = "550 no\r\n"; }},
    {"RCPT refused", [](SmtpScript& s) { s.rcpt = "550 no\r\n"; }},
    {"DATA refused", [](SmtpScript& s) { s.data = "554 no\r\n"; }},
    {"message refused", [](SmtpScript& s) { s.accepted = "552 big\r\n"; }},
    {"garbage", [](SmtpScript& s) { s.greeting = "hello\r\n"; }},
    {"NUL", [](SmtpScript& s) { s.greeting = std::string("220 a\0b\r\n", 9); }},
    {"1 MiB line",
     [](SmtpScript& s) {
       s.greeting = "220 " + std::string(1 << 20, 'x') + "\r\n";
     }},
    {"bytes after STARTTLS",
     [](SmtpScript& s) { s.starttls = "220 go\r\n250 fake\r\n"; }},
    {"codes change mid-reply",
     [](SmtpScript& s) { s.ehlo = "250-a\r\n550 b\r\n"; }},
};

TEST_F(SmtpTest, BrokenServersGetQuitAndNoMailIsAccepted) {
  for (const SmtpFault& fault : kSmtpFaults) {
    SCOPED_TRACE(fault.name);
    server_ = SmtpScript();
    fault.breaks(server_);
    server_.Install(network_);
    Run(Request(0));
    EXPECT_NE(smtp_->outcome(), MailOutcome::kOk);
    EXPECT_TRUE(peer().Wrote("QUIT"));
    EXPECT_FALSE(peer().open());
  }
}

TEST_F(SmtpTest, MultiLineGreetingIsOneReply) {
  server_.greeting = "220-first\r\n220-second\r\n220 ready\r\n";
  server_.Install(network_);
  Run(Request(0));
  EXPECT_EQ(smtp_->outcome(), MailOutcome::kOk);
}

TEST(HeloNameTest, HostNameOrAddressLiteral) {
  EXPECT_EQ(HeloName("desk.example", "10.0.0.2"), "desk.example");
  EXPECT_EQ(HeloName("desk", "10.0.0.2"), "desk");
  EXPECT_EQ(HeloName("my desk", "10.0.0.2"), "[10.0.0.2]");
  EXPECT_EQ(HeloName("-bad-", "::ffff:10.0.0.2"), "[10.0.0.2]");
  EXPECT_EQ(HeloName("", "fe80::1"), "[IPv6:fe80::1]");
  EXPECT_EQ(HeloName("", ""), "[127.0.0.1]");
}

}  // namespace
}  // namespace mirokata
