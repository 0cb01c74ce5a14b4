// The to-do board window over fake services: opening by its command, adding,
// moving by the model's drop, emptying the trash, and writes that fail.
#include <QAbstractButton>
#include <QAbstractSpinBox>
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QPointer>
#include <QPrinter>
#include <QProcess>
#include <QPushButton>
#include <QStandardPaths>
#include <QTest>
#include <QTextEdit>
#include <QTreeView>
#include <filesystem>
#include <memory>
#include <string>
#include <utility>

#include "base/preferences_page.h"
#include "base/settings_file.h"
#include "base/tick_events.h"
#include "notes/notes_module.h"
#include "notes/todo_board_store.h"
#include "notes/ui/todo_board_window.h"
#include "notes/ui/todo_note_pane.h"
#include "notes/ui/todo_tree_model.h"
#include "platform/file_io.h"
#include "platform/text_codec.h"
#include "richtext/rtf_reader.h"
#include "richtext/ui/find_replace_dialog.h"
#include "richtext/ui/rich_text_editor.h"
#include "richtext/ui/rich_text_tool_bar.h"
#include "support/fake_command_host.h"
#include "support/fake_world.h"

namespace mirokata {
namespace {

std::string ReadFile(const std::string& path) {
  std::string data;
  ReadWholeFile(path, &data);
  return data;
}

std::string Titles(const std::string& todo) {
  return Cp932ToUtf8(ReadFile(todo + "/TreeData.q32"));
}

size_t Find(const TodoTree& tree, const std::string& title) {
  for (size_t i = 0; i < tree.size(); ++i) {
    if (tree.node(i).title == title) return i;
  }
  return size_t(-1);
}

// The board's command as the main window runs it; the board it opened.
TodoBoardWindow* RunBoardCommand(FakeDataWorld& world, FakeCommandHost& host) {
  TickEvents events;
  PreferencesPages pages;
  Services services = world.Context();
  InstallNotes(services, host, events, pages, {});
  host.RunCommand(Command::kTodoBoard);
  for (QWidget* w : QApplication::topLevelWidgets()) {
    if (auto* board = qobject_cast<TodoBoardWindow*>(w)) return board;
  }
  return nullptr;
}

class TodoBoardWindowTest : public QObject {
  Q_OBJECT

 private:
  struct Board {
    FakeDataWorld world;
    std::string todo = world.data + "/Todo";
    QPointer<TodoBoardWindow> window;

    Board() { std::filesystem::create_directory(todo); }
    ~Board() {
      if (window) {
        world.settings.WriteInteger("Form", "Delete", 1);
        delete window.data();
      }
      FlushEvents();
    }
    TodoBoardWindow* Open() {
      TodoBoardStore store(todo);
      std::string message;
      if (!store.Load(&message)) return nullptr;
      window = new TodoBoardWindow(world.Context(), std::move(store));
      window->show();
      return window;
    }
    // Drops the note at `from` on `target` as the tree's drop does.
    bool Drop(size_t from, size_t target) {
      TodoTreeModel* model = window->model();
      std::unique_ptr<QMimeData> mime(model->mimeData({model->IndexOf(from)}));
      if (!mime) return false;
      return model->dropMimeData(mime.get(), Qt::MoveAction, -1, -1,
                                 model->IndexOf(target));
    }
  };

 private slots:
  void CommandOpensTheBoardAndMakesItsFolder() {
    FakeDataWorld world;
    FakeCommandHost host;
    TodoBoardWindow* board = RunBoardCommand(world, host);
    QCOMPARE(host.opened.size(), size_t{1});
    QCOMPARE(host.opened[0], std::string("todo"));
    QVERIFY(std::filesystem::is_directory(world.data + "/Todo"));
    QVERIFY(board);
    QCOMPARE(board->model()->rowCount(), 4);
    QCOMPARE(world.sound.cues().front(), std::string("ope"));
    delete board;
    FlushEvents();
  }

