// The main window: the small borderless calendar, clock and tool bar that
// stays on the desktop while the program runs.
#ifndef MIROKATA_APP_MAIN_WINDOW_H_
#define MIROKATA_APP_MAIN_WINDOW_H_

#include <QPointer>
#include <QString>
#include <QTimer>
#include <QWidget>
#include <array>
#include <functional>
#include <string>
#include <vector>

#include "base/services.h"
#include "app/tool_windows.h"
#include "app/window_mode.h"
#include "calendar/gregorian.h"

class QAction;
class QComboBox;
class QLabel;
class QMenu;
class QStackedWidget;
class QToolButton;

namespace mirokata {

class MonthGrid;
class StartupMessageWindow;

// Commands that open the windows of the other subsystems. Their menu items
// and buttons stay disabled until a handler is set.
enum class Command {
  kPopupEditor,
  kScheduleEditor,
  kScheduleList,
  kScheduleManager,
  kJumpToDate,
  kPhoneBook,
  kMemoTree,
  kDiaryList,
  kPeriod,
  kMailCheck,
  kMailer,
  kMailSettings,
  kTodoBoard,
  kBirthdays,
  kDayCalculator,
  kCountdownTimer,
  kAssociations,
  kCount
};

// Work of the other subsystems that the start-up order and the main
// window call at their moment. Unset hooks are skipped.
struct MainWindowHooks {
  std::function<MonthGrid*(QWidget* parent)> make_month_grid;
  std::function<QWidget*(QWidget* parent)> make_moon_panel;
  std::function<void()> load_memos;                 // start-up step 15
  std::function<void(QMenu*)> build_memo_menu;      // step 16
  std::function<void(QMenu*)> build_launcher_menu;  // step 16
  std::function<void()> tick;                       // the main tick
};

class DragBar;
class InfoStrip;

class MainWindow : public QWidget {
  Q_OBJECT

 public:
  explicit MainWindow(const AppContext& context, MainWindowHooks hooks = {},
                      QWidget* parent = nullptr);
  ~MainWindow() override;

  // Enables the command's menu items and buttons.
  void SetCommand(Command command, std::function<void()> handler);
  void RunCommand(Command command);
  bool HasCommand(Command command) const {
    return static_cast<bool>(handlers_[static_cast<size_t>(command)]);
  }

  // Creation of the window in the program's start-up order; shows it.
  void Start();

  // The data folder for a data command, or nothing after opening the
  // preferences when none has been chosen yet.
  bool RequireDataFolder(std::string* folder);

  void OpenPreferences();
  void OpenHelp();
  void ToggleMode();     // double click on the drag bar
  void OnHotKey();       // the global hot key
  void OnDeactivated();  // the program lost the focus
  void OnActivated();
  void ShowPreviousMonth();  // "先月へ"
  void ShowNextMonth();      // "翌月へ"
  void ShowToday();          // "今日に戻す｡"
  void SetMoonPanelVisible(bool visible);
  void Tick();

  // The three panels of the strip (date, clock, memory).
  void SetStripText(int panel, const QString& text);
  const QLabel* strip_panel(int panel) const;

  WindowMode mode() const { return model_.mode(); }
  bool temporarily_expanded() const { return model_.temporarily_expanded(); }
  bool application_active() const { return application_active_; }
  CivilDate selected_date() const;
  bool moon_panel_visible() const;
  int timer_interval() const { return timer_.interval(); }
  bool timer_active() const { return timer_.isActive(); }
  bool toolbar_visible() const;
  int strip_top() const;
  QMenu* main_menu() const { return main_menu_; }
  QMenu* memo_menu() const { return memo_menu_; }
  QMenu* launcher_menu() const { return launcher_menu_; }
  QComboBox* launcher_box() const { return launcher_box_; }
  ToolWindows& tool_windows() { return *tool_windows_; }
  QString year_caption() const;
  QString month_caption() const;
  // The memo tray icon's hint for the current double-click action.
  static std::string MemoIconHint(int action);

  // Runs the main menu's opening rules without showing it.
  void PrepareMainMenu();
  QAction* FindMenuItem(const QString& caption) const;

 signals:
  void ModeChanged(WindowMode mode);

 protected:
  void closeEvent(QCloseEvent* event) override;
  void changeEvent(QEvent* event) override;
  void showEvent(QShowEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void BuildToolBar();
  void BuildCalendarArea();
  void BuildMenus();
  QAction* AddCommand(QMenu* menu, const char* caption, Command command);
  void ApplyTransition(const Transition& t);
  void ApplyLayout(const Layout& layout);
  void ShowDate(const CivilDate& date);
  void RunDoubleClickAction();
  void SetUpTray();
  void PlayCue(const char* name);
  void RefreshScreen();
  Point CurrentPosition() const;
  bool CloseOtherWindows();
  void OpenWebPage(const char* address);
  void RequestPower(bool restart);
  void OnDragBarPressed();
  void OnDragBarReleased();
  void CollapseTemporaryExpansion();

  AppContext context_;
  MainWindowHooks hooks_;
  WindowModeModel model_;
  QTimer timer_;
  ToolWindows* tool_windows_ = nullptr;
  bool application_active_ = false;
  bool started_ = false;
  bool closing_ = false;
  bool applying_transition_ = false;
  CivilDate today_{};

  DragBar* drag_bar_ = nullptr;
  QWidget* toolbar_ = nullptr;
  QComboBox* launcher_box_ = nullptr;
  InfoStrip* strip_ = nullptr;
  QStackedWidget* calendar_area_ = nullptr;
  QWidget* calendar_page_ = nullptr;
  QWidget* moon_panel_ = nullptr;
  QLabel* year_label_ = nullptr;
  QLabel* month_label_ = nullptr;
  MonthGrid* grid_ = nullptr;

  QMenu* main_menu_ = nullptr;
  QMenu* memo_menu_ = nullptr;
  QMenu* launcher_menu_ = nullptr;
  QMenu* panel_menu_ = nullptr;
  QMenu* mail_menu_ = nullptr;
  QMenu* windows_menu_ = nullptr;
  QAction* mail_menu_action_ = nullptr;
  QAction* windows_menu_action_ = nullptr;
  QAction* period_action_ = nullptr;
  QAction* period_separator_ = nullptr;
  QAction* help_action_ = nullptr;
  QAction* show_calendar_action_ = nullptr;
  QAction* show_moon_action_ = nullptr;
  std::array<std::function<void()>, static_cast<size_t>(Command::kCount)>
      handlers_;
  std::array<std::vector<QPointer<QAction>>,
             static_cast<size_t>(Command::kCount)>
      command_actions_;
};

}  // namespace mirokata

#endif  // MIROKATA_APP_MAIN_WINDOW_H_
