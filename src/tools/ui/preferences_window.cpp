#include "tools/ui/preferences_window.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QClipboard>
#include <QCloseEvent>
#include <QColorDialog>
#include <QComboBox>
#include <QCoreApplication>
#include <QFileDialog>
#include <QFontDatabase>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QSpinBox>
#include <QStatusTipEvent>
#include <QTabWidget>
#include <QVBoxLayout>
#include <algorithm>
#include <cstdio>
#include <initializer_list>

#include "base/autostart.h"
#include "base/folders.h"
#include "base/preferences_page.h"
#include "base/settings_file.h"
#include "calendar/gregorian.h"
#include "calendar/holidays.h"
#include "contacts/phone_book_settings.h"
#include "platform/color/color_value.h"
#include "platform/messages.h"
#include "platform/sound_cues.h"
#include "tools/password_lock.h"
#include "widgets/accessible_controls.h"
#include "widgets/picture_chooser_dialog.h"
#include "widgets/sound_chooser_dialog.h"

namespace mirokata {
namespace {

QString U(const std::string& text) { return QString::fromStdString(text); }
QString U(const char* text) { return QString::fromUtf8(text); }

constexpr char kEmptyHolidayName[] = "【】";
constexpr char kBrowse[] = "参照...";
constexpr char kDefaults[] = "デフォルト";
// Holidays are listed for every year; a day that 1971 lacks is not one.
constexpr int kHolidayYear = 1971;

// The name a screen reader says: the caption, after its frame's when two
// controls share a caption ("フォント色" of "過去" and of "未来").
QString AccessibleNameOf(const PreferenceItem& item) {
  std::string name = item.caption;
  if (name.empty()) name = item.unit;
  if (!item.group.empty() && (item.control == PreferenceControl::kColor ||
                              item.control == PreferenceControl::kNumber ||
                              item.control == PreferenceControl::kFont)) {
    name = item.group + " " + name;
  }
  return U(name);
}

QIcon Swatch(const QColor& color) {
  QPixmap pixmap(24, 14);
  pixmap.fill(color);
  return QIcon(pixmap);
}

std::string HolidayKey(int month, int day) {
  char key[8];
  std::snprintf(key, sizeof key, "%02d/%02d", month, day);
  return key;
}

void DefaultFileChooser(QWidget* parent, PreferencesWindow::FileKind kind,
                        const QString& start, const Services& services,
                        std::function<void(const QString&)> done) {
  using Kind = PreferencesWindow::FileKind;
  if (kind == Kind::kSound && services.sound) {
    auto* dialog = new SoundChooserDialog(*services.sound, start, parent);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    QObject::connect(dialog, &QDialog::finished, dialog,
                     [dialog, done](int result) {
                       done(result == QDialog::Accepted ? dialog->SelectedPath()
                                                        : QString());
                     });
    dialog->open();
    return;
  }
  if (kind == Kind::kPicture) {
    auto* dialog = new PictureChooser(services.jpeg, services.cues, parent);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    if (!start.isEmpty()) dialog->SetSelectedFile(start);
    QObject::connect(dialog, &QDialog::finished, dialog,
                     [dialog, done](int result) {
                       done(result == QDialog::Accepted ? dialog->SelectedFile()
                                                        : QString());
                     });
    dialog->open();
    return;
  }
  // Qt's own dialog lets the user type a path and make a new folder.
  auto* dialog = new QFileDialog(
      parent, U(kind == Kind::kFolder ? "フォルダの選択" : "ファイルの選択"),
      start);
  dialog->setAttribute(Qt::WA_DeleteOnClose);
  dialog->setOption(QFileDialog::DontUseNativeDialog);
  if (kind == Kind::kFolder) {
    dialog->setFileMode(QFileDialog::Directory);
    dialog->setOption(QFileDialog::ShowDirsOnly);
  } else {
    dialog->setFileMode(QFileDialog::ExistingFile);
  }
  QObject::connect(
      dialog, &QDialog::finished, dialog, [dialog, done](int result) {
        const QStringList files = dialog->selectedFiles();
        done(result == QDialog::Accepted && !files.isEmpty() ? files.first()
                                                             : QString());
      });
  dialog->open();
}

void DefaultColorChooser(QWidget* parent, const QColor& start,
                         std::function<void(const QColor&)> done) {
  auto* dialog = new QColorDialog(start, parent);
  dialog->setAttribute(Qt::WA_DeleteOnClose);
  QObject::connect(
      dialog, &QDialog::finished, dialog, [dialog, done](int result) {
        done(result == QDialog::Accepted ? dialog->selectedColor() : QColor());
      });
  dialog->open();
}

}  // namespace

PreferencesWindow::PreferencesWindow(const Services& services,
                                     PreferencesPages* pages, Hooks hooks,
                                     QWidget* parent)
    // A close button and no more: not a window to minimise or maximise.
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint |
                          Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowCloseButtonHint),
      services_(services),
      pages_(pages),
      hooks_(std::move(hooks)) {
  setWindowTitle(U("Mirokata 環境設定"));
  setAccessibleName(windowTitle());
  file_chooser_ = [this](QWidget* parent, FileKind kind, const QString& start,
                         std::function<void(const QString&)> done) {
    DefaultFileChooser(parent, kind, start, services_, std::move(done));
  };
  color_chooser_ = DefaultColorChooser;

  Settings s = services_.settings->Open();
  values_ = PreferenceValues::Load(s);
  loaded_grid_ = ShownGridColors();
  controls_.assign(PreferenceTable().size(), nullptr);
  autostart_on_ = AutostartEnabled();

  tabs_ = Named(new QTabWidget, "環境設定のページ");
  // Every page's tab in sight: the window is as wide as they need.
  tabs_->setUsesScrollButtons(false);
  status_ = new QLabel(U(kPreferencesGreeting));
  status_->setAccessibleName(U("ヘルプ"));
  status_->setFrameShape(QFrame::StyledPanel);
  BuildPages();
  if (pages_) {
    const int version_tab = tabs_->count() - 1;
    int at = version_tab;
    for (const auto& page : pages_->pages()) {
      QWidget* widget = page->Widget(tabs_);
      page->Load(s);
      tabs_->insertTab(at++, widget, U(page->Title()));
    }
  }

  ok_ = NamedButton("OK", "変更を保存して閉じます。");
  ok_->setDefault(true);
  cancel_ = NamedButton("キャンセル", "変更を保存せずに閉じます。");
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(ok_);
  buttons->addWidget(cancel_);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(tabs_, 1);
  layout->addWidget(MakeFolders());
  layout->addLayout(buttons);
  layout->addWidget(status_);

  connect(ok_, &QPushButton::clicked, this, [this] { Accept(); });
  connect(cancel_, &QPushButton::clicked, this, &PreferencesWindow::Reject);
  connect(tabs_, &QTabWidget::currentChanged, this, [this] { PlayCue("c1"); });

  // Without a data folder the start-up windows have nothing to show.
  if (IsNoDataFolder(DataFolder(s))) {
    for (const char* key : {"Today_pop", "Todo_pop"}) {
      const int i = IndexOf("Form", key);
      values_.SetBool(i, false);
      Show(i);
    }
  }
  UpdateEnabling();
  ShowHolidayName();
  resize(sizeHint().width(), 660);
  PlayCue("ope");
}

