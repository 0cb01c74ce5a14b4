// The phone book window and its command over fake services.
#include <sys/stat.h>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPointer>
#include <QPushButton>
#include <QStatusBar>
#include <QTabBar>
#include <QTableView>
#include <QTest>
#include <QToolButton>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "base/preferences_page.h"
#include "base/settings_file.h"
#include "base/tick_events.h"
#include "contacts/phone_book_module.h"
#include "contacts/phone_page.h"
#include "contacts/ui/dial_field.h"
#include "contacts/ui/phone_book_window.h"
#include "platform/testing/fake_desktop_windows.h"
#include "platform/testing/fake_reachability.h"
#include "platform/testing/fake_shell.h"
#include "platform/text_codec.h"
#include "support/fake_command_host.h"
#include "support/fake_world.h"
#include "tools/ui/password_window.h"

namespace mirokata {
namespace {

QString U(const char* text) { return QString::fromUtf8(text); }
QString U(const std::string& text) { return QString::fromStdString(text); }

struct World : FakeDataWorld {
  World() : tel(data + "/Tel") { std::filesystem::create_directory(tel); }
  Services Context() {
    Services c = FakeDataWorld::Context();
    c.shell = &shell;
    c.reachability = &reachability;
    c.desktop = &desktop;
    return c;
  }
  void Page(int page, const std::string& bytes) {
    std::ofstream(tel + "/" + PhonePageFileName(page), std::ios::binary)
        << bytes;
  }
  std::string Read(int page) const {
    std::ifstream in(tel + "/" + PhonePageFileName(page), std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
  }
  bool Exists(int page) const {
    return std::filesystem::exists(tel + "/" + PhonePageFileName(page));
  }
  PhoneBookWindow* Open() {
    auto* window = new PhoneBookWindow(Context(), tel);
    window->show();
    return window;
  }
  std::vector<std::string> Notices() const { return messages.texts(); }

  const std::string tel;
  FakeShell shell;
  FakeReachability reachability;
  FakeDesktopWindows desktop;
};

std::string Row(const std::string& company, const std::string& name,
                const std::string& number, const std::string& mail = "",
                const std::string& web = "", const std::string& host = "") {
  return Utf8ToCp932(
      WritePhoneFields({company, name, number, mail, web, host}) + "\r\n");
}

QAbstractItemModel* Model(PhoneBookWindow* window) {
  return window->grid()->model();
}

// What typing into a cell stores.
void Edit(PhoneBookWindow* window, int row, int column, const char* text) {
  Model(window)->setData(Model(window)->index(row, column), U(text));
}

QString Shown(PhoneBookWindow* window, int row, int column) {
  return Model(window)->index(row, column).data().toString();
}

QString Header(PhoneBookWindow* window, int column) {
  return Model(window)->headerData(column, Qt::Horizontal).toString();
}

}  // namespace

class PhoneBookWindowTest : public QObject {
  Q_OBJECT

