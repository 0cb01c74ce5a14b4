// The reachability check on Linux: QHostInfo for names, one echo request
// over an unprivileged ping socket (net.ipv4.ping_group_range), read on a
// socket notifier with a deadline. Nothing here waits.
#include <fcntl.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QHostAddress>
#include <QHostInfo>
#include <QObject>
#include <QSocketNotifier>
#include <QTimer>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <utility>

#include "platform/ping.h"
#include "platform/ping_packet.h"

namespace mirokata {
namespace {

std::atomic<uint16_t> next_sequence{1};

class LinuxPingJob : public QObject, public PingJob {
 public:
  LinuxPingJob(const std::string& host,
               std::function<void(const PingOutcome&)> done)
      : host_(host), done_(std::move(done)) {
    deadline_.setSingleShot(true);
    connect(&deadline_, &QTimer::timeout, this, [this] {
      PingOutcome outcome;
      outcome.kind = PingOutcome::Kind::kNoReply;
      outcome.address = address_;
      Finish(outcome);
    });
    QHostAddress literal;
    const QString text = QString::fromStdString(host);
    if (literal.setAddress(text) &&
        literal.protocol() == QAbstractSocket::IPv4Protocol &&
        text.count(QLatin1Char('.')) == 3) {
      Send(literal);
      return;
    }
    lookup_id_ = QHostInfo::lookupHost(text, this, [this](const QHostInfo& i) {
      lookup_id_ = -1;
      Resolved(i);
    });
  }

  ~LinuxPingJob() override {
    if (lookup_id_ >= 0) QHostInfo::abortHostLookup(lookup_id_);
    Close();
  }

 private:
  void Resolved(const QHostInfo& info) {
    QHostAddress chosen;
    // IPv4 first; ICMPv6 only for a name with IPv6 addresses alone.
    for (const QHostAddress& a : info.addresses()) {
      if (a.protocol() == QAbstractSocket::IPv4Protocol) {
        chosen = a;
        break;
      }
      if (chosen.isNull() && a.protocol() == QAbstractSocket::IPv6Protocol) {
        chosen = a;
      }
    }
    if (info.error() != QHostInfo::NoError || chosen.isNull()) {
      PingOutcome outcome;
      outcome.kind = PingOutcome::Kind::kLookupFailed;
      Finish(outcome);
      return;
    }
    Send(chosen);
  }

  void Send(const QHostAddress& target) {
    ipv6_ = target.protocol() == QAbstractSocket::IPv6Protocol;
    address_ = target.toString().toStdString();
    const int protocol = ipv6_ ? int(IPPROTO_ICMPV6) : int(IPPROTO_ICMP);
    fd_ = socket(ipv6_ ? AF_INET6 : AF_INET,
                 SOCK_DGRAM | SOCK_NONBLOCK | SOCK_CLOEXEC, protocol);
    if (fd_ < 0) {
      Fail(errno);
      return;
    }
    const int ttl = kPingTimeToLive;
    if (ipv6_) {
      setsockopt(fd_, IPPROTO_IPV6, IPV6_UNICAST_HOPS, &ttl, sizeof(ttl));
    } else {
      setsockopt(fd_, IPPROTO_IP, IP_TTL, &ttl, sizeof(ttl));
    }
    sequence_ = next_sequence++;
    const std::string packet = EchoRequest(ipv6_, sequence_);
    sockaddr_storage to = {};
    socklen_t to_size = 0;
    if (ipv6_) {
      auto* six = reinterpret_cast<sockaddr_in6*>(&to);
      six->sin6_family = AF_INET6;
      const Q_IPV6ADDR bytes = target.toIPv6Address();
      memcpy(&six->sin6_addr, bytes.c, sizeof(bytes.c));
      six->sin6_scope_id = target.scopeId().toUInt();
      to_size = sizeof(sockaddr_in6);
    } else {
      auto* four = reinterpret_cast<sockaddr_in*>(&to);
      four->sin_family = AF_INET;
      four->sin_addr.s_addr = htonl(target.toIPv4Address());
      to_size = sizeof(sockaddr_in);
    }
    started_ = std::chrono::steady_clock::now();
    if (sendto(fd_, packet.data(), packet.size(), 0,
               reinterpret_cast<sockaddr*>(&to), to_size) < 0) {
      Fail(errno);
      return;
    }
    notifier_ = new QSocketNotifier(fd_, QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, this,
            [this] { ReadReplies(); });
    deadline_.start(kPingTimeoutMs);
  }

  void ReadReplies() {
    char buffer[1500];
    while (fd_ >= 0) {
      const ssize_t n = recv(fd_, buffer, sizeof(buffer), 0);
      if (n < 0) {
        if (errno == EINTR) continue;
        return;  // EAGAIN: wait for the next one or the deadline
      }
      if (!IsEchoReply(std::string_view(buffer, size_t(n)), ipv6_, sequence_)) {
        continue;
      }
      PingOutcome outcome;
      outcome.kind = PingOutcome::Kind::kReply;
      outcome.address = address_;
      outcome.round_trip_ms =
          int(std::chrono::duration_cast<std::chrono::milliseconds>(
                  std::chrono::steady_clock::now() - started_)
                  .count());
      Finish(outcome);
      return;
    }
  }

  void Fail(int error) {
    PingOutcome outcome;
    // Refused by the kernel's ping group range; anything else (no route,
    // no such protocol) is simply no answer.
    outcome.kind = error == EACCES || error == EPERM
                       ? PingOutcome::Kind::kRefused
                       : PingOutcome::Kind::kNoReply;
    outcome.address = address_;
    outcome.error = error;
    Finish(outcome);
  }

  void Close() {
    deadline_.stop();
    if (notifier_) {
      notifier_->setEnabled(false);
      notifier_->deleteLater();
      notifier_ = nullptr;
    }
    if (fd_ >= 0) {
      ::close(fd_);
      fd_ = -1;
    }
  }

  // The socket goes first; the answer is posted, so the receiver may
  // destroy this job from its callback.
  void Finish(const PingOutcome& outcome) {
    Close();
    if (!done_) return;
    std::function<void(const PingOutcome&)> done = std::move(done_);
    done_ = nullptr;
    const std::weak_ptr<bool> alive = alive_;
    QTimer::singleShot(0, QCoreApplication::instance(), [alive, done, outcome] {
      if (!alive.expired()) done(outcome);
    });
  }

  std::string host_;
  std::function<void(const PingOutcome&)> done_;
  std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
  int lookup_id_ = -1;
  int fd_ = -1;
  bool ipv6_ = false;
  uint16_t sequence_ = 0;
  std::string address_;
  std::chrono::steady_clock::time_point started_;
  QSocketNotifier* notifier_ = nullptr;
  QTimer deadline_;
};

class LinuxReachability : public Reachability {
 public:
  std::unique_ptr<PingJob> Ping(
      const std::string& host,
      std::function<void(const PingOutcome&)> done) override {
    return std::make_unique<LinuxPingJob>(host, std::move(done));
  }
};

}  // namespace

std::unique_ptr<Reachability> MakeLinuxReachability() {
  return std::make_unique<LinuxReachability>();
}

}  // namespace mirokata
