// The calendar area's grid with everything its events drive: the month
// grid control filling this widget and the day panel controller that keeps
// the captions, the back-to-today button and the day pop-view in step.
#ifndef MIROKATA_MAINWIN_UI_CALENDAR_GRID_PANEL_H_
#define MIROKATA_MAINWIN_UI_CALENDAR_GRID_PANEL_H_

#include <QWidget>

#include "calendar/gregorian.h"
#include "mainwin/ui/day_panel_controller.h"

class QAbstractButton;
class QLabel;

namespace mirokata {

class CalendarGrid;
class Clock;
class Screen;
class SettingsFile;
class SoundCues;

class CalendarGridPanel : public QWidget {
  Q_OBJECT

 public:
  // The captions and the button belong to the window; any may be null.
  // Starts on today with the grid colours of the settings.
  CalendarGridPanel(SettingsFile& settings, const Clock& clock,
                    const Screen* screen, SoundCues* cues, QLabel* year_caption,
                    QLabel* month_caption, QAbstractButton* today_button,
                    QWidget* parent = nullptr);

  CivilDate date() const;
  // Selects the date (the grid raises its change when anything moved).
  void setDate(const CivilDate& date);

  CalendarGrid* grid() const { return grid_; }
  DayPanelController* controller() const { return controller_; }

 signals:
  // After every change of the selected day.
  void dateChanged(const CivilDate& date);

 private:
  CalendarGrid* grid_;
  DayPanelController* controller_;
};

}  // namespace mirokata

#endif  // MIROKATA_MAINWIN_UI_CALENDAR_GRID_PANEL_H_
