#include "app/reminder_runtime.h"

#include <QWidget>

#include "mainwin/memory_meter.h"

namespace mirokata {

ReminderRuntime::ReminderRuntime(Services& services, CommandHost& commands,
                                 TickEvents& events, PreferencesPages& pages)
    : services_(services),
      module_(InstallSchedule(services, commands, events, pages)) {
  module_->SetDisplays(
      this, [meter = MemoryMeter(services_.meminfo_path)](int resource) {
        return meter.Text(resource);
      });
}

ReminderRuntime::~ReminderRuntime() = default;

void ReminderRuntime::Attach(MainWindowSeam seam, MoonPanelWidget* moon_panel) {
  seam_ = std::move(seam);
  moon_panel_ = moon_panel;
  if (moon_panel_) moon_panel_->SetClock(services_.clock);
}

bool ReminderRuntime::MoonPanelShown() const {
  if (!moon_panel_) return false;
  return seam_.moon_panel_visible ? seam_.moon_panel_visible()
                                  : moon_panel_->isVisible();
}

void ReminderRuntime::Show(const MainDisplayState& state) {
  if (moon_panel_) moon_panel_->ShowState(state);
  if (state.stay_on_top && seam_.window && seam_.application_active &&
      !seam_.application_active()) {
    if (QWidget* window = seam_.window(); window && window->isVisible()) {
      window->raise();
    }
  }
  if (seam_.set_strip_text) {
    seam_.set_strip_text(0, QString::fromStdString(state.date_text));
    seam_.set_strip_text(1, QString::fromStdString(state.clock_text));
    seam_.set_strip_text(2, QString::fromStdString(state.memory_text));
  }
}

}  // namespace mirokata
