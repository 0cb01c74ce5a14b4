#include "schedule/ui/schedule_list_window.h"

#include <QApplication>
#include <QCloseEvent>
#include <QCursor>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QGuiApplication>
#include <QLabel>
#include <QMenu>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QScreen>
#include <QSpinBox>
#include <QSplitter>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextEdit>
#include <QTextFrame>
#include <QTimer>
#include <QVBoxLayout>
#include <algorithm>
#include <cstdlib>
#include <utility>

#include "base/folders.h"
#include "base/settings_file.h"
#include "base/window_placement.h"
#include "platform/clock.h"
#include "platform/color/color_value.h"
#include "platform/file_io.h"
#include "platform/messages.h"
#include "platform/screen.h"
#include "platform/sound_cues.h"
#include "schedule/editor_state.h"
#include "schedule/entry_files.h"
#include "schedule/ui/entry_editor_parts.h"
#include "widgets/startup_message_window.h"
#include "widgets/stored_placement.h"

namespace mirokata {
namespace {

constexpr int kDefaultWidth = 242;
// Maximized, the list is this wide, frame included, at the main window's
// left edge and as tall as the screen allows.
constexpr int kMaximizedFrameWidth = 242;
// How long the width waits for a drag's step to settle on the desktop.
constexpr int kKeepWidthDelayMs = 150;
constexpr int kDefaultHeight = 300;
constexpr char kExportName[] = "TODOLIST.TXT";

QString U(const char* text) { return QString::fromUtf8(text); }
QString Q(const std::string& text) { return QString::fromStdString(text); }

QFont ListFont() {
  QFont font(U("ＭＳ ゴシック"));
  font.setStyleHint(QFont::Monospace);
  font.setFixedPitch(true);
  return font;
}

// A read-only pane with its text 6 pixels off the left and right edges.
class ListPaneEdit : public QTextEdit {
 public:
  ListPaneEdit() {
    setViewportMargins(6, 0, 6, 0);
    setReadOnly(true);
    setFont(ListFont());
    setLineWrapMode(QTextEdit::NoWrap);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setContextMenuPolicy(Qt::CustomContextMenu);
  }
};

QSpinBox* MakeDaysBox(QWidget* parent, const char* caption, const char* hint) {
  auto* box = new QSpinBox(parent);
  box->setRange(0, kMaxListDays);
  box->setKeyboardTracking(false);
  box->setToolTip(U(hint));
  box->setAccessibleName(U(caption));
  box->setAccessibleDescription(U(hint));
  return box;
}

QLabel* MakeCaption(QWidget* parent, const char* caption, QWidget* buddy) {
  auto* label = new QLabel(U(caption), parent);
  label->setAccessibleName(label->text());
  label->setBuddy(buddy);
  return label;
}

// Tells after each resize, once the panes have their new heights.
class ListSplitter : public QSplitter {
 public:
  explicit ListSplitter(QWidget* parent) : QSplitter(Qt::Vertical, parent) {}
  std::function<void()> resized;

