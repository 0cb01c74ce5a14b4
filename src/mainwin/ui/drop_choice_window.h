// The small "Drop" window that asks what to do with files dropped on a
// memo: load the first into this memo (1), open new memos (2 for one file,
// 3 for several) or cancel (0). It reports the choice and closes.
#ifndef MIROKATA_MAINWIN_UI_DROP_CHOICE_WINDOW_H_
#define MIROKATA_MAINWIN_UI_DROP_CHOICE_WINDOW_H_

#include <QWidget>

class QPushButton;

namespace mirokata {

class DropChoiceWindow : public QWidget {
  Q_OBJECT

 public:
  // `files`: how many were dropped; `first_enabled` false in sticky-paper
  // mode.
  DropChoiceWindow(const QString& title, int files, bool first_enabled,
                   QWidget* parent = nullptr);

  QPushButton* this_memo_button() const { return first_; }
  QPushButton* new_memo_button() const { return second_; }
  QPushButton* cancel_button() const { return cancel_; }
  int choice() const { return choice_; }

 signals:
  void Chosen(int choice);

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  void showEvent(QShowEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  void Choose(int choice);

  QPushButton* first_;
  QPushButton* second_;
  QPushButton* cancel_;
  const int second_choice_;
  int choice_ = 0;
  bool chosen_ = false;
};

}  // namespace mirokata

#endif  // MIROKATA_MAINWIN_UI_DROP_CHOICE_WINDOW_H_
