#include "mail/smtp_session.h"

#include <cctype>
#include <utility>

namespace mirokata {
namespace {

std::string Upper(std::string_view text) {
  std::string out(text);
  for (char& c : out)
    c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return out;
}

bool ValidDomain(std::string_view name) {
  if (name.empty() || name.size() > 253) return false;
  size_t label = 0;
  char previous = '.';
  for (char c : name) {
    if (c == '.') {
      if (label == 0 || previous == '-') return false;
      label = 0;
    } else if (std::isalnum(static_cast<unsigned char>(c)) ||
               (c == '-' && label > 0)) {
      if (++label > 63) return false;
    } else {
      return false;
    }
    previous = c;
  }
  return label > 0 && previous != '-';
}

}  // namespace

int SmtpPort(const SmtpRequest& request) {
  return MailPort(
      request.port_text, 25,
      request.security == static_cast<int>(SmtpSecurity::kImplicitTls), 465);
}

std::string HeloName(const std::string& host_name,
                     const std::string& local_address) {
  if (ValidDomain(host_name)) return host_name;
  std::string address = local_address;
  // An IPv4 address mapped into IPv6 reads as the IPv4 one.
  if (address.rfind("::ffff:", 0) == 0 &&
      address.find('.') != std::string::npos) {
    address = address.substr(7);
  }
  if (address.empty()) return "[127.0.0.1]";
  if (address.find(':') != std::string::npos) return "[IPv6:" + address + "]";
  return "[" + address + "]";
}

bool SmtpReplyReader::Feed(std::string_view bytes,
                           std::vector<SmtpReply>* replies) {
  if (!lines_.Feed(bytes)) return false;
  while (std::optional<std::string> line = lines_.NextLine()) {
    const std::string& l = *line;
    if (l.size() < 3 || l[0] < '2' || l[0] > '5' ||
        !std::isdigit(static_cast<unsigned char>(l[1])) ||
        !std::isdigit(static_cast<unsigned char>(l[2])) ||
        (l.size() > 3 && l[3] != ' ' && l[3] != '-') ||
        l.find('\0') != std::string::npos) {
      return false;
    }
    const int code = (l[0] - '0') * 100 + (l[1] - '0') * 10 + (l[2] - '0');
    if (!current_.lines.empty() && code != current_.code) return false;
    current_.code = code;
    current_.lines.push_back(l.size() > 4 ? l.substr(4) : std::string());
    // A reply of a thousand lines is no reply.
    if (current_.lines.size() > 1000) return false;
    if (l.size() == 3 || l[3] == ' ') {
      replies->push_back(std::move(current_));
      current_ = {};
    }
  }
  return true;
}

SmtpSession::SmtpSession(SmtpRequest request)
    : request_(std::move(request)), port_(SmtpPort(request_)) {
  if (request_.security < 0 || request_.security > 3) request_.security = 0;
}

SmtpSecurity SmtpSession::security() const {
  return static_cast<SmtpSecurity>(request_.security);
}

bool SmtpSession::usable() const {
  return UsableEndpoint(request_.host, port_, request_.user, request_.password);
}

MailTransport SmtpSession::transport() const {
  return security() == SmtpSecurity::kImplicitTls ? MailTransport::kImplicitTls
                                                  : MailTransport::kPlain;
}

MailStep SmtpSession::OnConnected(const std::string& local_address) {
  connected_ = true;
  if (transport() == MailTransport::kImplicitTls) tls_ = true;
  helo_name_ = HeloName(request_.local_host_name, local_address);
  state_ = State::kGreeting;
  return {};
}

MailStep SmtpSession::OnTlsReady() {
  if (state_ != State::kHandshake) {
    return Fail(MailOutcome::kProtocolError, true);
  }
  tls_ = true;
  reader_.Clear();
  // What the server offers is asked again over the protected link.
  starttls_offered_ = auth_plain_ = auth_login_ = false;
  return Send(State::kEhlo, "EHLO " + helo_name_ + "\r\n");
}

MailStep SmtpSession::OnBytes(std::string_view bytes) {
  if (finished()) return {};
  if (state_ == State::kHandshake || state_ == State::kConnecting) {
    return Fail(MailOutcome::kProtocolError, false);
  }
  std::vector<SmtpReply> replies;
  if (!reader_.Feed(bytes, &replies)) {
    return Fail(MailOutcome::kProtocolError, true);
  }
  if (replies.empty()) return {};
  // One reply per command, and no pipelining: anything more is out of turn.
  if (replies.size() > 1 || reader_.HasPending()) {
    return Fail(MailOutcome::kProtocolError, true);
  }
  return OnReply(replies.front());
}

MailStep SmtpSession::Send(State next, std::string command) {
  state_ = next;
  MailStep step;
  step.write = std::move(command);
  return step;
}

MailStep SmtpSession::AfterHello() {
  if (!tls_ && starttls_offered_ &&
      (security() == SmtpSecurity::kStartTlsWhenOffered ||
       security() == SmtpSecurity::kStartTlsRequired)) {
    return Send(State::kStartTls, "STARTTLS\r\n");
  }
  if (!tls_ && security() == SmtpSecurity::kStartTlsRequired) {
    return Fail(MailOutcome::kNoTls, true);
  }
  if (request_.user.empty()) return StartMail();
  // Credentials never cross a plain link.
  if (!tls_) return Fail(MailOutcome::kAuthNeedsTls, true);
  if (auth_plain_) {
    std::string token;
    token += '\0';
    token += request_.user;
    token += '\0';
    token += request_.password;
    sent_credentials_ = true;
    return Send(State::kAuthPlain,
                "AUTH PLAIN " + Base64Encode(token) + "\r\n");
  }
  if (auth_login_) return Send(State::kAuthLoginUser, "AUTH LOGIN\r\n");
  return Fail(MailOutcome::kLoginFailed, true);
}

MailStep SmtpSession::StartMail() {
  return Send(State::kMail, "MAIL FROM:<" + request_.envelope_from + ">\r\n");
}

MailStep SmtpSession::OnReply(const SmtpReply& reply) {
  const int code = reply.code;
  const bool ok = code / 100 == 2;
  switch (state_) {
    case State::kGreeting:
      if (code != 220) return Fail(MailOutcome::kServerError, true);
      if (security() == SmtpSecurity::kPlain) {
        return Send(State::kHelo, "HELO " + helo_name_ + "\r\n");
      }
      return Send(State::kEhlo, "EHLO " + helo_name_ + "\r\n");
    case State::kEhlo:
      if (!ok) {
        // An old server: HELO, which offers nothing beyond the plain path.
        if (tls_ || security() == SmtpSecurity::kStartTlsRequired) {
          return Fail(MailOutcome::kServerError, true);
        }
        return Send(State::kHelo, "HELO " + helo_name_ + "\r\n");
      }
      for (size_t i = 1; i < reply.lines.size(); ++i) {
        const std::string line = Upper(reply.lines[i]);
        if (line == "STARTTLS") starttls_offered_ = true;
        if (line.rfind("AUTH ", 0) == 0 || line.rfind("AUTH=", 0) == 0) {
          const std::string list = " " + line.substr(5) + " ";
          if (list.find(" PLAIN ") != std::string::npos) auth_plain_ = true;
          if (list.find(" LOGIN ") != std::string::npos) auth_login_ = true;
        }
      }
      return AfterHello();
    case State::kHelo:
      if (!ok) return Fail(MailOutcome::kServerError, true);
      return AfterHello();
    case State::kStartTls: {
      if (code != 220) {
        if (security() == SmtpSecurity::kStartTlsRequired ||
            !request_.user.empty()) {
          return Fail(MailOutcome::kNoTls, true);
        }
        starttls_offered_ = false;
        return AfterHello();
      }
      state_ = State::kHandshake;
      MailStep step;
      step.start_tls = true;
      return step;
    }
    case State::kAuthLoginUser:
      if (code != 334) return Fail(MailOutcome::kLoginFailed, true);
      sent_credentials_ = true;
      return Send(State::kAuthLoginPassword,
                  Base64Encode(request_.user) + "\r\n");
    case State::kAuthLoginPassword:
      if (code != 334) return Fail(MailOutcome::kLoginFailed, true);
      return Send(State::kAuthDone, Base64Encode(request_.password) + "\r\n");
    case State::kAuthPlain:
    case State::kAuthDone:
      if (code != 235) return Fail(MailOutcome::kLoginFailed, true);
      return StartMail();
    case State::kMail:
      if (!ok) return Fail(MailOutcome::kServerError, true);
      return Send(State::kRcpt, "RCPT TO:<" + request_.envelope_to + ">\r\n");
    case State::kRcpt:
      if (!ok) return Fail(MailOutcome::kServerError, true);
      return Send(State::kData, "DATA\r\n");
    case State::kData:
      if (code != 354) return Fail(MailOutcome::kServerError, true);
      sent_mail_ = true;
      return Send(State::kMessage, request_.message + ".\r\n");
    case State::kMessage: {
      if (!ok) return Fail(MailOutcome::kServerError, true);
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
