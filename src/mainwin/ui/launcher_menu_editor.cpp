#include "mainwin/ui/launcher_menu_editor.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMimeData>
#include <QPushButton>
#include <QUrl>
#include <QVBoxLayout>

#include "base/settings_file.h"
#include "base/window_placement.h"
#include "platform/messages.h"
#include "platform/screen.h"
#include "platform/sound_cues.h"
#include "widgets/accessible_controls.h"

namespace mirokata {

namespace {

QString U(const char* text) { return QString::fromUtf8(text); }
QString Q(const std::string& text) { return QString::fromStdString(text); }
constexpr char kNewTitle[] = "(新規登録)";
constexpr char kSeparatorShown[] = "(ｾﾊﾟﾚｰﾀ)";
constexpr char kSection[] = "Execmenu";

}  // namespace

LauncherMenuEditor::LauncherMenuEditor(Services& services, std::string path,
                                       int depth,
                                       std::function<void()> on_top_closed,
                                       QWidget* parent)
    : QWidget(parent, Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint),
      services_(services),
      path_(std::move(path)),
      depth_(depth),
      on_top_closed_(std::move(on_top_closed)) {
  setAttribute(Qt::WA_DeleteOnClose);
  setWindowModality(Qt::ApplicationModal);
  setAcceptDrops(true);
  setWindowTitle(depth_ == 1 ? U("ランチャーメニューの設定")
                             : U("ランチャーメニュー（サブ）の設定"));
  setAccessibleName(windowTitle());

  group_ = Named(new QGroupBox(Q(path_)), path_.c_str());
  list_ = Named(new QListWidget, "メニュー項目");
  title_ = Named(new QLineEdit, "タイトル");
  command_ = Named(new QLineEdit, "ファイル");
  submenu_ = Named(new QCheckBox(U("サブメニュー")), "サブメニュー");
  file_button_ = NamedButton("...", "ファイルの選択");
  new_ = NamedButton("新規追加");
  QPushButton* separator = NamedButton("セパレーター追加");
  write_ = NamedButton("書き込み");
  sub_edit_ = NamedButton("サブメニュー編集");
  QGroupBox* stack_group = Named(new QGroupBox(U("一時保存")), "一時保存");
  stack_list_ = Named(new QListWidget, "Stack");
  QPushButton* to_stack = NamedButton("選択項目をStackに移動");
  QPushButton* from_stack = NamedButton("Stack選択項目をMenuに移動");
  delete_ = NamedButton("削除");
  save_ = NamedButton("保存");
  QPushButton* cancel = NamedButton("キャンセル");
  status_ = Named(new QLabel, "ステータス");

  auto* fields = new QGridLayout;
  fields->addWidget(Named(new QLabel(U("Title")), "Title"), 0, 0);
  fields->addWidget(title_, 0, 1, 1, 2);
  fields->addWidget(Named(new QLabel(U("File")), "File"), 1, 0);
  fields->addWidget(command_, 1, 1);
  fields->addWidget(file_button_, 1, 2);
  fields->addWidget(submenu_, 2, 1);
  auto* item_buttons = new QHBoxLayout;
  for (QPushButton* b : {new_, separator, write_, sub_edit_}) {
    item_buttons->addWidget(b);
  }
  auto* group_layout = new QVBoxLayout(group_);
  group_layout->addWidget(list_);
  group_layout->addLayout(fields);
  group_layout->addLayout(item_buttons);
  auto* stack_layout = new QVBoxLayout(stack_group);
  stack_layout->addWidget(stack_list_);
  stack_layout->addWidget(to_stack);
  stack_layout->addWidget(from_stack);
  stack_layout->addWidget(delete_);
  auto* middle = new QHBoxLayout;
  middle->addWidget(group_, 2);
  middle->addWidget(stack_group, 1);
  auto* bottom = new QHBoxLayout;
  bottom->addStretch();
  bottom->addWidget(save_);
  bottom->addWidget(cancel);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(middle);
  layout->addLayout(bottom);
  layout->addWidget(status_);

  Help(title_, "Writeしないと無効になります。");
  Help(new_, "項目を新規に追加します。");
  Help(separator, "セパレータを追加します。");
  Help(stack_list_,
       "下位項目に設定がある場合、そのサブメニューは削除できません。");
  Help(command_, "Writeしないと無効になります。");
  Help(group_, "Addで項目追加(Drop可)し Title/File設定後､ Writeで更新します。");
  Help(submenu_,
       "Fileが設定されていると選択できません。(SubMenuは２階層まで設定可)");
  Help(file_button_, "関連付けされたファイルも設定できます。");
  Help(to_stack, "Menu項目を並び変える為に一時的にスタックします。");
  Help(from_stack, "スタックから戻し､ Menu項目を並び変えます。");
  Help(list_, "変更後は､ Saveして終了しないと無効になります。");
  Help(write_, "設定された内容を Menu項目に書き込みます。");
  Help(delete_, "問い合わせを行わずに削除しますので注意!!");
  Help(sub_edit_, "現在表示のメニューを保存し、サブメニューを編集します。");
  Help(status_, "マウスの移動により､ここにヘルプが表示されます。");
  Help(save_, "変更内容を保存して終了します。");
  Help(cancel, "変更内容を保存せずに終了します。");
  status_->setText(U("マウスの移動により､ここにヘルプが表示されます。"));

  connect(new_, &QPushButton::clicked, this, &LauncherMenuEditor::AddItem);
  connect(separator, &QPushButton::clicked, this,
          &LauncherMenuEditor::AddSeparator);
  connect(write_, &QPushButton::clicked, this,
          &LauncherMenuEditor::WriteFields);
  connect(to_stack, &QPushButton::clicked, this, &LauncherMenuEditor::ToStack);
  connect(from_stack, &QPushButton::clicked, this,
          &LauncherMenuEditor::FromStack);
  connect(delete_, &QPushButton::clicked, this,
          &LauncherMenuEditor::DeleteFromStack);
  connect(save_, &QPushButton::clicked, this, &LauncherMenuEditor::Save);
  connect(cancel, &QPushButton::clicked, this, &QWidget::close);
  connect(sub_edit_, &QPushButton::clicked, this,
          &LauncherMenuEditor::EditSubmenu);
  connect(list_, &QListWidget::currentRowChanged, this,
          [this] { ShowSelected(); });
  connect(list_, &QListWidget::itemDoubleClicked, this, [this] {
    const int row = list_->currentRow();
    if (row < 0) return;
    if (items_[size_t(row)].submenu) {
      EditSubmenu();
    } else {
      ToStack();
    }
  });
  connect(stack_list_, &QListWidget::itemDoubleClicked, this,
          &LauncherMenuEditor::FromStack);
  connect(stack_list_, &QListWidget::currentRowChanged, this, [this](int row) {
    delete_->setEnabled(row >= 0 && SubLevelEmpty(stack_[size_t(row)]));
  });
  connect(title_, &QLineEdit::textEdited, this, [this](const QString& t) {
    if (IsReservedLauncherTitle(t.toStdString())) title_->clear();
  });
  connect(command_, &QLineEdit::textChanged, this, [this](const QString& t) {
    const int row = list_->currentRow();
    const bool is_sub = row >= 0 && items_[size_t(row)].submenu;
    if (!is_sub) submenu_->setEnabled(row >= 0 && t.isEmpty());
  });
  connect(submenu_, &QCheckBox::clicked, this,
          [this](bool on) { SetSubmenu(on); });
  connect(file_button_, &QPushButton::clicked, this, [this] {
    auto* dialog = new QFileDialog(
        this, QString(), QFileInfo(command_->text()).absolutePath(),
        U("実行ﾌｧｲﾙ(*.exe *.com *.bat *.lnk *.desktop);;全てのﾌｧｲﾙ(*)"));
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->setFileMode(QFileDialog::ExistingFile);
    connect(dialog, &QFileDialog::fileSelected, this, [this](const QString& f) {
      command_->setText(f);
      if (title_->text() == U(kNewTitle)) {
        title_->setText(QFileInfo(f).fileName());
      }
    });
    dialog->open();
  });

  // Opening.
  if (services_.cues) services_.cues->Play("ope");
  Settings s = services_.settings->Open();
  if (depth_ == 1) s.WriteInteger(kSection, "SubCount", 1);
  items_ = ReadLauncherLevel(s, path_);
  const std::string digit = std::to_string(depth_);
  Point at{s.ReadInteger(kSection, "left" + digit, 0),
           s.ReadInteger(kSection, "top" + digit, 0)};
  resize(560, 420);
  if (services_.screen) {
    at = ClampToScreens(at, {width(), height()},
                        services_.screen->AvailableGeometries());
  }
  move(at.left, at.top);
  if (depth_ >= kLauncherDepth) {
    submenu_->hide();
    sub_edit_->hide();
  }
  Refill(items_.empty() ? -1 : 0);
  if (items_.empty()) new_->setFocus();
}

void LauncherMenuEditor::Help(QWidget* w, const char* text) {
  w->setProperty("launcher_help", U(text));
  w->installEventFilter(this);
}

bool LauncherMenuEditor::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::Enter) {
    const QVariant help = watched->property("launcher_help");
    if (help.isValid()) status_->setText(help.toString());
  }
  return QWidget::eventFilter(watched, event);
}

