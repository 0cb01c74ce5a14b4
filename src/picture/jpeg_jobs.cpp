#include "picture/jpeg_jobs.h"

#include <utility>

#include "platform/messages.h"

namespace mirokata {

std::string JpegErrorQuestion(const std::string& library_message) {
  return library_message + "\n\nエラーです。\n処理を中断しますか？";
}

std::string JpegErrorMessage(const std::string& library_message) {
  return library_message + "\n\nエラーです。";
}

JpegJobs::JpegJobs(Messages* messages, QObject* parent)
    : QObject(parent), messages_(messages) {}

JpegJobs::~JpegJobs() {
  if (running_) running_->stop->store(true);
  if (worker_.joinable()) worker_.join();
}

int JpegJobs::Queue(std::unique_ptr<Job> job, QObject* receiver) {
  job->id = next_id_++;
  job->receiver = receiver;
  job->has_receiver = receiver != nullptr;
  const int id = job->id;
  queue_.push_back(std::move(job));
  // Deferred, never run inside the caller: the caller may be the tick.
  QMetaObject::invokeMethod(this, &JpegJobs::StartNext, Qt::QueuedConnection);
  return id;
}

int JpegJobs::Decode(DecodeRequest request, QObject* receiver,
                     DecodeDone done) {
  auto job = std::make_unique<Job>();
  job->kind = JpegJobKind::kRead;
  job->progress_window = request.progress_window;
  job->decode = std::move(request);
  job->decode_done = std::move(done);
  return Queue(std::move(job), receiver);
}

int JpegJobs::Encode(RgbPicture picture, std::string path, QObject* receiver,
                     EncodeDone done, bool progress_window) {
  auto job = std::make_unique<Job>();
  job->kind = JpegJobKind::kWrite;
  job->picture = std::move(picture);
  job->path = std::move(path);
  job->progress_window = progress_window;
  job->encode_done = std::move(done);
  return Queue(std::move(job), receiver);
}

int JpegJobs::RunFileWork(FileWork work, QObject* receiver, FileDone done) {
  auto job = std::make_unique<Job>();
  job->kind = JpegJobKind::kFile;
  job->progress_window = false;
  job->file_work = std::move(work);
  job->file_done = std::move(done);
  return Queue(std::move(job), receiver);
}

void JpegJobs::Cancel(int id) {
  if (running_ && running_->id == id) {
    running_->stop->store(true);
    return;
  }
  for (auto it = queue_.begin(); it != queue_.end(); ++it) {
    if ((*it)->id == id) {
      queue_.erase(it);
      return;
    }
  }
}

bool JpegJobs::ReceiverGone(const Job& job) const {
  return job.has_receiver && job.receiver.isNull();
}

void JpegJobs::StartNext() {
  if (running_) return;
  while (!queue_.empty() && ReceiverGone(*queue_.front())) queue_.pop_front();
  if (queue_.empty()) return;
  if (worker_.joinable()) worker_.join();
  running_ = std::move(queue_.front());
  queue_.pop_front();
  Job* job = running_.get();
  const int id = job->id;
  emit Started(id, job->kind, job->progress_window);

  auto stop = job->stop;
  auto progress = [this, id, stop](int percent) {
    QMetaObject::invokeMethod(
        this, [this, id, percent] { emit Progress(id, percent); },
        Qt::QueuedConnection);
    return !stop->load();
  };
  if (job->kind == JpegJobKind::kFile) {
    worker_ = std::thread([this, id, work = std::move(job->file_work)] {
      if (work) work();
      QMetaObject::invokeMethod(
          this, [this, id] { OnFileWorkDone(id); }, Qt::QueuedConnection);
    });
  } else if (job->kind == JpegJobKind::kRead) {
    JpegDecodeOptions options;
    options.fast = job->decode.fast;
    options.progress = progress;
    worker_ = std::thread([this, id, path = job->decode.path, options] {
      JpegDecodeResult result = DecodeJpegFile(path, options);
      QMetaObject::invokeMethod(
          this,
          [this, id, r = std::move(result)]() mutable {
            OnDecoded(id, std::move(r));
          },
          Qt::QueuedConnection);
    });
  } else {
    // The worker owns the pixels while it runs.
    worker_ = std::thread([this, id, picture = std::move(job->picture),
                           path = job->path, progress] {
      JpegEncodeResult result = EncodeJpegFile(picture, path, progress);
      QMetaObject::invokeMethod(
          this, [this, id, result] { OnEncoded(id, result); },
          Qt::QueuedConnection);
    });
  }
}

// The popup and the progress window stay on top: so must what the user is
// asked or told about a picture, or it opens hidden behind them.
void JpegJobs::ReportError(int id, const std::string& library_message) {
  emit Problem(id);
  MessageRequest request(MessageKind::kError,
                         JpegErrorMessage(library_message));
  request.stay_on_top = true;
  messages_->ShowNotice(request);
}

void JpegJobs::OnDecoded(int id, JpegDecodeResult result) {
  if (!running_ || running_->id != id) return;
  const bool wanted = !ReceiverGone(*running_) && !running_->stop->load();
  switch (result.status) {
    case JpegStatus::kOk:
      FinishDecode(id, std::move(result.picture));
      return;
    case JpegStatus::kDamaged: {
      if (!wanted) break;
      // The picture is there, with grey where the data was bad: the user
      // decides whether to go on with it. The question does not wait, and
      // the job holds the flag until it is answered.
      emit Problem(id);
      MessageRequest request;
      request.kind = MessageKind::kQuestion;
      request.buttons = MessageButtons::kYesNo;
      request.text = JpegErrorQuestion(result.message);
      request.stay_on_top = true;
      auto picture =
          std::make_shared<IndexedPicture>(std::move(result.picture));
      QPointer<JpegJobs> self(this);
      messages_->Ask(request, [self, id, picture](MessageAnswer answer) {
        if (self.isNull()) return;
        if (answer == MessageAnswer::kYes) {
          self->FinishDecode(id, std::nullopt);
        } else {
          self->FinishDecode(id, std::move(*picture));
        }
      });
      return;
    }
    case JpegStatus::kFailed:
    case JpegStatus::kTooLarge:
      // Nothing to go on with, so a message rather than the question.
      if (wanted) ReportError(id, result.message);
      break;
    case JpegStatus::kStopped:
      break;
  }
  FinishDecode(id, std::nullopt);
}

void JpegJobs::FinishDecode(int id, std::optional<IndexedPicture> picture) {
  if (!running_ || running_->id != id) return;
  if (running_->stop->load()) picture.reset();
  std::unique_ptr<Job> job = std::move(running_);
  Release();
  emit Finished(id);
  if (!ReceiverGone(*job) && job->decode_done) {
    job->decode_done(std::move(picture));
  }
  StartNext();
}

void JpegJobs::OnEncoded(int id, JpegEncodeResult result) {
  if (!running_ || running_->id != id) return;
  const bool stopped = running_->stop->load();
  if (!result.ok && !stopped && !ReceiverGone(*running_)) {
    ReportError(id, result.message);
  }
  std::unique_ptr<Job> job = std::move(running_);
  Release();
  emit Finished(id);
  if (!ReceiverGone(*job) && job->encode_done) job->encode_done(result.ok);
  StartNext();
}

void JpegJobs::OnFileWorkDone(int id) {
  if (!running_ || running_->id != id) return;
  std::unique_ptr<Job> job = std::move(running_);
  Release();
  emit Finished(id);
  if (!job->stop->load() && !ReceiverGone(*job) && job->file_done) {
    job->file_done();
  }
  StartNext();
}

void JpegJobs::Release() {
  running_.reset();
  if (worker_.joinable()) worker_.join();
}

}  // namespace mirokata
