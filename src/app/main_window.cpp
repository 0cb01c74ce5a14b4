#include "app/main_window.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QDateTime>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFontMetrics>
#include <QFrame>
#include <QGuiApplication>
#include <QIconEngine>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <QScopedValueRollback>
#include <QStackedWidget>
#include <QToolButton>
#include <QUrl>

#include "app/month_navigation.h"
#include "base/date_pattern.h"
#include "base/entry_changes.h"
#include "base/exit_roles.h"
#include "base/folders.h"
#include "base/program_folder.h"
#include "base/settings_file.h"
#include "calendar/holidays.h"
#include "mainwin/ui/calendar_grid.h"
#include "mainwin/ui/calendar_grid_panel.h"
#include "mainwin/ui/day_panel_controller.h"
#include "mainwin/ui/moon_panel_widget.h"
#include "platform/clock.h"
#include "platform/display_flush.h"
#include "platform/hot_key.h"
#include "platform/messages.h"
#include "platform/power.h"
#include "platform/screen.h"
#include "platform/shell.h"
#include "platform/sound_cues.h"
#include "platform/tray.h"
#include "schedule/ui/popup_window.h"
#include "tools/ui/preferences_window.h"
#include "widgets/startup_message_window.h"

namespace mirokata {
namespace {

constexpr int kDragBarWidth = 12;
constexpr int kContentWidth = kMainWindowWidth - kDragBarWidth;
constexpr int kCalendarAreaHeight = kCalendarModeHeight - kCalendarAreaTop;
constexpr char kPreferencesKey[] = "preferences";

// The program's pages on the web.
constexpr char kBoardAddress[] = "https://mirokata.example.org/board/";
constexpr char kOnlineHelpAddress[] = "https://mirokata.example.org/help/";
constexpr char kTroubleAddress[] = "https://mirokata.example.org/faq/";
constexpr char kAuthorAddress[] = "https://mirokata.example.org/";

QString U(const char* utf8) { return QString::fromUtf8(utf8); }

CivilDate TodayOf(const Clock* clock) {
  if (clock) {
    LocalTime now = clock->Now();
    return {now.year, now.month, now.day};
  }
  QDate d = QDate::currentDate();
  return {d.year(), d.month(), d.day()};
}

// A square tool-bar picture: a coloured tile with one glyph. Drawn when a
// button first paints, so that loading the Japanese font waits until the
// window is on the screen.
class GlyphIconEngine : public QIconEngine {
 public:
  GlyphIconEngine(QString glyph, QColor tile)
      : glyph_(std::move(glyph)), tile_(tile) {}

  void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode,
             QIcon::State state) override {
    Drawn().paint(painter, rect, Qt::AlignCenter, mode, state);
  }
  QPixmap pixmap(const QSize& size, QIcon::Mode mode,
                 QIcon::State state) override {
    return Drawn().pixmap(size, mode, state);
  }
  QSize actualSize(const QSize& size, QIcon::Mode, QIcon::State) override {
    return QSize(20, 20).boundedTo(size);
  }
  QIconEngine* clone() const override {
    return new GlyphIconEngine(glyph_, tile_);
  }

 private:
  // A plain pixmap icon, which gives the disabled and active looks.
  const QIcon& Drawn() {
    if (!drawn_.isNull()) return drawn_;
    QPixmap pm(20, 20);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.setBrush(tile_);
    p.setPen(tile_.darker(140));
    p.drawRoundedRect(QRectF(0.5, 0.5, 19, 19), 4, 4);
    QFont f;
    f.setPixelSize(glyph_.size() > 1 ? 7 : 13);
    p.setFont(f);
    p.setPen(Qt::white);
    p.drawText(QRect(0, 0, 20, 20), Qt::AlignCenter, glyph_);
    p.end();
    drawn_ = QIcon(pm);
    return drawn_;
  }

  QString glyph_;
  QColor tile_;
  QIcon drawn_;
};

QIcon GlyphIcon(const QString& glyph, QColor tile) {
  return QIcon(new GlyphIconEngine(glyph, tile));
}

QIcon CalendarTrayIcon(int day) {
  QPixmap pm(32, 32);
  pm.fill(Qt::transparent);
  QPainter p(&pm);
  p.setRenderHint(QPainter::Antialiasing);
  p.setBrush(Qt::white);
  p.setPen(QColor(0x40, 0x40, 0x40));
  p.drawRoundedRect(QRectF(2.5, 3.5, 27, 26), 3, 3);
  p.fillRect(QRect(3, 4, 26, 8), QColor(0xc8, 0x30, 0x30));
  QFont f;
  f.setPixelSize(15);
  f.setBold(true);
  p.setFont(f);
  p.setPen(Qt::black);
  p.drawText(QRect(2, 11, 28, 18), Qt::AlignCenter, QString::number(day));
  return QIcon(pm);
}

QIcon MemoTrayIcon() {
  QPixmap pm(32, 32);
  pm.fill(Qt::transparent);
  QPainter p(&pm);
  p.setBrush(QColor(0xff, 0xe8, 0x70));
  p.setPen(QColor(0x90, 0x80, 0x30));
  p.drawRect(QRect(5, 4, 22, 24));
  p.setPen(QColor(0x90, 0x80, 0x30));
  for (int y = 11; y < 26; y += 5) p.drawLine(9, y, 23, y);
  return QIcon(pm);
}

// Whether to say that the tray is missing: once, and again only after a
// tray has worked, so that a desktop without one does not hear it at every
// start. An unreadable settings file cannot remember: it is said each time.
bool FirstStartWithoutTray(SettingsFile& settings, bool tray_missing) {
  constexpr char kToldKey[] = "TrayMissingTold";
  if (settings.origin() == SettingsFile::Origin::kUnreadable) {
    return tray_missing;
  }
  const bool told = settings.ReadBool("Form", kToldKey, false);
  if (tray_missing != told) settings.WriteBool("Form", kToldKey, tray_missing);
  return tray_missing && !told;
}

}  // namespace

