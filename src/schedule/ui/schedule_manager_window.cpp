#include "schedule/ui/schedule_manager_window.h"

#include <QAction>
#include <QCheckBox>
#include <QCloseEvent>
#include <QContextMenuEvent>
#include <QDir>
#include <QFileDialog>
#include <QGridLayout>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QSplitter>
#include <QVBoxLayout>
#include <algorithm>
#include <utility>

#include "base/date_pattern.h"
#include "base/entry_changes.h"
#include "base/folders.h"
#include "base/settings_file.h"
#include "base/window_placement.h"
#include "calendar/date_fields.h"
#include "platform/clock.h"
#include "platform/color/color_value.h"
#include "platform/file_io.h"
#include "platform/messages.h"
#include "platform/sound_cues.h"
#include "schedule/day_info.h"
#include "schedule/entry_files.h"
#include "schedule/ical_export.h"
#include "schedule/ical_import.h"
#include "schedule/todo_colors.h"
#include "schedule/ui/entry_editor_parts.h"
#include "widgets/stored_placement.h"

namespace mirokata {
namespace {

constexpr char kSection[] = "Data";
constexpr int kWidth = 270;
constexpr int kDefaultHeight = 420;
constexpr int kDefaultListHeight = 160;
constexpr char kIdleStatus[] = "スケジュールデータの一覧です。";

QString U(const char* text) { return QString::fromUtf8(text); }
QString Q(const std::string& text) { return QString::fromStdString(text); }
QColor C(ColorValue value) { return ColorFromValue(value); }

// The preview keeps its text 6 pixels off the left and right edges.
class PreviewPane : public QPlainTextEdit {
 public:
  PreviewPane() { setViewportMargins(6, 0, 6, 0); }
};

}  // namespace

ScheduleManagerWindow::ScheduleManagerWindow(const Services& services,
                                             ScheduleManagerHost host,
                                             const CivilDate& chosen_day,
                                             QWidget* parent)
    // Only the system menu and its close box.
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint |
                          Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowCloseButtonHint),
      services_(services),
      host_(std::move(host)),
      chosen_day_(chosen_day),
      ddd_names_(LocaleShortWeekdayNames()) {
  setAttribute(Qt::WA_DeleteOnClose);
  setWindowTitle(U("スケジュール管理"));

  all_ = MakeButton(this, "全て", "全てのﾃﾞｰﾀを検索します｡");
  past_ = MakeButton(this, "過去", "過去のﾃﾞｰﾀを検索します");
  date_ = MakeButton(this, "", "指定日のﾃﾞｰﾀを検索します");
  previous_ = MakeButton(this, "◀", "前日へ");
  today_ = MakeButton(this, "今日", "今日に戻す｡");
  next_ = MakeButton(this, "▶", "翌日へ");
  delete_ = MakeButton(this, "削除", "ﾃﾞｰﾀを削除します｡");
  popup_editor_ = MakeButton(this, "ﾎﾟｯﾌﾟ", "ポップアップ");
  schedule_editor_ = MakeButton(this, "ｽｹｼﾞｭｰﾙ", "スケジュール");
  for (QPushButton* b : {all_, past_, date_}) b->setCheckable(true);
  no_confirmation_ = new QCheckBox(U("削除の確認をしない。"));
  no_confirmation_->setAccessibleName(no_confirmation_->text());
  if (services_.settings->ReadInteger("Form", "Delete", 0) != 0) {
    no_confirmation_->setChecked(true);
    no_confirmation_->setEnabled(false);
  }

  button_panel_ = new QWidget;
  button_panel_->setAccessibleName(U("ボタン"));
  auto* buttons = new QGridLayout(button_panel_);
  buttons->setContentsMargins(2, 2, 2, 2);
  buttons->setSpacing(2);
  buttons->addWidget(all_, 0, 0);
  buttons->addWidget(past_, 0, 1);
  buttons->addWidget(date_, 0, 2, 1, 4);
  buttons->addWidget(previous_, 1, 0);
  buttons->addWidget(today_, 1, 1);
  buttons->addWidget(next_, 1, 2);
  buttons->addWidget(delete_, 1, 3);
  buttons->addWidget(popup_editor_, 1, 4);
  buttons->addWidget(schedule_editor_, 1, 5);
  buttons->addWidget(no_confirmation_, 2, 0, 1, 6);

  list_ = new QListWidget;
  list_->setAccessibleName(U("スケジュールデータの一覧"));
  list_->setContextMenuPolicy(Qt::NoContextMenu);
  // One line each: thousands of lines lay out without measuring each.
  list_->setUniformItemSizes(true);
  strip_ = new QLabel;
  strip_->setTextFormat(Qt::PlainText);
  strip_->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  strip_->setAutoFillBackground(true);
  strip_->setAccessibleName(U("情報"));
  preview_ = new PreviewPane;
  preview_->setReadOnly(true);
  preview_->setFont(QFont(U("ＭＳ ゴシック")));
  preview_->setAccessibleName(U("プレビュー画面"));
  preview_->setContextMenuPolicy(Qt::NoContextMenu);
  auto* lower = new QWidget;
  auto* lower_layout = new QVBoxLayout(lower);
  lower_layout->setContentsMargins(0, 0, 0, 0);
  lower_layout->setSpacing(0);
  lower_layout->addWidget(strip_);
  lower_layout->addWidget(preview_, 1);
  lower->setMinimumHeight(strip_->sizeHint().height());
  splitter_ = new QSplitter(Qt::Vertical);
  splitter_->setAccessibleName(U("ドラッグでサイズ変更"));
  splitter_->setChildrenCollapsible(false);
  splitter_->addWidget(list_);
  splitter_->addWidget(lower);
  splitter_->setStretchFactor(1, 1);

  status_ = new QLabel(U(kIdleStatus));
  status_->setTextFormat(Qt::PlainText);
  status_->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  status_->setAccessibleName(U("ステータス"));

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  layout->addWidget(button_panel_);
  layout->addWidget(splitter_, 1);
  layout->addWidget(status_);

  menu_ = new QMenu(this);
  past_action_ =
      menu_->addAction(U("過去の一覧"), this, &ScheduleManagerWindow::ShowPast);
  all_action_ =
      menu_->addAction(U("全ての一覧"), this, &ScheduleManagerWindow::ShowAll);
  day_action_ =
      menu_->addAction(QString(), this, &ScheduleManagerWindow::ShowChosenDay);
  for (QAction* a : {past_action_, all_action_, day_action_}) {
    a->setCheckable(true);
  }
  menu_->addSeparator();
  edit_action_ =
      menu_->addAction(U("修正"), this, &ScheduleManagerWindow::EditSelected);
  edit_action_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_E));
  delete_action_ =
      menu_->addAction(U("削除"), this, &ScheduleManagerWindow::DeleteSelected);
  delete_action_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_D));
  menu_->addSeparator();
  menu_->addAction(U("iCalendarから読み込む"), this,
                   &ScheduleManagerWindow::ImportIcalendar);
  menu_->addAction(U("iCalendarに書き出す"), this,
                   &ScheduleManagerWindow::ExportIcalendar);
  menu_->addSeparator();
  menu_->addAction(U("閉じる(&C)"), this, &QWidget::close);
  // The shortcuts work without the menu open.
  addAction(edit_action_);
  addAction(delete_action_);

  connect(all_, &QPushButton::clicked, this, &ScheduleManagerWindow::ShowAll);
  connect(past_, &QPushButton::clicked, this, &ScheduleManagerWindow::ShowPast);
  connect(date_, &QPushButton::clicked, this,
          &ScheduleManagerWindow::ShowChosenDay);
  connect(previous_, &QPushButton::clicked, this,
          &ScheduleManagerWindow::PreviousDay);
  connect(today_, &QPushButton::clicked, this,
          &ScheduleManagerWindow::BackToToday);
  connect(next_, &QPushButton::clicked, this, &ScheduleManagerWindow::NextDay);
  connect(delete_, &QPushButton::clicked, this,
          &ScheduleManagerWindow::DeleteSelected);
  connect(popup_editor_, &QPushButton::clicked, this, [this] {
    if (host_.open_popup_editor) host_.open_popup_editor(chosen_day_);
  });
  connect(schedule_editor_, &QPushButton::clicked, this, [this] {
    if (host_.open_schedule_editor) host_.open_schedule_editor(chosen_day_);
  });
  connect(list_, &QListWidget::currentRowChanged, this,
          &ScheduleManagerWindow::ShowLine);
  connect(list_, &QListWidget::itemDoubleClicked, this,
          &ScheduleManagerWindow::EditSelected);

  for (QWidget* w : std::initializer_list<QWidget*>{
           splitter_->handle(1), preview_, preview_->viewport(), delete_, past_,
           all_, date_, next_, today_, previous_, button_panel_, strip_,
           status_}) {
    w->setMouseTracking(true);
    w->installEventFilter(this);
  }

  const Settings s = services_.settings->Open();
  setFixedWidth(kWidth);
  resize(kWidth,
         std::max(120, s.ReadInteger(kSection, "Height", kDefaultHeight)));
  PlaceAtStoredPosition(this, services_, kSection, /*fit_contents=*/false);
  list_height_ = s.ReadInteger(kSection, "LHeight", kDefaultListHeight);
  SetChosenDay(chosen_day_);
}

