// The small rounded window shown while the main window loads its memos or
// a window builds a long list.
#ifndef MIROKATA_WIDGETS_STARTUP_MESSAGE_WINDOW_H_
#define MIROKATA_WIDGETS_STARTUP_MESSAGE_WINDOW_H_

#include <QString>
#include <QWidget>

namespace mirokata {

class StartupMessageWindow : public QWidget {
  Q_OBJECT

 public:
  // kSplash: a splash screen, which Qt paints by running the event loop
  // when it shows. kBusy: a plain frameless tool window, for work that may
  // run inside the tick and must not let anything else run meanwhile.
  enum class Kind { kSplash, kBusy };

  explicit StartupMessageWindow(const QString& message,
                                QWidget* parent = nullptr,
                                Kind kind = Kind::kSplash);

  // Shows the window centred on the screen and paints it at once.
  void ShowNow();
  QString message() const { return message_; }

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  QString message_;
};

}  // namespace mirokata

#endif  // MIROKATA_WIDGETS_STARTUP_MESSAGE_WINDOW_H_
