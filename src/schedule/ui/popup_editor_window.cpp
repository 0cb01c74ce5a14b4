#include "schedule/ui/popup_editor_window.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QSortFilterProxyModel>
#include <QSpinBox>
#include <QTabBar>
#include <QTextDocumentFragment>
#include <QVBoxLayout>

#include "base/folders.h"
#include "base/settings_file.h"
#include "platform/clock.h"
#include "platform/messages.h"
#include "platform/sound_cues.h"
#include "richtext/rtf_reader.h"
#include "richtext/text_document_rtf_qt.h"
#include "widgets/picture_chooser_dialog.h"
#include "widgets/sound_chooser_dialog.h"
#include "widgets/stored_placement.h"

namespace mirokata {
namespace {

constexpr char kSection[] = "Sch_wind";

QString Q(const std::string& text) { return QString::fromStdString(text); }

QLabel* Note(QWidget* parent, const char* text) {
  auto* label = new QLabel(QString::fromUtf8(text), parent);
  label->setAccessibleName(label->text());
  return label;
}

QSpinBox* Spin(QWidget* parent, int low, int high, int step, int value,
               const char* name) {
  auto* spin = new QSpinBox(parent);
  spin->setRange(low, high);
  spin->setSingleStep(step);
  spin->setValue(value);
  spin->setKeyboardTracking(false);
  spin->setAccessibleName(QString::fromUtf8(name));
  return spin;
}

QCheckBox* Check(QWidget* parent, const char* caption, const char* hint = "") {
  auto* box = new QCheckBox(QString::fromUtf8(caption), parent);
  box->setAccessibleName(box->text());
  if (*hint) box->setToolTip(QString::fromUtf8(hint));
  return box;
}

// The first filter of the program browse: folders, executables and
// desktop entries, what the shell can start.
class ProgramFilter : public QSortFilterProxyModel {
 public:
  using QSortFilterProxyModel::QSortFilterProxyModel;
  void SetProgramsOnly(bool on) {
    programs_only_ = on;
    invalidateFilter();
  }

 protected:
  bool filterAcceptsRow(int row, const QModelIndex& parent) const override {
    if (!programs_only_) return true;
    auto* files = qobject_cast<QFileSystemModel*>(sourceModel());
    if (!files) return true;
    const QFileInfo info = files->fileInfo(files->index(row, 0, parent));
    return info.isDir() || info.suffix() == "desktop" || info.isExecutable();
  }

