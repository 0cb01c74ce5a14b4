// The open memo windows, one per memo: opening an open memo raises it, a
// Shift-open of a closed memo copies its text without showing anything.
#ifndef MIROKATA_NOTES_UI_MEMO_WINDOWS_H_
#define MIROKATA_NOTES_UI_MEMO_WINDOWS_H_

#include <QObject>
#include <QPointer>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "notes/ui/memo_window.h"

namespace mirokata {

class MemoWindows : public QObject {
  Q_OBJECT

 public:
  // `context` gives what a new window of that memo needs.
  using ContextMaker =
      std::function<MemoWindowContext(int category, const std::string& name)>;
  explicit MemoWindows(ContextMaker context, QObject* parent = nullptr);
  ~MemoWindows() override;

  MemoWindow* Find(const std::string& name) const;
  std::vector<MemoWindow*> windows() const;

  // Opens the memo, or raises its window (out of the petit form). With
  // `shift` a closed memo's text goes to the clipboard and its window
  // closes at once ("cop"); an open one gets the warning and is raised.
  // The window, or null after a copy.
  MemoWindow* Open(int category, const std::string& name, bool shift = false);
  // Every memo whose `Show` is 1, at start-up.
  void OpenShownAtExit();
  // "全てのメモを閉じる": each closes as the user closes it.
  void CloseAll();
  // Program exit: saved, gone, `Show` kept.
  void CloseAllForExit();

  // What to do with files dropped on `window`: 1 into it (the first
  // file), 2 the first into a new memo, 3 each into a new memo, 0 nothing.
  // New memos go to the dropping memo's category.
  void HandleDrop(MemoWindow* window, const QStringList& paths, int choice);

 signals:
  // A window was made: the owner connects its requests.
  void Opened(MemoWindow* window);

 private:
  ContextMaker context_;
  std::map<std::string, QPointer<MemoWindow>> open_;
};

}  // namespace mirokata

#endif  // MIROKATA_NOTES_UI_MEMO_WINDOWS_H_
