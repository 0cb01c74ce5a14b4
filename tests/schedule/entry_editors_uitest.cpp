// The schedule and popup editors on a temporary data folder: what they
// save and delete, the discard notice, the files they must never write
// over, the options they must keep, and quitting with a question or a
// chooser open.
#include <sys/stat.h>
#include <unistd.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTabBar>
#include <QTest>
#include <QTextEdit>
#include <filesystem>
#include <fstream>
#include <variant>

#include "base/settings_file.h"
#include "richtext/rtf_reader.h"
#include "richtext/rtf_writer.h"
#include "schedule/editor_state.h"
#include "schedule/entry_files.h"
#include "schedule/manager_lines.h"
#include "schedule/ui/popup_editor_window.h"
#include "schedule/ui/schedule_editor_window.h"
#include "support/fake_world.h"

namespace mirokata {

namespace fs = std::filesystem;

class EntryEditorsTest : public QObject {
  Q_OBJECT

  struct World : FakeWorld {
    World() : data(dir.path() + "/data") {
      fs::create_directory(data);
      settings.WriteString("Calendar", "Directory", data);
      // Friday 2026-12-11 08:30.
      clock.Set(2026, 12, 11, 8, 30, 0);
    }
    std::string Path(const std::string& name) const {
      return data + "/" + name;
    }
    bool Exists(const std::string& name) const {
      return fs::exists(Path(name));
    }
    std::string Text(const std::string& name) const {
      std::string bytes;
      EntryFolder folder(data);
      folder.ReadContent(name, &bytes);
      return RichTextToPlainText(bytes);
    }
    bool HasSection(const std::string& name) {
      return settings.Open().HasSection(Path(name));
    }
    std::string data;
  };

  static void Flush() {
    QCoreApplication::sendPostedEvents();
    QCoreApplication::processEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  }

  static void Type(QTextEdit* box, const char* text) {
    box->moveCursor(QTextCursor::End);
    box->insertPlainText(QString::fromUtf8(text));
  }

  static ScheduleEditorState OneDay(CivilDate date) {
    ScheduleEditorState s;
    s.date = date;
    return s;
  }

  static PopupEditorState At(CivilDate date, int hour, int minute,
                             int tab = 0) {
    PopupEditorState s;
    s.date = date;
    s.hour = hour;
    s.minute = minute;
    s.tab = tab;
    return s;
  }

