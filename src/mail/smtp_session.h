// Handing one message to an SMTP server: greeting, EHLO or HELO, STARTTLS
// when asked for, AUTH (only over TLS), MAIL, RCPT, DATA, QUIT.
#ifndef MIROKATA_MAIL_SMTP_SESSION_H_
#define MIROKATA_MAIL_SMTP_SESSION_H_

#include <string>
#include <string_view>
#include <vector>

#include "mail/mail_session.h"

namespace mirokata {

// `smtp`/`smtp_security`.
enum class SmtpSecurity {
  kStartTlsWhenOffered = 0,  // EHLO; STARTTLS when offered
  kStartTlsRequired = 1,
  kImplicitTls = 2,  // 465 unless another port is set
  kPlain = 3,        // HELO, MAIL, RCPT, DATA, QUIT and nothing else
};

struct SmtpRequest {
  std::string host;
  std::string port_text = "25";
  int security = 0;
  std::string user;  // empty: no authentication
  std::string password;
  std::string local_host_name;  // for EHLO/HELO when it is a valid domain
  std::string envelope_from;    // may be empty
  std::string envelope_to;
  // The message: CRLF lines, dot-stuffed, without the final ".".
  std::string message;
};

int SmtpPort(const SmtpRequest& request);

// The name EHLO/HELO gives: the host name when it is a valid domain, else
// the address literal of this end.
std::string HeloName(const std::string& host_name,
                     const std::string& local_address);

// One SMTP reply: its code and text lines.
struct SmtpReply {
  int code = 0;
  std::vector<std::string> lines;
};

// Reads replies ("250-..." lines continue, "250 ..." ends); a malformed
// line or one over the limit fails the reader.
class SmtpReplyReader {
 public:
  // Adds bytes and moves whole replies to `replies`; false on a bad reply.
  bool Feed(std::string_view bytes, std::vector<SmtpReply>* replies);
  bool HasPending() const {
    return lines_.HasPending() || !current_.lines.empty();
  }
  void Clear() {
    lines_.Clear();
    current_ = {};
  }

 private:
  ReplyLineReader lines_;
  SmtpReply current_;
};

class SmtpSession : public MailSession {
 public:
  explicit SmtpSession(SmtpRequest request);

  // False when nothing may be sent: no server or port, or a line break in
  // the user name or password.
  bool usable() const;

  const std::string& host() const override { return request_.host; }
  int port() const override { return port_; }
  MailTransport transport() const override;

  MailStep OnConnected(const std::string& local_address) override;
  MailStep OnTlsReady() override;
  MailStep OnBytes(std::string_view bytes) override;

  bool sent_credentials() const { return sent_credentials_; }
  bool sent_mail() const { return sent_mail_; }

 private:
  enum class State {
    kConnecting,
    kGreeting,
    kEhlo,
    kHelo,
    kStartTls,
    kHandshake,
    kAuthPlain,
    kAuthLoginUser,
    kAuthLoginPassword,
    kAuthDone,
    kMail,
    kRcpt,
    kData,
    kMessage,
    kDone,
  };

  std::string QuitCommand() const override { return "QUIT\r\n"; }
  MailStep OnReply(const SmtpReply& reply);
  MailStep Send(State next, std::string command);
  MailStep AfterHello();
  MailStep StartMail();
  SmtpSecurity security() const;

  SmtpRequest request_;
  int port_ = 0;
  std::string helo_name_;
  State state_ = State::kConnecting;
  SmtpReplyReader reader_;
  bool starttls_offered_ = false;
  bool auth_plain_ = false;
  bool auth_login_ = false;
  bool sent_credentials_ = false;
  bool sent_mail_ = false;
};

}  // namespace mirokata

#endif  // MIROKATA_MAIL_SMTP_SESSION_H_
