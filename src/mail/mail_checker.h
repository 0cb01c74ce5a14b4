// The mail check: each enabled mailbox in turn, one at a time, then the
// lines of the result window and the minutes to the next automatic check;
// and the reminder mail, sent and forgotten. Both run on the event loop
// and never wait.
#ifndef MIROKATA_MAIL_MAIL_CHECKER_H_
#define MIROKATA_MAIL_MAIL_CHECKER_H_

#include <array>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "base/secret_store.h"
#include "base/services.h"
#include "mail/mail_exchange.h"
#include "mail/mail_session.h"
#include "mail/pop3_session.h"

class QTimer;

namespace mirokata {

inline constexpr int kMailAccounts = 3;

// The colours of the main window's strip while mail work runs.
enum class StripColour {
  kNormal,    // black
  kWaiting,   // grey: a check waits for the one running
  kAccount1,  // maroon
  kAccount2,  // navy
  kAccount3,  // green
  kSending,   // olive
};

// The text of a result line: name + "：" + count + "通"; empty without mail.
std::string MailResultLine(const std::string& name, std::optional<int> count);

struct MailCheckHooks {
  std::function<void(StripColour)> strip_colour;
  // The three result lines, when every account is done.
  std::function<void(const std::array<std::string, kMailAccounts>&)>
      show_results;
  // MailCountdown = `pop`/`min`.
  std::function<void(int minutes)> set_countdown;
};

class MailChecker {
 public:
  MailChecker(const Services& services, SecretStore& secrets,
              MailCheckHooks hooks);
  ~MailChecker();
  MailChecker(const MailChecker&) = delete;
  MailChecker& operator=(const MailChecker&) = delete;

  // Checks every enabled account. During a check it only greys the strip
  // until that check ends.
  void Check();
  bool busy() const { return busy_; }
  // Ends an exchange whose deadline has passed; a timer calls it every
  // second while a check runs.
  void Poll();

  // The last outcome and count of account 1-3 in this run.
  MailOutcome outcome(int account) const;
  std::optional<int> count(int account) const;

 private:
  struct Account {
    bool check = false;
    std::string name;
    Pop3Account pop3;
  };

  void Next();
  void StartAccount(std::optional<std::string> password);
  void AccountDone(MailOutcome outcome, std::optional<int> count);
  void Finish();
  void Colour(StripColour colour);

  Services services_;
  SecretStore& secrets_;
  MailCheckHooks hooks_;
  bool busy_ = false;
  bool waiting_ = false;
  int current_ = -1;  // 0-based account being checked
  std::array<Account, kMailAccounts> accounts_;
  std::array<MailOutcome, kMailAccounts> outcomes_{};
  std::array<std::optional<int>, kMailAccounts> counts_;
  std::unique_ptr<MailExchange> exchange_;
  std::unique_ptr<QTimer> timer_;
  std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
};

// Sends the reminder mail of a popup window.
class ReminderMailer {
 public:
  ReminderMailer(const Services& services, SecretStore& secrets,
                 std::function<void(StripColour)> strip_colour,
                 std::function<std::string()> local_host_name);
  ~ReminderMailer();
  ReminderMailer(const ReminderMailer&) = delete;
  ReminderMailer& operator=(const ReminderMailer&) = delete;

  // Mails the title and texts when `smtp`/`smtp_check` is on. False when
  // nothing goes out: switched off, no server, an unusable address.
  bool Send(const std::string& title, const std::vector<std::string>& texts);
  void Poll();

  size_t running() const { return exchanges_.size(); }
  MailOutcome last_outcome() const { return last_outcome_; }

 private:
  void Started();
  void Ended(MailExchange* exchange);

  Services services_;
  SecretStore& secrets_;
  std::function<void(StripColour)> strip_colour_;
  std::function<std::string()> local_host_name_;
  std::vector<std::unique_ptr<MailExchange>> exchanges_;
  int pending_ = 0;  // waiting for their password
  MailOutcome last_outcome_ = MailOutcome::kNotRun;
  std::unique_ptr<QTimer> timer_;
  std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
};

}  // namespace mirokata

#endif  // MIROKATA_MAIL_MAIL_CHECKER_H_
