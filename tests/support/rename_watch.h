// Counts the files renamed into a folder and created in it (inotify), to
// tell how many atomic replacements an operation made.
#ifndef MIROKATA_TESTS_SUPPORT_RENAME_WATCH_H_
#define MIROKATA_TESTS_SUPPORT_RENAME_WATCH_H_

#include <sys/inotify.h>
#include <unistd.h>

#include <string>

namespace mirokata {

class RenameWatch {
 public:
  explicit RenameWatch(const std::string& folder)
      : fd_(inotify_init1(IN_NONBLOCK | IN_CLOEXEC)) {
    if (fd_ >= 0)
      inotify_add_watch(fd_, folder.c_str(), IN_MOVED_TO | IN_CREATE);
  }
  ~RenameWatch() {
    if (fd_ >= 0) close(fd_);
  }
  RenameWatch(const RenameWatch&) = delete;
  RenameWatch& operator=(const RenameWatch&) = delete;

  bool ok() const { return fd_ >= 0; }

  struct Counts {
    int renamed_onto = 0;  // renames whose new name is `name`
    int created = 0;       // files created (the temporary files)
  };
  // The events queued since the last call. Events are queued as the calls
  // return, so nothing needs waiting for.
  Counts Take(const std::string& name) {
    Counts c;
    alignas(inotify_event) char buf[16384];
    for (;;) {
      ssize_t n = read(fd_, buf, sizeof buf);
      if (n <= 0) break;
      for (char* p = buf; p < buf + n;) {
        auto* e = reinterpret_cast<inotify_event*>(p);
        std::string event_name = e->len ? std::string(e->name) : std::string();
        if ((e->mask & IN_MOVED_TO) && event_name == name) ++c.renamed_onto;
        if (e->mask & IN_CREATE) ++c.created;
        p += sizeof(inotify_event) + e->len;
      }
    }
    return c;
  }

 private:
  int fd_;
};

}  // namespace mirokata

#endif  // MIROKATA_TESTS_SUPPORT_RENAME_WATCH_H_