ScheduleManagerWindow::~ScheduleManagerWindow() = default;

CivilDate ScheduleManagerWindow::Today() const {
  const LocalTime now = services_.clock->Now();
  return {now.year, now.month, now.day};
}

EntryFolder& ScheduleManagerWindow::Folder() {
  // The data folder may have been chosen anew since the last look.
  const std::string folder = DataFolder(services_.settings->Open());
  if (!folder_ || folder_->folder() != folder) {
    folder_ = std::make_unique<EntryFolder>(folder);
  }
  return *folder_;
}

void ScheduleManagerWindow::PlayCue(const char* name) {
  if (services_.cues) services_.cues->Play(name);
}

void ScheduleManagerWindow::PlaceSplitter(int list_height) {
  // A list so tall that the strip would leave the window takes half.
  const int total = std::max(splitter_->height(),
                             height() - button_panel_->sizeHint().height() -
                                 status_->sizeHint().height());
  const int strip = strip_->sizeHint().height();
  if (list_height < 1 ||
      list_height + splitter_->handleWidth() + strip > total) {
    list_height = total / 2;
  }
  splitter_->setSizes({list_height, std::max(strip, total - list_height)});
}

int ScheduleManagerWindow::ListHeight() const {
  const QList<int> sizes = splitter_->sizes();
  return sizes.isEmpty() ? list_->height() : sizes.front();
}

