#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <atomic>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "picture/jpeg_jobs.h"
#include "platform/file_io.h"
#include "platform/testing/fake_messages.h"

namespace mirokata {
namespace {

RgbPicture Picture(int width, int height) {
  RgbPicture p{width, height, {}};
  p.rgb.reserve(static_cast<size_t>(width) * height * 3);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      p.rgb.push_back(static_cast<uint8_t>(x));
      p.rgb.push_back(static_cast<uint8_t>(y));
      p.rgb.push_back(static_cast<uint8_t>(x ^ y));
    }
  }
  return p;
}

}  // namespace

class JpegJobsTest : public QObject {
  Q_OBJECT

 private:
  std::string Path(const char* name) {
    return dir_.filePath(name).toStdString();
  }
  std::string WriteJpeg(const char* name, int width, int height) {
    std::string path = Path(name);
    EncodeJpegFile(Picture(width, height), path);
    return path;
  }

  QTemporaryDir dir_;

 private slots:
  // Two pictures asked for at once are decoded one after the other; the
  // flag is up exactly while one runs and nothing starts inside the caller.
  void SecondDecodeWaitsForTheFirst() {
    const std::string big = WriteJpeg("big.jpg", 1200, 900);
    const std::string small = WriteJpeg("small.JPG", 40, 30);
    FakeMessages messages;
    JpegJobs jobs(&messages);
    std::vector<std::string> events;
    connect(&jobs, &JpegJobs::Started, this,
            [&](int id, JpegJobKind, bool window) {
              events.push_back("start " + std::to_string(id) +
                               (window ? " window" : " bar"));
              QCOMPARE(jobs.JpegBusyFlag(), 1);
            });
    connect(&jobs, &JpegJobs::Finished, this,
            [&](int id) { events.push_back("finish " + std::to_string(id)); });
    std::vector<int> widths;
    int first = jobs.Decode({big, false, true}, this,
                            [&](std::optional<IndexedPicture> p) {
                              QVERIFY(p.has_value());
                              QCOMPARE(jobs.JpegBusyFlag(), 0);
                              widths.push_back(p->width);
                            });
    int second = jobs.Decode({small, true, false}, this,
                             [&](std::optional<IndexedPicture> p) {
                               QVERIFY(p.has_value());
                               widths.push_back(p->width);
                             });
    QCOMPARE(jobs.JpegBusyFlag(), 0);
    QCOMPARE(jobs.queued(), size_t{2});
    QTRY_COMPARE(widths.size(), size_t{2});
    QCOMPARE(widths, (std::vector<int>{1200, 40}));
    const std::string a = std::to_string(first), b = std::to_string(second);
    QCOMPARE(events,
             (std::vector<std::string>{"start " + a + " window", "finish " + a,
                                       "start " + b + " bar", "finish " + b}));
    QCOMPARE(jobs.JpegBusyFlag(), 0);
    QVERIFY(messages.shown().empty());
  }

  void DamagedFileAsksWhetherToStop() {
    std::string good;
    QVERIFY(EncodeJpeg(Picture(64, 64), &good).ok);
    const std::string path = Path("cut.jpg");
    QVERIFY(WriteFileAtomic(path, good.substr(0, good.size() / 2), 0644));
    for (MessageAnswer answer : {MessageAnswer::kYes, MessageAnswer::kNo}) {
      FakeMessages messages;
      messages.QueueAnswer(answer);
      JpegJobs jobs(&messages);
      QSignalSpy problems(&jobs, &JpegJobs::Problem);
      bool done = false;
      std::optional<IndexedPicture> picture;
      jobs.Decode({path}, this, [&](std::optional<IndexedPicture> p) {
        done = true;
        picture = std::move(p);
      });
      QTRY_VERIFY(jobs.busy() || done);
      // The question is asked without waiting; the flag stays up until it
      // is answered.
      QTRY_COMPARE(messages.shown().size(), size_t{1});
      QVERIFY(!done);
      QCOMPARE(jobs.JpegBusyFlag(), 1);
      QCOMPARE(problems.count(), 1);
      const MessageRequest& asked = messages.shown()[0].request;
      QCOMPARE(asked.kind, MessageKind::kQuestion);
      QCOMPARE(asked.buttons, MessageButtons::kYesNo);
      QVERIFY(asked.stay_on_top);  // above the popup and the progress box
      QCOMPARE(asked.text, JpegErrorQuestion("Premature end of JPEG file"));
      QCOMPARE(asked.text, std::string("Premature end of JPEG file\n\n"
                                       "エラーです。\n処理を中断しますか？"));
      messages.AnswerPending();
      QVERIFY(done);
      QCOMPARE(jobs.JpegBusyFlag(), 0);
      // Yes stops: no picture. No goes on with the damaged picture.
      QCOMPARE(picture.has_value(), answer == MessageAnswer::kNo);
      if (picture) QCOMPARE(picture->width, 64);
    }
  }

