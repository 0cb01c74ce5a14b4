// Drives the calendar area's widgets from the grid's events: the captions
// and their colours, the back-to-today button, the re-colouring of a newly
// shown month, the double-click action and the day pop-view.
#ifndef MIROKATA_MAINWIN_UI_DAY_PANEL_CONTROLLER_H_
#define MIROKATA_MAINWIN_UI_DAY_PANEL_CONTROLLER_H_

#include <QObject>
#include <QPointer>
#include <array>
#include <functional>
#include <memory>

#include "mainwin/day_panel.h"
#include "mainwin/month_grid_recolour.h"
#include "mainwin/ui/day_pop_view.h"

class QAbstractButton;
class QLabel;
class QLocale;
class QWidget;

namespace mirokata {

class CalendarGrid;
class Clock;
class Screen;
class SoundCues;

// A locale's short weekday names, Sunday first.

class DayPanelController : public QObject {
  Q_OBJECT

 public:
  struct Parts {
    CalendarGrid* grid = nullptr;
    QLabel* year_caption = nullptr;
    QLabel* month_caption = nullptr;
    QAbstractButton* today_button = nullptr;  // may be null
  };
  using DayHandler = std::function<void(const CivilDate&)>;

  // Everything must outlive the controller; screen and cues may be null.
  DayPanelController(SettingsFile& settings, const Clock& clock,
                     const Screen* screen, SoundCues* cues, Parts parts,
                     QObject* parent = nullptr);
  ~DayPanelController() override;

  // Whether a handler can run now (its window exists in this build).
  using Availability = std::function<bool()>;

  // The window a double click opens (Setup/Cal_DBLC). Actions without a
  // handler, or not available, do nothing.
  void SetDoubleClickHandler(DayAction action, DayHandler handler,
                             Availability available = {});
  // A pop-view button; buttons without an available handler are disabled.
  void SetPopViewCommand(PopViewCommand command, DayHandler handler,
                         Availability available = {});

  // The grid's colours from the settings (start-up).
  void LoadColors();
  // Re-colours the shown month and rebuilds the panel: the program became
  // active, the date changed or the settings did.
  void Refresh();
  void ClosePopView();

  DayPopView* pop_view() const { return pop_view_; }
  const DayPanelState& state() const { return state_; }
  DayPanel& panel() { return *panel_; }

 private:
  void OnClicked();
  void OnChanged();
  void OnDoubleClicked();
  void Apply(const DayPanelState& state);
  void OpenPopView(const DayPanelState& state);

  SettingsFile& settings_;
  const Screen* screen_;
  SoundCues* cues_;
  Parts parts_;
  DataFolderEntries entries_;
  std::unique_ptr<DayPanel> panel_;
  DayPanelState state_;
  QPointer<DayPopView> pop_view_;
  struct Handler {
    DayHandler run;
    Availability available;
    bool ready() const { return run && (!available || available()); }
  };
  std::array<Handler, 5> double_click_{};
  std::array<Handler, kPopViewCommandCount> pop_commands_{};
};

}  // namespace mirokata

#endif  // MIROKATA_MAINWIN_UI_DAY_PANEL_CONTROLLER_H_
