#include "mail/mail_session.h"

#include <climits>
#include <cstdint>

namespace mirokata {

std::string MailOutcomeText(MailOutcome outcome) {
  switch (outcome) {
    case MailOutcome::kNotRun:
      return "未確認";
    case MailOutcome::kOk:
      return "正常";
    case MailOutcome::kSkipped:
      return "設定が不正なため未実行";
    case MailOutcome::kConnectFailed:
      return "接続できません";
    case MailOutcome::kTlsFailed:
      return "TLS接続に失敗（証明書を確認してください）";
    case MailOutcome::kNoTls:
      return "サーバーがTLSに対応していません";
    case MailOutcome::kLoginFailed:
      return "ログインに失敗";
    case MailOutcome::kServerError:
      return "サーバーがエラーを返しました";
    case MailOutcome::kProtocolError:
      return "サーバーの応答が不正";
    case MailOutcome::kClosed:
      return "サーバーが切断しました";
    case MailOutcome::kTimedOut:
      return "時間切れ";
    case MailOutcome::kAuthNeedsTls:
      return "TLSなしでは認証しません";
  }
  return {};
}

bool ReplyLineReader::Feed(std::string_view bytes) {
  if (overflowed_) return false;
  buffer_.append(bytes);
  // Only the new bytes are scanned, so a reply trickling in costs its size.
  for (std::size_t p = buffer_.find('\n', scan_); p != std::string::npos;
       p = buffer_.find('\n', p + 1)) {
    if (p - tail_start_ > kMaxLine + 1) overflowed_ = true;  // + CR
    tail_start_ = p + 1;
  }
  scan_ = buffer_.size();
  if (scan_ - tail_start_ > kMaxLine + 1) overflowed_ = true;
  return !overflowed_;
}

std::optional<std::string> ReplyLineReader::NextLine() {
  if (overflowed_) return std::nullopt;
  const std::size_t lf = buffer_.find('\n', start_);
  if (lf == std::string::npos) return std::nullopt;
  std::size_t end = lf;
  if (end > start_ && buffer_[end - 1] == '\r') --end;
  std::string line = buffer_.substr(start_, end - start_);
  start_ = lf + 1;
  if (start_ == buffer_.size()) {
    Clear();
  } else if (start_ > 64 * 1024) {
    buffer_.erase(0, start_);
    scan_ -= start_;
    tail_start_ -= start_;
    start_ = 0;
  }
  return line;
}

void ReplyLineReader::Clear() {
  buffer_.clear();
  start_ = 0;
  scan_ = 0;
  tail_start_ = 0;
}

MailStep MailSession::OnFailed(MailConnectionError error) {
  connected_ = false;
  switch (error) {
    case MailConnectionError::kConnect:
      return Finish(MailOutcome::kConnectFailed, {});
    case MailConnectionError::kTls:
      return Finish(MailOutcome::kTlsFailed, {});
    case MailConnectionError::kNetwork:
      break;
  }
  return Finish(MailOutcome::kClosed, {});
}

MailStep MailSession::OnClosed() {
  connected_ = false;
  return Finish(MailOutcome::kClosed, {});
}

MailStep MailSession::OnDeadline() {
  MailStep step;
  step.abort = true;
  return Finish(MailOutcome::kTimedOut, step);
}

MailStep MailSession::Fail(MailOutcome outcome, bool quit) {
  MailStep step;
  if (connected_ && quit) step.write = QuitCommand();
  step.close = true;
  return Finish(outcome, step);
}

MailStep MailSession::Finish(MailOutcome outcome, MailStep step) {
  if (outcome_ == MailOutcome::kNotRun) outcome_ = outcome;
  connected_ = false;
  return step;
}

bool BreaksCommandLine(std::string_view text) {
  return text.find_first_of(std::string_view("\r\n\0", 3)) !=
         std::string_view::npos;
}

int MailPort(std::string_view text, int default_port, bool implicit_tls,
             int tls_port) {
  while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
  while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
  const std::string fallback = std::to_string(default_port);
  if (text.empty()) text = fallback;
  if (implicit_tls && text == fallback) return tls_port;
  const std::optional<int> port = ParseDecimalInt(text);
  if (!port || *port < 1 || *port > 65535) return 0;
  return *port;
}

bool UsableEndpoint(std::string_view host, int port, std::string_view user,
                    std::string_view password) {
  return !host.empty() && port > 0 && !BreaksCommandLine(host) &&
         !BreaksCommandLine(user) && !BreaksCommandLine(password);
}

std::optional<int> ParseDecimalInt(std::string_view text) {
  if (text.empty() || text.size() > 10) return std::nullopt;
  std::int64_t value = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return std::nullopt;
    value = value * 10 + (c - '0');
  }
  if (value > INT_MAX) return std::nullopt;
  return static_cast<int>(value);
}

std::string Base64Encode(std::string_view bytes) {
  static constexpr char kDigits[] =
      "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
  std::string out;
  out.reserve((bytes.size() + 2) / 3 * 4);
  std::size_t i = 0;
  for (; i + 2 < bytes.size(); i += 3) {
    const std::uint32_t v = (std::uint8_t(bytes[i]) << 16) |
                            (std::uint8_t(bytes[i + 1]) << 8) |
                            std::uint8_t(bytes[i + 2]);
    out += kDigits[v >> 18];
    out += kDigits[(v >> 12) & 63];
    out += kDigits[(v >> 6) & 63];
    out += kDigits[v & 63];
  }
  if (i < bytes.size()) {
    std::uint32_t v = std::uint8_t(bytes[i]) << 16;
    if (i + 1 < bytes.size()) v |= std::uint8_t(bytes[i + 1]) << 8;
    out += kDigits[v >> 18];
    out += kDigits[(v >> 12) & 63];
    out += i + 1 < bytes.size() ? kDigits[(v >> 6) & 63] : '=';
    out += '=';
  }
  return out;
}

}  // namespace mirokata
