// The preferences window over fake services: what OK writes (and what it
// leaves alone), that Cancel and the close button write nothing, and the
// rules between its controls.
#include <sys/stat.h>

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QFileInfo>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QTest>
#include <cstdlib>
#include <fstream>
#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "base/folders.h"
#include "base/preferences_page.h"
#include "base/settings_file.h"
#include "calendar/holidays.h"
#include "platform/color/color_value.h"
#include "support/fake_world.h"
#include "support/rename_watch.h"
#include "tools/password_lock.h"
#include "tools/preference_table.h"
#include "tools/ui/preferences_window.h"

namespace mirokata {
namespace {

QString U(const char* text) { return QString::fromUtf8(text); }
QString U(const std::string& text) { return QString::fromStdString(text); }

std::string ReadAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

void AnswerAll(FakeMessages& messages) {
  while (messages.AnswerPending() > 0) {
  }
}

int Index(const char* section, const char* key) {
  return PreferenceIndex(section, key);
}

QAbstractButton* ButtonNamed(QWidget* window, const QString& name) {
  for (QAbstractButton* b : window->findChildren<QAbstractButton*>()) {
    if (b->accessibleName() == name) return b;
  }
  return nullptr;
}

// A window with stand-in choosers: each answers at once with what the test
// put in `next_file` / `next_color`.
struct Harness {
  explicit Harness(FakeWorld& world, PreferencesPages* pages = nullptr)
      : world(world) {
    PreferencesWindow::Hooks hooks;
    hooks.password_confirm = [this](std::function<void(bool)> done) {
      ++prompts;
      pending_confirm = std::move(done);
    };
    hooks.preview_grid = [this](const GridColors& colors) {
      previews.push_back(colors);
    };
    hooks.run_command = [this](Command c) { commands.push_back(c); };
    window = std::make_unique<PreferencesWindow>(world.Context(), pages, hooks);
    window->set_file_chooser([this](QWidget*, PreferencesWindow::FileKind kind,
                                    const QString&,
                                    std::function<void(const QString&)> done) {
      kinds.push_back(kind);
      done(next_file);
    });
    window->set_color_chooser(
        [this](QWidget*, const QColor&,
               std::function<void(const QColor&)> done) { done(next_color); });
  }
  FakeWorld& world;
  std::unique_ptr<PreferencesWindow> window;
  int prompts = 0;
  std::function<void(bool)> pending_confirm;
  std::vector<GridColors> previews;
  std::vector<Command> commands;
  std::vector<PreferencesWindow::FileKind> kinds;
  QString next_file;
  QColor next_color;
};

// A value other than the default, in its stored form.
std::string NonDefault(const PreferenceItem& item, int index,
                       const QStringList& fonts) {
  const int def = SettingsFile::ParseInteger(item.default_value, 0);
  switch (item.type) {
    case PreferenceType::kBool:
      return def ? "0" : "1";
    case PreferenceType::kInteger:
      if (item.control == PreferenceControl::kChoice) {
        return std::to_string((def + 1) % (item.high + 1));
      }
      return std::to_string(def + item.step <= item.high ? def + item.step
                                                         : item.low);
    case PreferenceType::kOptionalInteger:
      return std::to_string(item.low + 1 + index % 7);
    case PreferenceType::kColor:
      return std::to_string(0x102030 + index);
    case PreferenceType::kString:
      break;
  }
  if (item.control == PreferenceControl::kFont) {
    for (const QString& f : fonts) {
      if (f.toStdString() != item.default_value) return f.toStdString();
    }
  }
  // Japanese, a blank and characters an INI reader might trip on.
  return "/home/友=" + std::to_string(index) + " ;x%";
}

// Sets the value through its control as the user would.
void SetThroughControl(Harness& h, int index, const std::string& value) {
  const PreferenceItem& item = PreferenceTable()[index];
  QWidget* control = h.window->control(index);
  switch (item.control) {
    case PreferenceControl::kCheck: {
      auto* box = static_cast<QCheckBox*>(control);
      if (box->isChecked() != (value == "1")) box->click();
      if (h.pending_confirm) {
        auto done = std::move(h.pending_confirm);
        h.pending_confirm = nullptr;
        done(true);
      }
      break;
    }
    case PreferenceControl::kChoice:
      control->findChildren<QRadioButton*>()[std::stoi(value)]->click();
      break;
    case PreferenceControl::kNumber:
      static_cast<QSpinBox*>(control)->setValue(std::stoi(value));
      break;
    case PreferenceControl::kText:
    case PreferenceControl::kProgram:
      static_cast<QLineEdit*>(control)->setText(U(value));
      break;
    case PreferenceControl::kColor:
      h.next_color = ColorFromValue(ColorValueFromInt(std::stoi(value)));
      static_cast<QPushButton*>(control)->click();
      break;
    case PreferenceControl::kFont:
      static_cast<QComboBox*>(control)->setCurrentText(U(value));
      break;
    case PreferenceControl::kSound:
    case PreferenceControl::kPicture:
      h.next_file = U(value);
      ButtonNamed(h.window.get(), U(item.caption + " 参照..."))->click();
      break;
  }
}

std::string InteropScript() {
  const char* root = std::getenv("MIROKATA_SOURCE_DIR");
  return std::string(root ? root : ".") + "/tests/tools/preferences_ini.py";
}

// A page a subsystem brings: one text, refused while it reads "bad".
class FakePage : public PreferencesPage {
 public:
  std::string Title() const override { return "拡張ページ"; }
  QWidget* Widget(QWidget* parent) override {
    field_ = new QLineEdit(parent);
    field_->setAccessibleName(U("拡張ページの値"));
    return field_;
  }
  void Load(Settings& settings) override {
    field_->setText(U(settings.ReadString("Fake", "value", "")));
  }
  std::string Validate() override {
    return field_->text() == "bad" ? "値が正しくありません。" : "";
  }
  void Save(SettingsBatch& batch) override {
    if (field_->text() != "") {
      batch.WriteString("Fake", "value", field_->text().toStdString());
    }
  }
  QLineEdit* field_ = nullptr;
};

}  // namespace

class PreferencesWindowTest : public QObject {
  Q_OBJECT

