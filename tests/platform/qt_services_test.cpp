// The Qt-side services offscreen, with no sound server, tray host or system
// bus: cue playback rules, file playback, the shell, tray clicks, message
// boxes and the hot key's soft failure.
#include <signal.h>

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <memory>
#include <string>
#include <vector>

#include "platform/cue_synth.h"
#include "platform/desktop_shell.h"
#include "platform/linux_platform.h"
#include "platform/module_sound.h"
#include "platform/qt_messages.h"
#include "platform/qt_sound.h"
#include "platform/qt_tray.h"
#include "platform/sound_cues.h"
#include "platform/x11_hot_key.h"
#include "support/message_boxes.h"

namespace mirokata {
namespace {

// Records what would have gone to the sound card.
class RecordingOutput : public PcmOutput {
 public:
  explicit RecordingOutput(std::vector<std::string>* log) : log_(log) {}
  void Play(const CuePcm& cue) override { log_->push_back("play " + cue.name); }
  void Stop() override { log_->push_back("stop"); }

 private:
  std::vector<std::string>* log_;
};

bool WriteCueFile(const QString& path, const char* cue) {
  const std::vector<std::uint8_t> wav = SynthesizeCue(cue);
  QFile f(path);
  return f.open(QIODevice::WriteOnly) &&
         f.write(reinterpret_cast<const char*>(wav.data()),
                 qint64(wav.size())) == qint64(wav.size());
}

}  // namespace

class QtServicesTest : public QObject {
  Q_OBJECT

 private slots:
  void CueLibraryHoldsEveryCueFromTheResource() {
    CueLibrary library;
    QCOMPARE(library.cues().size(), CueNames().size());
    for (const std::string& name : CueNames()) {
      const CuePcm* cue = library.Find(name);
      QVERIFY2(cue != nullptr, name.c_str());
      const CueFormat* format = FindCueFormat(name);
      QCOMPARE(cue->sample_rate, format->sample_rate);
      QCOMPARE(cue->bits, format->bits);
      QVERIFY(qAbs(cue->duration_ms - format->length_ms) <= 2);
    }
    QVERIFY(library.Find("OPE") == library.Find("ope"));
    QVERIFY(library.Find("Pk") != nullptr);
    QVERIFY(library.Find("ope ") == nullptr);
    QVERIFY(library.Find("") == nullptr);
  }

  void CuesPlayByNameAndUnknownNamesStaySilent() {
    std::vector<std::string> log;
    QtSound sound(std::make_unique<RecordingOutput>(&log));
    sound.PlayCue("OPE");
    sound.PlayCue("nosuchcue");
    sound.PlayCue("c1");
    // Each cue stops whatever still sounds: the second cuts the first off.
    QCOMPARE(log,
             (std::vector<std::string>{"stop", "play ope", "stop", "play c1"}));
  }

  void SequencePlaysInOrderThenCallsDoneOnce() {
    std::vector<std::string> log;
    QtSound sound(std::make_unique<RecordingOutput>(&log));
    int done = 0;
    sound.PlayCueSequence({{"p1", 10}, {"", 30}, {"P2", 10}, {"bogus", 0}},
                          [&] { ++done; });
    // The first tone starts at once, the rest wait for the timer.
    QCOMPARE(log, (std::vector<std::string>{"stop", "play p1"}));
    QCOMPARE(done, 0);
    QTRY_COMPARE_WITH_TIMEOUT(done, 1, 5000);
    // An unknown name falls back to the silent "pn".
    QCOMPARE(log, (std::vector<std::string>{"stop", "play p1", "stop",
                                            "play p2", "stop", "play pn"}));
    QTest::qWait(50);
    QCOMPARE(done, 1);
  }

