#include "schedule/ui/schedule_editor_window.h"

#include <QAction>
#include <QCheckBox>
#include <QCloseEvent>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QTabBar>
#include <QVBoxLayout>

#include "base/weekday_names.h"
#include "platform/clock.h"
#include "platform/sound_cues.h"
#include "widgets/stored_placement.h"

namespace mirokata {
namespace {

constexpr char kSection[] = "To_do";
// The main window's width, which this window shares.
constexpr int kWindowWidth = 240;

}  // namespace

ScheduleEditorWindow::ScheduleEditorWindow(const Services& services,
                                           EditorNeighbours neighbours,
                                           const ScheduleEditorState& state,
                                           QWidget* parent)
    : QWidget(parent, Qt::Window),
      services_(services),
      neighbours_(std::move(neighbours)),
      text_(new EntryTextEdit(this)),
      state_(state),
      session_(services, this, text_, /*popup=*/false) {
  setAttribute(Qt::WA_DeleteOnClose);
  setWindowTitle(QString::fromUtf8("スケジュールの登録"));
  setAccessibleName(windowTitle());
  BuildUi();
  session_.SetChangedHandler([this] { UpdateButtons(); });
  if (services_.cues) services_.cues->Play("ope");
  PlaceAtStoredPosition(this, services_, kSection);
  SetState(state);
}

ScheduleEditorWindow::~ScheduleEditorWindow() = default;

void ScheduleEditorWindow::BuildUi() {
  setFont(EditorFont());
  // The main window's width holds every caption only with slim paddings.
  setStyleSheet("QPushButton { padding: 2px 3px; }");
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(4, 4, 4, 4);
  layout->setSpacing(3);

  auto* date_row = new QHBoxLayout;
  date_ = new DateBoxes(1900, this);
  date_row->addWidget(date_, 1);
  today_ = MakeButton(this, "今日", "今日に戻す｡");
  date_row->addWidget(today_);
  offset_ = new QLabel(this);
  offset_->setToolTip("Offs");
  offset_->setAccessibleName("Offs");
  offset_->setMinimumWidth(24);
  offset_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  date_row->addWidget(offset_);
  layout->addLayout(date_row);

  tabs_ = MakeTabs(this, 4);
  QFont small = tabs_->font();
  small.setPointSize(small.pointSize() - 1);
  tabs_->setFont(small);
  tabs_->setUsesScrollButtons(false);
  layout->addWidget(tabs_);

  auto* groups = new QHBoxLayout;
  move_group_ = MakeRadioGroup(this, "休日なら",
                               {"そのまま", "前日へ", "翌日へ"}, move_.data());
  saturday_group_ =
      MakeRadioGroup(this, "土曜日は", {"平日", "休日扱い"}, saturday_.data());
  groups->addWidget(move_group_);
  groups->addWidget(saturday_group_);
  layout->addLayout(groups);

  weeks_group_ = MakeWeekGroup(this, weeks_.data());
  layout->addWidget(weeks_group_);

  text_->setFont(QFont(QString::fromUtf8("ＭＳ ゴシック")));
  text_->setAccessibleName(QString::fromUtf8("スケジュール"));
  layout->addWidget(text_, 1);

  auto* copy_row = new QHBoxLayout;
  copy_ = MakeCopyString(this);
  copy_row->addWidget(copy_, 1);
  insert_ = MakeButton(this, "挿入", "挿入");
  copy_row->addWidget(insert_);
  layout->addLayout(copy_row);

  auto* buttons = new QHBoxLayout;
  save_ = MakeButton(this, "保存", "保存");
  save_close_ = MakeButton(this, "保存して閉じる", "保存して閉じる");
  delete_ = MakeButton(this, "削除", "削除");
  buttons->addWidget(save_);
  buttons->addWidget(save_close_);
  buttons->addWidget(delete_);
  layout->addLayout(buttons);
  setFixedWidth(kWindowWidth);
  resize(kWindowWidth, 337);

  // The window's menu: the edit items of whichever box it opens on, and
  // "閉じる".
  for (QWidget* target :
       {static_cast<QWidget*>(text_), static_cast<QWidget*>(copy_)}) {
    QMenu* menu =
        target->findChild<QMenu*>(QString(), Qt::FindDirectChildrenOnly);
    if (!menu) menu = MakeEditMenu(target, target);
    QMenu* close = menu->addMenu(QString::fromUtf8("閉じる"));
    QAction* save_exit = close->addAction(QString::fromUtf8("保存して終了"));
    QAction* delete_exit = close->addAction(QString::fromUtf8("削除して終了"));
    connect(save_exit, &QAction::triggered, this, [this] { SaveEntry(true); });
    connect(delete_exit, &QAction::triggered, this, [this] { DeleteEntry(); });
    connect(menu, &QMenu::aboutToShow, this, [this, save_exit, delete_exit] {
      save_exit->setEnabled(save_close_->isEnabled());
      delete_exit->setEnabled(delete_->isEnabled());
    });
  }

  connect(date_, &DateBoxes::Changed, this, [this] {
    ReadBoxes();
    Reevaluate();
  });
  connect(tabs_, &QTabBar::currentChanged, this, [this] {
    if (showing_) return;
    if (services_.cues) services_.cues->Play("c1");
    ReadBoxes();
    Reevaluate();
  });
  for (QAbstractButton* b : std::initializer_list<QAbstractButton*>{
           move_[0], move_[1], move_[2], saturday_[0], saturday_[1]}) {
    connect(b, &QAbstractButton::clicked, this, [this] {
      ReadBoxes();
      Reevaluate();
    });
  }
  for (QCheckBox* box : weeks_) {
    connect(box, &QAbstractButton::clicked, this, [this] {
      ReadBoxes();
      Reevaluate();
    });
  }
  connect(text_, &QTextEdit::textChanged, this, [this] {
    if (showing_ || !session_.modified()) return;
    text_->setToolTip(QString::fromUtf8("Saveしないと有効になりません｡"));
    UpdateButtons();
  });
  connect(insert_, &QPushButton::clicked, this,
          &ScheduleEditorWindow::InsertCopyString);
  connect(save_, &QPushButton::clicked, this, [this] { SaveEntry(false); });
  connect(save_close_, &QPushButton::clicked, this,
          [this] { SaveEntry(true); });
  connect(delete_, &QPushButton::clicked, this,
          &ScheduleEditorWindow::DeleteEntry);
  connect(today_, &QPushButton::clicked, this,
          &ScheduleEditorWindow::BackToToday);
}

void ScheduleEditorWindow::SetState(const ScheduleEditorState& state) {
  state_ = state;
  Reevaluate();
}

void ScheduleEditorWindow::ReadBoxes() {
  state_.date = date_->date();
  state_.tab = tabs_->currentIndex();
  state_.move = move_[1]->isChecked()   ? HolidayMove::kPrevious
                : move_[2]->isChecked() ? HolidayMove::kNext
                                        : HolidayMove::kStay;
  state_.saturday_is_holiday = saturday_[1]->isChecked();
  const bool last_was = state_.weeks.last;
  for (int i = 0; i < 5; ++i) state_.weeks.numbered[i] = weeks_[i]->isChecked();
  state_.weeks.last = weeks_[5]->isChecked();
  // Checking "最終週" clears the numbered weeks.
  if (state_.weeks.last && !last_was) state_.weeks.numbered.fill(false);
}

void ScheduleEditorWindow::Reevaluate() {
  view_ = EvaluateScheduleEditor(state_, LocaleLongWeekdayNames());
  ShowState();
  session_.Address(view_.name);
  UpdateButtons();
}

void ScheduleEditorWindow::ShowState() {
  showing_ = true;
  date_->SetDate(state_.date);
  for (int i = 0; i < 4; ++i) {
    tabs_->setTabText(i, QString::fromStdString(view_.tab_captions[i]));
  }
  tabs_->setCurrentIndex(state_.tab);
  move_[static_cast<int>(state_.move)]->setChecked(true);
  saturday_[state_.saturday_is_holiday ? 1 : 0]->setChecked(true);
  for (int i = 0; i < 5; ++i) {
    weeks_[i]->setChecked(state_.weeks.numbered[i]);
    weeks_[i]->setEnabled(view_.numbered_weeks_enabled);
  }
  weeks_[5]->setChecked(state_.weeks.last);
  move_group_->setEnabled(view_.move_enabled);
  saturday_group_->setEnabled(view_.saturday_enabled);
  weeks_group_->setEnabled(view_.weeks_enabled);
  text_->setToolTip(QString::fromStdString(view_.hint));
  copy_->setText(QString::fromStdString(view_.copy_string));
  const CivilDate today = TodayOfClock(services_.clock);
  offset_->setText(QString::number(DayNumber(state_.date) - DayNumber(today)));
  today_->setEnabled(state_.date != today);
  showing_ = false;
}

void ScheduleEditorWindow::UpdateButtons() {
  const bool can_save =
      session_.modified() && !session_.unreadable() && !session_.busy();
  save_->setEnabled(can_save);
  save_close_->setEnabled(can_save);
  delete_->setEnabled(session_.exists() && !session_.busy());
}

void ScheduleEditorWindow::SaveEntry(bool close_after) {
  if (!save_->isEnabled()) return;
  QPointer<ScheduleEditorWindow> self(this);
  session_.Save([self, close_after] {
    if (!self) return;
    self->schedule_changed_ = true;
    self->text_->setToolTip(QString::fromStdString(self->view_.hint));
    self->UpdateButtons();
    if (close_after) self->close();
  });
  UpdateButtons();
}

void ScheduleEditorWindow::DeleteEntry() {
  if (!delete_->isEnabled()) return;
  QPointer<ScheduleEditorWindow> self(this);
  session_.Delete([self] {
    if (!self) return;
    self->schedule_changed_ = true;
    self->close();
  });
  UpdateButtons();
}

void ScheduleEditorWindow::InsertCopyString() {
  text_->AppendLines(copy_->text());
}

void ScheduleEditorWindow::BackToToday() {
  state_.date = TodayOfClock(services_.clock);
  Reevaluate();
}

void ScheduleEditorWindow::closeEvent(QCloseEvent* event) {
  StorePosition(this, services_, kSection);
  if (services_.cues) services_.cues->Play("clo");
  if (schedule_changed_ && neighbours_.rebuild_schedule_list) {
    neighbours_.rebuild_schedule_list();
  }
  if (neighbours_.rebuild_manager) neighbours_.rebuild_manager();
  event->accept();
}

}  // namespace mirokata