 protected:
  void resizeEvent(QResizeEvent* event) override {
    QSplitter::resizeEvent(event);
    if (resized) resized();
  }
};

// The hourglass for the length of a build.
class WaitCursor {
 public:
  WaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
  ~WaitCursor() { QApplication::restoreOverrideCursor(); }
};

}  // namespace

ScheduleListWindow::ScheduleListWindow(const Services& services,
                                       ScheduleListHost host, QWidget* parent)
    // Only the system menu and its close box.
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint |
                          Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowCloseButtonHint),
      services_(services),
      host_(std::move(host)),
      ddd_names_(LocaleShortWeekdayNames()) {
  setAttribute(Qt::WA_DeleteOnClose);
  setWindowTitle(U("Schedule-List"));

  controls_ = new QWidget(this);
  controls_->setAccessibleName(U("ボタン"));
  before_ = MakeDaysBox(controls_, "日前～", "ｽｹｼﾞｭｰﾙ表示の開始日");
  after_ = MakeDaysBox(controls_, "日後", "ｽｹｼﾞｭｰﾙ表示の終了日");
  date_ = new DateBoxes(1900, controls_);
  date_->AddCaptions("年", "月", "日～");
  // The list shows no day offset. Its today button is the date row's,
  // moved to the buttons below: the dates and their captions fill the
  // main window's width.
  today_ = date_->today_button();
  date_->offset_label()->hide();
  build_ = MakeButton(controls_, "一覧", "一覧");
  popup_editor_ = MakeButton(controls_, "ﾎﾟｯﾌﾟ", "ポップアップ");
  schedule_editor_ = MakeButton(controls_, "ｽｹｼﾞｭｰﾙ", "スケジュール");

  auto* grid = new QGridLayout(controls_);
  grid->setContentsMargins(2, 2, 2, 2);
  grid->setSpacing(2);
  auto* days_row = new QHBoxLayout;
  days_row->addWidget(before_);
  days_row->addWidget(MakeCaption(controls_, "日前～", before_));
  days_row->addWidget(after_);
  days_row->addWidget(MakeCaption(controls_, "日後", after_));
  days_row->addStretch(1);
  auto* date_row = new QHBoxLayout;
  date_row->addWidget(date_);
  date_row->addStretch(1);
  auto* button_row = new QHBoxLayout;
  button_row->addWidget(today_);
  button_row->addWidget(build_);
  button_row->addWidget(popup_editor_);
  button_row->addWidget(schedule_editor_);
  grid->addLayout(days_row, 0, 0);
  grid->addLayout(date_row, 1, 0);
  grid->addLayout(button_row, 2, 0);

  auto* splitter = new ListSplitter(this);
  splitter_ = splitter;
  splitter_->setAccessibleName(U("ドラッグでサイズ変更"));
  splitter_->setChildrenCollapsible(false);
  // The bars move when they are dropped, where the rules below place them.
  splitter_->setOpaqueResize(false);
  const char* const names[] = {"過去", "本日", "今後"};
  for (int i = 0; i < 3; ++i) {
    auto* pane = new ListPaneEdit;
    pane->setAccessibleName(U(names[i]));
    splitter_->addWidget(pane);
    panes_[i] = pane;
    connect(pane, &QWidget::customContextMenuRequested, this,
            [this, pane](const QPoint& at) { ShowPaneMenu(pane, at); });
  }
  splitter_->setStretchFactor(kFuturePane, 1);

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  layout->addWidget(controls_);
  layout->addWidget(splitter_, 1);

  menu_ = new QMenu(this);
  menu_->addAction(U("コピー(&C)"), this, [this] {
    if (menu_pane_) menu_pane_->copy();
  });
  menu_->addAction(U("すべてを選択(&S)"), this, [this] {
    if (menu_pane_) menu_pane_->selectAll();
  });
  menu_->addSeparator();
  menu_->addAction(U("テキスト出力"), this, &ScheduleListWindow::Export);
  menu_->addAction(U("印刷"), this, &ScheduleListWindow::Print);
  menu_->addSeparator();
  menu_->addAction(U("閉じる"), this, &QWidget::close);

  splitter->resized = [this] {
    if (shown_once_ && FutureSqueezed(pane_heights())) PlacePanes(0, 0);
  };
  connect(splitter_, &QSplitter::splitterMoved, this,
          &ScheduleListWindow::BarDropped);
  connect(before_, &QSpinBox::valueChanged, this,
          &ScheduleListWindow::DaysChanged);
  connect(after_, &QSpinBox::valueChanged, this,
          &ScheduleListWindow::DaysChanged);
  connect(date_, &DateBoxes::Changed, this, &ScheduleListWindow::DateChanged);
  connect(today_, &QPushButton::clicked, this,
          &ScheduleListWindow::BackToToday);
  connect(build_, &QPushButton::clicked, this, &ScheduleListWindow::Build);
  connect(popup_editor_, &QPushButton::clicked, this,
          [this] { RunCommand(Command::kPopupEditor); });
  connect(schedule_editor_, &QPushButton::clicked, this,
          [this] { RunCommand(Command::kScheduleEditor); });

  const Settings s = services_.settings->Open();
  // The desktop may size the window freely, so that a drag of its left or
  // right border reaches it: the width it gives is taken back at once, the
  // border's drag becoming a move (KeepWidth).
  setMinimumWidth(1);
  keep_width_timer_ = new QTimer(this);
  keep_width_timer_->setSingleShot(true);
  keep_width_timer_->setInterval(kKeepWidthDelayMs);
  connect(keep_width_timer_, &QTimer::timeout, this,
          &ScheduleListWindow::KeepWidth);
  resize(kept_width(), std::max(120, s.ReadInteger(kScheduleListSection,
                                                   "Height", kDefaultHeight)));
  PlaceAtStoredPosition(this, services_, kScheduleListSection,
                        /*fit_contents=*/false);
  stored_past_ = s.ReadInteger(kScheduleListSection, "PastHeight", -1);
  stored_today_ = s.ReadInteger(kScheduleListSection, "TodayHeight", -1);
  const ListDays days = ReadListDays(*services_.settings);
  {
    const QSignalBlocker a(before_), b(after_);
    before_->setValue(days.before);
    after_->setValue(days.after);
  }
  SetStartDate(Today());
}