  void NewCueOrSequenceCancelsTheRunningSequence() {
    std::vector<std::string> log;
    QtSound sound(std::make_unique<RecordingOutput>(&log));
    int first_done = 0, second_done = 0;
    sound.PlayCueSequence({{"p1", 1000}, {"p2", 0}}, [&] { ++first_done; });
    sound.PlayCueSequence({{"p3", 0}}, [&] { ++second_done; });
    QCOMPARE(first_done, 1);
    sound.PlayCue("c1");
    QCOMPARE(second_done, 1);
    QTest::qWait(1300);
    QCOMPARE(first_done, 1);
    QCOMPARE(second_done, 1);
    QCOMPARE(log, (std::vector<std::string>{"stop", "play p1", "stop",
                                            "play p3", "stop", "play c1"}));
  }

  // No sound server here: the real audio path must neither block nor fail.
  void RealOutputWithoutAudioDeviceIsQuickAndSilent() {
    QtSound sound;
    QElapsedTimer timer;
    timer.start();
    for (int round = 0; round < 3; ++round) {
      for (const std::string& name : CueNames()) sound.PlayCue(name);
    }
    bool done = false;
    SoundCues cues(sound, [] { return true; });
    cues.PlayDialTones("1#", 0, [&] { done = true; });
    QTRY_VERIFY_WITH_TIMEOUT(done, 5000);
    qInfo("66 cues and a dialled number took %lld ms", timer.elapsed());
  }

  void FilePlaybackReplacesThePreviousFile() {
    QTemporaryDir dir;
    const QString a = dir.filePath("a.wav"), b = dir.filePath("b.WAV");
    QVERIFY(WriteCueFile(a, "sav"));
    QVERIFY(WriteCueFile(b, "rml"));
    QtSound sound;
    QVERIFY(!sound.PlayFile(dir.filePath("missing.wav").toStdString()));
    QVERIFY(!sound.PlayFile(dir.path().toStdString()));  // a folder
    QVERIFY(sound.current_file().empty());
    QVERIFY(sound.PlayFile(a.toStdString()));
    QCOMPARE(sound.current_file(), a.toStdString());
    QVERIFY(sound.PlayFile(b.toStdString()));
    QCOMPARE(sound.current_file(), b.toStdString());
    // Not a sound at all: accepted, and the backend's error stays quiet.
    const QString junk = dir.filePath("junk.mid");
    QFile f(junk);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write("not midi");
    f.close();
    QVERIFY(sound.PlayFile(junk.toStdString()));
    QTest::qWait(200);
    sound.StopFile();
    QVERIFY(sound.current_file().empty());
    // Left playing for a while and then destroyed: the media backend used to
    // crash here when there was no audio device.
    {
      QtSound other;
      QVERIFY(other.PlayFile(a.toStdString()));
      QTest::qWait(600);
    }
  }

  // The program's sound comes from the module built beside it, loaded at
  // the first use or when asked; a missing module leaves it silent.
  void ModuleSoundLoadsOnceAndStaysSilentWithoutItsModule() {
    QTemporaryDir dir;
    const QString wav = dir.filePath("a.wav");
    QVERIFY(WriteCueFile(wav, "sav"));

    ModuleSound real(ModuleFolder() + "/mirokata_sound.so");
    QVERIFY(!real.tried());
    QVERIFY(real.PlayFile(wav.toStdString()));
    QVERIFY(real.tried());
    QVERIFY2(real.error().empty(), real.error().c_str());
    real.StopFile();
    bool done = false;
    real.PlayCueSequence({{"c1", 10}}, [&] { done = true; });
    QTRY_VERIFY_WITH_TIMEOUT(done, 5000);

    ModuleSound missing(dir.filePath("none.so").toStdString());
    missing.Load();
    QVERIFY(!missing.error().empty());
    missing.PlayCue("c1");
    QVERIFY(missing.PlayFile(wav.toStdString()));
    QVERIFY(!missing.PlayFile(dir.filePath("gone.wav").toStdString()));
    int ended = 0;
    missing.PlayCueSequence({{"c1", 0}}, [&] { ++ended; });
    QCOMPARE(ended, 0);  // never inside the call
    QTRY_COMPARE(ended, 1);

    // Any library that lacks the entry point is refused, not called.
    ModuleSound wrong("libm.so.6");
    wrong.Load();
    QVERIFY(!wrong.error().empty());
  }