 private slots:
  // Every kind an editor writes: saved with text and options, listed by
  // the manager, reopened from that line in the editor that wrote it, which
  // addresses the same name and shows the same text and choices.
  void EachKindComesBackFromItsManagerLine() {
    World w;
    struct Case {
      std::variant<ScheduleEditorState, PopupEditorState> state;
      const char* name;
      const char* line;
    };
    ScheduleEditorState weekly;
    weekly.date = {2026, 12, 8};
    weekly.tab = 3;
    weekly.weeks.numbered = {false, true, false, true, false};
    ScheduleEditorState last = weekly;
    last.weeks = WeekBoxes::FromBits(kLastWeek);
    ScheduleEditorState yearly;
    yearly.date = {2026, 1, 15};
    yearly.tab = 1;
    yearly.move = HolidayMove::kPrevious;
    PopupEditorState masked = At({2026, 12, 8}, 18, 0, 3);
    masked.weeks = WeekBoxes::FromBits(1 | 4);
    PopupEditorState monthly = At({2026, 12, 25}, 9, 0, 2);
    monthly.move = HolidayMove::kNext;
    monthly.saturday_is_holiday = true;
    PopupEditorState elapsed = At({2026, 12, 11}, 8, 30, 0);
    elapsed.elapsed = true;
    elapsed.seconds = 600;
    const Case cases[] = {
        {OneDay({2026, 12, 25}), "____1225.26", "To_do : 26年12月25日 "},
        {yearly, "~___0115.__", "To_do : 毎年01月15日 (休日:前日)"},
        {weekly, "~_~_~___.TUE", "Week3 : 火曜日(　　第２　　第４　　)"},
        {last, "~~~~~___.TUE", "Week3 : 火曜日(　　　　　　　　最終)"},
        {monthly, "0900__25.~~", "Popup : 毎月25日 09時00分 (土曜/休日:翌日)"},
        {masked, "1800__05.TUE",
         "Popw3 : 火曜日(第１　　第３　　　　) 18時00分"},
        {At({2026, 12, 11}, 7, 30, 4), "0730____.__", "Popup : 毎日 07時30分"},
        {elapsed, "W0000600.__", "Win98 :     600秒経過（Windows起動後）"},
    };
    for (const Case& c : cases) {
      const bool popup = std::holds_alternative<PopupEditorState>(c.state);
      QWidget* window;
      if (popup) {
        auto* e = new PopupEditorWindow(w.Context(), {},
                                        std::get<PopupEditorState>(c.state));
        QCOMPARE(e->view().name, std::string(c.name));
        Type(e->text(), c.name);
        e->auto_close()->setChecked(true);
        e->close_seconds()->setValue(45);
        e->title_box()->setText("Editor");
        e->SaveEntry(false);
        window = e;
      } else {
        auto* e = new ScheduleEditorWindow(
            w.Context(), {}, std::get<ScheduleEditorState>(c.state));
        QCOMPARE(e->view().name, std::string(c.name));
        Type(e->text(), c.name);
        e->SaveEntry(false);
        window = e;
      }
      delete window;
      QVERIFY2(w.Exists(c.name), c.name);
      QCOMPARE(QString::fromStdString(ManagerLineOf(c.name, 2026).text),
               QString::fromUtf8(c.line));

      const auto opening = OpeningForName(c.name, {2026, 12, 11}, 8, 30);
      QVERIFY2(opening.has_value(), c.name);
      QCOMPARE(opening->is_popup(), popup);
      if (popup) {
        auto* e = new PopupEditorWindow(
            w.Context(), {}, std::get<PopupEditorState>(opening->state));
        QCOMPARE(e->view().name, std::string(c.name));
        QCOMPARE(e->text()->toPlainText(), QString(c.name));
        QVERIFY(e->auto_close()->isChecked());
        QCOMPARE(e->close_seconds()->value(), 45);
        QCOMPARE(e->title_box()->text(), QString("Editor"));
        QCOMPARE(e->state().move, std::get<PopupEditorState>(c.state).move);
        QCOMPARE(e->state().weeks, std::get<PopupEditorState>(c.state).weeks);
        delete e;
      } else {
        auto* e = new ScheduleEditorWindow(
            w.Context(), {}, std::get<ScheduleEditorState>(opening->state));
        QCOMPARE(e->view().name, std::string(c.name));
        QCOMPARE(e->text()->toPlainText(), QString(c.name));
        QCOMPARE(e->state().weeks,
                 std::get<ScheduleEditorState>(c.state).weeks);
        delete e;
      }
    }
  }

  // A name spelt in small letters on disk opens, loads and is saved under
  // that spelling.
  void ASmallLetterNameOnDiskOpensAndKeepsItsSpelling() {
    World w;
    EntryFolder(w.data).WriteContent("0900____.tue", PlainTextToRtf("週次"));
    const auto opening = OpeningForName("0900____.tue", {2026, 12, 11}, 8, 30);
    QVERIFY(opening.has_value());
    auto* e = new PopupEditorWindow(w.Context(), {},
                                    std::get<PopupEditorState>(opening->state));
    QCOMPARE(e->text()->toPlainText(), QString::fromUtf8("週次"));
    Type(e->text(), "!");
    e->SaveEntry(false);
    QVERIFY(w.Exists("0900____.tue"));
    QVERIFY(!w.Exists("0900____.TUE") ||
            fs::equivalent(w.Path("0900____.tue"), w.Path("0900____.TUE")));
    QCOMPARE(w.Text("0900____.tue"), std::string("週次!"));
    delete e;
  }

