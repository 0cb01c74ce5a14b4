// The analog desktop clock of the moon panel.
#ifndef MIROKATA_WIDGETS_ANALOG_CLOCK_WIDGET_H_
#define MIROKATA_WIDGETS_ANALOG_CLOCK_WIDGET_H_

#include <QColor>
#include <QPixmap>
#include <QTimer>
#include <QWidget>
#include <optional>

#include "widgets/analog_clock_face.h"

namespace mirokata {

class Clock;

// A self-timed clock face. The dial is drawn at each repaint; the hands
// move when the second changes (checked every 990 ms, so no second is
// skipped), and a check within the same second draws nothing. Disabling
// the widget (setEnabled(false)) stops its timer.
class AnalogClock : public QWidget {
  Q_OBJECT

 public:
  // 200 x 200, lowered border, navy face, yellow hands, red seconds, white
  // marks and numerals, running.
  explicit AnalogClock(QWidget* parent = nullptr);

  // The clock as the main window shows it on the moon panel: at (112, 30),
  // 70 x 70, no border, black face, dots and no numerals, stopped until
  // the tick starts it.
  static AnalogClock* CreateForMoonPanel(QWidget* parent);

  // What the main tick does each second: hands white in the morning and
  // yellow from noon, and the clock shown and running exactly while the
  // Form/AnalogClock setting is on.
  void ApplyTick(bool shown, int hour);

  // Time source; null (the default) reads the system's local time. The
  // clock must outlive this widget.
  void SetClock(const Clock* clock) { clock_ = clock; }

  ClockBorder border() const { return border_; }
  QColor color() const { return color_; }
  QColor pointer_color() const { return pointer_color_; }
  QColor seconds_color() const { return seconds_color_; }
  QColor scale_color() const { return scale_color_; }
  QColor font_color() const { return font_color_; }
  bool display_text() const { return display_text_; }
  bool display_points() const { return display_points_; }

  void SetBorder(ClockBorder border);
  void SetColor(const QColor& color);
  void SetPointerColor(const QColor& color);
  void SetSecondsColor(const QColor& color);
  void SetScaleColor(const QColor& color);
  void SetFontColor(const QColor& color);
  void SetDisplayText(bool on);
  void SetDisplayPoints(bool on);

  // One timer step, also for tests: reads the time and moves the hands
  // when the second changed. Returns whether it did.
  bool Step();
  bool timer_running() const { return timer_.isActive(); }
  // The second last drawn, if any.
  std::optional<int> last_second() const { return last_second_; }

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void changeEvent(QEvent* event) override;

 private:
  void Invalidate();
  void PaintDial(QPainter& painter, const ClockFace& face);
  void UpdateTimer();

  const Clock* clock_ = nullptr;
  QTimer timer_;
  QPixmap dial_;  // cached dial, rebuilt when stale
  ClockBorder border_ = ClockBorder::kLowered;
  QColor color_{0, 0, 128};
  QColor pointer_color_{255, 255, 0};
  QColor seconds_color_{255, 0, 0};
  QColor scale_color_{255, 255, 255};
  QColor font_color_{255, 255, 255};
  bool display_text_ = true;
  bool display_points_ = false;
  std::optional<int> last_second_;
  int hour_ = 0;
  int minute_ = 0;
};

}  // namespace mirokata

#endif  // MIROKATA_WIDGETS_ANALOG_CLOCK_WIDGET_H_
