// The popup window: close countdown, snooze, delete and the clamps.
#include <unistd.h>

#include <QComboBox>
#include <QCoreApplication>
#include <QMenu>
#include <QPointer>
#include <QtTest>
#include <filesystem>

#include "base/settings_file.h"
#include "picture/jpeg_jobs.h"
#include "platform/desktop/wallpaper.h"
#include "platform/sound_cues.h"
#include "platform/testing/fake_desktop_windows.h"
#include "platform/testing/fake_messages.h"
#include "platform/testing/fake_sound.h"
#include "schedule/entry_files.h"
#include "schedule/ui/popup_window.h"
#include "support/fake_command_host.h"
#include "support/temp_folder.h"

using namespace mirokata;

class PopupWindowTest : public QObject {
  Q_OBJECT

 private:
  struct Fixture {
    Fixture()
        : settings(home / "mirokata.ini"),
          cues(sound, [] { return true; }),
          folder(home / "data") {
      std::filesystem::create_directory(home / "data");
      context.settings = &settings;
      context.cues = &cues;
      context.sound = &sound;
      context.messages = &messages;
    }
    // A finished window holding the entries, the first one a one-day popup.
    QPointer<PopupWindow> Make(int close_countdown,
                               const std::vector<std::string>& names,
                               bool first_is_one_day = false,
                               const PopupPicture& picture = {},
                               CommandHost* commands = nullptr) {
      auto* w = new PopupWindow(context, commands);
      for (size_t i = 0; i < names.size(); ++i) {
        folder.WriteContent(names[i], "text of " + names[i]);
        WritePopupOptions(settings, folder.FullPath(names[i]), PopupOptions{});
        w->AppendEntry(folder.FullPath(names[i]), "text of " + names[i]);
        if (i == 0 && first_is_one_day)
          w->EnableDelete(folder.FullPath(names[i]));
      }
      PopupFinish finish;
      finish.title = "26/03/04 (Wed) 12:00";
      finish.weekday = 4;
      finish.close_countdown = close_countdown;
      finish.picture = picture;
      w->Finish(finish);
      return w;
    }
    bool HasSection(const std::string& name) {
      return settings.Open().HasSection(folder.FullPath(name));
    }

    mirokata::TempFolder home;
    SettingsFile settings;
    FakeSound sound;
    SoundCues cues;
    FakeMessages messages;
    EntryFolder folder;
    Services context;
  };

  // The fixture with the picture worker and a desktop.
  struct PictureFixture : Fixture {
    PictureFixture() {
      context.jpeg = &jobs;
      context.desktop = &desktop;
      context.program_folder = home.path() + "/";
    }
    std::string Bitmap(const char* name, QColor colour) {
      QImage image(40, 30, QImage::Format_RGB32);
      image.fill(colour);
      const std::string path = home / name;
      image.save(QString::fromStdString(path), "BMP");
      return path;
    }
    std::string Jpeg(const char* name) {
      RgbPicture p{48, 36, std::vector<uint8_t>(48 * 36 * 3, 200)};
      const std::string path = home / name;
      EncodeJpegFile(p, path);
      return path;
    }
    std::string WallpaperPath() { return home / kPopupWallpaperFile; }

    FakeDesktopWindows desktop;
    JpegJobs jobs{&messages};
  };

  static void Flush() {
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  }

 private slots:
  // The list opens and closes with the popup, after the tick that showed
  // it rather than inside it.
  void ListCommandsFollowThePopupLater() {
    Fixture f;
    FakeCommandHost commands;
    f.settings.WriteBool("Form", "Exec_List", true);
    QPointer<PopupWindow> w = f.Make(30, {"1200____.__"}, false, {}, &commands);
    QCOMPARE(commands.later, std::vector<Command>{Command::kScheduleList});
    f.settings.WriteBool("Form", "Kill_List", true);
    w->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCOMPARE(commands.later,
             (std::vector<Command>{Command::kScheduleList,
                                   Command::kCloseScheduleList}));
    // Neither without the switches.
    f.settings.Batch([](SettingsBatch& b) {
      b.WriteBool("Form", "Exec_List", false);
      b.WriteBool("Form", "Kill_List", false);
    });
    QPointer<PopupWindow> quiet =
        f.Make(30, {"1300____.__"}, false, {}, &commands);
    quiet->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCOMPARE(commands.later.size(), size_t{2});
  }

