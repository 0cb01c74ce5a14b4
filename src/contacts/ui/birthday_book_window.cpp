#include "contacts/ui/birthday_book_window.h"

#include <QCloseEvent>
#include <QContextMenuEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QPainter>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QTextEdit>
#include <QVBoxLayout>
#include <cstring>

#include "base/entry_changes.h"
#include "base/folders.h"
#include "base/settings_file.h"
#include "base/window_placement.h"
#include "calendar/almanac.h"
#include "calendar/date_fields.h"
#include "calendar/lunisolar.h"
#include "contacts/birthday_book.h"
#include "contacts/birthday_tables.h"
#include "contacts/ui/birthday_pictures.h"
#include "platform/clock.h"
#include "platform/messages.h"
#include "platform/sound_cues.h"
#include "richtext/text_document_rtf_qt.h"
#include "widgets/accessible_controls.h"
#include "widgets/stored_placement.h"

namespace mirokata {
namespace {

QString U(std::string_view text) {
  return QString::fromUtf8(text.data(), qsizetype(text.size()));
}

constexpr char kSection[] = "Birthday";
constexpr int kPictureSize = 48;
constexpr int kChartWidth = 216;
constexpr int kChartHeight = 79;

}  // namespace

BiorhythmChart::BiorhythmChart(QWidget* parent) : QWidget(parent) {
  setFixedSize(kChartWidth, kChartHeight);
  setAccessibleName(U("バイオリズム"));
  setToolTip(U("バイオリズム"));
}

void BiorhythmChart::Show(const CivilDate& birth, int year, int month,
                          int today_day) {
  birth_ = birth;
  year_ = year;
  month_ = month;
  today_day_ = today_day;
  update();
}

void BiorhythmChart::paintEvent(QPaintEvent*) {
  QPainter p(this);
  const int w = width(), h = height(), step = w / 30;
  p.fillRect(rect(), Qt::white);
  p.setPen(QPen(Qt::lightGray, 1, Qt::DotLine));
  p.drawLine(0, 0, 0, h);
  for (int day = 1; day <= 31; ++day) {
    switch (ChartLineOf(day, today_day_)) {
      case ChartLine::kSolid:
        p.setPen(QPen(Qt::black, 1, Qt::SolidLine));
        break;
      case ChartLine::kDotted:
        p.setPen(QPen(Qt::black, 1, Qt::DotLine));
        break;
      case ChartLine::kDottedSilver:
        p.setPen(QPen(Qt::lightGray, 1, Qt::DotLine));
        break;
      case ChartLine::kToday:
        p.setPen(QPen(Qt::red, 1, Qt::SolidLine));
        break;
    }
    p.drawLine(day * step, 0, day * step, h);
  }
  p.setPen(QPen(Qt::black, 2));
  p.drawLine(0, h / 2, w, h / 2);
  const QColor colours[] = {Qt::red, Qt::blue, QColor(0, 128, 0)};
  const auto curves = BiorhythmCurves(birth_, year_, month_, w, h);
  for (size_t c = 0; c < curves.size(); ++c) {
    QPolygon line;
    for (const ChartPoint& point : curves[c]) line << QPoint(point.x, point.y);
    p.setPen(QPen(colours[c], 1));
    p.drawPolyline(line);
  }
}

BirthdayBookWindow::BirthdayBookWindow(const Services& services,
                                       const std::string& folder,
                                       std::function<void()> memo_refresh,
                                       QWidget* parent)
    : QWidget(parent),
      services_(services),
      folder_(folder),
      memo_refresh_(std::move(memo_refresh)) {
  setAttribute(Qt::WA_DeleteOnClose);
  setWindowTitle(U("Happy Birthday Dear.."));
  setAccessibleName(U("Happy Birthday Dear.."));
  if (services_.cues) services_.cues->Play("ope");

  auto caption = [this](const char* what, const char* name) {
    auto* label = new QLabel;
    label->setAccessibleName(U(name));
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    captions_.push_back({what, label});
    return label;
  };

  // The birth date and the age.
  fields_[0] = NamedNumberBox("年", 1, 9999);
  // Month and day take any two digits: 13 becomes December, 31 April the
  // 30th.
  fields_[1] = NamedNumberBox("月", 0, 99);
  fields_[2] = NamedNumberBox("日", 0, 99);
  age_ = NamedNumberBox("年齢", 0, 150);
  auto* apply_age = NamedButton("設定", "年齢から生年を計算");
  auto* date_row = new QHBoxLayout;
  const char* units[] = {"年", "月", "日"};
  for (int i = 0; i < 3; ++i) {
    date_row->addWidget(fields_[i]);
    date_row->addWidget(new QLabel(U(units[i])));
    connect(fields_[i], &QSpinBox::valueChanged, this,
            &BirthdayBookWindow::DateFieldChanged);
  }
  date_row->addSpacing(12);
  date_row->addWidget(new QLabel(U("現在")));
  date_row->addWidget(age_);
  date_row->addWidget(new QLabel(U("歳")));
  date_row->addWidget(apply_age);
  date_row->addStretch(1);
  auto* age_names = new QHBoxLayout;
  age_names->addWidget(caption("alias", "年齢の別名"));
  age_names->addWidget(caption("celebration", "長寿の祝い"));
  age_names->addStretch(1);

  // What the date means.
  auto* facts = new QGridLayout;
  const char* picture_names[] = {"星座の絵", "干支の絵", "誕生石の絵"};
  for (int i = 0; i < 3; ++i) {
    pictures_shown_[i] = new QLabel;
    pictures_shown_[i]->setFixedSize(kPictureSize, kPictureSize);
    pictures_shown_[i]->setAccessibleName(U(picture_names[i]));
    facts->addWidget(pictures_shown_[i], 0, i * 2, 2, 1);
  }
  facts->addWidget(caption("sign", "星座"), 0, 1);
  facts->addWidget(caption("animal", "干支"), 0, 3);
  facts->addWidget(caption("stone", "誕生石"), 0, 5);
  facts->addWidget(caption("old_month", "月の異名"), 1, 5);
  auto* flower_row = new QHBoxLayout;
  flower_row->addWidget(new QLabel(U("誕生花：")));
  flower_row->addWidget(caption("flower", "誕生花"));
  flower_row->addWidget(new QLabel(U("花言葉：")));
  flower_row->addWidget(caption("word", "花言葉"));
  flower_row->addWidget(caption("rokuyo", "六曜"));
  flower_row->addStretch(1);

  // The entry of the date.
  auto* path = caption("path", "ファイル名");
  path->setWordWrap(true);
  QFont small = path->font();
  small.setPointSizeF(small.pointSizeF() * 0.85);
  path->setFont(small);
  text_ = Named(new QTextEdit, "名前＆その他");
  text_->setAcceptRichText(true);
  text_->setMinimumHeight(90);
  save_ = NamedButton("保存");
  delete_ = NamedButton("削除");
  auto* close = NamedButton("閉じる");
  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  buttons->addWidget(save_);
  buttons->addWidget(delete_);
  buttons->addWidget(close);
  auto* entry_box = new QGroupBox(U("名前＆その他"));
  auto* entry_layout = new QVBoxLayout(entry_box);
  entry_layout->addWidget(path);
  entry_layout->addWidget(text_, 1);
  entry_layout->addLayout(buttons);

  // The registered birthdays.
  list_ = Named(new QListWidget, "登録済みの誕生日", "クリックで表示");
  list_->setMinimumWidth(210);
  auto* search = NamedButton("再検索", "登録済みの誕生日を探し直す");
  auto* list_box = new QGroupBox(U("登録済みの誕生日"));
  auto* list_layout = new QVBoxLayout(list_box);
  list_layout->addWidget(list_, 1);
  list_layout->addWidget(search);

  // The biorhythm chart.
  chart_ = new BiorhythmChart;
  auto* previous = NamedButton("＜", "前の月");
  auto* current = NamedButton("今月", "今月に戻す");
  auto* next = NamedButton("＞", "次の月");
  for (QPushButton* b : {previous, next}) b->setFixedWidth(28);
  auto* chart_head = new QHBoxLayout;
  chart_head->addWidget(caption("chart_date", "生年月日"));
  chart_head->addStretch(1);
  chart_head->addWidget(previous);
  chart_head->addWidget(caption("chart_year", "表示年"));
  chart_head->addWidget(new QLabel(U("年")));
  chart_head->addWidget(caption("chart_month", "表示月"));
  chart_head->addWidget(new QLabel(U("月")));
  chart_head->addWidget(next);
  chart_head->addWidget(current);
  auto* legend = new QVBoxLayout;
  const char* legends[] = {"赤：身体", "青：感情", "緑：知性"};
  const char* legend_colours[] = {"#d00000", "#0000d0", "#008000"};
  for (int i = 0; i < 3; ++i) {
    auto* label = new QLabel(U(legends[i]));
    label->setStyleSheet(QStringLiteral("color: %1").arg(legend_colours[i]));
    legend->addWidget(label);
  }
  auto* note = new QLabel(
      U("中心線より上は好調、下は低調。\n線を横切る日は要注意日です。"));
  note->setWordWrap(true);
  legend->addWidget(note);
  auto* chart_body = new QHBoxLayout;
  chart_body->addWidget(chart_);
  chart_body->addLayout(legend, 1);
  auto* chart_box = new QGroupBox(U("バイオリズム"));
  auto* chart_layout = new QVBoxLayout(chart_box);
  chart_layout->addLayout(chart_head);
  chart_layout->addLayout(chart_body);

  auto* left = new QVBoxLayout;
  left->addLayout(date_row);
  left->addLayout(age_names);
  left->addLayout(facts);
  left->addLayout(flower_row);
  left->addWidget(entry_box, 1);
  left->addWidget(chart_box);
  auto* root = new QHBoxLayout(this);
  root->addLayout(left, 1);
  root->addWidget(list_box);

  sign_menu_ = new QMenu(this);
  QAction* twelve = sign_menu_->addAction(U("12星座"));
  QAction* thirteen = sign_menu_->addAction(U("13星座"));
  for (QAction* a : {twelve, thirteen}) a->setCheckable(true);
  connect(twelve, &QAction::triggered, this,
          [this] { SetThirteenSigns(false); });
  connect(thirteen, &QAction::triggered, this,
          [this] { SetThirteenSigns(true); });
  connect(sign_menu_, &QMenu::aboutToShow, this, [this, twelve, thirteen] {
    const bool on = services_.settings->ReadInteger(kSection, "Seiza", 0) != 0;
    twelve->setChecked(!on);
    thirteen->setChecked(on);
  });

  connect(age_, &QSpinBox::valueChanged, this,
          &BirthdayBookWindow::ShowAgeNames);
  connect(apply_age, &QPushButton::clicked, this,
          &BirthdayBookWindow::ApplyAge);
  connect(text_, &QTextEdit::textChanged, this,
          [this] { save_->setEnabled(true); });
  connect(save_, &QPushButton::clicked, this, &BirthdayBookWindow::Save);
  connect(delete_, &QPushButton::clicked, this, &BirthdayBookWindow::Delete);
  connect(close, &QPushButton::clicked, this, &QWidget::close);
  connect(search, &QPushButton::clicked, this, &BirthdayBookWindow::FillList);
  connect(list_, &QListWidget::currentRowChanged, this,
          &BirthdayBookWindow::PickListItem);
  connect(previous, &QPushButton::clicked, this,
          [this] { StepChartMonth(-1); });
  connect(next, &QPushButton::clicked, this, [this] { StepChartMonth(1); });
  connect(current, &QPushButton::clicked, this, [this] { StepChartMonth(0); });

  const CivilDate today = Today();
  chart_year_ = today.year;
  chart_month_ = today.month;
  // The date shown when the book was last closed; anything unreadable is
  // today.
  const CivilDate shown = ParseSlashDate(services_.settings->ReadString(
                                             "Bio", "BD", SlashDateText(today)))
                              .value_or(today);
  FillList();
  SetBirthDate(shown.year, shown.month, shown.day);
  PlaceAtStoredPosition(this, services_, kSection);
}

BirthdayBookWindow::~BirthdayBookWindow() = default;

QLabel* BirthdayBookWindow::caption(const char* what) const {
  for (const Caption& c : captions_) {
    if (std::strcmp(c.what, what) == 0) return c.label;
  }
  return nullptr;
}

CivilDate BirthdayBookWindow::Today() const {
  const LocalTime now = services_.clock->Now();
  return {now.year, now.month, now.day};
}

void BirthdayBookWindow::DateFieldChanged() {
  SetBirthDate(fields_[0]->value(), fields_[1]->value(), fields_[2]->value());
}

void BirthdayBookWindow::SetBirthDate(int year, int month, int day) {
  birth_ = ClampBirthDate(year, month, day);
  const int values[] = {birth_.year, birth_.month, birth_.day};
  for (int i = 0; i < 3; ++i) {
    const QSignalBlocker block(fields_[i]);
    fields_[i]->setValue(values[i]);
  }
  const CivilDate today = Today();
  {
    const QSignalBlocker block(age_);
    age_->setValue(std::clamp(AgeOn(birth_, today), 0, 150));
  }
  ShowAgeNames(AgeOn(birth_, today));

  entry_name_ = BirthdayEntryName(birth_);
  caption("path")->setText(U(folder_.FullPath(entry_name_)));
  const bool exists = folder_.Exists(entry_name_);
  {
    const QSignalBlocker block(text_);
    std::string content;
    if (exists &&
        folder_.ReadContent(entry_name_, &content) == ReadResult::kOk) {
      LoadRichText(content, text_->document());
    } else {
      text_->clear();
    }
  }
  save_->setEnabled(exists);
  delete_->setEnabled(exists);

  const bool thirteen =
      services_.settings->ReadInteger(kSection, "Seiza", 0) != 0;
  const ZodiacSign sign = ZodiacSignOf(birth_.month, birth_.day, thirteen);
  caption("sign")->setText(U(sign.name));
  caption("sign")->setToolTip(U(sign.range));
  const YearAnimal animal = YearAnimalOf(birth_.year);
  caption("animal")->setText(U(animal.name));
  const int key = DayKeyOf(birth_.month, birth_.day);
  if (auto flower = BirthFlowerOf(key)) caption("flower")->setText(U(*flower));
  if (auto word = FlowerWordOf(key)) caption("word")->setText(U(*word));
  const QString month_flowers = U(MonthFlowersOf(birth_.month).value_or(""));
  caption("flower")->setToolTip(month_flowers);
  caption("word")->setToolTip(month_flowers);
  QString rokuyo;
  if (services_.settings->ReadBool("Form", "Qreki", false)) {
    rokuyo = U("(" +
               std::string(RokuyoOf(static_cast<long double>(
                   LocalDayCount(birth_.year, birth_.month, birth_.day)))) +
               ")");
  }
  caption("rokuyo")->setText(rokuyo);
  const BirthMonthFacts facts = BirthMonthFactsOf(birth_.month);
  caption("old_month")->setText(U(facts.old_name));
  caption("stone")->setText(U(facts.stone));

  const std::string_view shown[] = {sign.picture, animal.picture,
                                    facts.picture};
  for (int i = 0; i < 3; ++i) {
    pictures_[i] = std::string(shown[i]);
    pictures_shown_[i]->setPixmap(BirthdayPicture(shown[i], kPictureSize));
    pictures_shown_[i]->setToolTip(i == 0 ? U(sign.range) : U(shown[i]));
  }
  ShowChart();
}

void BirthdayBookWindow::ShowAgeNames(int age) {
  caption("alias")->setText(U(AgeAliasOf(age)));
  caption("celebration")->setText(U(AgeCelebrationOf(age)));
}

void BirthdayBookWindow::ApplyAge() {
  SetBirthDate(
      BirthYearForAge(age_->value(), birth_.month, birth_.day, Today()),
      birth_.month, birth_.day);
}

void BirthdayBookWindow::Save() {
  std::string error;
  if (entry_name_.empty() ||
      !folder_.WriteContent(entry_name_, SaveRichText(*text_->document()),
                            &error)) {
    MessageRequest request(MessageKind::kWarning,
                           "保存できませんでした。\r" + error);
    request.parent = this;
    services_.messages->ShowNotice(request);
    return;
  }
  if (services_.cues) services_.cues->Play("sav");
  save_->setEnabled(false);
  delete_->setEnabled(true);
  AfterChange();
}

void BirthdayBookWindow::Delete() {
  if (asking_) return;
  MessageRequest place;
  place.corner_of = this;
  asking_ = true;
  const std::weak_ptr<bool> alive = alive_;
  const std::string name = entry_name_;
  ConfirmDeleteLater(*services_.settings, *services_.messages, place, {},
                     [this, alive, name](bool go_on) {
                       if (alive.expired()) return;
                       asking_ = false;
                       if (!go_on) return;
                       if (folder_.Exists(name)) {
                         std::string error;
                         if (!folder_.Delete(name, nullptr, &error)) {
                           MessageRequest request(
                               MessageKind::kWarning,
                               "削除できませんでした。\r" + error);
                           request.parent = this;
                           services_.messages->ShowNotice(request);
                           return;
                         }
                         if (name == entry_name_) {
                           const QSignalBlocker block(text_);
                           text_->clear();
                         }
                         if (services_.cues) services_.cues->Play("del");
                       }
                       if (name == entry_name_) {
                         save_->setEnabled(false);
                         delete_->setEnabled(false);
                       }
                       AfterChange();
                     });
}

void BirthdayBookWindow::AfterChange() {
  if (services_.entry_changes) services_.entry_changes->Notify();
  FillList();
  if (memo_refresh_) memo_refresh_();
}

void BirthdayBookWindow::FillList() {
  const QSignalBlocker block(list_);
  list_->clear();
  for (BirthdayListItem& item : BirthdayList(folder_, Today())) {
    auto* row = new QListWidgetItem(U(item.text), list_);
    row->setData(Qt::UserRole, QString::fromStdString(item.name));
    row->setData(Qt::UserRole + 1, item.birth.year);
    row->setData(Qt::UserRole + 2, item.birth.month);
    row->setData(Qt::UserRole + 3, item.birth.day);
  }
}

void BirthdayBookWindow::PickListItem(int row) {
  QListWidgetItem* item = list_->item(row);
  if (!item) return;
  SetBirthDate(item->data(Qt::UserRole + 1).toInt(),
               item->data(Qt::UserRole + 2).toInt(),
               item->data(Qt::UserRole + 3).toInt());
  save_->setEnabled(false);
}

void BirthdayBookWindow::StepChartMonth(int step) {
  if (step == 0) {
    const CivilDate today = Today();
    chart_year_ = today.year;
    chart_month_ = today.month;
  } else {
    const int months = chart_year_ * 12 + chart_month_ - 1 + step;
    if (months / 12 < 1 || months / 12 > 9999) return;
    chart_year_ = months / 12;
    chart_month_ = months % 12 + 1;
  }
  ShowChart();
}

void BirthdayBookWindow::ShowChart() {
  const CivilDate today = Today();
  caption("chart_date")->setText(U(SlashDateText(birth_)));
  caption("chart_year")->setText(QString::number(chart_year_));
  caption("chart_month")->setText(QString::number(chart_month_));
  const bool current = chart_year_ == today.year && chart_month_ == today.month;
  chart_->Show(birth_, chart_year_, chart_month_, current ? today.day : 0);
}

void BirthdayBookWindow::SetThirteenSigns(bool thirteen) {
  services_.settings->WriteInteger(kSection, "Seiza", thirteen ? 1 : 0);
  SetBirthDate(birth_.year, birth_.month, birth_.day);
}

void BirthdayBookWindow::contextMenuEvent(QContextMenuEvent* event) {
  sign_menu_->popup(event->globalPos());
}

void BirthdayBookWindow::closeEvent(QCloseEvent* event) {
  const std::string shown = caption("chart_date")->text().toStdString();
  const Point at{x(), y()};
  services_.settings->Batch([&](SettingsBatch& batch) {
    batch.WriteString("Bio", "BD", shown);
    WritePlacement(batch, kSection, at);
  });
  if (services_.cues) services_.cues->Play("clo");
  QWidget::closeEvent(event);
}

}  // namespace mirokata