  void ScheduleSavedReopenedAndDeleted() {
    World w;
    auto* editor =
        new ScheduleEditorWindow(w.Context(), {}, OneDay({2026, 12, 25}));
    QCOMPARE(editor->view().name, std::string("____1225.26"));
    QVERIFY(!editor->save_button()->isEnabled());
    QVERIFY(!editor->delete_button()->isEnabled());
    Type(editor->text(), "忘年会");
    QVERIFY(editor->save_button()->isEnabled());
    editor->SaveEntry(false);
    QVERIFY(w.Exists("____1225.26"));
    QCOMPARE(w.Text("____1225.26"), std::string("忘年会"));
    QVERIFY(editor->delete_button()->isEnabled());
    QVERIFY(!editor->save_button()->isEnabled());
    QCOMPARE(w.sound.cues().back(), std::string("sav"));
    delete editor;

    // Another window on the same day loads it; delete asks, then removes.
    auto* again =
        new ScheduleEditorWindow(w.Context(), {}, OneDay({2026, 12, 25}));
    QCOMPARE(again->text()->toPlainText(), QString::fromUtf8("忘年会"));
    QPointer<ScheduleEditorWindow> guard(again);
    w.messages.QueueAnswer(MessageAnswer::kYes);
    again->DeleteEntry();
    QVERIFY(!again->isEnabled());  // the question is open
    QCOMPARE(w.messages.AnswerPending(), 1);
    Flush();
    QVERIFY(!w.Exists("____1225.26"));
    QVERIFY(guard.isNull());  // closed after the delete
  }

  // Another tab addresses another entry: unsaved text goes with a notice.
  void ChangingTheTabDiscardsUnsavedText() {
    World w;
    EntryFolder(w.data).WriteContent("____1225.__", "yearly");
    auto* editor =
        new ScheduleEditorWindow(w.Context(), {}, OneDay({2026, 12, 25}));
    Type(editor->text(), "draft");
    editor->tabs()->setCurrentIndex(1);
    QCOMPARE(editor->view().name, std::string("____1225.__"));
    QCOMPARE(editor->text()->toPlainText(), QString("yearly"));
    QCOMPARE(w.messages.texts().back(),
             std::string(
                 "日付の設定が変更されたので\r編集中のものは破棄されました。"));
    // The same entry addressed again (another year on the yearly tab)
    // keeps what is being typed.
    w.messages.Clear();
    Type(editor->text(), " more");
    editor->date_boxes()->year_box()->setValue(2027);
    QCOMPARE(editor->view().name, std::string("____1225.__"));
    QCOMPARE(editor->text()->toPlainText(), QString("yearly more"));
    QVERIFY(w.messages.texts().empty());
    delete editor;
  }

  // Typing "25" in the day box reports once, not for "2" first.
  void TheDayBoxReportsOnlyCompleteValues() {
    World w;
    auto* editor =
        new ScheduleEditorWindow(w.Context(), {}, OneDay({2026, 12, 1}));
    editor->show();
    Type(editor->text(), "draft");
    QSpinBox* day = editor->date_boxes()->day_box();
    day->setFocus();
    day->selectAll();
    QTest::keyClicks(day, "25");
    QCOMPARE(editor->view().name, std::string("____1201.26"));
    QTest::keyClick(day, Qt::Key_Return);
    QCOMPARE(editor->view().name, std::string("____1225.26"));
    QCOMPARE(w.messages.texts().size(), size_t(1));
    delete editor;
  }

  // A changed time addresses another entry: the first stays as it was.
  void ATimeChangedAndSavedKeepsTheOldEntry() {
    World w;
    auto* editor =
        new PopupEditorWindow(w.Context(), {}, At({2026, 12, 25}, 9, 0));
    Type(editor->text(), "first");
    editor->SaveEntry(false);
    editor->hour_box()->setValue(10);
    QCOMPARE(editor->view().name, std::string("10001225.26"));
    Type(editor->text(), "second");
    editor->auto_close()->click();
    editor->SaveEntry(false);
    QCOMPARE(w.Text("09001225.26"), std::string("first"));
    QCOMPARE(w.Text("10001225.26"), std::string("second"));
    QVERIFY(w.HasSection("09001225.26"));
    QVERIFY(w.HasSection("10001225.26"));
    QCOMPARE(w.settings.ReadInteger(w.Path("09001225.26"), "closetime", 0), -1);
    QCOMPARE(w.settings.ReadInteger(w.Path("10001225.26"), "closetime", 0), 60);
    delete editor;
  }