  void CloseCountdownCountsInTheCaptionAndCloses() {
    Fixture f;
    QPointer<PopupWindow> w = f.Make(5, {"1200____.__"});
    QVERIFY(w->isVisible());
    w->TimerStep();
    QCOMPARE(w->windowTitle(),
             QString::fromUtf8("Popup Window - 4秒後に自動的に閉じます。"));
    for (int i = 0; i < 4; ++i) w->TimerStep();
    QCOMPARE(w->windowTitle(),
             QString::fromUtf8("Popup Window - 0秒後に自動的に閉じます。"));
    QVERIFY(!w->snooze_enabled());
    w->TimerStep();
    Flush();
    QVERIFY(w.isNull());
    QCOMPARE(f.sound.cues().back(), std::string("clo"));
  }

  void CloseTimeZeroNeverShowsAndClosesAtTheFirstSecond() {
    Fixture f;
    QPointer<PopupWindow> w = f.Make(0, {"1200____.__"});
    QVERIFY(!w->isVisible());
    QVERIFY(w->timer_running());
    w->TimerStep();
    Flush();
    QVERIFY(w.isNull());
  }

  void SnoozeHidesAndComesBackWithTheGlobalSound() {
    Fixture f;
    f.home.Touch("back.wav");
    f.settings.WriteString("Calendar", "file", f.home / "back.wav");
    f.settings.WriteString("Form", "Snooze", "3");
    QPointer<PopupWindow> w = f.Make(-1, {"1200____.__"});
    QCOMPARE(w->snooze_box()->currentText(), QString("3"));
    QVERIFY(!w->snooze_enabled());
    w->TimerStep();  // one second after showing
    QVERIFY(w->snooze_enabled());
    QVERIFY(!w->timer_running());

    w->snooze_box()->setEditText("10");
    w->Snooze();
    QVERIFY(!w->isVisible());
    QVERIFY(w->timer_running());
    QCOMPARE(f.settings.ReadString("Form", "Snooze", ""), std::string("10"));
    QCOMPARE(f.sound.cues().back(), std::string("sav"));
    for (int i = 0; i < 600; ++i) w->TimerStep();
    QVERIFY(!w->isVisible());
    QVERIFY(f.sound.files().empty());
    w->TimerStep();
    QVERIFY(w->isVisible());
    QVERIFY(!w->timer_running());
    QCOMPARE(f.sound.files(), std::vector<std::string>{f.home / "back.wav"});
    QCOMPARE(w->snooze_seconds(), -1);
    // And once more, with a text that is no number: back after a second.
    w->snooze_box()->setEditText("abc");
    w->Snooze();
    QCOMPARE(w->snooze_box()->currentText(), QString("0"));
    QCOMPARE(f.settings.ReadString("Form", "Snooze", ""), std::string("0"));
    w->TimerStep();
    QVERIFY(w->isVisible());
    delete w;
  }

  void SnoozeIsClampedToOneDay() {
    Fixture f;
    QPointer<PopupWindow> w = f.Make(-1, {"1200____.__"});
    w->TimerStep();
    for (const char* text : {"-5", "5000"}) {
      w->snooze_box()->setEditText(text);
      w->Snooze();
      QVERIFY(w->snooze_seconds() >= 0);
      QVERIFY(w->snooze_seconds() <= 1440 * 60);
    }
    QCOMPARE(w->snooze_box()->currentText(), QString("1440"));
    QCOMPARE(f.settings.ReadString("Form", "Snooze", ""), std::string("1440"));
    delete w;
  }

  void SnoozeOfAnAutoClosingWindowStillBringsItBack() {
    Fixture f;
    QPointer<PopupWindow> w = f.Make(3, {"1200____.__"});
    w->snooze_box()->setEditText("1");
    w->Snooze();  // a double click on the title does this
    for (int i = 0; i < 61; ++i) w->TimerStep();
    Flush();
    QVERIFY(!w.isNull());
    QVERIFY(w->isVisible());
    delete w;
  }

