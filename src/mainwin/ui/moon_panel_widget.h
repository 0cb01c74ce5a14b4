// The moon panel of the main window: Julian Date, phase, the moon's age,
// the moon picture and, when switched on, the analog clock beside it.
#ifndef MIROKATA_MAINWIN_UI_MOON_PANEL_WIDGET_H_
#define MIROKATA_MAINWIN_UI_MOON_PANEL_WIDGET_H_

#include <QWidget>

#include "schedule/reminder_engine.h"

class QLabel;

namespace mirokata {

class AnalogClock;
class Clock;
class MoonView;

class MoonPanelWidget : public QWidget {
  Q_OBJECT

 public:
  explicit MoonPanelWidget(QWidget* parent = nullptr);

  // What the main tick shows each second.
  void ShowState(const MainDisplayState& state);
  // The analog clock reads this clock (null: the system's).
  void SetClock(const Clock* clock);

  MoonView* moon_view() const { return moon_; }
  AnalogClock* analog_clock() const { return clock_; }
  QString julian_date_text() const;
  QString phase_text() const;
  QString age_text() const;

 private:
  MoonView* moon_ = nullptr;
  AnalogClock* clock_ = nullptr;
  QLabel* julian_date_ = nullptr;
  QLabel* phase_ = nullptr;
  QLabel* age_ = nullptr;
};

}  // namespace mirokata

#endif  // MIROKATA_MAINWIN_UI_MOON_PANEL_WIDGET_H_