ScheduleListWindow::~ScheduleListWindow() = default;

CivilDate ScheduleListWindow::Today() const {
  return TodayOfClock(services_.clock);
}

void ScheduleListWindow::PlayCue(const char* name) {
  if (services_.cues) services_.cues->Play(name);
}

EntryFolder* ScheduleListWindow::Folder() {
  // The data folder may have been chosen anew since the last build.
  const std::string folder = DataFolder(services_.settings->Open());
  if (IsNoDataFolder(folder)) return nullptr;
  if (!folder_ || folder_->folder() != folder) {
    folder_ = std::make_unique<EntryFolder>(folder);
  }
  return folder_.get();
}

void ScheduleListWindow::RunCommand(Command command) {
  if (host_.commands) host_.commands->RunCommand(command);
}

CivilDate ScheduleListWindow::start_date() const { return date_->date(); }
int ScheduleListWindow::days_before() const { return before_->value(); }
int ScheduleListWindow::days_after() const { return after_->value(); }
bool ScheduleListWindow::build_enabled() const { return build_->isEnabled(); }
bool ScheduleListWindow::today_enabled() const { return today_->isEnabled(); }

QString ScheduleListWindow::pane_text(ListPane pane) const {
  return panes_[pane]->toPlainText();
}

void ScheduleListWindow::SetStartDate(const CivilDate& date) {
  date_->SetDate(ClampEditorDate(date, 1900));
  DateChanged();
}

void ScheduleListWindow::BackToToday() { SetStartDate(Today()); }

void ScheduleListWindow::SetDays(int before, int after) {
  before_->setValue(ClampListDays(before));
  after_->setValue(ClampListDays(after));
}

void ScheduleListWindow::DateChanged() {
  const CivilDate entered = date_->date();
  const CivilDate date = ClampEditorDate(entered, 1900);
  if (!(date == entered)) date_->SetDate(date);
  today_->setEnabled(!(date == Today()));
  build_->setEnabled(true);
}

void ScheduleListWindow::DaysChanged() { build_->setEnabled(true); }

void ScheduleListWindow::Build() {
  build_->setEnabled(false);
  // Painted at once and gone at the end: the build never waits for the
  // event loop, so nothing else runs in between.
  StartupMessageWindow message(U("スケジュールを読み込んでいます。"), this,
                               StartupMessageWindow::Kind::kBusy);
  message.ShowNow();
  const WaitCursor wait;

  list_ =
      BuildScheduleList(*services_.settings, Folder(), date_->date(),
                        before_->value(), after_->value(), Today(), ddd_names_);
  setWindowTitle(Q(list_.caption));
  for (int i = 0; i < 3; ++i) {
    QTextEdit* pane = panes_[i];
    QPalette p = pane->palette();
    p.setColor(QPalette::Text, ColorFromValue(list_.colors[i].text));
    p.setColor(QPalette::Base, ColorFromValue(list_.colors[i].back));
    pane->setPalette(p);
    pane->setPlainText(Q(ListPaneText(list_.panes[i])));
    pane->moveCursor(QTextCursor::Start);
  }
}

std::array<int, 3> ScheduleListWindow::pane_heights() const {
  const QList<int> sizes = splitter_->sizes();
  return {sizes.value(0), sizes.value(1), sizes.value(2)};
}

void ScheduleListWindow::PlacePanes(int past, int today) {
  const int handle = splitter_->handleWidth();
  const int usable = splitter_->height();
  // Heights that leave no room for the future pane give three equal panes.
  if (past < 1 || today < 1 || !Fits({past, today, 0})) {
    past = today = std::max(1, usable / 3 - handle);
  }
  splitter_->setSizes(
      {past, today, std::max(1, usable - past - today - 2 * handle)});
}

bool ScheduleListWindow::Fits(const std::array<int, 3>& heights) const {
  // The lower bar still inside the window, with room for the future pane.
  return heights[0] + heights[1] + 2 * splitter_->handleWidth() +
             panes_[kFuturePane]->minimumSizeHint().height() <=
         splitter_->height();
}

bool ScheduleListWindow::FutureSqueezed(
    const std::array<int, 3>& heights) const {
  // The splitter keeps every pane on screen by squeezing the lowest first:
  // at its least, the lower bar would have left the window.
  return heights[2] <= panes_[kFuturePane]->minimumSizeHint().height();
}

