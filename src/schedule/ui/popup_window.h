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

// What popup windows reach; everything must outlive them.
struct PopupWindowContext {
  SettingsFile* settings = nullptr;
  SoundCues* cues = nullptr;  // "sav", "del", "clo"
  Sound* sound = nullptr;     // the sound of a window coming back
  Messages* messages = nullptr;
  // The picture worker: pictures and the wallpaper. Null: no picture.
  JpegJobs* jpeg = nullptr;
  DesktopWindows* desktop = nullptr;
  EntryChanges* entry_changes = nullptr;  // told of a deleted entry
  std::string program_folder;  // ends with "/": the wallpaper file
  // The schedule list: opened with a shown window (Form/Exec_List), closed
  // with a closed one (Form/Kill_List).
  std::function<void()> open_schedule_list;
  std::function<void()> close_schedule_list;
};

class PopupWindow : public QWidget {
  Q_OBJECT

 public:
  explicit PopupWindow(const PopupWindowContext& context,
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

  PopupWindowContext context_;
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
  explicit PopupWindowFactory(PopupWindowContext context)
      : context_(std::move(context)) {}
  std::unique_ptr<PopupSink> CreatePopup() override;

  // Called with every window made, before it is filled (tests, screenshots).
  std::function<void(PopupWindow*)> on_created;

 private:
  PopupWindowContext context_;
};

}  // namespace mirokata

#endif  // MIROKATA_SCHEDULE_UI_POPUP_WINDOW_H_