void ScheduleManagerWindow::SetChosenDay(const CivilDate& day) {
  chosen_day_ = day;
  ShowDay();
  Build(ManagerMode::kChosenDay, false);
}

void ScheduleManagerWindow::ShowDay() {
  const DateTimeFields f = FieldsOfDate(chosen_day_);
  const QString caption =
      Q(FormatDatePattern("yyyy\"/\"mm\"/\"dd\"(\"ddd\")\"", f, ddd_names_));
  date_->setText(caption);
  day_action_->setText(caption);
  today_->setEnabled(!(chosen_day_ == Today()));
}

QString ScheduleManagerWindow::date_caption() const { return date_->text(); }

void ScheduleManagerWindow::Rebuild() { Build(mode_, true); }
void ScheduleManagerWindow::ShowAll() { Build(ManagerMode::kAll, false); }
void ScheduleManagerWindow::ShowPast() { Build(ManagerMode::kPast, false); }
void ScheduleManagerWindow::ShowChosenDay() {
  Build(ManagerMode::kChosenDay, false);
}

void ScheduleManagerWindow::PreviousDay() {
  SetChosenDay(CivilDateOf(DayNumber(chosen_day_) - 1));
}
void ScheduleManagerWindow::NextDay() {
  SetChosenDay(CivilDateOf(DayNumber(chosen_day_) + 1));
}
void ScheduleManagerWindow::BackToToday() { SetChosenDay(Today()); }

