// The countdown window over a fake uptime and clock: the one-minute
// floor, the texts of a run, hiding until the end, and the presets.
#include <QApplication>
#include <QLineEdit>
#include <QTest>

#include "schedule/ui/countdown_window.h"
#include "support/fake_world.h"

namespace mirokata {

class CountdownWindowTest : public QObject {
  Q_OBJECT

  struct World : FakeWorld {
    World() {
      clock.Set(2026, 12, 10, 9, 0, 0);
      uptime.Set(1000000);
      settings.WriteString("Calendar", "file", dir / "end.wav");
      settings.WriteInteger("Form", "Delete", 1);
    }
    // Moves both clocks and runs the tick the timer would run.
    void Pass(CountdownWindow* w, int seconds) {
      for (int i = 0; i < seconds; ++i) {
        clock.Advance(1);
        uptime.Advance(1000);
        w->Tick();
      }
    }
  };

 private slots:
  void NothingToCountIsOneMinuteWithItsTexts() {
    World w;
    auto* window = new CountdownWindow(w.Context());
    window->show();
    window->SetDuration(0, 0);
    window->title_box()->setText(QString::fromUtf8("お茶"));
    window->SetHideUntilEnd(true);
    window->StartCountdown();
    QCOMPARE(window->countdown().total(), 60);
    QCOMPARE(window->status(), QString::fromUtf8("お茶の時間を計っています。"));
    QCOMPARE(window->start_text(),
             QString::fromUtf8("開始時間：2026/12/10 09:00:00"));
    w.Pass(window, 1);
    QVERIFY(!window->isVisible());  // hidden until the end
    QCOMPARE(window->windowTitle(),
             QString::fromUtf8("減算タイマー （残り 59秒）"));
    QCOMPARE(window->end_text(),
             QString::fromUtf8("終了時間：2026/12/10 09:01:00"));
    w.Pass(window, 29);
    QCOMPARE(window->status(),
             QString::fromUtf8("お茶の時間は５０％を経過しました。"));
    // A pause moves the end on with the clock.
    window->TogglePause();
    w.Pass(window, 10);
    QCOMPARE(window->windowTitle(),
             QString::fromUtf8("減算タイマー （一時停止）"));
    QCOMPARE(window->end_text(),
             QString::fromUtf8("終了時間：2026/12/10 09:01:10"));
    window->TogglePause();
    w.Pass(window, 30);
    QVERIFY(window->isVisible());
    QVERIFY(!window->hide_until_end());
    QCOMPARE(window->status(), QString::fromUtf8("お茶の時間になりました。"));
    QCOMPARE(window->windowTitle(), QString::fromUtf8("減算タイマー"));
    QCOMPARE(w.sound.files().back(), w.dir / "end.wav");  // the global one
    window->close();
  }

  void DeletingTheFirstOfThreeMovesTheOthersDown() {
    World w;
    auto* window = new CountdownWindow(w.Context());
    for (int i = 0; i < 3; ++i) {
      window->SetDuration(i, 10 + i);
      window->title_box()->setText(QString("p%1").arg(i));
      window->AddPreset();
    }
    window->sound_box(0)->setText("/s/two.wav");
    QTest::keyClick(window->sound_box(0), Qt::Key_End);  // stored on edit
    QTest::keyClicks(window->sound_box(0), "x");
    QCOMPARE(w.settings.ReadString("Gtimer", "2_50", ""),
             std::string("/s/two.wavx"));
    window->SelectPreset(0);
    window->DeletePreset();
    QCOMPARE(window->preset_count(), 2);
    QCOMPARE(w.settings.ReadInteger("Gtimer", "Total", 0), 2);
    QCOMPARE(w.settings.ReadString("Gtimer", "0_Title", ""), std::string("p1"));
    QCOMPARE(w.settings.ReadInteger("Gtimer", "1_M", 0), 12);
    QCOMPARE(w.settings.ReadString("Gtimer", "1_50", ""),
             std::string("/s/two.wavx"));
    QCOMPARE(w.settings.ReadString("Gtimer", "2_Title", "?"), std::string(""));
    QCOMPARE(w.settings.ReadInteger("Gtimer", "2_M", 0), 1);
    QCOMPARE(w.settings.ReadString("Gtimer", "2_50", "?"), std::string(""));
    window->close();

    // A damaged Total lists only the presets that have keys.
    w.settings.WriteInteger("Gtimer", "Total", 2147483647);
    auto* again = new CountdownWindow(w.Context());
    QCOMPARE(again->preset_count(), 3);  // the reset third one has keys
    again->close();
  }
};

}  // namespace mirokata

QTEST_MAIN(mirokata::CountdownWindowTest)
#include "countdown_window_uitest.moc"