  void MidiGoesToASynthesiserWhichTheNextFileStops() {
    QTemporaryDir bin;
    QTemporaryDir dir;
    const QString log = dir.filePath("args");
    QFile fake(bin.filePath("timidity"));
    QVERIFY(fake.open(QIODevice::WriteOnly));
    fake.write(
        QStringLiteral("#!/bin/sh\necho $$ \"$@\" > '%1'\nexec sleep 30\n")
            .arg(log)
            .toUtf8());
    fake.close();
    fake.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    const QByteArray old_path = qgetenv("PATH");
    qputenv("PATH", bin.path().toUtf8() + ":" + old_path);
    const QString midi = dir.filePath("tune.MID"), wav = dir.filePath("a.wav");
    QFile(midi).open(QIODevice::WriteOnly);
    QVERIFY(WriteCueFile(wav, "sav"));

    QtSound sound;
    QVERIFY(sound.PlayFile(midi.toStdString()));
    QTRY_VERIFY_WITH_TIMEOUT(QFileInfo(log).size() > 0, 5000);
    QFile args(log);
    QVERIFY(args.open(QIODevice::ReadOnly));
    const QStringList words =
        QString::fromUtf8(args.readAll()).trimmed().split(' ');
    QCOMPARE(words.mid(1), (QStringList{"-idqq", midi}));
    const pid_t pid = words[0].toInt();
    QVERIFY(::kill(pid, 0) == 0);
    QVERIFY(sound.PlayFile(wav.toStdString()));  // replaces the MIDI file
    QTRY_VERIFY_WITH_TIMEOUT(::kill(pid, 0) != 0, 5000);
    qputenv("PATH", old_path);
    QVERIFY(QtSound::IsMidiFile("x.midi") && QtSound::IsMidiFile("X.Kar"));
    QVERIFY(!QtSound::IsMidiFile("x.wav") && !QtSound::IsMidiFile("mid"));
  }