  void AFailedSaveSaysSoAndKeepsTheText() {
    World w;
    // A data folder below a plain file cannot take any file.
    const std::string blocked = w.dir.path() + "/plain";
    { std::ofstream(blocked) << "x"; }
    w.settings.WriteString("Calendar", "Directory", blocked + "/data");
    auto* editor =
        new ScheduleEditorWindow(w.Context(), {}, OneDay({2026, 12, 25}));
    Type(editor->text(), "予定");
    editor->SaveEntry(false);
    QCOMPARE(w.messages.texts().size(), size_t(1));
    QVERIFY(w.messages.texts()[0].rfind("保存できませんでした。\r", 0) == 0);
    QVERIFY(editor->save_button()->isEnabled());
    QVERIFY(editor->session().modified());
    QVERIFY(w.sound.cues().empty() ||
            w.sound.cues().back() != std::string("sav"));
    delete editor;
  }

  // An entry that cannot be read is shown as such and never written over;
  // delete still works.
  void AnUnreadableEntryIsNeverSavedOver() {
    World w;
    QCOMPARE(mkfifo(w.Path("____1225.26").c_str(), 0600), 0);
    auto* editor =
        new ScheduleEditorWindow(w.Context(), {}, OneDay({2026, 12, 25}));
    QCOMPARE(w.messages.texts().size(), size_t(1));
    QCOMPARE(w.messages.texts()[0],
             std::string("読み込めませんでした。\r____1225.26"));
    Type(editor->text(), "over");
    QVERIFY(!editor->save_button()->isEnabled());
    editor->SaveEntry(false);
    struct stat info;
    QCOMPARE(::stat(w.Path("____1225.26").c_str(), &info), 0);
    QVERIFY(S_ISFIFO(info.st_mode));
    QVERIFY(editor->delete_button()->isEnabled());
    delete editor;
  }

  // Options the window did not change stay as stored, also the picture's
  // while the picture itself is missing.
  void StoredOptionsSurviveASave() {
    World w;
    EntryFolder(w.data).WriteContent("09001225.26", "text");
    const std::string section = w.Path("09001225.26");
    w.settings.Batch([&](SettingsBatch& b) {
      b.WriteString(section, "file", "/music/bell.wav");
      b.WriteString(section, "bitmap", "/media/unmounted/cat.jpg");
      b.WriteBool(section, "Wallpaper", true);
      b.WriteBool(section, "Stretch", true);
      b.WriteString(section, "Execute", "/usr/bin/true");
    });
    auto* editor =
        new PopupEditorWindow(w.Context(), {}, At({2026, 12, 25}, 9, 0));
    QCOMPARE(editor->program_box()->text(), QString("/usr/bin/true"));
    QVERIFY(!editor->wallpaper_box()->isEnabled());
    QVERIFY(!editor->wallpaper_box()->isChecked());
    Type(editor->text(), " changed");
    editor->SaveEntry(false);
    const PopupOptions o = ReadPopupOptions(w.settings, section);
    QCOMPARE(o.file.value_or(""), std::string("/music/bell.wav"));
    QCOMPARE(o.bitmap.value_or(""), std::string("/media/unmounted/cat.jpg"));
    QVERIFY(o.wallpaper);
    QVERIFY(o.stretch);
    QCOMPARE(o.execute, std::string("/usr/bin/true"));
    delete editor;
  }

  // Two editors on one name: the second save asks before writing over.
  void TwoEditorsOnOneName() {
    World w;
    auto* a = new ScheduleEditorWindow(w.Context(), {}, OneDay({2026, 12, 25}));
    auto* b = new ScheduleEditorWindow(w.Context(), {}, OneDay({2026, 12, 25}));
    Type(a->text(), "from a");
    a->SaveEntry(false);
    Type(b->text(), "from b");
    w.messages.QueueAnswer(MessageAnswer::kNo);
    b->SaveEntry(false);
    QCOMPARE(w.messages.AnswerPending(), 1);
    QCOMPARE(
        w.messages.shown().back().request.text,
        std::string(
            "この予定は他のウィンドウで変更されています。\r上書きしますか？"));
    QCOMPARE(w.Text("____1225.26"), std::string("from a"));
    QVERIFY(b->session().modified());
    w.messages.QueueAnswer(MessageAnswer::kYes);
    b->SaveEntry(false);
    QCOMPARE(w.messages.AnswerPending(), 1);
    QCOMPARE(w.Text("____1225.26"), std::string("from b"));
    delete a;
    delete b;
  }