void ScheduleListWindow::BarDropped(int, int index) {
  const std::array<int, 3> h = pane_heights();
  const int handle = splitter_->handleWidth();
  const int squeezed = panes_[kTodayPane]->minimumSizeHint().height();
  if (index == 1 && h[1] <= squeezed) {
    // The upper bar pushed onto the lower one: the past pane takes half of
    // the height down to the today pane's bottom.
    const int bottom = h[0] + handle + h[1];
    const int past = std::max(1, bottom / 2 - 2);
    PlacePanes(past, std::max(1, bottom - past - handle));
  } else if ((index == 2 && h[1] <= squeezed) || FutureSqueezed(h)) {
    PlacePanes(0, 0);
  }
}

void ScheduleListWindow::ShowPaneMenu(QTextEdit* pane, const QPoint& at) {
  menu_pane_ = pane;
  menu_->popup(pane->viewport()->mapToGlobal(at));
}

QFileDialog* ScheduleListWindow::save_dialog() const { return save_dialog_; }
QPrintDialog* ScheduleListWindow::print_dialog() const { return print_dialog_; }

void ScheduleListWindow::Export() {
  if (save_dialog_) {
    save_dialog_->raise();
    return;
  }
  auto* dialog = new QFileDialog(this);
  dialog->setAttribute(Qt::WA_DeleteOnClose);
  dialog->setAcceptMode(QFileDialog::AcceptSave);
  // The overwrite question comes from this window, without waiting.
  dialog->setOption(QFileDialog::DontConfirmOverwrite);
  dialog->setNameFilters({U("Text files (*.TXT *.txt)"), U("All files (*)")});
  dialog->setDirectory(Q(services_.program_folder));
  dialog->selectFile(Q(services_.program_folder + kExportName));
  connect(dialog, &QFileDialog::fileSelected, this,
          [this](const QString& path) { ExportTo(path); });
  save_dialog_ = dialog;
  dialog->open();
}

void ScheduleListWindow::ExportTo(const QString& path) {
  const std::string file = path.toStdString();
  if (!QFileInfo::exists(path) || services_.messages == nullptr) {
    WriteExport(file);
    return;
  }
  MessageRequest request(MessageKind::kQuestion,
                         QFileInfo(path).fileName().toStdString() +
                             " は既に存在します。\r上書きしますか？",
                         MessageButtons::kYesNo, this);
  request.default_answer = MessageAnswer::kNo;
  QPointer<ScheduleListWindow> self(this);
  services_.messages->Ask(request, [self, file](MessageAnswer answer) {
    if (self && answer == MessageAnswer::kYes) self->WriteExport(file);
  });
}

void ScheduleListWindow::WriteExport(const std::string& path) {
  std::string error;
  if (WriteFileAtomic(path, ListExportBytes(list_, services_.clock->Now()),
                      PublicFileMode(), &error)) {
    PlayCue("sav");
    return;
  }
  if (services_.messages) {
    services_.messages->ShowNotice(
        {MessageKind::kError,
         "テキスト出力できませんでした。\r" + path + "\r" + error,
         MessageButtons::kOk, this});
  }
}

std::unique_ptr<QTextDocument> ScheduleListWindow::PrintDocument() const {
  auto document = std::make_unique<QTextDocument>();
  document->setDefaultFont(ListFont());
  // The panes' own colours are for the screen: white text would vanish on
  // paper.
  QTextFrameFormat frame = document->rootFrame()->frameFormat();
  frame.setBackground(Qt::white);
  document->rootFrame()->setFrameFormat(frame);
  QTextCharFormat text;
  text.setForeground(Qt::black);
  QTextCursor cursor(document.get());
  cursor.insertText(Q(ListDocumentText(list_, services_.clock->Now())), text);
  return document;
}

void ScheduleListWindow::Print() {
  if (print_dialog_) {
    print_dialog_->raise();
    return;
  }
  // The printer lives exactly as long as its dialog.
  auto* printer = new QPrinter(QPrinter::HighResolution);
  printer->setDocName(windowTitle());
  auto* dialog = new QPrintDialog(printer, this);
  dialog->setAttribute(Qt::WA_DeleteOnClose);
  connect(dialog, &QObject::destroyed, [printer] { delete printer; });
  connect(dialog, &QDialog::accepted, this,
          [this, printer] { PrintTo(printer); });
  print_dialog_ = dialog;
  dialog->open();
}