 private slots:
  // Every control of the table set to another value, OK: each key reads
  // back through the settings file and through Python's configparser, all
  // from one rewrite of the file.
  void EveryControlIsSavedInOneRewrite() {
    FakeDataWorld w;
    StorePassword(w.settings, "kagi", false);
    Harness h(w);
    QComboBox* font_box =
        static_cast<QComboBox*>(h.window->control(Index("Memo", "FontName")));
    QStringList fonts;
    for (int i = 0; i < font_box->count(); ++i) fonts << font_box->itemText(i);
    const auto& table = PreferenceTable();
    std::vector<std::string> wanted(table.size());
    for (size_t i = 0; i < table.size(); ++i) {
      wanted[i] = NonDefault(table[i], static_cast<int>(i), fonts);
      SetThroughControl(h, static_cast<int>(i), wanted[i]);
      QCOMPARE(h.window->values().Get(static_cast<int>(i)), wanted[i]);
    }
    AnswerAll(w.messages);
    QCOMPARE(h.prompts, 1);  // the lock's switch asked

    RenameWatch watch(w.dir.path());
    QVERIFY(h.window->Accept());
    QCOMPARE(watch.Take("mirokata.ini").renamed_onto, 1);

    Settings s = w.settings.Open();
    std::ostringstream expected;
    for (size_t i = 0; i < table.size(); ++i) {
      QCOMPARE(s.ReadString(table[i].section, table[i].key, "?"), wanted[i]);
      expected << table[i].section << '\t' << table[i].key << '\t' << wanted[i]
               << '\n';
    }
    if (std::system("python3 -c 'import configparser' >/dev/null 2>&1") != 0) {
      QSKIP("no python3");
    }
    const std::string list = w.dir / "expected.tsv";
    std::ofstream(list, std::ios::binary) << expected.str();
    QCOMPARE(std::system(("python3 '" + InteropScript() + "' '" +
                          w.settings.path() + "' '" + list + "'")
                             .c_str()),
             0);
  }

