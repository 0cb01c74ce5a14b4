// Scripted POP3 and SMTP servers over the fake network, each answer
// replaceable so that a test can break one step.
#ifndef MIROKATA_TESTS_MAIL_MAIL_SERVERS_H_
#define MIROKATA_TESTS_MAIL_MAIL_SERVERS_H_

#include <string>
#include <vector>

#include "platform/testing/fake_mail_network.h"

namespace mirokata {

struct Pop3Script {
  std::string greeting = "+OK ready\r\n";
  std::string capa = "+OK\r\nUSER\r\nSTLS\r\n.\r\n";
  std::string stls = "+OK begin TLS\r\n";
  std::string user = "+OK\r\n";
  std::string pass = "+OK\r\n";
  std::string stat = "+OK 3 1200\r\n";
  std::string quit = "+OK bye\r\n";
  bool accept = true;
  bool tls_fails = false;
  bool close_after_greeting = false;

  void Install(FakeMailNetwork& network) {
    network.on_connect_script = [this](FakeMailPeer& peer) {
      if (!accept) return;
      if (tls_fails) {
        peer.on_tls = [](FakeMailPeer& p) {
          p.Fail(MailConnectionError::kTls);
        };
      }
      peer.Accept();
      peer.Send(greeting);
      if (close_after_greeting) peer.CloseByServer();
    };
    network.line_script = [this](FakeMailPeer& peer, const std::string& line) {
      const std::string verb = line.substr(0, line.find(' '));
      if (verb == "CAPA") peer.Send(capa);
      if (verb == "STLS") peer.Send(stls);
      if (verb == "USER") peer.Send(user);
      if (verb == "PASS") peer.Send(pass);
      if (verb == "STAT") peer.Send(stat);
      if (verb == "QUIT") peer.Send(quit);
    };
  }
};

struct SmtpScript {
  std::string greeting = "220 mail.example ESMTP\r\n";
  std::string ehlo =
      "250-mail.example\r\n250-STARTTLS\r\n250-AUTH PLAIN LOGIN\r\n250 "
      "8BITMIME\r\n";
  std::string ehlo_tls =
      "250-mail.example\r\n250-AUTH PLAIN LOGIN\r\n250 OK\r\n";
  std::string helo = "250 mail.example\r\n";
  std::string starttls = "220 go ahead\r\n";
  std::string auth = "235 ok\r\n";
  std::string mail = "250 ok\r\n";
  std::string rcpt = "250 ok\r\n";
  std::string data = "354 go\r\n";
  std::string accepted = "250 queued\r\n";
  std::string quit = "221 bye\r\n";
  bool tls_fails = false;
  // The message as received (between DATA and the final ".").
  std::vector<std::string> message_lines;

  void Install(FakeMailNetwork& network) {
    network.on_connect_script = [this](FakeMailPeer& peer) {
      if (tls_fails) {
        peer.on_tls = [](FakeMailPeer& p) {
          p.Fail(MailConnectionError::kTls);
        };
      }
      peer.Accept();
      peer.Send(greeting);
    };
    network.line_script = [this](FakeMailPeer& peer, const std::string& line) {
      if (in_data_) {
        if (line == ".") {
          in_data_ = false;
          peer.Send(accepted);
        } else {
          message_lines.push_back(line);
        }
        return;
      }
      const std::string verb = line.substr(0, line.find_first_of(" :"));
      if (verb == "EHLO") peer.Send(peer.tls ? ehlo_tls : ehlo);
      if (verb == "HELO") peer.Send(helo);
      if (verb == "STARTTLS") peer.Send(starttls);
      if (verb == "AUTH") peer.Send(auth);
      if (verb == "MAIL") peer.Send(mail);
      if (verb == "RCPT") peer.Send(rcpt);
      if (verb == "DATA") {
        peer.Send(data);
        in_data_ = data.rfind("354", 0) == 0;
      }
      if (verb == "QUIT") peer.Send(quit);
    };
  }

 private:
  bool in_data_ = false;
};

}  // namespace mirokata

#endif  // MIROKATA_TESTS_MAIL_MAIL_SERVERS_H_