void ScheduleManagerWindow::Build(ManagerMode mode, bool keep_selection) {
  const std::string keep = keep_selection ? selected_name_ : std::string();
  PlayCue("c1");
  mode_ = mode;
  all_->setChecked(mode == ManagerMode::kAll);
  past_->setChecked(mode == ManagerMode::kPast);
  date_->setChecked(mode == ManagerMode::kChosenDay);
  all_action_->setChecked(mode == ManagerMode::kAll);
  past_action_->setChecked(mode == ManagerMode::kPast);
  day_action_->setChecked(mode == ManagerMode::kChosenDay);
  SetStrip({}, Qt::black);
  lines_ =
      BuildManagerLines(Folder(), mode, services_.clock->Now(), chosen_day_);
  FillList();

  // The list's text and its highlight in the mode's colour.
  const QColor color = C(mode == ManagerMode::kAll    ? kClGreen
                         : mode == ManagerMode::kPast ? kClRed
                                                      : kClBlue);
  QPalette p = list_->palette();
  p.setColor(QPalette::Text, color);
  p.setColor(QPalette::Highlight, color);
  p.setColor(QPalette::HighlightedText, Qt::white);
  list_->setPalette(p);

  if (lines_.empty()) {
    const char* empty = mode == ManagerMode::kAll ? "ｽｹｼﾞｭｰﾙはありません｡"
                        : mode == ManagerMode::kPast
                            ? "過去のｽｹｼﾞｭｰﾙはありません｡"
                            : "この日のｽｹｼﾞｭｰﾙはありません｡";
    SetStrip(U(empty), C(mode == ManagerMode::kAll ? kClGreen : kClBlue));
    return;
  }
  int row = 0;
  for (size_t i = 0; i < lines_.size() && !keep.empty(); ++i) {
    if (lines_[i].name == keep) row = int(i);
  }
  SelectRow(row);
}

void ScheduleManagerWindow::FillList() {
  const QSignalBlocker quiet(list_);
  list_->clear();
  QStringList texts;
  texts.reserve(qsizetype(lines_.size()));
  for (const ManagerLine& line : lines_) texts.append(Q(line.text));
  list_->addItems(texts);
  list_->setCurrentRow(-1);
  ClearSelection();
}

void ScheduleManagerWindow::ClearSelection() {
  selected_name_.clear();
  selected_path_.clear();
  preview_->clear();
  delete_->setEnabled(false);
  delete_action_->setEnabled(false);
  edit_action_->setEnabled(false);
}

int ScheduleManagerWindow::current_row() const { return list_->currentRow(); }

void ScheduleManagerWindow::SelectRow(int row) {
  if (row == list_->currentRow()) {
    ShowLine(row);
  } else {
    list_->setCurrentRow(row);
  }
}

void ScheduleManagerWindow::SetStrip(const QString& text, const QColor& color) {
  strip_->setText(text);
  QPalette p = strip_->palette();
  p.setColor(QPalette::WindowText, color);
  strip_->setPalette(p);
}

QString ScheduleManagerWindow::strip_text() const { return strip_->text(); }
QColor ScheduleManagerWindow::strip_color() const {
  return strip_->palette().color(QPalette::WindowText);
}
QString ScheduleManagerWindow::preview_text() const {
  return preview_->toPlainText();
}
QString ScheduleManagerWindow::status_text() const { return status_->text(); }

void ScheduleManagerWindow::ShowLine(int row) {
  if (row < 0 || row >= int(lines_.size())) {
    ClearSelection();
    return;
  }
  const ManagerLine& line = lines_[row];
  EntryFolder& folder = Folder();
  selected_name_ = line.name;
  selected_path_ = folder.FullPath(line.name);
  delete_->setEnabled(true);
  delete_action_->setEnabled(true);
  edit_action_->setEnabled(true);

  QColor text_color = Qt::black;
  QColor back_color = Qt::white;
  if (line.date) {
    DateTimeFields f = FieldsOfDate(*line.date);
    std::string text = FormatDatePattern("yy\"年\"m\"月\"d\"日\"(aaa)", f);
    if (line.hhnn >= 0) {
      f.hour = line.hhnn / 100;
      f.minute = line.hhnn % 100;
      text += FormatDatePattern(" h\"時\"n\"分\"", f);
    }
    SetStrip(Q(text), C(f.weekday == 1   ? kClRed
                        : f.weekday == 7 ? kClFuchsia
                                         : kClBlue));
    const DayInfoColors colors = ReadDayInfoColors(
        *services_.settings, DayNumber(*line.date) - DayNumber(Today()));
    text_color = C(colors.text);
    back_color = C(colors.back);
  } else {
    const QString description = Q(std::string(line.description()));
    SetStrip(description, C(description.startsWith(U("日"))   ? kClRed
                            : description.startsWith(U("土")) ? kClFuchsia
                                                              : kClBlue));
  }
  QPalette p = preview_->palette();
  p.setColor(QPalette::Text, text_color);
  p.setColor(QPalette::Base, back_color);
  preview_->setPalette(p);
  preview_->setPlainText(
      Q(ManagerPreviewText(folder, line.name)).replace(U("\r\n"), U("\n")));
  status_->setText(Q(line.name));
}

