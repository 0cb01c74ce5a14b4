// The common shape of the POP3 and SMTP clients: pure state machines that
// take what the connection reports and say what to send next. They never
// touch a socket or a clock themselves (MailExchange drives them).
#ifndef MIROKATA_MAIL_MAIL_SESSION_H_
#define MIROKATA_MAIL_MAIL_SESSION_H_

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "platform/mail_connection.h"

namespace mirokata {

// How an exchange ended.
enum class MailOutcome {
  kNotRun,         // not tried in this run
  kOk,             // the count arrived / the mail was accepted
  kSkipped,        // settings unusable (no server, a line break in a name)
  kConnectFailed,  // no connection
  kTlsFailed,      // handshake or certificate refused
  kNoTls,          // TLS required but not offered or refused
  kLoginFailed,    // user, password or authentication refused
  kServerError,    // a negative reply to another step
  kProtocolError,  // a reply that breaks the protocol
  kClosed,         // the server closed before the end
  kTimedOut,       // the overall deadline passed
  kAuthNeedsTls,   // a user name is set but the link is plain
};

// The short Japanese text the settings window shows for an outcome.
std::string MailOutcomeText(MailOutcome outcome);

// What to do after one event.
struct MailStep {
  std::string write;       // bytes to send first
  bool start_tls = false;  // then start the handshake
  bool close = false;      // then close (after sending)
  bool abort = false;      // drop the connection at once, sending nothing
};

// Splits replies into lines. A line ends with LF (a CR before it is
// dropped); one longer than kMaxLine fails the reader for good.
class ReplyLineReader {
 public:
  static constexpr std::size_t kMaxLine = 8 * 1024;

  // False once a line went over the limit.
  bool Feed(std::string_view bytes);
  // The next whole line, without its line end.
  std::optional<std::string> NextLine();
  // Bytes received and not yet returned as a line.
  bool HasPending() const { return start_ < buffer_.size(); }
  bool overflowed() const { return overflowed_; }
  void Clear();

 private:
  std::string buffer_;
  std::size_t start_ = 0;       // first byte not yet returned
  std::size_t scan_ = 0;        // bytes before this are scanned
  std::size_t tail_start_ = 0;  // start of the last unfinished line
  bool overflowed_ = false;
};

class MailSession {
 public:
  virtual ~MailSession() = default;

  // Where to connect.
  virtual const std::string& host() const = 0;
  virtual int port() const = 0;
  virtual MailTransport transport() const = 0;

  virtual MailStep OnConnected(const std::string& local_address) = 0;
  virtual MailStep OnTlsReady() = 0;
  virtual MailStep OnBytes(std::string_view bytes) = 0;
  // The connection failed or was closed by the server.
  MailStep OnFailed(MailConnectionError error);
  MailStep OnClosed();
  // The overall deadline passed: drop the connection.
  MailStep OnDeadline();

  bool finished() const { return outcome_ != MailOutcome::kNotRun; }
  MailOutcome outcome() const { return outcome_; }

 protected:
  // Ends the exchange: QUIT (when connected and `quit`) and close.
  MailStep Fail(MailOutcome outcome, bool quit);
  MailStep Finish(MailOutcome outcome, MailStep step);
  virtual std::string QuitCommand() const = 0;

  bool connected_ = false;
  bool tls_ = false;
  MailOutcome outcome_ = MailOutcome::kNotRun;
};

// True when the text holds CR, LF or NUL: it would end a command line.
bool BreaksCommandLine(std::string_view text);

// The port of a settings text (blank: default_port; the default with
// implicit TLS: tls_port); 0 when the text is no port.
int MailPort(std::string_view text, int default_port, bool implicit_tls,
             int tls_port);

// A server and credentials that can go into command lines as they are.
bool UsableEndpoint(std::string_view host, int port, std::string_view user,
                    std::string_view password);

// Parses a whole decimal number in int range (digits only, no sign).
std::optional<int> ParseDecimalInt(std::string_view text);

std::string Base64Encode(std::string_view bytes);

}  // namespace mirokata

#endif  // MIROKATA_MAIL_MAIL_SESSION_H_
