#include "mainwin/ui/day_panel_controller.h"

#include <QAbstractButton>
#include <QCursor>
#include <QGuiApplication>
#include <QLabel>

#include "mainwin/ui/calendar_grid.h"
#include "platform/color/color_value.h"

namespace mirokata {

DayPanelController::DayPanelController(SettingsFile& settings,
                                       const Clock& clock, const Screen* screen,
                                       SoundCues* cues, Parts parts,
                                       QObject* parent)
    : QObject(parent),
      settings_(settings),
      screen_(screen),
      cues_(cues),
      parts_(parts),
      entries_(settings),
      panel_(std::make_unique<DayPanel>(settings, clock, entries_)) {
  panel_->SetShortWeekdayNames(LocaleShortWeekdayNames());
  CalendarGrid* grid = parts_.grid;
  connect(grid, &CalendarGrid::clicked, this, &DayPanelController::OnClicked);
  connect(grid, &CalendarGrid::changed, this, &DayPanelController::OnChanged);
  connect(grid, &CalendarGrid::doubleClicked, this,
          &DayPanelController::OnDoubleClicked);
  if (parts_.month_caption != nullptr) {
    parts_.month_caption->setAutoFillBackground(true);
    parts_.month_caption->setAlignment(Qt::AlignCenter);
  }
  // Leaving the program closes the pop-view; coming back re-colours, so
  // entries saved meanwhile show.
  connect(qApp, &QGuiApplication::applicationStateChanged, this,
          [this](Qt::ApplicationState s) {
            if (s == Qt::ApplicationActive) {
              Refresh();
            } else {
              ClosePopView();
            }
          });
}

DayPanelController::~DayPanelController() { ClosePopView(); }

void DayPanelController::SetDoubleClickHandler(DayAction action,
                                               DayHandler handler,
                                               Availability available) {
  const int i = static_cast<int>(action);
  if (i >= 0 && i < static_cast<int>(double_click_.size())) {
    double_click_[i] = {std::move(handler), std::move(available)};
  }
}

void DayPanelController::SetPopViewCommand(PopViewCommand command,
                                           DayHandler handler,
                                           Availability available) {
  pop_commands_[static_cast<int>(command)] = {std::move(handler),
                                              std::move(available)};
}

void DayPanelController::LoadColors() {
  parts_.grid->setColors(ReadGridColors(settings_));
  Apply(state_);
}

void DayPanelController::Refresh() {
  panel_->ForgetShownMonth();
  OnChanged();
}

void DayPanelController::ClosePopView() {
  if (pop_view_) pop_view_->close();
}

void DayPanelController::OnClicked() { panel_->Click(); }

void DayPanelController::OnChanged() {
  DayPanelState s = panel_->Change(parts_.grid->model());
  if (s.recoloured) parts_.grid->update();
  Apply(s);
  if (s.open_pop_view) OpenPopView(s);
  state_ = std::move(s);
}

void DayPanelController::Apply(const DayPanelState& s) {
  if (parts_.year_caption != nullptr) {
    parts_.year_caption->setText(QString::fromStdString(s.year_caption));
  }
  if (QLabel* month = parts_.month_caption) {
    month->setText(QString::fromStdString(s.month_caption));
    QPalette pal = month->palette();
    pal.setColor(QPalette::WindowText,
                 ColorFromValue(s.month_caption_text, pal));
    pal.setColor(QPalette::Window, ColorFromValue(s.month_caption_back, pal));
    month->setPalette(pal);
  }
  if (parts_.today_button != nullptr) {
    parts_.today_button->setEnabled(s.today_button_enabled);
  }
}

void DayPanelController::OpenPopView(const DayPanelState& s) {
  ClosePopView();  // at most one at a time
  auto* view = new DayPopView;
  view->SetDay(s.date, s.days_from_today, s.info_lines, s.info_colors);
  const CivilDate date = s.date;
  for (int i = 0; i < kPopViewCommandCount; ++i) {
    if (pop_commands_[i].ready()) {
      const DayHandler run = pop_commands_[i].run;
      view->SetCommand(static_cast<PopViewCommand>(i), [run, date, view] {
        view->close();
        run(date);
      });
    }
  }
  pop_view_ = view;
  view->ShowAt(QCursor::pos(), screen_, cues_, parts_.grid->window());
}

void DayPanelController::OnDoubleClicked() {
  const int i = static_cast<int>(panel_->DoubleClick());
  if (i < 0 || i >= static_cast<int>(double_click_.size())) return;
  if (double_click_[i].ready()) {
    ClosePopView();
    const CalendarGrid& g = *parts_.grid;
    double_click_[i].run(CivilDate{g.year(), g.month(), g.day()});
  }
}

}  // namespace mirokata