// The 12-pixel bar on the left with its tiny close button.
class DragBar : public QWidget {
 public:
  explicit DragBar(QWidget* parent) : QWidget(parent) {
    setToolTip(U("移動"));
    setFixedWidth(kDragBarWidth);
    close_ = new QToolButton(this);
    close_->setGeometry(3, 3, 6, 6);
    close_->setToolTip(U("閉じる"));
    close_->setStyleSheet(
        "QToolButton{background:#d04040;border:1px solid #802020;}");
  }
  void set_active(bool active) {
    active_ = active;
    update();
  }
  QToolButton* close_button() const { return close_; }

  std::function<void()> pressed, released, double_clicked;
  std::function<void(QPoint)> dragged;

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter p(this);
    const QPalette& pal = palette();
    QColor c = active_ ? pal.color(QPalette::Active, QPalette::Highlight)
                       : QColor(0x90, 0x98, 0xa8);
    p.fillRect(rect(), c);
  }
  void mousePressEvent(QMouseEvent* e) override {
    if (e->button() != Qt::LeftButton) return;
    press_offset_ = e->globalPosition().toPoint() - window()->pos();
    dragging_ = true;
    if (pressed) pressed();
  }
  void mouseMoveEvent(QMouseEvent* e) override {
    if (dragging_ && dragged)
      dragged(e->globalPosition().toPoint() - press_offset_);
  }
  void mouseReleaseEvent(QMouseEvent* e) override {
    if (e->button() != Qt::LeftButton || !dragging_) return;
    dragging_ = false;
    if (released) released();
  }
  void mouseDoubleClickEvent(QMouseEvent* e) override {
    if (e->button() == Qt::LeftButton && double_clicked) double_clicked();
  }

 private:
  QToolButton* close_ = nullptr;
  bool active_ = false;
  bool dragging_ = false;
  QPoint press_offset_;
};

// Date, clock and memory panels side by side.
class InfoStrip : public QWidget {
 public:
  explicit InfoStrip(QWidget* parent) : QWidget(parent) {
    setFixedSize(kContentWidth, kStripHeight);
    // Sized for "2026/12/10(木)", "23:59:59" and "23964160K(97%)"; the
    // memory figure gets what the other two leave.
    const int widths[3] = {82, 52, kContentWidth - 134};
    int x = 0;
    for (int i = 0; i < 3; ++i) {
      auto* label = new QLabel(this);
      label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
      label->setAlignment(Qt::AlignCenter);
      label->setGeometry(x, 0, widths[i], kStripHeight);
      QFont f = label->font();
      f.setPixelSize(kPixelSize);
      label->setFont(f);
      panels_[i] = label;
      x += widths[i];
    }
  }
  QLabel* panel(int i) const { return panels_[i]; }

  void SetTextColor(const QColor& color) {
    for (QLabel* label : panels_) {
      QPalette p = label->palette();
      p.setColor(QPalette::WindowText, color);
      label->setPalette(p);
    }
  }

  // A text too wide for its panel (a machine with much memory, a wide
  // fallback font) is set smaller rather than cut off.
  void SetText(int i, const QString& text) {
    QLabel* label = panels_[i];
    const int width = label->contentsRect().width();
    const int room = width - 2;  // a pixel of air on either side
    QFont f = label->font();
    int size = kPixelSize;
    for (; size > kSmallestPixelSize; --size) {
      f.setPixelSize(size);
      if (QFontMetrics(f).horizontalAdvance(text) <= room) break;
    }
    f.setPixelSize(size);
    if (f != label->font()) label->setFont(f);
    // Past the smallest size the end goes, so the figure's digits stay.
    label->setText(QFontMetrics(f).elidedText(text, Qt::ElideRight, width));
  }

 private:
  static constexpr int kPixelSize = 10;
  static constexpr int kSmallestPixelSize = 7;
  std::array<QLabel*, 3> panels_{};
};

MainWindow::MainWindow(const Services& context, QWidget* parent)
    : QWidget(parent),
      context_(context),
      model_(*context.settings,
             context.screen ? context.screen->AvailableGeometries()
                            : std::vector<ScreenRect>{{0, 0, 1280, 800}}) {
  setWindowTitle(U(kProductName));
  setObjectName("MainWindow");
  tool_windows_ = new ToolWindows(this);
  today_ = TodayOf(context_.clock);

  drag_bar_ = new DragBar(this);
  drag_bar_->move(0, 0);
  drag_bar_->pressed = [this] { OnDragBarPressed(); };
  drag_bar_->released = [this] { OnDragBarReleased(); };
  drag_bar_->double_clicked = [this] { ToggleMode(); };
  drag_bar_->dragged = [this](QPoint to) {
    if (!context_.settings->ReadBool("Form", "Move", false)) move(to);
  };
  connect(drag_bar_->close_button(), &QToolButton::clicked, this,
          &QWidget::close);

  BuildMenus();
  BuildToolBar();
  strip_ = new InfoStrip(this);
  for (int i = 0; i < 3; ++i) strip_->panel(i)->installEventFilter(this);
  BuildCalendarArea();
  ApplyLayout(LayoutOf(WindowMode::kToolbar));

  connect(&timer_, &QTimer::timeout, this, &MainWindow::Tick);
  connect(qApp, &QGuiApplication::applicationStateChanged, this,
          [this](Qt::ApplicationState state) {
            if (state == Qt::ApplicationActive) {
              OnActivated();
            } else {
              OnDeactivated();
            }
          });
}

MainWindow::~MainWindow() {
  timer_.stop();
  if (context_.hot_key) context_.hot_key->Unregister();
  if (context_.tray) {
    context_.tray->SetMenu(TrayIconId::kCalendar, nullptr);
    context_.tray->SetMenu(TrayIconId::kMemo, nullptr);
    context_.tray->SetVisible(TrayIconId::kCalendar, false);
    context_.tray->SetVisible(TrayIconId::kMemo, false);
  }
}

