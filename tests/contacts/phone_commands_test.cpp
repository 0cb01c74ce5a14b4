// The mail, web and dial commands against a shell that records calls.
#include "contacts/phone_commands.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/testing/fake_shell.h"

namespace mirokata {
namespace {

using Kind = FakeShell::Call::Kind;
using Args = std::vector<std::string>;

TEST(PhoneCommandsTest, MailAddressIsOnlyThePathOfItsUrl) {
  struct Case {
    std::string cell;
    std::string url;
  } cases[] = {
      {"a@b.jp", "mailto:a@b.jp"},
      {"a@b.jp?attach=/etc/passwd", "mailto:a@b.jp%3Fattach=/etc/passwd"},
      {"a@b.jp&bcc=x@y.jp", "mailto:a@b.jp&bcc=x@y.jp"},
      {"a b@c.jp", "mailto:a%20b@c.jp"},
      {"a@b.jp#frag", "mailto:a@b.jp%23frag"},
      {"a%3Fb@c.jp", "mailto:a%253Fb@c.jp"},
      {"佐藤@例.jp", "mailto:%E4%BD%90%E8%97%A4@%E4%BE%8B.jp"},
  };
  for (const Case& c : cases) {
    FakeShell shell;
    EXPECT_TRUE(SendMailTo(shell, "", c.cell));
    ASSERT_EQ(shell.calls().size(), 1u);
    EXPECT_EQ(shell.calls()[0].kind, Kind::kOpenDocument);
    EXPECT_EQ(shell.calls()[0].target, c.url) << c.cell;
  }
}

TEST(PhoneCommandsTest, MailerGetsTheCellAsOneArgument) {
  struct Case {
    std::string mailer;
    std::string cell;
    std::string program;
    Args arguments;
    std::string folder;
  } cases[] = {
      {"prog?/m",
       "a@b.jp",
       "prog",
       {"/m"
        "a@b.jp"},
       ""},
      {"prog?/m", "-e x", "prog", {"/m-e x"}, ""},
      {"prog?-s 件名 ", "a b@c.jp", "prog", {"-s", "件名", "a b@c.jp"}, ""},
      {"/opt/mail/bin/mua",
       "a@b.jp;rm x",
       "/opt/mail/bin/mua",
       {"a@b.jp;rm x"},
       "/opt/mail/bin/"},
      {"?/usr/bin/mua", "a@b.jp", "/usr/bin/mua", {"a@b.jp"}, "/usr/bin/"},
      {"prog?\"-s\" \"two words\"", "x@y", "prog", {"-s", "two wordsx@y"}, ""},
  };
  for (const Case& c : cases) {
    FakeShell shell;
    EXPECT_TRUE(SendMailTo(shell, c.mailer, c.cell)) << c.mailer;
    ASSERT_EQ(shell.calls().size(), 1u) << c.mailer;
    const FakeShell::Call& call = shell.calls()[0];
    EXPECT_EQ(call.kind, Kind::kStartProgram);
    EXPECT_EQ(call.target, c.program);
    EXPECT_EQ(call.arguments, c.arguments) << c.mailer << " " << c.cell;
    EXPECT_EQ(call.working_folder, c.folder);
  }
}

TEST(PhoneCommandsTest, CellThatWouldBeAnOptionStartsNothing) {
  for (const char* mailer : {"prog", "prog?-s 件名 ", "prog?"}) {
    FakeShell shell;
    EXPECT_FALSE(SendMailTo(shell, mailer, "-e x")) << mailer;
    EXPECT_FALSE(OpenWebPage(shell, mailer, "--new-window")) << mailer;
    EXPECT_TRUE(shell.calls().empty()) << mailer;
  }
}

TEST(PhoneCommandsTest, MailerTextIsCutAt1024Characters) {
  FakeShell shell;
  const std::string prefix(2000, 'x');
  SendMailTo(shell, "prog?" + prefix, "a@b");
  ASSERT_EQ(shell.calls().size(), 1u);
  // The whole text is cut first, then the prefix: 1019 of its characters.
  EXPECT_EQ(shell.calls()[0].arguments, Args{std::string(1019, 'x') + "a@b"});
}

TEST(PhoneCommandsTest, WebCellsOpenOnlyAsWebAddresses) {
  struct Case {
    std::string cell;
    std::string url;  // empty: nothing opens
  } cases[] = {
      {"http://example.jp/", "http://example.jp/"},
      {"HTTPS://example.jp/a b", "https://example.jp/a%20b"},
      {"www.example.jp/x?q=1", "http://www.example.jp/x?q=1"},
      {"example.jp:8080/x", "http://example.jp:8080/x"},
      {"  example.jp  ", "http://example.jp"},
      {"file:///etc/passwd", ""},
      {"/usr/share/applications/evil.desktop", ""},
      {"~/evil.desktop", ""},
      {"./evil.desktop", ""},
      {"C:\\evil.exe", ""},
      {"javascript:alert(1)", ""},
      {"mailto:a@b.jp", ""},
      {"smb://host/share", ""},
      {"http://", ""},
  };
  for (const Case& c : cases) {
    FakeShell shell;
    EXPECT_EQ(OpenWebPage(shell, "", c.cell), !c.url.empty()) << c.cell;
    if (c.url.empty()) {
      EXPECT_TRUE(shell.calls().empty()) << c.cell;
      continue;
    }
    ASSERT_EQ(shell.calls().size(), 1u);
    EXPECT_EQ(shell.calls()[0].kind, Kind::kOpenDocument);
    EXPECT_EQ(shell.calls()[0].target, c.url) << c.cell;
  }
}

TEST(PhoneCommandsTest, BrowserGetsAnyCellUnchanged) {
  FakeShell shell;
  EXPECT_TRUE(OpenWebPage(shell, "firefox? ", "file:///x y"));
  ASSERT_EQ(shell.calls().size(), 1u);
  EXPECT_EQ(shell.calls()[0].target, "firefox");
  EXPECT_EQ(shell.calls()[0].arguments, Args{"file:///x y"});
}

TEST(PhoneCommandsTest, DialsATelUrl) {
  struct Case {
    std::string number;
    std::string url;
  } cases[] = {
      {"03-1234-5678", "tel:03-1234-5678"},
      {"+81 3 1234", "tel:+81%203%201234"},
      {"03?x=1#2", "tel:03%3Fx=1%232"},
  };
  for (const Case& c : cases) {
    FakeShell shell;
    EXPECT_TRUE(DialNumber(shell, c.number));
    ASSERT_EQ(shell.calls().size(), 1u);
    EXPECT_EQ(shell.calls()[0].kind, Kind::kOpenDocument);
    EXPECT_EQ(shell.calls()[0].target, c.url);
  }
}

}  // namespace
}  // namespace mirokata
