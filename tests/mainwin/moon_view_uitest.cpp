#include <QtTest>

#include "calendar/gregorian.h"
#include "calendar/moon.h"
#include "mainwin/ui/moon_view.h"

namespace mirokata {
namespace {

long double Ut(int year, int month, int day, int hour, int minute) {
  return DateTimeOfDayNumber(DayNumber(year, month, day)) +
         (hour * 60 + minute) / 1440.0L;
}

// New moon 26 February 2017 14:58 UT, full moon 12 March 14:54 UT, last
// quarter 20 March 15:58 UT.
const long double kNewMoon = Ut(2017, 2, 26, 14, 58);
const long double kFullMoon = Ut(2017, 3, 12, 14, 54);
const long double kLastQuarter = Ut(2017, 3, 20, 15, 58);

bool IsBlack(const QImage& image, int x, int y) {
  return (image.pixel(x, y) & 0xffffff) == 0;
}

int HalfWidth(const MoonDisc& disc, int y) {
  const int h = y - disc.cy;
  return static_cast<int>(
      std::rint(std::sqrt(disc.radius * disc.radius - h * h)));
}

// Counts the black pixels of the disc left of the centre, right of it, and
// the lit ones, skipping a margin around the centre column.
struct Halves {
  int left_black = 0, left_lit = 0, right_black = 0, right_lit = 0;
};
Halves CountHalves(const QImage& image, const MoonDisc& disc, int margin) {
  Halves halves;
  for (int y = disc.cy - disc.radius; y <= disc.cy + disc.radius; ++y) {
    const int w = HalfWidth(disc, y);
    for (int x = disc.cx - w; x <= disc.cx + w; ++x) {
      if (std::abs(x - disc.cx) <= margin) continue;
      const bool black = IsBlack(image, x, y);
      if (x < disc.cx) {
        (black ? halves.left_black : halves.left_lit)++;
      } else {
        (black ? halves.right_black : halves.right_lit)++;
      }
    }
  }
  return halves;
}

}  // namespace

class MoonViewTest : public QObject {
  Q_OBJECT

 private slots:
  void SevenAndAHalfDayMoonIsBlackOnTheLeft() {
    MoonView view;
    view.SetDate(kNewMoon + 7.4L);
    const MoonDisc disc = MoonDiscOf(MoonSize::k64);
    QCOMPARE(view.picture().size(), QSize(64, 64));
    // The terminator lies within a few pixels of the centre column.
    const Halves halves = CountHalves(view.picture(), disc, disc.radius / 8);
    QCOMPARE(halves.left_lit, 0);
    QCOMPARE(halves.right_black, 0);
    QVERIFY(halves.left_black > 900);
  }

  void LastQuarterIsBlackOnTheRight() {
    MoonView view;
    view.SetDate(kLastQuarter);
    const MoonDisc disc = MoonDiscOf(MoonSize::k64);
    const Halves halves = CountHalves(view.picture(), disc, disc.radius / 8);
    QCOMPARE(halves.left_black, 0);
    QCOMPARE(halves.right_lit, 0);
  }

  void FullMoonHasAtMostAOnePixelRim() {
    for (MoonSize size : {MoonSize::k64, MoonSize::k32, MoonSize::k16}) {
      for (long double t : {kFullMoon, kFullMoon - 0.3L, kFullMoon + 0.3L}) {
        const QImage image = MoonPicture(size, PhaseAngle(t));
        const MoonDisc disc = MoonDiscOf(size);
        for (int y = disc.cy - disc.radius; y <= disc.cy + disc.radius; ++y) {
          const int w = HalfWidth(disc, y);
          for (int x = disc.cx - w + 1; x <= disc.cx + w - 1; ++x) {
            QVERIFY2(!IsBlack(image, x, y),
                     qPrintable(QString("%1,%2").arg(x).arg(y)));
          }
        }
      }
    }
  }

  void NewMoonIsAllBlack() {
    MoonView view;
    view.SetDate(kNewMoon);
    for (int y = 0; y < 64; ++y) {
      for (int x = 0; x < 64; ++x) QVERIFY(IsBlack(view.picture(), x, y));
    }
  }

  void SmallerSizesResizeAndUseTheirRadius() {
    MoonView view;
    view.SetDate(kFullMoon);
    view.SetMoonSize(MoonSize::k32);
    QCOMPARE(view.size(), QSize(32, 32));
    QCOMPARE(view.picture().size(), QSize(32, 32));
    // Radius 14 around (15, 14): lit just inside the top and the sides of
    // the disc (the rim pixel may be black), sky beyond.
    QVERIFY(!IsBlack(view.picture(), 15, 1));
    QVERIFY(!IsBlack(view.picture(), 28, 14));
    QVERIFY(!IsBlack(view.picture(), 2, 14));
    QVERIFY(IsBlack(view.picture(), 15, 29));
    QVERIFY(IsBlack(view.picture(), 30, 14));
    view.SetMoonSize(MoonSize::k16);
    QCOMPARE(view.size(), QSize(16, 16));
    QVERIFY(!IsBlack(view.picture(), 7, 7));
    QVERIFY(!view.icon().isNull());
  }

  void PaintsItsPicture() {
    MoonView view;
    view.SetDate(kNewMoon + 7.4L);
    const QImage grabbed =
        view.grab().toImage().convertToFormat(QImage::Format_RGB32);
    QCOMPARE(grabbed.size(), QSize(64, 64));
    QCOMPARE(grabbed.pixel(50, 28), view.picture().pixel(50, 28));
    QVERIFY(IsBlack(grabbed, 10, 28));
  }
};

}  // namespace mirokata

QTEST_MAIN(mirokata::MoonViewTest)
#include "moon_view_uitest.moc"