  // Cancel and the close button write nothing, whatever was changed,
  // holidays, folders and the menu caption included; the grid gets its
  // colours back.
  void CancelAndCloseWriteNothing() {
    for (const bool by_close_button : {false, true}) {
      FakeDataWorld w;
      w.settings.WriteString("Form", "Interval", "junk");
      const std::string before = ReadAll(w.settings.path());
      Harness h(w);
      SetThroughControl(h, Index("Form", "Period_Cap"), "生理");
      SetThroughControl(h, Index("Form", "Waveplay"), "0");
      h.next_color = QColor(1, 2, 3);
      static_cast<QPushButton*>(
          h.window->control(Index("CalendarEx", "WeekdayColor")))
          ->click();
      QCOMPARE(h.previews.size(), size_t{1});
      QCOMPARE(h.previews.back()[kWeekdayColor],
               ValueFromColor(QColor(1, 2, 3)));
      h.window->holiday_month()->setValue(6);
      h.window->holiday_day()->setValue(1);
      h.window->holiday_name()->setText(U("【記念日】"));
      h.window->StoreHoliday();
      h.next_file = U(w.dir / "other");
      h.window->ChooseDataFolder();
      AnswerAll(w.messages);
      QCOMPARE(h.window->shown_data_folder(), h.next_file);
      if (by_close_button) {
        h.window->close();
      } else {
        h.window->cancel_button()->click();
      }
      QVERIFY(!h.window->isVisible());
      QCOMPARE(ReadAll(w.settings.path()), before);
      QCOMPARE(h.previews.size(), size_t{2});
      QCOMPARE(h.previews.back(), kMainWindowGridColors);
    }
  }

  // OK without a change leaves the file as it is, garbage included.
  void OkWithoutChangesWritesNothing() {
    FakeDataWorld w;
    w.dir.Touch("mirokata.ini",
                "[Calendar]\r\nDirectory=" + w.data +
                    "\r\n[Form]\r\nInterval=junk\r\nTray_icon=9\r\n"
                    "[Memo]\r\nFontName=Not Installed Here\r\n");
    const std::string before = ReadAll(w.settings.path());
    Harness h(w);
    RenameWatch watch(w.dir.path());
    QVERIFY(h.window->Accept());
    QCOMPARE(watch.Take("mirokata.ini").renamed_onto, 0);
    QCOMPARE(ReadAll(w.settings.path()), before);
    QVERIFY(w.messages.shown().empty());
  }

  // What the controls show: the pop-view as it takes effect, a font that
  // is not installed, clamped numbers.
  void ShowsWhatTheProgramUses() {
    FakeDataWorld w;
    w.settings.WriteString("Memo", "FontName", "Not Installed Here");
    w.settings.WriteString("Form", "Interval", "99999");
    Harness h(w);
    QVERIFY(!static_cast<QCheckBox*>(
                 h.window->control(Index("CalendarEx", "PopView")))
                 ->isChecked());
    QCOMPARE(
        static_cast<QComboBox*>(h.window->control(Index("Memo", "FontName")))
            ->currentText(),
        U("Not Installed Here"));
    QCOMPARE(
        static_cast<QSpinBox*>(h.window->control(Index("Form", "Interval")))
            ->value(),
        10000);
    QCOMPARE(h.window->status_text(), U(kPreferencesGreeting));
  }

  void HiddenWindowsMenuUnchecksAndDisablesTheLauncherItem() {
    FakeDataWorld w;
    w.settings.WriteInteger("Setup", "Reboot", 0);
    w.settings.WriteBool("Setup", "Reboot_exec", true);
    Harness h(w);
    auto* exec = static_cast<QCheckBox*>(
        h.window->control(Index("Setup", "Reboot_exec")));
    QVERIFY(exec->isEnabled() && exec->isChecked());
    SetThroughControl(h, Index("Setup", "Reboot"), "1");
    QVERIFY(!exec->isEnabled() && !exec->isChecked());
    QVERIFY(h.window->Accept());
    QVERIFY(!w.settings.ReadBool("Setup", "Reboot_exec", true));
    QCOMPARE(w.settings.ReadInteger("Setup", "Reboot", 0), 1);
  }

