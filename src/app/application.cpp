#include "app/application.h"

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <QApplication>
#include <QColor>
#include <QComboBox>
#include <QMenu>
#include <QSocketNotifier>
#include <memory>
#include <utility>

#include "app/main_window.h"
#include "app/reminder_runtime.h"
#include "base/entry_changes.h"
#include "base/preferences_page.h"
#include "base/program_folder.h"
#include "base/services.h"
#include "base/settings_file.h"
#include "base/tick_events.h"
#include "contacts/contacts_module.h"
#include "contacts/phone_book_module.h"
#include "mail/mail_module.h"
#include "mainwin/ui/drop_choice_window.h"
#include "mainwin/ui/launcher_module.h"
#include "notes/diary_module.h"
#include "notes/notes_module.h"
#include "notes/ui/memo_install.h"
#include "picture/jpeg_jobs.h"
#include "picture/ui/jpeg_progress_window.h"
#include "platform/desktop/desktop_windows.h"
#include "platform/linux_platform.h"
#include "platform/messages.h"
#include "platform/sound_cues.h"
#include "schedule/editors_module.h"
#include "schedule/schedule_list_module.h"
#include "tools/tools_module.h"
#include "tools/ui/password_window.h"

namespace mirokata {
namespace {

int termination_pipe[2] = {-1, -1};

QColor StripColorOf(StripColour colour) {
  switch (colour) {
    case StripColour::kNormal:
      break;
    case StripColour::kWaiting:
      return QColor(128, 128, 128);
    case StripColour::kAccount1:
      return QColor(128, 0, 0);
    case StripColour::kAccount2:
      return QColor(0, 0, 128);
    case StripColour::kAccount3:
      return QColor(0, 128, 0);
    case StripColour::kSending:
      return QColor(128, 128, 0);
  }
  return QColor(0, 0, 0);
}

void OnTerminationSignal(int) {
  const char byte = 1;
  // Nothing else is safe in a signal handler.
  [[maybe_unused]] ssize_t n = write(termination_pipe[1], &byte, 1);
}

// SIGTERM, SIGINT and SIGHUP (the end of the session, a system shutdown)
// close the main window the ordinary way, so every window saves first.
void CloseOnTerminationSignals(QWidget* main_window) {
  if (pipe2(termination_pipe, O_CLOEXEC | O_NONBLOCK) != 0) return;
  auto* notifier = new QSocketNotifier(termination_pipe[0],
                                       QSocketNotifier::Read, main_window);
  QObject::connect(
      notifier, &QSocketNotifier::activated, main_window, [main_window] {
        char buffer[16];
        while (read(termination_pipe[0], buffer, sizeof(buffer)) > 0) {
        }
        main_window->close();
      });
  struct sigaction action = {};
  action.sa_handler = OnTerminationSignal;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  for (int signal : {SIGTERM, SIGINT, SIGHUP}) {
    sigaction(signal, &action, nullptr);
  }
}

}  // namespace

int RunApplication(int argc, char** argv) {
  // A second start ends at once and leaves the first copy alone.
  std::unique_ptr<SingleInstance> instance = MakeSingleInstance("Mirokata");
  if (!instance->TryAcquire()) return 0;

  const std::string program_folder = ProgramFolderFromProcess(argc, argv);

  QApplication app(argc, argv);
  // No display name: the platform would append it to every window title,
  // and captions such as "Popup Window" are meant to stand alone.
  QApplication::setApplicationName(kProductName);
  // Ties the windows to the installed menu entry and its icon.
  QGuiApplication::setDesktopFileName("mirokata");
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

  // One picture worker and one view of the desktop for the whole program.
  std::unique_ptr<DesktopWindows> desktop = CreateDesktopWindows();
  JpegJobs jpeg(messages);
  AttachJpegProgressWindow(&jpeg, QString::fromUtf8(kVersionText));
  EntryChanges entry_changes;

  Services context;
  context.program_folder = program_folder;
  context.settings = &settings;
  context.clock = services.clock.get();
  context.uptime = services.uptime.get();
  context.messages = messages;
  context.sound = services.sound.get();
  context.cues = &cues;
  context.shell = services.shell.get();
  context.hot_key = services.hot_key.get();
  context.tray = services.tray.get();
  context.screen = services.screen.get();
  context.power = services.power.get();
  context.reachability = services.reachability.get();
  context.mail_network = services.mail_network.get();
  context.desktop = desktop.get();
  context.jpeg = &jpeg;
  context.entry_changes = &entry_changes;

  int result = 0;
  {
    // Made before the main window, whose preferences show them.
    PreferencesPages pages;
    MainWindow window(context);
    window.SetPreferencesPages(&pages);
    // One password prompt for every locked part and the preferences.
    PasswordGate lock(context);
    window.SetPasswordConfirm([&lock](std::function<void(bool)> done) {
      lock.Confirm(std::move(done));
    });
    TickEvents events;
    // Each subsystem in start-up order. A new day shows today first.
    events.OnDateChanged([&window] { window.ShowToday(); });
    ReminderRuntime reminders(context, window, events, pages);
    reminders.Attach({[&window](int panel, const QString& text) {
                        window.SetStripText(panel, text);
                      },
                      [&window] { return window.moon_panel_visible(); },
                      [&window] { return window.application_active(); },
                      [&window]() -> QWidget* { return &window; }},
                     window.moon_panel());
    window.SetTickHandler([&reminders] { reminders.Tick(); });
    std::function<void()> rebuild_schedule_list = InstallScheduleList(
        context, window, events, pages,
        {[&window] { return window.RequireDataFolder(nullptr); },
         [&window] { return window.frameGeometry(); }});
    InstallScheduleEditors(
        context, window, events, pages,
        {[&window] { return window.command_date(); },
         [&window] { return window.command_has_date(); },
         [&window] { return window.RequireDataFolder(nullptr); },
         rebuild_schedule_list});
    InstallContacts(context, window, events, pages,
                    {[&window] { return window.RequireDataFolder(nullptr); },
                     // The memo view has nothing to refresh until memos exist.
                     {}});
    // Declared after the main window: gone first, saving the open memos
    // as they are, once every other window has closed.
    std::unique_ptr<MemoWindows> memos =
        InstallMemos(context, window,
                     {[&window](std::string* folder) {
                        return window.RequireDataFolder(folder);
                      },
                      [&window] { return window.frameGeometry(); }});
    // A drop on a memo asks in the drop choice window, placed over it.
    QObject::connect(
        memos.get(), &MemoWindows::Opened, memos.get(),
        [open = memos.get()](MemoWindow* memo) {
          QObject::connect(
              memo, &MemoWindow::FilesDropped, memo,
              [open, memo](const QStringList& paths) {
                auto* ask = new DropChoiceWindow(
                    QString::fromUtf8("Drop-[") + memo->windowTitle() + "]",
                    paths.size(), !memo->sticky() || memo->picture_mode());
                ask->setGeometry(memo->frameGeometry().left(),
                                 memo->frameGeometry().top(), memo->width(),
                                 ask->sizeHint().height());
                QObject::connect(ask, &DropChoiceWindow::Chosen, memo,
                                 [open, memo, paths](int choice) {
                                   open->HandleDrop(memo, paths, choice);
                                 });
                ask->show();
              });
        });
    InstallPhoneBook(context, window, events, pages,
                     {[&window] { return window.RequireDataFolder(nullptr); },
                      [&lock](std::function<void()> go_on) {
                        lock.Check(LockedPart::kTelephone, std::move(go_on));
                      }});
    InstallMail(context, window, events, pages,
                {[&window](StripColour colour) {
                   window.SetStripColor(StripColorOf(colour));
                 },
                 [&reminders] { return reminders.engine().mail_countdown(); },
                 [&reminders](int minutes) {
                   reminders.engine().SetMailCountdown(minutes);
                 },
                 // Masked in the settings file until a keyring answers.
                 nullptr});
    InstallTools(context, window, events, pages,
                 {[&window] { return window.selected_date(); },
                  [&window](const CivilDate& date) { window.SelectDate(date); },
                  [&window] { return window.RequireDataFolder(nullptr); },
                  [&lock](std::function<void()> go_on) {
                    lock.Check(LockedPart::kPeriod, std::move(go_on));
                  }});
    InstallNotes(context, window, events, pages,
                 {[&window] { return window.RequireDataFolder(nullptr); }});
    window.SetDropHandler(InstallLauncher(
        context, window,
        {[&window] { return window.RequireDataFolder(nullptr); },
         [&window] { window.close(); }}));
    // The box reads the shortcut folder: once the window is on the screen.
    window.AfterFirstPaint([&context, &window] {
      AttachLauncherBox(
          context, window.launcher_box(), [&window](bool shift, bool ctrl) {
            QMenu* menu = ctrl    ? window.launcher_menu()
                          : shift ? window.memo_menu()
                                  : window.main_menu();
            QComboBox* box = window.launcher_box();
            menu->popup(box->mapToGlobal(QPoint(0, box->height())));
          });
    });
    InstallDiary(context, window,
                 {[&window] { return window.RequireDataFolder(nullptr); },
                  [&lock](std::function<void()> go_on) {
                    lock.Check(LockedPart::kDiary, std::move(go_on));
                  }});
    if (services.warm_up) window.AfterFirstPaint(services.warm_up);
    CloseOnTerminationSignals(&window);
    window.Start();
    result = app.exec();
    // A clean exit: the next start catches up from here.
    reminders.engine().SaveLastMinute();
  }
  settings.SetProblemReporter({});
  return result;
}

}  // namespace mirokata
