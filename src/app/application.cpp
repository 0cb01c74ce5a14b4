#include "app/application.h"

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <QAbstractButton>
#include <QApplication>
#include <QLabel>
#include <QSocketNotifier>
#include <QVBoxLayout>
#include <utility>

#include "base/services.h"
#include "app/main_window.h"
#include "app/month_grid.h"
#include "base/program_folder.h"
#include "base/settings_file.h"
#include "mainwin/ui/calendar_grid_panel.h"
#include "platform/linux_platform.h"
#include "platform/messages.h"
#include "platform/sound_cues.h"
#include "app/reminder_runtime.h"

namespace mirokata {
namespace {

int termination_pipe[2] = {-1, -1};

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

// The month grid of the calendar area: the full grid with its day panel,
// behind the main window's seam.
class CalendarMonthGrid : public MonthGrid {
 public:
  CalendarMonthGrid(const AppContext& context, QWidget* parent)
      : MonthGrid(parent) {
    panel_ = new CalendarGridPanel(
        *context.settings, *context.clock, context.screen, context.cues,
        parent->findChild<QLabel*>("YearCaption"),
        parent->findChild<QLabel*>("MonthCaption"),
        parent->findChild<QAbstractButton*>("TodayButton"), this);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(panel_);
    connect(panel_, &CalendarGridPanel::dateChanged, this,
            [this](const CivilDate& d) { emit DateSelected(d); });
    // Each action and button opens the main window's command; the ones
    // whose window is not there stay disabled.
    DayPanelController* c = panel_->controller();
    const std::pair<DayAction, Command> actions[] = {
        {DayAction::kPopupEditor, Command::kPopupEditor},
        {DayAction::kScheduleEditor, Command::kScheduleEditor},
        {DayAction::kScheduleManager, Command::kScheduleManager},
        {DayAction::kDateJump, Command::kJumpToDate},
        {DayAction::kDiaryList, Command::kDiaryList}};
    for (const auto& [action, command] : actions) {
      c->SetDoubleClickHandler(action, Runner(command), Available(command));
    }
    const std::pair<PopViewCommand, Command> buttons[] = {
        {PopViewCommand::kScheduleEditor, Command::kScheduleEditor},
        {PopViewCommand::kPopupEditor, Command::kPopupEditor},
        {PopViewCommand::kDiaryList, Command::kDiaryList},
        {PopViewCommand::kBirthdayBook, Command::kBirthdays},
        {PopViewCommand::kScheduleList, Command::kScheduleList},
        {PopViewCommand::kScheduleManager, Command::kScheduleManager},
        {PopViewCommand::kTodoBoard, Command::kTodoBoard},
        {PopViewCommand::kPhoneBook, Command::kPhoneBook}};
    for (const auto& [button, command] : buttons) {
      c->SetPopViewCommand(button, Runner(command), Available(command));
    }
  }

  void SetSelectedDate(const CivilDate& date) override {
    panel_->setDate(date);
  }
  CivilDate SelectedDate() const override { return panel_->date(); }
  // At start and at each change of date.
  void SetToday(const CivilDate&) override {
    panel_->controller()->Refresh();
  }

 private:
  MainWindow* Window() const { return qobject_cast<MainWindow*>(window()); }
  DayPanelController::DayHandler Runner(Command command) {
    return [this, command](const CivilDate&) {
      if (MainWindow* w = Window()) w->RunCommand(command);
    };
  }
  DayPanelController::Availability Available(Command command) {
    return [this, command] {
      MainWindow* w = Window();
      return w != nullptr && w->HasCommand(command);
    };
  }

  CalendarGridPanel* panel_;
};

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
    MainWindowHooks hooks;
    hooks.make_month_grid = [&context](QWidget* parent) -> MonthGrid* {
      return new CalendarMonthGrid(context, parent);
    };
    // The reminder engine runs the main tick and fills the moon panel.
    MainWindow* main_window = nullptr;
    ReminderHooks reminder_hooks;
    reminder_hooks.show_today = [&main_window] {
      if (main_window) main_window->ShowToday();
    };
    ReminderRuntimeServices reminder_services;
    reminder_services.program_folder = program_folder;
    reminder_services.settings = &settings;
    reminder_services.clock = services.clock.get();
    reminder_services.uptime = services.uptime.get();
    reminder_services.sound = services.sound.get();
    reminder_services.cues = &cues;
    reminder_services.shell = services.shell.get();
    reminder_services.messages = messages;
    ReminderRuntime reminders(std::move(reminder_services),
                              std::move(reminder_hooks));
    hooks.make_moon_panel = [&reminders](QWidget* parent) {
      return reminders.CreateMoonPanel(parent);
    };
    hooks.tick = [&reminders] { reminders.Tick(); };
    MainWindow window(context, std::move(hooks));
    main_window = &window;
    reminders.Attach(
        {[&window](int panel, const QString& text) {
           window.SetStripText(panel, text);
         },
         [&window] { return window.moon_panel_visible(); },
         [&window] { return window.application_active(); },
         [&window]() -> QWidget* { return &window; }});
    CloseOnTerminationSignals(&window);
    window.Start();
    result = app.exec();
  }
  settings.SetProblemReporter({});
  return result;
}

}  // namespace mirokata