 private slots:
  void OpensOnTheStoredPageWithItsCaptions() {
    World w;
    w.Page(2, Row("Acme Co.", "佐藤", "03-1234-5678", "sato@acme.jp"));
    w.settings.Batch([](SettingsBatch& b) {
      b.WriteInteger("TelePhone", "Tab", 2);
      b.WriteString("TelePhone", "Title_2", "かきくけこ");
      b.WriteString("Telephone", "2Section_1", "お名前");
      b.WriteInteger("TelePhone", "2Width_A", 150);
    });
    QPointer<PhoneBookWindow> window = w.Open();
    QCOMPARE(window->page(), 2);
    QCOMPARE(window->tabs()->tabText(2), U("かきくけこ"));
    QCOMPARE(window->tabs()->tabText(12), U("検索結果"));
    QCOMPARE(Header(window, 1), U("お名前"));
    QCOMPARE(Header(window, 0), U("会社名・所属"));
    QCOMPARE(window->grid()->columnWidth(0), 150);
    QCOMPARE(Model(window)->rowCount(), kPhonePageRows);
    QCOMPARE(window->dial_field()->text(), U("03-1234-5678"));
    QVERIFY(window->mail_button()->isEnabled());
    QVERIFY(!window->web_button()->isEnabled());
    QVERIFY(!window->ping_button()->isEnabled());
    QVERIFY(!w.sound.cues().empty());
    QCOMPARE(w.sound.cues().back(), std::string("ope"));

    // The status bar's help for each part.
    const std::pair<QWidget*, const char*> tips[] = {
        {window->dial_field()->edit(),
         "この番号に電話をかけます。(ダイヤラーがインストールされている必要が"
         "あります。)"},
        {window->grid(), "電話番号リストです。"},
        {window->lock_box(), "チェックすると編集が出来なくなります。"},
        {window->reorder_box(), "マウスのドラッグで並べ替えが可能です。"},
        {window->statusBar(), "簡易電話帳です。"},
        {window->tabs(), "電話帳の項目を切り換えます。"},
        {window->grid()->horizontalHeader(),
         "境界線のドラッグでサイズ変更ができます。"},
    };
    for (const auto& [widget, tip] : tips) {
      QCOMPARE(widget->statusTip(), U(tip));
      QVERIFY(!widget->accessibleName().isEmpty());
    }
    window->ShowPage(kSearchPage);
    QCOMPARE(Header(window, 0), U("項目１"));
    window->close();
    FlushEvents();
    QVERIFY(!window);
    QCOMPARE(w.settings.ReadInteger("TelePhone", "Tab", -1), kSearchPage);
    QVERIFY(w.settings.ReadInteger("TelePhone", "Width", 0) > 0);
    QCOMPARE(w.sound.cues().back(), std::string("clo"));
  }

  void ColumnWidthsAreStoredPerPageAndResetWhenTooWide() {
    World w;
    QPointer<PhoneBookWindow> window = w.Open();
    window->resize(757, 409);
    QHeaderView* header = window->grid()->horizontalHeader();
    window->grid()->setColumnWidth(1, 121);
    QTest::mouseRelease(header->viewport(), Qt::LeftButton);
    FlushEvents();
    QCOMPARE(w.settings.ReadInteger("TelePhone", "0Width_B", 0), 120);
    QCOMPARE(w.settings.ReadInteger("TelePhone", "0Width_A", 0), 100);
    window->grid()->setColumnWidth(0, 5000);
    QTest::mouseRelease(header->viewport(), Qt::LeftButton);
    FlushEvents();
    for (const char* key : {"0Width_A", "0Width_B", "0Width_E"}) {
      QCOMPARE(w.settings.ReadInteger("TelePhone", key, 0), 100);
    }
    QCOMPARE(window->grid()->columnWidth(0), 100);
    QVERIFY(!w.settings.Open().HasKey("TelePhone", "1Width_A"));
    delete window;
  }

  void UntouchedPagesAreNeverWritten() {
    World w;
    // A UTF-8 page and a page with a stray byte: neither survives CP932.
    const std::string utf8 = "佐藤,03-1111\r\nあ,x\r\n";
    const std::string raw = "a,\x81\r\nplain\n";
    w.Page(0, utf8);
    w.Page(1, raw);
    w.Page(2, Row("x", "y", "z"));
    const std::string two = w.Read(2);
    QPointer<PhoneBookWindow> window = w.Open();
    QVERIFY(window->page_read_only());
    QVERIFY(window->page_note().contains(U("表示のみ")));
    QCOMPARE(window->grid()->editTriggers(), QAbstractItemView::NoEditTriggers);
    for (int page : {1, 2, 0, 1, 3, 0}) QVERIFY(window->ShowPage(page));
    QVERIFY(window->page_note().contains(U("表示のみ")));
    window->ShowPage(2);
    QVERIFY(window->page_note().isEmpty());
    QVERIFY(!window->page_read_only());
    window->close();
    FlushEvents();
    QCOMPARE(w.Read(0), utf8);
    QCOMPARE(w.Read(1), raw);
    QCOMPARE(w.Read(2), two);
    QVERIFY(!w.Exists(3));
  }