QAction* MainWindow::AddCommand(QMenu* menu, const char* caption,
                                Command command) {
  QAction* action = menu->addAction(U(caption));
  action->setEnabled(false);
  connect(action, &QAction::triggered, this,
          [this, command] { RunCommand(command); });
  command_actions_[static_cast<size_t>(command)].push_back(action);
  return action;
}

void MainWindow::SetCommand(Command command, std::function<void()> handler) {
  const size_t i = static_cast<size_t>(command);
  handlers_[i] = std::move(handler);
  for (const QPointer<QAction>& a : command_actions_[i]) {
    if (a) a->setEnabled(static_cast<bool>(handlers_[i]));
  }
}

void MainWindow::RunCommand(Command command) {
  // A copy: the handler may replace itself.
  const std::function<void()> handler = handlers_[static_cast<size_t>(command)];
  if (handler) handler();
}

void MainWindow::RunCommandLater(Command command) {
  QMetaObject::invokeMethod(
      this, [this, command] { RunCommand(command); }, Qt::QueuedConnection);
}

void MainWindow::SetMenuBuilder(MenuSlot slot,
                                std::function<void(QMenu*)> builder) {
  (slot == MenuSlot::kMemo ? memo_menu_builder_ : launcher_menu_builder_) =
      std::move(builder);
}

void MainWindow::AddStartupStep(std::function<void()> step) {
  startup_steps_.push_back(std::move(step));
}

QWidget* MainWindow::OpenOrRaise(std::string_view key,
                                 const std::function<QWidget*()>& create) {
  return tool_windows_->OpenOrRaise(
      QString::fromUtf8(key.data(), static_cast<qsizetype>(key.size())),
      create);
}

void MainWindow::BuildMenus() {
  main_menu_ = new QMenu(this);
  QMenu* schedule = main_menu_->addMenu(U("スケジュール"));
  AddCommand(schedule, "ﾎﾟｯﾌﾟｱｯﾌﾟの登録", Command::kPopupEditor);
  AddCommand(schedule, "ｽｹｼﾞｭｰﾙの登録", Command::kScheduleEditor);
  tool_windows_->Bind("schedule_list", AddCommand(schedule, "ｽｹｼﾞｭｰﾙ一覧",
                                                  Command::kScheduleList));
  tool_windows_->Bind(
      "schedule_manager",
      AddCommand(schedule, "ｽｹｼﾞｭｰﾙ管理", Command::kScheduleManager));
  tool_windows_->Bind(
      "jump", AddCommand(schedule, "指定日に移動", Command::kJumpToDate));

  QMenu* personal = main_menu_->addMenu(U("個人データ"));
  tool_windows_->Bind("phone_book",
                      AddCommand(personal, "簡易電話帳", Command::kPhoneBook));
  AddCommand(personal, "メモ一覧", Command::kMemoTree);
  tool_windows_->Bind(
      "diary", AddCommand(personal, "日記タイトル一覧", Command::kDiaryList));
  period_separator_ = personal->addSeparator();
  period_action_ = AddCommand(personal, "Period", Command::kPeriod);
  tool_windows_->Bind("period", period_action_);

  mail_menu_ = main_menu_->addMenu(U("メール"));
  mail_menu_action_ = mail_menu_->menuAction();
  AddCommand(mail_menu_, "メールチェック", Command::kMailCheck);
  AddCommand(mail_menu_, "メーラー起動", Command::kMailer);
  AddCommand(mail_menu_, "メールの設定", Command::kMailSettings);

  tool_windows_->Bind(
      "todo", AddCommand(main_menu_, "Todoボード", Command::kTodoBoard));
  tool_windows_->Bind("birthday_book", AddCommand(main_menu_, "誕生日管理",
                                                  Command::kBirthdays));

  QMenu* tools = main_menu_->addMenu(U("ツール"));
  tool_windows_->Bind("day_calculator",
                      AddCommand(tools, "日数計算", Command::kDayCalculator));
  tool_windows_->Bind(
      "countdown", AddCommand(tools, "減算タイマー", Command::kCountdownTimer));

  QMenu* web = main_menu_->addMenu(U("WEBページ"));
  connect(web->addAction(U("掲示板に書き込む／読む")), &QAction::triggered,
          this, [this] { OpenWebPage(kBoardAddress); });
  connect(web->addAction(U("オンライン（最新）ヘルプ")), &QAction::triggered,
          this, [this] { OpenWebPage(kOnlineHelpAddress); });
  QAction* trouble = web->addAction(U("動作がおかしいと思ったら"));
  trouble->setVisible(false);
  connect(trouble, &QAction::triggered, this,
          [this] { OpenWebPage(kTroubleAddress); });
  connect(web->addAction(U("作者のホームページ")), &QAction::triggered, this,
          [this] { OpenWebPage(kAuthorAddress); });

  main_menu_->addSeparator();
  QMenu* setup = main_menu_->addMenu(U("設定"));
  QAction* prefs = setup->addAction(U("環境設定"));
  tool_windows_->Bind(kPreferencesKey, prefs);
  connect(prefs, &QAction::triggered, this, &MainWindow::OpenPreferences);
  tool_windows_->Bind("associations", AddCommand(setup, "関連付けの設定",
                                                 Command::kAssociations));
  help_action_ = setup->addAction(U("ヘルプ"));
  connect(help_action_, &QAction::triggered, this, &MainWindow::OpenHelp);

  windows_menu_ = main_menu_->addMenu(U("Windowsの終了"));
  windows_menu_action_ = windows_menu_->menuAction();
  connect(windows_menu_->addAction(U("Windowsの再起動")), &QAction::triggered,
          this, [this] { RequestPower(true); });
  connect(windows_menu_->addAction(U("Windowsの終了")), &QAction::triggered,
          this, [this] { RequestPower(false); });

  main_menu_->addSeparator();
  connect(main_menu_->addAction(U("終了(&X)")), &QAction::triggered, this,
          &QWidget::close);
  connect(main_menu_, &QMenu::aboutToShow, this, &MainWindow::PrepareMainMenu);

  memo_menu_ = new QMenu(this);
  launcher_menu_ = new QMenu(this);

  panel_menu_ = new QMenu(this);
  show_calendar_action_ = panel_menu_->addAction(U("カレンダーの表示"));
  show_moon_action_ = panel_menu_->addAction(U("月齢の表示"));
  show_calendar_action_->setCheckable(true);
  show_moon_action_->setCheckable(true);
  connect(show_calendar_action_, &QAction::triggered, this,
          [this] { SetMoonPanelVisible(false); });
  connect(show_moon_action_, &QAction::triggered, this,
          [this] { SetMoonPanelVisible(true); });
  connect(panel_menu_, &QMenu::aboutToShow, this, [this] {
    show_calendar_action_->setChecked(!moon_panel_visible());
    show_moon_action_->setChecked(moon_panel_visible());
  });
}

