#include "mail/reminder_message.h"

#include <cstdio>

#include "mail/mail_session.h"
#include "platform/text_codec.h"

namespace mirokata {
namespace {

constexpr const char* kDays[] = {"Sun", "Mon", "Tue", "Wed",
                                 "Thu", "Fri", "Sat"};
constexpr const char* kMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                   "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};

// Encodes one line; a line too long for SMTP is cut (at characters) into
// pieces that fit, each encoded on its own.
bool AppendJisLine(std::string_view line, std::string* out) {
  std::optional<std::string> jis = Utf8ToIso2022Jp(line);
  if (!jis) return false;
  if (jis->size() <= kMaxMailLine) {
    if (!jis->empty() && jis->front() == '.') *out += '.';
    *out += *jis;
    *out += "\r\n";
    return true;
  }
  size_t half = line.size() / 2;
  while (half > 0 && (static_cast<unsigned char>(line[half]) & 0xC0) == 0x80)
    --half;
  if (half == 0) return false;
  return AppendJisLine(line.substr(0, half), out) &&
         AppendJisLine(line.substr(half), out);
}

}  // namespace

bool UsableMailAddress(std::string_view address) {
  for (unsigned char c : address) {
    if (c <= 0x20 || c >= 0x7F || c == '<' || c == '>') return false;
  }
  return true;
}

std::string MailDateText(const LocalTime& t) {
  const int weekday = t.weekday >= 1 && t.weekday <= 7 ? t.weekday : 1;
  const int month = t.month >= 1 && t.month <= 12 ? t.month : 1;
  const int offset_minutes = t.utc_offset_seconds / 60;
  const int magnitude = offset_minutes < 0 ? -offset_minutes : offset_minutes;
  char buf[64];
  std::snprintf(buf, sizeof(buf), "%s, %d %s %04d %02d:%02d:%02d %c%02d%02d",
                kDays[weekday - 1], t.day, kMonths[month - 1], t.year, t.hour,
                t.minute, t.second, offset_minutes < 0 ? '-' : '+',
                magnitude / 60 % 100, magnitude % 60);
  return buf;
}

std::string HeaderText(std::string_view utf8) {
  if (IsAscii(utf8)) return std::string(utf8);
  // Words of at most 45 bytes keep each encoded word within 75 characters;
  // a character is never split between two words.
  std::string out;
  size_t pos = 0;
  while (pos < utf8.size()) {
    size_t end = pos;
    while (end < utf8.size()) {
      size_t next = end;
      NextCodePoint(utf8, &next);
      if (next - pos > 45) break;
      end = next;
    }
    if (!out.empty()) out += "\r\n ";
    out += "=?UTF-8?B?" + Base64Encode(utf8.substr(pos, end - pos)) + "?=";
    pos = end;
  }
  return out;
}

std::vector<std::string> ReminderBodyLines(const ReminderMail& mail) {
  std::vector<std::string> lines;
  lines.push_back(mail.title);
  for (const std::string& text : mail.texts) {
    size_t start = 0;
    while (start < text.size()) {
      size_t end = text.find('\n', start);
      if (end == std::string::npos) end = text.size();
      std::string_view line(text.data() + start, end - start);
      if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
      lines.emplace_back(line);
      start = end + 1;
    }
  }
  return lines;
}

std::optional<std::string> ComposeReminderMessage(const ReminderMail& mail) {
  if (mail.to.empty() || !UsableMailAddress(mail.to) ||
      !UsableMailAddress(mail.from)) {
    return std::nullopt;
  }
  const std::vector<std::string> lines = ReminderBodyLines(mail);
  std::string body;
  bool jis = true;
  for (const std::string& line : lines) {
    if (!AppendJisLine(line, &body)) {
      jis = false;
      break;
    }
  }
  if (!jis) {
    std::string utf8;
    for (const std::string& line : lines) utf8 += line + "\r\n";
    const std::string encoded = Base64Encode(utf8);
    body.clear();
    for (size_t i = 0; i < encoded.size(); i += 76) {
      body += encoded.substr(i, 76);
      body += "\r\n";
    }
  }

  const std::string& from = mail.from.empty() ? mail.to : mail.from;
  const size_t at = from.rfind('@');
  const std::string domain = at != std::string::npos && at + 1 < from.size()
                                 ? from.substr(at + 1)
                                 : "mirokata.invalid";
  std::string m;
  m.reserve(body.size() + 512);
  m += "From: " + from + "\r\n";
  m += "To: " + mail.to + "\r\n";
  m += "Subject: " + HeaderText(kReminderSubject) + "\r\n";
  m += "Sender: " + from + "\r\n";
  m += "Date: " + MailDateText(mail.date) + "\r\n";
  m += "Message-ID: <" + mail.unique + "@" + domain + ">\r\n";
  m += "Mime-Version: 1.0\r\n";
  if (jis) {
    m += "Content-Type: text/plain; charset=\"ISO-2022-JP\"\r\n";
    m += "Content-Transfer-Encoding: 7bit\r\n";
  } else {
    m += "Content-Type: text/plain; charset=\"UTF-8\"\r\n";
    m += "Content-Transfer-Encoding: base64\r\n";
  }
  m += "\r\n";
  m += body;
  return m;
}

}  // namespace mirokata
