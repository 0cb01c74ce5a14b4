// The reminder engine as the running program uses it: popup windows, the
// moon panel and the main window's strip, over the real services.
#ifndef MIROKATA_APP_REMINDER_RUNTIME_H_
#define MIROKATA_APP_REMINDER_RUNTIME_H_

#include <QPointer>
#include <QString>
#include <functional>
#include <memory>

#include "base/services.h"
#include "mainwin/ui/moon_panel_widget.h"
#include "schedule/reminder_engine.h"
#include "schedule/schedule_module.h"

class QWidget;

namespace mirokata {

class CommandHost;
class PreferencesPages;
class TickEvents;

// What the tick needs of the main window.
struct MainWindowSeam {
  std::function<void(int panel, const QString& text)> set_strip_text;
  std::function<bool()> moon_panel_visible;
  std::function<bool()> application_active;
  std::function<QWidget*()> window;
};

class ReminderRuntime : public ReminderDisplays {
 public:
  // Installs the schedule subsystem and shows its ticks on the main window.
  ReminderRuntime(Services& services, CommandHost& commands, TickEvents& events,
                  PreferencesPages& pages);
  ~ReminderRuntime() override;

  // The main window's moon panel and what the tick needs of the window.
  void Attach(MainWindowSeam seam, MoonPanelWidget* moon_panel);

  void Tick() { engine().Tick(); }
  ReminderEngine& engine() { return module_->engine(); }
  MoonPanelWidget* moon_panel() const { return moon_panel_; }

  // ReminderDisplays.
  void Show(const MainDisplayState& state) override;
  bool MoonPanelShown() const override;

 private:
  Services services_;
  std::unique_ptr<ScheduleModule> module_;
  QPointer<MoonPanelWidget> moon_panel_;
  MainWindowSeam seam_;
};

}  // namespace mirokata

#endif  // MIROKATA_APP_REMINDER_RUNTIME_H_
