#include "mainwin/ui/launcher_module.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMenu>
#include <QPointer>
#include <memory>

#include "base/settings_file.h"
#include "mainwin/launcher_actions.h"
#include "mainwin/launcher_menu.h"
#include "mainwin/ui/association_editor.h"
#include "mainwin/ui/launcher_box.h"
#include "mainwin/ui/launcher_menu_editor.h"
#include "mainwin/ui/launcher_menu_view.h"
#include "platform/messages.h"
#include "platform/shell.h"
#include "platform/sound_cues.h"

namespace mirokata {

namespace {

QString U(const char* text) { return QString::fromUtf8(text); }

struct LauncherState {
  QPointer<QMenu> menu;
  QPointer<LauncherMenuEditor> editor;
};

}  // namespace

DroppedFilesHandler InstallLauncher(Services& services, CommandHost& commands,
                                    LauncherHost host) {
  auto state = std::make_shared<LauncherState>();
  auto shared_host = std::make_shared<LauncherHost>(std::move(host));

  // Filling the menu also rewrites the run table to match it.
  auto fill = std::make_shared<std::function<void(QMenu*)>>();
  std::weak_ptr<std::function<void(QMenu*)>> weak_fill = fill;
  *fill = [&services, state, shared_host, weak_fill](QMenu* menu) {
    state->menu = menu;
    FillLauncherMenu(
        menu, BuildLauncherMenu(*services.settings), [&services](int number) {
          if (services.shell) {
            RunLauncherItem(*services.settings, *services.shell, number);
          }
        });
    menu->addSeparator();
    QObject::connect(
        menu->addAction(U("メニューの編集")), &QAction::triggered, menu,
        [&services, state, shared_host, weak_fill] {
          if (state->editor) {
            state->editor->raise();
            return;
          }
          if (shared_host->require_data_folder &&
              !shared_host->require_data_folder()) {
            return;
          }
          services.settings->WriteString("Execmenu", "SubStack", "Main");
          state->editor =
              new LauncherMenuEditor(services, "Main", 1, [state, weak_fill] {
                const auto refill = weak_fill.lock();
                if (refill && state->menu) (*refill)(state->menu);
              });
          state->editor->show();
        });
    if (shared_host->quit) {
      menu->addSeparator();
      QObject::connect(menu->addAction(U("終了(&X)")), &QAction::triggered,
                       menu, [shared_host] { shared_host->quit(); });
    }
  };
  commands.SetMenuBuilder(MenuSlot::kLauncher,
                          [fill](QMenu* menu) { (*fill)(menu); });

  commands.SetCommand(Command::kAssociations, [&services, &commands] {
    commands.OpenOrRaise("associations", [&services] {
      return new AssociationEditor(services);
    });
  });

  return [&services](const QStringList& paths, bool shift, bool ctrl) {
    std::vector<std::string> files;
    for (const QString& p : paths) files.push_back(p.toStdString());
    if (files.empty()) return;
    if (ctrl) {
      const DropLaunchResult r =
          services.shell ? OpenWithAssociations(services.settings->Open(),
                                                *services.shell, files)
                         : DropLaunchResult{0, true};
      if (r.started > 0 && services.cues) services.cues->Play("ope");
      if (r.failed && services.messages) {
        services.messages->Beep(MessageKind::kWarning);
        services.messages->ShowNotice(
            {MessageKind::kWarning,
             "現在ドロップ出来ません。\r一旦閉じてからまた開いて再度行って"
             "下さい。"});
      }
      return;
    }
    const bool separate =
        services.settings->ReadBool("ToolWindow", "Separate", false);
    QClipboard* clipboard = QGuiApplication::clipboard();
    if (!clipboard) {
      if (services.messages) {
        services.messages->Beep(MessageKind::kWarning);
        services.messages->ShowNotice(
            {MessageKind::kWarning,
             "現在ツールウィンドウにドロップ出来ません。\r一旦閉じてからまた"
             "開いて再度行って下さい。"});
      }
      return;
    }
    clipboard->setText(
        QString::fromStdString(DroppedNamesText(files, shift, separate)));
    if (services.cues) services.cues->Play("cop");
  };
}

void AttachLauncherBox(Services& services, QComboBox* box,
                       std::function<void(bool shift, bool ctrl)> empty_enter) {
  if (!box) return;
  // The box owns it.
  new LauncherBox(box, services, services.program_folder + "Shortcut",
                  std::move(empty_enter));
}

}  // namespace mirokata