void MainWindow::PrepareMainMenu() {
  Settings s = context_.settings->Open();
  for (const QPointer<QAction>& a :
       command_actions_[static_cast<size_t>(Command::kJumpToDate)]) {
    if (a) {
      a->setEnabled(handlers_[static_cast<size_t>(Command::kJumpToDate)] &&
                    mode() != WindowMode::kToolbar);
    }
  }
  mail_menu_action_->setVisible(s.ReadBool("pop", "pop1_check", false) ||
                                s.ReadBool("pop", "pop2_check", false) ||
                                s.ReadBool("pop", "pop3_check", false));
  const bool period = s.ReadInteger("Setup", "Period", 1) == 0;
  period_action_->setVisible(period);
  period_separator_->setVisible(period);
  period_action_->setText(
      QString::fromStdString(s.ReadString("Form", "Period_Cap", "Period")));
  windows_menu_action_->setVisible(s.ReadInteger("Setup", "Reboot", 1) == 0);
  help_action_->setEnabled(FileExists(
      JoinPath(JoinPath(context_.program_folder, "help_html"), "index.html")));
}

QAction* MainWindow::FindMenuItem(const QString& caption) const {
  std::function<QAction*(QMenu*)> find = [&](QMenu* menu) -> QAction* {
    for (QAction* a : menu->actions()) {
      if (a->text() == caption) return a;
      if (a->menu()) {
        if (QAction* found = find(a->menu())) return found;
      }
    }
    return nullptr;
  };
  return find(main_menu_);
}

void MainWindow::BuildToolBar() {
  toolbar_ = new QWidget(this);
  toolbar_->setGeometry(kDragBarWidth, 0, kContentWidth, kToolBarHeight);
  toolbar_->setAutoFillBackground(true);
  struct Button {
    const char* hint;
    const char* glyph;
    QColor tile;
    std::function<void()> run;
    Command command;
    bool is_command;
  };
  auto popup = [this](QMenu* menu) {
    return [menu] { menu->popup(QCursor::pos()); };
  };
  const Button buttons[] = {
      {"メイン", "主", QColor(0x3a, 0x6e, 0xc8), popup(main_menu_), {}, false},
      {"メモ", "メ", QColor(0xd0, 0xa0, 0x20), popup(memo_menu_), {}, false},
      {"ランチャーメニュー",
       "起",
       QColor(0x50, 0x90, 0x50),
       popup(launcher_menu_),
       {},
       false},
      {"ポップアップ",
       "ポ",
       QColor(0xc0, 0x50, 0x50),
       {},
       Command::kPopupEditor,
       true},
      {"スケジュール",
       "予",
       QColor(0x30, 0x90, 0xa0),
       {},
       Command::kScheduleEditor,
       true},
      {"予定一覧",
       "覧",
       QColor(0x30, 0x80, 0x80),
       {},
       Command::kScheduleList,
       true},
      {"スケジュール管理",
       "管",
       QColor(0x60, 0x60, 0xa0),
       {},
       Command::kScheduleManager,
       true},
      {"電話帳", "電", QColor(0x80, 0x60, 0x40), {}, Command::kPhoneBook, true},
      {"ToDoボード",
       "ToDo",
       QColor(0x90, 0x50, 0x90),
       {},
       Command::kTodoBoard,
       true},
      {"日記タイトル一覧",
       "日",
       QColor(0x40, 0x70, 0x40),
       {},
       Command::kDiaryList,
       true},
      {"誕生日", "誕", QColor(0xd0, 0x60, 0x90), {}, Command::kBirthdays, true},
      {"設定",
       "設",
       QColor(0x70, 0x70, 0x70),
       [this] { OpenPreferences(); },
       {},
       false},
      {"ヘルプ",
       "?",
       QColor(0x50, 0x50, 0x90),
       [this] { OpenHelp(); },
       {},
       false},
  };
  constexpr int kButton = 25;
  constexpr int kPerRow = 9;
  int index = 0;
  for (const Button& b : buttons) {
    auto* tool = new QToolButton(toolbar_);
    auto* action = new QAction(GlyphIcon(U(b.glyph), b.tile), U(b.hint), tool);
    action->setToolTip(U(b.hint));
    if (b.is_command) {
      action->setEnabled(false);
      const Command c = b.command;
      connect(action, &QAction::triggered, this, [this, c] { RunCommand(c); });
      command_actions_[static_cast<size_t>(c)].push_back(action);
    } else {
      connect(action, &QAction::triggered, this, b.run);
    }
    tool->setDefaultAction(action);
    tool->setAutoRaise(true);
    tool->setIconSize(QSize(20, 20));
    const int row = index / kPerRow, column = index % kPerRow;
    tool->setGeometry(1 + column * kButton, 1 + row * (kButton + 1), kButton,
                      kButton);
    ++index;
  }
  launcher_box_ = new QComboBox(toolbar_);
  const int used = (index - kPerRow) * kButton + 2;
  launcher_box_->setGeometry(used, kButton + 3, kContentWidth - used - 2, 22);
}

// The box's line edit lays out its text, which loads the fonts: made once
// the window is on its way to the screen, or when someone asks for the box.
void MainWindow::FinishLauncherBox() const {
  if (launcher_box_->isEditable()) return;
  QFont f = launcher_box_->font();
  f.setPixelSize(11);
  launcher_box_->setFont(f);
  launcher_box_->setEditable(true);
  launcher_box_->lineEdit()->setPlaceholderText(U("ランチャー"));
}