  // Arguments reach the program as they are: a shell would have run the
  // command substitutions and split at ";".
  void ProgramsStartWithoutAShell() {
    QTemporaryDir dir;
    DesktopShell shell;
    const std::vector<std::string> names = {"a b; touch pwned1",
                                            "$(touch pwned2)", "`touch pwned3`",
                                            "*", "日本語 ﾒﾓ"};
    QVERIFY(shell.StartProgram("touch", names, dir.path().toStdString()));
    for (const std::string& n : names) {
      QTRY_VERIFY_WITH_TIMEOUT(
          QFile::exists(dir.filePath(QString::fromStdString(n))), 5000);
    }
    QVERIFY(shell.Open("/usr/bin/touch", "\"x y\" $HOME|z",
                       dir.path().toStdString()));
    QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(dir.filePath("x y")), 5000);
    QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(dir.filePath("$HOME|z")), 5000);
    QTest::qWait(100);
    const QStringList all = QDir(dir.path()).entryList(QDir::Files);
    for (const QString& f : all)
      QVERIFY2(!f.startsWith("pwned"), qPrintable(f));
    QCOMPARE(all.size(), int(names.size()) + 2);
  }

  void DesktopEntriesStartTheirProgram() {
    QTemporaryDir dir;
    const QString entry = dir.filePath("Touch.desktop");
    QFile f(entry);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(QStringLiteral("[Desktop Entry]\nType=Application\nName=t\n"
                           "Exec=touch made-by-entry %F\nPath=%1\n")
                .arg(dir.path())
                .toUtf8());
    f.close();
    DesktopShell shell;
    QVERIFY(shell.Open(entry.toStdString(), "\"second file\"", ""));
    QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(dir.filePath("made-by-entry")),
                             5000);
    QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(dir.filePath("second file")), 5000);
    QFile bad(dir.filePath("bad.DESKTOP"));
    QVERIFY(bad.open(QIODevice::WriteOnly));
    bad.write("[Desktop Entry]\nType=Application\n");
    bad.close();
    QVERIFY(!shell.Open(bad.fileName().toStdString(), "", ""));
  }

  void ShellRefusesWhatCannotBeStarted() {
    QTemporaryDir dir;
    DesktopShell shell;
    QVERIFY(!shell.StartProgram("no-such-program-here", {}, ""));
    QVERIFY(!shell.StartProgram(dir.filePath("nothing").toStdString(), {}, ""));
    QVERIFY(!shell.Open("", "", ""));
    QVERIFY(!shell.Open(dir.filePath("missing.txt").toStdString(), "", ""));
    QVERIFY(!shell.OpenDocument(dir.filePath("missing.txt").toStdString()));
    // A working folder that is gone does not stop the program.
    QVERIFY(shell.StartProgram("true", {}, "/no/such/folder"));
    QCOMPARE(DesktopShell::ResolveProgram("sh"), std::string("/usr/bin/sh"));
    QVERIFY(DesktopShell::ResolveProgram("/etc/passwd").empty());

    struct Case {
      const char* text;
      bool address;
    };
    const Case cases[] = {
        {"https://example.org/", true},
        {"mailto:a@example.org", true},
        {"file:///tmp/x", true},
        {"C:\\x.exe", false},
        {"/usr/bin/x", false},
        {"notes.txt", false},
        {"x+y.z-1:rest", true},
        {":x", false},
        {"1abc:x", false},
        {"http", false},
    };
    for (const Case& c : cases) {
      QVERIFY2(DesktopShell::IsAddress(c.text) == c.address, c.text);
    }
  }

  void TrayClickWaitsOutADoubleClickOnlyWhereOneIsHandled() {
    QtTray tray;
    int calendar_clicks = 0, memo_clicks = 0, memo_doubles = 0, rights = 0;
    tray.OnClick(TrayIconId::kCalendar, [&] { ++calendar_clicks; });
    tray.OnRightClick(TrayIconId::kCalendar, [&] { ++rights; });
    tray.OnClick(TrayIconId::kMemo, [&] { ++memo_clicks; });
    tray.OnDoubleClick(TrayIconId::kMemo, [&] { ++memo_doubles; });

    tray.Activate(TrayIconId::kCalendar, QSystemTrayIcon::Trigger);
    QCOMPARE(calendar_clicks, 1);  // no double click to wait for
    tray.Activate(TrayIconId::kCalendar, QSystemTrayIcon::Context);
    QCOMPARE(rights, 1);

    // A double click arrives as a click and then a double click.
    tray.Activate(TrayIconId::kMemo, QSystemTrayIcon::Trigger);
    tray.Activate(TrayIconId::kMemo, QSystemTrayIcon::DoubleClick);
    QCOMPARE(memo_doubles, 1);
    QTest::qWait(QApplication::doubleClickInterval() + 150);
    QCOMPARE(memo_clicks, 0);
    // A lone click comes through once the double-click time is over.
    tray.Activate(TrayIconId::kMemo, QSystemTrayIcon::Trigger);
    QCOMPARE(memo_clicks, 0);
    QTRY_COMPARE(memo_clicks, 1);
  }

  void TrayWorksWithoutATrayHost() {
    QtTray tray;
    tray.SetHint(TrayIconId::kCalendar,
                 "左クリック：ランチャーメニュー／右クリック：基本メニュー");
    tray.SetVisible(TrayIconId::kCalendar, true);
    tray.SetVisible(TrayIconId::kMemo, false);
    QVERIFY(tray.IsVisible(TrayIconId::kCalendar));
    QVERIFY(!tray.IsVisible(TrayIconId::kMemo));
    QCOMPARE(tray.icon(TrayIconId::kCalendar)->toolTip(),
             QStringLiteral(
                 "左クリック：ランチャーメニュー／右クリック：基本メニュー"));
    QVERIFY(!tray.icon(TrayIconId::kCalendar)->icon().isNull());
    Q_UNUSED(tray.Available());
  }

  void MessageBoxesCarryTheRequest() {
    MessageRequest request(MessageKind::kQuestion, "削除しますか？\r二行目",
                           MessageButtons::kYesNo);
    request.default_answer = MessageAnswer::kNo;
    std::unique_ptr<QMessageBox> box(BuildMessageBox(request));
    QCOMPARE(box->text(), QStringLiteral("削除しますか？\n二行目"));
    QCOMPARE(box->windowTitle(), QStringLiteral("Mirokata"));
    QCOMPARE(box->icon(), QMessageBox::Question);
    QCOMPARE(box->buttons().size(), 2);
    QCOMPARE(box->defaultButton()->text(), QStringLiteral("いいえ(&N)"));
    QCOMPARE(AnswerOf(*box, request), MessageAnswer::kNo);  // closed unanswered

    MessageRequest ok(MessageKind::kError, "x");
    ok.title = "保存";
    std::unique_ptr<QMessageBox> ok_box(BuildMessageBox(ok));
    QCOMPARE(ok_box->windowTitle(), QStringLiteral("保存"));
    QCOMPARE(ok_box->icon(), QMessageBox::Critical);
    QCOMPARE(ok_box->buttons().size(), 1);
    QCOMPARE(AnswerOf(*ok_box, ok), MessageAnswer::kOk);
  }

  // Every kind of box: its buttons in order, the one Enter presses, what
  // each button and closing the box answer.
  void EveryButtonKindAnswersWithItsButtons() {
    struct Case {
      MessageButtons buttons;
      MessageAnswer default_asked;
      QStringList texts;
      QString default_text;
      MessageAnswer closed;
    };
    const QString yes = QStringLiteral("はい(&Y)"),
                  no = QStringLiteral("いいえ(&N)"),
                  cancel = QStringLiteral("キャンセル"), ok = "OK";
    const Case cases[] = {
        {MessageButtons::kOk,
         MessageAnswer::kYes,
         {ok},
         ok,
         MessageAnswer::kOk},
        {MessageButtons::kYesNo,
         MessageAnswer::kNo,
         {yes, no},
         no,
         MessageAnswer::kNo},
        {MessageButtons::kYesNoCancel,
         MessageAnswer::kYes,
         {yes, no, cancel},
         yes,
         MessageAnswer::kCancel},
        {MessageButtons::kYesNoCancel,
         MessageAnswer::kCancel,
         {yes, no, cancel},
         cancel,
         MessageAnswer::kCancel},
        {MessageButtons::kOkCancel,
         MessageAnswer::kYes,
         {ok, cancel},
         ok,
         MessageAnswer::kCancel},
        {MessageButtons::kCancel,
         MessageAnswer::kYes,
         {cancel},
         cancel,
         MessageAnswer::kCancel},
    };
    for (const Case& c : cases) {
      MessageRequest request(MessageKind::kQuestion, "q", c.buttons);
      request.default_answer = c.default_asked;
      std::unique_ptr<QMessageBox> box(BuildMessageBox(request));
      QStringList texts;
      for (QAbstractButton* b : box->buttons()) texts << b->text();
      // QMessageBox lays its buttons out by role: compare them as a set.
      texts.sort();
      QStringList expected = c.texts;
      expected.sort();
      QCOMPARE(texts, expected);
      QCOMPARE(box->defaultButton()->text(), c.default_text);
      QCOMPARE(box->escapeButton()->text(),
               c.texts.at(int(c.texts.size()) - 1));
      QCOMPARE(AnswerOf(*box, request), c.closed);
      const std::vector<MessageAnswer> answers = AnswersOf(c.buttons);
      QCOMPARE(answers.size(), size_t(c.texts.size()));
      for (size_t i = 0; i < answers.size(); ++i) {
        std::unique_ptr<QMessageBox> again(BuildMessageBox(request));
        for (QAbstractButton* b : again->buttons()) {
          if (b->text() == c.texts.at(int(i))) b->click();
        }
        QCOMPARE(AnswerOf(*again, request), answers[i]);
      }
    }
  }

  void BoxesStandAtTheNamedWindowsCornerAndOnTopWhenAsked() {
    QWidget window;
    window.setGeometry(213, 147, 200, 100);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    const QPoint corner = window.frameGeometry().topLeft();
    QtMessages messages;
    MessageRequest by_widget(MessageKind::kQuestion, "角に",
                             MessageButtons::kYesNo);
    by_widget.corner_of = &window;
    by_widget.stay_on_top = true;
    messages.Ask(by_widget, {});
    QMessageBox* box = nullptr;
    QTRY_VERIFY((box = FindShownMessageBox("角に")) != nullptr);
    QCOMPARE(box->frameGeometry().topLeft(), corner);
    QVERIFY(box->windowFlags() & Qt::WindowStaysOnTopHint);
    box->reject();

    MessageRequest by_id(MessageKind::kInformation, "番号で");
    by_id.corner_of_window = window.winId();
    messages.ShowNotice(by_id);
    QTRY_VERIFY((box = FindShownMessageBox("番号で")) != nullptr);
    QCOMPARE(box->frameGeometry().topLeft(), corner);
    QVERIFY(!(box->windowFlags() & Qt::WindowStaysOnTopHint));
    box->reject();

    // A window id that names nothing leaves the box where it would be.
    MessageRequest nowhere(MessageKind::kInformation, "x");
    nowhere.corner_of_window = 0x7fffffff;
    std::unique_ptr<QMessageBox> plain(BuildMessageBox(nowhere));
    QVERIFY(!plain->testAttribute(Qt::WA_Moved));
  }

  void AskReturnsAtOnceAndAnswersLater() {
    QtMessages messages;
    MessageAnswer answer = MessageAnswer::kOk;
    int calls = 0;
    messages.Ask(MessageRequest(MessageKind::kQuestion, "続けますか？",
                                MessageButtons::kYesNo),
                 [&](MessageAnswer a) {
                   answer = a;
                   ++calls;
                 });
    QCOMPARE(calls, 0);
    QMessageBox* box = nullptr;
    QTRY_VERIFY((box = FindShownMessageBox("続けますか？")) != nullptr);
    for (QAbstractButton* b : box->buttons()) {
      if (box->buttonRole(b) == QMessageBox::YesRole) b->click();
    }
    QTRY_COMPARE(calls, 1);
    QCOMPARE(answer, MessageAnswer::kYes);

    messages.ShowNotice(MessageRequest(MessageKind::kInformation, "お知らせ"));
    QTRY_VERIFY((box = FindShownMessageBox("お知らせ")) != nullptr);
    QVERIFY(!box->isModal());
    box->buttons().first()->click();
    QTRY_VERIFY(FindShownMessageBox("お知らせ") == nullptr);
  }

  void HotKeyFailsSoftWithoutX11() {
    X11HotKey hot_key;
    bool pressed = false;
    QVERIFY(
        !hot_key.Register(HotKeyChord::kSuperSpace, [&] { pressed = true; }));
    hot_key.Unregister();
    QCOMPARE(HotKeyChordFromSetting(0), HotKeyChord::kSuperSpace);
    QCOMPARE(HotKeyChordFromSetting(1), HotKeyChord::kCtrlSpace);
    QCOMPARE(HotKeyChordFromSetting(-3), HotKeyChord::kCtrlSpace);
  }

  void FactoryBuildsEveryService() {
    PlatformServices services = MakeLinuxPlatform();
    QVERIFY(services.clock && services.uptime && services.messages &&
            services.sound && services.shell && services.hot_key &&
            services.tray && services.screen && services.power);
    const ScreenRect available = services.screen->AvailableGeometry();
    QVERIFY(available.width > 0 && available.height > 0);
    const ScreenRect full = services.screen->Geometry();
    QVERIFY(full.width >= available.width);
    const ScreenRect at = services.screen->AvailableGeometryAt(-10000, -10000);
    QCOMPARE(at.width, available.width);
  }
};

}  // namespace mirokata

QTEST_MAIN(mirokata::QtServicesTest)
#include "qt_services_test.moc"