void LauncherMenuEditor::Refill(int select) {
  list_->blockSignals(true);
  list_->clear();
  for (const LauncherEntry& e : items_) {
    list_->addItem(e.separator() ? U(kSeparatorShown) : Q(e.title));
  }
  list_->blockSignals(false);
  stack_list_->clear();
  for (const LauncherEntry& e : stack_) {
    stack_list_->addItem(e.separator() ? U(kSeparatorShown) : Q(e.title));
  }
  save_->setEnabled(stack_.empty());
  delete_->setEnabled(false);
  list_->setCurrentRow(select);
  ShowSelected();
}

bool LauncherMenuEditor::SubLevelEmpty(const LauncherEntry& e) const {
  if (!e.submenu) return true;
  return services_.settings->ReadInteger(
             "ExecTitle_" + LauncherSubPath(path_, e.title), "Count", 0) <= 0;
}

void LauncherMenuEditor::ShowSelected() {
  const int row = list_->currentRow();
  const bool any = row >= 0 && row < int(items_.size());
  const LauncherEntry none;
  const LauncherEntry& e = any ? items_[size_t(row)] : none;
  const bool sep = any && e.separator();
  title_->setText(sep ? U(kSeparatorShown) : Q(e.title));
  command_->setText(sep || e.submenu ? QString() : Q(e.command));
  submenu_->setChecked(e.submenu);
  const bool editable = any && !sep;
  const bool renamable = editable && (!e.submenu || SubLevelEmpty(e));
  title_->setEnabled(renamable);
  write_->setEnabled(renamable);
  command_->setEnabled(editable && !e.submenu);
  file_button_->setEnabled(editable && !e.submenu);
  submenu_->setEnabled(e.submenu ? renamable : editable && e.command.empty());
  sub_edit_->setEnabled(any && e.submenu);
}

