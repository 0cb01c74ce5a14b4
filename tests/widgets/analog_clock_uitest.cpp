#include <QImage>
#include <QTest>
#include <cstdlib>

#include "platform/testing/fake_clock.h"
#include "widgets/analog_clock_widget.h"

namespace mirokata {

class AnalogClockTest : public QObject {
  Q_OBJECT

 private:
  static QImage Grab(AnalogClock& clock, const char* name) {
    QImage image = clock.grab().toImage();
    // Kept for looking at when a folder is given.
    if (const char* dir = std::getenv("MIROKATA_SCREENSHOT_DIR")) {
      image.save(QString(dir) + "/" + name + ".png");
    }
    return image;
  }

 private slots:
  void DefaultsAndTheMoonPanelClock() {
    AnalogClock plain;
    QCOMPARE(plain.size(), QSize(200, 200));
    QCOMPARE(plain.border(), ClockBorder::kLowered);
    QCOMPARE(plain.color(), QColor(0, 0, 128));
    QCOMPARE(plain.pointer_color(), QColor(255, 255, 0));
    QCOMPARE(plain.seconds_color(), QColor(255, 0, 0));
    QCOMPARE(plain.scale_color(), QColor(255, 255, 255));
    QVERIFY(plain.display_text());
    QVERIFY(!plain.display_points());
    QVERIFY(plain.timer_running());

    QWidget panel;
    AnalogClock* clock = AnalogClock::CreateForMoonPanel(&panel);
    QCOMPARE(clock->geometry(), QRect(112, 30, 70, 70));
    QCOMPARE(clock->border(), ClockBorder::kNone);
    QCOMPARE(clock->color(), QColor(Qt::black));
    QVERIFY(!clock->display_text());
    QVERIFY(clock->display_points());
    QVERIFY(!clock->isEnabled());
    QVERIFY(!clock->timer_running());
  }

  // The tick's rules: white hands before noon, yellow after; the setting
  // shows and starts the clock or hides and stops it.
  void TickDrivesColourAndTimer() {
    QWidget panel;
    AnalogClock* clock = AnalogClock::CreateForMoonPanel(&panel);
    panel.show();
    clock->ApplyTick(true, 11);
    QCOMPARE(clock->pointer_color(), QColor(255, 255, 255));
    QVERIFY(clock->isVisible());
    QVERIFY(clock->timer_running());
    clock->ApplyTick(true, 12);
    QCOMPARE(clock->pointer_color(), QColor(255, 255, 0));
    clock->ApplyTick(false, 12);
    QVERIFY(!clock->isVisible());
    QVERIFY(!clock->timer_running());
  }

  void HandsMoveOncePerSecond() {
    FakeClock time;
    time.Set(2026, 12, 10, 3, 0, 15);
    AnalogClock clock;
    clock.setEnabled(false);
    clock.SetClock(&time);
    QVERIFY(!clock.last_second().has_value());
    QVERIFY(clock.Step());
    QCOMPARE(*clock.last_second(), 15);
    time.AdvanceMs(400);
    QVERIFY(!clock.Step());  // same second: nothing drawn
    time.AdvanceMs(700);
    QVERIFY(clock.Step());
    QCOMPARE(*clock.last_second(), 16);
  }

  // What the moon panel shows at 3:00:15: black face, white dots at the
  // hours, the hands along the horizontal to the right, a grey centre.
  void PaintsTheMoonPanelClock() {
    FakeClock time;
    time.Set(2026, 12, 10, 3, 0, 15);
    QWidget panel;
    panel.resize(200, 110);
    AnalogClock* clock = AnalogClock::CreateForMoonPanel(&panel);
    clock->SetClock(&time);
    clock->ApplyTick(true, 3);
    QVERIFY(clock->Step());
    QImage image = Grab(*clock, "moon_panel_clock");
    QCOMPARE(image.size(), QSize(70, 70));
    auto at = [&](int x, int y) { return image.pixelColor(x, y); };
    QCOMPARE(at(0, 0), QColor(Qt::black));
    QCOMPARE(at(20, 60), QColor(Qt::black));
    QCOMPARE(at(35, 35), QColor(128, 128, 128));  // centre dot
    // The 12 o'clock dot's outline (radius 1 around (35, 4)).
    QVERIFY(at(35, 3).lightness() > 100 || at(34, 4).lightness() > 100);
    // Hour and minute hands (white before noon) right of the centre dot.
    QCOMPARE(at(50, 35), QColor(255, 255, 255));
    // The seconds hand reaches beyond the minute hand, in red.
    QColor tip = at(65, 35);
    QVERIFY2(tip.red() > 150 && tip.green() < 100, qPrintable(tip.name()));

    // A large clock with numerals and its lowered border.
    AnalogClock big;
    big.SetClock(&time);
    big.Step();
    QImage dial = Grab(big, "large_clock");
    QCOMPARE(dial.pixelColor(100, 150), QColor(0, 0, 128));
  }
};

}  // namespace mirokata

QTEST_MAIN(mirokata::AnalogClockTest)
#include "analog_clock_uitest.moc"