  void DeleteRemovesExactlyTheOneDayPopupThatEnabledIt() {
    Fixture f;
    f.settings.WriteInteger("Form", "Delete", 1);  // no question
    // A one-day popup and then a daily one fired in the same minute.
    QPointer<PopupWindow> w =
        f.Make(-1, {"12000304.26", "1200____.__"}, /*first_is_one_day=*/true);
    QVERIFY(w->delete_enabled());
    QCOMPARE(w->entry_path(), f.folder.FullPath("1200____.__"));
    w->Delete();
    Flush();
    QVERIFY(w.isNull());
    QVERIFY(!f.folder.Exists("12000304.26"));
    QVERIFY(!f.HasSection("12000304.26"));
    QVERIFY(f.folder.Exists("1200____.__"));
    QVERIFY(f.HasSection("1200____.__"));
    QCOMPARE(f.sound.cues().back(), std::string("clo"));
  }

  void DeleteIsDisabledForARecurringPopup() {
    Fixture f;
    QPointer<PopupWindow> w = f.Make(-1, {"1200____.__"});
    QVERIFY(!w->delete_enabled());
    QVERIFY(!w->context_menu()->actions().at(0)->isEnabled());
    w->Delete();
    Flush();
    QVERIFY(!w.isNull());
    QVERIFY(f.folder.Exists("1200____.__"));
    delete w;
  }

  void DeleteQuestionHoldsTheCountdownAndNoKeepsEverything() {
    Fixture f;
    QPointer<PopupWindow> w = f.Make(2, {"12000304.26"}, true);
    f.messages.QueueAnswer(MessageAnswer::kNo);
    w->Delete();
    QVERIFY(w->question_open());
    QVERIFY(!w->isVisible());
    QCOMPARE(f.messages.shown().size(), size_t(1));
    QCOMPARE(f.messages.shown()[0].request.text,
             std::string("【26/03/04 (Wed) 12:00】\r\ntext of 12000304.26\r\n"
                         "削除しますか？"));
    QCOMPARE(f.messages.shown()[0].request.corner_of, w.data());
    // The countdown would have closed the window by now.
    for (int i = 0; i < 5; ++i) w->TimerStep();
    Flush();
    QVERIFY(!w.isNull());
    QCOMPARE(f.messages.AnswerPending(), 1);
    QVERIFY(w->isVisible());
    QVERIFY(w->timer_running());
    QVERIFY(f.folder.Exists("12000304.26"));
    QVERIFY(f.HasSection("12000304.26"));

    f.messages.QueueAnswer(MessageAnswer::kYes);
    w->Delete();
    QCOMPARE(f.messages.AnswerPending(), 1);
    Flush();
    QVERIFY(w.isNull());
    QVERIFY(!f.folder.Exists("12000304.26"));
    QVERIFY(!f.HasSection("12000304.26"));
  }

  void DeletingAFileAlreadyGoneStillErasesItsOptions() {
    Fixture f;
    f.settings.WriteInteger("Form", "Delete", 1);
    QPointer<PopupWindow> w = f.Make(-1, {"12000304.26"}, true);
    std::filesystem::remove(f.folder.FullPath("12000304.26"));
    w->Delete();
    Flush();
    QVERIFY(w.isNull());
    QVERIFY(!f.HasSection("12000304.26"));
  }

  void AFailedDeleteKeepsTheWindowAndSaysSo() {
    Fixture f;
    f.settings.WriteInteger("Form", "Delete", 1);
    QPointer<PopupWindow> w = f.Make(-1, {"12000304.26"}, true);
    // A folder that refuses changes keeps the file.
    std::filesystem::permissions(f.home / "data",
                                 std::filesystem::perms::owner_write,
                                 std::filesystem::perm_options::remove);
    if (::access((f.home / "data").c_str(), W_OK) == 0) {
      QSKIP("running with permissions that ignore the folder's mode");
    }
    w->Delete();
    std::filesystem::permissions(f.home / "data",
                                 std::filesystem::perms::owner_write,
                                 std::filesystem::perm_options::add);
    Flush();
    QVERIFY(!w.isNull());
    QVERIFY(w->isVisible());
    QVERIFY(f.folder.Exists("12000304.26"));
    QVERIFY(f.HasSection("12000304.26"));
    QCOMPARE(f.messages.shown().size(), size_t(1));
    QVERIFY(!f.messages.shown()[0].modal);
    delete w;
  }