  // Quitting while the delete question is open deletes nothing.
  void ClosingWithTheQuestionOpenDeletesNothing() {
    World w;
    EntryFolder(w.data).WriteContent("09001225.26", "keep");
    w.settings.WriteInteger(w.Path("09001225.26"), "closetime", 30);
    auto* editor =
        new PopupEditorWindow(w.Context(), {}, At({2026, 12, 25}, 9, 0));
    w.messages.QueueAnswer(MessageAnswer::kYes);
    editor->DeleteEntry();
    delete editor;
    QCOMPARE(w.messages.AnswerPending(), 1);
    QVERIFY(w.Exists("09001225.26"));
    QVERIFY(w.HasSection("09001225.26"));
  }

  void QuittingWithTheSoundChooserOpen() {
    World w;
    auto* editor =
        new PopupEditorWindow(w.Context(), {}, At({2026, 12, 25}, 9, 0));
    editor->show();
    editor->OpenSoundChooser();
    QVERIFY(editor->sound_chooser());
    QVERIFY(editor->sound_chooser()->isVisible());
    editor->close();
    Flush();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  }

  void PopupNamesFollowTheBoxes() {
    World w;
    w.settings.WriteInteger("Calendar", "before", 10);
    const PopupEditorState start =
        PopupEditorWindow::StartingState(w.Context(), {2026, 12, 25});
    QCOMPARE(start.hour, 8);
    QCOMPARE(start.minute, 40);
    auto* editor =
        new PopupEditorWindow(w.Context(), {}, At({2026, 12, 25}, 9, 0, 2));
    QCOMPARE(editor->panel()->text(), QString("Popup 08:50"));
    QCOMPARE(editor->time_note()->text(),
             QString::fromUtf8("指定した時間の 10分前にﾎﾟｯﾌﾟｱｯﾌﾟします。"));
    editor->move_button(HolidayMove::kNext)->click();
    editor->saturday_button(true)->click();
    QCOMPARE(editor->view().name, std::string("0900__25.~~"));
    QVERIFY(!editor->add_to_schedule()->isEnabled());
    editor->SetElapsedMode(true);
    editor->seconds_box()->setValue(1234);
    QCOMPARE(editor->view().name, std::string("W0001230.__"));
    QCOMPARE(editor->seconds_box()->value(), 1230);
    editor->SetElapsedMode(false);
    QCOMPARE(editor->view().name, std::string("0900__25.~~"));
    delete editor;
  }

  // "スケジュールに追加" adds the text on a line of its own at each save.
  void AddingToTheSchedule() {
    World w;
    EntryFolder(w.data).WriteContent("____1225.26", PlainTextToRtf("朝会"));
    auto* editor =
        new PopupEditorWindow(w.Context(), {}, At({2026, 12, 25}, 9, 0));
    Type(editor->text(), "会議");
    editor->add_to_schedule()->click();
    editor->SaveEntry(false);
    QCOMPARE(w.Text("____1225.26"), std::string("朝会\r\n会議"));
    Type(editor->text(), "!");
    editor->SaveEntry(false);
    QCOMPARE(w.Text("____1225.26"), std::string("朝会\r\n会議\r\n会議!"));
    delete editor;
  }

