// Counting the messages of one POP3 mailbox: greeting, optional STLS, USER,
// PASS, STAT, QUIT. Nothing is listed, fetched or deleted.
#ifndef MIROKATA_MAIL_POP3_SESSION_H_
#define MIROKATA_MAIL_POP3_SESSION_H_

#include <optional>
#include <string>
#include <string_view>

#include "mail/mail_session.h"

namespace mirokata {

// `pop`/`popN_security`.
enum class Pop3Security {
  kStlsWhenOffered = 0,  // CAPA; STLS when listed, else plain
  kStlsRequired = 1,
  kImplicitTls = 2,  // POP3S, 995 unless another port is set
  kPlain = 3,        // USER, PASS, STAT, QUIT and nothing else
};

struct Pop3Account {
  std::string host;
  std::string port_text = "110";
  std::string user;
  std::string password;
  int security = 0;
};

// The port of the settings text ("110" by default; 995 for POP3S when the
// default is left); 0 when the text is no port.
int Pop3Port(const Pop3Account& account);

class Pop3Session : public MailSession {
 public:
  explicit Pop3Session(Pop3Account account);

  // False when nothing may be sent: no server, no port, or a CR, LF or NUL
  // in the user name or password (it would end the command early).
  bool usable() const;

  const std::string& host() const override { return account_.host; }
  int port() const override { return port_; }
  MailTransport transport() const override;

  MailStep OnConnected(const std::string& local_address) override;
  MailStep OnTlsReady() override;
  MailStep OnBytes(std::string_view bytes) override;

  // The STAT count, once it arrived.
  std::optional<int> count() const { return count_; }
  bool sent_password() const { return sent_password_; }

 private:
  enum class State {
    kConnecting,
    kGreeting,
    kCapa,
    kCapaList,
    kStls,
    kHandshake,
    kUser,
    kPass,
    kStat,
    kDone,
  };

  std::string QuitCommand() const override { return "QUIT\r\n"; }
  MailStep OnLine(const std::string& line);
  MailStep Send(State next, std::string command);
  MailStep Login();
  Pop3Security security() const;

  Pop3Account account_;
  int port_ = 0;
  State state_ = State::kConnecting;
  ReplyLineReader reader_;
  bool stls_listed_ = false;
  bool sent_password_ = false;
  std::optional<int> count_;
};

}  // namespace mirokata

#endif  // MIROKATA_MAIL_POP3_SESSION_H_
