#include "tools/ui/period_window.h"

#include <QApplication>
#include <QCloseEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QStatusBar>
#include <QVBoxLayout>

#include "base/folders.h"
#include "base/settings_file.h"
#include "platform/messages.h"
#include "platform/sound_cues.h"
#include "tools/day_calculator.h"
#include "widgets/accessible_controls.h"
#include "widgets/startup_message_window.h"
#include "widgets/stored_placement.h"

namespace mirokata {
namespace {

QString U(const std::string& text) { return QString::fromStdString(text); }
QString U(const char* text) { return QString::fromUtf8(text); }

constexpr char kPlacementSection[] = "Peri";
constexpr char kListHint[] = "過去のリスト";
constexpr char kCycleHint[] = "周期を指定";
constexpr char kDetailHint[] = "ｸﾘｯｸで詳細表示";
constexpr char kReferenceHint[] = "あくまでも参考値です｡";

void Fill(QListWidget* list, const std::vector<std::string>& lines) {
  const QSignalBlocker block(list);
  list->clear();
  for (const std::string& line : lines) list->addItem(U(line));
}

}  // namespace

PeriodWindow::PeriodWindow(const Services& services, const std::string& folder,
                           const CivilDate& entered, QWidget* parent)
    : QWidget(parent),
      services_(services),
      tracker_(*services.settings, folder) {
  setAttribute(Qt::WA_DeleteOnClose);
  setWindowTitle(U("Period"));
  setAccessibleName(U("Period"));
  if (services_.cues) services_.cues->Play("ope");
  QApplication::setOverrideCursor(Qt::WaitCursor);
  StartupMessageWindow busy(U("登録データを読み込んでいます。"), nullptr,
                            StartupMessageWindow::Kind::kBusy);
  busy.ShowNow();

  Messages* messages = services_.messages;
  tracker_.file().SetProblemReporter([messages](const std::string& text) {
    MessageRequest request(MessageKind::kWarning, text);
    messages->ShowNotice(request);
  });

  // The recorded dates and the date being entered.
  recorded_ = Named(new QListWidget, kListHint);
  recorded_->setMinimumWidth(120);
  const char* units[] = {"年", "月", "日"};
  auto* date_row = new QHBoxLayout;
  date_fields_[0] = NamedNumberBox("年", 1, 9999);
  date_fields_[1] = NamedNumberBox("月", 1, 12);
  date_fields_[2] = NamedNumberBox("日", 1, 31);
  for (int i = 0; i < 3; ++i) {
    date_row->addWidget(date_fields_[i]);
    date_row->addWidget(new QLabel(U(units[i])));
    connect(date_fields_[i], &QSpinBox::valueChanged, this,
            &PeriodWindow::FixEnteredDay);
  }
  auto* today = NamedButton("今日に戻す｡", "今日に戻す｡");
  auto* add = NamedButton("追加", "あの日をリストに追加");
  delete_button_ = NamedButton("削除", "あの日をリストから削除");
  auto* buttons = new QHBoxLayout;
  buttons->addWidget(today);
  buttons->addWidget(add);
  buttons->addWidget(delete_button_);
  memo_label_ = new QLabel(U("一行メモ："));
  memo_ = Named(new QLineEdit, "一行メモ");
  memo_label_->setBuddy(memo_);
  auto* record_box = new QGroupBox(U("あの日"));
  auto* record_layout = new QVBoxLayout(record_box);
  record_layout->addWidget(recorded_, 1);
  record_layout->addLayout(date_row);
  record_layout->addLayout(buttons);
  record_layout->addWidget(memo_label_);
  record_layout->addWidget(memo_);

  // The cycle lengths and the two prediction lists.
  auto* cycle_box = new QGroupBox(U("周期"));
  auto* cycle_layout = new QGridLayout(cycle_box);
  const char* cycle_names[] = {"共通", "右", "左"};
  auto* digits = new QRegularExpressionValidator(
      QRegularExpression(QStringLiteral("[0-9]{0,3}")), this);
  auto* fields_row = new QHBoxLayout;
  for (int i = 0; i < 3; ++i) {
    cycle_fields_[i] = Named(new QLineEdit, cycle_names[i], kCycleHint);
    cycle_fields_[i]->setMaxLength(3);
    cycle_fields_[i]->setValidator(digits);
    cycle_fields_[i]->setFixedWidth(44);
    fields_row->addWidget(new QLabel(U(cycle_names[i])));
    fields_row->addWidget(cycle_fields_[i]);
    fields_row->addWidget(new QLabel(U("日")));
    connect(cycle_fields_[i], &QLineEdit::textEdited, this,
            &PeriodWindow::CyclesTyped);
    connect(cycle_fields_[i], &QLineEdit::editingFinished, this,
            [this, i] { CycleFieldFinished(i); });
  }
  fields_row->addStretch(1);
  cycle_layout->addLayout(fields_row, 0, 0, 1, 2);
  const char* list_names[] = {"予定 (共通)", "予定 (左右を意識)"};
  for (int i = 0; i < 2; ++i) {
    cycle_layout->addWidget(new QLabel(U(list_names[i])), 1, i);
    predictions_[i] = Named(new QListWidget, list_names[i], kDetailHint);
    predictions_[i]->setMinimumWidth(130);
    cycle_layout->addWidget(predictions_[i], 2, i);
    connect(predictions_[i], &QListWidget::currentRowChanged, this,
            [this, i](int row) { ShowDetail(i, row); });
  }

  // The days of the chosen predicted cycles.
  auto* details = new QHBoxLayout;
  for (int i = 0; i < 2; ++i) {
    detail_frames_[i] = new QGroupBox;
    details_[i] = Named(new QListWidget, list_names[i], kReferenceHint);
    details_[i]->setAccessibleName(U(std::string(list_names[i]) + "の詳細"));
    details_[i]->setMinimumWidth(220);
    auto* frame_layout = new QVBoxLayout(detail_frames_[i]);
    frame_layout->addWidget(details_[i]);
    details->addWidget(detail_frames_[i]);
  }

  days_ = NamedNumberBox("生理中の期間", 1, kMaxPeriodDays);
  auto* days_row = new QHBoxLayout;
  days_row->addWidget(new QLabel(U("生理中の期間を")));
  days_row->addWidget(days_);
  days_row->addWidget(new QLabel(U("日間として計算する。")));
  days_row->addStretch(1);
  auto* reference = new QLabel(U(kReferenceHint));
  reference->setToolTip(U(kReferenceHint));
  days_row->addWidget(reference);

  status_ = new QStatusBar;
  status_->setSizeGripEnabled(false);
  status_->setAccessibleName(U("状態"));

  auto* top = new QHBoxLayout;
  top->addWidget(record_box);
  top->addWidget(cycle_box);
  top->addLayout(details, 1);
  auto* root = new QVBoxLayout(this);
  root->addLayout(top, 1);
  root->addLayout(days_row);
  root->addWidget(status_);

  connect(recorded_, &QListWidget::currentRowChanged, this,
          &PeriodWindow::SelectRecorded);
  connect(today, &QPushButton::clicked, this, [this] {
    const LocalTime now = services_.clock->Now();
    SetEntered(CivilDate{now.year, now.month, now.day});
  });
  connect(add, &QPushButton::clicked, this, &PeriodWindow::Add);
  connect(delete_button_, &QPushButton::clicked, this,
          &PeriodWindow::DeleteSelected);
  connect(memo_, &QLineEdit::textEdited, this, &PeriodWindow::MemoTyped);
  connect(days_, &QSpinBox::valueChanged, this, [this](int days) {
    tracker_.SetPeriodDays(days);
    for (int i = 0; i < 2; ++i) ShowDetail(i, predictions_[i]->currentRow());
  });

  SetEntered(entered);
  tracker_.Load();
  {
    const QSignalBlocker block(days_);
    days_->setValue(tracker_.period_days());
  }
  FillRecorded();
  FillCycleFields();
  FillPredictions();
  PlaceAtStoredPosition(this, services_, kPlacementSection);
  busy.close();
  QApplication::restoreOverrideCursor();
}

PeriodWindow::~PeriodWindow() = default;

CivilDate PeriodWindow::entered() const {
  return CivilDate{date_fields_[0]->value(), date_fields_[1]->value(),
                   date_fields_[2]->value()};
}

void PeriodWindow::SetEntered(const CivilDate& date) {
  const CivilDate valid = ValidDate(date.year, date.month, date.day);
  for (QSpinBox* field : date_fields_) field->blockSignals(true);
  date_fields_[0]->setValue(valid.year);
  date_fields_[1]->setValue(valid.month);
  date_fields_[2]->setValue(valid.day);
  for (QSpinBox* field : date_fields_) field->blockSignals(false);
}

void PeriodWindow::FixEnteredDay() {
  const CivilDate typed = entered();
  const CivilDate valid = ValidDate(typed.year, typed.month, typed.day);
  if (!(valid == typed)) SetEntered(valid);
}

void PeriodWindow::Add() {
  if (services_.cues) services_.cues->Play("sav");
  if (!tracker_.Add(entered())) return;
  FillRecorded();
  FillCycleFields();
  FillPredictions();
}

void PeriodWindow::DeleteSelected() {
  if (selected_ < 0 || asking_) return;
  const CivilDate date = tracker_.dates()[size_t(selected_)];
  MessageRequest place;
  place.corner_of = this;
  asking_ = true;
  const std::weak_ptr<bool> alive = alive_;
  ConfirmDeleteLater(*services_.settings, *services_.messages, place, {},
                     [this, alive, date](bool go_on) {
                       if (alive.expired()) return;
                       asking_ = false;
                       if (!go_on || !tracker_.Remove(date)) return;
                       if (services_.cues) services_.cues->Play("del");
                       FillRecorded();
                       FillCycleFields();
                       FillPredictions();
                     });
}

void PeriodWindow::FillRecorded() {
  std::vector<std::string> lines;
  for (const CivilDate& date : tracker_.dates()) {
    lines.push_back(SlashDateText(date));
  }
  Fill(recorded_, lines);
  const int last = int(lines.size()) - 1;
  {
    const QSignalBlocker block(recorded_);
    recorded_->setCurrentRow(last);
  }
  if (last >= 0) recorded_->scrollToItem(recorded_->item(last));
  SelectRecorded(last);
}

void PeriodWindow::SelectRecorded(int row) {
  const auto& dates = tracker_.dates();
  selected_ = row >= 0 && size_t(row) < dates.size() ? row : -1;
  delete_button_->setEnabled(selected_ >= 0);
  memo_->setEnabled(selected_ >= 0);
  const QSignalBlocker block(memo_);
  if (selected_ < 0) {
    memo_label_->setText(U("一行メモ："));
    memo_->clear();
    status_->showMessage(U(kEmptyPeriodStatus));
    return;
  }
  const CivilDate& date = dates[size_t(selected_)];
  memo_label_->setText(U(SlashDateText(date) + "のメモ："));
  memo_->setText(U(tracker_.Comment(date)));
  SetEntered(date);
  status_->showMessage(U(CycleStatus(dates, size_t(selected_))));
}

void PeriodWindow::MemoTyped(const QString& text) {
  if (selected_ < 0) return;
  tracker_.SetComment(tracker_.dates()[size_t(selected_)], text.toStdString());
}

void PeriodWindow::FillCycleFields() {
  const Cycles& c = tracker_.cycles();
  const int values[] = {c.common, c.alternate_a, c.alternate_b};
  for (int i = 0; i < 3; ++i) {
    const QSignalBlocker block(cycle_fields_[i]);
    cycle_fields_[i]->setText(QString::number(values[i]));
  }
}

void PeriodWindow::CyclesTyped() {
  tracker_.SetCycles(cycle_fields_[0]->text().toStdString(),
                     cycle_fields_[1]->text().toStdString(),
                     cycle_fields_[2]->text().toStdString());
  FillPredictions();
}

void PeriodWindow::CycleFieldFinished(int i) {
  const Cycles& c = tracker_.cycles();
  const int values[] = {c.common, c.alternate_a, c.alternate_b};
  const QString shown = QString::number(values[i]);
  if (cycle_fields_[i]->text() != shown) {
    const QSignalBlocker block(cycle_fields_[i]);
    cycle_fields_[i]->setText(shown);
  }
}

void PeriodWindow::FillPredictions() {
  const std::vector<CivilDate>* lists[] = {&tracker_.common(),
                                           &tracker_.alternating()};
  for (int i = 0; i < 2; ++i) {
    std::vector<std::string> lines;
    for (const CivilDate& date : *lists[i]) {
      lines.push_back(PeriodDayText(date));
    }
    Fill(predictions_[i], lines);
    const int first = lines.empty() ? -1 : 0;
    {
      const QSignalBlocker block(predictions_[i]);
      predictions_[i]->setCurrentRow(first);
    }
    ShowDetail(i, first);
  }
}

void PeriodWindow::ShowDetail(int list, int row) {
  if (list < 0 || list > 1) return;
  const std::vector<CivilDate>& predictions =
      list == 0 ? tracker_.common() : tracker_.alternating();
  CycleDetail detail;
  if (row >= 0 && !tracker_.dates().empty()) {
    detail = DetailOf(predictions, size_t(row), tracker_.dates().back(),
                      tracker_.period_days());
  }
  detail_frames_[list]->setTitle(U(detail.caption));
  Fill(details_[list], detail.lines);
}

QString PeriodWindow::status() const { return status_->currentMessage(); }

void PeriodWindow::closeEvent(QCloseEvent* event) {
  StorePosition(this, services_, kPlacementSection);
  if (services_.cues) services_.cues->Play("clo");
  QWidget::closeEvent(event);
}

}  // namespace mirokata