  void EditsAreSavedWhenThePageChanges() {
    World w;
    std::string text = Row("Acme Co.", "佐藤", "03") +
                       Utf8ToCp932("a,b,c,d,e,f,seven,eight\r\n");
    for (int i = 0; i < 298; ++i) text += "r" + std::to_string(i) + "\r\n";
    w.Page(0, text);
    QPointer<PhoneBookWindow> window = w.Open();
    QCOMPARE(Model(window)->rowCount(), 300);
    Edit(window, 0, 1, "鈴木 一郎");
    QCOMPARE(window->dial_field()->text(), U("03"));
    QVERIFY(window->ShowPage(1));
    const PhonePage saved = ParsePhonePage(w.Read(0));
    QCOMPARE(saved.rows.size(), size_t(300));
    QCOMPARE(saved.rows[0][1], std::string("鈴木 一郎"));
    QCOMPARE(saved.rows[1],
             (PhoneRow{"a", "b", "c", "d", "e", "f", "seven", "eight"}));
    QCOMPARE(saved.rows[299][0], std::string("r297"));
    delete window;
  }

  void CellCp932CannotHoldIsRefusedWhenTheEditEnds() {
    World w;
    w.Page(0, Row("Acme", "佐藤", "03"));
    QPointer<PhoneBookWindow> window = w.Open();
    Edit(window, 0, 1, "😀");
    QCOMPARE(Shown(window, 0, 1), U("佐藤"));
    QCOMPARE(window->rows()[0][1], std::string("佐藤"));
    QCOMPARE(w.Notices().size(), size_t(1));
    QVERIFY(window->ShowPage(1));
    QCOMPARE(ParsePhonePage(w.Read(0)).rows[0][1], std::string("佐藤"));
    delete window;
  }

  void FailedSaveKeepsThePageAndItsEdits() {
    World w;
    QPointer<PhoneBookWindow> window = w.Open();
    Edit(window, 0, 0, "kept");
    // A folder in the page file's place: the write fails.
    std::filesystem::create_directories(w.tel + "/0.CSV/x");
    window->tabs()->setCurrentIndex(3);
    QCOMPARE(window->page(), 0);
    QCOMPARE(window->tabs()->currentIndex(), 0);
    QCOMPARE(window->rows()[0][0], std::string("kept"));
    QVERIFY(!w.Notices().empty());
    QVERIFY(U(w.Notices().back()).startsWith(U("保存できませんでした。\r")));
    QVERIFY(!window->Search(U("x")));
    QCOMPARE(window->page(), 0);
    window->close();
    QVERIFY(window);  // still open with its edits
    std::filesystem::remove_all(w.tel + "/0.CSV");
    window->close();
    FlushEvents();
    QVERIFY(!window);
    QCOMPARE(ParsePhonePage(w.Read(0)).rows[0][0], std::string("kept"));
  }

  void RowsDraggedInReorderModeAreSavedInTheirNewOrder() {
    World w;
    w.Page(0, Row("a", "1", "") + Row("b", "2", "") + Row("c", "3", ""));
    QPointer<PhoneBookWindow> window = w.Open();
    window->reorder_box()->setChecked(true);
    QVERIFY(w.settings.ReadBool("TelePhone", "Sort", false));
    QVERIFY(window->grid()->verticalHeader()->sectionsMovable());
    QCOMPARE(window->grid()->currentIndex().column(), 2);
    QCOMPARE(window->grid()->selectionBehavior(),
             QAbstractItemView::SelectRows);
    QCOMPARE(window->grid()->editTriggers(), QAbstractItemView::NoEditTriggers);
    // What a drag of the row handle does.
    window->grid()->verticalHeader()->moveSection(0, 2);
    QCOMPARE(Shown(window, 2, 0), U("a"));
    QCOMPARE(window->grid()->verticalHeader()->logicalIndex(0), 0);
    QVERIFY(window->ShowPage(1));
    const PhonePage saved = ParsePhonePage(w.Read(0));
    QCOMPARE(saved.rows[0][0], std::string("b"));
    QCOMPARE(saved.rows[1][0], std::string("c"));
    QCOMPARE(saved.rows[2][0], std::string("a"));
    window->lock_box()->setChecked(true);
    QVERIFY(w.settings.ReadBool("TelePhone", "Edit", false));
    delete window;
  }