  void BrokenTreeFilesKeepTheBoardShutAndUntouched() {
    FakeDataWorld world;
    std::filesystem::create_directory(world.data + "/Todo");
    world.Put("Todo/TreeData.q32", "a\r\n\t\tb\r\n");
    world.Put("Todo/TreeFile.q32", "%$#Q32#$%\r\n\t\t0.q32\r\n");
    FakeCommandHost host;
    QVERIFY(!RunBoardCommand(world, host));
    QCOMPARE(world.messages.texts().back(),
             std::string("｢TreeData.q32｣が壊れているので中断します。"));
    QCOMPARE(ReadFile(world.data + "/Todo/TreeData.q32"),
             std::string("a\r\n\t\tb\r\n"));
  }

  void AddTypeAndCloseWritesTheNoteAndTheTrees() {
    Board board;
    TodoBoardWindow* w = board.Open();
    QVERIFY(w);
    w->AddNote();
    // The tree is on disk at once, the new note first.
    QCOMPARE(Titles(board.todo),
             std::string("やるべきもの\r\n\t2026/12/10(木) 10:30:00登録\r\n"
                         "保留されているもの\r\n終了したもの\r\nごみ箱\r\n"));
    QCOMPARE(w->selected_position(), size_t{1});
    QVERIFY(w->pane()->editable());
    w->pane()->editor()->setFocus();
    w->pane()->editor()->insertPlainText(QString::fromUtf8("牛乳を買う"));
    QVERIFY(w->close());
    const std::string note = ReadFile(board.todo + "/0.q32");
    QVERIFY2(note.rfind("{\\rtf1", 0) == 0, note.c_str());
    QVERIFY(RichTextToPlainText(note).find("牛乳を買う") != std::string::npos);
    QCOMPARE(board.world.settings.ReadInteger("TodoBoard", "Index", -1), 1);
    QCOMPARE(board.world.settings.ReadInteger("Borad", "Count", -1), 1);
    QCOMPARE(board.world.sound.cues().back(), std::string("clo"));
  }

  void ModelDropsMoveNotesAndWriteTheTrees() {
    Board board;
    TodoBoardWindow* w = board.Open();
    w->AddNote();
    w->AddNote();
    const TodoTree& tree = w->store().tree();
    // The newer note (1.q32) onto "終了したもの", then the older onto it.
    QVERIFY(board.Drop(1, Find(tree, "終了したもの")));
    QCOMPARE(tree.node(Find(tree, "終了したもの") + 1).file,
             std::string("1.q32"));
    QVERIFY(board.Drop(1, Find(tree, "終了したもの") + 1));
    QCOMPARE(Cp932ToUtf8(ReadFile(board.todo + "/TreeFile.q32")),
             std::string("%$#Q32#$%\r\n%$#Q32#$%\r\n%$#Q32#$%\r\n\t0.q32\r\n"
                         "\t1.q32\r\n%$#G32#$%\r\n"));
    QCOMPARE(board.world.sound.cues().back(), std::string("c1"));
    // Onto itself and a category dragged: refused, nothing written.
    const std::string before = ReadFile(board.todo + "/TreeFile.q32");
    const size_t note = Find(tree, "終了したもの") + 1;
    QVERIFY(!board.Drop(note, note));
    QVERIFY(!board.Drop(0, note));
    QCOMPARE(ReadFile(board.todo + "/TreeFile.q32"), before);
  }

  void EmptyingTheTrashAsksThenDeletesItsNotes() {
    Board board;
    TodoBoardWindow* w = board.Open();
    QVERIFY(!w->delete_button()->isEnabled());
    w->AddNote();
    w->pane()->editor()->setFocus();
    QTest::keyClicks(w->pane()->editor(), QStringLiteral("x"));
    QVERIFY(w->SaveNote());
    QVERIFY(std::filesystem::exists(board.todo + "/0.q32"));
    const TodoTree& tree = w->store().tree();
    QVERIFY(board.Drop(1, Find(tree, "ごみ箱")));
    QVERIFY(w->delete_button()->isEnabled());
    board.world.sound.Clear();
    w->delete_button()->click();
    QCOMPARE(board.world.messages.texts().back(),
             std::string("削除しますか？"));
    QVERIFY(std::filesystem::exists(board.todo + "/0.q32"));
    board.world.messages.AnswerPending();
    QVERIFY(!std::filesystem::exists(board.todo + "/0.q32"));
    QCOMPARE(board.world.sound.cues().back(), std::string("del"));
    QVERIFY(!w->delete_button()->isEnabled());
    QCOMPARE(w->selected_position(), Find(tree, "ごみ箱"));
    QVERIFY(Titles(board.todo).find("登録") == std::string::npos);
  }

