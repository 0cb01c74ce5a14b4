// Any bytes as an SMTP server's replies, in chunks, in every security
// mode: credentials never cross a plain link, every command is one line
// (the message aside), and the reply reader never reads past its input.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "mail/smtp_session.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  {
    mirokata::SmtpReplyReader reader;
    std::vector<mirokata::SmtpReply> replies;
    reader.Feed(input, &replies);
    for (const mirokata::SmtpReply& r : replies) {
      if (r.code < 200 || r.code > 599 || r.lines.empty()) abort();
    }
  }
  for (int security = 0; security <= 3; ++security) {
    mirokata::SmtpRequest request;
    request.host = "smtp.example";
    request.security = security;
    request.user = "u";
    request.password = "p";
    request.envelope_to = "a@b";
    request.message = "x\r\n";
    mirokata::SmtpSession session(request);
    bool tls = security == 2;
    session.OnConnected("127.0.0.1");
    const size_t chunk = size > 0 ? 1 + data[0] % 16 : 1;
    for (size_t pos = 0; pos < size && !session.finished(); pos += chunk) {
      const mirokata::MailStep step = session.OnBytes(input.substr(pos, chunk));
      if (session.sent_credentials() && !tls) abort();
      if (step.start_tls) {
        tls = true;
        session.OnTlsReady();
      }
    }
    session.OnClosed();
  }
  return 0;
}
