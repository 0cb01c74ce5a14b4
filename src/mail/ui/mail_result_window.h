// The small borderless window with one line per mailbox that has mail.
#ifndef MIROKATA_MAIL_UI_MAIL_RESULT_WINDOW_H_
#define MIROKATA_MAIL_UI_MAIL_RESULT_WINDOW_H_

#include <QPoint>
#include <QWidget>
#include <array>
#include <functional>
#include <string>

#include "base/services.h"

class QLabel;
class QMenu;

namespace mirokata {

struct MailResultActions {
  std::function<void()> check;          // "メールチェック"
  std::function<void()> start_mailer;   // "メーラー起動"
  std::function<void()> open_settings;  // "メールの設定"
};

class MailResultWindow : public QWidget {
  Q_OBJECT

 public:
  MailResultWindow(const Services& services, MailResultActions actions,
                   QWidget* parent = nullptr);

  void SetLines(const std::array<std::string, 3>& lines);
  // Shows it with its sound and the mail program's icon, not taking focus.
  void ShowResults();

  QLabel* line(int i) const { return lines_[i]; }
  QLabel* icon() const { return icon_; }
  QMenu* context_menu() const { return menu_; }

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void contextMenuEvent(QContextMenuEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  void StartMailer();

  Services services_;
  MailResultActions actions_;
  QLabel* icon_ = nullptr;
  std::array<QLabel*, 3> lines_{};
  QMenu* menu_ = nullptr;
  QPoint drag_offset_;
  bool dragging_ = false;
};

}  // namespace mirokata

#endif  // MIROKATA_MAIL_UI_MAIL_RESULT_WINDOW_H_