void MainWindow::BuildCalendarArea() {
  calendar_area_ = new QStackedWidget(this);
  calendar_area_->setGeometry(kDragBarWidth, kCalendarAreaTop, kContentWidth,
                              kCalendarAreaHeight);
  calendar_area_->installEventFilter(this);

  calendar_page_ = new QWidget;
  QFont caption_font;
  caption_font.setPixelSize(12);
  caption_font.setBold(true);
  year_label_ = new QLabel(calendar_page_);
  year_label_->setObjectName("YearCaption");
  year_label_->setGeometry(4, 1, 44, 16);
  year_label_->setFont(caption_font);
  month_label_ = new QLabel(calendar_page_);
  month_label_->setObjectName("MonthCaption");
  month_label_->setGeometry(50, 1, 40, 16);
  month_label_->setFont(caption_font);
  year_label_->installEventFilter(this);
  month_label_->installEventFilter(this);

  struct Nav {
    const char* hint;
    const char* glyph;
    void (MainWindow::*run)();
    int x;
  } navs[] = {
      {"先月へ", "◀", &MainWindow::ShowPreviousMonth, kContentWidth - 60},
      {"今日に戻す｡", "●", &MainWindow::ShowToday, kContentWidth - 40},
      {"翌月へ", "▶", &MainWindow::ShowNextMonth, kContentWidth - 20},
  };
  QToolButton* today_button = nullptr;
  for (const Nav& n : navs) {
    auto* b = new QToolButton(calendar_page_);
    if (n.run == &MainWindow::ShowToday) {
      b->setObjectName("TodayButton");
      today_button = b;
    }
    b->setText(U(n.glyph));
    b->setToolTip(U(n.hint));
    b->setAutoRaise(true);
    b->setGeometry(n.x, 0, 18, 17);
    QFont f;
    f.setPixelSize(9);
    b->setFont(f);
    connect(b, &QToolButton::clicked, this, n.run);
  }

  grid_ = new CalendarGridPanel(*context_.settings, *context_.clock,
                                context_.screen, context_.cues, year_label_,
                                month_label_, today_button, calendar_page_);
  grid_->setGeometry(0, 18, kContentWidth, kCalendarAreaHeight - 18);
  connect(grid_, &CalendarGridPanel::dateChanged, this,
          [this](const CivilDate& d) { ShowDate(d); });
  ConnectDayPanelCommands();
  if (context_.entry_changes) {
    // A saved or deleted entry re-colours the month and rebuilds the panel.
    connect(context_.entry_changes, &EntryChanges::Changed, this,
            [this] { grid_->controller()->Refresh(); });
  }

  moon_panel_ = new MoonPanelWidget(nullptr);
  moon_panel_->SetClock(context_.clock);
  moon_panel_->installEventFilter(this);
  calendar_area_->addWidget(calendar_page_);
  calendar_area_->addWidget(moon_panel_);
}

// The day panel's double-click actions and the pop-view's buttons run the
// commands of their windows; those without a window stay disabled.
void MainWindow::ConnectDayPanelCommands() {
  DayPanelController* c = grid_->controller();
  const auto runner = [this](Command command) {
    return [this, command](const CivilDate& date) {
      // The window opens on the day it was asked for.
      const QScopedValueRollback<std::optional<CivilDate>> on(command_date_,
                                                              date);
      RunCommand(command);
    };
  };
  const auto available = [this](Command command) {
    return [this, command] { return HasCommand(command); };
  };
  const std::pair<DayAction, Command> actions[] = {
      {DayAction::kPopupEditor, Command::kPopupEditor},
      {DayAction::kScheduleEditor, Command::kScheduleEditor},
      {DayAction::kScheduleManager, Command::kScheduleManager},
      {DayAction::kDateJump, Command::kJumpToDate},
      {DayAction::kDiaryList, Command::kDiaryList}};
  for (const auto& [action, command] : actions) {
    c->SetDoubleClickHandler(action, runner(command), available(command));
  }
  const std::pair<PopViewCommand, Command> buttons[] = {
      {PopViewCommand::kScheduleEditor, Command::kScheduleEditor},
      {PopViewCommand::kPopupEditor, Command::kPopupEditor},
      {PopViewCommand::kDiaryList, Command::kDiaryList},
      {PopViewCommand::kBirthdayBook, Command::kBirthdays},
      {PopViewCommand::kScheduleList, Command::kScheduleList},
      {PopViewCommand::kScheduleManager, Command::kScheduleManager},
      {PopViewCommand::kTodoBoard, Command::kTodoBoard},
      {PopViewCommand::kPhoneBook, Command::kPhoneBook}};
  for (const auto& [button, command] : buttons) {
    c->SetPopViewCommand(button, runner(command), available(command));
  }
}

void MainWindow::ApplyLayout(const Layout& layout) {
  toolbar_->setVisible(layout.toolbar_visible);
  strip_->move(kDragBarWidth, layout.strip_top);
  calendar_area_->setVisible(layout.mode == WindowMode::kCalendar);
  drag_bar_->setFixedHeight(layout.height);
  setFixedSize(kMainWindowWidth, layout.height);
}

void MainWindow::ApplyTransition(const Transition& t) {
  // Hiding the window moves the focus; that is no deactivation to act on.
  const QScopedValueRollback<bool> applying(applying_transition_, true);
  const bool was_visible = isVisible();
  if ((t.hide_first || t.collapse_first) && was_visible) hide();
  ApplyLayout(t.layout);
  move(t.position.left, t.position.top);
  if (was_visible && !isVisible()) show();
  update();
  emit ModeChanged(t.layout.mode);
}

Point MainWindow::CurrentPosition() const { return {x(), y()}; }

void MainWindow::RefreshScreen() {
  if (context_.screen) {
    model_.set_screens(context_.screen->AvailableGeometries());
  }
}

