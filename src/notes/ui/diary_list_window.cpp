#include "notes/ui/diary_list_window.h"

#include <QCloseEvent>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QProgressBar>
#include <QPushButton>
#include <QSpinBox>
#include <QStatusBar>
#include <QVBoxLayout>
#include <algorithm>
#include <utility>

#include "base/settings_file.h"
#include "base/window_placement.h"
#include "notes/diary_store.h"
#include "notes/ui/diary_window.h"
#include "platform/clock.h"
#include "platform/color/color_value.h"
#include "platform/screen.h"
#include "platform/sound_cues.h"
#include "schedule/todo_colors.h"
#include "widgets/accessible_controls.h"

namespace mirokata {
namespace {

QString U(const char* text) { return QString::fromUtf8(text); }
QString Q(const std::string& text) { return QString::fromStdString(text); }

constexpr char kSection[] = "Nikki";

CivilDate Today(const Services& services) {
  const LocalTime now = services.clock->Now();
  return {now.year, now.month, now.day};
}

// Position and size from the window's keys, kept on the screen.
void PlaceWindow(QWidget* window, const Services& services, const char* top,
                 const char* left, const char* width, const char* height,
                 Size design) {
  const Settings s = services.settings->Open();
  Size size{std::max(100, s.ReadInteger(kSection, width, design.width)),
            std::max(100, s.ReadInteger(kSection, height, design.height))};
  Point at{s.ReadInteger(kSection, left, 0), s.ReadInteger(kSection, top, 0)};
  if (services.screen) {
    const std::vector<ScreenRect> screens =
        services.screen->AvailableGeometries();
    if (!screens.empty()) {
      const ScreenRect area = ScreenNearest(at, screens);
      size.width = std::min(size.width, std::max(100, area.width));
      size.height = std::min(size.height, std::max(100, area.height));
      at = ClampToScreens(at, size, screens);
    }
  }
  window->resize(size.width, size.height);
  window->move(at.left, at.top);
}

}  // namespace

// The search window.

DiarySearchWindow::DiarySearchWindow(const Services& services,
                                     std::string folder, DiaryListWindow* list)
    : QWidget(list, Qt::Tool),
      services_(services),
      folder_(std::move(folder)),
      list_(list),
      ddd_(LocaleShortWeekdayNames()) {
  setAttribute(Qt::WA_DeleteOnClose);
  setWindowTitle(U("日記の検索"));
  auto* layout = new QVBoxLayout(this);
  auto* range = new QHBoxLayout;
  const CivilDate today = Today(services_);
  const Settings s = services_.settings->Open();
  const char* keys[4] = {"Serch_Syear", "Serch_Smonth", "Serch_Eyear",
                         "Serch_Emonth"};
  for (int i = 0; i < 4; ++i) {
    const bool year = i % 2 == 0;
    range_[i] = NamedNumberBox(
        year ? (i == 0 ? "開始年" : "終了年") : (i == 1 ? "開始月" : "終了月"),
        1, year ? 9999 : 12);
    range_[i]->setToolTip(U("検索する期間を指定します。"));
    range_[i]->setValue(
        s.ReadInteger(kSection, keys[i], year ? today.year : today.month));
    range->addWidget(range_[i]);
    range->addWidget(new QLabel(year ? U("年") : U("月")));
    if (i == 1) range->addWidget(new QLabel(U("～")));
  }
  layout->addLayout(range);
  auto* line = new QHBoxLayout;
  word_ = Named(new QLineEdit, "検索文字列", "検索したい文字列を入力します。");
  word_->setText(Q(s.ReadString(kSection, "Serch_String", "")));
  connect(word_, &QLineEdit::returnPressed, this, [this] { Search(); });
  line->addWidget(word_, 1);
  QPushButton* go = NamedButton("検索");
  go->setToolTip(U("検索を開始します。"));
  connect(go, &QPushButton::clicked, this, [this] { Search(); });
  line->addWidget(go);
  layout->addLayout(line);
  results_ =
      Named(new QListWidget, "検索結果", "ﾀﾞﾌﾞﾙｸﾘｯｸで日記に移動します。");
  connect(results_, &QListWidget::itemDoubleClicked, this,
          [this](QListWidgetItem* item) { Jump(results_->row(item)); });
  layout->addWidget(results_, 1);
  status_ = Named(new QStatusBar, "状態");
  status_->setSizeGripEnabled(false);
  layout->addWidget(status_);
  PlaceWindow(this, services_, "Serch_top", "Serch_left", "Serch_Width",
              "Serch_Height", {372, 197});
  setFixedWidth(width());
  if (services_.cues) services_.cues->Play("ope");
}

QString DiarySearchWindow::status() const { return status_->currentMessage(); }

void DiarySearchWindow::Search() {
  searched_ = word_->text();
  QGuiApplication::setOverrideCursor(Qt::WaitCursor);
  results_->clear();
  hits_.clear();
  DiaryMonthRange range{range_[0]->value(), range_[1]->value(),
                        range_[2]->value(), range_[3]->value()};
  // The status bar is painted at most a few times a second: drawing it for
  // every month would cost more than the search.
  QElapsedTimer shown;
  shown.start();
  hits_ = SearchDiary(folder_, searched_.toStdString(), range,
                      [this, &shown](const CivilDate& date) {
                        if (shown.elapsed() < 200) return;
                        shown.restart();
                        status_->showMessage(Q(DiaryDateText(date, ddd_)));
                        status_->repaint();
                      });
  for (const DiaryHit& hit : hits_) {
    auto* item = new QListWidgetItem(Q(DiaryHitText(hit, ddd_)));
    item->setData(Qt::UserRole, DateKey(hit.date));
    item->setData(Qt::UserRole + 1, static_cast<int>(hit.match));
    results_->addItem(item);
  }
  status_->showMessage(U("日記を検索します。"));
  QGuiApplication::restoreOverrideCursor();
}

void DiarySearchWindow::Jump(int row) {
  if (row < 0 || row >= static_cast<int>(hits_.size()) || !list_) return;
  const DiaryHit& hit = hits_[static_cast<size_t>(row)];
  list_->RequestDay(hit.date);
  list_->SetMonth(hit.date.year, hit.date.month);
  list_->raise();
  list_->activateWindow();
  if (hit.match == DiaryMatch::kBody) {
    if (DiaryWindow* page = list_->OpenDay(hit.date)) {
      page->Load();
      page->FindFromTop(searched_);
    }
  }
}

void DiarySearchWindow::closeEvent(QCloseEvent* event) {
  services_.settings->Batch([this](SettingsBatch& b) {
    b.WriteInteger(kSection, "Serch_top", y());
    b.WriteInteger(kSection, "Serch_left", x());
    b.WriteInteger(kSection, "Serch_Width", width());
    b.WriteInteger(kSection, "Serch_Height", height());
    b.WriteInteger(kSection, "Serch_Syear", range_[0]->value());
    b.WriteInteger(kSection, "Serch_Smonth", range_[1]->value());
    b.WriteInteger(kSection, "Serch_Eyear", range_[2]->value());
    b.WriteInteger(kSection, "Serch_Emonth", range_[3]->value());
    b.WriteString(kSection, "Serch_String", word_->text().toStdString());
    b.WriteInteger(kSection, "Serch_open", 0);
  });
  if (services_.cues) services_.cues->Play("clo");
  event->accept();
}

// The list.

DiaryListWindow::DiaryListWindow(const Services& services, std::string folder,
                                 QWidget* parent)
    : QWidget(parent, Qt::Window),
      services_(services),
      folder_(std::move(folder)),
      ddd_(LocaleShortWeekdayNames()) {
  setAttribute(Qt::WA_DeleteOnClose);
  setWindowTitle(U("日記リスト"));
  auto* layout = new QVBoxLayout(this);
  auto* top = new QHBoxLayout;
  year_ = NamedNumberBox("年", 1, 9999);
  month_ = NamedNumberBox("月", 1, 12);
  top->addWidget(year_);
  top->addWidget(new QLabel(U("年")));
  top->addWidget(month_);
  top->addWidget(new QLabel(U("月")));
  QPushButton* today = NamedButton("今日");
  today->setToolTip(U("今日に戻す｡"));
  connect(today, &QPushButton::clicked, this, [this] { ShowToday(); });
  top->addWidget(today);
  QPushButton* search = NamedButton("検索");
  search->setToolTip(U("日記を検索"));
  connect(search, &QPushButton::clicked, this, [this] { OpenSearch(); });
  top->addWidget(search);
  top->addStretch(1);
  layout->addLayout(top);
  list_ = Named(new QListWidget, "日記の一覧");
  list_->setContextMenuPolicy(Qt::CustomContextMenu);
  connect(list_, &QListWidget::itemDoubleClicked, this,
          [this](QListWidgetItem* item) {
            const int row = list_->row(item);
            if (row >= 0 && row < static_cast<int>(rows_.size())) {
              OpenDay(rows_[static_cast<size_t>(row)].date);
            }
          });
  connect(list_, &QListWidget::customContextMenuRequested, this,
          [this](const QPoint& at) {
            const int row = list_->currentRow();
            if (row < 0 || row >= static_cast<int>(rows_.size())) return;
            const CivilDate date = rows_[static_cast<size_t>(row)].date;
            QMenu menu;
            menu.addAction(QString::asprintf("%d年%02d月%02d日を綴る",
                                             date.year, date.month, date.day),
                           this, [this, date] { OpenDay(date); });
            menu.exec(list_->viewport()->mapToGlobal(at));
          });
  connect(list_, &QListWidget::currentRowChanged, this, [this](int row) {
    if (!building_ && row >= 0) remembered_row_ = row;
    ColorRows();
  });
  layout->addWidget(list_, 1);
  progress_ = Named(new QProgressBar, "記入状況");
  progress_->setTextVisible(false);
  progress_->setMaximumHeight(12);
  layout->addWidget(progress_);
  PlaceWindow(this, services_, "list_top", "list_left", "list_Width",
              "list_Height", {334, 309});
  const CivilDate now = Today(services_);
  year_->setValue(now.year);
  month_->setValue(now.month);
  connect(year_, &QSpinBox::valueChanged, this, [this] { Rebuild(); });
  connect(month_, &QSpinBox::valueChanged, this, [this] { Rebuild(); });
  Rebuild();
  if (services_.settings->ReadInteger(kSection, "Serch_open", 0) == 1) {
    OpenSearch();
  }
  if (services_.cues) services_.cues->Play("ope");
}

DiaryListWindow::~DiaryListWindow() = default;

void DiaryListWindow::SetMonth(int year, int month) {
  const QSignalBlocker a(year_), b(month_);
  year_->setValue(year);
  month_->setValue(month);
  Rebuild();
}

void DiaryListWindow::ShowToday() {
  const CivilDate now = Today(services_);
  SetMonth(now.year, now.month);
}

void DiaryListWindow::RequestDay(const CivilDate& date) { requested_ = date; }

void DiaryListWindow::Rebuild() {
  const int year = year_->value();
  const int month = month_->value();
  const CivilDate today = Today(services_);
  const DiaryMonth month_rows =
      ListDiaryMonth(folder_, year, month, today.year);
  rows_ = month_rows.rows;
  building_ = true;
  list_->clear();
  for (const DiaryMonthRow& row : rows_) {
    auto* item = new QListWidgetItem(Q(DiaryRowText(row, ddd_)));
    item->setData(Qt::UserRole, DateKey(row.date));
    item->setData(Qt::UserRole + 1, static_cast<int>(row.kind));
    list_->addItem(item);
  }
  const int days = static_cast<int>(rows_.size());
  progress_->setRange(0, std::max(1, days));
  progress_->setValue(month_rows.written);
  progress_->setToolTip(Q(DiaryMonthHint(month_rows.written, days)));
  int select = remembered_row_;
  if (requested_ && requested_->year == year && requested_->month == month) {
    select = requested_->day - 1;
  } else if (year == today.year && month == today.month) {
    select = today.day - 1;
  }
  requested_.reset();
  if (select >= days) select = 0;
  if (days > 0) list_->setCurrentRow(select);
  building_ = false;
  ColorRows();
}

void DiaryListWindow::ColorRows() {
  const int today = DayNumber(Today(services_));
  auto colors_of = [&](int row) {
    return ReadDayInfoColors(
        *services_.settings,
        DayNumber(rows_[static_cast<size_t>(row)].date) - today);
  };
  for (int i = 0; i < list_->count() && i < static_cast<int>(rows_.size());
       ++i) {
    const DayInfoColors c = colors_of(i);
    list_->item(i)->setForeground(ColorFromValue(c.text));
    list_->item(i)->setBackground(ColorFromValue(c.back));
  }
  const int row = list_->currentRow();
  if (row < 0 || row >= static_cast<int>(rows_.size())) return;
  // The selected row has its colours swapped; the list's own colours follow
  // its class.
  const DayInfoColors c = colors_of(row);
  QPalette palette = list_->palette();
  palette.setColor(QPalette::Highlight, ColorFromValue(c.text));
  palette.setColor(QPalette::HighlightedText, ColorFromValue(c.back));
  palette.setColor(QPalette::Base, ColorFromValue(c.back));
  palette.setColor(QPalette::Text, ColorFromValue(c.text));
  list_->setPalette(palette);
}

DiaryWindow* DiaryListWindow::WindowOf(const CivilDate& date) const {
  const auto it = windows_.find(DateKey(date));
  return it == windows_.end() ? nullptr : it->second.data();
}

DiaryWindow* DiaryListWindow::OpenDay(const CivilDate& date) {
  if (DiaryWindow* open = WindowOf(date)) {
    open->show();
    open->raise();
    open->activateWindow();
    return open;
  }
  auto* window = new DiaryWindow(services_, folder_, date);
  windows_[DateKey(date)] = window;
  window->show();
  return window;
}

DiarySearchWindow* DiaryListWindow::OpenSearch() {
  if (!search_) {
    search_ = new DiarySearchWindow(services_, folder_, this);
  }
  search_->show();
  search_->raise();
  return search_;
}

void DiaryListWindow::StorePlacement() {
  services_.settings->Batch([this](SettingsBatch& b) {
    b.WriteInteger(kSection, "list_top", y());
    b.WriteInteger(kSection, "list_left", x());
    b.WriteInteger(kSection, "list_Width", width());
    b.WriteInteger(kSection, "list_Height", height());
  });
}

void DiaryListWindow::closeEvent(QCloseEvent* event) {
  // Pages first: one that cannot be saved keeps the list open too.
  for (auto& [key, window] : windows_) {
    if (window && !window->close()) {
      event->ignore();
      return;
    }
  }
  StorePlacement();
  const bool searching = search_ && search_->isVisible();
  if (search_) search_->close();
  if (searching) services_.settings->WriteInteger(kSection, "Serch_open", 1);
  if (services_.cues) services_.cues->Play("clo");
  event->accept();
}

void DiaryListWindow::changeEvent(QEvent* event) {
  QWidget::changeEvent(event);
  if (event->type() == QEvent::ActivationChange && isActiveWindow()) {
    Rebuild();
  }
}

void DiaryListWindow::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  if (isVisible()) StorePlacement();
}

}  // namespace mirokata
