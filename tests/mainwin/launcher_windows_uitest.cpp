// The launcher's windows over fake services: the menu editor's refusals
// and levels, the launcher box, the association editor, the drop choice
// window and files dropped on the main window.
#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTreeWidget>
#include <filesystem>
#include <fstream>

#include "mainwin/launcher_actions.h"
#include "mainwin/launcher_menu.h"
#include "mainwin/ui/association_editor.h"
#include "mainwin/ui/drop_choice_window.h"
#include "mainwin/ui/launcher_box.h"
#include "mainwin/ui/launcher_menu_editor.h"
#include "mainwin/ui/launcher_menu_view.h"
#include "mainwin/ui/launcher_module.h"
#include "platform/file_io.h"
#include "platform/testing/fake_shell.h"
#include "support/fake_command_host.h"
#include "support/fake_world.h"

namespace mirokata {
namespace {

QString U(const char* text) { return QString::fromUtf8(text); }

void CheckAccessibleNames(QWidget* window) {
  for (QWidget* child : window->findChildren<QWidget*>()) {
    if (qobject_cast<QAbstractButton*>(child) ||
        qobject_cast<QLineEdit*>(child) || qobject_cast<QListWidget*>(child) ||
        qobject_cast<QTreeWidget*>(child)) {
      if (qobject_cast<QComboBox*>(child->parentWidget())) continue;
      QVERIFY2(!child->accessibleName().isEmpty(),
               qPrintable(child->metaObject()->className() +
                          QStringLiteral(" ") + child->objectName()));
    }
  }
}

QPushButton* Button(QWidget* w, const char* caption) {
  for (QPushButton* b : w->findChildren<QPushButton*>()) {
    if (b->text() == U(caption)) return b;
  }
  return nullptr;
}

struct World : FakeWorld {
  Services Context() {
    Services c = FakeWorld::Context();
    c.shell = &shell;
    return c;
  }
  FakeShell shell;
};

}  // namespace

class LauncherWindowsTest : public QObject {
  Q_OBJECT

 private slots:
  void TheEditorWritesALevelAndOpensItsSubmenu() {
    World world;
    Services services = world.Context();
    int rebuilt = 0;
    auto* editor =
        new LauncherMenuEditor(services, "Main", 1, [&rebuilt] { ++rebuilt; });
    editor->show();
    QCOMPARE(editor->windowTitle(), U("ランチャーメニューの設定"));
    CheckAccessibleNames(editor);
    QCOMPARE(world.sound.cues().front(), std::string("ope"));

    // A submenu with one command below it, and a command item.
    editor->AddItem();
    editor->title_field()->setText("Tools");
    QVERIFY(editor->WriteFields());
    editor->submenu_switch()->click();
    QVERIFY(editor->items()[0].submenu);
    editor->item_list()->setCurrentRow(-1);
    editor->AddItem();
    editor->title_field()->setText("Editor");
    editor->command_field()->setText("/usr/bin/ed");
    QVERIFY(editor->WriteFields());
    QVERIFY(!editor->submenu_switch()->isEnabled());  // a command is set

    editor->item_list()->setCurrentRow(0);
    editor->EditSubmenu();
    LauncherMenuEditor* sub = editor->nested();
    QVERIFY(sub);
    QCOMPARE(sub->windowTitle(), U("ランチャーメニュー（サブ）の設定"));
    QCOMPARE(world.settings.ReadString("Execmenu", "SubStack", ""),
             std::string("Main-Tools"));
    sub->AddItem();
    sub->title_field()->setText("Calc");
    sub->command_field()->setText("/usr/bin/calc");
    QVERIFY(sub->WriteFields());
    QVERIFY(sub->Save());
    FlushEvents();
    QVERIFY(!editor->nested());

    // A submenu with items can no longer be renamed.
    editor->item_list()->setCurrentRow(0);
    QVERIFY(!editor->title_field()->isEnabled());
    QVERIFY(editor->Save());
    FlushEvents();
    QCOMPARE(rebuilt, 1);

    QMenu menu;
    FillLauncherMenu(&menu, BuildLauncherMenu(world.settings), [](int) {});
    QCOMPARE(menu.actions().size(), 2);
    QCOMPARE(menu.actions()[0]->text(), QStringLiteral("Tools"));
    QVERIFY(menu.actions()[0]->menu());
    QCOMPARE(menu.actions()[0]->menu()->actions()[0]->text(),
             QStringLiteral("Calc"));
    QCOMPARE(world.settings.ReadString("ExecCommand", "0", ""),
             std::string("/usr/bin/calc"));
  }

