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
};

}  // namespace mirokata

QTEST_MAIN(mirokata::DayPopViewTest)
#include "day_pop_view_uitest.moc"