void MainWindow::Start() {
  SettingsFile& settings = *context_.settings;
  const bool unreadable =
      settings.origin() == SettingsFile::Origin::kUnreadable;
  // 6, 7: height, mode and position.
  RefreshScreen();
  ApplyTransition(model_.Start());

  // 8: moon panel, tray icons, taskbar button, staying on top.
  SetMoonPanelVisible(settings.ReadBool("Form", "MoonPhase", false));
  const int tray_icon = settings.ReadInteger("Form", "Tray_icon", 0);
  const bool icons = tray_icon == 0 || tray_icon == 2;
  const bool tray_missing =
      icons && context_.tray && !context_.tray->Available();
  Qt::WindowFlags flags = Qt::FramelessWindowHint;
  // A tool window has no taskbar button. Without a tray the window keeps
  // its button, as with Tray_icon 1, or nothing would lead back to it; the
  // setting stays for a later start with a tray.
  if ((tray_icon == 0 && !tray_missing) || tray_icon == 3) flags |= Qt::Tool;
  if (settings.ReadBool("ToolWindow", "StayOnTop", false)) {
    flags |= Qt::WindowStaysOnTopHint;
  }
  setWindowFlags(flags);
  bool tell_tray_missing = false;
  if (context_.tray && icons) {
    tell_tray_missing = FirstStartWithoutTray(settings, tray_missing);
  }
  // The icons themselves come after the first paint.
  after_first_paint_.push_back([this, icons, tell_tray_missing] {
    if (!context_.tray) return;
    SetUpTray();
    context_.tray->SetVisible(TrayIconId::kCalendar, icons);
    context_.tray->SetVisible(TrayIconId::kMemo, icons);
    if (tell_tray_missing) {
      // The program carries on without its icons: every command is on the
      // main window too.
      MessageRequest request;
      request.kind = MessageKind::kError;
      request.text = "タスクトレイにアイコンを登録できません。";
      request.parent = this;
      context_.messages->ShowNotice(request);
    }
  });

  // The window goes to the display now, before its contents are polished
  // and the rest of the start-up runs, and the map request is handed over
  // at once rather than at the next pass of the event loop: the window
  // manager frames the window meanwhile. Everything below is done before
  // the first paint.
  std::vector<QWidget*> contents;
  for (QWidget* w : std::initializer_list<QWidget*>{drag_bar_, toolbar_, strip_,
                                                    calendar_area_}) {
    if (w->isHidden()) continue;
    w->hide();
    contents.push_back(w);
  }
  show();
  FlushDisplayRequests();
  for (QWidget* w : contents) w->show();
  FinishLauncherBox();

  // 1: the hot key (3 and 4, the activation handlers, are connected above).
  if (context_.hot_key) {
    context_.hot_key->Register(
        HotKeyChordFromSetting(settings.ReadInteger("Form", "Hotkey", 0)),
        [this] { OnHotKey(); });
  }

  // 9: today.
  today_ = TodayOf(context_.clock);
  grid_->controller()->Refresh();
  ShowDate(today_);

  bool open_preferences = false;
  if (!unreadable) {
    // 10, 11: the data folder, and the first start.
    Settings s = settings.Open();
    ForgetMissingDataFolder(s);
    if (s.ReadInteger("Horiday", "Set", 0) == 0) {
      EnsureDefaultHolidays(settings);
      Settings again = settings.Open();
      SetUpFirstDataFolder(again, context_.program_folder);
      open_preferences = true;
    }
  }

  // 13: windows asked for at start.
  if (settings.ReadBool("Form", "Today_pop", false)) {
    RunCommand(Command::kScheduleList);
  }
  if (settings.ReadBool("Form", "Todo_pop", false)) {
    RunCommand(Command::kTodoBoard);
  }

  // 14, 15: memos, under the start-up message.
  if (!startup_steps_.empty()) {
    StartupMessageWindow message(U("メモを読み込んでいます。"));
    message.ShowNow();
    for (const auto& step : startup_steps_) step();
  }

  // 16: menus of the memos and the launcher.
  if (memo_menu_builder_) memo_menu_builder_(memo_menu_);
  if (memo_menu_->isEmpty()) {
    memo_menu_->addAction(U("メモはありません"))->setEnabled(false);
  }
  if (launcher_menu_builder_) launcher_menu_builder_(launcher_menu_);
  if (launcher_menu_->isEmpty()) {
    launcher_menu_->addAction(U("登録されたプログラムはありません"))
        ->setEnabled(false);
  }

  // 17: a new version opens the preferences once.
  if (!unreadable && settings.ReadString("Qclock", "Ver", "") != kVersionText) {
    settings.WriteString("Qclock", "Ver", kVersionText);
    open_preferences = true;
  }

  // 18, 19: one tick at once, then the timer. The first tick runs once the
  // window has been painted, so that it shows without waiting for a scan of
  // the data folder. A zero or negative interval would spin the processor.
  after_first_paint_.push_back([this] { Tick(); });
  int interval = settings.ReadInteger("Form", "Interval", 1000);
  if (interval <= 0) interval = 1000;
  timer_.setInterval(interval);
  timer_.start();
  started_ = true;

  // A window that is never painted (no display to speak of) still gets its
  // ticks.
  QTimer::singleShot(500, this, &MainWindow::RunAfterFirstPaint);
  if (open_preferences) OpenPreferences();
}

void MainWindow::paintEvent(QPaintEvent* event) {
  QWidget::paintEvent(event);
  // What the start-up order left for later runs once this paint is out.
  if (!after_first_paint_.empty()) {
    QTimer::singleShot(0, this, &MainWindow::RunAfterFirstPaint);
  }
}

void MainWindow::RunAfterFirstPaint() {
  std::vector<std::function<void()>> work;
  work.swap(after_first_paint_);
  early_work_ = 0;
  for (const auto& w : work) w();
}

