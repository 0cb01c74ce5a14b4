// The day calculator and date jump windows over fake services.
#include <QApplication>
#include <QMenu>
#include <QPushButton>
#include <QSpinBox>
#include <QTest>
#include <memory>
#include <vector>

#include "support/fake_world.h"
#include "tools/ui/date_jump_window.h"
#include "tools/ui/day_calculator_window.h"

namespace mirokata {

class ToolsWindowsTest : public QObject {
  Q_OBJECT

  struct World : FakeWorld {
    World() { clock.Set(2026, 12, 10, 9, 30, 15); }
  };

 private slots:
  void CalculatorStartsAtTodayAndWorksOutPeriodsAndSpans() {
    World w;
    auto* window = new DayCalculatorWindow(w.Context());
    window->show();
    QCOMPARE(window->first()->value().year, 2026);
    QCOMPARE(window->first()->value().day, 10);
    QCOMPARE(window->second()->value().hour, 0);

    DateTimeFields a;
    a.year = 2000;
    DateTimeFields b = a;
    b.day = 2;
    b.hour = b.minute = b.second = 1;
    window->first()->SetValue(a);
    window->second()->SetValue(b);
    window->Calculate();
    QVERIFY(window->result().endsWith(
        QString::fromUtf8("1日 1時間 1分 1秒\n25時間 1分 1秒\n1,501分 1秒\n"
                          "90,061秒")));

    // Typing 31 for February 2001 gives 28.
    window->first()->field(0)->setValue(2001);
    window->first()->field(1)->setValue(2);
    window->first()->field(2)->setValue(31);
    QCOMPARE(window->first()->field(2)->value(), 28);

    window->SetMode(DayCalculatorWindow::Mode::kSpan);
    window->first()->SetValue(a);
    window->SetSpan(9999999, 0, 0, 0);
    window->Calculate();
    QCOMPARE(w.messages.texts().size(), size_t{1});
    QCOMPARE(w.messages.texts().back(),
             std::string("計算できませんでした。\r他の値で計算してください。"));
    QCOMPARE(window->result().count('\n'), 2);  // the three lines stay

    window->move(200, 150);
    window->close();  // frees itself
    QCOMPARE(w.settings.ReadInteger("DayCalc", "left", -1), 200);
    QCOMPARE(w.settings.ReadInteger("DayCalc", "top", -1), 150);
    QCOMPARE(w.sound.cues().front(), std::string("ope"));
    QCOMPARE(w.sound.cues().back(), std::string("clo"));
  }

  void JumpShowsWeekdayAndDistanceAndSelectsInOneStep() {
    World w;
    std::vector<CivilDate> jumps;
    auto* window = new DateJumpWindow(
        w.Context(), {2001, 1, 31},
        [&](const CivilDate& d) { jumps.push_back(d); }, nullptr);
    window->show();
    QCOMPARE(window->windowTitle(), QString::fromUtf8("9444日前"));
    QVERIFY(window->today_enabled());
    // Month first: 31 February becomes the 28th at once; the year then
    // keeps the 28th.
    window->findChildren<QSpinBox*>()[1]->setValue(2);
    QCOMPARE(window->date(), (CivilDate{2001, 2, 28}));
    window->SetDate({2000, 2, 29});
    QCOMPARE(window->weekday_caption(), QString::fromUtf8("(火)"));
    window->SetToday();
    QCOMPARE(window->windowTitle(), QString::fromUtf8("本日"));
    QVERIFY(!window->today_enabled());
    window->SetDate({2000, 2, 29});
    QPointer<DateJumpWindow> alive(window);
    window->JumpAndClose();
    QCOMPARE(jumps, (std::vector<CivilDate>{{2000, 2, 29}}));
    QTRY_VERIFY(!alive);
  }
};

}  // namespace mirokata

QTEST_MAIN(mirokata::ToolsWindowsTest)
#include "tools_windows_uitest.moc"
