// The password prompt, which is also where the password is set or changed
// and where the last access of each locked part shows; and the gate that
// puts it in front of the locked parts without ever waiting for it.
#ifndef MIROKATA_TOOLS_UI_PASSWORD_WINDOW_H_
#define MIROKATA_TOOLS_UI_PASSWORD_WINDOW_H_

#include <QPointer>
#include <QWidget>
#include <functional>
#include <optional>
#include <vector>

#include "base/services.h"
#include "tools/password_lock.h"

class QCheckBox;
class QLineEdit;
class QPushButton;

namespace mirokata {

inline constexpr char kWrongPasswordMessage[] = "パスワードが違います。";

class PasswordWindow : public QWidget {
  Q_OBJECT

 public:
  explicit PasswordWindow(const Services& services, QWidget* parent = nullptr);

  QLineEdit* password_field() const { return password_; }
  QLineEdit* current_field() const { return current_; }
  QLineEdit* new_field() const { return new_; }
  QLineEdit* again_field() const { return again_; }
  QCheckBox* telephone_box() const { return telephone_; }
  QPushButton* open_button() const { return open_; }
  QPushButton* set_button() const { return set_; }
  QLineEdit* access_field(LockedPart part) const { return access_[int(part)]; }

  // "開く": the prompt ends with what the "Password:" field holds.
  void Open();
  // "設定": checks the fields and stores the new password.
  void SetPassword();

 signals:
  // Once, however the window closes.
  void Finished(const QString& typed);

 protected:
  void showEvent(QShowEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  void UpdateEnabling();
  // A failed change: the window hides, says why, then closes.
  void Refuse(const char* text);
  void ShowNotice(size_t index);

  Services services_;
  bool stored_ = false;
  bool finished_ = false;
  QLineEdit* password_ = nullptr;
  QPushButton* open_ = nullptr;
  QLineEdit* access_[3] = {};
  QLineEdit* current_ = nullptr;
  QLineEdit* new_ = nullptr;
  QLineEdit* again_ = nullptr;
  QCheckBox* telephone_ = nullptr;
  QPushButton* set_ = nullptr;
};

// Asks for the password before a locked part opens. Never waits: the
// prompt is application-modal but shown with show(), and the answer comes
// through the callback. One prompt at a time; requests made while it is up
// share its answer.
class PasswordGate {
 public:
  explicit PasswordGate(const Services& services);
  ~PasswordGate();

  // Runs `go_on` after writing the part's access time, at once when the part
  // does not ask, else once the right password is typed.
  void Check(LockedPart part, std::function<void()> go_on);
  // Always asks (the preferences' switch); `done` hears whether it passed.
  void Confirm(std::function<void(bool)> done);

  PasswordWindow* prompt() const { return prompt_; }

 private:
  struct Waiting {
    std::optional<LockedPart> part;
    std::function<void(bool)> done;
  };
  void Ask(Waiting waiting);
  void Answered(const QString& typed);

  Services services_;
  std::vector<Waiting> waiting_;
  QPointer<PasswordWindow> prompt_;
};

}  // namespace mirokata

#endif  // MIROKATA_TOOLS_UI_PASSWORD_WINDOW_H_