PreferencesWindow::~PreferencesWindow() = default;

int PreferencesWindow::IndexOf(const char* section, const char* key) const {
  return PreferenceIndex(section, key);
}

void PreferencesWindow::BuildPages() {
  const auto& table = PreferenceTable();
  for (int p = 0; p < kPreferencePageCount; ++p) {
    const auto page = static_cast<PreferencePage>(p);
    auto* content = new QWidget;
    content->setStatusTip(U(PreferencePageHelp(page)));
    auto* layout = new QVBoxLayout(content);
    std::map<std::string, QGroupBox*> groups;
    if (page == PreferencePage::kPhoneBook) {
      layout->addWidget(MakePhoneBookGrid());
    }
    if (page == PreferencePage::kVersion) {
      layout->addWidget(MakeVersionPage());
    }
    if (page == PreferencePage::kCalendar) {
      layout->addWidget(MakeHolidayEditor());
    }
    for (size_t i = 0; i < table.size(); ++i) {
      const PreferenceItem& item = table[i];
      if (item.page != page || controls_[i]) continue;
      QWidget* row = MakeControl(static_cast<int>(i));
      if (item.group.empty()) {
        layout->addWidget(row);
        continue;
      }
      QGroupBox*& group = groups[item.group];
      if (!group) {
        group = Named(new QGroupBox(U(item.group)), item.group.c_str(),
                      item.help.empty() ? nullptr : item.help.c_str());
        new QVBoxLayout(group);
        layout->addWidget(group);
      }
      group->layout()->addWidget(row);
    }
    AddPageExtras(page, content);
    layout->addStretch();
    auto* scroll = new QScrollArea;
    scroll->setWidgetResizable(true);
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setWidget(content);
    scroll->setAccessibleName(U(PreferencePageTitle(page)));
    tabs_->addTab(scroll, U(PreferencePageTitle(page)));
  }
}