  void SearchListsDecodedMatchesAndCopiesRawLines() {
    World w;
    w.Page(0, Row("ア社", "x", "1") + Row("Alpha", "y", "2"));
    std::string many;
    for (int i = 0; i < 300; ++i) many += Row("c" + std::to_string(i), "", "");
    w.Page(5, many);
    QPointer<PhoneBookWindow> window = w.Open();
    QVERIFY(window->Search(U("A")));
    QCOMPARE(window->page(), kSearchPage);
    QCOMPARE(window->status(), U("「A」の検索を終了しました。"));
    QCOMPARE(window->rows()[0][0], std::string("Alpha"));
    QCOMPARE(window->rows()[1][0], std::string());
    QVERIFY(window->Search(U(",")));
    // Pages never saved keep their own lines: 2 + 300, none cut off.
    QCOMPARE(Model(window)->rowCount(), 302);
    QCOMPARE(window->rows()[2][0], std::string("c0"));
    QCOMPARE(window->rows()[301][0], std::string("c299"));
    delete window;
  }

  void CommandsTakeTheSelectedRow() {
    World w;
    w.Page(0, Row("Acme", "佐藤", "03-1234-5678", "a@b.jp?bcc=x@y",
                  "example.jp", "127.0.0.1"));
    w.settings.WriteString("TelePhone", "Mailer", "prog?/m");
    QPointer<PhoneBookWindow> window = w.Open();
    QVERIFY(window->web_button()->isEnabled());
    QVERIFY(window->ping_button()->isEnabled());
    QCOMPARE(window->address_field()->text(), U("127.0.0.1"));
    QTest::mouseClick(window->mail_button(), Qt::LeftButton);
    QTest::mouseClick(window->web_button(), Qt::LeftButton);
    window->dial_field()->Dial();
    QCOMPARE(w.shell.calls().size(), size_t(3));
    QCOMPARE(w.shell.calls()[0].arguments,
             std::vector<std::string>{"/ma@b.jp?bcc=x@y"});
    QCOMPARE(w.shell.calls()[1].target, std::string("http://example.jp"));
    QCOMPARE(w.shell.calls()[2].target, std::string("tel:03-1234-5678"));
    QVERIFY(window->status().contains(U("佐藤(Acme)")));
    QVERIFY(window->dial_field()->dialling());

    QMenu* menu = window->BuildContextMenu();
    QStringList enabled;
    for (QAction* a : menu->findChildren<QAction*>()) {
      if (a->isEnabled() && !a->text().isEmpty()) enabled << a->text();
    }
    QVERIFY(enabled.contains(U("E-Mail")));
    QVERIFY(enabled.contains(U("Ping")));
    window->SelectRow(1);
    QVERIFY(!window->mail_button()->isEnabled());
    QVERIFY(!window->ping_button()->isEnabled());
    delete menu;
    delete window;
  }

  void TonesKeepTheButtonOffUntilDoneAndNeverReachAClosedWindow() {
    World w;
    w.Page(0, Row("", "", "0,5"));
    w.settings.WriteInteger("TelePhone", "Sleep", 123456);
    QPointer<PhoneBookWindow> window = w.Open();
    window->PlayTones();
    QVERIFY(!window->tone_button()->isEnabled());
    QCOMPARE(w.sound.sequences().size(), size_t(1));
    QCOMPARE(w.sound.sequences()[0].back().pause_ms, 9999);
    w.sound.FinishSequence();
    QVERIFY(window->tone_button()->isEnabled());
    window->PlayTones();
    delete window;
    w.sound.FinishSequence();  // must not touch the closed window
  }

