// Any bytes as a POP3 server's replies, in chunks, in every security mode:
// the client never sends the password on a plain link when TLS is asked
// for, every command is one line, and a count is a non-negative int.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "mail/pop3_session.h"

namespace {

void CheckWrite(const std::string& bytes) {
  if (bytes.empty()) return;
  if (bytes.size() < 2 || bytes.compare(bytes.size() - 2, 2, "\r\n") != 0)
    abort();
  if (bytes.find_first_of("\r\n") != bytes.size() - 2) abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  for (int security = 0; security <= 3; ++security) {
    mirokata::Pop3Account account;
    account.host = "pop.example";
    account.user = "u";
    account.password = "p";
    account.security = security;
    mirokata::Pop3Session session(account);
    bool tls = security == 2;
    session.OnConnected("127.0.0.1");
    // The first byte sets the chunk size, so lines split anywhere.
    const size_t chunk = size > 0 ? 1 + data[0] % 16 : 1;
    for (size_t pos = 0; pos < size && !session.finished(); pos += chunk) {
      const mirokata::MailStep step = session.OnBytes(input.substr(pos, chunk));
      if (step.write.rfind("PASS ", 0) == 0 && !tls && security != 3 &&
          security != 0) {
        abort();
      }
      CheckWrite(step.write);
      if (step.start_tls) {
        tls = true;
        CheckWrite(session.OnTlsReady().write);
      }
    }
    if (session.outcome() == mirokata::MailOutcome::kOk &&
        (!session.count() || *session.count() < 0)) {
      abort();
    }
    session.OnClosed();
  }
  return 0;
}