QWidget* PreferencesWindow::MakeControl(int index) {
  const PreferenceItem& item = PreferenceTable()[index];
  const QString name = AccessibleNameOf(item);
  const QString help =
      U(item.help.empty() ? PreferencePageHelp(item.page) : item.help.c_str());
  QWidget* row = nullptr;
  QWidget* control = nullptr;
  switch (item.control) {
    case PreferenceControl::kCheck: {
      auto* box = new QCheckBox(U(item.caption));
      control = row = box;
      if (item.section == kPasswordSection && item.key == "Use") {
        connect(box, &QCheckBox::toggled, this, [this](bool on) {
          if (!filling_) ToggleLock(on);
        });
      } else {
        connect(box, &QCheckBox::toggled, this, [this, index](bool on) {
          if (filling_) return;
          values_.SetBool(index, on);
          Changed(index);
        });
      }
      break;
    }
    case PreferenceControl::kChoice: {
      auto* group = new QGroupBox(U(item.caption));
      auto* buttons = new QButtonGroup(group);
      // Two columns keep the longer lists short.
      auto* layout = new QGridLayout(group);
      const int rows = static_cast<int>(item.options.size() + 1) / 2;
      for (size_t o = 0; o < item.options.size(); ++o) {
        auto* radio = new QRadioButton(U(item.options[o]));
        radio->setAccessibleName(U(item.options[o]));
        radio->setStatusTip(help);
        buttons->addButton(radio, static_cast<int>(o));
        const int n = static_cast<int>(o);
        layout->addWidget(radio, n % rows, n / rows);
      }
      connect(buttons, &QButtonGroup::idClicked, this, [this, index](int id) {
        if (filling_) return;
        values_.SetInt(index, id);
        Changed(index);
      });
      control = row = group;
      break;
    }
    case PreferenceControl::kNumber: {
      auto* spin = new QSpinBox;
      const bool optional = item.type == PreferenceType::kOptionalInteger;
      // One below the range stands for "unset".
      spin->setRange(optional ? item.low - 1 : item.low, item.high);
      if (optional) spin->setSpecialValueText(U("自動"));
      spin->setSingleStep(item.step);
      connect(spin, &QSpinBox::valueChanged, this,
              [this, index, optional, spin](int value) {
                if (filling_) return;
                if (optional && value == spin->minimum()) {
                  values_.Set(index, "");
                } else {
                  values_.SetInt(index, value);
                }
                Changed(index);
              });
      auto* line = new QWidget;
      auto* layout = new QHBoxLayout(line);
      layout->setContentsMargins(0, 0, 0, 0);
      if (!item.caption.empty()) layout->addWidget(new QLabel(U(item.caption)));
      layout->addWidget(spin);
      if (!item.unit.empty()) layout->addWidget(new QLabel(U(item.unit)));
      layout->addStretch();
      control = spin;
      row = line;
      break;
    }
    case PreferenceControl::kText: {
      auto* field = new QLineEdit;
      connect(field, &QLineEdit::textChanged, this,
              [this, index](const QString& text) {
                if (filling_) return;
                values_.Set(index, text.toStdString());
                Changed(index);
              });
      auto* line = new QWidget;
      auto* layout = new QHBoxLayout(line);
      layout->setContentsMargins(0, 0, 0, 0);
      layout->addWidget(new QLabel(U(item.caption)));
      layout->addWidget(field, 1);
      control = field;
      row = line;
      break;
    }
    case PreferenceControl::kColor: {
      auto* button = new QPushButton(U(item.caption));
      connect(button, &QPushButton::clicked, this,
              [this, index] { PickColor(index); });
      control = row = button;
      break;
    }
    case PreferenceControl::kFont: {
      auto* fonts = new QComboBox;
      QStringList families = QFontDatabase::families();
      families.sort();
      fonts->addItems(families);
      connect(fonts, &QComboBox::currentTextChanged, this,
              [this, index](const QString& text) {
                if (filling_) return;
                values_.Set(index, text.toStdString());
                Changed(index);
              });
      auto* line = new QWidget;
      auto* layout = new QHBoxLayout(line);
      layout->setContentsMargins(0, 0, 0, 0);
      layout->addWidget(new QLabel(U(item.caption)));
      layout->addWidget(fonts, 1);
      control = fonts;
      row = line;
      break;
    }
    case PreferenceControl::kSound:
    case PreferenceControl::kProgram:
    case PreferenceControl::kPicture:
      row = MakePathControl(index);
      control = controls_[index];
      break;
  }
  control->setAccessibleName(name);
  control->setToolTip(help);
  control->setStatusTip(help);
  controls_[index] = control;
  Show(index);
  return row;
}