void MainWindow::SetUpTray() {
  Tray* tray = context_.tray;
  if (!tray) return;
  tray->SetIcon(TrayIconId::kCalendar, CalendarTrayIcon(today_.day));
  tray->SetHint(TrayIconId::kCalendar,
                "左クリック：ランチャーメニュー／右クリック：基本メニュー");
  tray->SetMenu(TrayIconId::kCalendar, main_menu_);
  tray->OnClick(TrayIconId::kCalendar,
                [this] { launcher_menu_->popup(QCursor::pos()); });
  tray->SetIcon(TrayIconId::kMemo, MemoTrayIcon());
  tray->SetHint(TrayIconId::kMemo, MemoIconHint(context_.settings->ReadInteger(
                                       "Setup", "MIcon_DBLC", 0)));
  tray->SetMenu(TrayIconId::kMemo, memo_menu_);
  connect(memo_menu_, &QMenu::aboutToShow, this, [this] {
    context_.tray->SetHint(
        TrayIconId::kMemo,
        MemoIconHint(context_.settings->ReadInteger("Setup", "MIcon_DBLC", 0)));
  });
  tray->OnDoubleClick(TrayIconId::kMemo, [this] { RunDoubleClickAction(); });
}

std::string MainWindow::MemoIconHint(int action) {
  switch (action) {
    case 1:
      return "ダブルクリック：To_do一覧／右クリック：メモメニュー";
    case 2:
      return "ダブルクリック：Popupの登録／右クリック：メモメニュー";
    case 3:
      return "ダブルクリック：To_doの登録／右クリック：メモメニュー";
    case 4:
      return "ダブルクリック：メールチェック／右クリック：メモメニュー";
    case 5:
      return "ダブルクリック：簡易電話帳／右クリック：メモメニュー";
    default:
      return "ダブルクリック：日記リスト／右クリック：メモメニュー";
  }
}

void MainWindow::RunDoubleClickAction() {
  static constexpr Command kActions[] = {
      Command::kDiaryList,      Command::kScheduleList, Command::kPopupEditor,
      Command::kScheduleEditor, Command::kMailCheck,    Command::kPhoneBook};
  const int action = context_.settings->ReadInteger("Setup", "MIcon_DBLC", 0);
  if (action >= 0 && action < 6) RunCommand(kActions[action]);
}

bool MainWindow::RequireDataFolder(std::string* folder) {
  std::string data = DataFolder(context_.settings->Open());
  if (IsNoDataFolder(data)) {
    OpenPreferences();
    return false;
  }
  if (folder) *folder = data;
  return true;
}

void MainWindow::OpenPreferences() {
  tool_windows_->OpenOrRaise(kPreferencesKey, [this]() -> QWidget* {
    PreferencesWindow::Hooks hooks;
    hooks.password_confirm = password_confirm_;
    hooks.preview_grid = [this](const GridColors& colors) {
      grid_->grid()->setColors(colors);
    };
    hooks.run_command = [this](Command command) { RunCommand(command); };
    hooks.default_popup_picture = [] { return PopupWindow::DefaultPicture(); };
    auto* dialog =
        new PreferencesWindow(context_, preferences_pages_, hooks, this);
    // New colours and switches show on the grid and the day panel; after
    // Cancel the grid's own colours come back. The grid is the receiver: a
    // dialog that goes with the main window finds no grid to refresh.
    CalendarGridPanel* grid = grid_;
    connect(dialog, &QObject::destroyed, grid, [grid] {
      grid->controller()->LoadColors();
      grid->controller()->Refresh();
    });
    return dialog;
  });
}

void MainWindow::OpenHelp() {
  const std::string folder = JoinPath(context_.program_folder, "help_html");
  const std::string file = JoinPath(folder, "index.html");
  if (!FileExists(file)) {
    context_.messages->Warning(
        "ヘルプファイルが正しくインストールされていません。", this);
    return;
  }
  if (context_.shell) context_.shell->Open(file, "", folder);
}

void MainWindow::OpenWebPage(const char* address) {
  if (context_.shell) context_.shell->OpenDocument(address);
}

void MainWindow::RequestPower(bool restart) {
  Power* power = context_.power;
  if (!power) return;
  // Asked first, without waiting: the request ends the session.
  MessageRequest question(MessageKind::kQuestion,
                          restart ? "コンピュータを再起動しますか？"
                                  : "コンピュータの電源を切りますか？",
                          MessageButtons::kYesNo, this);
  question.default_answer = MessageAnswer::kNo;
  context_.messages->Ask(question, [power, restart](MessageAnswer answer) {
    if (answer != MessageAnswer::kYes) return;
    power->Request(restart ? PowerAction::kRestart : PowerAction::kShutDown);
  });
}

void MainWindow::PlayCue(const char* name) {
  if (context_.cues) context_.cues->Play(name);
}

void MainWindow::ToggleMode() {
  PlayCue("c1");
  RefreshScreen();
  ApplyTransition(model_.ToggleMode(CurrentPosition()));
}

void MainWindow::OnHotKey() {
  PlayCue("c1");
  RefreshScreen();
  Transition t;
  if (model_.HotKey(CurrentPosition(), &t)) ApplyTransition(t);
  show();
  raise();
  activateWindow();
  launcher_box_->setFocus(Qt::OtherFocusReason);
}

void MainWindow::OnActivated() {
  application_active_ = true;
  drag_bar_->set_active(true);
}

void MainWindow::OnDeactivated() {
  application_active_ = false;
  drag_bar_->set_active(false);
  CollapseTemporaryExpansion();
}

void MainWindow::CollapseTemporaryExpansion() {
  if (applying_transition_) return;
  RefreshScreen();
  Transition t;
  if (model_.Deactivate(CurrentPosition(), &t)) ApplyTransition(t);
}

void MainWindow::OnDragBarPressed() {
  model_.RememberPosition(CurrentPosition());
}

void MainWindow::OnDragBarReleased() {
  model_.RememberPosition(CurrentPosition());
}

CivilDate MainWindow::selected_date() const { return grid_->date(); }

void MainWindow::ShowDate(const CivilDate& date) {
  grid_->setDate(date);
  year_label_->setText(QString::number(date.year));
  month_label_->setText(QString::number(date.month));
}