  void HolidayLawDisablesMovedMondays() {
    FakeDataWorld w;
    Harness h(w);
    QWidget* monday = h.window->control(Index("CalendarEx", "Happy_Monday"));
    QVERIFY(!monday->isEnabled());
    SetThroughControl(h, Index("CalendarEx", "HolidayLaw"), "0");
    QVERIFY(monday->isEnabled());
  }

  // Without a data folder the start-up switches are off and disabled until
  // one is chosen; the choice is written on OK, with its notices shown when
  // choosing.
  void StartupSwitchesWaitForADataFolder() {
    FakeWorld w;
    w.settings.WriteString("Calendar", "Directory", ".");
    w.settings.WriteBool("Form", "Today_pop", true);
    Harness h(w);
    auto* today =
        static_cast<QCheckBox*>(h.window->control(Index("Form", "Today_pop")));
    auto* todo =
        static_cast<QCheckBox*>(h.window->control(Index("Form", "Todo_pop")));
    QVERIFY(!today->isChecked() && !today->isEnabled());
    QVERIFY(!todo->isChecked() && !todo->isEnabled());
    QVERIFY(!h.window->privacy_button_enabled());

    h.next_file.clear();  // Cancel
    h.window->ChooseDataFolder();
    AnswerAll(w.messages);
    QCOMPARE(w.messages.texts().back(), std::string(kDataFolderNotice));
    QVERIFY(!today->isEnabled());

    h.next_file = "/";
    h.window->ChooseDataFolder();
    AnswerAll(w.messages);
    QCOMPARE(w.messages.texts().back(), std::string(kRootFolderWarning));
    QVERIFY(today->isEnabled() && todo->isEnabled());
    QVERIFY(h.window->privacy_button_enabled());
    QCOMPARE(h.window->shown_privacy_folder(), U("/"));
    QCOMPARE(w.settings.ReadString("Calendar", "Directory", ""),
             std::string("."));

    h.next_file = U(w.dir / "private/");
    h.window->ChoosePrivacyFolder();
    AnswerAll(w.messages);
    QCOMPARE(w.messages.texts().back(), std::string(kPrivacyFolderNotice));
    QCOMPARE(h.window->shown_privacy_folder(), U(w.dir / "private"));
    QVERIFY(h.window->Accept());
    QCOMPARE(w.settings.ReadString("Calendar", "Directory", ""),
             std::string("/"));
    QCOMPARE(w.settings.ReadString("Privacy", "Directory", ""),
             w.dir / "private");
    QVERIFY(!w.settings.ReadBool("Form", "Today_pop", true));
  }

  // The icon display and the hot key say once per change that they wait
  // for the next start; opening says nothing.
  void NextStartNoticeOncePerChange() {
    FakeDataWorld w;
    w.settings.WriteInteger("Form", "Tray_icon", 2);
    Harness h(w);
    QVERIFY(w.messages.texts().empty());
    SetThroughControl(h, Index("Form", "Tray_icon"), "3");
    SetThroughControl(h, Index("Form", "Hotkey"), "1");
    SetThroughControl(h, Index("Form", "Resource"), "1");
    QCOMPARE(w.messages.texts(),
             (std::vector<std::string>{kNextStartNotice, kNextStartNotice}));
  }

