#include "mail/mail_exchange.h"

#include <utility>

namespace mirokata {

MailExchange::MailExchange(MailNetwork& network, const Uptime& uptime,
                           std::unique_ptr<MailSession> session,
                           std::function<void()> done)
    : network_(network),
      uptime_(uptime),
      session_(std::move(session)),
      done_(std::move(done)) {}

MailExchange::~MailExchange() {
  *alive_ = false;
  if (connection_) connection_->Abort();
}

void MailExchange::Start() {
  deadline_ms_ = uptime_.Milliseconds() + kMailDeadlineMs;
  MailConnectionEvents events;
  std::weak_ptr<bool> alive = alive_;
  // Each event first checks the deadline, so a trickle cannot stretch it.
  events.connected = [this, alive](const std::string& local_address) {
    if (alive.expired() || PastDeadline()) return;
    Apply(session_->OnConnected(local_address));
  };
  events.tls_ready = [this, alive] {
    if (alive.expired() || PastDeadline()) return;
    Apply(session_->OnTlsReady());
  };
  events.received = [this, alive](std::string_view bytes) {
    if (alive.expired() || PastDeadline()) return;
    Apply(session_->OnBytes(bytes));
  };
  events.failed = [this, alive](MailConnectionError error) {
    if (alive.expired()) return;
    connection_.reset();
    Apply(session_->OnFailed(error));
  };
  events.closed = [this, alive] {
    if (alive.expired()) return;
    connection_.reset();
    Apply(session_->OnClosed());
  };
  connection_ = network_.Connect(session_->host(), session_->port(),
                                 session_->transport(), std::move(events));
}

void MailExchange::CheckDeadline() { PastDeadline(); }

bool MailExchange::PastDeadline() {
  if (done_called_ || !connection_) return false;
  if (uptime_.Milliseconds() < deadline_ms_) return false;
  Apply(session_->OnDeadline());
  return true;
}

bool MailExchange::Apply(const MailStep& step) {
  if (connection_) {
    if (step.abort) {
      connection_->Abort();
      connection_.reset();
    } else {
      if (!step.write.empty()) connection_->Write(step.write);
      if (step.start_tls) connection_->StartTls();
      if (step.close) {
        connection_->Close();
        connection_.reset();
      }
    }
  }
  if (session_->finished() && !done_called_) {
    done_called_ = true;
    if (connection_) {
      connection_->Abort();
      connection_.reset();
    }
    if (done_) {
      std::function<void()> done = std::move(done_);
      done();
    }
    return false;
  }
  return true;
}

}  // namespace mirokata