  void FailedWriteKeepsTheTextAndRefusesTheClose() {
    Board board;
    TodoBoardWindow* w = board.Open();
    w->AddNote();
    w->pane()->editor()->setFocus();
    QTest::keyClicks(w->pane()->editor(), QStringLiteral("keep me"));
    std::filesystem::rename(board.todo, board.todo + ".away");
    QVERIFY(!w->close());
    QVERIFY(w->isVisible());
    QVERIFY(board.world.messages.texts().back().rfind("保存できません。", 0) ==
            0);
    QVERIFY(w->pane()->editor()->toPlainText().contains("keep me"));
    std::filesystem::rename(board.todo + ".away", board.todo);
    QVERIFY(w->close());
    QVERIFY(ReadFile(board.todo + "/0.q32").find("keep me") !=
            std::string::npos);
  }

  void NotesThatCannotBeReadAreShownReadOnlyAndNeverWritten() {
    Board board;
    board.world.Put("Todo/TreeData.q32",
                    Utf8ToCp932("やるべきもの\r\n\tfolder\r\n\tforeign\r\n"));
    board.world.Put("Todo/TreeFile.q32",
                    "%$#Q32#$%\r\n\t0.q32\r\n\t../outside\r\n");
    std::filesystem::create_directory(board.todo + "/0.q32");
    board.world.Put("outside", "canary");
    TodoBoardWindow* w = board.Open();
    for (size_t i : {size_t{1}, size_t{2}}) {
      w->SelectPosition(i);
      QVERIFY(!w->pane()->editable());
      QVERIFY(w->pane()->editor()->toPlainText().isEmpty());
      w->pane()->editor()->setPlainText(QStringLiteral("typed anyway"));
    }
    w->SelectPosition(0);
    QVERIFY(w->close());
    QVERIFY(std::filesystem::is_directory(board.todo + "/0.q32"));
    QCOMPARE(ReadFile(board.world.data + "/outside"), std::string("canary"));
  }

  void TitlesAreWrittenAtOnceAndNeverAsQuestionMarks() {
    Board board;
    TodoBoardWindow* w = board.Open();
    w->AddNote();
    TodoTreeModel* model = w->model();
    QVERIFY(model->setData(model->IndexOf(1), QString::fromUtf8("  牛乳"),
                           Qt::EditRole));
    QVERIFY(Titles(board.todo).find("\t牛乳\r\n") != std::string::npos);
    // An emoji has no CP932 bytes: refused with a word, the title kept.
    QVERIFY(!model->setData(model->IndexOf(1), QString::fromUtf8("牛乳🥛"),
                            Qt::EditRole));
    QVERIFY(board.world.messages.texts().back().rfind(
                "Shift-JIS (CP932) にない文字は保存できません。", 0) == 0);
    QCOMPARE(w->store().tree().node(1).title, std::string("牛乳"));
    QVERIFY(Titles(board.todo).find("?") == std::string::npos);
    // The trash keeps its name.
    const size_t trash = Find(w->store().tree(), "ごみ箱");
    QVERIFY(!(model->flags(model->IndexOf(trash)) & Qt::ItemIsEditable));
  }

  void StoredIndexOutOfRangeSelectsWithinTheTree() {
    for (const auto& [stored, selected] :
         {std::pair{-5, 0}, std::pair{99999, 3}, std::pair{2, 2}}) {
      Board board;
      board.world.settings.WriteInteger("TodoBoard", "Index", stored);
      TodoBoardWindow* w = board.Open();
      QCOMPARE(w->selected_position(), size_t(selected));
    }
  }