void ScheduleManagerWindow::EditSelected() {
  if (asking_) return;
  const int row = list_->currentRow();
  if (row < 0 || row >= int(lines_.size())) return;
  changed_ = true;
  if (!host_.open_entry || !host_.open_entry(lines_[row].name)) {
    if (services_.messages) services_.messages->Beep(MessageKind::kWarning);
  }
}

void ScheduleManagerWindow::SetNoConfirmation(bool on) {
  if (no_confirmation_->isEnabled()) no_confirmation_->setChecked(on);
}

void ScheduleManagerWindow::DeleteSelected() {
  if (asking_ || selected_name_.empty()) return;
  // The name asked about, whatever is selected when the answer comes.
  const std::string name = selected_name_;
  if (!Folder().Exists(name)) return;
  if (no_confirmation_->isChecked() || services_.messages == nullptr) {
    DeleteEntry(name);
    return;
  }
  MessageRequest request(MessageKind::kQuestion, "削除しますか？",
                         MessageButtons::kYesNo, this);
  request.corner_of = this;
  // The window's controls, not the window: the question box is its child.
  asking_ = true;
  button_panel_->setEnabled(false);
  splitter_->setEnabled(false);
  QPointer<ScheduleManagerWindow> self(this);
  services_.messages->Ask(request, [self, name](MessageAnswer answer) {
    if (!self) return;
    self->asking_ = false;
    self->button_panel_->setEnabled(true);
    self->splitter_->setEnabled(true);
    if (answer == MessageAnswer::kYes) self->DeleteEntry(name);
  });
}

void ScheduleManagerWindow::DeleteEntry(const std::string& name) {
  EntryFolder& folder = Folder();
  std::string error;
  const bool deleted = folder.Delete(name, services_.settings, &error);
  // Whatever happened, a line stays exactly while its file does.
  const std::string selected = selected_name_;
  const size_t before = lines_.size();
  std::erase_if(lines_, [&](const ManagerLine& line) {
    return !folder.Exists(line.name);
  });
  if (lines_.size() != before) {
    changed_ = true;
    FillList();
    if (services_.entry_changes) services_.entry_changes->Notify();
  }
  if (!deleted) {
    // The entry is still there: say so rather than pretend.
    for (size_t i = 0; i < lines_.size(); ++i) {
      if (lines_[i].name == selected) SelectRow(int(i));
    }
    if (services_.messages) {
      services_.messages->ShowNotice({MessageKind::kError,
                                      "削除できませんでした。\r" + error,
                                      MessageButtons::kOk, this});
    }
    return;
  }
  PlayCue("del");
  SetStrip(U("ｽｹｼﾞｭｰﾙを削除しました｡"), strip_color());
}

namespace {

constexpr char kIcalFilter[] = "iCalendar (*.ics *.ICS)";
// How many skipped events the result box names; the rest are counted.
constexpr size_t kProblemsShown = 10;

void OpenIcalDialog(QWidget* parent, QFileDialog::AcceptMode mode,
                    const QString& start,
                    std::function<void(const QString&)> chosen) {
  auto* dialog = new QFileDialog(parent, QString(), start, U(kIcalFilter));
  dialog->setAttribute(Qt::WA_DeleteOnClose);
  dialog->setAcceptMode(mode);
  if (mode == QFileDialog::AcceptSave) {
    dialog->setDefaultSuffix("ics");
    dialog->selectFile(start);
  } else {
    dialog->setFileMode(QFileDialog::ExistingFile);
  }
  QObject::connect(dialog, &QFileDialog::fileSelected, parent,
                   std::move(chosen));
  dialog->open();
}

}  // namespace

void ScheduleManagerWindow::ImportIcalendar() {
  QPointer<ScheduleManagerWindow> self(this);
  OpenIcalDialog(this, QFileDialog::AcceptOpen, QDir::homePath(),
                 [self](const QString& path) {
                   if (self) self->ImportIcalendarFile(path);
                 });
}

void ScheduleManagerWindow::ExportIcalendar() {
  QPointer<ScheduleManagerWindow> self(this);
  OpenIcalDialog(this, QFileDialog::AcceptSave,
                 QDir::home().filePath("mirokata.ics"),
                 [self](const QString& path) {
                   if (self) self->ExportIcalendarFile(path);
                 });
}

