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

  date_ = new DateBoxes(1900, this);
  layout->addWidget(date_);

  repetition_ = new RepetitionBoxes(this, 4);
  QTabBar* tabs = repetition_->tabs();
  QFont small = tabs->font();
  small.setPointSize(small.pointSize() - 1);
  tabs->setFont(small);
  tabs->setUsesScrollButtons(false);
  layout->addWidget(tabs);

  auto* groups = new QHBoxLayout;
  groups->addWidget(repetition_->move_group());
  groups->addWidget(repetition_->saturday_group());
  layout->addLayout(groups);
  layout->addWidget(repetition_->weeks_group());

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
  connect(repetition_, &RepetitionBoxes::TabChanged, this, [this] {
    if (services_.cues) services_.cues->Play("c1");
    ReadBoxes();
    Reevaluate();
  });
  connect(repetition_, &RepetitionBoxes::Changed, this, [this] {
    ReadBoxes();
    Reevaluate();
  });
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
  connect(date_->today_button(), &QPushButton::clicked, this,
          &ScheduleEditorWindow::BackToToday);
}

void ScheduleEditorWindow::SetState(const ScheduleEditorState& state) {
  state_ = state;
  Reevaluate();
}

void ScheduleEditorWindow::ReadBoxes() {
  state_.date = date_->date();
  repetition_->Read(&state_);
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
  repetition_->Show(state_, view_);
  text_->setToolTip(QString::fromStdString(view_.hint));
  copy_->setText(QString::fromStdString(view_.copy_string));
  const CivilDate today = TodayOfClock(services_.clock);
  date_->ShowOffset(today);
  date_->today_button()->setEnabled(state_.date != today);
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
  neighbours_.EditorClosed(this, services_, kSection, schedule_changed_);
  event->accept();
}

}  // namespace mirokata