void LauncherMenuEditor::Refuse() {
  if (services_.messages) services_.messages->Beep(MessageKind::kWarning);
}

void LauncherMenuEditor::AddItem() {
  int at = list_->currentRow();
  if (at < 0) at = int(items_.size());
  items_.insert(items_.begin() + at, LauncherEntry{kNewTitle, "", false});
  Refill(at);
}

void LauncherMenuEditor::AddSeparator() {
  int at = list_->currentRow();
  if (at < 0) at = int(items_.size());
  items_.insert(items_.begin() + at, LauncherEntry{"-", "-", false});
  Refill(at);
}

bool LauncherMenuEditor::WriteFields() {
  const int row = list_->currentRow();
  if (row < 0 || items_[size_t(row)].separator()) return false;
  std::vector<LauncherEntry> candidate = items_;
  LauncherEntry& e = candidate[size_t(row)];
  e.title = title_->text().toStdString();
  if (!e.submenu) e.command = command_->text().toStdString();
  if (IsReservedLauncherTitle(e.title) ||
      CheckLauncherLevel(services_.settings->Open(), path_, candidate) !=
          LauncherRefusal::kNone) {
    Refuse();
    return false;
  }
  if (services_.cues) services_.cues->Play("c1");
  items_ = std::move(candidate);
  Refill(row);
  return true;
}

