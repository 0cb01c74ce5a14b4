#include "schedule/editors_module.h"

#include <QCoreApplication>
#include <QPointer>
#include <memory>

#include "platform/clock.h"
#include "platform/messages.h"
#include "schedule/editor_state.h"
#include "schedule/ui/popup_editor_window.h"
#include "schedule/ui/schedule_editor_window.h"
#include "schedule/ui/schedule_manager_window.h"

namespace mirokata {
namespace {

constexpr char kManagerKey[] = "schedule_manager";

// Shared by the command handlers for the program's life.
struct Editors {
  Services services;
  CommandHost* commands = nullptr;
  ScheduleEditorsHost host;
  QPointer<ScheduleManagerWindow> manager;

  EditorNeighbours Neighbours() {
    EditorNeighbours n;
    n.rebuild_manager = [this] {
      if (!manager) return;
      manager->show();
      manager->Rebuild();
    };
    n.rebuild_schedule_list = host.rebuild_schedule_list;
    return n;
  }

  void OpenScheduleEditor(const ScheduleEditorState& state) {
    auto* window = new ScheduleEditorWindow(services, Neighbours(), state);
    window->show();
  }

  void OpenPopupEditor(const PopupEditorState& state) {
    auto* window = new PopupEditorWindow(services, Neighbours(), state);
    window->show();
  }

  // The editor that addresses the on-disk name again; false when no editor
  // state builds it back.
  bool OpenEntry(const std::string& name) {
    const LocalTime now = services.clock->Now();
    const std::optional<EditorOpening> opening = OpeningForName(
        name, {now.year, now.month, now.day}, now.hour, now.minute);
    if (!opening) return false;
    if (opening->is_popup()) {
      OpenPopupEditor(std::get<PopupEditorState>(opening->state));
    } else {
      OpenScheduleEditor(std::get<ScheduleEditorState>(opening->state));
    }
    return true;
  }

  void OpenManager(const CivilDate& day, bool set_day) {
    const bool was_open = manager;
    QWidget* window = commands->OpenOrRaise(kManagerKey, [this, day] {
      ScheduleManagerHost h;
      h.open_entry = [this](const std::string& name) {
        return OpenEntry(name);
      };
      h.open_popup_editor = [this](const CivilDate& date) {
        OpenPopupEditor(PopupEditorWindow::StartingState(services, date));
      };
      h.open_schedule_editor = [this](const CivilDate& date) {
        ScheduleEditorState state;
        state.date = date;
        OpenScheduleEditor(state);
      };
      h.rebuild_schedule_list = host.rebuild_schedule_list;
      return new ScheduleManagerWindow(services, h, day);
    });
    manager = qobject_cast<ScheduleManagerWindow*>(window);
    if (was_open && set_day && manager) manager->SetChosenDay(day);
  }
};

}  // namespace

void InstallScheduleEditors(Services& services, CommandHost& commands,
                            TickEvents&, PreferencesPages&,
                            ScheduleEditorsHost host) {
  // Lives as long as the application object, like the commands.
  auto* editors = new Editors;
  editors->services = services;
  editors->commands = &commands;
  editors->host = std::move(host);
  QObject::connect(QCoreApplication::instance(), &QObject::destroyed,
                   [editors] { delete editors; });

  commands.SetCommand(Command::kScheduleEditor, [editors] {
    if (!editors->host.require_data_folder()) return;
    ScheduleEditorState state;
    state.date = editors->host.command_date();
    editors->OpenScheduleEditor(state);
  });
  commands.SetCommand(Command::kPopupEditor, [editors] {
    if (!editors->host.require_data_folder()) return;
    editors->OpenPopupEditor(PopupEditorWindow::StartingState(
        editors->services, editors->host.command_date()));
  });
  commands.SetCommand(Command::kScheduleManager, [editors] {
    if (!editors->host.require_data_folder()) return;
    editors->OpenManager(editors->host.command_date(),
                         editors->host.command_has_date());
  });
}

}  // namespace mirokata