  void DeepTreeOpensAtItsDeepestNode() {
    Board board;
    std::string titles;
    std::string files;
    for (int depth = 0; depth < 10000; ++depth) {
      titles += std::string(size_t(depth), '\t') + "t\r\n";
      files += std::string(size_t(depth), '\t') + "%$#Q32#$%\r\n";
    }
    board.world.Put("Todo/TreeData.q32", titles);
    board.world.Put("Todo/TreeFile.q32", files);
    board.world.settings.WriteInteger("TodoBoard", "Index", 9999);
    TodoBoardWindow* w = board.Open();
    QVERIFY(w);
    QCOMPARE(w->selected_position(), size_t{9999});
    w->SelectPosition(0);
    QVERIFY(w->close());
    QCOMPARE(ReadFile(board.todo + "/TreeData.q32"), titles);
  }

  void MenusFollowTheTrashTheTextAndTheStartSetting() {
    Board board;
    TodoBoardWindow* w = board.Open();
    auto captions = [](QMenu* menu) {
      QStringList out;
      for (QAction* a : menu->actions()) {
        if (!a->isSeparator()) out << a->text() + (a->isEnabled() ? "" : "-");
      }
      return out;
    };
    QMenu* menu = w->BuildWindowMenu();
    QCOMPARE(captions(menu).join('|'),
             QString::fromUtf8("新規登録|ごみ箱を空に-|起動時に表示|閉じる"));
    menu->actions()[2]->trigger();
    QVERIFY(board.world.settings.ReadBool("Form", "Todo_pop", false));
    // A category: read-only, so no undo, cut or paste.
    w->SelectPosition(0);
    QCOMPARE(captions(w->BuildTextMenu()).join('|'),
             QString::fromUtf8("やり直し(&U)-|切り抜き(&T)-|コピー(&C)|"
                               "貼り付け(&P)-|すべてを選択(&S)|ツール|閉じる"));
    w->AddNote();
    QCOMPARE(captions(w->BuildTextMenu()).join('|'),
             QString::fromUtf8("やり直し(&U)-|切り抜き(&T)|コピー(&C)|"
                               "貼り付け(&P)|すべてを選択(&S)|ツール|閉じる"));
  }

  void ChosenColoursGoFirstInTheSharedHistory() {
    Board board;
    board.world.settings.WriteInteger("Nikki", "Color1", 0x00FF00);
    TodoBoardWindow* w = board.Open();
    w->AddNote();
    w->pane()->tool_bar()->ApplyTextColor(QColor(0, 0, 255));
    SettingsFile& s = board.world.settings;
    QCOMPARE(s.ReadInteger("Nikki", "Color1", 0), 0xFF0000);  // 0x00BBGGRR
    QCOMPARE(s.ReadInteger("Nikki", "Color2", 0), 0x00FF00);
    QCOMPARE(s.ReadInteger("Nikki", "Color3", 0), 255);
    QCOMPARE(s.ReadInteger("Nikki", "Color5", 0), 255);
    QCOMPARE(w->pane()->editor()->currentCharFormat().foreground().color(),
             QColor(0, 0, 255));
  }

  // The text menu's tools act on the shown note through the shared dialogs.
  void TextToolsOpenTheEditorsOwnDialogs() {
    Board board;
    TodoBoardWindow* w = board.Open();
    w->AddNote();
    RichTextEditor* editor = w->pane()->editor();
    editor->insertPlainText(QString::fromUtf8("牛乳とパン"));
    QMenu* tools = nullptr;
    for (QAction* a : w->BuildTextMenu()->actions()) {
      if (a->menu()) tools = a->menu();
    }
    QVERIFY(tools);
    QStringList names;
    for (QAction* a : tools->actions()) {
      names << a->text() + (a->isEnabled() ? "" : "-");
    }
    QCOMPARE(names.join('|'), QString::fromUtf8("検索|置換|印刷"));
    // Each search takes the first hit of the note, then the dialog closes.
    editor->insertPlainText(QString::fromUtf8("\nパン"));
    for (int i = 0; i < 2; ++i) {
      tools->actions()[0]->trigger();
      auto* find = editor->findChild<FindReplaceDialog*>();
      QVERIFY(find && find->isVisible());
      QCOMPARE(find->mode(), FindReplaceDialog::Mode::kFindFirst);
      find->find_box()->setText(QString::fromUtf8("パン"));
      find->find_next_button()->click();
      QVERIFY(!find->isVisible());
      QCOMPARE(editor->textCursor().selectionStart(), 3);
      QCOMPARE(editor->textCursor().selectedText(), QString::fromUtf8("パン"));
    }
    editor->selectAll();
    editor->insertPlainText(QString::fromUtf8("牛乳とパン"));
    tools->actions()[1]->trigger();
    auto* dialog = editor->findChildren<FindReplaceDialog*>().back();
    QVERIFY(dialog);
    QCOMPARE(dialog->mode(), FindReplaceDialog::Mode::kReplace);
    dialog->find_box()->setText(QString::fromUtf8("パン"));
    dialog->replace_box()->setText(QString::fromUtf8("卵"));
    dialog->replace_all_button()->click();
    QCOMPARE(editor->toPlainText(), QString::fromUtf8("牛乳と卵"));
    QVERIFY(w->pane()->modified());
  }

