// The hot key and the tray icons on a real X server (MIROKATA_TEST_DISPLAY);
// skipped where there is none.
#include <xcb/xcb.h>

#include <QApplication>
#include <QProcess>
#include <QStandardPaths>
#include <QSystemTrayIcon>
#include <QTest>

#include "platform/qt_tray.h"
#include "platform/x11_hot_key.h"
#include "support/x11_test_main.h"

// After Qt: Xlib's macros clash with Qt's names.
#include <X11/Xlib.h>
#include <X11/keysym.h>

namespace mirokata {
namespace {

bool OnX11() { return !qEnvironmentVariableIsEmpty("MIROKATA_TEST_DISPLAY"); }

bool Type(const char* chord) {
  return QProcess::execute("xdotool", {"key", "--clearmodifiers", chord}) == 0;
}

}  // namespace

class X11ServicesTest : public QObject {
  Q_OBJECT

 private slots:
  void HotKeyPressesArriveForTheRegisteredChord() {
    if (!OnX11()) QSKIP("no MIROKATA_TEST_DISPLAY");
    X11HotKey hot_key;
    int presses = 0;
    QVERIFY(hot_key.Register(HotKeyChord::kCtrlSpace, [&] { ++presses; }));
    QVERIFY(Type("ctrl+space"));
    QTRY_COMPARE(presses, 1);
    QVERIFY(Type("super+space"));  // not the registered chord
    QVERIFY(Type("space"));
    QTest::qWait(300);
    QCOMPARE(presses, 1);

    // Registering again moves the grab to the other chord.
    QVERIFY(hot_key.Register(HotKeyChord::kSuperSpace, [&] { presses += 10; }));
    QVERIFY(Type("super+space"));
    QTRY_COMPARE(presses, 11);
    QVERIFY(Type("ctrl+space"));
    QTest::qWait(300);
    QCOMPARE(presses, 11);

    hot_key.Unregister();
    QVERIFY(Type("super+space"));
    QTest::qWait(300);
    QCOMPARE(presses, 11);
  }

  void ChordHeldByAnotherProgramFailsSoft() {
    if (!OnX11()) QSKIP("no MIROKATA_TEST_DISPLAY");
    // Another client grabs Ctrl+Space first.
    const QByteArray name = qgetenv("MIROKATA_TEST_DISPLAY");
    Display* other = XOpenDisplay(name.constData());
    QVERIFY(other != nullptr);
    const KeyCode space = XKeysymToKeycode(other, XK_space);
    XGrabKey(other, space, ControlMask, DefaultRootWindow(other), True,
             GrabModeAsync, GrabModeAsync);
    XSync(other, False);

    X11HotKey hot_key;
    QVERIFY(!hot_key.Register(HotKeyChord::kCtrlSpace, [] {}));
    // The other chord is still free.
    QVERIFY(hot_key.Register(HotKeyChord::kSuperSpace, [] {}));
    hot_key.Unregister();
    XCloseDisplay(other);
  }

  void TrayIconsAppearInATrayHost() {
    if (!OnX11()) QSKIP("no MIROKATA_TEST_DISPLAY");
    if (QStandardPaths::findExecutable("trayer").isEmpty()) {
      QSKIP("no trayer");
    }
    QtTray tray;
    QProcess host;
    if (!QSystemTrayIcon::isSystemTrayAvailable()) {
      host.start("trayer", {"--edge", "bottom", "--align", "right",
                            "--widthtype", "pixel", "--width", "120"});
      QVERIFY(host.waitForStarted());
      QTRY_VERIFY_WITH_TIMEOUT(tray.Available(), 10000);
    }
    tray.SetHint(TrayIconId::kCalendar,
                 "左クリック：ランチャーメニュー／右クリック：基本メニュー");
    tray.SetVisible(TrayIconId::kCalendar, true);
    tray.SetVisible(TrayIconId::kMemo, true);
    QTRY_VERIFY_WITH_TIMEOUT(
        !tray.icon(TrayIconId::kCalendar)->geometry().isEmpty(), 10000);
    QTRY_VERIFY_WITH_TIMEOUT(
        !tray.icon(TrayIconId::kMemo)->geometry().isEmpty(), 10000);
    tray.SetVisible(TrayIconId::kMemo, false);
    QVERIFY(!tray.IsVisible(TrayIconId::kMemo));
    if (host.state() != QProcess::NotRunning) {
      host.terminate();
      host.waitForFinished(3000);
    }
  }
};

}  // namespace mirokata

MIROKATA_X11_TEST_MAIN(mirokata::X11ServicesTest)
#include "x11_services_test.moc"
