// A file size limit (RLIMIT_FSIZE, which binds root too) while it lives, so
// that a test can make the file system refuse a write half way. SIGXFSZ is
// ignored meanwhile: the write fails with EFBIG instead of killing the test.
#ifndef MIROKATA_TESTS_SUPPORT_FILE_SIZE_LIMIT_H_
#define MIROKATA_TESTS_SUPPORT_FILE_SIZE_LIMIT_H_

#include <signal.h>
#include <sys/resource.h>

namespace mirokata {

class FileSizeLimit {
 public:
  explicit FileSizeLimit(rlim_t bytes) {
    old_handler_ = ::signal(SIGXFSZ, SIG_IGN);
    if (::getrlimit(RLIMIT_FSIZE, &old_limit_) != 0) return;
    struct rlimit limit = old_limit_;
    limit.rlim_cur = bytes;
    ok_ = ::setrlimit(RLIMIT_FSIZE, &limit) == 0;
  }
  ~FileSizeLimit() {
    if (ok_) ::setrlimit(RLIMIT_FSIZE, &old_limit_);
    ::signal(SIGXFSZ, old_handler_);
  }
  FileSizeLimit(const FileSizeLimit&) = delete;
  FileSizeLimit& operator=(const FileSizeLimit&) = delete;

  bool ok() const { return ok_; }

 private:
  bool ok_ = false;
  struct rlimit old_limit_ {};
  sighandler_t old_handler_;
};

}  // namespace mirokata

#endif  // MIROKATA_TESTS_SUPPORT_FILE_SIZE_LIMIT_H_
