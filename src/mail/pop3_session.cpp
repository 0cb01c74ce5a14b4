#include "mail/pop3_session.h"

#include <cctype>
#include <utility>

namespace mirokata {
namespace {

bool StartsWith(std::string_view text, std::string_view prefix) {
  return text.substr(0, prefix.size()) == prefix;
}

bool Positive(std::string_view line) {
  return line == "+OK" || StartsWith(line, "+OK ");
}

bool Negative(std::string_view line) {
  return line == "-ERR" || StartsWith(line, "-ERR ");
}

// The message count of "+OK nn mm".
std::optional<int> StatCount(std::string_view line) {
  if (!StartsWith(line, "+OK ")) return std::nullopt;
  std::string_view rest = line.substr(4);
  const size_t blank = rest.find(' ');
  return ParseDecimalInt(rest.substr(0, blank));
}

}  // namespace

int Pop3Port(const Pop3Account& account) {
  return MailPort(
      account.port_text, 110,
      account.security == static_cast<int>(Pop3Security::kImplicitTls), 995);
}

Pop3Session::Pop3Session(Pop3Account account)
    : account_(std::move(account)), port_(Pop3Port(account_)) {
  if (account_.security < 0 || account_.security > 3) account_.security = 0;
}

Pop3Security Pop3Session::security() const {
  return static_cast<Pop3Security>(account_.security);
}

bool Pop3Session::usable() const {
  return UsableEndpoint(account_.host, port_, account_.user, account_.password);
}

MailTransport Pop3Session::transport() const {
  return security() == Pop3Security::kImplicitTls ? MailTransport::kImplicitTls
                                                  : MailTransport::kPlain;
}

MailStep Pop3Session::OnConnected(const std::string&) {
  connected_ = true;
  if (transport() == MailTransport::kImplicitTls) tls_ = true;
  state_ = State::kGreeting;
  return {};
}

MailStep Pop3Session::OnTlsReady() {
  if (state_ != State::kHandshake)
    return Fail(MailOutcome::kProtocolError, true);
  tls_ = true;
  reader_.Clear();
  return Login();
}

MailStep Pop3Session::OnBytes(std::string_view bytes) {
  if (finished()) return {};
  // Nothing may arrive between the STLS reply and the handshake.
  if (state_ == State::kHandshake || state_ == State::kConnecting) {
    return Fail(MailOutcome::kProtocolError, false);
  }
  if (!reader_.Feed(bytes)) return Fail(MailOutcome::kProtocolError, true);
  MailStep step;
  while (!finished()) {
    std::optional<std::string> line = reader_.NextLine();
    if (!line) break;
    step = OnLine(*line);
    if (finished() || step.start_tls) break;
    // One reply per command: more lines before the next command was even
    // sent are a server talking out of turn.
    if (state_ != State::kCapaList && reader_.HasPending()) {
      return Fail(MailOutcome::kProtocolError, true);
    }
  }
  if (step.start_tls && reader_.HasPending()) {
    return Fail(MailOutcome::kProtocolError, true);
  }
  return step;
}

MailStep Pop3Session::Send(State next, std::string command) {
  state_ = next;
  MailStep step;
  step.write = std::move(command);
  return step;
}

MailStep Pop3Session::Login() {
  return Send(State::kUser, "USER " + account_.user + "\r\n");
}

MailStep Pop3Session::OnLine(const std::string& line) {
  if (line.find('\0') != std::string::npos) {
    return Fail(MailOutcome::kProtocolError, true);
  }
  if (state_ == State::kCapaList) {
    if (line == ".") {
      if (stls_listed_) return Send(State::kStls, "STLS\r\n");
      return Login();
    }
    // Dot-stuffed capability lines and arguments: the name is the first
    // word, in any letter case.
    std::string name = line.substr(0, line.find(' '));
    for (char& c : name)
      c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    if (name == "STLS") stls_listed_ = true;
    return {};
  }
  const bool ok = Positive(line);
  if (!ok && !Negative(line)) return Fail(MailOutcome::kProtocolError, true);
  switch (state_) {
    case State::kGreeting:
      if (!ok) return Fail(MailOutcome::kServerError, true);
      switch (security()) {
        case Pop3Security::kStlsWhenOffered:
          return Send(State::kCapa, "CAPA\r\n");
        case Pop3Security::kStlsRequired:
          return Send(State::kStls, "STLS\r\n");
        case Pop3Security::kImplicitTls:
        case Pop3Security::kPlain:
          return Login();
      }
      break;
    case State::kCapa:
      if (!ok) return Login();  // no capabilities: the plain exchange
      state_ = State::kCapaList;
      return {};
    case State::kStls: {
      if (!ok) return Fail(MailOutcome::kNoTls, true);
      state_ = State::kHandshake;
      MailStep step;
      step.start_tls = true;
      return step;
    }
    case State::kUser:
      if (!ok) return Fail(MailOutcome::kLoginFailed, true);
      sent_password_ = true;
      return Send(State::kPass, "PASS " + account_.password + "\r\n");
    case State::kPass:
      if (!ok) return Fail(MailOutcome::kLoginFailed, true);
      return Send(State::kStat, "STAT\r\n");
    case State::kStat: {
      std::optional<int> count = ok ? StatCount(line) : std::nullopt;
      if (!ok) return Fail(MailOutcome::kServerError, true);
      if (!count) return Fail(MailOutcome::kProtocolError, true);
      count_ = count;
      state_ = State::kDone;
      MailStep step;
      step.write = QuitCommand();
      step.close = true;
      return Finish(MailOutcome::kOk, step);
    }
    default:
      break;
  }
  return Fail(MailOutcome::kProtocolError, true);
}

}  // namespace mirokata