void ScheduleManagerWindow::ImportIcalendarFile(const QString& path) {
  std::string text;
  const ReadResult read =
      ReadFileHead(path.toStdString(), kMaxIcalFileBytes + 1, &text);
  MessageRequest box(MessageKind::kInformation, "", MessageButtons::kOk, this);
  box.corner_of = this;
  if (read != ReadResult::kOk || text.size() > kMaxIcalFileBytes) {
    box.kind = MessageKind::kError;
    box.text = "読み込めませんでした。\r" + path.toStdString();
    services_.messages->ShowNotice(box);
    return;
  }
  const IcalImportResult result =
      ImportIcal(text, Folder(), SystemTimeZoneName(), /*dry_run=*/false);
  if (!result.readable) {
    box.kind = MessageKind::kError;
    box.text = "iCalendarとして読めませんでした。\r" + result.error;
    services_.messages->ShowNotice(box);
    return;
  }
  box.text = std::to_string(result.imported.size()) + "件を読み込みました。";
  if (!result.problems.empty()) {
    box.kind = MessageKind::kWarning;
    box.text += "\r" + std::to_string(result.problems.size()) +
                "件は読み込みませんでした。";
    for (size_t i = 0; i < result.problems.size() && i < kProblemsShown; ++i) {
      box.text += "\r" + result.problems[i];
    }
  }
  if (!result.imported.empty()) {
    changed_ = true;
    Rebuild();
    if (services_.entry_changes) services_.entry_changes->Notify();
  }
  services_.messages->ShowNotice(box);
}

void ScheduleManagerWindow::ExportIcalendarFile(const QString& path) {
  const LocalTime now = services_.clock->Now();
  const IcalExportOptions options =
      IcalExportOptionsFor(*services_.settings, Folder().folder(),
                           {now.year, now.month, now.day}, now.unix_seconds);
  const std::string text =
      ExportIcal(Folder(), CachedHolidayTest(*services_.settings), options);
  size_t events = 0;
  for (size_t at = text.find("BEGIN:VEVENT"); at != std::string::npos;
       at = text.find("BEGIN:VEVENT", at + 1)) {
    ++events;
  }
  std::string error;
  MessageRequest box(MessageKind::kInformation, "", MessageButtons::kOk, this);
  box.corner_of = this;
  if (WriteFileAtomic(path.toStdString(), text, PublicFileMode(), &error)) {
    box.text =
        std::to_string(events) + "件を書き出しました。\r" + path.toStdString();
  } else {
    box.kind = MessageKind::kError;
    box.text = "書き出せませんでした。\r" + error;
  }
  services_.messages->ShowNotice(box);
}

void ScheduleManagerWindow::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  if (!shown_once_) {
    PlayCue("ope");
    // The list's height once the layout has given the splitter its own.
    layout()->activate();
    PlaceSplitter(list_height_);
  }
  shown_once_ = true;
}

void ScheduleManagerWindow::closeEvent(QCloseEvent* event) {
  services_.settings->Batch([&](SettingsBatch& b) {
    WritePlacement(b, kSection, {x(), y()});
    b.WriteInteger(kSection, "Height", height());
    b.WriteInteger(kSection, "LHeight", ListHeight());
  });
  PlayCue("clo");
  if (changed_ && host_.rebuild_schedule_list) host_.rebuild_schedule_list();
  event->accept();
}

void ScheduleManagerWindow::contextMenuEvent(QContextMenuEvent* event) {
  if (!asking_) menu_->popup(event->globalPos());
}

bool ScheduleManagerWindow::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::Enter || event->type() == QEvent::MouseMove) {
    const std::pair<const QObject*, const char*> hints[] = {
        {splitter_->handle(1), "ドラッグでサイズ変更"},
        {preview_, "プレビュー画面"},
        {preview_->viewport(), "プレビュー画面"},
        {delete_, "データの削除"},
        {past_, "過去のデータを一覧表示"},
        {all_, "全てのデータを一覧表示"},
        {date_, "選択日のデータを一覧表示"},
        {next_, "選択日を翌日に移動"},
        {today_, "選択日を今日に移動"},
        {previous_, "選択日を前日に移動"},
    };
    // The button panel, the strip and the status bar say what the window is.
    const char* text = kIdleStatus;
    for (const auto& [widget, hint] : hints) {
      if (watched == widget) text = hint;
    }
    if (status_->text() != U(text)) status_->setText(U(text));
  }
  return QWidget::eventFilter(watched, event);
}

}  // namespace mirokata