  void TheEditorRefusesCollidingTitlesWithABeep() {
    World world;
    Services services = world.Context();
    SaveLauncherLevel(world.settings, "Main",
                      {{"A", "", true}, {"A-B", "", true}, {"x", "/x", false}});
    SaveLauncherLevel(world.settings, "Main-A-B", {{"C", "/c", false}});
    auto* editor = new LauncherMenuEditor(services, "Main", 1, {});

    // A title repeating within the level.
    editor->item_list()->setCurrentRow(2);
    editor->title_field()->setText("a");
    QVERIFY(!editor->WriteFields());
    QCOMPARE(world.messages.beeps().size(), size_t{1});
    QCOMPARE(world.messages.beeps()[0], MessageKind::kWarning);
    QCOMPARE(editor->items()[2].title, std::string("x"));

    // "MAIN" empties the field as it is typed.
    editor->title_field()->clear();
    QTest::keyClicks(editor->title_field(), "main");
    QVERIFY(editor->title_field()->text().isEmpty());
    editor->close();
    FlushEvents();

    // "A" > "B-C" against "A-B" > "C": both would be Main-A-B-C.
    auto* sub = new LauncherMenuEditor(services, "Main-A", 2, {});
    sub->AddItem();
    sub->title_field()->setText("B-C");
    QVERIFY(sub->WriteFields());
    sub->submenu_switch()->click();
    QVERIFY(sub->items()[0].submenu);
    sub->AddItem();
    sub->title_field()->setText("B");
    QVERIFY(sub->WriteFields());
    world.messages.Clear();
    sub->submenu_switch()->click();  // Main-A-B is the top level's A-B
    QVERIFY(!sub->items()[0].submenu);
    QCOMPARE(world.messages.beeps().size(), size_t{1});
    sub->close();
    FlushEvents();
  }

  void TheStackReordersAndHoldsDroppedFiles() {
    World world;
    Services services = world.Context();
    SaveLauncherLevel(world.settings, "Main",
                      {{"one", "/1", false}, {"two", "/2", false}});
    auto* editor = new LauncherMenuEditor(services, "Main", 1, {});
    QPushButton* save = Button(editor, "保存");
    QVERIFY(save);
    editor->item_list()->setCurrentRow(0);
    editor->ToStack();
    QVERIFY(!save->isEnabled());  // nothing saved while the stack holds items
    editor->item_list()->setCurrentRow(0);
    editor->FromStack();
    QVERIFY(save->isEnabled());
    QCOMPARE(editor->items()[1].title, std::string("one"));
    editor->AddDroppedFiles({QStringLiteral("/opt/a b/tool.desktop")});
    QCOMPARE(editor->stack().back(),
             (LauncherEntry{"tool.desktop", "/opt/a b/tool.desktop", false}));
    // The help text follows the mouse.
    QEvent enter(QEvent::Enter);
    QApplication::sendEvent(save, &enter);
    QCOMPARE(editor->status()->text(), U("変更内容を保存して終了します。"));
    editor->close();
    FlushEvents();
  }

  void TheBoxListsColoursAndFallsBackToTheSearchMenu() {
    World world;
    Services services = world.Context();
    const std::string folder = world.dir / "Shortcut";
    std::filesystem::create_directory(folder);
    std::ofstream(folder + "/Firefox.desktop") << "[Desktop Entry]\n";
    std::ofstream(folder + "/fire.lnk") << "x";
    QComboBox combo;
    auto* box = new LauncherBox(&combo, services, folder);
    combo.show();
    QTest::keyClicks(combo.lineEdit(), "FIRE");
    QCOMPARE(combo.count(), 2);
    QCOMPARE(combo.itemText(0), QStringLiteral("fire"));
    QVERIFY(box->matched());
    QCOMPARE(combo.lineEdit()->palette().color(QPalette::Base),
             combo.palette().color(QPalette::Button));
    QCOMPARE(combo.toolTip(), QStringLiteral("FIRE"));
    QTest::keyClick(combo.lineEdit(), Qt::Key_F);
    QVERIFY(!box->matched());

    // Enter on "." opens the shortcut folder and clears the box.
    combo.setEditText(".");
    QTest::keyClick(combo.lineEdit(), Qt::Key_Return);
    QCOMPARE(world.shell.calls().size(), size_t{1});
    QCOMPARE(world.shell.calls()[0].target, folder);
    QVERIFY(combo.currentText().isEmpty());
    QCOMPARE(combo.toolTip(), U("\".\"(ピリオド)でショートカット専用フォルダ"));

    // A word the shell cannot open: a beep and the search menu.
    world.shell.SetResult(false);
    combo.setEditText("a&b #1+%");
    box->Start();
    QCOMPARE(world.messages.beeps().back(), MessageKind::kInformation);
    QVERIFY(box->search_menu()->isVisible());
    QCOMPARE(box->search_menu()->actions().size(), 5);
    world.shell.SetResult(true);
    world.shell.Clear();
    box->search_menu()->actions()[0]->trigger();
    QCOMPARE(world.shell.calls().size(), size_t{1});
    QCOMPARE(world.shell.calls()[0].kind, FakeShell::Call::Kind::kOpenDocument);
    QVERIFY(QString::fromStdString(world.shell.calls()[0].target)
                .endsWith("q=a%26b%20%231%2B%25"));
    box->search_menu()->hide();
  }