QWidget* PreferencesWindow::MakePathControl(int index) {
  const PreferenceItem& item = PreferenceTable()[index];
  auto* field = new QLineEdit;
  // A program may be typed; a sound or picture comes from its chooser.
  field->setReadOnly(item.control != PreferenceControl::kProgram);
  connect(field, &QLineEdit::textChanged, this,
          [this, index](const QString& text) {
            if (filling_) return;
            values_.Set(index, text.toStdString());
            Changed(index);
          });
  controls_[index] = field;
  const std::string browse_name = item.caption + " " + kBrowse;
  auto* browse =
      NamedButton(kBrowse, item.help.empty() ? nullptr : item.help.c_str());
  browse->setAccessibleName(U(browse_name));
  const FileKind kind =
      item.control == PreferenceControl::kSound     ? FileKind::kSound
      : item.control == PreferenceControl::kPicture ? FileKind::kPicture
                                                    : FileKind::kProgram;
  connect(browse, &QPushButton::clicked, this, [this, index, kind] {
    QPointer<PreferencesWindow> self(this);
    file_chooser_(this, kind, U(values_.Get(index)),
                  [self, index](const QString& picked) {
                    if (!self || picked.isEmpty()) return;
                    self->SetValue(index, picked);
                  });
  });
  auto* line = new QWidget;
  auto* layout = new QHBoxLayout(line);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(new QLabel(U(item.caption)));
  layout->addWidget(field, 1);
  layout->addWidget(browse);
  if (item.control == PreferenceControl::kPicture) {
    auto* clear = NamedButton(kDefaults, "画像を使わない設定に戻します。");
    clear->setAccessibleName(U("画像 デフォルト"));
    connect(clear, &QPushButton::clicked, this,
            [this, index] { SetValue(index, QString()); });
    layout->addWidget(clear);
  }
  return line;
}

QWidget* PreferencesWindow::MakeHolidayEditor() {
  auto* group = Named(new QGroupBox(U("休日の設定")), "休日の設定");
  holiday_month_ = Named(new QSpinBox, "月");
  holiday_month_->setRange(1, 12);
  holiday_day_ = Named(new QSpinBox, "日");
  holiday_day_->setRange(1, 31);
  holiday_name_ =
      Named(new QLineEdit, "休日の名前", "休日の名前を【】の中に入力します。");
  auto* save =
      NamedButton("保存", "保存された休日はスケジュールシフトの対象です。");
  auto* remove = NamedButton("削除", "この日を休日から外します。");
  for (QWidget* w : std::initializer_list<QWidget*>{
           holiday_month_, holiday_day_, holiday_name_, save, remove}) {
    w->setStatusTip(w->toolTip());
  }
  auto* layout = new QHBoxLayout(group);
  layout->addWidget(holiday_month_);
  layout->addWidget(new QLabel(U("月")));
  layout->addWidget(holiday_day_);
  layout->addWidget(new QLabel(U("日")));
  layout->addWidget(holiday_name_, 1);
  layout->addWidget(save);
  layout->addWidget(remove);
  connect(holiday_month_, &QSpinBox::valueChanged, this,
          &PreferencesWindow::ShowHolidayName);
  connect(holiday_day_, &QSpinBox::valueChanged, this,
          &PreferencesWindow::ShowHolidayName);
  connect(save, &QPushButton::clicked, this, &PreferencesWindow::StoreHoliday);
  connect(remove, &QPushButton::clicked, this,
          &PreferencesWindow::DeleteHoliday);
  return group;
}

QWidget* PreferencesWindow::MakePhoneBookGrid() {
  auto* group =
      Named(new QGroupBox(U("ページの題名と項目名")), "ページの題名と項目名");
  auto* grid = new QGridLayout(group);
  grid->addWidget(new QLabel(U("題名")), 0, 1);
  for (int c = 0; c < kPhoneColumns; ++c) {
    grid->addWidget(new QLabel(U("項目" + std::to_string(c + 1))), 0, c + 2);
  }
  std::vector<int> indexes;
  for (int page = 0; page < kSearchPage; ++page) {
    grid->addWidget(new QLabel(QString::number(page + 1)), page + 1, 0);
    for (int c = -1; c < kPhoneColumns; ++c) {
      const std::string key =
          c < 0 ? PhonePageTitleKey(page) : PhoneColumnCaptionKey(page, c);
      const int index = PreferenceIndex(kPhoneBookSection, key);
      indexes.push_back(index);
      auto* field = new QLineEdit;
      field->setMinimumWidth(60);
      const std::string name =
          "ページ" + std::to_string(page + 1) + " " +
          (c < 0 ? std::string("題名") : "項目" + std::to_string(c + 1));
      field->setAccessibleName(U(name));
      field->setToolTip(U(name));
      connect(field, &QLineEdit::textChanged, this,
              [this, index](const QString& text) {
                if (filling_) return;
                values_.Set(index, text.toStdString());
                Changed(index);
              });
      controls_[index] = field;
      Show(index);
      grid->addWidget(field, page + 1, c + 2);
    }
  }
  auto* reset = NamedButton(kDefaults, "ページの題名と項目名を元に戻します。");
  reset->setAccessibleName(U("ページの題名と項目名 デフォルト"));
  connect(reset, &QPushButton::clicked, this,
          [this, indexes] { ResetItems(indexes); });
  grid->addWidget(reset, kSearchPage + 1, kPhoneColumns + 1);
  return group;
}

