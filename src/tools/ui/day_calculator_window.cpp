#include "tools/ui/day_calculator_window.h"

#include <QCloseEvent>
#include <QContextMenuEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QStackedWidget>
#include <QToolButton>
#include <QVBoxLayout>

#include "platform/messages.h"
#include "platform/sound_cues.h"
#include "tools/day_calculator.h"
#include "widgets/stored_placement.h"

namespace mirokata {
namespace {

QString U(const char* text) { return QString::fromUtf8(text); }

QSpinBox* NumberBox(const char* name, int low, int high, int width) {
  auto* box = new QSpinBox;
  box->setRange(low, high);
  box->setAccessibleName(U(name));
  box->setToolTip(U(name));
  box->setButtonSymbols(QAbstractSpinBox::PlusMinus);
  box->setMinimumWidth(width);
  return box;
}

QToolButton* ToggleButton(const char* caption) {
  auto* button = new QToolButton;
  button->setText(U(caption));
  button->setAccessibleName(U(caption));
  button->setCheckable(true);
  button->setAutoExclusive(true);
  return button;
}

}  // namespace

DateTimeFieldsEdit::DateTimeFieldsEdit(const QString& name, QWidget* parent)
    : QWidget(parent) {
  setAccessibleName(name);
  auto* row = new QHBoxLayout(this);
  row->setContentsMargins(0, 0, 0, 0);
  struct Field {
    const char* name;
    int low, high, width;
    const char* unit;
  } fields[] = {{"年", 1, 9999, 64, "年"}, {"月", 1, 12, 44, "月"},
                {"日", 1, 31, 44, "日"},   {"時", 0, 23, 44, "時"},
                {"分", 0, 59, 44, "分"},   {"秒", 0, 59, 44, "秒"}};
  for (int i = 0; i < 6; ++i) {
    fields_[i] = NumberBox(fields[i].name, fields[i].low, fields[i].high,
                           fields[i].width);
    row->addWidget(fields_[i]);
    row->addWidget(new QLabel(U(fields[i].unit)));
  }
  fields_[0]->setToolTip(U("西暦で入力"));
  for (int i = 0; i < 3; ++i) {
    connect(fields_[i], &QSpinBox::valueChanged, this,
            &DateTimeFieldsEdit::FixDay);
  }
  auto* now = new QPushButton(U("今日の日付にｾｯﾄ"));
  auto* zero = new QPushButton(U("数値を0にｾｯﾄ"));
  row->addWidget(now);
  row->addWidget(zero);
  connect(now, &QPushButton::clicked, this, &DateTimeFieldsEdit::NowRequested);
  connect(zero, &QPushButton::clicked, this, &DateTimeFieldsEdit::ZeroTime);
}

void DateTimeFieldsEdit::FixDay() {
  const CivilDate date =
      ValidDate(fields_[0]->value(), fields_[1]->value(), fields_[2]->value());
  if (date.day != fields_[2]->value()) fields_[2]->setValue(date.day);
}

DateTimeFields DateTimeFieldsEdit::value() const {
  DateTimeFields t;
  t.year = fields_[0]->value();
  t.month = fields_[1]->value();
  t.day = fields_[2]->value();
  t.hour = fields_[3]->value();
  t.minute = fields_[4]->value();
  t.second = fields_[5]->value();
  return t;
}

void DateTimeFieldsEdit::SetValue(const DateTimeFields& t) {
  {
    // The day first fits the new month only once all three are set.
    const QSignalBlocker y(fields_[0]), m(fields_[1]), d(fields_[2]);
    fields_[0]->setValue(t.year);
    fields_[1]->setValue(t.month);
    fields_[2]->setValue(t.day);
  }
  FixDay();
  fields_[3]->setValue(t.hour);
  fields_[4]->setValue(t.minute);
  fields_[5]->setValue(t.second);
}

void DateTimeFieldsEdit::SetNow(const LocalTime& now) {
  SetValue(FieldsOf(now));
}

void DateTimeFieldsEdit::ZeroTime() {
  for (int i = 3; i < 6; ++i) fields_[i]->setValue(0);
}

DayCalculatorWindow::DayCalculatorWindow(const Services& services,
                                         QWidget* parent)
    : QWidget(parent, Qt::Window), services_(services) {
  setAttribute(Qt::WA_DeleteOnClose);
  setWindowTitle(U("日数計算"));
  a_ = new DateTimeFieldsEdit(U("日時A"));
  b_ = new DateTimeFieldsEdit(U("日時B"));
  for (DateTimeFieldsEdit* edit : {a_, b_}) {
    connect(edit, &DateTimeFieldsEdit::NowRequested, this, [this, edit] {
      if (services_.clock) edit->SetNow(services_.clock->Now());
    });
  }

  period_button_ = ToggleButton("～");
  period_button_->setToolTip(U("期間の日数"));
  span_button_ = ToggleButton("＋");
  span_button_->setToolTip(U("日数からその日"));
  period_button_->setChecked(true);
  connect(period_button_, &QToolButton::clicked, this, [this] {
    PlayCue("c1");
    SetMode(Mode::kPeriod);
  });
  connect(span_button_, &QToolButton::clicked, this, [this] {
    PlayCue("c1");
    SetMode(Mode::kSpan);
  });
  auto* modes = new QHBoxLayout;
  modes->addWidget(period_button_);
  modes->addWidget(span_button_);
  modes->addStretch();

  auto* span = new QWidget;
  auto* span_row = new QHBoxLayout(span);
  span_row->setContentsMargins(0, 0, 0, 0);
  const struct {
    const char* unit;
    int high;
  } units[] = {{"日", 9999999}, {"時間", 99999}, {"分", 99999}, {"秒", 99999}};
  for (int i = 0; i < 4; ++i) {
    span_[i] = NumberBox(units[i].unit, 0, units[i].high, i == 0 ? 90 : 64);
    span_row->addWidget(span_[i]);
    span_row->addWidget(new QLabel(U(units[i].unit)));
  }
  auto* zero = new QPushButton(U("数値を0にｾｯﾄ"));
  connect(zero, &QPushButton::clicked, this, [this] {
    for (QSpinBox* box : span_) box->setValue(0);
  });
  span_row->addWidget(zero);
  before_button_ = ToggleButton("前");
  after_button_ = ToggleButton("後");
  after_button_->setChecked(true);
  connect(before_button_, &QToolButton::clicked, this, [this] {
    PlayCue("c1");
    SetAfter(false);
  });
  connect(after_button_, &QToolButton::clicked, this, [this] {
    PlayCue("c1");
    SetAfter(true);
  });
  span_row->addWidget(before_button_);
  span_row->addWidget(after_button_);
  span_row->addStretch();

  second_row_ = new QStackedWidget;
  second_row_->addWidget(b_);
  second_row_->addWidget(span);

  auto* calculate = new QPushButton(U("計算"));
  calculate->setToolTip(U("計算結果を表示します"));
  connect(calculate, &QPushButton::clicked, this,
          &DayCalculatorWindow::Calculate);
  result_ = new QPlainTextEdit;
  result_->setReadOnly(true);
  result_->setAccessibleName(U("計算結果"));
  result_->setMinimumHeight(130);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(a_);
  layout->addLayout(modes);
  layout->addWidget(second_row_);
  layout->addWidget(calculate, 0, Qt::AlignLeft);
  layout->addWidget(result_);

  if (services_.clock) {
    a_->SetNow(services_.clock->Now());
    b_->SetNow(services_.clock->Now());
  }
  a_->ZeroTime();
  b_->ZeroTime();
  PlaceAtStoredPosition(this, services_, "DayCalc");
}

void DayCalculatorWindow::SetMode(Mode mode) {
  mode_ = mode;
  (mode == Mode::kPeriod ? period_button_ : span_button_)->setChecked(true);
  second_row_->setCurrentIndex(mode == Mode::kPeriod ? 0 : 1);
}

void DayCalculatorWindow::SetAfter(bool after) {
  after_ = after;
  (after ? after_button_ : before_button_)->setChecked(true);
}

void DayCalculatorWindow::SetSpan(std::int64_t days, int hours, int minutes,
                                  int seconds) {
  span_[0]->setValue(static_cast<int>(days));
  span_[1]->setValue(hours);
  span_[2]->setValue(minutes);
  span_[3]->setValue(seconds);
}

void DayCalculatorWindow::Calculate() {
  PlayCue("sav");
  result_->clear();
  const CalculationResult result =
      mode_ == Mode::kPeriod ? PeriodBetween(a_->value(), b_->value())
                             : SpanFrom(a_->value(),
                                        {span_[0]->value(), span_[1]->value(),
                                         span_[2]->value(), span_[3]->value()},
                                        after_);
  for (const std::string& line : result.lines) {
    result_->appendPlainText(QString::fromStdString(line));
  }
  if (!result.ok && services_.messages) {
    MessageRequest request(
        MessageKind::kWarning,
        "計算できませんでした。\r他の値で計算してください。");
    request.parent = this;
    request.corner_of = this;
    services_.messages->ShowNotice(request);
  }
}

QString DayCalculatorWindow::result() const { return result_->toPlainText(); }

void DayCalculatorWindow::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  if (!shown_once_) PlayCue("ope");
  shown_once_ = true;
}

void DayCalculatorWindow::closeEvent(QCloseEvent* event) {
  StorePosition(this, services_, "DayCalc");
  PlayCue("clo");
  event->accept();
}

void DayCalculatorWindow::contextMenuEvent(QContextMenuEvent* event) {
  auto* menu = new QMenu(this);
  menu->setAttribute(Qt::WA_DeleteOnClose);
  connect(menu->addAction(U("期間の日数")), &QAction::triggered, this, [this] {
    PlayCue("c1");
    SetMode(Mode::kPeriod);
  });
  connect(menu->addAction(U("日数からその日")), &QAction::triggered, this,
          [this] {
            PlayCue("c1");
            SetMode(Mode::kSpan);
          });
  menu->popup(event->globalPos());
}

void DayCalculatorWindow::PlayCue(const char* name) {
  if (services_.cues) services_.cues->Play(name);
}

}  // namespace mirokata
