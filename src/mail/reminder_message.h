// The reminder mail itself: headers and body as they go after DATA.
#ifndef MIROKATA_MAIL_REMINDER_MESSAGE_H_
#define MIROKATA_MAIL_REMINDER_MESSAGE_H_

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/clock.h"

namespace mirokata {

inline constexpr char kReminderSubject[] = "Mirokata Reminder";
// Longest line SMTP carries, without its CRLF.
inline constexpr std::size_t kMaxMailLine = 998;

struct ReminderMail {
  std::string from;  // may be empty: the To address is shown instead
  std::string to;
  std::string title;               // the popup window's title
  std::vector<std::string> texts;  // what the popup shows, entry by entry
  LocalTime date;
  std::string unique;  // left part of the Message-ID
};

// An address that goes into a command and a header as it is: printable
// ASCII with no blank, "<" or ">".
bool UsableMailAddress(std::string_view address);

// "Fri, 11 Dec 2026 09:05:00 +0900".
std::string MailDateText(const LocalTime& time);

// The text as it may stand in a header: ASCII as it is, anything else as
// RFC 2047 encoded words (UTF-8, base64).
std::string HeaderText(std::string_view utf8);

// The body lines: the title, then every line of every text.
std::vector<std::string> ReminderBodyLines(const ReminderMail& mail);

// The whole message (CRLF lines, dot-stuffed, ready for DATA without the
// final "."). Text that fits JIS X 0208 goes as ISO-2022-JP, anything else
// as UTF-8 in base64. Empty when an address is unusable (no To, or one that
// could inject a command or a header).
std::optional<std::string> ComposeReminderMessage(const ReminderMail& mail);

}  // namespace mirokata

#endif  // MIROKATA_MAIL_REMINDER_MESSAGE_H_