QWidget* PreferencesWindow::MakeVersionPage() {
  auto* box = new QWidget;
  auto* layout = new QVBoxLayout(box);
  for (const char* line :
       {kProductName, kVersionText, "デスクトップのカレンダーと手帳",
        "作者: Mirokata 開発者一同"}) {
    auto* label = new QLabel(U(line));
    label->setAccessibleName(U(line));
    layout->addWidget(label);
  }
  return box;
}

QWidget* PreferencesWindow::MakeFolders() {
  auto* group = new QWidget;
  auto* grid = new QGridLayout(group);
  grid->setContentsMargins(0, 0, 0, 0);
  const char* kDataHelp = "設定しないとスケジュール等が使用出来ません。";
  const char* kPrivacyHelp = "通常は設定しない方が良いでしょう。";
  data_field_ = Named(new QLineEdit, "ｽｹｼﾞｭｰﾙﾃﾞｰﾀ格納ﾌｫﾙﾀﾞ", kDataHelp);
  data_field_->setReadOnly(true);
  data_field_->setStatusTip(U(kDataHelp));
  auto* data_button = NamedButton(kBrowse, kDataHelp);
  data_button->setAccessibleName(U("ｽｹｼﾞｭｰﾙﾃﾞｰﾀ格納ﾌｫﾙﾀﾞの選択"));
  data_button->setStatusTip(U(kDataHelp));
  privacy_field_ = Named(new QLineEdit, "ﾌﾟﾗｲﾊﾞｼﾃﾞｰﾀ格納ﾌｫﾙﾀﾞ", kPrivacyHelp);
  privacy_field_->setReadOnly(true);
  privacy_field_->setStatusTip(U(kPrivacyHelp));
  privacy_button_ = NamedButton(kBrowse, kPrivacyHelp);
  privacy_button_->setAccessibleName(U("ﾌﾟﾗｲﾊﾞｼﾃﾞｰﾀ格納ﾌｫﾙﾀﾞの選択"));
  privacy_button_->setStatusTip(U(kPrivacyHelp));
  grid->addWidget(new QLabel(U("ｽｹｼﾞｭｰﾙﾃﾞｰﾀ格納ﾌｫﾙﾀﾞ")), 0, 0);
  grid->addWidget(new QLabel(U("※専用のﾌｫﾙﾀﾞを用意し、必ず設定して下さい｡")), 0,
                  1);
  grid->addWidget(data_field_, 1, 0, 1, 2);
  grid->addWidget(data_button, 1, 2);
  grid->addWidget(new QLabel(U("ﾌﾟﾗｲﾊﾞｼﾃﾞｰﾀ格納ﾌｫﾙﾀﾞ")), 2, 0);
  grid->addWidget(
      new QLabel(U("※日記等、他人に見られたくないならﾌﾛｯﾋﾟｰ等を設定｡")), 2, 1);
  grid->addWidget(privacy_field_, 3, 0, 1, 2);
  grid->addWidget(privacy_button_, 3, 2);
  connect(data_button, &QPushButton::clicked, this,
          &PreferencesWindow::ChooseDataFolder);
  connect(privacy_button_, &QPushButton::clicked, this,
          &PreferencesWindow::ChoosePrivacyFolder);

  Settings s = services_.settings->Open();
  const std::string data = DataFolder(s);
  data_field_->setText(U(data));
  privacy_field_->setText(IsNoDataFolder(data) ? QString()
                                               : U(PrivacyFolder(s)));
  return group;
}

