// The program's one queue of JPEG work and its JpegBusyFlag.
//
// JPEG files are decoded and encoded one at a time, on a worker thread, so
// the user-interface thread never waits: a request made while another runs
// is queued and starts when the running one has finished; results come back
// on the thread that owns this object. The main window owns the instance;
// every window that reads or writes JPEG files goes through it.
#ifndef MIROKATA_PICTURE_JPEG_JOBS_H_
#define MIROKATA_PICTURE_JPEG_JOBS_H_

#include <QObject>
#include <QPointer>
#include <atomic>
#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <thread>

#include "picture/jpeg_codec.h"

namespace mirokata {

class Messages;

// kFile: other disk work of the pictures (a bitmap read, the wallpaper
// file), queued in turn with the JPEG work but raising no JpegBusyFlag.
enum class JpegJobKind { kRead, kWrite, kFile };

class JpegJobs : public QObject {
  Q_OBJECT

 public:
  using DecodeDone = std::function<void(std::optional<IndexedPicture>)>;
  using EncodeDone = std::function<void(bool written)>;
  using FileWork = std::function<void()>;
  using FileDone = std::function<void()>;

  struct DecodeRequest {
    std::string path;
    // The fast inverse transform, for previews.
    bool fast = false;
    // Show the progress window; the picture chooser shows its own bar.
    bool progress_window = true;
  };

  // Errors are reported through `messages` (which must outlive this), never
  // with a box that waits.
  explicit JpegJobs(Messages* messages, QObject* parent = nullptr);
  // Stops the running job and waits for its thread; queued jobs are dropped
  // without their callbacks.
  ~JpegJobs() override;

  // Queues a decode and returns its id. `done` runs on this object's thread
  // with the picture, or nullopt when there is none (error, stopped,
  // cancelled); it is not called once `receiver` is destroyed.
  int Decode(DecodeRequest request, QObject* receiver, DecodeDone done);
  // Queues an encode at quality 100 that replaces `path` atomically.
  int Encode(RgbPicture picture, std::string path, QObject* receiver,
             EncodeDone done, bool progress_window = true);

  // Queues disk work that must not run on the user-interface thread.
  // `work` runs on the worker (no widgets, no settings: it fills what its
  // `done` reads); `done` runs afterwards on this object's thread, never
  // once `receiver` is destroyed. No progress window, no JpegBusyFlag.
  int RunFileWork(FileWork work, QObject* receiver, FileDone done);

  // A queued job is dropped (no callback); the running one is stopped and
  // reports nullopt / false (file work runs to its end, without `done`).
  void Cancel(int id);

  // JpegBusyFlag: 1 exactly while a decode or encode runs.
  int JpegBusyFlag() const {
    return running_ && running_->kind != JpegJobKind::kFile ? 1 : 0;
  }
  // The worker is running any job.
  bool busy() const { return running_ != nullptr; }
  size_t queued() const { return queue_.size(); }

 signals:
  void Started(int id, mirokata::JpegJobKind kind, bool progress_window);
  void Progress(int id, int percent);
  // Before the error question or message: the busy cursor and the
  // progress window should go.
  void Problem(int id);
  void Finished(int id);

 private:
  struct Job {
    int id = 0;
    JpegJobKind kind = JpegJobKind::kRead;
    DecodeRequest decode;
    RgbPicture picture;
    std::string path;
    bool progress_window = true;
    QPointer<QObject> receiver;
    bool has_receiver = false;
    DecodeDone decode_done;
    EncodeDone encode_done;
    FileWork file_work;
    FileDone file_done;
    std::shared_ptr<std::atomic<bool>> stop =
        std::make_shared<std::atomic<bool>>(false);
  };

  void StartNext();
  void OnDecoded(int id, JpegDecodeResult result);
  void FinishDecode(int id, std::optional<IndexedPicture> picture);
  void OnEncoded(int id, JpegEncodeResult result);
  void OnFileWorkDone(int id);
  void ReportError(int id, const std::string& library_message);
  int Queue(std::unique_ptr<Job> job, QObject* receiver);
  void Release();
  bool ReceiverGone(const Job& job) const;

  Messages* messages_;
  int next_id_ = 1;
  std::deque<std::unique_ptr<Job>> queue_;
  std::unique_ptr<Job> running_;
  std::thread worker_;
};

// The texts of the error question and message, exposed for tests.
std::string JpegErrorQuestion(const std::string& library_message);
std::string JpegErrorMessage(const std::string& library_message);

}  // namespace mirokata

#endif  // MIROKATA_PICTURE_JPEG_JOBS_H_
