// The schedule list under a real window manager (MIROKATA_TEST_DISPLAY),
// skipped where there is none: the desktop's own border drags move the
// window without changing its width, and its maximize takes the main
// window's left edge.
#include <QPointer>
#include <QProcess>
#include <QScreen>
#include <QTest>
#include <cstdlib>

#include "schedule/ui/schedule_list_window.h"
#include "support/fake_world.h"
#include "support/x11_test_main.h"

namespace mirokata {
namespace {

constexpr int kMainWidth = 240;
const QRect kMainFrame(700, 0, kMainWidth, 72);

bool OnX11() { return !qEnvironmentVariableIsEmpty("MIROKATA_TEST_DISPLAY"); }

bool XdoTool(const QStringList& arguments) {
  return QProcess::execute("xdotool", arguments) == 0;
}

// Presses on the frame at `x`, moves the pointer `by` pixels sideways in
// steps with the program running in between, and lets go.
bool DragBorder(int x, int y, int by) {
  if (!XdoTool({"mousemove", QString::number(x), QString::number(y)})) {
    return false;
  }
  QTest::qWait(200);
  if (!XdoTool({"mousedown", "1"})) return false;
  QTest::qWait(100);
  const int steps = 5;
  for (int i = 1; i <= steps; ++i) {
    XdoTool(
        {"mousemove", QString::number(x + by * i / steps), QString::number(y)});
    QTest::qWait(i == 3 ? 400 : 40);  // one pause, as a hand makes
  }
  return XdoTool({"mouseup", "1"});
}

// The width back and nothing more coming from the desktop.
void Settled(QWidget* window) {
  QTRY_COMPARE(window->width(), kMainWidth);
  QTest::qWait(500);
  QCOMPARE(window->width(), kMainWidth);
}

}  // namespace

class ScheduleListX11Test : public QObject {
  Q_OBJECT

 private slots:
  void BorderDragsMoveAndMaximizeTakesTheMainWindowsEdge() {
    if (!OnX11()) QSKIP("no MIROKATA_TEST_DISPLAY");
    FakeDataWorld w;
    ScheduleListHost host;
    host.main_frame = [] { return kMainFrame; };
    QPointer<ScheduleListWindow> window =
        new ScheduleListWindow(w.Context(), host);
    window->move(300, 100);
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window));
    // Framed by the window manager.
    QTRY_VERIFY(window->frameGeometry() != window->geometry());
    QTest::qWait(300);
    QCOMPARE(window->width(), kMainWidth);

    // The borders are the frame's outermost columns.
    const QRect start = window->frameGeometry();
    const int middle = start.center().y();
    QVERIFY(DragBorder(start.left(), middle, -50));
    Settled(window);
    // Where the border went, give or take the border's own pixel.
    QVERIFY2(
        std::abs(window->frameGeometry().left() - (start.left() - 50)) <= 1,
        qPrintable(QString::number(window->frameGeometry().left())));
    QCOMPARE(window->frameGeometry().top(), start.top());

    const QRect moved = window->frameGeometry();
    QVERIFY(DragBorder(moved.right(), middle, 80));
    Settled(window);
    QVERIFY2(
        std::abs(window->frameGeometry().right() - (moved.right() + 80)) <= 1,
        qPrintable(QString::number(window->frameGeometry().right())));
    QCOMPARE(window->frameGeometry().top(), start.top());

    // Maximized by the window manager, as its title bar's button does.
    const QRect normal = window->geometry();
    const QString id = QString::number(window->winId());
    QVERIFY(QProcess::execute("wmctrl",
                              {"-i", "-r", id, "-b",
                               "add,maximized_vert,maximized_horz"}) == 0);
    const QRect area = window->screen()->availableGeometry();
    QTRY_COMPARE(window->frameGeometry(),
                 QRect(kMainFrame.left(), area.top(), 242, area.height()));
    QVERIFY(QProcess::execute("wmctrl",
                              {"-i", "-r", id, "-b",
                               "add,maximized_vert,maximized_horz"}) == 0);
    QTRY_COMPARE(window->geometry(), normal);
    delete window;
  }
};

}  // namespace mirokata

MIROKATA_X11_TEST_MAIN(mirokata::ScheduleListX11Test)
#include "schedule_list_x11_test.moc"