void PreferencesWindow::AddPageExtras(PreferencePage page,
                                      QWidget* page_widget) {
  auto* layout = static_cast<QVBoxLayout*>(page_widget->layout());
  auto command_button = [this, layout](const char* caption, Command command) {
    auto* button = NamedButton(caption);
    connect(button, &QPushButton::clicked, this, [this, command] {
      if (hooks_.run_command) hooks_.run_command(command);
    });
    layout->addWidget(button, 0, Qt::AlignLeft);
  };
  auto defaults_button = [this](QGroupBox* group, std::vector<int> indexes) {
    auto* button = NamedButton(kDefaults, "元の色に戻します。");
    button->setAccessibleName(group->title() + U(" ") + U(kDefaults));
    connect(button, &QPushButton::clicked, this,
            [this, indexes] { ResetItems(indexes); });
    group->layout()->addWidget(button);
  };
  // The colour groups of a page, each with its "デフォルト".
  auto color_groups = [&] {
    std::map<QString, std::vector<int>> by_group;
    const auto& table = PreferenceTable();
    for (size_t i = 0; i < table.size(); ++i) {
      if (table[i].page == page &&
          table[i].control == PreferenceControl::kColor &&
          !table[i].group.empty()) {
        by_group[U(table[i].group)].push_back(static_cast<int>(i));
      }
    }
    for (QGroupBox* group : page_widget->findChildren<QGroupBox*>()) {
      auto it = by_group.find(group->title());
      if (it != by_group.end()) defaults_button(group, it->second);
    }
  };
  switch (page) {
    case PreferencePage::kExtended:
      autostart_ = Named(new QCheckBox(U("ログイン時に起動する")),
                         "ログイン時に起動する");
      autostart_->setChecked(autostart_on_);
      layout->addWidget(autostart_);
      command_button("メールサーバーの設定", Command::kMailSettings);
      break;
    case PreferencePage::kHelper:
      command_button("関連付けの設定", Command::kAssociations);
      break;
    case PreferencePage::kSchedule:
    case PreferencePage::kMemo:
    case PreferencePage::kDiary:
      color_groups();
      break;
    case PreferencePage::kPopup: {
      auto* note =
          new QLabel(U("Popupに表示される画像ファイルのサイズは137×137 です｡"));
      layout->addWidget(note);
      auto* copy = NamedButton("デフォルトの画像をクリップボードにコピー");
      connect(copy, &QPushButton::clicked, this, [this] {
        if (!hooks_.default_popup_picture) return;
        QApplication::clipboard()->setImage(hooks_.default_popup_picture());
      });
      copy->setEnabled(static_cast<bool>(hooks_.default_popup_picture));
      layout->addWidget(copy, 0, Qt::AlignLeft);
      break;
    }
    case PreferencePage::kPhoneBook: {
      std::vector<int> dialler;
      for (const char* key :
           {"Browser", "Mailer", "Close", "CloseTitle", "Sleep"}) {
        dialler.push_back(PreferenceIndex(kPhoneBookSection, key));
      }
      auto* reset = NamedButton(kDefaults,
                                "ブラウザ、メーラーとダイヤラの"
                                "設定を元に戻します。");
      reset->setAccessibleName(U("ダイヤラの設定 デフォルト"));
      connect(reset, &QPushButton::clicked, this,
              [this, dialler] { ResetItems(dialler); });
      layout->addWidget(reset, 0, Qt::AlignLeft);
      break;
    }
    default:
      break;
  }
}

void PreferencesWindow::Show(int index) {
  QWidget* control = controls_[index];
  if (!control) return;
  const PreferenceItem& item = PreferenceTable()[index];
  const std::string& value = values_.Get(index);
  filling_ = true;
  switch (item.control) {
    case PreferenceControl::kCheck:
      static_cast<QCheckBox*>(control)->setChecked(values_.GetBool(index));
      break;
    case PreferenceControl::kChoice: {
      const auto radios = control->findChildren<QRadioButton*>();
      const int chosen = values_.GetInt(index);
      if (chosen >= 0 && chosen < radios.size())
        radios[chosen]->setChecked(true);
      break;
    }
    case PreferenceControl::kNumber: {
      auto* spin = static_cast<QSpinBox*>(control);
      spin->setValue(value.empty() ? spin->minimum() : values_.GetInt(index));
      break;
    }
    case PreferenceControl::kText:
    case PreferenceControl::kSound:
    case PreferenceControl::kProgram:
    case PreferenceControl::kPicture: {
      auto* field = static_cast<QLineEdit*>(control);
      if (field->text() != U(value)) field->setText(U(value));
      break;
    }
    case PreferenceControl::kColor:
      static_cast<QPushButton*>(control)->setIcon(
          Swatch(ColorFromValue(ColorValueFromInt(values_.GetInt(index)))));
      break;
    case PreferenceControl::kFont: {
      auto* fonts = static_cast<QComboBox*>(control);
      // A font that is not installed here stays what is stored.
      if (fonts->findText(U(value)) < 0) fonts->insertItem(0, U(value));
      fonts->setCurrentText(U(value));
      break;
    }
  }
  filling_ = false;
}

void PreferencesWindow::SetValue(int index, const QString& value) {
  values_.Set(index, value.toStdString());
  Show(index);
  Changed(index);
}

void PreferencesWindow::Changed(int index) {
  const PreferenceItem& item = PreferenceTable()[index];
  if (item.section == "Form" &&
      (item.key == "Tray_icon" || item.key == "Hotkey")) {
    Notice(MessageKind::kInformation, kNextStartNotice);
  }
  if (item.section == "Setup" && item.key == "Reboot" &&
      values_.GetInt(index) != 0) {
    const int exec = IndexOf("Setup", "Reboot_exec");
    values_.SetBool(exec, false);
    Show(exec);
  }
  if (item.section == kCalendarExSection &&
      item.control == PreferenceControl::kColor) {
    PreviewGrid();
  }
  UpdateEnabling();
}