  void UnreadableFileGivesAMessage() {
    const std::string path = Path("bad.jpg");
    QVERIFY(WriteFileAtomic(path, "not a picture at all", 0644));
    FakeMessages messages;
    JpegJobs jobs(&messages);
    bool done = false;
    jobs.Decode({path}, this, [&](std::optional<IndexedPicture> p) {
      QVERIFY(!p.has_value());
      done = true;
    });
    QTRY_VERIFY(done);
    QCOMPARE(messages.shown().size(), size_t{1});
    QVERIFY(!messages.shown()[0].modal);
    QCOMPARE(messages.shown()[0].request.kind, MessageKind::kError);
    QVERIFY(messages.shown()[0].request.stay_on_top);
    const std::string& text = messages.shown()[0].request.text;
    QVERIFY(text.rfind("Not a JPEG file", 0) == 0);
    QVERIFY(text.find("エラーです。") != std::string::npos);
  }

  // A window that closes (or changes its mind) before its picture is ready
  // gets no callback, and a cancelled running job stops.
  void GoneReceiversAndCancelledJobsGetNothing() {
    const std::string path = WriteJpeg("p.jpg", 800, 600);
    FakeMessages messages;
    JpegJobs jobs(&messages);
    auto receiver = std::make_unique<QObject>();
    int calls = 0;
    jobs.Decode({path}, receiver.get(),
                [&](std::optional<IndexedPicture>) { ++calls; });
    int queued = jobs.Decode({path}, this,
                             [&](std::optional<IndexedPicture>) { ++calls; });
    jobs.Cancel(queued);
    std::optional<IndexedPicture> stopped = IndexedPicture{};
    int running = jobs.Decode(
        {path}, this, [&](std::optional<IndexedPicture> p) { stopped = p; });
    receiver.reset();
    QTRY_VERIFY(jobs.busy());
    jobs.Cancel(running);
    QTRY_VERIFY(!jobs.busy() && jobs.queued() == 0);
    QTest::qWait(20);
    QCOMPARE(calls, 0);
    QVERIFY(!stopped.has_value());
    QVERIFY(messages.shown().empty());
  }

  // Other disk work runs on the worker in turn with the JPEG work, without
  // the busy flag or a progress window; its `done` comes back on this
  // thread, and not for a receiver that has gone.
  void FileWorkRunsOnTheWorkerInTurn() {
    const std::string big = WriteJpeg("turn.jpg", 1200, 900);
    FakeMessages messages;
    JpegJobs jobs(&messages);
    std::vector<std::string> events;
    std::vector<bool> windows;
    std::vector<int> flags;
    connect(&jobs, &JpegJobs::Started, this,
            [&](int, JpegJobKind, bool window) {
              windows.push_back(window);
              flags.push_back(jobs.JpegBusyFlag());
            });
    jobs.Decode({big}, this, [&](std::optional<IndexedPicture>) {
      events.push_back("decoded");
    });
    const std::thread::id ui = std::this_thread::get_id();
    std::atomic<bool> on_worker{false};
    jobs.RunFileWork(
        [&] { on_worker = std::this_thread::get_id() != ui; }, this,
        [&] {
          events.push_back(std::this_thread::get_id() == ui ? "done on ui"
                                                            : "done elsewhere");
        });
    auto gone = std::make_unique<QObject>();
    jobs.RunFileWork({}, gone.get(), [&] { events.push_back("gone"); });
    gone.reset();
    QTRY_COMPARE(events.size(), size_t{2});
    QTRY_VERIFY(!jobs.busy() && jobs.queued() == 0);
    QCOMPARE(events, (std::vector<std::string>{"decoded", "done on ui"}));
    QVERIFY(on_worker);
    QCOMPARE(windows, (std::vector<bool>{true, false}));
    QCOMPARE(flags, (std::vector<int>{1, 0}));
  }

  void EncodeReplacesTheFile() {
    const std::string path = Path("out.jpg");
    QVERIFY(WriteFileAtomic(path, "old", 0644));
    FakeMessages messages;
    JpegJobs jobs(&messages);
    std::optional<bool> written;
    QSignalSpy started(&jobs, &JpegJobs::Started);
    jobs.Encode(Picture(50, 20), path, this, [&](bool ok) { written = ok; });
    QTRY_VERIFY(written.has_value());
    QVERIFY(*written);
    QCOMPARE(started.at(0).at(1).value<JpegJobKind>(), JpegJobKind::kWrite);
    JpegDecodeResult back = DecodeJpegFile(path);
    QCOMPARE(back.picture.width, 50);
    QCOMPARE(back.picture.height, 20);

    written.reset();
    jobs.Encode(Picture(5, 5), Path("missing/out.jpg"), this,
                [&](bool ok) { written = ok; });
    QTRY_VERIFY(written.has_value());
    QVERIFY(!*written);
    QCOMPARE(messages.shown().size(), size_t{1});
  }
};

}  // namespace mirokata

QTEST_GUILESS_MAIN(mirokata::JpegJobsTest)
#include "jpeg_jobs_uitest.moc"