  // Keys typed for another program must not reach the window's commands:
  // it shows without activating, and nothing in it takes the focus by
  // tabbing or by itself (a Space on the delete button would delete).
  void NothingInTheWindowTakesTheFocusByItself() {
    Fixture f;
    QPointer<PopupWindow> w = f.Make(-1, {"12000304.26"}, true);
    w->TimerStep();  // snooze controls enabled too
    QVERIFY(w->testAttribute(Qt::WA_ShowWithoutActivating));
    const QList<QWidget*> children = w->findChildren<QWidget*>();
    QVERIFY(!children.isEmpty());
    for (QWidget* child : children) {
      // The snooze list's drop-down and the context menu are windows of
      // their own, opened by a click.
      if (child->window() != w) continue;
      const Qt::FocusPolicy policy = child->focusPolicy();
      QVERIFY2(policy == Qt::NoFocus || policy == Qt::ClickFocus,
               qPrintable(QString("%1 %2").arg(child->metaObject()->className(),
                                               child->toolTip())));
    }
    QVERIFY(w->focusWidget() == nullptr);
    delete w;
  }

  // The picture is read on the worker: finishing the window never waits
  // for the disk, and the picture shows when it has been read.
  void PicturesShowWhenTheWorkerHasReadThem() {
    for (const char* kind : {"bmp", "jpg"}) {
      PictureFixture f;
      const std::string path = std::string(kind) == "bmp"
                                   ? f.Bitmap("p.bmp", Qt::red)
                                   : f.Jpeg("p.JPG");
      QPointer<PopupWindow> w =
          f.Make(-1, {"1200____.__"}, false, {path, false, false});
      QCOMPARE(w->picture().size(), QSize(137, 137));  // the default
      QVERIFY(f.jobs.queued() + (f.jobs.busy() ? 1 : 0) > 0);
      QVERIFY(!w->picture_stretched());
      QTRY_VERIFY(w->picture().size() != QSize(137, 137));
      QCOMPARE(w->picture().width(), std::string(kind) == "bmp" ? 40 : 48);
      QVERIFY(f.desktop.wallpapers.empty());
      delete w;
    }
  }

  // The wallpaper is the popup's, not the window's: a window that closes
  // at once (close time 0, or by hand) still sets it, and the file is
  // written off the user-interface thread.
  void TheWallpaperOutlivesAWindowThatClosesAtOnce() {
    for (const char* how : {"closetime 0", "by hand", "jpeg by hand"}) {
      PictureFixture f;
      const std::string name = how;
      const std::string path = name == "jpeg by hand"
                                   ? f.Jpeg("wall.jpg")
                                   : f.Bitmap("wall.bmp", Qt::blue);
      QPointer<PopupWindow> w =
          f.Make(name == "closetime 0" ? 0 : -1, {"1200____.__"}, false,
                 {path, true, true});
      if (name == "closetime 0") {
        w->TimerStep();
      } else {
        w->close();
      }
      Flush();
      QVERIFY(w.isNull());
      QVERIFY(f.desktop.wallpapers.empty());  // not inside the close
      QTRY_COMPARE(f.desktop.wallpapers.size(), size_t(1));
      QCOMPARE(f.desktop.wallpapers[0].file_path, f.WallpaperPath());
      QVERIFY(!QImage(QString::fromStdString(f.WallpaperPath())).isNull());
      QCOMPARE(f.settings.ReadString("Desktop", "Wallpaper", ""),
               f.WallpaperPath());
      QVERIFY2(f.messages.shown().empty(), how);
    }
  }

  void AnUnfinishedWindowGoesWithItsHandle() {
    Fixture f;
    PopupWindowFactory factory(f.context);
    QPointer<PopupWindow> made;
    factory.on_created = [&](PopupWindow* w) { made = w; };
    factory.CreatePopup().reset();
    QVERIFY(made.isNull());
    {
      std::unique_ptr<PopupSink> sink = factory.CreatePopup();
      sink->AppendEntry("/x/1200____.__", "line one\r\nline two");
      sink->Finish(PopupFinish{});
    }
    QVERIFY(!made.isNull());
    QCOMPARE(made->text(), QString("line one\nline two"));
    QVERIFY(made->isVisible());
    delete made;
  }
};

QTEST_MAIN(PopupWindowTest)
#include "popup_window_uitest.moc"