void PreferencesWindow::UpdateEnabling() {
  auto enable = [this](const char* section, const char* key, bool on) {
    if (QWidget* w = controls_[IndexOf(section, key)]) w->setEnabled(on);
  };
  enable("Setup", "Reboot_exec",
         values_.GetInt(IndexOf("Setup", "Reboot")) == 0);
  enable(kCalendarExSection, kHappyMondayKey,
         !values_.GetBool(IndexOf(kCalendarExSection, kHolidayLawKey)));
  const bool has_data =
      !IsNoDataFolder(data_field_ ? data_field_->text().toStdString()
                                  : std::string(kNoDataFolder));
  enable("Form", "Today_pop", has_data);
  enable("Form", "Todo_pop", has_data);
  if (privacy_button_) privacy_button_->setEnabled(has_data);
}

void PreferencesWindow::PickColor(int index) {
  const QColor start = ColorFromValue(ColorValueFromInt(values_.GetInt(index)));
  QPointer<PreferencesWindow> self(this);
  color_chooser_(this, start, [self, index](const QColor& color) {
    if (!self || !color.isValid()) return;
    self->SetValue(index,
                   QString::number(ColorValueToInt(ValueFromColor(color))));
  });
}

void PreferencesWindow::ResetItems(const std::vector<int>& indexes) {
  for (int i : indexes) {
    SetValue(i, U(PreferenceTable()[i].default_value));
  }
}

GridColors PreferencesWindow::ShownGridColors() const {
  GridColors colors{};
  for (int c = 0; c < kGridColorCount; ++c) {
    colors[c] = ColorValueFromInt(
        values_.GetInt(PreferenceIndex(kCalendarExSection, GridColorKey(c))));
  }
  return colors;
}

void PreferencesWindow::PreviewGrid() {
  if (hooks_.preview_grid) hooks_.preview_grid(ShownGridColors());
}

void PreferencesWindow::ToggleLock(bool wanted) {
  const int index = IndexOf(kPasswordSection, "Use");
  auto* box = static_cast<QCheckBox*>(controls_[index]);
  // The box shows the old state until the password has been given.
  Show(index);
  if (!hooks_.password_confirm) return;
  box->setEnabled(false);
  QPointer<PreferencesWindow> self(this);
  hooks_.password_confirm([self, index, wanted](bool passed) {
    if (!self) return;
    self->controls_[index]->setEnabled(true);
    if (!passed) return;
    // A lock without a password would open to the built-in phrase.
    if (wanted && !PasswordStored(self->services_.settings->Open())) {
      self->Notice(MessageKind::kWarning, kNoPasswordSetMessage);
      return;
    }
    self->values_.SetBool(index, wanted);
    self->Show(index);
  });
}

void PreferencesWindow::ChooseDataFolder() {
  MessageRequest notice(MessageKind::kQuestion, kDataFolderNotice,
                        MessageButtons::kOk, this);
  QPointer<PreferencesWindow> self(this);
  services_.messages->Ask(notice, [self](MessageAnswer) {
    if (!self) return;
    QString start = self->data_field_->text();
    if (IsNoDataFolder(start.toStdString())) {
      start = U(self->services_.program_folder);
    }
    self->file_chooser_(
        self, FileKind::kFolder, start, [self](const QString& picked) {
          if (!self || picked.isEmpty()) return;
          const std::string privacy =
              self->privacy_folder_ ? *self->privacy_folder_
                                    : self->services_.settings->ReadString(
                                          "Privacy", "Directory", "");
          const DataFolderChoice choice =
              DescribeDataFolderChoice(picked.toStdString(), privacy.empty());
          self->data_folder_ = choice.stored;
          self->data_field_->setText(U(choice.stored));
          if (choice.privacy_follows) {
            self->privacy_field_->setText(U(choice.stored));
          }
          self->UpdateEnabling();
          if (choice.is_root) {
            self->Notice(MessageKind::kInformation, kRootFolderWarning);
          }
        });
  });
}

void PreferencesWindow::ChoosePrivacyFolder() {
  MessageRequest notice(MessageKind::kQuestion, kPrivacyFolderNotice,
                        MessageButtons::kOk, this);
  QPointer<PreferencesWindow> self(this);
  services_.messages->Ask(notice, [self](MessageAnswer) {
    if (!self) return;
    self->file_chooser_(self, FileKind::kFolder, self->privacy_field_->text(),
                        [self](const QString& picked) {
                          if (!self || picked.isEmpty()) return;
                          std::string stored;
                          const std::string shown = DescribePrivacyFolderChoice(
                              picked.toStdString(),
                              self->data_field_->text().toStdString(), &stored);
                          self->privacy_folder_ = stored;
                          self->privacy_field_->setText(U(shown));
                        });
  });
}

