#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPointer>
#include <QTest>
#include <QToolButton>

#include "mainwin/ui/day_pop_view.h"
#include "platform/sound_cues.h"
#include "platform/testing/fake_desktop.h"
#include "platform/testing/fake_sound.h"

namespace mirokata {

class DayPopViewTest : public QObject {
  Q_OBJECT

 private slots:
  void ShowsTheDayWithItsColours() {
    DayPopView view;
    view.SetDay({2000, 1, 12}, -3, {"【大安】", "two\nlines"},
                {kClWhite, kClNavy});
    QCOMPARE(view.windowTitle(), QString("2000/01/12(水)　3日前"));
    QCOMPARE(view.text(), QString("【大安】\ntwo\nlines"));
    const QPalette pal = view.textBox()->palette();
    QCOMPARE(pal.color(QPalette::Base), QColor(0, 0, 128));
    QCOMPARE(pal.color(QPalette::Text), QColor(255, 255, 255));
    QCOMPARE(view.textBox()->textCursor().position(), 0);
  }

  void ButtonsRunTheirCommandsOrStayDisabled() {
    DayPopView view;
    int runs = 0;
    view.SetCommand(PopViewCommand::kScheduleManager, [&] { ++runs; });
    for (int i = 0; i < kPopViewCommandCount; ++i) {
      const auto c = static_cast<PopViewCommand>(i);
      QCOMPARE(view.button(c)->isEnabled(),
               c == PopViewCommand::kScheduleManager);
      QCOMPARE(view.button(c)->toolTip(),
               QString::fromUtf8(PopViewCommandHint(c)));
    }
    view.button(PopViewCommand::kScheduleManager)->click();
    QCOMPARE(runs, 1);
  }

  void OpensNearTheLowerRightCornerInsideTheScreen() {
    FakeScreen screen;
    screen.SetGeometry({0, 0, 1280, 800}, {0, 0, 1280, 770});
    FakeSound sound;
    SoundCues cues(sound, [] { return true; });
    QPointer<DayPopView> view = new DayPopView;
    view->ShowAt(QPoint(1275, 765), &screen, &cues);
    const QRect frame = view->frameGeometry();
    QVERIFY(frame.right() < 1280);
    QVERIFY(frame.bottom() < 770);
    QCOMPARE(frame.right(), 1279);
    QCOMPARE(frame.bottom(), 769);
    QVERIFY(view->isVisible());
    QCOMPARE(sound.cues(), (std::vector<std::string>{"pop"}));

    // Esc closes it and frees it.
    QTest::keyClick(view, Qt::Key_Escape);
    QTRY_VERIFY(view.isNull());
  }

  // It opens beside the main window it was clicked on, never over it, and
  // Esc typed there (where the focus stays) closes it; Esc elsewhere does
  // not.
  void OpensBesideTheMainWindowAndClosesOnItsEsc() {
    FakeScreen screen;
    screen.SetGeometry({0, 0, 1280, 800}, {0, 0, 1280, 770});
    QWidget main_window;
    auto* grid = new QLineEdit(&main_window);
    main_window.setGeometry(1040, 0, 240, 320);  // its default place
    main_window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&main_window));
    QWidget other;
    auto* other_field = new QLineEdit(&other);
    other.show();

    QPointer<DayPopView> view = new DayPopView;
    view->ShowAt(QPoint(1100, 290), &screen, nullptr, &main_window);
    QVERIFY(!view->frameGeometry().intersects(main_window.frameGeometry()));

    QTest::keyClick(other_field, Qt::Key_Escape);
    QTest::qWait(20);
    QVERIFY(!view.isNull() && view->isVisible());
    QTest::keyClick(grid, Qt::Key_Escape);
    QTRY_VERIFY(view.isNull());
  }
};

}  // namespace mirokata

QTEST_MAIN(mirokata::DayPopViewTest)
#include "day_pop_view_uitest.moc"
