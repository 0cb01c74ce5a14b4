#include "schedule/schedule_list_module.h"

#include <QCoreApplication>
#include <QObject>
#include <QPointer>
#include <memory>
#include <utility>

#include "base/entry_changes.h"
#include "schedule/ui/entry_editor_parts.h"
#include "schedule/ui/schedule_list_window.h"

namespace mirokata {
namespace {

constexpr char kListKey[] = "schedule_list";

struct ListState {
  Services services;
  CommandHost* commands = nullptr;
  ScheduleListModuleHost host;
  QPointer<ScheduleListWindow> window;

  void Rebuild() {
    if (window) window->Build();
  }
};

}  // namespace

std::function<void()> InstallScheduleList(Services& services,
                                          CommandHost& commands,
                                          TickEvents& events, PreferencesPages&,
                                          ScheduleListModuleHost host) {
  // Lives as long as the application object, like the commands.
  auto state = std::make_shared<ListState>();
  state->services = services;
  state->commands = &commands;
  state->host = std::move(host);

  // Both may come from a popup window inside the tick: the window opens
  // with show() and builds without waiting for anything.
  commands.SetCommand(Command::kScheduleList, [state] {
    if (state->host.require_data_folder && !state->host.require_data_folder()) {
      return;
    }
    QWidget* window = state->commands->OpenOrRaise(kListKey, [state] {
      ScheduleListHost h;
      h.commands = state->commands;
      h.main_frame = state->host.main_frame;
      return new ScheduleListWindow(state->services, h);
    });
    state->window = qobject_cast<ScheduleListWindow*>(window);
  });
  commands.SetCommand(Command::kCloseScheduleList, [state] {
    if (state->host.require_data_folder && !state->host.require_data_folder()) {
      return;
    }
    if (state->window) state->window->close();
  });

  if (services.entry_changes) {
    QObject::connect(services.entry_changes, &EntryChanges::Changed,
                     services.entry_changes, [state] { state->Rebuild(); });
  }
  // A new day lists from the new today, right after the tick: a build
  // reads the entries of every day it lists, too long for the tick.
  events.OnDateChanged([state] {
    if (!state->window) return;
    QMetaObject::invokeMethod(
        state->window,
        [state] {
          if (!state->window) return;
          state->window->SetStartDate(TodayOfClock(state->services.clock));
          state->window->Build();
        },
        Qt::QueuedConnection);
  });
  return [state] { state->Rebuild(); };
}

}  // namespace mirokata
