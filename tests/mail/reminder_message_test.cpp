#include "mail/reminder_message.h"

#include <gtest/gtest.h>

#include <QByteArray>
#include <string>
#include <vector>

#include "platform/testing/fake_clock.h"
#include "platform/text_codec.h"

namespace mirokata {
namespace {

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  size_t start = 0;
  for (size_t end; (end = text.find("\r\n", start)) != std::string::npos;
       start = end + 2) {
    lines.push_back(text.substr(start, end - start));
  }
  EXPECT_EQ(start, text.size()) << "text does not end with CRLF";
  return lines;
}

struct Parsed {
  std::vector<std::string> headers;
  std::vector<std::string> body;
  std::string Header(const std::string& name) const {
    for (const std::string& h : headers)
      if (h.rfind(name + ": ", 0) == 0) return h.substr(name.size() + 2);
    return "<none>";
  }
};

Parsed Parse(const std::string& message) {
  Parsed p;
  bool in_body = false;
  for (const std::string& line : Lines(message)) {
    if (!in_body && line.empty()) {
      in_body = true;
      continue;
    }
    (in_body ? p.body : p.headers).push_back(line);
  }
  return p;
}

class ReminderMessageTest : public ::testing::Test {
 protected:
  ReminderMessageTest() {
    clock_.Set(2026, 12, 11, 9, 5, 0);
    mail_.from = "me@example.com";
    mail_.to = "you@example.org";
    mail_.title = "26/12/11 (Fri) 09:05";
    mail_.date = clock_.Now();
    mail_.unique = "20261211090500.abcd";
  }
  FakeClock clock_;
  ReminderMail mail_;
};

TEST_F(ReminderMessageTest, HeadersAndJisBody) {
  mail_.texts = {"会議～資料", "second entry\nline two"};
  const std::optional<std::string> m = ComposeReminderMessage(mail_);
  ASSERT_TRUE(m);
  const Parsed p = Parse(*m);
  EXPECT_EQ(p.Header("From"), "me@example.com");
  EXPECT_EQ(p.Header("Sender"), "me@example.com");
  EXPECT_EQ(p.Header("To"), "you@example.org");
  EXPECT_EQ(p.Header("Subject"), "Mirokata Reminder");
  EXPECT_EQ(p.Header("Mime-Version"), "1.0");
  EXPECT_EQ(p.Header("Content-Type"), "text/plain; charset=\"ISO-2022-JP\"");
  EXPECT_EQ(p.Header("Content-Transfer-Encoding"), "7bit");
  EXPECT_EQ(p.Header("Date"), "Fri, 11 Dec 2026 09:05:00 +0900");
  EXPECT_EQ(p.Header("Message-ID"), "<20261211090500.abcd@example.com>");
  ASSERT_EQ(p.body.size(), 4u);
  EXPECT_EQ(p.body[0], mail_.title);
  // The CP932 tilde goes as the JIS wave dash (1-33 "!A").
  EXPECT_EQ(p.body[1], "\x1b$B2q5D!A;qNA\x1b(B");
  EXPECT_EQ(p.body[2], "second entry");
  EXPECT_EQ(p.body[3], "line two");
  EXPECT_TRUE(IsAscii(*m));
}

TEST_F(ReminderMessageTest, TextOutsideJisGoesAsUtf8Base64) {
  for (const char* text : {"①番", "予定 \xF0\x9F\x98\x80", "ｶﾀｶﾅ"}) {
    SCOPED_TRACE(text);
    mail_.texts = {text, ".", "..x"};
    const std::optional<std::string> m = ComposeReminderMessage(mail_);
    ASSERT_TRUE(m);
    const Parsed p = Parse(*m);
    EXPECT_EQ(p.Header("Content-Type"), "text/plain; charset=\"UTF-8\"");
    EXPECT_EQ(p.Header("Content-Transfer-Encoding"), "base64");
    std::string encoded;
    for (const std::string& line : p.body) {
      EXPECT_LE(line.size(), 76u);
      encoded += line;
    }
    const QByteArray decoded =
        QByteArray::fromBase64(QByteArray::fromStdString(encoded),
                               QByteArray::AbortOnBase64DecodingErrors);
    EXPECT_EQ(decoded.toStdString(),
              mail_.title + "\r\n" + text + "\r\n.\r\n..x\r\n");
  }
}

TEST_F(ReminderMessageTest, DotStuffingAndLongLines) {
  const std::string long_line(1500, 'a');
  const std::string long_kanji = [] {
    std::string s;
    for (int i = 0; i < 700; ++i) s += "漢a";
    return s;
  }();
  mail_.texts = {".\n..x\n" + long_line + "\n" + long_kanji};
  const std::optional<std::string> m = ComposeReminderMessage(mail_);
  ASSERT_TRUE(m);
  const Parsed p = Parse(*m);
  EXPECT_EQ(p.body[1], "..");
  EXPECT_EQ(p.body[2], "...x");
  std::string joined_ascii;
  std::string joined_kanji;
  for (size_t i = 3; i < p.body.size(); ++i) {
    EXPECT_LE(p.body[i].size(), kMaxMailLine);
    const std::string line = p.body[i];
    if (line.find('\x1b') == std::string::npos) {
      joined_ascii += line;
    } else {
      const std::optional<std::string> utf8 = DecodeToUtf8(line, "ISO-2022-JP");
      ASSERT_TRUE(utf8);
      joined_kanji += *utf8;
    }
  }
  EXPECT_EQ(joined_ascii, long_line);
  EXPECT_EQ(joined_kanji, long_kanji);
}

TEST_F(ReminderMessageTest, UnusableAddressesSendNothing) {
  for (const std::string& bad :
       {std::string("a@b\r\nRCPT TO:<x@y>"), std::string("a@b\n"),
        std::string("a@b>"), std::string("<a@b"), std::string("a @b"),
        std::string("a\t@b"), std::string("a\x7f@b"), std::string("ä@b"),
        std::string("a\0@b", 4)}) {
    ReminderMail to = mail_;
    to.to = bad;
    EXPECT_FALSE(ComposeReminderMessage(to));
    ReminderMail from = mail_;
    from.from = bad;
    EXPECT_FALSE(ComposeReminderMessage(from));
  }
  ReminderMail nobody = mail_;
  nobody.to = "";
  EXPECT_FALSE(ComposeReminderMessage(nobody));
}

TEST_F(ReminderMessageTest, EmptyFromShowsTheRecipient) {
  mail_.from = "";
  const std::optional<std::string> m = ComposeReminderMessage(mail_);
  ASSERT_TRUE(m);
  const Parsed p = Parse(*m);
  EXPECT_EQ(p.Header("From"), "you@example.org");
  EXPECT_EQ(p.Header("Sender"), "you@example.org");
}

TEST(MailDateTextTest, ZoneOffsets) {
  FakeClock clock;
  clock.Set(2027, 1, 3, 23, 59, 58, -(3 * 3600 + 1800));
  EXPECT_EQ(MailDateText(clock.Now()), "Sun, 3 Jan 2027 23:59:58 -0330");
  clock.Set(2026, 7, 4, 0, 0, 0, 0);
  EXPECT_EQ(MailDateText(clock.Now()), "Sat, 4 Jul 2026 00:00:00 +0000");
}

TEST(HeaderTextTest, NonAsciiAsEncodedWords) {
  EXPECT_EQ(HeaderText("plain"), "plain");
  const std::string text = "予定のお知らせ、予定のお知らせ、予定のお知らせ";
  const std::string encoded = HeaderText(text);
  std::string decoded;
  size_t pos = 0;
  while ((pos = encoded.find("=?UTF-8?B?", pos)) != std::string::npos) {
    const size_t end = encoded.find("?=", pos + 10);
    ASSERT_NE(end, std::string::npos);
    EXPECT_LE(end + 2 - pos, 75u);
    decoded += QByteArray::fromBase64(QByteArray::fromStdString(encoded.substr(
                                          pos + 10, end - pos - 10)))
                   .toStdString();
    pos = end;
  }
  EXPECT_EQ(decoded, text);
}

TEST(Iso2022JpTest, TwinsMapBackAndOutsidersFail) {
  EXPECT_EQ(Utf8ToIso2022Jp("abc"), "abc");
  // U+FF5E U+2225 U+FF0D U+FFE0 U+FFE1 U+FFE2: CP932's forms.
  const std::optional<std::string> twins = Utf8ToIso2022Jp("～∥－￠￡￢");
  ASSERT_TRUE(twins);
  EXPECT_EQ(*twins, "\x1b$B!A!B!]!q!r\"L\x1b(B");
  EXPECT_FALSE(Utf8ToIso2022Jp("①"));
  EXPECT_FALSE(Utf8ToIso2022Jp("\xF0\x9F\x98\x80"));
  EXPECT_FALSE(Utf8ToIso2022Jp("\xff"));
}

}  // namespace
}  // namespace mirokata
