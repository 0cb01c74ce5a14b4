#include "app/application.h"

#include <QApplication>
#include <QFont>

#include "app/app_context.h"
#include "app/main_window.h"
#include "app/program_folder.h"
#include "app/settings_file.h"
#include "platform/linux_platform.h"
#include "platform/messages.h"
#include "platform/sound_cues.h"

namespace mirokata {

int RunApplication(int argc, char** argv) {
  // A second start ends at once and leaves the first copy alone.
  std::unique_ptr<SingleInstance> instance = MakeSingleInstance("Mirokata");
  if (!instance->TryAcquire()) return 0;

  const std::string program_folder = ProgramFolderFromProcess(argc, argv);

  QApplication app(argc, argv);
  QApplication::setApplicationName(kProductName);
  QApplication::setApplicationDisplayName(kProductName);
  // The main window may be hidden for a moment (mode changes) and tool
  // windows come and go: only closing the main window ends the program.
  QApplication::setQuitOnLastWindowClosed(false);

  SettingsFile settings(SettingsFilePath(program_folder));
  PlatformServices services = MakeLinuxPlatform();
  SoundCues cues(*services.sound, CueSwitch(settings));
  Messages* messages = services.messages.get();
  settings.SetProblemReporter([messages](const std::string& text) {
    // Never waits: the report may come from inside the tick.
    MessageRequest request;
    request.kind = MessageKind::kWarning;
    request.text = text;
    messages->ShowNotice(request);
  });

  AppContext context;
  context.program_folder = program_folder;
  context.settings = &settings;
  context.clock = services.clock.get();
  context.messages = messages;
  context.cues = &cues;
  context.shell = services.shell.get();
  context.hot_key = services.hot_key.get();
  context.tray = services.tray.get();
  context.screen = services.screen.get();
  context.power = services.power.get();

  int result = 0;
  {
    MainWindow window(context);
    window.Start();
    result = app.exec();
  }
  settings.SetProblemReporter({});
  return result;
}

}  // namespace mirokata
