#include "tools/ui/date_jump_window.h"

#include <QCloseEvent>
#include <QContextMenuEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QVBoxLayout>
#include <utility>

#include "platform/clock.h"
#include "platform/sound_cues.h"
#include "tools/day_calculator.h"
#include "widgets/stored_placement.h"

namespace mirokata {
namespace {

QString U(const char* text) { return QString::fromUtf8(text); }

}  // namespace

DateJumpWindow::DateJumpWindow(const Services& services, const CivilDate& shown,
                               std::function<void(const CivilDate&)> jump,
                               CommandHost* commands, QWidget* parent)
    : QWidget(parent, Qt::Window),
      services_(services),
      jump_(std::move(jump)),
      commands_(commands) {
  setAttribute(Qt::WA_DeleteOnClose);
  auto spin = [](const char* name, int low, int high) {
    auto* box = new QSpinBox;
    box->setRange(low, high);
    box->setAccessibleName(U(name));
    box->setToolTip(U(name));
    return box;
  };
  // The ranges keep the year in 1-9999 and the month in 1-12.
  year_ = spin("年", 1, 9999);
  month_ = spin("月", 1, 12);
  day_ = spin("日", 1, 31);
  weekday_ = new QLabel;
  weekday_->setAccessibleName(U("曜日"));
  today_ = new QPushButton(U("今日に戻す｡"));
  auto* set = new QPushButton(U("指定日にセット"));

  auto* fields = new QHBoxLayout;
  fields->addWidget(year_);
  fields->addWidget(new QLabel(U("年")));
  fields->addWidget(month_);
  fields->addWidget(new QLabel(U("月")));
  fields->addWidget(day_);
  fields->addWidget(new QLabel(U("日")));
  fields->addWidget(weekday_);
  auto* buttons = new QHBoxLayout;
  buttons->addWidget(today_);
  buttons->addWidget(set);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(fields);
  layout->addLayout(buttons);

  SetDate(shown);
  for (QSpinBox* box : {year_, month_, day_}) {
    connect(box, &QSpinBox::valueChanged, this, &DateJumpWindow::Changed);
  }
  connect(today_, &QPushButton::clicked, this, &DateJumpWindow::SetToday);
  connect(set, &QPushButton::clicked, this, &DateJumpWindow::JumpAndClose);

  PlaceAtStoredPosition(this, services_, "Jump");
}

CivilDate DateJumpWindow::Today() const {
  if (!services_.clock) return date();
  const LocalTime now = services_.clock->Now();
  return {now.year, now.month, now.day};
}

CivilDate DateJumpWindow::date() const {
  return {year_->value(), month_->value(), day_->value()};
}

void DateJumpWindow::SetDate(const CivilDate& date) {
  {
    const QSignalBlocker y(year_), m(month_), d(day_);
    year_->setValue(date.year);
    month_->setValue(date.month);
    day_->setValue(date.day);
  }
  Changed();
}

void DateJumpWindow::SetToday() { SetDate(Today()); }

void DateJumpWindow::Changed() {
  const CivilDate valid =
      ValidDate(year_->value(), month_->value(), day_->value());
  if (valid.day != day_->value()) {
    const QSignalBlocker d(day_);
    day_->setValue(valid.day);
  }
  const CivilDate today = Today();
  weekday_->setText(QString::fromStdString(WeekdayCaption(valid)));
  today_->setEnabled(!(valid == today));
  setWindowTitle(QString::fromStdString(DistanceCaption(valid, today)));
}

QString DateJumpWindow::weekday_caption() const { return weekday_->text(); }
bool DateJumpWindow::today_enabled() const { return today_->isEnabled(); }

void DateJumpWindow::JumpAndClose() {
  if (jump_) jump_(date());
  close();
}

void DateJumpWindow::JumpThen(Command command) {
  if (jump_) jump_(date());
  // After this window has gone, so that the editor opens in front.
  if (commands_) commands_->RunCommandLater(command);
  close();
}

void DateJumpWindow::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  if (!shown_once_) PlayCue("ope");
  shown_once_ = true;
}

void DateJumpWindow::closeEvent(QCloseEvent* event) {
  StorePosition(this, services_, "Jump");
  PlayCue("clo");
  event->accept();
}

void DateJumpWindow::contextMenuEvent(QContextMenuEvent* event) {
  auto* menu = new QMenu(this);
  menu->setAttribute(Qt::WA_DeleteOnClose);
  connect(menu->addAction(U("日付を本日にセット")), &QAction::triggered, this,
          &DateJumpWindow::SetToday);
  menu->addSeparator();
  const std::pair<const char*, Command> editors[] = {
      {"Popupの登録", Command::kPopupEditor},
      {"To_doの登録", Command::kTodoBoard},
      {"日記を綴る", Command::kDiaryList}};
  for (const auto& [caption, command] : editors) {
    QAction* action = menu->addAction(U(caption));
    action->setEnabled(commands_ && commands_->HasCommand(command));
    connect(action, &QAction::triggered, this,
            [this, command = command] { JumpThen(command); });
  }
  menu->addSeparator();
  QMenu* close_menu = menu->addMenu(U("閉じる"));
  connect(close_menu->addAction(U("日付をセットして終了")), &QAction::triggered,
          this, &DateJumpWindow::JumpAndClose);
  connect(close_menu->addAction(U("取り止め")), &QAction::triggered, this,
          &QWidget::close);
  menu->popup(event->globalPos());
}

void DateJumpWindow::PlayCue(const char* name) {
  if (services_.cues) services_.cues->Play(name);
}

}  // namespace mirokata
