// The running program under a real X server with a window manager: a daily
// popup for the coming minute appears at that minute with its picture,
// starts its program and closes itself after its close time; a popup whose
// minute passed while the program was stopped appears when it goes on.
#include <gtest/gtest.h>
#include <signal.h>
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

// A home with a data folder for the real program on the test display.
class RemindersEndToEndTest : public ::testing::Test {
 protected:
  void SetUp() override {
    display_ = getenv("MIROKATA_TEST_DISPLAY");
    if (display_ == nullptr || *display_ == '\0') {
      GTEST_SKIP() << "MIROKATA_TEST_DISPLAY is not set";
    }
    setenv("DISPLAY", display_, 1);
    windows_ = CreateDesktopWindows();
    data_ = home_ / "data";
    std::filesystem::create_directory(data_);
    std::filesystem::create_directory(home_ / "run");
  }

  void TearDown() override {
    if (program_.state() == QProcess::NotRunning) return;
    program_.terminate();
    if (!program_.waitForFinished(10000)) program_.kill();
  }

  // The coming minute at least `lead` seconds away.
  static QDateTime ComingMinute(int lead) {
    const QDateTime now = QDateTime::currentDateTime();
    QDateTime at = now.addSecs(now.time().second() < 60 - lead ? 60 : 120);
    at.setTime(QTime(at.time().hour(), at.time().minute()));
    return at;
  }

  // A daily entry for the minute `at` and the settings file, with `extra`
  // at its end. Returns the entry's name.
  std::string WriteHome(const QDateTime& at, const std::string& entry_text,
                        const std::string& extra = {}) {
    const std::string name = at.toString("HHmm").toStdString() + "____.__";
    std::ofstream(data_ + "/" + name) << entry_text;
    std::ofstream(home_ / "mirokata.ini")
        << "[Calendar]\r\nDirectory=" << data_ << "\r\n"
        << "[Horiday]\r\nSet=1\r\n[Qclock]\r\nVer=Version 2.62\r\n"
        << "[Form]\r\nTray_icon=1\r\nWaveplay=0\r\n"
        << extra;
    return name;
  }

  void StartProgram() {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("DISPLAY", display_);
    env.insert("QT_QPA_PLATFORM", "xcb");
    env.insert("XDG_RUNTIME_DIR", QString::fromStdString(home_ / "run"));
    program_.setProcessEnvironment(env);
    program_.start(MIROKATA_BINARY,
                   {"--home", QString::fromStdString(home_.path())});
    ASSERT_TRUE(program_.waitForStarted(10000));
  }

  const char* display_ = nullptr;
  std::unique_ptr<DesktopWindows> windows_;
  TempFolder home_;
  std::string data_;
  QProcess program_;
};

TEST_F(RemindersEndToEndTest,
       DailyPopupFiresAtItsMinuteRunsItsProgramAndClosesItself) {
  QImage red(137, 137, QImage::Format_RGB32);
  red.fill(QColor(255, 0, 0));
  ASSERT_TRUE(red.save(QString::fromStdString(home_ / "red.bmp"), "BMP"));
  // The coming minute, with time enough to start before it.
  const QDateTime at = ComingMinute(15);
  const std::string marker = home_ / "executed.txt";
  const std::string name = at.toString("HHmm").toStdString() + "____.__";
  WriteHome(
      at, "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0 Sans;}}\\f0 E2E reminder\\par}",
      "[" + data_ + "/" + name +
          "]\r\nclosetime=5\r\nbitmap=" + (home_ / "red.bmp") +
          "\r\nExecute=/usr/bin/touch?" + marker + "\r\n");
  StartProgram();

  const auto deadline =
      Clock::now() +
      std::chrono::seconds(QDateTime::currentDateTime().secsTo(at) + 30);
  std::optional<Clock::time_point> shown, gone;
  bool counted_down = false;
  std::string grabbed;
  while (Clock::now() < deadline && !gone) {
    const std::optional<std::string> title = PopupTitle(*windows_);
    if (title && !shown) {
      shown = Clock::now();
      // Not before its minute.
      EXPECT_GE(QDateTime::currentDateTime().secsTo(at), -3);
      EXPECT_LE(QDateTime::currentDateTime().secsTo(at), 0);
    }
    if (title && title->find("秒後に自動的に閉じます。") != std::string::npos) {
      counted_down = true;
      if (grabbed.empty()) {
        grabbed = home_ / "popup.png";
        const QImage shot = GrabWindow(display_, grabbed);
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
}

// As over a suspend or a stalled machine: the program is stopped from
// before a reminder's minute until two minutes after it.
TEST_F(RemindersEndToEndTest,
       AMinuteMissedWhileStoppedFiresWhenTheProgramGoesOn) {
  const QDateTime at = ComingMinute(20);
  WriteHome(at, "Missed while stopped");
  StartProgram();
  const pid_t pid = static_cast<pid_t>(program_.processId());

  // Stopped five seconds before the minute, for two minutes.
  QThread::msleep(
      static_cast<unsigned long>(QDateTime::currentDateTime().msecsTo(at)) -
      5000);
  ASSERT_EQ(::kill(pid, SIGSTOP), 0);
  QThread::sleep(120);
  EXPECT_FALSE(PopupTitle(*windows_));
  ASSERT_EQ(::kill(pid, SIGCONT), 0);

  const auto deadline = Clock::now() + std::chrono::seconds(15);
  std::optional<std::string> title;
  while (Clock::now() < deadline && !(title = PopupTitle(*windows_))) {
    QThread::msleep(100);
  }
  EXPECT_TRUE(title) << "the missed reminder did not appear";
}

}  // namespace
}  // namespace mirokata
