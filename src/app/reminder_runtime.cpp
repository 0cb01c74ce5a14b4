#include "app/reminder_runtime.h"

#include <QLocale>
#include <QWidget>

#include "base/services.h"
#include "mainwin/ui/day_panel_controller.h"
#include "mainwin/memory_meter.h"
#include "picture/jpeg_jobs.h"
#include "picture/ui/jpeg_progress_window.h"
#include "platform/desktop/desktop_windows.h"

namespace mirokata {

ReminderRuntime::ReminderRuntime(ReminderRuntimeServices services,
                                 ReminderHooks hooks,
                                 PopupWindowContext popup_extras)
    : services_(std::move(services)) {
  if (services_.desktop == nullptr) {
    own_desktop_ = CreateDesktopWindows();
    services_.desktop = own_desktop_.get();
  }
  if (services_.jpeg == nullptr) {
    own_jpeg_ = std::make_unique<JpegJobs>(services_.messages);
    AttachJpegProgressWindow(own_jpeg_.get(), QString::fromUtf8(kVersionText));
    services_.jpeg = own_jpeg_.get();
  }
  PopupWindowContext popup = std::move(popup_extras);
  popup.settings = services_.settings;
  popup.cues = services_.cues;
  popup.sound = services_.sound;
  popup.messages = services_.messages;
  popup.jpeg = services_.jpeg;
  popup.desktop = services_.desktop;
  popup.program_folder = services_.program_folder;
  popups_ = std::make_unique<PopupWindowFactory>(std::move(popup));

  ReminderServices engine;
  engine.settings = services_.settings;
  engine.clock = services_.clock;
  engine.uptime = services_.uptime;
  engine.sound = services_.sound;
  engine.shell = services_.shell;
  engine.desktop = services_.desktop;
  engine.popups = popups_.get();
  engine.displays = this;
  engine.memory_text = [meter = MemoryMeter(services_.meminfo_path)](
                           int resource) { return meter.Text(resource); };
  engine.short_weekday_names = ShortWeekdayNamesOf(QLocale::system());
  engine_ =
      std::make_unique<ReminderEngine>(std::move(engine), std::move(hooks));
}

ReminderRuntime::~ReminderRuntime() = default;

QWidget* ReminderRuntime::CreateMoonPanel(QWidget* parent) {
  auto* panel = new MoonPanelWidget(parent);
  panel->SetClock(services_.clock);
  moon_panel_ = panel;
  return panel;
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
