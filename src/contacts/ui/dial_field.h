// A telephone number field with its dial button (24 pixels square at the
// right) and Ctrl+D. Asks for the called party's name just before
// dialling.
#ifndef MIROKATA_CONTACTS_UI_DIAL_FIELD_H_
#define MIROKATA_CONTACTS_UI_DIAL_FIELD_H_

#include <QWidget>
#include <functional>

class QLineEdit;
class QToolButton;

namespace mirokata {

class DialField : public QWidget {
  Q_OBJECT

 public:
  explicit DialField(QWidget* parent = nullptr);

  QString text() const;
  void setText(const QString& text);
  QLineEdit* edit() const { return edit_; }
  QToolButton* button() const { return button_; }

  // Answers the called party's name (empty by default).
  void SetNameSource(std::function<QString()> source) {
    name_source_ = std::move(source);
  }
  // True from a dial until the field loses the focus.
  bool dialling() const { return dialling_; }

  // What the button and Ctrl+D do.
  void Dial();

 signals:
  void DialRequested(const QString& number, const QString& name);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  QLineEdit* edit_ = nullptr;
  QToolButton* button_ = nullptr;
  std::function<QString()> name_source_;
  bool dialling_ = false;
};

}  // namespace mirokata

#endif  // MIROKATA_CONTACTS_UI_DIAL_FIELD_H_
