// The popup window on a real X server with a window manager
// (MIROKATA_TEST_DISPLAY), skipped where there is none: appearing while the
// user types in another window it must not take the keys, and a question
// about its picture must not open behind it.
#include <QApplication>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPointer>
#include <QProcess>
#include <QTest>
#include <algorithm>
#include <filesystem>
#include <vector>

#include "base/settings_file.h"
#include "platform/qt_messages.h"
#include "platform/testing/fake_messages.h"
#include "schedule/entry_files.h"
#include "schedule/ui/popup_window.h"
#include "support/message_boxes.h"
#include "support/temp_folder.h"
#include "support/x11_test_main.h"

namespace mirokata {
namespace {

bool OnX11() { return !qEnvironmentVariableIsEmpty("MIROKATA_TEST_DISPLAY"); }

// Keys go to whichever window has the X focus when they are sent.
bool XdoTool(const QStringList& arguments) {
  return QProcess::execute("xdotool", arguments) == 0;
}

// The window manager's stacking order, bottom first.
std::vector<WId> Stacking() {
  QProcess xprop;
  xprop.start("xprop", {"-root", "_NET_CLIENT_LIST_STACKING"});
  xprop.waitForFinished(5000);
  const QString out = QString::fromUtf8(xprop.readAllStandardOutput());
  std::vector<WId> ids;
  for (const QString& word : out.section('#', 1).split(',')) {
    bool ok = false;
    const WId id = word.trimmed().toULong(&ok, 16);
    if (ok) ids.push_back(id);
  }
  return ids;
}

int StackPlace(WId id) {
  const std::vector<WId> ids = Stacking();
  const auto it = std::find(ids.begin(), ids.end(), id);
  return it == ids.end() ? -1 : int(it - ids.begin());
}

}  // namespace

class PopupFocusTest : public QObject {
  Q_OBJECT

 private slots:
  void TypingGoesOnIntoTheWindowThatHadTheFocus() {
    if (!OnX11()) QSKIP("no MIROKATA_TEST_DISPLAY");
    TempFolder home;
    std::filesystem::create_directory(home / "data");
    SettingsFile settings(home / "mirokata.ini");
    // No question before deleting: a key that pressed the delete button
    // would delete the entry at once.
    settings.WriteInteger("Form", "Delete", 1);
    EntryFolder folder(home / "data");
    const std::string name = "12000304.26";
    QVERIFY(folder.WriteContent(name, "reminder"));

    QPlainTextEdit typing;
    typing.setWindowTitle("typing here");
    typing.setGeometry(100, 100, 400, 200);
    typing.show();
    typing.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&typing));
    QVERIFY(XdoTool({"type", "--delay", "20", "abc"}));
    QTRY_COMPARE(typing.toPlainText(), QString("abc"));

    FakeMessages messages;
    Services context;
    context.settings = &settings;
    context.messages = &messages;
    QPointer<PopupWindow> popup = new PopupWindow(context);
    popup->AppendEntry(folder.FullPath(name), "reminder");
    popup->EnableDelete(folder.FullPath(name));
    PopupFinish finish;
    finish.close_countdown = -1;
    popup->Finish(finish);
    QVERIFY(QTest::qWaitForWindowExposed(popup));
    QTest::qWait(500);  // time for the window manager to decide on focus

    QVERIFY(XdoTool({"type", "--delay", "20", " def"}));
    QVERIFY(XdoTool({"key", "Return"}));
    QVERIFY(XdoTool({"type", "--delay", "20", "ghi "}));
    QVERIFY(XdoTool({"key", "space", "Return", "KP_Enter"}));
    QTRY_COMPARE(typing.toPlainText(), QString("abc def\nghi  \n\n"));
    QVERIFY(!popup.isNull());
    QVERIFY(popup->isVisible());
    QVERIFY(!popup->isActiveWindow());
    QVERIFY(folder.Exists(name));
    QVERIFY(messages.shown().empty());
    delete popup;
  }

  // The JPEG question (asked on top) stands above the always-on-top popup.
  void AQuestionOnTopStandsAboveThePopup() {
    if (!OnX11()) QSKIP("no MIROKATA_TEST_DISPLAY");
    Services context;
    QPointer<PopupWindow> popup = new PopupWindow(context);
    popup->Finish(PopupFinish{});
    QVERIFY(QTest::qWaitForWindowExposed(popup));
    QtMessages messages;
    MessageRequest request(MessageKind::kQuestion, "上に",
                           MessageButtons::kYesNo);
    request.stay_on_top = true;
    messages.Ask(request, {});
    QMessageBox* box = nullptr;
    QTRY_VERIFY((box = FindShownMessageBox("上に")) != nullptr);
    QVERIFY(QTest::qWaitForWindowExposed(box));
    QTRY_VERIFY(StackPlace(box->winId()) >= 0);
    QTRY_VERIFY(StackPlace(popup->winId()) >= 0);
    QTest::qWait(300);  // the popup raises itself again when painted
    popup->repaint();
    QTest::qWait(300);
    QVERIFY2(StackPlace(box->winId()) > StackPlace(popup->winId()),
             "the question is below the popup");
    box->reject();
    delete popup;
  }
};

}  // namespace mirokata

MIROKATA_X11_TEST_MAIN(mirokata::PopupFocusTest)
#include "popup_focus_x11_test.moc"