  void PrintingNamesTheNodeAndLeavesTheNoteAlone() {
    if (QStandardPaths::findExecutable("pdftotext").isEmpty())
      QSKIP("pdftotext is not installed");
    Board board;
    TodoBoardWindow* w = board.Open();
    w->AddNote();
    QVERIFY(w->model()->setData(w->model()->IndexOf(1),
                                QString::fromUtf8("買い物"), Qt::EditRole));
    // A top-level node has no parent to name.
    w->SelectPosition(0);
    QCOMPARE(w->PrintHeaderLines().join('|'),
             QString::fromUtf8("【】|【タイトル：やるべきもの】|"));
    w->SelectPosition(1);
    RichTextEditor* editor = w->pane()->editor();
    editor->insertPlainText(QString::fromUtf8("牛乳を買う"));
    editor->selectAll();
    const std::string rtf = w->pane()->NoteRtf();
    QVERIFY(w->pane()->modified());
    QVERIFY(editor->document()->isUndoAvailable());

    const QString pdf = QString::fromStdString(board.world.data + "/n.pdf");
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(pdf);
    w->Print(printer);

    QCOMPARE(printer.docName(), QString::fromUtf8("Todo Board"));
    QCOMPARE(w->pane()->NoteRtf(), rtf);
    QCOMPARE(editor->toPlainText(), QString::fromUtf8("牛乳を買う"));
    QVERIFY(w->pane()->modified());
    QVERIFY(editor->document()->isUndoAvailable());
    QVERIFY(editor->textCursor().hasSelection());
    QProcess text;
    text.start("pdftotext", {"-enc", "UTF-8", pdf, "-"});
    QVERIFY(text.waitForFinished(30000));
    // pdftotext folds some glyphs to compatibility forms.
    const QString out = QString::fromUtf8(text.readAllStandardOutput())
                            .normalized(QString::NormalizationForm_KC);
    QStringList want;
    for (const char* line :
         {"【やるべきもの】", "【タイトル：買い物】", "牛乳を買う"}) {
      want << QString::fromUtf8(line).normalized(QString::NormalizationForm_KC);
      QVERIFY2(out.contains(want.back()),
               qPrintable(want.back() + " in " + out));
    }
    QVERIFY(out.indexOf(want[0]) < out.indexOf(want[1]));
    QVERIFY(out.indexOf(want[1]) < out.indexOf(want[2]));
  }

  void EveryControlHasAnAccessibleName() {
    Board board;
    TodoBoardWindow* w = board.Open();
    for (QWidget* child : w->findChildren<QWidget*>()) {
      if (!qobject_cast<QAbstractButton*>(child) &&
          !qobject_cast<QAbstractSpinBox*>(child) &&
          !qobject_cast<QComboBox*>(child) &&
          !qobject_cast<QTextEdit*>(child) &&
          !qobject_cast<QTreeView*>(child)) {
        continue;
      }
      if (child->parentWidget() &&
          qobject_cast<QAbstractSpinBox*>(child->parentWidget())) {
        continue;
      }
      QVERIFY2(!child->accessibleName().isEmpty(),
               child->metaObject()->className());
    }
  }
};

}  // namespace
}  // namespace mirokata

QTEST_MAIN(mirokata::TodoBoardWindowTest)
#include "todo_board_window_uitest.moc"
