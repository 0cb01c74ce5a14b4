// The popup window: one reminder's texts, picture and time, with snooze,
// delete and close, counting down to its own closing when asked to.
#ifndef MIROKATA_SCHEDULE_UI_POPUP_WINDOW_H_
#define MIROKATA_SCHEDULE_UI_POPUP_WINDOW_H_

#include <QImage>
#include <QTimer>
#include <QWidget>
#include <functional>
#include <memory>
#include <string>

#include "base/command.h"
#include "base/services.h"
#include "schedule/popup_actions.h"
#include "schedule/reminder_engine.h"

class QAction;
class QComboBox;
class QLabel;
class QMenu;
class QTextEdit;
class QToolButton;

namespace mirokata {

class DesktopWindows;
class EntryChanges;
class JpegJobs;
class Messages;
class SettingsFile;
class Sound;
class SoundCues;

class PopupWindow : public QWidget {
  Q_OBJECT

 public:
  // Of the services it uses the settings, cues ("sav", "del", "clo"), sound
  // (a window coming back), messages, the picture worker (null: no
  // picture), the desktop, the entry changes and the program folder (the
  // wallpaper file); all must outlive the window. `commands` opens the
  // schedule list with a shown window (Form/Exec_List) and closes it with a
  // closed one (Form/Kill_List); null: neither.
  explicit PopupWindow(const Services& context, CommandHost* commands = nullptr,
                       QWidget* parent = nullptr);
  ~PopupWindow() override;

  // Filled by the reminder engine.
  void AppendEntry(const std::string& path, const std::string& text);
  void EnableDelete(const std::string& path);
  void Finish(const PopupFinish& finish);

  // User commands.
  void Snooze();
  void Delete();

  // One event of the window's one-second timer (also for tests).
  void TimerStep();

  bool timer_running() const { return timer_.isActive(); }
  bool question_open() const { return question_open_; }
  bool snooze_enabled() const;
  bool delete_enabled() const;
  const std::string& entry_path() const { return entry_path_; }
  const std::string& delete_path() const { return delete_path_; }
  int close_countdown() const { return state_.close_countdown(); }
  int snooze_seconds() const { return state_.snooze_seconds(); }
  QString title_text() const;
  QString text() const;
  QComboBox* snooze_box() const { return snooze_box_; }
  QMenu* context_menu() const { return menu_; }
  const QImage& picture() const { return picture_; }
  bool picture_stretched() const;

  // The picture shown when neither the popup nor the settings name one.
  static QImage DefaultPicture();

 protected:
  void closeEvent(QCloseEvent* event) override;
  void contextMenuEvent(QContextMenuEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void ShowPopup();
  void SetPicture(const QImage& image);
  void DeleteEntry();
  void PlayCue(const char* name);

  Services context_;
  CommandHost* commands_;
  PopupTimer state_;
  QTimer timer_;
  std::string entry_path_;
  std::string delete_path_;
  bool question_open_ = false;
  bool timer_was_running_ = false;
  bool finished_ = false;
  QImage picture_;

  QLabel* picture_label_ = nullptr;
  QLabel* title_panel_ = nullptr;
  QToolButton* delete_button_ = nullptr;
  QComboBox* snooze_box_ = nullptr;
  QLabel* minutes_label_ = nullptr;
  QToolButton* snooze_button_ = nullptr;
  QTextEdit* text_ = nullptr;
  QMenu* menu_ = nullptr;
  QAction* delete_action_ = nullptr;
};

// Makes popup windows for the reminder engine. A window the tick did not
// finish is discarded with its handle; a finished one frees itself when it
// closes.
class PopupWindowFactory : public PopupFactory {
 public:
  explicit PopupWindowFactory(const Services& context,
                              CommandHost* commands = nullptr)
      : context_(context), commands_(commands) {}
  std::unique_ptr<PopupSink> CreatePopup() override;

  // Called with every window made, before it is filled (tests, screenshots).
  std::function<void(PopupWindow*)> on_created;

 private:
  Services context_;
  CommandHost* commands_;
};

}  // namespace mirokata

#endif  // MIROKATA_SCHEDULE_UI_POPUP_WINDOW_H_
