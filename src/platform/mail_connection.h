// One TCP connection to a mail server, plain or over TLS, driven entirely by
// callbacks on the user-interface thread: nothing here waits.
#ifndef MIROKATA_PLATFORM_MAIL_CONNECTION_H_
#define MIROKATA_PLATFORM_MAIL_CONNECTION_H_

#include <functional>
#include <memory>
#include <string>
#include <string_view>

namespace mirokata {

enum class MailTransport {
  kPlain,        // TLS only when StartTls() is asked for
  kImplicitTls,  // the handshake right after the TCP connection
};

enum class MailConnectionError {
  kConnect,  // name lookup, refused, unreachable
  kTls,      // handshake failed or the certificate did not verify
  kNetwork,  // reset or any other socket error after connecting
};

// What a connection reports. Each may be empty. A callback may destroy the
// connection; nothing is reported after Close(), Abort() or destruction.
struct MailConnectionEvents {
  // The TCP connection is up (after the handshake for kImplicitTls);
  // local_address is this end's address, as text.
  std::function<void(const std::string& local_address)> connected;
  // The handshake asked for by StartTls() succeeded.
  std::function<void()> tls_ready;
  std::function<void(std::string_view bytes)> received;
  std::function<void(MailConnectionError error)> failed;
  // The server closed the connection.
  std::function<void()> closed;
};

class MailConnection {
 public:
  virtual ~MailConnection() = default;
  // Starts the TLS handshake on a plain connection. The certificate is
  // always verified, the host name included.
  virtual void StartTls() = 0;
  virtual void Write(std::string_view bytes) = 0;
  // Sends what is still buffered, then closes; no callback runs afterwards.
  virtual void Close() = 0;
  // Drops the connection at once; no callback runs afterwards.
  virtual void Abort() = 0;
};

class MailNetwork {
 public:
  virtual ~MailNetwork() = default;
  // Starts connecting; events arrive later, never from inside this call.
  virtual std::unique_ptr<MailConnection> Connect(
      const std::string& host, int port, MailTransport transport,
      MailConnectionEvents events) = 0;
};

// Linux: QSslSocket on the system's trust store plus the PEM certificates
// of the file named by MIROKATA_EXTRA_CA, when set. Needs a running
// QCoreApplication.
std::unique_ptr<MailNetwork> MakeLinuxMailNetwork();

}  // namespace mirokata

#endif  // MIROKATA_PLATFORM_MAIL_CONNECTION_H_