void LauncherMenuEditor::SetSubmenu(bool on) {
  const int row = list_->currentRow();
  if (row < 0) return;
  std::vector<LauncherEntry> candidate = items_;
  candidate[size_t(row)].submenu = on;
  if (on) candidate[size_t(row)].command.clear();
  if (CheckLauncherLevel(services_.settings->Open(), path_, candidate) !=
      LauncherRefusal::kNone) {
    Refuse();
    submenu_->setChecked(!on);
    return;
  }
  items_ = std::move(candidate);
  Refill(row);
}

void LauncherMenuEditor::ToStack() {
  const int row = list_->currentRow();
  if (row < 0) return;
  stack_.push_back(items_[size_t(row)]);
  items_.erase(items_.begin() + row);
  Refill(std::min(row, int(items_.size()) - 1));
}

void LauncherMenuEditor::FromStack() {
  const int from = stack_list_->currentRow() >= 0 ? stack_list_->currentRow()
                                                  : (stack_.empty() ? -1 : 0);
  if (from < 0) return;
  const int at = list_->currentRow() + 1;
  items_.insert(items_.begin() + at, stack_[size_t(from)]);
  stack_.erase(stack_.begin() + from);
  Refill(at);
}

void LauncherMenuEditor::DeleteFromStack() {
  const int row = stack_list_->currentRow();
  if (row < 0 || !SubLevelEmpty(stack_[size_t(row)])) return;
  if (services_.cues) services_.cues->Play("del");
  stack_.erase(stack_.begin() + row);
  Refill(list_->currentRow());
}

void LauncherMenuEditor::AddDroppedFiles(const QStringList& paths) {
  for (const QString& p : paths) {
    stack_.push_back(
        {QFileInfo(p).fileName().toStdString(), p.toStdString(), false});
  }
  Refill(list_->currentRow());
}

bool LauncherMenuEditor::SaveLevel() {
  if (!stack_.empty()) return false;
  if (SaveLauncherLevel(*services_.settings, path_, items_) !=
      LauncherRefusal::kNone) {
    Refuse();
    return false;
  }
  return true;
}

bool LauncherMenuEditor::Save() {
  if (!SaveLevel()) return false;
  if (services_.cues) services_.cues->Play("sav");
  close();
  return true;
}

void LauncherMenuEditor::EditSubmenu() {
  const int row = list_->currentRow();
  if (row < 0 || !items_[size_t(row)].submenu || depth_ >= kLauncherDepth) {
    return;
  }
  if (title_->isEnabled() &&
      title_->text().toStdString() != items_[size_t(row)].title &&
      !WriteFields()) {
    return;
  }
  if (!SaveLevel()) return;
  const std::string sub = LauncherSubPath(path_, items_[size_t(row)].title);
  services_.settings->Batch([&](SettingsBatch& b) {
    b.WriteString(kSection, "SubStack", sub);
    b.WriteInteger(kSection, "SubCount", depth_ + 1);
  });
  nested_ = new LauncherMenuEditor(services_, sub, depth_ + 1, {}, this);
  // Its items decide whether this item may still be renamed.
  connect(nested_, &QObject::destroyed, this, [this] { ShowSelected(); });
  nested_->show();
}

void LauncherMenuEditor::closeEvent(QCloseEvent* event) {
  const std::string digit = std::to_string(depth_);
  services_.settings->Batch([&](SettingsBatch& b) {
    b.WriteInteger(kSection, "top" + digit, y());
    b.WriteInteger(kSection, "left" + digit, x());
    b.WriteInteger(kSection, "SubCount", depth_ - 1);
  });
  if (services_.cues) services_.cues->Play("clo");
  event->accept();
  if (depth_ == 1 && on_top_closed_) {
    hide();
    on_top_closed_();
  }
}

void LauncherMenuEditor::dragEnterEvent(QDragEnterEvent* event) {
  if (event->mimeData()->hasUrls()) event->acceptProposedAction();
}

void LauncherMenuEditor::dropEvent(QDropEvent* event) {
  QStringList paths;
  for (const QUrl& url : event->mimeData()->urls()) {
    if (url.isLocalFile()) paths << url.toLocalFile();
  }
  event->acceptProposedAction();
  AddDroppedFiles(paths);
}

}  // namespace mirokata