  void PingReportsEachOutcomeAndGivesTheButtonBack() {
    World w;
    w.Page(0, Row("", "", "", "", "", "host.invalid"));
    QPointer<PhoneBookWindow> window = w.Open();
    struct Case {
      PingOutcome::Kind kind;
      std::string address;
      int ms;
      std::string text;
    } cases[] = {
        {PingOutcome::Kind::kReply, "10.0.0.9", 7,
         "Pinging 10.0.0.9\r\r7 msecs.で応答がありました。"},
        {PingOutcome::Kind::kNoReply, "10.0.0.9", 0,
         "10.0.0.9の応答がありません。"},
        {PingOutcome::Kind::kLookupFailed, "", 0,
         "host.invalidが検出できません。"},
        {PingOutcome::Kind::kRefused, "10.0.0.9", 0,
         "Pingを送信できません。\rnet.ipv4.ping_group_range "
         "にこのユーザーのグループを含めてください。"},
    };
    for (const Case& c : cases) {
      w.messages.Clear();
      QTest::keyClick(window->address_field(), Qt::Key_Return);
      QVERIFY(!window->ping_button()->isEnabled());
      QCOMPARE(w.reachability.requests().back()->host,
               std::string("host.invalid"));
      PingOutcome outcome;
      outcome.kind = c.kind;
      outcome.address = c.address;
      outcome.round_trip_ms = c.ms;
      QVERIFY(w.reachability.Finish(outcome));
      QCOMPARE(w.Notices(), std::vector<std::string>{c.text});
      QVERIFY(window->ping_button()->isEnabled());
    }
    delete window;
  }

  void SecondPingAndClosingCancelWithoutABox() {
    World w;
    w.Page(0, Row("", "", "", "", "", "slow.example"));
    QPointer<PhoneBookWindow> window = w.Open();
    window->Ping();
    window->Ping();  // as a second Enter would, were the button not off
    QCOMPARE(w.reachability.requests().size(), size_t(2));
    QVERIFY(w.reachability.requests()[0]->cancelled);
    QCOMPARE(w.reachability.open_requests(), 1);
    window->close();
    FlushEvents();
    QVERIFY(!window);
    QVERIFY(w.reachability.requests()[1]->cancelled);
    QVERIFY(!w.reachability.Finish(PingOutcome{}));
    QVERIFY(w.Notices().empty());
  }

  void ClosingAsksTheDiallerToCloseWhenSet() {
    World w;
    w.desktop.titles = {"ﾀﾞｲﾔﾗｰ", "other"};
    QPointer<PhoneBookWindow> window = w.Open();
    window->close();
    FlushEvents();
    QVERIFY(w.desktop.close_requests.empty());
    w.settings.WriteBool("TelePhone", "Close", true);
    window = w.Open();
    window->close();
    FlushEvents();
    QCOMPARE(w.desktop.close_requests, std::vector<std::string>{"ﾀﾞｲﾔﾗｰ"});
  }

  void CommandWritesTheAccessTimeAndOpensBehindTheLock() {
    World w;
    std::filesystem::remove_all(w.tel);
    FakeCommandHost host;
    TickEvents events;
    PreferencesPages pages;
    Services services = w.Context();
    PasswordGate lock(services);
    InstallPhoneBook(services, host, events, pages,
                     {[] { return true; },
                      [&lock](std::function<void()> go_on) {
                        lock.Check(LockedPart::kTelephone, std::move(go_on));
                      }});
    // Locked with `tel`: closing the prompt without the phrase opens nothing.
    w.settings.Batch([](SettingsBatch& b) {
      b.WriteBool("Password", "Use", true);
      b.WriteBool("Password", "tel", true);
    });
    host.RunCommand(Command::kPhoneBook);
    QVERIFY(lock.prompt());
    lock.prompt()->close();
    FlushEvents();
    QVERIFY(host.opened.empty());
    QVERIFY(!std::filesystem::exists(w.tel));
    QVERIFY(!w.settings.Open().HasKey("Password", "Telephone"));
    // Without `tel` the phone book does not ask.
    w.settings.WriteBool("Password", "tel", false);
    host.RunCommand(Command::kPhoneBook);
    QCOMPARE(host.opened, std::vector<std::string>{"phone_book"});
    QCOMPARE(w.settings.ReadString("Password", "Telephone", ""),
             std::string("2026/12/10 10:30:00"));
    struct stat st {};
    QCOMPARE(::stat(w.tel.c_str(), &st), 0);
    QCOMPARE(int(st.st_mode & 0777), 0700);
    for (QWidget* top : QApplication::topLevelWidgets()) {
      if (qobject_cast<PhoneBookWindow*>(top)) delete top;
    }
  }
};

}  // namespace mirokata

QTEST_MAIN(mirokata::PhoneBookWindowTest)
#include "phone_book_window_uitest.moc"