void ScheduleListWindow::PrintTo(QPrinter* printer) const {
  printer->setDocName(windowTitle());
  PrintDocument()->print(printer);
}

QRect ScheduleListWindow::MainFrame() const {
  return host_.main_frame ? host_.main_frame() : QRect();
}

int ScheduleListWindow::kept_width() const {
  if (restore_geometry_) return maximized_width_;
  const int width = MainFrame().width();
  return width > 0 ? width : kDefaultWidth;
}

bool ScheduleListWindow::Settle() {
  if (isMaximized() || width() != kept_width()) return false;
  settled_ = geometry();
  const QRect frame = frameGeometry();
  frame_margins_ = QMargins(
      settled_.left() - frame.left(), settled_.top() - frame.top(),
      frame.right() - settled_.right(), frame.bottom() - settled_.bottom());
  return true;
}

void ScheduleListWindow::moveEvent(QMoveEvent* event) {
  QWidget::moveEvent(event);
  Settle();
}

void ScheduleListWindow::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  // Maximizing is ToggleMaximized's.
  if (Settle() || isMaximized()) return;
  // Once the desktop's events of this step of the drag are in.
  keep_width_timer_->start();
}

void ScheduleListWindow::KeepWidth() {
  const int kept = kept_width();
  const QRect now = geometry();
  if (isMaximized() || now.width() == kept) return;
  // The dragged border is the one at the pointer: the left one keeps the
  // window's left edge where it went, the right one its right edge.
  const int pointer = QCursor::pos().x();
  const bool left_dragged =
      std::abs(pointer - now.left()) <= std::abs(pointer - now.right());
  // In the middle of a drag the desktop's word on the top edge can lag a
  // step behind: a drag that left the height alone left the top too.
  const int top = now.height() == settled_.height() && settled_.isValid()
                      ? settled_.top()
                      : now.top();
  setGeometry(left_dragged ? now.left() : now.right() + 1 - kept, top, kept,
              now.height());
}

void ScheduleListWindow::changeEvent(QEvent* event) {
  QWidget::changeEvent(event);
  if (event->type() == QEvent::WindowStateChange && isMaximized()) {
    // Once the desktop has done its part.
    QMetaObject::invokeMethod(this, &ScheduleListWindow::ToggleMaximized,
                              Qt::QueuedConnection);
  }
}

void ScheduleListWindow::ToggleMaximized() {
  if (!isMaximized()) return;
  // A desktop maximizes to the whole screen and then holds the window
  // there: the list takes its maximized place as a normal window instead,
  // and maximizing it there again goes back.
  setWindowState(windowState() & ~Qt::WindowMaximized);
  if (restore_geometry_) {
    const QRect back = *restore_geometry_;
    restore_geometry_.reset();
    setGeometry(back.left(), back.top(), kept_width(), back.height());
    return;
  }
  const QRect main = MainFrame();
  QRect area;
  if (services_.screen) {
    const ScreenRect a = services_.screen->AvailableGeometryAt(
        main.isValid() ? main.center().x() : x(),
        main.isValid() ? main.center().y() : y());
    area = QRect(a.x, a.y, a.width, a.height);
  } else if (const QScreen* screen = this->screen()) {
    area = screen->availableGeometry();
  }
  const QMargins& m = frame_margins_;
  restore_geometry_ = settled_.isValid() ? settled_ : geometry();
  maximized_width_ = std::max(1, kMaximizedFrameWidth - m.left() - m.right());
  setGeometry((main.isValid() ? main.left() : area.left()) + m.left(),
              area.top() + m.top(), maximized_width_,
              std::max(1, area.height() - m.top() - m.bottom()));
}

void ScheduleListWindow::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  if (!shown_once_) {
    PlayCue("ope");
    // The splitter's height once the layout has given it its own.
    layout()->activate();
    PlacePanes(stored_past_, stored_today_);
  }
  shown_once_ = true;
  // Shown by the program, not restored from an icon by the desktop.
  if (!event->spontaneous()) Build();
}

void ScheduleListWindow::closeEvent(QCloseEvent* event) {
  const std::array<int, 3> h = pane_heights();
  services_.settings->Batch([&](SettingsBatch& b) {
    WritePlacement(b, kScheduleListSection, {x(), y()});
    b.WriteInteger(kScheduleListSection, "Height", height());
    b.WriteInteger(kScheduleListSection, "PastHeight", h[0]);
    b.WriteInteger(kScheduleListSection, "TodayHeight", h[1]);
  });
  PlayCue("clo");
  event->accept();
}

}  // namespace mirokata
