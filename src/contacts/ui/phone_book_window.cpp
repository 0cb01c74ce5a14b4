#include "contacts/ui/phone_book_window.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QContextMenuEvent>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QStatusBar>
#include <QTabBar>
#include <QTableView>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>

#include "base/settings_file.h"
#include "contacts/phone_commands.h"
#include "contacts/ui/dial_field.h"
#include "contacts/ui/phone_page_model.h"
#include "platform/desktop/desktop_windows.h"
#include "platform/messages.h"
#include "platform/ping.h"
#include "platform/sound_cues.h"
#include "platform/text_codec.h"
#include "widgets/stored_placement.h"

namespace mirokata {
namespace {

QString U(const std::string& text) { return QString::fromStdString(text); }
QString U(const char* text) { return QString::fromUtf8(text); }

constexpr const char* kSearchColumnCaptions[kPhoneColumns] = {
    "項目１", "項目２", "電話番号", "E-Mail", "Webページ", "IPアドレス"};
constexpr int kDefaultWidths[5] = {100, 100, 100, 100, 169};
constexpr const char kWidthLetters[] = "ABCDE";
constexpr int kSplitterWidth = 2;
constexpr int kResetWidth = 100;

constexpr char kDialTip[] =
    "この番号に電話をかけます。(ダイヤラーがインストールされている必要があり"
    "ます。)";
constexpr char kGridTip[] = "電話番号リストです。";
constexpr char kLockTip[] = "チェックすると編集が出来なくなります。";
constexpr char kReorderTip[] = "マウスのドラッグで並べ替えが可能です。";
constexpr char kStatusTip[] = "簡易電話帳です。";
constexpr char kTabTip[] = "電話帳の項目を切り換えます。";
constexpr char kHeaderTip[] = "境界線のドラッグでサイズ変更ができます。";
constexpr char kToneTip[] = "受話器をスピーカに近づけて下さい。";
constexpr char kPingTip[] = "Pingを打ちます。";
constexpr char kMailTip[] = "E-Mailを発信します。";
constexpr char kWebTip[] = "Webページを表示します。";
constexpr char kLockCaption[] = "編集不可";
constexpr char kReorderCaption[] = "並び変えモード";
constexpr char kRefusedText[] =
    "Pingを送信できません。\rnet.ipv4.ping_group_range "
    "にこのユーザーのグループを含めてください。";
constexpr char kNotCp932Text[] =
    "Shift-JIS (CP932) にない文字は保存できません。\r";

template <typename W>
W* Named(W* widget, const char* name, const char* tip) {
  widget->setAccessibleName(U(name));
  widget->setToolTip(U(tip));
  widget->setStatusTip(U(tip));
  return widget;
}

}  // namespace

PhoneBookWindow::PhoneBookWindow(const Services& services,
                                 const std::string& folder, QWidget* parent)
    : QMainWindow(parent), services_(services), store_(folder) {
  setAttribute(Qt::WA_DeleteOnClose);
  setWindowTitle(U("簡易電話帳"));
  setAccessibleName(U("簡易電話帳"));
  BuildWidgets();
  Settings s = services_.settings->Open();
  resize(s.ReadInteger(kPhoneBookSection, "Width", 757),
         s.ReadInteger(kPhoneBookSection, "Height", 409));
  PlaceAtStoredPosition(this, services_, kPhoneBookSection, false);
  edit_locked_ = s.ReadBool(kPhoneBookSection, "Edit", false);
  reorder_ = s.ReadBool(kPhoneBookSection, "Sort", false);
  {
    const QSignalBlocker a(lock_box_), b(reorder_box_);
    lock_box_->setChecked(edit_locked_);
    reorder_box_->setChecked(reorder_);
  }
  const int tab =
      std::clamp(s.ReadInteger(kPhoneBookSection, "Tab", 0), 0, kSearchPage);
  {
    const QSignalBlocker block(tabs_);
    tabs_->setCurrentIndex(tab);
  }
  ShowPage(tab);
  if (services_.cues) services_.cues->Play("ope");
}

PhoneBookWindow::~PhoneBookWindow() {
  // No answer may reach a window that is going.
  ping_.reset();
  if (dirty_ && page_faithful_) {
    std::string error;
    store_.Save(page_, model_->rows(), &error);
  }
  if (services_.settings->ReadBool(kPhoneBookSection, "Close", false) &&
      services_.desktop) {
    services_.desktop->RequestClose(services_.settings->ReadString(
        kPhoneBookSection, "CloseTitle", kDiallerTitleDefault));
  }
}

void PhoneBookWindow::BuildWidgets() {
  auto* central = new QWidget;
  auto* root = new QVBoxLayout(central);

  // The selected row's number, host, mail and web address.
  dial_ = new DialField;
  dial_->setStatusTip(U(kDialTip));
  dial_->edit()->setStatusTip(U(kDialTip));
  dial_->button()->setStatusTip(U(kDialTip));
  dial_->SetNameSource([this] { return U(Cell(1) + "(" + Cell(0) + ")"); });
  connect(dial_, &DialField::DialRequested, this, [this] { Dial(); });
  tone_button_ = Named(new QToolButton, "スピーカー", kToneTip);
  tone_button_->setText(U("♪"));
  tone_button_->setFixedSize(24, 24);
  connect(tone_button_, &QToolButton::clicked, this,
          &PhoneBookWindow::PlayTones);
  address_ = Named(new QLineEdit, "IPアドレス", "IPアドレス");
  connect(address_, &QLineEdit::textChanged, this,
          &PhoneBookWindow::AddressChanged);
  connect(address_, &QLineEdit::returnPressed, this, [this] {
    if (ping_button_->isEnabled()) Ping();
  });
  ping_button_ = Named(new QPushButton(U("Ping")), "Ping", kPingTip);
  connect(ping_button_, &QPushButton::clicked, this, &PhoneBookWindow::Ping);
  mail_button_ = Named(new QPushButton(U("E-Mail")), "E-Mail", kMailTip);
  connect(mail_button_, &QPushButton::clicked, this,
          &PhoneBookWindow::SendMail);
  web_button_ = Named(new QPushButton(U("Web")), "Webページ", kWebTip);
  connect(web_button_, &QPushButton::clicked, this,
          &PhoneBookWindow::OpenWebPage);
  auto* top = new QHBoxLayout;
  top->addWidget(dial_, 2);
  top->addWidget(tone_button_);
  top->addSpacing(8);
  top->addWidget(address_, 2);
  top->addWidget(ping_button_);
  top->addSpacing(8);
  top->addWidget(mail_button_);
  top->addWidget(web_button_);
  root->addLayout(top);

  tabs_ = Named(new QTabBar, "ページ", kTabTip);
  tabs_->setExpanding(false);
  for (int i = 0; i < kPhonePageCount; ++i) tabs_->addTab(QString());
  connect(tabs_, &QTabBar::currentChanged, this, [this](int index) {
    if (index == page_) return;
    if (!ShowPage(index)) {
      const QSignalBlocker block(tabs_);
      tabs_->setCurrentIndex(page_);
    }
  });
  root->addWidget(tabs_);

  model_ = new PhonePageModel(this);
  model_->SetEditCheck(
      [this](const std::string& text) { return AcceptEdit(text); });
  grid_ = Named(new QTableView, "電話番号リスト", kGridTip);
  grid_->setModel(model_);
  grid_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  grid_->horizontalHeader()->setStretchLastSection(true);
  grid_->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
  grid_->horizontalHeader()->setStatusTip(U(kHeaderTip));
  grid_->horizontalHeader()->setToolTip(U(kHeaderTip));
  grid_->horizontalHeader()->setAccessibleName(U("列の見出し"));
  grid_->verticalHeader()->setAccessibleName(U("行番号"));
  grid_->horizontalHeader()->viewport()->installEventFilter(this);
  grid_->verticalHeader()->setDefaultSectionSize(grid_->fontMetrics().height() +
                                                 6);
  grid_->setContextMenuPolicy(Qt::DefaultContextMenu);
  grid_->viewport()->installEventFilter(this);
  connect(model_, &PhonePageModel::CellEdited, this, [this](int row, int) {
    dirty_ = true;
    if (row == grid_->currentIndex().row()) SelectionMoved();
  });
  connect(grid_->selectionModel(), &QItemSelectionModel::currentChanged, this,
          [this] { SelectionMoved(); });
  connect(grid_->verticalHeader(), &QHeaderView::sectionMoved, this,
          [this](int, int from, int to) {
            {
              const QSignalBlocker block(grid_->verticalHeader());
              grid_->verticalHeader()->moveSection(to, from);
            }
            MoveRow(from, to);
          });
  root->addWidget(grid_, 1);

  lock_box_ = Named(new QCheckBox(U(kLockCaption)), kLockCaption, kLockTip);
  connect(lock_box_, &QCheckBox::toggled, this,
          &PhoneBookWindow::SetEditLocked);
  reorder_box_ =
      Named(new QCheckBox(U(kReorderCaption)), kReorderCaption, kReorderTip);
  connect(reorder_box_, &QCheckBox::toggled, this,
          &PhoneBookWindow::SetReorderMode);
  auto* search_label = new QLabel(U("検索文字"));
  search_field_ = Named(new QLineEdit, "検索文字", "検索文字");
  search_label->setBuddy(search_field_);
  search_button_ = Named(new QPushButton(U("検索")), "検索", "検索");
  connect(search_button_, &QPushButton::clicked, this,
          [this] { Search(search_field_->text()); });
  connect(search_field_, &QLineEdit::returnPressed, this,
          [this] { Search(search_field_->text()); });
  auto* bottom = new QHBoxLayout;
  bottom->addWidget(lock_box_);
  bottom->addWidget(reorder_box_);
  bottom->addStretch(1);
  bottom->addWidget(search_label);
  bottom->addWidget(search_field_);
  bottom->addWidget(search_button_);
  root->addLayout(bottom);
  setCentralWidget(central);

  statusBar()->setSizeGripEnabled(true);
  statusBar()->setStatusTip(U(kStatusTip));
  statusBar()->setAccessibleName(U("状態"));
  top_panel_ = new QLabel;
  top_panel_->setAccessibleName(U("ページの状態"));
  statusBar()->addPermanentWidget(top_panel_);
  AddressChanged();
}

std::string PhoneBookWindow::Setting(const std::string& key) const {
  return services_.settings->ReadString(kPhoneBookSection, key, "");
}

std::string PhoneBookWindow::Cell(int column) const {
  return model_->Cell(grid_->currentIndex().row(), column);
}

const std::vector<PhoneRow>& PhoneBookWindow::rows() const {
  return model_->rows();
}

void PhoneBookWindow::SetCaptions() {
  Settings s = services_.settings->Open();
  for (int i = 0; i < kSearchPage; ++i) {
    tabs_->setTabText(i, U(s.ReadString(kPhoneBookSection, PhonePageTitleKey(i),
                                        kPhonePageCaptions[i])));
  }
  tabs_->setTabText(kSearchPage, U(kPhonePageCaptions[kSearchPage]));
  QStringList captions;
  for (int c = 0; c < kPhoneColumns; ++c) {
    captions << U(page_ == kSearchPage
                      ? std::string(kSearchColumnCaptions[c])
                      : s.ReadString(kPhoneBookSection,
                                     PhoneColumnCaptionKey(page_, c),
                                     kPhoneColumnCaptions[c]));
  }
  model_->SetCaptions(captions);
  QPalette palette = grid_->palette();
  palette.setColor(QPalette::Base,
                   page_ == kSearchPage
                       ? QApplication::palette().midlight().color()
                       : QApplication::palette().base().color());
  grid_->setPalette(palette);
  for (int c = 0; c < 5; ++c) {
    widths_[size_t(c)] = s.ReadInteger(
        kPhoneBookSection, std::to_string(page_) + "Width_" + kWidthLetters[c],
        widths_[size_t(c)]);
  }
}

void PhoneBookWindow::ApplyColumnWidths() {
  const QSignalBlocker block(grid_->horizontalHeader());
  for (int c = 0; c < 5; ++c) {
    grid_->setColumnWidth(c, widths_[size_t(c)] + (c > 0 ? 1 : 0));
  }
}

void PhoneBookWindow::CommitColumnWidths() {
  int sum = 0;
  for (int c = 0; c < 5; ++c) {
    widths_[size_t(c)] = grid_->columnWidth(c) - (c > 0 ? 1 : 0);
    sum += widths_[size_t(c)];
  }
  if (sum + 4 * kSplitterWidth > grid_->horizontalHeader()->width()) {
    widths_.fill(kResetWidth);
  }
  const int page = page_;
  const std::array<int, 5> widths = widths_;
  services_.settings->Batch([page, widths](SettingsBatch& batch) {
    for (int c = 0; c < 5; ++c) {
      batch.WriteInteger(kPhoneBookSection,
                         std::to_string(page) + "Width_" + kWidthLetters[c],
                         widths[size_t(c)]);
    }
  });
  ApplyColumnWidths();
}

bool PhoneBookWindow::SaveCurrentPage() {
  if (page_ < 0 || !dirty_ || !page_faithful_) return true;
  std::string error;
  if (!store_.Save(page_, model_->rows(), &error)) {
    Notice(int(MessageKind::kError), "保存できませんでした。\r" + error);
    return false;
  }
  dirty_ = false;
  return true;
}

bool PhoneBookWindow::ShowPage(int page) {
  if (page < 0 || page >= kPhonePageCount) return false;
  if (!SaveCurrentPage()) return false;
  if (services_.cues) services_.cues->Play("c1");
  page_ = page;
  {
    const QSignalBlocker block(tabs_);
    tabs_->setCurrentIndex(page);
  }
  PhonePage loaded = store_.Load(page);
  page_faithful_ = loaded.faithful;
  dirty_ = false;
  top_panel_->setText(U(loaded.problem));
  widths_ = {kDefaultWidths[0], kDefaultWidths[1], kDefaultWidths[2],
             kDefaultWidths[3], kDefaultWidths[4]};
  SetCaptions();
  model_->SetRows(std::move(loaded.rows));
  ApplyColumnWidths();
  ApplyGridMode();
  grid_->scrollToTop();
  SelectRow(0);
  return true;
}

bool PhoneBookWindow::AcceptEdit(const std::string& text) {
  if (FitsCp932(text)) return true;
  // Saved it would turn into "?": the cell keeps what it held.
  Notice(int(MessageKind::kWarning), kNotCp932Text + text);
  return false;
}

void PhoneBookWindow::SelectRow(int row) {
  const int count = model_->rowCount();
  if (count == 0) return;
  row = std::clamp(row, 0, count - 1);
  grid_->setCurrentIndex(model_->index(row, reorder_ ? 2 : 0));
  SelectionMoved();
}

void PhoneBookWindow::SelectionMoved() {
  dial_->setText(U(Cell(2)));
  address_->setText(U(Cell(5)));
  mail_button_->setEnabled(!Cell(3).empty());
  web_button_->setEnabled(!Cell(4).empty());
}

void PhoneBookWindow::ApplyGridMode() {
  const bool locked = edit_locked_ || reorder_ || !page_faithful_;
  model_->SetEditable(!locked);
  grid_->setEditTriggers(locked ? QAbstractItemView::NoEditTriggers
                                : QAbstractItemView::DoubleClicked |
                                      QAbstractItemView::EditKeyPressed |
                                      QAbstractItemView::AnyKeyPressed);
  grid_->setSelectionBehavior(locked ? QAbstractItemView::SelectRows
                                     : QAbstractItemView::SelectItems);
  grid_->setSelectionMode(locked ? QAbstractItemView::SingleSelection
                                 : QAbstractItemView::ExtendedSelection);
  // In reorder mode the row numbers are the handles to drag.
  QHeaderView* rows = grid_->verticalHeader();
  rows->setVisible(reorder_);
  rows->setSectionsMovable(reorder_ && page_faithful_);
  rows->setToolTip(reorder_ ? U(kReorderTip) : QString());
}

void PhoneBookWindow::SetMode(bool on, bool& mode, QCheckBox* box,
                              const char* key) {
  mode = on;
  {
    const QSignalBlocker block(box);
    box->setChecked(on);
  }
  // Written at once: the next window starts in this mode.
  services_.settings->WriteBool(kPhoneBookSection, key, on);
  ApplyGridMode();
  // Whole rows in the locked modes, the number's cell in reorder mode.
  SelectRow(std::max(grid_->currentIndex().row(), 0));
}

void PhoneBookWindow::SetEditLocked(bool locked) {
  SetMode(locked, edit_locked_, lock_box_, "Edit");
}

void PhoneBookWindow::SetReorderMode(bool on) {
  SetMode(on, reorder_, reorder_box_, "Sort");
}

void PhoneBookWindow::MoveRow(int from, int to) {
  if (!page_faithful_ || from == to || !model_->MoveRow(from, to)) return;
  dirty_ = true;
  SelectRow(to);
}

bool PhoneBookWindow::Search(const QString& text) {
  QApplication::setOverrideCursor(Qt::BusyCursor);
  bool ok = SaveCurrentPage();
  if (ok) {
    std::string error;
    ok = store_.Search(text.toStdString(), &error);
    if (!ok) {
      Notice(int(MessageKind::kError), "保存できませんでした。\r" + error);
    }
  }
  if (ok) {
    // The results replace the page as it was; nothing of it is kept.
    page_ = -1;
    ShowPage(kSearchPage);
    statusBar()->showMessage(U("「") + text + U("」の検索を終了しました。"));
    grid_->setFocus();
  }
  QApplication::restoreOverrideCursor();
  return ok;
}

void PhoneBookWindow::SendMail() {
  const std::string cell = Cell(3);
  if (cell.empty() || !services_.shell) return;
  SendMailTo(*services_.shell, Setting("Mailer"), cell);
}

void PhoneBookWindow::OpenWebPage() {
  const std::string cell = Cell(4);
  if (cell.empty() || !services_.shell) return;
  ::mirokata::OpenWebPage(*services_.shell, Setting("Browser"), cell);
}

void PhoneBookWindow::Dial() {
  const std::string number = dial_->text().toStdString();
  const std::string name = Cell(1) + "(" + Cell(0) + ")";
  if (number.empty() || !services_.shell) return;
  // The "tel:" address has no room for the name: it is shown here.
  statusBar()->showMessage(U(name + " " + number + " に電話をかけます。"));
  DialNumber(*services_.shell, number);
}

void PhoneBookWindow::PlayTones() {
  if (tones_playing_ || !services_.cues) return;
  const int sleep_ms =
      std::clamp(services_.settings->ReadInteger(kPhoneBookSection, "Sleep",
                                                 kToneGapDefault),
                 0, kToneGapMax);
  tones_playing_ = true;
  tone_button_->setEnabled(false);
  const std::weak_ptr<bool> alive = alive_;
  services_.cues->PlayDialTones(dial_->text().toStdString(), sleep_ms,
                                [this, alive] {
                                  if (alive.expired()) return;
                                  tones_playing_ = false;
                                  tone_button_->setEnabled(true);
                                });
}

void PhoneBookWindow::AddressChanged() {
  const bool busy = ping_ != nullptr;
  const bool empty = address_->text().trimmed().isEmpty();
  ping_button_->setEnabled(!busy && !empty);
  QPalette palette = address_->palette();
  palette.setColor(QPalette::Base,
                   busy || empty ? QApplication::palette().button().color()
                                 : QApplication::palette().base().color());
  address_->setPalette(palette);
}

void PhoneBookWindow::Ping() {
  const std::string host = address_->text().trimmed().toStdString();
  if (host.empty() || !services_.reachability) return;
  // An earlier check still looking up the name ends here.
  ping_.reset();
  const std::weak_ptr<bool> alive = alive_;
  ping_ = services_.reachability->Ping(
      host, [this, alive, host](const PingOutcome& outcome) {
        if (alive.expired()) return;
        PingOutcome shown = outcome;
        if (shown.kind == PingOutcome::Kind::kLookupFailed) {
          shown.address = host;
        }
        PingDone(shown);
      });
  AddressChanged();
}

void PhoneBookWindow::PingDone(const PingOutcome& outcome) {
  ping_.reset();
  AddressChanged();
  switch (outcome.kind) {
    case PingOutcome::Kind::kReply:
      Notice(int(MessageKind::kInformation),
             "Pinging " + outcome.address + "\r\r" +
                 std::to_string(outcome.round_trip_ms) +
                 " msecs.で応答がありました。");
      break;
    case PingOutcome::Kind::kNoReply:
      Notice(int(MessageKind::kWarning),
             outcome.address + "の応答がありません。");
      break;
    case PingOutcome::Kind::kLookupFailed:
      Notice(int(MessageKind::kWarning),
             outcome.address + "が検出できません。");
      break;
    case PingOutcome::Kind::kRefused:
      Notice(int(MessageKind::kWarning), kRefusedText);
      break;
  }
}

void PhoneBookWindow::Notice(int kind, const std::string& text) {
  MessageRequest request(static_cast<MessageKind>(kind), text);
  request.parent = this;
  services_.messages->ShowNotice(request);
}

QString PhoneBookWindow::page_note() const { return top_panel_->text(); }

QString PhoneBookWindow::status() const {
  return statusBar()->currentMessage();
}

QMenu* PhoneBookWindow::BuildContextMenu() {
  auto* menu = new QMenu(this);
  menu->setAttribute(Qt::WA_DeleteOnClose);
  menu->setAccessibleName(U("電話帳のメニュー"));
  QMenu* call = menu->addMenu(U("電話をかける"));
  call->addAction(U("モデム"), this, [this] { dial_->Dial(); });
  call->addAction(U("スピーカー"), this, &PhoneBookWindow::PlayTones)
      ->setEnabled(tone_button_->isEnabled());
  QMenu* net = menu->addMenu(U("インターネット"));
  net->addAction(U("Ping"), this, &PhoneBookWindow::Ping)
      ->setEnabled(ping_button_->isEnabled());
  net->addAction(U("E-Mail"), this, &PhoneBookWindow::SendMail)
      ->setEnabled(mail_button_->isEnabled());
  net->addAction(U("Webページ"), this, &PhoneBookWindow::OpenWebPage)
      ->setEnabled(web_button_->isEnabled());
  QAction* lock = menu->addAction(U(kLockCaption));
  lock->setCheckable(true);
  lock->setChecked(lock_box_->isChecked());
  connect(lock, &QAction::toggled, this, &PhoneBookWindow::SetEditLocked);
  QAction* reorder = menu->addAction(U(kReorderCaption));
  reorder->setCheckable(true);
  reorder->setChecked(reorder_box_->isChecked());
  connect(reorder, &QAction::toggled, this, &PhoneBookWindow::SetReorderMode);
  menu->addSeparator();
  menu->addAction(U("閉じる"), this, &QWidget::close);
  return menu;
}

bool PhoneBookWindow::eventFilter(QObject* watched, QEvent* event) {
  if (watched == grid_->horizontalHeader()->viewport() &&
      event->type() == QEvent::MouseButtonRelease) {
    QMetaObject::invokeMethod(
        this, [this] { CommitColumnWidths(); }, Qt::QueuedConnection);
  }
  if (watched == grid_->viewport() && event->type() == QEvent::ContextMenu) {
    auto* e = static_cast<QContextMenuEvent*>(event);
    const int row = grid_->rowAt(e->pos().y());
    if (row >= 0 && row != grid_->currentIndex().row()) SelectRow(row);
    BuildContextMenu()->popup(e->globalPos());
    return true;
  }
  return QMainWindow::eventFilter(watched, event);
}

void PhoneBookWindow::closeEvent(QCloseEvent* event) {
  // A page that could not be saved keeps the window open with its edits.
  if (!SaveCurrentPage()) {
    event->ignore();
    return;
  }
  const QRect frame = geometry();
  const int page = std::max(page_, 0);
  services_.settings->Batch([frame, page, this](SettingsBatch& batch) {
    batch.WriteInteger(kPhoneBookSection, "top", y());
    batch.WriteInteger(kPhoneBookSection, "left", x());
    batch.WriteInteger(kPhoneBookSection, "Height", frame.height());
    batch.WriteInteger(kPhoneBookSection, "Width", frame.width());
    batch.WriteInteger(kPhoneBookSection, "Tab", page);
  });
  if (services_.cues) services_.cues->Play("clo");
  QMainWindow::closeEvent(event);
}

}  // namespace mirokata