void PreferencesWindow::ShowHolidayName() {
  if (!holiday_month_) return;
  const std::string key =
      HolidayKey(holiday_month_->value(), holiday_day_->value());
  auto it = holidays_.find(key);
  std::string name = it != holidays_.end() ? it->second
                                           : services_.settings->ReadString(
                                                 kHolidaySection, key, "");
  holiday_name_->setText(U(name.empty() ? kEmptyHolidayName : name.c_str()));
}

void PreferencesWindow::StoreHoliday() {
  const int month = holiday_month_->value();
  const int day =
      std::min(holiday_day_->value(), DaysInMonth(kHolidayYear, month));
  const std::string name = holiday_name_->text().toStdString();
  holidays_[HolidayKey(month, day)] = name;
  holiday_day_->setValue(day);
  PlayCue("sav");
}

void PreferencesWindow::DeleteHoliday() {
  const int month = holiday_month_->value();
  const int day =
      std::min(holiday_day_->value(), DaysInMonth(kHolidayYear, month));
  holidays_[HolidayKey(month, day)] = "";
  ShowHolidayName();
  PlayCue("del");
}

bool PreferencesWindow::Accept() {
  if (pages_) {
    for (const auto& page : pages_->pages()) {
      const std::string refusal = page->Validate();
      if (refusal.empty()) continue;
      Notice(MessageKind::kWarning, refusal.c_str());
      return false;
    }
  }
  Settings s = services_.settings->Open();
  std::map<std::string, std::string> holidays;
  for (const auto& [key, name] : holidays_) {
    if (s.ReadString(kHolidaySection, key, "") != name) holidays[key] = name;
  }
  // A batch with nothing in it writes nothing.
  const bool written = s.Batch([&](SettingsBatch& batch) {
    values_.WriteChanged(batch);
    for (const auto& [key, name] : holidays) {
      batch.WriteString(kHolidaySection, key, name);
    }
    if (data_folder_) batch.WriteString("Calendar", "Directory", *data_folder_);
    if (privacy_folder_) {
      batch.WriteString("Privacy", "Directory", *privacy_folder_);
    }
    if (pages_) {
      for (const auto& page : pages_->pages()) page->Save(batch);
    }
  });
  // The settings file's reporter has said why; the changes stay here.
  if (!written) return false;
  if (autostart_ && autostart_->isChecked() != autostart_on_) {
    std::string error;
    if (!SetAutostart(autostart_->isChecked(),
                      QCoreApplication::applicationFilePath().toStdString(),
                      &error)) {
      MessageRequest box(MessageKind::kWarning,
                         "ログイン時の起動を設定できません。\r" + error);
      services_.messages->ShowNotice(box);
    }
  }
  done_ = true;
  values_.MarkSaved();
  emit Saved();
  close();
  return true;
}

void PreferencesWindow::Reject() {
  done_ = true;
  RestoreGrid();
  close();
}

void PreferencesWindow::RestoreGrid() {
  if (ShownGridColors() != loaded_grid_ && hooks_.preview_grid) {
    hooks_.preview_grid(loaded_grid_);
  }
}

bool PreferencesWindow::event(QEvent* event) {
  if (event->type() == QEvent::StatusTip) {
    const QString tip = static_cast<QStatusTipEvent*>(event)->tip();
    status_->setText(tip.isEmpty() ? U(kPreferencesGreeting) : tip);
    return true;
  }
  return QWidget::event(event);
}

void PreferencesWindow::closeEvent(QCloseEvent* event) {
  // The close button is Cancel.
  if (!done_) {
    done_ = true;
    RestoreGrid();
  }
  PlayCue("clo");
  event->accept();
}

void PreferencesWindow::Notice(MessageKind kind, const char* text) {
  MessageRequest request(kind, text, MessageButtons::kOk, this);
  services_.messages->ShowNotice(request);
}

void PreferencesWindow::PlayCue(const char* name) {
  if (services_.cues) services_.cues->Play(name);
}

QCheckBox* PreferencesWindow::lock_box() const {
  return static_cast<QCheckBox*>(
      controls_[PreferenceIndex(kPasswordSection, "Use")]);
}

QString PreferencesWindow::shown_data_folder() const {
  return data_field_->text();
}

QString PreferencesWindow::shown_privacy_folder() const {
  return privacy_field_->text();
}

bool PreferencesWindow::privacy_button_enabled() const {
  return privacy_button_->isEnabled();
}

QString PreferencesWindow::status_text() const { return status_->text(); }

}  // namespace mirokata