  // The lock's switch asks for the password every time and changes only
  // when it passed; switching on needs a stored password.
  void LockSwitchPrompts() {
    FakeDataWorld w;
    Harness h(w);
    QCheckBox* lock = h.window->lock_box();
    QCOMPARE(lock->text(), U("パスワード機能を使う。"));
    const int use = Index("Password", "Use");

    lock->click();
    QCOMPARE(h.prompts, 1);
    QVERIFY(!lock->isChecked() && !lock->isEnabled());
    h.pending_confirm(false);
    QVERIFY(!lock->isChecked() && lock->isEnabled());
    QVERIFY(!h.window->values().Changed(use));

    // Passed with the built-in phrase, but no password was set.
    lock->click();
    h.pending_confirm(true);
    QVERIFY(!lock->isChecked());
    QCOMPARE(w.messages.texts().back(), std::string(kNoPasswordSetMessage));

    // Set inside the prompt this time.
    lock->click();
    StorePassword(w.settings, "kagi", false);
    h.pending_confirm(true);
    QVERIFY(lock->isChecked());
    QCOMPARE(h.prompts, 3);
    QVERIFY(!w.settings.Open().HasKey("Password", "Use"));
    QVERIFY(h.window->Accept());
    QVERIFY(w.settings.ReadBool("Password", "Use", false));

    // Switching off asks too.
    Harness again(w);
    again.window->lock_box()->click();
    QCOMPARE(again.prompts, 1);
    again.pending_confirm(true);
    QVERIFY(!again.window->lock_box()->isChecked());
    QVERIFY(again.window->Accept());
    QVERIFY(!w.settings.ReadBool("Password", "Use", true));
  }

  // A day that no year has is lowered to the month's last; a deleted
  // holiday is stored empty; both on OK.
  void HolidaysAreWrittenOnOk() {
    FakeDataWorld w;
    w.settings.WriteString(kHolidaySection, "05/03", "【憲法記念日】");
    Harness h(w);
    h.window->holiday_month()->setValue(5);
    h.window->holiday_day()->setValue(3);
    QCOMPARE(h.window->holiday_name()->text(), U("【憲法記念日】"));
    h.window->DeleteHoliday();
    QCOMPARE(h.window->holiday_name()->text(), U("【】"));
    h.window->holiday_month()->setValue(2);
    h.window->holiday_day()->setValue(30);
    h.window->holiday_name()->setText(U("【冬の日】"));
    h.window->StoreHoliday();
    QCOMPARE(h.window->holiday_day()->value(), 28);
    QCOMPARE(w.settings.ReadString(kHolidaySection, "02/28", ""),
             std::string());
    QVERIFY(h.window->Accept());
    QCOMPARE(w.settings.ReadString(kHolidaySection, "02/28", ""),
             std::string("【冬の日】"));
    QVERIFY(w.settings.Open().HasKey(kHolidaySection, "05/03"));
    QCOMPARE(w.settings.ReadString(kHolidaySection, "05/03", "?"),
             std::string());
  }

  // The defaults buttons, the command buttons and the status bar's help.
  void ButtonsAndHelp() {
    FakeDataWorld w;
    w.settings.WriteInteger("To_do", "PastColor", 5);
    Harness h(w);
    ButtonNamed(h.window.get(), U("過去 デフォルト"))->click();
    QCOMPARE(h.window->values().GetInt(Index("To_do", "PastColor")),
             ColorValueToInt(kClWhite));
    ButtonNamed(h.window.get(), U("関連付けの設定"))->click();
    ButtonNamed(h.window.get(), U("メールサーバーの設定"))->click();
    QCOMPARE(h.commands, (std::vector<Command>{Command::kAssociations,
                                               Command::kMailSettings}));
    QWidget* rokuyo = h.window->control(Index("Form", "Qreki"));
    QStatusTipEvent tip(rokuyo->statusTip());
    QApplication::sendEvent(rokuyo, &tip);
    QCOMPARE(h.window->status_text(), U("六曜とは、大安や仏滅などの事です。"));
  }

