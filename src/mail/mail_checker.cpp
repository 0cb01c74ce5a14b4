#include "mail/mail_checker.h"

#include <QCoreApplication>
#include <QRandomGenerator>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <utility>

#include "base/settings_file.h"
#include "mail/pop3_session.h"
#include "mail/reminder_message.h"
#include "mail/smtp_session.h"
#include "platform/clock.h"

namespace mirokata {
namespace {

// A one-second timer for the deadlines, where there is an event loop.
std::unique_ptr<QTimer> DeadlineTimer(std::function<void()> poll) {
  if (!QCoreApplication::instance()) return nullptr;
  auto timer = std::make_unique<QTimer>();
  timer->setInterval(1000);
  QObject::connect(timer.get(), &QTimer::timeout, std::move(poll));
  return timer;
}

}  // namespace

std::string MailResultLine(const std::string& name, std::optional<int> count) {
  if (!count || *count <= 0) return {};
  return name + "：" + std::to_string(*count) + "通";
}

MailChecker::MailChecker(const Services& services, SecretStore& secrets,
                         MailCheckHooks hooks)
    : services_(services), secrets_(secrets), hooks_(std::move(hooks)) {
  outcomes_.fill(MailOutcome::kNotRun);
  timer_ = DeadlineTimer([this] { Poll(); });
}

MailChecker::~MailChecker() { *alive_ = false; }

void MailChecker::Colour(StripColour colour) {
  if (hooks_.strip_colour) hooks_.strip_colour(colour);
}

void MailChecker::Check() {
  if (busy_) {
    waiting_ = true;
    Colour(StripColour::kWaiting);
    return;
  }
  if (!services_.settings || !services_.mail_network || !services_.uptime) {
    return;
  }
  busy_ = true;
  {
    Settings s = services_.settings->Open();
    for (int i = 0; i < kMailAccounts; ++i) {
      const std::string n = "pop" + std::to_string(i + 1);
      Account& a = accounts_[i];
      a.check = s.ReadBool("pop", n + "_check", false);
      a.name = s.ReadString("pop", n + "_name", "");
      a.pop3.host = s.ReadString("pop", n + "_server", "");
      a.pop3.user = s.ReadString("pop", n + "_user", "");
      a.pop3.port_text = s.ReadString("pop", n + "_port", "110");
      a.pop3.security = s.ReadInteger("pop", n + "_security", 0);
    }
  }
  if (timer_) timer_->start();
  current_ = -1;
  Next();
}

void MailChecker::Next() {
  exchange_.reset();
  do {
    ++current_;
  } while (current_ < kMailAccounts && !accounts_[current_].check);
  if (current_ >= kMailAccounts) {
    Finish();
    return;
  }
  Colour(waiting_ ? StripColour::kWaiting
                  : static_cast<StripColour>(
                        static_cast<int>(StripColour::kAccount1) + current_));
  std::weak_ptr<bool> alive = alive_;
  const int account = current_;
  secrets_.Read("pop" + std::to_string(account + 1),
                [this, alive, account](std::optional<std::string> password) {
                  if (alive.expired() || !busy_ || current_ != account) return;
                  StartAccount(std::move(password));
                });
}

void MailChecker::StartAccount(std::optional<std::string> password) {
  Pop3Account pop3 = accounts_[current_].pop3;
  pop3.password = password.value_or("");
  auto session = std::make_unique<Pop3Session>(std::move(pop3));
  if (!session->usable()) {
    AccountDone(MailOutcome::kSkipped, std::nullopt);
    return;
  }
  Pop3Session* pop3_session = session.get();
  exchange_ = std::make_unique<MailExchange>(
      *services_.mail_network, *services_.uptime, std::move(session),
      [this, pop3_session] {
        AccountDone(pop3_session->outcome(), pop3_session->count());
      });
  exchange_->Start();
}

void MailChecker::AccountDone(MailOutcome outcome, std::optional<int> count) {
  outcomes_[current_] = outcome;
  // A failed exchange keeps the count its server last reported.
  if (count) counts_[current_] = count;
  Next();
}

void MailChecker::Finish() {
  std::array<std::string, kMailAccounts> lines;
  for (int i = 0; i < kMailAccounts; ++i) {
    if (accounts_[i].check)
      lines[i] = MailResultLine(accounts_[i].name, counts_[i]);
  }
  busy_ = false;
  waiting_ = false;
  if (timer_) timer_->stop();
  if (hooks_.show_results) hooks_.show_results(lines);
  Colour(StripColour::kNormal);
  const int minutes = services_.settings->ReadInteger("pop", "min", 60);
  if (hooks_.set_countdown) hooks_.set_countdown(minutes);
}

void MailChecker::Poll() {
  if (exchange_) exchange_->CheckDeadline();
}

MailOutcome MailChecker::outcome(int account) const {
  if (account < 1 || account > kMailAccounts) return MailOutcome::kNotRun;
  return outcomes_[account - 1];
}

std::optional<int> MailChecker::count(int account) const {
  if (account < 1 || account > kMailAccounts) return std::nullopt;
  return counts_[account - 1];
}

ReminderMailer::ReminderMailer(const Services& services, SecretStore& secrets,
                               std::function<void(StripColour)> strip_colour,
                               std::function<std::string()> local_host_name)
    : services_(services),
      secrets_(secrets),
      strip_colour_(std::move(strip_colour)),
      local_host_name_(std::move(local_host_name)) {
  timer_ = DeadlineTimer([this] { Poll(); });
}

ReminderMailer::~ReminderMailer() { *alive_ = false; }

bool ReminderMailer::Send(const std::string& title,
                          const std::vector<std::string>& texts) {
  if (!services_.settings || !services_.mail_network || !services_.uptime ||
      !services_.clock) {
    return false;
  }
  SmtpRequest request;
  ReminderMail mail;
  {
    Settings s = services_.settings->Open();
    if (!s.ReadBool("smtp", "smtp_check", false)) return false;
    request.host = s.ReadString("smtp", "smtp_server", "");
    request.port_text = s.ReadString("smtp", "smtp_port", "25");
    request.security = s.ReadInteger("smtp", "smtp_security", 0);
    request.user = s.ReadString("smtp", "smtp_user", "");
    mail.to = s.ReadString("smtp", "smtp_mailaddr", "");
    mail.from = s.ReadString("smtp", "smtp_fromaddr", "");
  }
  mail.title = title;
  mail.texts = texts;
  mail.date = services_.clock->Now();
  char unique[64];
  std::snprintf(unique, sizeof unique, "%lld.%016llx",
                static_cast<long long>(mail.date.unix_seconds),
                static_cast<unsigned long long>(
                    QRandomGenerator::system()->generate64()));
  mail.unique = unique;
  std::optional<std::string> message = ComposeReminderMessage(mail);
  if (!message) return false;
  request.envelope_from = mail.from;
  request.envelope_to = mail.to;
  request.message = std::move(*message);
  if (local_host_name_) request.local_host_name = local_host_name_();
  if (!SmtpSession(request).usable()) return false;

  ++pending_;
  Started();
  std::weak_ptr<bool> alive = alive_;
  auto start = [this, alive, request](std::optional<std::string> password) {
    if (alive.expired()) return;
    --pending_;
    SmtpRequest r = request;
    r.password = password.value_or("");
    auto session = std::make_unique<SmtpSession>(std::move(r));
    if (!session->usable()) {
      last_outcome_ = MailOutcome::kSkipped;
      Ended(nullptr);
      return;
    }
    SmtpSession* smtp = session.get();
    auto self = std::make_shared<MailExchange*>(nullptr);
    auto exchange = std::make_unique<MailExchange>(
        *services_.mail_network, *services_.uptime, std::move(session),
        [this, alive, self, smtp] {
          if (alive.expired()) return;
          last_outcome_ = smtp->outcome();
          Ended(*self);
        });
    *self = exchange.get();
    exchanges_.push_back(std::move(exchange));
    exchanges_.back()->Start();
  };
  if (request.user.empty()) {
    start(std::nullopt);
  } else {
    secrets_.Read("smtp", start);
  }
  return true;
}

void ReminderMailer::Started() {
  if (strip_colour_) strip_colour_(StripColour::kSending);
  if (timer_) timer_->start();
}

void ReminderMailer::Ended(MailExchange* exchange) {
  auto it = std::find_if(exchanges_.begin(), exchanges_.end(),
                         [exchange](const std::unique_ptr<MailExchange>& e) {
                           return e.get() == exchange;
                         });
  // Freed here, from inside its own end: the exchange allows that.
  if (it != exchanges_.end()) exchanges_.erase(it);
  if (exchanges_.empty() && pending_ == 0) {
    if (timer_) timer_->stop();
    if (strip_colour_) strip_colour_(StripColour::kNormal);
  }
}

void ReminderMailer::Poll() {
  // A deadline may end an exchange and change the list.
  std::vector<MailExchange*> running;
  for (const auto& e : exchanges_) running.push_back(e.get());
  for (MailExchange* e : running) {
    if (std::any_of(exchanges_.begin(), exchanges_.end(),
                    [e](const auto& x) { return x.get() == e; })) {
      e->CheckDeadline();
    }
  }
}

}  // namespace mirokata
