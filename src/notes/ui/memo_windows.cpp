#include "notes/ui/memo_windows.h"

#include <QApplication>
#include <QClipboard>
#include <QFileInfo>

#include "notes/memo_store.h"
#include "platform/messages.h"
#include "richtext/ui/rich_text_editor.h"

namespace mirokata {

MemoWindows::MemoWindows(ContextMaker context, QObject* parent)
    : QObject(parent), context_(std::move(context)) {}

MemoWindows::~MemoWindows() { CloseAllForExit(); }

MemoWindow* MemoWindows::Find(const std::string& name) const {
  // Names match in any letter case, as their sections do.
  const auto number = MemoNumberOf(name);
  if (!number) return nullptr;
  const auto it = open_.find(MemoName(*number));
  return it == open_.end() ? nullptr : it->second.data();
}

std::vector<MemoWindow*> MemoWindows::windows() const {
  std::vector<MemoWindow*> all;
  for (const auto& [name, window] : open_) {
    if (window) all.push_back(window);
  }
  return all;
}

MemoWindow* MemoWindows::Open(int category, const std::string& name,
                              bool shift) {
  const auto number = MemoNumberOf(name);
  if (!number) return nullptr;
  if (MemoWindow* open = Find(name)) {
    if (shift) {
      if (Messages* m = context_(category, name).services.messages) {
        m->Beep(MessageKind::kWarning);
        m->ShowNotice({MessageKind::kWarning,
                       "表示中のメモはクリップボードにコピー出来ません。\n"
                       "閉じてから再操作して下さい。",
                       MessageButtons::kOk, open});
      }
    }
    open->RestoreFromPetit();
    open->show();
    open->raise();
    open->activateWindow();
    return open;
  }
  MemoWindowContext context = context_(category, MemoName(*number));
  context.name = MemoName(*number);
  auto* window = new MemoWindow(std::move(context));
  if (shift) {
    QApplication::clipboard()->setText(window->editor()->toPlainText());
    window->editor()->selectAll();
    window->editor()->copy();
    window->MarkCopyClose();
    // Never shown: only the copy cue, and `Show` stays 0.
    window->close();
    return nullptr;
  }
  open_[window->name()] = window;
  connect(window, &MemoWindow::Closed, this,
          [this](const std::string& closed) { open_.erase(closed); });
  emit Opened(window);
  window->show();
  if (window->petit()) window->MakePetit();
  return window;
}

void MemoWindows::OpenShownAtExit() {
  MemoWindowContext probe = context_(0, "Memo1");
  if (!probe.services.settings) return;
  for (const auto& [category, memo] :
       MemosShownAtExit(probe.services.settings->Open())) {
    Open(category, memo.name);
  }
}

void MemoWindows::CloseAll() {
  for (MemoWindow* w : windows()) w->close();
}

void MemoWindows::CloseAllForExit() {
  for (MemoWindow* w : windows()) w->CloseForExit();
  open_.clear();
}

}  // namespace mirokata

namespace mirokata {

void MemoWindows::HandleDrop(MemoWindow* window, const QStringList& paths,
                             int choice) {
  if (!window || paths.isEmpty() || choice <= 0 || choice > 3) return;
  if (choice == 1) return window->LoadDroppedFile(paths.front());
  const int category = window->category();
  MemoWindowContext probe = context_(category, window->name());
  SettingsFile* settings = probe.services.settings;
  if (!settings) return;
  const QStringList files = choice == 2 ? paths.mid(0, 1) : paths;
  for (const QString& path : files) {
    const auto name = CreateMemo(*settings, window->memo_folder(), category);
    if (!name) break;
    MemoWindow* made = Open(category, *name);
    if (!made) continue;
    // Titled with its name; the path itself under `DropCaption`, which
    // LoadDroppedFile applies.
    made->SetTitle(QFileInfo(path).fileName());
    made->LoadDroppedFile(path);
  }
  if (choice == 2) window->Save();
}

}  // namespace mirokata