 private:
  bool programs_only_ = true;
};

bool FileExists(const std::string& path) {
  return !path.empty() && QFileInfo(Q(path)).isFile();
}

}  // namespace

PopupEditorState PopupEditorWindow::StartingState(const Services& services,
                                                  const CivilDate& date) {
  const LocalTime now = services.clock->Now();
  const int before = services.settings->ReadInteger("Calendar", "before", 0);
  const int minutes =
      ((now.hour * 60 + now.minute + before) % 1440 + 1440) % 1440;
  PopupEditorState state;
  state.date = date;
  state.hour = minutes / 60;
  state.minute = minutes % 60;
  return state;
}

PopupEditorWindow::PopupEditorWindow(const Services& services,
                                     EditorNeighbours neighbours,
                                     const PopupEditorState& state,
                                     QWidget* parent)
    : QWidget(parent, Qt::Window),
      services_(services),
      neighbours_(std::move(neighbours)),
      text_(new EntryTextEdit(this)),
      state_(state),
      boilerplates_(*services.settings, DataFolder(services.settings->Open())),
      session_(services, this, text_, /*popup=*/true) {
  setAttribute(Qt::WA_DeleteOnClose);
  setWindowTitle(QString::fromUtf8("ポップアップの登録"));
  setAccessibleName(windowTitle());
  BuildUi();
  session_.SetChangedHandler([this] { UpdateButtons(); });
  if (services_.cues) services_.cues->Play("ope");
  PlaceAtStoredPosition(this, services_, kSection);
  for (int slot = 0; slot < BoilerplateStore::kSlots; ++slot) {
    teikei_titles_->addItem(Q(boilerplates_.Title(slot)));
  }
  teikei_titles_->setCurrentIndex(-1);
  ShowBeforeNotes();
  SetState(state);
}

PopupEditorWindow::~PopupEditorWindow() = default;

void PopupEditorWindow::BuildUi() {
  setFont(EditorFont());
  auto* columns = new QHBoxLayout(this);
  columns->setContentsMargins(4, 4, 4, 4);
  auto* left = new QVBoxLayout;
  left->setSpacing(3);
  columns->addLayout(left, 1);

  auto* time_row = new QHBoxLayout;
  hour_ = Spin(this, 0, 23, 1, 0, "時");
  minute_ = Spin(this, 0, 59, 1, 0, "分");
  time_row->addWidget(hour_);
  time_row->addWidget(new QLabel(":", this));
  time_row->addWidget(minute_);
  panel_ = new QLabel(this);
  panel_->setAccessibleName("Popup");
  panel_->setFrameShape(QFrame::Panel);
  panel_->setFrameShadow(QFrame::Sunken);
  time_row->addWidget(panel_, 1);
  to_elapsed_ = MakeButton(this, "Ｗ", "Windows経過時間で指定");
  time_row->addWidget(to_elapsed_);
  left->addLayout(time_row);

  time_panel_ = new QWidget(this);
  auto* time_column = new QVBoxLayout(time_panel_);
  time_column->setContentsMargins(0, 0, 0, 0);
  time_column->setSpacing(3);
  time_note_ = Note(time_panel_, "");
  time_column->addWidget(time_note_);
  date_ = new DateBoxes(1, time_panel_);
  time_column->addWidget(date_);
  repetition_ = new RepetitionBoxes(time_panel_, 5);
  time_column->addWidget(repetition_->tabs());
  auto* groups = new QHBoxLayout;
  groups->addWidget(repetition_->move_group());
  groups->addWidget(repetition_->saturday_group());
  groups->addWidget(repetition_->weeks_group(), 1);
  time_column->addLayout(groups);
  left->addWidget(time_panel_);

  elapsed_panel_ = BuildElapsedPanel();
  elapsed_panel_->hide();
  left->addWidget(elapsed_panel_);

  text_->setAccessibleName(QString::fromUtf8("ポップアップ"));
  left->addWidget(text_, 1);
  auto* copy_row = new QHBoxLayout;
  copy_ = MakeCopyString(this);
  copy_row->addWidget(copy_, 1);
  QPushButton* insert = MakeButton(this, "挿入", "挿入");
  copy_row->addWidget(insert);
  left->addLayout(copy_row);

  auto* right = new QVBoxLayout;
  right->setSpacing(3);
  columns->addLayout(right);
  right->addWidget(BuildOptions());
  right->addWidget(BuildBoilerplates(), 1);
  auto* buttons = new QHBoxLayout;
  save_ = MakeButton(this, "保存", "ｽｹｼﾞｭｰﾙを登録します｡");
  save_close_ = MakeButton(this, "保存して閉じる", "保存して閉じる");
  delete_ = MakeButton(this, "削除", "ｽｹｼﾞｭｰﾙを削除します｡");
  buttons->addWidget(save_);
  buttons->addWidget(save_close_);
  buttons->addWidget(delete_);
  right->addLayout(buttons);
  resize(474, 359);

  // The window's own menu.
  setContextMenuPolicy(Qt::CustomContextMenu);
  auto* menu = new QMenu(this);
  connect(menu->addAction(QString::fromUtf8("ﾎﾟｯﾌﾟｱｯﾌﾟ時の音設定")),
          &QAction::triggered, this, &PopupEditorWindow::OpenSoundChooser);
  connect(menu->addAction(QString::fromUtf8("ﾎﾟｯﾌﾟｱｯﾌﾟの画像選択")),
          &QAction::triggered, this, &PopupEditorWindow::OpenPictureChooser);
  QMenu* close = menu->addMenu(QString::fromUtf8("閉じる"));
  QAction* save_exit = close->addAction(QString::fromUtf8("保存して終了"));
  QAction* delete_exit = close->addAction(QString::fromUtf8("削除して終了"));
  connect(close->addAction(QString::fromUtf8("取り止め")), &QAction::triggered,
          this, [this] {
            // Closing without saving: the text counts as unchanged.
            text_->document()->setModified(false);
            this->close();
          });
  connect(save_exit, &QAction::triggered, this, [this] { SaveEntry(true); });
  connect(delete_exit, &QAction::triggered, this,
          &PopupEditorWindow::DeleteEntry);
  connect(menu, &QMenu::aboutToShow, this, [this, save_exit, delete_exit] {
    save_exit->setEnabled(save_close_->isEnabled());
    delete_exit->setEnabled(delete_->isEnabled());
  });
  connect(this, &QWidget::customContextMenuRequested, menu,
          [this, menu](const QPoint& at) { menu->popup(mapToGlobal(at)); });

  const auto reevaluate = [this] {
    if (showing_) return;
    ReadBoxes();
    Reevaluate();
  };
  connect(hour_, &QSpinBox::valueChanged, this, reevaluate);
  connect(minute_, &QSpinBox::valueChanged, this, reevaluate);
  connect(date_, &DateBoxes::Changed, this, reevaluate);
  connect(repetition_, &RepetitionBoxes::TabChanged, this, [this, reevaluate] {
    if (services_.cues) services_.cues->Play("c1");
    reevaluate();
  });
  connect(repetition_, &RepetitionBoxes::Changed, this, reevaluate);
  connect(seconds_, &QSpinBox::valueChanged, this, reevaluate);
  connect(to_elapsed_, &QPushButton::clicked, this,
          [this] { SetElapsedMode(!state_.elapsed); });
  connect(date_->today_button(), &QPushButton::clicked, this,
          &PopupEditorWindow::BackToToday);
  connect(insert, &QPushButton::clicked, this,
          [this] { text_->AppendLines(copy_->text()); });
  connect(text_, &QTextEdit::textChanged, this, [this] {
    if (!showing_ && session_.modified()) UpdateButtons();
  });
  connect(save_, &QPushButton::clicked, this, [this] { SaveEntry(false); });
  connect(save_close_, &QPushButton::clicked, this,
          [this] { SaveEntry(true); });
  connect(delete_, &QPushButton::clicked, this,
          &PopupEditorWindow::DeleteEntry);
}

QWidget* PopupEditorWindow::BuildElapsedPanel() {
  auto* panel = new QWidget(this);
  auto* grid = new QGridLayout(panel);
  grid->setContentsMargins(0, 0, 0, 0);
  grid->setSpacing(2);
  grid->addWidget(Note(panel, "Windowsが起動されてから"), 0, 0, 1, 3);
  seconds_ = Spin(panel, kMinElapsedSeconds, kMaxElapsedSeconds, 10,
                  kMinElapsedSeconds, "秒");
  grid->addWidget(seconds_, 1, 0);
  grid->addWidget(Note(panel, "秒経過したらﾎﾟｯﾌﾟｱｯﾌﾟ"), 1, 1, 1, 2);
  unit_ = Spin(panel, 10, 3600, 10, 600, "単位の秒数");
  count_ = Spin(panel, 1, 960, 1, 1, "回数");
  QPushButton* calculate = MakeButton(panel, "計算", "計算");
  grid->addWidget(unit_, 2, 0);
  grid->addWidget(count_, 2, 1);
  grid->addWidget(calculate, 2, 2);
  elapsed_note_ = Note(panel, "");
  grid->addWidget(elapsed_note_, 3, 0, 3, 1);
  grid->addWidget(Note(panel, "15分は、900秒です。"), 3, 1, 1, 2);
  grid->addWidget(Note(panel, "45分は、2700秒です。"), 4, 1, 1, 2);
  grid->addWidget(Note(panel, "1時間は、3600秒です。"), 5, 1, 1, 2);
  grid->addWidget(Note(panel, "Mirokata起動後の時間経過ではなく、"), 6, 0, 1,
                  3);
  grid->addWidget(Note(panel, "Windows起動後の経過時間です。"), 7, 0, 1, 3);
  grid->addWidget(Note(panel, "既に経過してしまった時間については"), 8, 0, 1,
                  3);
  grid->addWidget(Note(panel, "ﾎﾟｯﾌﾟｱｯﾌﾟしませんので注意して下さい。"), 9, 0, 1,
                  3);
  QPushButton* back = MakeButton(panel, "Ｔ", "時間で指定");
  grid->addWidget(back, 0, 2);
  connect(calculate, &QPushButton::clicked, this,
          [this] { seconds_->setValue(unit_->value() * count_->value()); });
  connect(back, &QPushButton::clicked, this, [this] { SetElapsedMode(false); });
  return panel;
}

QWidget* PopupEditorWindow::BuildOptions() {
  auto* box = new QGroupBox(this);
  box->setAccessibleName(QString::fromUtf8("オプション"));
  auto* column = new QVBoxLayout(box);
  column->setContentsMargins(4, 4, 4, 4);
  column->setSpacing(2);

  auto* close_row = new QHBoxLayout;
  auto_close_ = Check(box, "ポップアップを");
  close_seconds_ = Spin(box, 0, 9999, 1, 60, "秒後に閉じる。");
  close_row->addWidget(auto_close_);
  close_row->addWidget(close_seconds_);
  close_row->addWidget(Note(box, "秒後に閉じる。"));
  close_row->addStretch();
  column->addLayout(close_row);

  auto* picture_row = new QHBoxLayout;
  QPushButton* sound =
      MakeButton(box, "サウンド", "個別にｻｳﾝﾄﾞを指定できます。");
  QPushButton* picture =
      MakeButton(box, "画像", "個別にﾋﾞｯﾄﾏｯﾌﾟを指定できます。");
  wallpaper_ = Check(box, "壁紙にする");
  stretch_ = Check(box, "ストレッチ解除");
  picture_row->addWidget(sound);
  picture_row->addWidget(picture);
  picture_row->addWidget(wallpaper_);
  picture_row->addWidget(stretch_);
  column->addLayout(picture_row);

  column->addWidget(Note(box, "起動するアプリケーションの指定"));
  auto* program_row = new QHBoxLayout;
  program_ = new QLineEdit(box);
  program_->setToolTip(QString::fromUtf8("実行するアプリをフルパスで指定"));
  program_->setAccessibleName(program_->toolTip());
  QPushButton* browse = MakeButton(box, "...", "ﾌｫﾙﾀﾞの参照");
  program_row->addWidget(program_, 1);
  program_row->addWidget(browse);
  column->addLayout(program_row);

  auto* title_row = new QHBoxLayout;
  title_row->addWidget(Note(box, "ウィンドウタイトルに"));
  close_title_ = new QLineEdit(box);
  close_title_->setToolTip(
      QString::fromUtf8("閉じたいウィンドウタイトルの部分文字列を入力"));
  close_title_->setAccessibleName(close_title_->toolTip());
  title_row->addWidget(close_title_, 1);
  column->addLayout(title_row);
  column->addWidget(Note(box, "の文字列が含まれる窓を閉じる。"));

  auto* last_row = new QHBoxLayout;
  mail_ = Check(box, "メール通知");
  add_schedule_ = Check(box, "スケジュールに追加",
                        "ｽｹｼﾞｭｰﾙにも内容を追加したい場合はチェック");
  last_row->addWidget(mail_);
  last_row->addWidget(add_schedule_);
  column->addLayout(last_row);

  connect(sound, &QPushButton::clicked, this,
          &PopupEditorWindow::OpenSoundChooser);
  connect(picture, &QPushButton::clicked, this,
          &PopupEditorWindow::OpenPictureChooser);
  connect(browse, &QPushButton::clicked, this, [this] {
    const QString current = program_->text();
    auto* dialog = new QFileDialog(
        this, QString(),
        QFileInfo(current).isFile() ? QFileInfo(current).path() : QString());
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->setOption(QFileDialog::DontUseNativeDialog);
    const QStringList filters = {QString::fromUtf8("実行ﾌｧｲﾙ (*)"),
                                 QString::fromUtf8("全てのﾌｧｲﾙ (*)")};
    dialog->setNameFilters(filters);
    auto* programs = new ProgramFilter(dialog);
    dialog->setProxyModel(programs);
    connect(dialog, &QFileDialog::filterSelected, programs,
            [programs, filters](const QString& filter) {
              programs->SetProgramsOnly(filter == filters.front());
            });
    dialog->setFileMode(QFileDialog::ExistingFile);
    if (QFileInfo(current).isFile()) dialog->selectFile(current);
    QPointer<PopupEditorWindow> self(this);
    connect(dialog, &QFileDialog::fileSelected, this,
            [self](const QString& file) {
              if (self) self->program_->setText(file);
            });
    dialog->open();
  });
  for (QCheckBox* check : {auto_close_, wallpaper_, stretch_, mail_}) {
    connect(check, &QAbstractButton::clicked, this,
            &PopupEditorWindow::MarkChanged);
  }
  connect(add_schedule_, &QAbstractButton::clicked, this,
          &PopupEditorWindow::MarkChanged);
  connect(close_seconds_, &QSpinBox::valueChanged, this,
          &PopupEditorWindow::MarkChanged);
  for (QLineEdit* line : {program_, close_title_}) {
    connect(line, &QLineEdit::textEdited, this,
            &PopupEditorWindow::MarkChanged);
  }
  return box;
}

QWidget* PopupEditorWindow::BuildBoilerplates() {
  auto* box = new QGroupBox(QString::fromUtf8("定型文"), this);
  box->setAccessibleName(box->title());
  auto* column = new QVBoxLayout(box);
  column->setContentsMargins(4, 4, 4, 4);
  column->setSpacing(2);
  auto* title_row = new QHBoxLayout;
  teikei_titles_ = new QComboBox(box);
  teikei_titles_->setToolTip(QString::fromUtf8("定型文のタイトルです。"));
  teikei_titles_->setAccessibleName(teikei_titles_->toolTip());
  teikei_titles_->setMaxVisibleItems(10);
  rename_ = new QLineEdit(box);
  rename_->setAccessibleName(QString::fromUtf8("定型文のタイトル変更"));
  rename_->hide();
  rename_button_ = MakeButton(box, "変更", "定型文のタイトル変更");
  rename_button_->setEnabled(false);
  title_row->addWidget(teikei_titles_, 1);
  title_row->addWidget(rename_, 1);
  title_row->addWidget(rename_button_);
  column->addLayout(title_row);
  teikei_text_ = new QTextEdit(box);
  teikei_text_->setAccessibleName(QString::fromUtf8("定型文"));
  teikei_text_->hide();
  column->addWidget(teikei_text_, 1);
  auto* buttons = new QHBoxLayout;
  teikei_insert_ = MakeButton(box, "定型文を挿入", "定型文を挿入");
  teikei_delete_ = MakeButton(box, "定型文を削除", "定型文を削除");
  teikei_insert_->hide();
  teikei_delete_->hide();
  buttons->addWidget(teikei_insert_);
  buttons->addWidget(teikei_delete_);
  column->addLayout(buttons);

  connect(teikei_titles_, &QComboBox::activated, this,
          &PopupEditorWindow::SelectBoilerplate);
  connect(teikei_text_, &QTextEdit::textChanged, this, [this] {
    if (slot_ < 0 || showing_) return;
    std::string error;
    if (!boilerplates_.Save(slot_, SaveRichText(*teikei_text_->document()),
                            &error)) {
      MessageRequest box(MessageKind::kError,
                         "保存できませんでした。\r" + error);
      box.corner_of = this;
      services_.messages->ShowNotice(box);
    }
  });
  connect(teikei_insert_, &QPushButton::clicked, this,
          &PopupEditorWindow::InsertBoilerplate);
  connect(teikei_delete_, &QPushButton::clicked, this,
          &PopupEditorWindow::DeleteBoilerplate);
  connect(rename_button_, &QPushButton::clicked, this,
          &PopupEditorWindow::StartRename);
  connect(rename_, &QLineEdit::textEdited, this, [this](const QString& text) {
    if (slot_ >= 0) boilerplates_.SetTitle(slot_, text.toStdString());
  });
  connect(rename_, &QLineEdit::editingFinished, this, [this] {
    if (!rename_->isVisible()) return;
    if (slot_ >= 0) {
      teikei_titles_->setItemText(slot_, Q(boilerplates_.Title(slot_)));
    }
    rename_->hide();
    teikei_titles_->show();
  });
  return box;
}

int PopupEditorWindow::BeforeMinutes() const {
  return services_.settings->ReadInteger("Calendar", "before", 0);
}

void PopupEditorWindow::ShowBeforeNotes() {
  time_note_->setText(Q(PopupTimeNote(BeforeMinutes())));
}

void PopupEditorWindow::SetState(const PopupEditorState& state) {
  state_ = state;
  Reevaluate();
}

void PopupEditorWindow::ReadBoxes() {
  state_.hour = hour_->value();
  state_.minute = minute_->value();
  state_.date = date_->date();
  repetition_->Read(&state_);
  state_.seconds = seconds_->value();
}

void PopupEditorWindow::Reevaluate() {
  const LocalTime now = services_.clock->Now();
  view_ = EvaluatePopupEditor(state_, BeforeMinutes(), now.weekday);
  ShowState();
  if (session_.Address(view_.name)) LoadOptions();
  UpdateButtons();
}

void PopupEditorWindow::ShowState() {
  showing_ = true;
  hour_->setValue(state_.hour);
  minute_->setValue(state_.minute);
  date_->SetDate(state_.date);
  repetition_->Show(state_, view_);
  seconds_->setValue(state_.seconds);
  elapsed_note_->setText(Q(view_.elapsed_note));
  time_panel_->setVisible(!state_.elapsed);
  elapsed_panel_->setVisible(state_.elapsed);
  panel_->setVisible(!state_.elapsed);
  panel_->setText(Q(view_.panel_text));
  static const char* const kColours[] = {"blue", "red", "fuchsia"};
  panel_->setStyleSheet(
      QString("color: %1").arg(kColours[static_cast<int>(view_.panel_colour)]));
  text_->setToolTip(Q(view_.hint));
  copy_->setText(Q(view_.copy_string));
  const bool can_add = view_.add_to_schedule_enabled && !state_.elapsed;
  add_schedule_->setEnabled(can_add);
  if (!can_add) add_schedule_->setChecked(false);
  const CivilDate today = TodayOfClock(services_.clock);
  date_->ShowOffset(today);
  showing_ = false;
}

void PopupEditorWindow::LoadOptions() {
  showing_ = true;
  stored_ = ReadPopupOptions(*services_.settings, session_.full_path());
  chosen_sound_.reset();
  chosen_picture_.reset();
  ShowPictureChoice(stored_.bitmap && FileExists(*stored_.bitmap));
  program_->setText(Q(stored_.execute));
  close_title_->setText(Q(stored_.execlose));
  mail_->setChecked(stored_.smtp);
  auto_close_->setChecked(stored_.closetime != -1);
  close_seconds_->setValue(stored_.closetime == -1 ? 60 : stored_.closetime);
  options_changed_ = false;
  showing_ = false;
}

// With a picture of its own the entry's wallpaper and stretch choices show;
// without one they are off and disabled, and what is stored stays stored.
void PopupEditorWindow::ShowPictureChoice(bool own_picture) {
  wallpaper_->setEnabled(own_picture);
  stretch_->setEnabled(own_picture);
  if (own_picture) {
    wallpaper_->setChecked(stored_.wallpaper);
    stretch_->setChecked(stored_.stretch);
  } else {
    wallpaper_->setChecked(false);
    stretch_->setChecked(
        services_.settings->ReadBool("Calendar", "Stretch", false));
  }
}

void PopupEditorWindow::MarkChanged() {
  if (showing_) return;
  options_changed_ = true;
  UpdateButtons();
}

void PopupEditorWindow::UpdateButtons() {
  const bool can_save = (session_.modified() || options_changed_) &&
                        !session_.unreadable() && !session_.busy();
  save_->setEnabled(can_save);
  save_close_->setEnabled(can_save);
  delete_->setEnabled(session_.exists() && !session_.busy());
}

void PopupEditorWindow::SaveEntry(bool close_after) {
  if (!save_->isEnabled()) return;
  QPointer<PopupEditorWindow> self(this);
  session_.Save([self, close_after] {
    if (self) self->WriteOptionsAndSchedule(close_after);
  });
  UpdateButtons();
}

void PopupEditorWindow::WriteOptionsAndSchedule(bool close_after) {
  PopupOptionEdits edits;
  edits.closetime = auto_close_->isChecked() ? close_seconds_->value() : -1;
  edits.file = chosen_sound_;
  edits.bitmap = chosen_picture_;
  edits.smtp = mail_->isChecked();
  if (wallpaper_->isEnabled()) {
    edits.wallpaper = wallpaper_->isChecked();
    edits.stretch = stretch_->isChecked();
  }
  edits.execute = program_->text().toStdString();
  edits.execlose = close_title_->text().toStdString();
  std::string failure;
  if (!SavePopupOptions(*services_.settings, session_.full_path(), edits)) {
    failure = "設定ファイルに書き込めませんでした。";
  }
  stored_ = ReadPopupOptions(*services_.settings, session_.full_path());
  chosen_sound_.reset();
  chosen_picture_.reset();
  if (add_schedule_->isChecked() && add_schedule_->isEnabled()) {
    const std::string schedule = BuildEntryName(
        EntryFieldsForDate(EntryKind::kOneDaySchedule, state_.date));
    const std::string plain = text_->document()->toPlainText().toStdString();
    const SaveResult added =
        AppendToOneDaySchedule(session_.folder(), schedule, plain);
    if (added.outcome == SaveOutcome::kSaved) {
      schedule_changed_ = true;
    } else if (failure.empty()) {
      failure = added.outcome == SaveOutcome::kUnreadable
                    ? "読み込めない" + schedule + "には追加しません。"
                    : added.error;
    }
  }
  if (!failure.empty()) {
    options_changed_ = true;
    UpdateButtons();
    MessageRequest box(MessageKind::kError,
                       "保存できませんでした。\r" + failure);
    box.corner_of = this;
    services_.messages->ShowNotice(box);
    return;
  }
  options_changed_ = false;
  UpdateButtons();
  if (close_after) close();
}

void PopupEditorWindow::DeleteEntry() {
  if (!delete_->isEnabled()) return;
  QPointer<PopupEditorWindow> self(this);
  session_.Delete([self] {
    if (self) self->close();
  });
  UpdateButtons();
}

void PopupEditorWindow::SetElapsedMode(bool elapsed) {
  if (state_.elapsed == elapsed) return;
  if (services_.cues) services_.cues->Play("c1");
  ReadBoxes();
  state_.elapsed = elapsed;
  Reevaluate();
}

void PopupEditorWindow::BackToToday() {
  const LocalTime now = services_.clock->Now();
  state_.date = {now.year, now.month, now.day};
  state_.hour = now.hour;
  state_.minute = now.minute;
  Reevaluate();
}

void PopupEditorWindow::OpenSoundChooser() {
  if (!sound_chooser_) {
    const QString start =
        Q(services_.settings->ReadString("Calendar", "file", ""));
    sound_chooser_ = new SoundChooserDialog(*services_.sound, start, this);
    QPointer<PopupEditorWindow> self(this);
    connect(sound_chooser_, &QDialog::accepted, this, [self] {
      if (!self || !self->sound_chooser_) return;
      const QString path = self->sound_chooser_->SelectedPath();
      if (path.isEmpty()) return;
      self->chosen_sound_ = path.toStdString();
      self->MarkChanged();
    });
  }
  sound_chooser_->open();
}

void PopupEditorWindow::OpenPictureChooser() {
  if (!picture_chooser_) {
    picture_chooser_ = new PictureChooser(services_.jpeg, services_.cues, this);
    const std::string start =
        services_.settings->ReadString("Calendar", "bitmap", "");
    if (FileExists(start)) picture_chooser_->SetSelectedFile(Q(start));
    QPointer<PopupEditorWindow> self(this);
    connect(picture_chooser_, &QDialog::finished, this, [self](int result) {
      if (!self || !self->picture_chooser_) return;
      const std::string file =
          self->picture_chooser_->SelectedFile().toStdString();
      if (result == QDialog::Accepted && !file.empty()) {
        self->chosen_picture_ = file;
        self->MarkChanged();
      }
      const bool exists = FileExists(self->chosen_picture_.value_or(
          self->stored_.bitmap.value_or(std::string())));
      self->wallpaper_->setEnabled(exists);
      self->stretch_->setEnabled(exists);
      if (!exists) self->wallpaper_->setChecked(false);
    });
  }
  picture_chooser_->open();
}

void PopupEditorWindow::SelectBoilerplate(int slot) {
  if (slot < 0 || slot >= BoilerplateStore::kSlots) return;
  std::string error;
  if (!boilerplates_.EnsureFolder(&error)) {
    MessageRequest box(MessageKind::kError, kMissingFolderMessage);
    box.corner_of = this;
    services_.messages->ShowNotice(box);
    return;
  }
  slot_ = slot;
  teikei_text_->show();
  teikei_insert_->show();
  teikei_delete_->show();
  rename_button_->setEnabled(true);
  std::string content;
  showing_ = true;
  teikei_text_->clear();
  const ReadResult read = boilerplates_.Load(slot, &content);
  if (read == ReadResult::kOk) {
    LoadRichText(content, teikei_text_->document());
  }
  // A slot that cannot be read is shown empty and never written over;
  // deleting it stays possible.
  teikei_text_->setReadOnly(read == ReadResult::kUnreadable);
  showing_ = false;
  if (read == ReadResult::kUnreadable) {
    MessageRequest box(MessageKind::kError, "読み込めませんでした。\r" +
                                                boilerplates_.SlotPath(slot));
    box.corner_of = this;
    services_.messages->ShowNotice(box);
  }
}

void PopupEditorWindow::InsertBoilerplate() {
  if (slot_ < 0) return;
  QTextCursor end(text_->document());
  end.movePosition(QTextCursor::End);
  if (!text_->document()->isEmpty()) end.insertBlock();
  end.insertFragment(QTextDocumentFragment(teikei_text_->document()));
  text_->setTextCursor(end);
}

void PopupEditorWindow::DeleteBoilerplate() {
  if (slot_ < 0) return;
  const int slot = slot_;
  QPointer<PopupEditorWindow> self(this);
  const auto remove = [self, slot](bool go_on) {
    if (!self) return;
    self->setEnabled(true);
    if (!go_on) return;
    const bool had_file =
        QFileInfo(Q(self->boilerplates_.SlotPath(slot))).exists();
    std::string error;
    if (!self->boilerplates_.Delete(slot, &error)) {
      MessageRequest box(MessageKind::kError,
                         "削除できませんでした。\r" + error);
      box.corner_of = self;
      self->services_.messages->ShowNotice(box);
      return;
    }
    if (had_file && self->services_.cues) self->services_.cues->Play("del");
    self->teikei_titles_->setItemText(slot,
                                      Q(BoilerplateStore::DefaultTitle(slot)));
    if (self->slot_ == slot) {
      self->showing_ = true;
      self->teikei_text_->clear();
      self->showing_ = false;
    }
  };
  if (services_.settings->ReadInteger("Form", "Delete", 0) != 0) {
    remove(true);
    return;
  }
  MessageRequest ask(MessageKind::kQuestion,
                     "「" + boilerplates_.Title(slot) + "」を削除しますか？",
                     MessageButtons::kYesNo);
  ask.corner_of = this;
  setEnabled(false);
  services_.messages->Ask(ask, [remove](MessageAnswer answer) {
    remove(answer == MessageAnswer::kYes);
  });
}

void PopupEditorWindow::StartRename() {
  if (slot_ < 0) return;
  rename_->setText(Q(boilerplates_.Title(slot_)));
  teikei_titles_->hide();
  rename_->show();
  rename_->setFocus();
  rename_->selectAll();
}

void PopupEditorWindow::changeEvent(QEvent* event) {
  if (event->type() == QEvent::ActivationChange && isActiveWindow()) {
    // `before` may have changed in the preferences meanwhile.
    ShowBeforeNotes();
    const LocalTime now = services_.clock->Now();
    PopupEditorState probe = state_;
    panel_->setText(
        Q(EvaluatePopupEditor(probe, BeforeMinutes(), now.weekday).panel_text));
  }
  QWidget::changeEvent(event);
}

void PopupEditorWindow::closeEvent(QCloseEvent* event) {
  neighbours_.EditorClosed(this, services_, kSection, schedule_changed_);
  event->accept();
}

}  // namespace mirokata
