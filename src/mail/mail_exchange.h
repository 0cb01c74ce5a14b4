// Runs one session over one connection with one overall deadline: a server
// that stalls or trickles bytes is dropped when the deadline passes, however
// often it sends.
#ifndef MIROKATA_MAIL_MAIL_EXCHANGE_H_
#define MIROKATA_MAIL_MAIL_EXCHANGE_H_

#include <cstdint>
#include <functional>
#include <memory>

#include "mail/mail_session.h"
#include "platform/mail_connection.h"
#include "platform/uptime.h"

namespace mirokata {

inline constexpr std::int64_t kMailDeadlineMs = 60 * 1000;

class MailExchange {
 public:
  // `done` runs once, when the session has finished; it may destroy this.
  MailExchange(MailNetwork& network, const Uptime& uptime,
               std::unique_ptr<MailSession> session,
               std::function<void()> done);
  ~MailExchange();
  MailExchange(const MailExchange&) = delete;
  MailExchange& operator=(const MailExchange&) = delete;

  // Connects; everything else follows from the connection's events.
  void Start();
  // Drops the exchange when its deadline has passed (called every second
  // and at every event).
  void CheckDeadline();

  bool finished() const { return session_->finished(); }
  MailSession& session() { return *session_; }
  const MailSession& session() const { return *session_; }

 private:
  // Applies a step; false when `done` ran (this may be gone).
  bool Apply(const MailStep& step);
  // True when the deadline ended the exchange (this may be gone).
  bool PastDeadline();

  MailNetwork& network_;
  const Uptime& uptime_;
  std::unique_ptr<MailSession> session_;
  std::function<void()> done_;
  std::unique_ptr<MailConnection> connection_;
  std::int64_t deadline_ms_ = 0;
  bool done_called_ = false;
  // Cleared by the destructor so that a callback notices.
  std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
};

}  // namespace mirokata

#endif  // MIROKATA_MAIL_MAIL_EXCHANGE_H_