  void TheAssociationEditorWritesOnlyOnClose() {
    World world;
    Services services = world.Context();
    world.settings.WriteString("Ext_Exec", ".txt", "/bin/ed");
    world.settings.WriteInteger("Ext_Form", "Count", 50);
    FakeCommandHost host;
    InstallLauncher(services, host, {});
    QVERIFY(host.HasCommand(Command::kAssociations));
    host.RunCommand(Command::kAssociations);
    AssociationEditor* editor = nullptr;
    for (QWidget* w : QApplication::topLevelWidgets()) {
      if (auto* e = qobject_cast<AssociationEditor*>(w)) editor = e;
    }
    QVERIFY(editor);
    editor->show();
    QCOMPARE(editor->windowTitle(), U("関連付けの設定"));
    CheckAccessibleNames(editor);
    QCOMPARE(editor->list()->topLevelItemCount(), 1);

    QVERIFY(!editor->program_field()->isEnabled());
    editor->extension_field()->setText(".PDF");
    QVERIFY(editor->program_field()->isEnabled());
    editor->TakeDroppedFile(QStringLiteral("/opt/viewer.desktop"));
    QCOMPARE(editor->program_field()->text(),
             QStringLiteral("/opt/viewer.desktop"));
    editor->SaveExtension();
    QCOMPARE(editor->list()->topLevelItemCount(), 2);
    editor->TakeDroppedFile(QStringLiteral("/home/u/Report.ODT"));
    QCOMPARE(editor->extension_field()->text(), QStringLiteral(".odt"));
    QVERIFY(world.settings.ReadString("Ext_Exec", ".pdf", "").empty());

    Button(editor, "閉じる")->click();
    FlushEvents();
    Settings s = world.settings.Open();
    QCOMPARE(s.ReadString("Ext_Exec", ".pdf", ""),
             std::string("/opt/viewer.desktop"));
    QCOMPARE(s.ReadInteger("Ext_Form", "Count", 0), 2);
  }

  void TheDropChoiceReportsOneChoice() {
    struct Case {
      int files;
      const char* first;
      const char* second;
      int second_choice;
    };
    const Case cases[] = {
        {1, "このメモに読込", "新しいメモに読込", 2},
        {3, "最初のファイルのみ、このメモに読込",
         "全てのファイルを、新しいメモに読込", 3},
    };
    for (const Case& c : cases) {
      auto* w = new DropChoiceWindow(QStringLiteral("t"), c.files, true);
      QSignalSpy spy(w, &DropChoiceWindow::Chosen);
      w->show();
      QCOMPARE(w->windowTitle(), QStringLiteral("Drop-[t]"));
      QCOMPARE(w->this_memo_button()->text(), U(c.first));
      QCOMPARE(w->new_memo_button()->text(), U(c.second));
      CheckAccessibleNames(w);
      w->new_memo_button()->click();
      QCOMPARE(spy.size(), 1);
      QCOMPARE(spy[0][0].toInt(), c.second_choice);
      FlushEvents();
    }
    auto* esc = new DropChoiceWindow(QStringLiteral("t"), 1, false);
    QSignalSpy spy(esc, &DropChoiceWindow::Chosen);
    esc->show();
    QVERIFY(!esc->this_memo_button()->isEnabled());
    QTest::keyClick(esc, Qt::Key_Escape);
    QCOMPARE(spy.size(), 1);
    QCOMPARE(spy[0][0].toInt(), 0);
    FlushEvents();
  }

  void FilesDroppedOnTheWindowGoToTheClipboardOrTheirPrograms() {
    World world;
    Services services = world.Context();
    FakeCommandHost host;
    const DroppedFilesHandler drop = InstallLauncher(services, host, {});
    const QStringList three = {"/a/one.txt", "/b/two", "/c/three"};
    drop(three, false, false);
    QCOMPARE(QGuiApplication::clipboard()->text(),
             QStringLiteral("/a/one.txt\r\n/b/two\r\n/c/three\r\n"));
    QCOMPARE(world.sound.cues().back(), std::string("cop"));
    world.settings.WriteBool("ToolWindow", "Separate", true);
    drop(three, true, false);
    QCOMPARE(QGuiApplication::clipboard()->text(),
             QStringLiteral("one.txt two three"));

    world.settings.WriteString("Ext_Exec", ".txt", "/bin/ed?-n");
    drop({"/a/X.TXT", "/a/none"}, true, true);  // Ctrl wins over Shift
    QCOMPARE(world.shell.calls().size(), size_t{1});
    QCOMPARE(world.shell.calls()[0].target, std::string("/bin/ed"));
    QCOMPARE(world.shell.calls()[0].arguments,
             (std::vector<std::string>{"-n", "/a/X.TXT"}));
    world.shell.SetResult(false);
    drop({"/a/y.txt"}, false, true);
    QCOMPARE(world.messages.texts().back(),
             std::string("現在ドロップ出来ません。\r一旦閉じてからまた開いて"
                         "再度行って下さい。"));
  }
};

}  // namespace mirokata

QTEST_MAIN(mirokata::LauncherWindowsTest)
#include "launcher_windows_uitest.moc"