  // Only plain text and RTF come in, so what is shown is what is saved:
  // pasted HTML arrives as its text, pasted RTF through the reader.
  void PasteTakesPlainTextAndRtfOnly() {
    World w;
    auto* editor =
        new ScheduleEditorWindow(w.Context(), {}, OneDay({2026, 12, 25}));
    QMimeData html;
    html.setHtml(
        "<b>bold</b><img src='x.png'><table><tr><td>cell</td></tr>"
        "</table>");
    html.setText("bold cell");
    editor->text()->insertFromMimeData(&html);
    QCOMPARE(editor->text()->toPlainText(), QString("bold cell"));
    QVERIFY(!editor->text()->document()->toHtml().contains("<img"));
    editor->text()->clear();
    QMimeData rtf;
    rtf.setData("text/rtf", QByteArray("{\\rtf1\\ansi {\\b strong}\\par}"));
    editor->text()->insertFromMimeData(&rtf);
    QCOMPARE(editor->text()->toPlainText().trimmed(), QString("strong"));
    QMimeData image;
    image.setImageData(QImage(4, 4, QImage::Format_RGB32));
    QVERIFY(!editor->text()->canInsertFromMimeData(&image));
    delete editor;
  }

  void Boilerplates() {
    World w;
    auto* editor =
        new PopupEditorWindow(w.Context(), {}, At({2026, 12, 25}, 9, 0));
    QCOMPARE(editor->boilerplate_titles()->count(), 20);
    QCOMPARE(editor->boilerplate_titles()->itemText(0),
             QString::fromUtf8("定型文1"));
    QCOMPARE(editor->boilerplate_titles()->itemText(19),
             QString::fromUtf8("定型文20"));
    editor->SelectBoilerplate(2);
    QVERIFY(fs::is_directory(w.data + "/Teikei"));
    Type(editor->boilerplate_text(), "お疲れさまです");
    QVERIFY(fs::exists(w.data + "/Teikei/2.rtf"));
    editor->InsertBoilerplate();
    QVERIFY(editor->text()->toPlainText().contains(
        QString::fromUtf8("お疲れさまです")));
    editor->StartRename();
    QTest::keyClicks(editor->rename_box(), "X");
    QCOMPARE(w.settings.ReadString("Popup_Teikei", "2", ""), std::string("X"));
    w.settings.WriteInteger("Form", "Delete", 1);
    editor->DeleteBoilerplate();
    QVERIFY(!fs::exists(w.data + "/Teikei/2.rtf"));
    QCOMPARE(editor->boilerplate_titles()->itemText(2),
             QString::fromUtf8("定型文3"));
    QCOMPARE(w.settings.ReadString("Popup_Teikei", "2", "定型文3"),
             std::string("定型文3"));
    delete editor;
  }

  // A slot file that cannot be read is shown empty and never saved over.
  void AnUnreadableBoilerplateIsNeverSavedOver() {
    World w;
    fs::create_directories(w.data + "/Teikei");
    QCOMPARE(mkfifo((w.data + "/Teikei/4.rtf").c_str(), 0600), 0);
    auto* editor =
        new PopupEditorWindow(w.Context(), {}, At({2026, 12, 25}, 9, 0));
    editor->SelectBoilerplate(4);
    QVERIFY(w.messages.texts().back().rfind("読み込めませんでした。\r", 0) ==
            0);
    QVERIFY(editor->boilerplate_text()->isReadOnly());
    QTest::keyClicks(editor->boilerplate_text(), "x");
    struct stat info;
    QCOMPARE(::stat((w.data + "/Teikei/4.rtf").c_str(), &info), 0);
    QVERIFY(S_ISFIFO(info.st_mode));
    // Another slot is writable again.
    editor->SelectBoilerplate(5);
    QVERIFY(!editor->boilerplate_text()->isReadOnly());
    delete editor;
  }

  void ABlockedBoilerplateFolderStops() {
    World w;
    { std::ofstream(w.data + "/Teikei") << "not a folder"; }
    auto* editor =
        new PopupEditorWindow(w.Context(), {}, At({2026, 12, 25}, 9, 0));
    editor->SelectBoilerplate(0);
    QVERIFY(!w.messages.texts().empty());
    QCOMPARE(w.messages.texts().back(),
             std::string("保存先ディレクトリが無いので\r処理を中断します。"));
    QVERIFY(!editor->boilerplate_text()->isVisibleTo(editor));
    delete editor;
  }
};

}  // namespace mirokata

QTEST_MAIN(mirokata::EntryEditorsTest)
#include "entry_editors_uitest.moc"
