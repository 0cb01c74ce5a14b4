// Mail servers played by the test. Each connection has a peer (the server's
// end) that records what the client wrote and lets the test answer. Nothing
// reaches the client from inside its own call: scripted answers run in
// RunPending(), as a real socket's would from the event loop.
#ifndef MIROKATA_PLATFORM_TESTING_FAKE_MAIL_NETWORK_H_
#define MIROKATA_PLATFORM_TESTING_FAKE_MAIL_NETWORK_H_

#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/mail_connection.h"

namespace mirokata {

class FakeMailPeer {
 public:
  using LineScript = std::function<void(FakeMailPeer&, const std::string&)>;

  std::string host;
  int port = 0;
  MailTransport transport = MailTransport::kPlain;
  // Everything the client wrote, in order, and what of it is plain text
  // (written before a TLS handshake finished).
  std::string written;
  std::string written_plain;
  bool tls_requested = false;
  bool tls = false;
  bool closed_by_client = false;
  bool aborted = false;
  bool destroyed = false;

  // The client end still listens.
  bool open() const { return !closed_by_client && !aborted && !destroyed; }
  // Lines the client wrote (CRLF removed).
  std::vector<std::string> Lines() const {
    std::vector<std::string> lines;
    size_t start = 0;
    for (size_t end; (end = written.find("\r\n", start)) != std::string::npos;
         start = end + 2) {
      lines.push_back(written.substr(start, end - start));
    }
    return lines;
  }
  bool Wrote(std::string_view line) const {
    for (const std::string& l : Lines())
      if (l == line) return true;
    return false;
  }
  bool WroteStarting(std::string_view prefix) const {
    for (const std::string& l : Lines())
      if (l.rfind(prefix, 0) == 0) return true;
    return false;
  }

  void Accept(const std::string& local_address = "127.0.0.1") {
    if (transport == MailTransport::kImplicitTls) tls = true;
    if (open() && events_.connected) events_.connected(local_address);
  }
  void Send(std::string_view bytes) {
    if (open() && events_.received) events_.received(bytes);
  }
  void FinishTls() {
    tls = true;
    if (open() && events_.tls_ready) events_.tls_ready();
  }
  void Fail(MailConnectionError error) {
    if (open() && events_.failed) {
      MailConnectionEvents events = events_;
      destroyed = true;  // a failed connection reports nothing more
      events.failed(error);
    }
  }
  void CloseByServer() {
    if (open() && events_.closed) {
      MailConnectionEvents events = events_;
      destroyed = true;
      events.closed();
    }
  }

  // Answers to each whole line the client writes, run by RunPending().
  LineScript on_line;
  // Run by RunPending() once the client asked for TLS; unset: FinishTls().
  std::function<void(FakeMailPeer&)> on_tls;

 private:
  friend class FakeMailNetwork;
  friend class FakeMailConnection;
  MailConnectionEvents events_;
  std::string unread_;
  bool connect_pending_ = true;
  bool tls_pending_ = false;
};

class FakeMailConnection : public MailConnection {
 public:
  explicit FakeMailConnection(std::shared_ptr<FakeMailPeer> peer)
      : peer_(std::move(peer)) {}
  ~FakeMailConnection() override { peer_->destroyed = true; }
  void StartTls() override {
    peer_->tls_requested = true;
    peer_->tls_pending_ = true;
  }
  void Write(std::string_view bytes) override {
    if (!peer_->open()) return;
    peer_->written.append(bytes);
    if (!peer_->tls) peer_->written_plain.append(bytes);
    peer_->unread_.append(bytes);
  }
  void Close() override { peer_->closed_by_client = true; }
  void Abort() override { peer_->aborted = true; }

 private:
  std::shared_ptr<FakeMailPeer> peer_;
};

class FakeMailNetwork : public MailNetwork {
 public:
  std::unique_ptr<MailConnection> Connect(
      const std::string& host, int port, MailTransport transport,
      MailConnectionEvents events) override {
    auto peer = std::make_shared<FakeMailPeer>();
    peer->host = host;
    peer->port = port;
    peer->transport = transport;
    peer->events_ = std::move(events);
    peer->on_line = line_script;
    peers.push_back(peer);
    return std::make_unique<FakeMailConnection>(peer);
  }

  // Runs the scripts until nothing is left to answer: new connections
  // (on_connect_script), finished TLS requests, whole lines written.
  void RunPending() {
    for (bool again = true; again;) {
      again = false;
      for (size_t i = 0; i < peers.size(); ++i) {
        std::shared_ptr<FakeMailPeer> peer = peers[i];
        if (!peer->open()) continue;
        if (peer->connect_pending_) {
          peer->connect_pending_ = false;
          again = true;
          if (on_connect_script) on_connect_script(*peer);
          continue;
        }
        if (peer->tls_pending_) {
          peer->tls_pending_ = false;
          again = true;
          peer->unread_.clear();
          if (peer->on_tls) {
            peer->on_tls(*peer);
          } else {
            peer->FinishTls();
          }
          continue;
        }
        const size_t end = peer->unread_.find("\r\n");
        if (end == std::string::npos) continue;
        const std::string line = peer->unread_.substr(0, end);
        peer->unread_.erase(0, end + 2);
        again = true;
        if (peer->on_line) peer->on_line(*peer, line);
      }
    }
  }

  FakeMailPeer& last() { return *peers.back(); }

  // Script given to every new connection: its greeting, and the answers.
  std::function<void(FakeMailPeer&)> on_connect_script;
  FakeMailPeer::LineScript line_script;
  std::vector<std::shared_ptr<FakeMailPeer>> peers;
};

}  // namespace mirokata

#endif  // MIROKATA_PLATFORM_TESTING_FAKE_MAIL_NETWORK_H_
