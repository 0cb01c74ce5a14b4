#include "mainwin/ui/calendar_grid_panel.h"

#include <QAbstractButton>
#include <QLabel>
#include <QVBoxLayout>

#include "mainwin/ui/calendar_grid.h"
#include "platform/clock.h"

namespace mirokata {

CalendarGridPanel::CalendarGridPanel(SettingsFile& settings, const Clock& clock,
                                     const Screen* screen, SoundCues* cues,
                                     QLabel* year_caption,
                                     QLabel* month_caption,
                                     QAbstractButton* today_button,
                                     QWidget* parent)
    : QWidget(parent) {
  const LocalTime now = clock.Now();
  grid_ = new CalendarGrid(settings, now.year, now.month, now.day, this);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(grid_);
  controller_ = new DayPanelController(
      settings, clock, screen, cues,
      {grid_, year_caption, month_caption, today_button}, this);
  controller_->LoadColors();
  connect(grid_, &CalendarGrid::changed, this,
          [this] { emit dateChanged(date()); });
}

CivilDate CalendarGridPanel::date() const {
  return {grid_->year(), grid_->month(), grid_->day()};
}

void CalendarGridPanel::setDate(const CivilDate& date) {
  if (date == this->date()) return;
  grid_->setDate(date.year, date.month, date.day);
}

}  // namespace mirokata
