// The main window: the small borderless calendar, clock and tool bar that
// stays on the desktop while the program runs.
#ifndef MIROKATA_APP_MAIN_WINDOW_H_
#define MIROKATA_APP_MAIN_WINDOW_H_

#include <QColor>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <QTimer>
#include <QWidget>
#include <array>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "app/tool_windows.h"
#include "app/window_mode.h"
#include "base/command.h"
#include "base/services.h"
#include "calendar/gregorian.h"

class QAction;
class QComboBox;
class QLabel;
class QMenu;
class QStackedWidget;
class QToolButton;

namespace mirokata {

class CalendarGridPanel;
class EntryChanges;
class MoonPanelWidget;
class PreferencesPages;

class DragBar;
class InfoStrip;

class MainWindow : public QWidget, public CommandHost {
  Q_OBJECT

 public:
  explicit MainWindow(const Services& services, QWidget* parent = nullptr);
  ~MainWindow() override;

  // CommandHost: a command's menu items and buttons are enabled while it
  // has a handler.
  void SetCommand(Command command, std::function<void()> handler) override;
  bool HasCommand(Command command) const override {
    return static_cast<bool>(handlers_[static_cast<size_t>(command)]);
  }
  void RunCommand(Command command) override;
  void RunCommandLater(Command command) override;
  void SetMenuBuilder(MenuSlot slot,
                      std::function<void(QMenu*)> builder) override;
  void AddStartupStep(std::function<void()> step) override;
  QWidget* OpenOrRaise(std::string_view key,
                       const std::function<QWidget*()>& create) override;

  // Work that can wait until the window has been painted once; run in the
  // order given, before the start-up's own (tray icons, the first tick).
  void AfterFirstPaint(std::function<void()> work) {
    after_first_paint_.insert(after_first_paint_.begin() + early_work_++,
                              std::move(work));
  }

  // The main tick's work, run by the window's timer.
  void SetTickHandler(std::function<void()> tick) { tick_ = std::move(tick); }

  // Creation of the window in the program's start-up order; shows it.
  void Start();

  // Files dropped on the window, with Shift and Ctrl as they were; run
  // after the drop has been answered.
  void SetDropHandler(
      std::function<void(const QStringList&, bool shift, bool ctrl)> handler);

  // The data folder for a data command, or nothing after opening the
  // preferences when none has been chosen yet.
  bool RequireDataFolder(std::string* folder);

  void OpenPreferences();
  // How the preferences ask for the password before the lock's switch
  // changes.
  void SetPasswordConfirm(
      std::function<void(std::function<void(bool)>)> confirm) {
    password_confirm_ = std::move(confirm);
  }
  // The subsystems' pages the preferences show after their own.
  void SetPreferencesPages(PreferencesPages* pages) {
    preferences_pages_ = pages;
  }
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
  // The text colour of all three panels (black normally; mail work colours
  // them while it runs).
  void SetStripColor(const QColor& color);
  const QLabel* strip_panel(int panel) const;

  WindowMode mode() const { return model_.mode(); }
  bool temporarily_expanded() const { return model_.temporarily_expanded(); }
  bool application_active() const { return application_active_; }
  CivilDate selected_date() const;
  // The day a running command was given for (a day of the grid, the
  // pop-view's day), else the selected day.
  CivilDate command_date() const {
    return command_date_ ? *command_date_ : selected_date();
  }
  bool command_has_date() const { return command_date_.has_value(); }
  // Selects a date on the grid in one step (its month shows, the day
  // panel follows).
  void SelectDate(const CivilDate& date) { ShowDate(date); }
  bool moon_panel_visible() const;
  int timer_interval() const { return timer_.interval(); }
  bool timer_active() const { return timer_.isActive(); }
  // The start-up work left for after the first paint (tray icons, the
  // first tick) has run.
  bool startup_finished() const {
    return started_ && after_first_paint_.empty();
  }
  bool toolbar_visible() const;
  int strip_top() const;
  QMenu* main_menu() const { return main_menu_; }
  QMenu* memo_menu() const { return memo_menu_; }
  QMenu* launcher_menu() const { return launcher_menu_; }
  QComboBox* launcher_box() const {
    FinishLauncherBox();
    return launcher_box_;
  }
  ToolWindows& tool_windows() { return *tool_windows_; }
  CalendarGridPanel* calendar_panel() const { return grid_; }
  MoonPanelWidget* moon_panel() const { return moon_panel_; }
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
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dropEvent(QDropEvent* event) override;
  void changeEvent(QEvent* event) override;
  void showEvent(QShowEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;
  void paintEvent(QPaintEvent* event) override;

 private:
  std::function<void(std::function<void(bool)>)> password_confirm_;
  PreferencesPages* preferences_pages_ = nullptr;
  void BuildToolBar();
  void BuildCalendarArea();
  void RunAfterFirstPaint();
  void FinishLauncherBox() const;
  void ConnectDayPanelCommands();
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

  Services context_;
  std::function<void()> tick_;
  std::vector<std::function<void()>> startup_steps_;
  std::vector<std::function<void()>> after_first_paint_;
  size_t early_work_ = 0;
  std::function<void(QMenu*)> memo_menu_builder_;
  std::function<void(QMenu*)> launcher_menu_builder_;
  std::function<void(const QStringList&, bool, bool)> drop_handler_;
  WindowModeModel model_;
  QTimer timer_;
  ToolWindows* tool_windows_ = nullptr;
  std::optional<CivilDate> command_date_;
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
  MoonPanelWidget* moon_panel_ = nullptr;
  QLabel* year_label_ = nullptr;
  QLabel* month_label_ = nullptr;
  CalendarGridPanel* grid_ = nullptr;

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
  std::array<std::function<void()>, kCommandCount> handlers_;
  std::array<std::vector<QPointer<QAction>>, kCommandCount> command_actions_;
};

}  // namespace mirokata

#endif  // MIROKATA_APP_MAIN_WINDOW_H_
