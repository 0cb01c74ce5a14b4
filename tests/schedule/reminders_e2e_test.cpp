// The running program under a real X server with a window manager: a daily
// popup for the coming minute appears at that minute with its picture,
// starts its program and closes itself after its close time.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <QColor>
#include <QDateTime>
#include <QImage>
#include <QProcess>
#include <QThread>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>

#include "platform/desktop/desktop_windows.h"
#include "support/temp_folder.h"

namespace mirokata {
namespace {

using Clock = std::chrono::steady_clock;

std::optional<std::string> PopupTitle(DesktopWindows& windows) {
  for (const std::string& title : windows.ListWindowTitles()) {
    if (title.rfind("Popup Window", 0) == 0) return title;
  }
  return std::nullopt;
}

// The popup window's client area as the X server shows it.
QImage GrabWindow(const std::string& display, const std::string& out) {
  QProcess find;
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  env.insert("DISPLAY", QString::fromStdString(display));
  find.setProcessEnvironment(env);
  find.start("xdotool", {"search", "--name", "^Popup Window"});
  find.waitForFinished(5000);
  const QString id =
      QString::fromUtf8(find.readAllStandardOutput()).split('\n').value(0);
  if (id.isEmpty()) return {};
  QProcess grab;
  grab.setProcessEnvironment(env);
  grab.start("import", {"-window", id, QString::fromStdString(out)});
  grab.waitForFinished(10000);
  return QImage(QString::fromStdString(out));
}

TEST(RemindersEndToEndTest,
     DailyPopupFiresAtItsMinuteRunsItsProgramAndClosesItself) {
  const char* display = getenv("MIROKATA_TEST_DISPLAY");
  if (display == nullptr || *display == '\0') {
    GTEST_SKIP() << "MIROKATA_TEST_DISPLAY is not set";
  }
  setenv("DISPLAY", display, 1);
  std::unique_ptr<DesktopWindows> windows = CreateDesktopWindows();

  TempFolder home;
  const std::string data = home / "data";
  std::filesystem::create_directory(data);
  std::filesystem::create_directory(home / "run");
  QImage red(137, 137, QImage::Format_RGB32);
  red.fill(QColor(255, 0, 0));
  ASSERT_TRUE(red.save(QString::fromStdString(home / "red.bmp"), "BMP"));

  // The coming minute, with time enough to start before it.
  QDateTime now = QDateTime::currentDateTime();
  QDateTime at = now.addSecs(now.time().second() < 45 ? 60 : 120);
  at.setTime(QTime(at.time().hour(), at.time().minute()));
  const std::string name = at.toString("HHmm").toStdString() + "____.__";
  std::ofstream(data + "/" + name)
      << "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0 Sans;}}\\f0 E2E reminder\\par}";
  const std::string marker = home / "executed.txt";
  std::ofstream(home / "mirokata.ini")
      << "[Calendar]\r\nDirectory=" << data << "\r\n"
      << "[Horiday]\r\nSet=1\r\n[Qclock]\r\nVer=Version 2.62\r\n"
      << "[Form]\r\nTray_icon=1\r\nWaveplay=0\r\n"
      << "[" << data << "/" << name << "]\r\nclosetime=5\r\n"
      << "bitmap=" << (home / "red.bmp") << "\r\n"
      << "Execute=/usr/bin/touch?" << marker << "\r\n";

  QProcess program;
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  env.insert("DISPLAY", display);
  env.insert("QT_QPA_PLATFORM", "xcb");
  env.insert("XDG_RUNTIME_DIR", QString::fromStdString(home / "run"));
  program.setProcessEnvironment(env);
  program.start(MIROKATA_BINARY,
                {"--home", QString::fromStdString(home.path())});
  ASSERT_TRUE(program.waitForStarted(10000));

  const auto deadline =
      Clock::now() + std::chrono::seconds(now.secsTo(at) + 30);
  std::optional<Clock::time_point> shown, gone;
  bool counted_down = false;
  std::string grabbed;
  while (Clock::now() < deadline && !gone) {
    const std::optional<std::string> title = PopupTitle(*windows);
    if (title && !shown) {
      shown = Clock::now();
      // Not before its minute.
      EXPECT_GE(QDateTime::currentDateTime().secsTo(at), -3);
      EXPECT_LE(QDateTime::currentDateTime().secsTo(at), 0);
    }
    if (title && title->find("秒後に自動的に閉じます。") != std::string::npos) {
      counted_down = true;
      if (grabbed.empty()) {
        grabbed = home / "popup.png";
        const QImage shot = GrabWindow(display, grabbed);
        ASSERT_FALSE(shot.isNull());
        // The popup's own picture fills the picture area.
        EXPECT_EQ(QColor(shot.pixel(70, 70)), QColor(255, 0, 0));
      }
    }
    if (!title && shown) gone = Clock::now();
    QThread::msleep(100);
  }
  ASSERT_TRUE(shown) << "no popup window appeared";
  EXPECT_TRUE(counted_down);
  EXPECT_TRUE(std::filesystem::exists(marker));
  ASSERT_TRUE(gone) << "the popup window did not close itself";
  const double open_for = std::chrono::duration<double>(*gone - *shown).count();
  EXPECT_GT(open_for, 4.0);
  EXPECT_LT(open_for, 9.0);

  program.terminate();
  if (!program.waitForFinished(10000)) program.kill();
}

}  // namespace
}  // namespace mirokata
