// The reminder engine as the running program uses it: popup windows, the
// moon panel and the main window's strip, over the real services.
#ifndef MIROKATA_APP_REMINDER_RUNTIME_H_
#define MIROKATA_APP_REMINDER_RUNTIME_H_

#include <QPointer>
#include <QString>
#include <functional>
#include <memory>
#include <string>

#include "mainwin/ui/moon_panel_widget.h"
#include "schedule/reminder_engine.h"
#include "schedule/ui/popup_window.h"

class QWidget;

namespace mirokata {

class Clock;
class DesktopWindows;
class JpegJobs;
class Messages;
class SettingsFile;
class Shell;
class Sound;
class SoundCues;
class Uptime;

struct ReminderRuntimeServices {
  std::string program_folder;  // ends with "/"
  SettingsFile* settings = nullptr;
  const Clock* clock = nullptr;
  const Uptime* uptime = nullptr;
  Sound* sound = nullptr;
  SoundCues* cues = nullptr;
  Shell* shell = nullptr;
  Messages* messages = nullptr;
  JpegJobs* jpeg = nullptr;           // null: the runtime's own
  DesktopWindows* desktop = nullptr;  // null: the display's own
  std::string meminfo_path = "/proc/meminfo";
};

// What the tick needs of the main window.
struct MainWindowSeam {
  std::function<void(int panel, const QString& text)> set_strip_text;
  std::function<bool()> moon_panel_visible;
  std::function<bool()> application_active;
  std::function<QWidget*()> window;
};

class ReminderRuntime : public ReminderDisplays {
 public:
  ReminderRuntime(ReminderRuntimeServices services, ReminderHooks hooks = {},
                  PopupWindowContext popup_extras = {});
  ~ReminderRuntime() override;

  // The main window's moon panel (MainWindowHooks::make_moon_panel).
  QWidget* CreateMoonPanel(QWidget* parent);
  void Attach(MainWindowSeam seam) { seam_ = std::move(seam); }

  void Tick() { engine_->Tick(); }
  ReminderEngine& engine() { return *engine_; }
  PopupWindowFactory& popups() { return *popups_; }
  MoonPanelWidget* moon_panel() const { return moon_panel_; }
  JpegJobs* jpeg_jobs() const { return services_.jpeg; }

  // ReminderDisplays.
  void Show(const MainDisplayState& state) override;
  bool MoonPanelShown() const override;

 private:
  ReminderRuntimeServices services_;
  std::unique_ptr<DesktopWindows> own_desktop_;
  std::unique_ptr<JpegJobs> own_jpeg_;
  std::unique_ptr<PopupWindowFactory> popups_;
  std::unique_ptr<ReminderEngine> engine_;
  QPointer<MoonPanelWidget> moon_panel_;
  MainWindowSeam seam_;
};

}  // namespace mirokata

#endif  // MIROKATA_APP_REMINDER_RUNTIME_H_