  // Every control a user can reach has a name for screen readers.
  void EveryControlIsNamed() {
    FakeDataWorld w;
    Harness h(w);
    QStringList unnamed;
    for (QWidget* c : h.window->findChildren<QWidget*>()) {
      if (!qobject_cast<QAbstractButton*>(c) && !qobject_cast<QLineEdit*>(c) &&
          !qobject_cast<QSpinBox*>(c) && !qobject_cast<QComboBox*>(c)) {
        continue;
      }
      // The spin boxes' and combo boxes' own inner fields.
      if (qobject_cast<QSpinBox*>(c->parentWidget()) ||
          qobject_cast<QComboBox*>(c->parentWidget())) {
        continue;
      }
      if (c->accessibleName().isEmpty()) {
        unnamed << c->metaObject()->className() + QString(" ") +
                       c->objectName();
      }
    }
    QVERIFY2(unnamed.isEmpty(), qPrintable(unnamed.join(", ")));
    QCOMPARE(h.window->tabs()->count(), kPreferencePageCount);
  }

  // A subsystem's page: a tab of its own, its refusal keeps the window
  // open and writes nothing, its keys go into the one batch.
  void SubsystemPagesShareTheBatch() {
    FakeDataWorld w;
    PreferencesPages pages;
    auto page = std::make_unique<FakePage>();
    FakePage* fake = page.get();
    pages.Add(std::move(page));
    Harness h(w, &pages);
    QCOMPARE(h.window->tabs()->count(), kPreferencePageCount + 1);
    QCOMPARE(h.window->tabs()->tabText(kPreferencePageCount - 1),
             U("拡張ページ"));
    const std::string before = ReadAll(w.settings.path());
    fake->field_->setText("bad");
    SetThroughControl(h, Index("Form", "Move"), "1");
    QVERIFY(!h.window->Accept());
    QCOMPARE(ReadAll(w.settings.path()), before);
    QCOMPARE(w.messages.texts().back(), std::string("値が正しくありません。"));
    fake->field_->setText("good");
    RenameWatch watch(w.dir.path());
    QVERIFY(h.window->Accept());
    QCOMPARE(watch.Take("mirokata.ini").renamed_onto, 1);
    QCOMPARE(w.settings.ReadString("Fake", "value", ""), std::string("good"));
    QVERIFY(w.settings.ReadBool("Form", "Move", false));
  }

  // The start at login is the desktop's autostart entry, made on OK.
  void StartAtLogin() {
    FakeDataWorld w;
    const std::string config = w.dir / "config";
    qputenv("XDG_CONFIG_HOME", QByteArray::fromStdString(config));
    const QString entry = U(config + "/autostart/mirokata.desktop");
    {
      Harness h(w);
      QVERIFY(!h.window->autostart_box()->isChecked());
      h.window->autostart_box()->click();
      QVERIFY(!QFileInfo::exists(entry));
      h.window->Reject();
      QVERIFY(!QFileInfo::exists(entry));
    }
    {
      Harness h(w);
      h.window->autostart_box()->click();
      QVERIFY(h.window->Accept());
      QVERIFY(QFileInfo::exists(entry));
      QFile file(entry);
      QVERIFY(file.open(QIODevice::ReadOnly));
      QVERIFY(file.readAll().contains(
          "\nExec=" + QCoreApplication::applicationFilePath().toUtf8() + "\n"));
    }
    {
      Harness h(w);
      QVERIFY(h.window->autostart_box()->isChecked());
      h.window->autostart_box()->click();
      QVERIFY(h.window->Accept());
      QVERIFY(!QFileInfo::exists(entry));
    }
    // A folder that cannot be made: said, and the rest is saved.
    const std::string plain = w.dir / "plain-file";
    w.dir.Touch("plain-file");
    qputenv("XDG_CONFIG_HOME", QByteArray::fromStdString(plain));
    {
      Harness h(w);
      h.window->autostart_box()->click();
      SetThroughControl(h, Index("Form", "Move"), "1");
      QVERIFY(h.window->Accept());
      QVERIFY(w.messages.texts().back().starts_with(
          "ログイン時の起動を設定できません。"));
      QVERIFY(w.settings.ReadBool("Form", "Move", false));
    }
    qunsetenv("XDG_CONFIG_HOME");
  }
};

}  // namespace mirokata

QTEST_MAIN(mirokata::PreferencesWindowTest)
#include "preferences_window_uitest.moc"
