// The launcher box of the tool bar: lists the shortcut folder's names that
// start with the typed text, starts the chosen one with Enter and offers
// the web search menu when nothing could be opened.
#ifndef MIROKATA_MAINWIN_UI_LAUNCHER_BOX_H_
#define MIROKATA_MAINWIN_UI_LAUNCHER_BOX_H_

#include <QObject>
#include <functional>
#include <string>

#include "base/services.h"

class QComboBox;
class QMenu;
class QStringListModel;

namespace mirokata {

class LauncherBox : public QObject {
  Q_OBJECT

 public:
  // Enter in an empty box: `empty_enter(shift, ctrl)` shows the main, memo
  // or launcher menu.
  LauncherBox(QComboBox* box, Services& services, std::string shortcut_folder,
              std::function<void(bool shift, bool ctrl)> empty_enter = {});

  // Fills the list for the typed text and sets the box's colour and hint.
  void Refresh();
  // Enter (or the small button): opens the resolved text; on failure the
  // beep and the web search menu below the box.
  void Start();
  // Opens web search `index` for the box's text.
  void Search(int index);

  QMenu* search_menu() const { return search_menu_; }
  // True while the box shows the colour of a match.
  bool matched() const { return matched_; }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void Clear();

  QComboBox* box_;
  Services& services_;
  const std::string folder_;
  std::function<void(bool, bool)> empty_enter_;
  QMenu* search_menu_;
  QStringListModel* model_ = nullptr;
  bool matched_ = false;
};

}  // namespace mirokata

#endif  // MIROKATA_MAINWIN_UI_LAUNCHER_BOX_H_