QString MainWindow::year_caption() const { return year_label_->text(); }
QString MainWindow::month_caption() const { return month_label_->text(); }

void MainWindow::ShowPreviousMonth() {
  ShowDate(MoveMonth(selected_date(), -1));
}

void MainWindow::ShowNextMonth() { ShowDate(MoveMonth(selected_date(), 1)); }

void MainWindow::ShowToday() {
  today_ = TodayOf(context_.clock);
  grid_->controller()->Refresh();
  ShowDate(today_);
}

bool MainWindow::moon_panel_visible() const {
  return calendar_area_->currentWidget() == moon_panel_;
}

void MainWindow::SetMoonPanelVisible(bool visible) {
  if (visible == moon_panel_visible()) return;
  if (started_) {
    PlayCue("c1");
    context_.settings->WriteBool("Form", "MoonPhase", visible);
  }
  calendar_area_->setCurrentWidget(visible ? moon_panel_ : calendar_page_);
}

bool MainWindow::toolbar_visible() const { return toolbar_->isVisible(); }
int MainWindow::strip_top() const { return strip_->y(); }

void MainWindow::SetStripText(int panel, const QString& text) {
  if (panel >= 0 && panel < 3) strip_->SetText(panel, text);
}

void MainWindow::SetStripColor(const QColor& color) {
  strip_->SetTextColor(color);
}

const QLabel* MainWindow::strip_panel(int panel) const {
  return panel >= 0 && panel < 3 ? strip_->panel(panel) : nullptr;
}

void MainWindow::Tick() {
  const CivilDate today = TodayOf(context_.clock);
  if (!(today == today_)) {
    today_ = today;
    if (context_.tray) {
      context_.tray->SetIcon(TrayIconId::kCalendar,
                             CalendarTrayIcon(today_.day));
    }
  }
  if (tick_) {
    tick_();
    return;
  }
  if (context_.clock) {
    const LocalTime now = context_.clock->Now();
    SetStripText(
        0, QString::fromStdString(FormatDatePattern("yyyy/mm/dd(aaa)", now)));
    SetStripText(1, QString::fromStdString(FormatDatePattern("hh:nn:ss", now)));
  }
}

bool MainWindow::CloseOtherWindows() {
  for (QWidget* w : QApplication::topLevelWidgets()) {
    if (w == this || !w->isWindow() || qobject_cast<QMenu*>(w)) continue;
    if (!w->isVisible() && !w->testAttribute(Qt::WA_DeleteOnClose)) continue;
    // Memos stay listed as open: their owner saves them after the others
    // have agreed to close, and they come back at the next start.
    if (w->property(kStaysOpenAtExit).toBool()) continue;
    if (!w->close()) return false;
  }
  return true;
}

void MainWindow::SetDropHandler(
    std::function<void(const QStringList&, bool, bool)> handler) {
  drop_handler_ = std::move(handler);
  setAcceptDrops(static_cast<bool>(drop_handler_));
}

void MainWindow::dragEnterEvent(QDragEnterEvent* event) {
  if (drop_handler_ && event->mimeData()->hasUrls()) {
    event->acceptProposedAction();
  }
}

void MainWindow::dropEvent(QDropEvent* event) {
  QStringList paths;
  for (const QUrl& url : event->mimeData()->urls()) {
    if (url.isLocalFile()) paths << url.toLocalFile();
  }
  const Qt::KeyboardModifiers keys = event->modifiers();
  event->acceptProposedAction();
  // Answered first: a box shown inside an X drop stalls its source.
  QMetaObject::invokeMethod(
      this,
      [this, paths, keys] {
        if (drop_handler_ && !paths.isEmpty()) {
          drop_handler_(paths, keys & Qt::ShiftModifier,
                        keys & Qt::ControlModifier);
        }
      },
      Qt::QueuedConnection);
}

void MainWindow::closeEvent(QCloseEvent* event) {
  if (closing_) {
    event->accept();
    return;
  }
  timer_.stop();
  // Every other window gets to save its work first; one that refuses (its
  // user chose to keep editing) keeps the program running.
  if (!CloseOtherWindows()) {
    event->ignore();
    timer_.start();
    return;
  }
  closing_ = true;
  repaint();
  if (context_.hot_key) context_.hot_key->Unregister();
  if (context_.tray) {
    context_.tray->SetVisible(TrayIconId::kCalendar, false);
    context_.tray->SetVisible(TrayIconId::kMemo, false);
  }
  event->accept();
  QCoreApplication::quit();
}

void MainWindow::changeEvent(QEvent* event) {
  // Another window taking the focus, even one of this program, ends a
  // temporary expansion as leaving the program does.
  if (event->type() == QEvent::ActivationChange && started_ &&
      !isActiveWindow()) {
    CollapseTemporaryExpansion();
  }
  QWidget::changeEvent(event);
}

void MainWindow::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  raise();
  activateWindow();
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
  const QEvent::Type type = event->type();
  if (type == QEvent::MouseButtonDblClick) {
    if (watched == moon_panel_) {
      SetMoonPanelVisible(false);
      return true;
    }
    if (watched == year_label_ || watched == month_label_) {
      SetMoonPanelVisible(true);
      return true;
    }
    for (int i = 0; i < 3; ++i) {
      if (watched == strip_->panel(i)) {
        RunDoubleClickAction();
        return true;
      }
    }
  }
  if (type == QEvent::ContextMenu) {
    const QPoint at = QCursor::pos();
    if (watched == strip_->panel(0)) {
      main_menu_->popup(at);
      return true;
    }
    if (watched == strip_->panel(1)) {
      memo_menu_->popup(at);
      return true;
    }
    if (watched == strip_->panel(2)) {
      launcher_menu_->popup(at);
      return true;
    }
    if (watched == calendar_area_ || watched == moon_panel_) {
      panel_menu_->popup(at);
      return true;
    }
  }
  return QWidget::eventFilter(watched, event);
}

}  // namespace mirokata
