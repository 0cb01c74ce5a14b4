#include "notes/ui/memo_install.h"

#include <QApplication>
#include <QMenu>
#include <filesystem>

#include "base/folders.h"
#include "notes/memo_store.h"
#include "notes/ui/memo_menu.h"
#include "platform/messages.h"

namespace mirokata {
namespace {

std::string MemoFolderOf(const std::string& data_folder) {
  return data_folder + "/Memo";
}

}  // namespace

std::unique_ptr<MemoWindows> InstallMemos(const Services& services,
                                          CommandHost& host, MemoHooks hooks) {
  auto windows = std::make_unique<MemoWindows>(
      [services, hooks](int category, const std::string& name) {
        MemoWindowContext c;
        c.services = services;
        c.memo_folder = MemoFolderOf(DataFolder(services.settings->Open()));
        c.category = category;
        c.name = name;
        const QRect main = hooks.main_frame ? hooks.main_frame() : QRect();
        c.main_window = {main.left(), main.top(), main.width(), main.height()};
        return c;
      });
  MemoWindows* open = windows.get();
  host.AddStartupStep([open] { open->OpenShownAtExit(); });

  auto create = [services, hooks, open, &host](int category) {
    std::string data;
    if (!hooks.require_data_folder || !hooks.require_data_folder(&data)) {
      return;
    }
    const std::string folder = MemoFolderOf(data);
    std::error_code ignored;
    std::filesystem::create_directories(folder, ignored);
    const auto name = CreateMemo(*services.settings, folder, category);
    if (!name) return;
    if (services.messages) services.messages->Beep(MessageKind::kInformation);
    open->Open(category, *name);
  };
  auto fill = [services, open, create, &host](QMenu* menu) {
    FillMemoMenu(
        menu, services.settings->Open(),
        {[services, open](int category, int position) {
           const MemoCategory c =
               ReadMemoCategory(services.settings->Open(), category);
           if (position < 0 || position >= static_cast<int>(c.memos.size())) {
             return;
           }
           open->Open(category, c.memos[position].name,
                      QApplication::keyboardModifiers() & Qt::ShiftModifier);
         },
         create, [&host] { host.RunCommand(Command::kMemoTree); }});
  };
  host.SetMenuBuilder(MenuSlot::kMemo, [fill](QMenu* menu) {
    fill(menu);
    // Rebuilt from the index each time it opens, so every change of a
    // title, a new memo or a deletion shows without a rebuild flag.
    if (!menu->property("memo_menu_refills").toBool()) {
      menu->setProperty("memo_menu_refills", true);
      QObject::connect(menu, &QMenu::aboutToShow, menu,
                       [fill, menu] { fill(menu); });
    }
  });
  return windows;
}

}  // namespace mirokata
