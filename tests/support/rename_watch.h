// Counts the files renamed into a folder and created in it (inotify), to
// tell how many atomic replacements an operation made; with more events
// asked for, the whole sequence, to tell what happened to a file after it
// got its name.
#ifndef MIROKATA_TESTS_SUPPORT_RENAME_WATCH_H_
#define MIROKATA_TESTS_SUPPORT_RENAME_WATCH_H_

#include <sys/inotify.h>
#include <unistd.h>

#include <cstdint>
#include <string>
#include <vector>

namespace mirokata {

class RenameWatch {
 public:
  // more_events: further inotify events to record (IN_MODIFY, IN_ATTRIB).
  explicit RenameWatch(const std::string& folder, uint32_t more_events = 0)
      : fd_(inotify_init1(IN_NONBLOCK | IN_CLOEXEC)) {
    if (fd_ >= 0) {
      inotify_add_watch(fd_, folder.c_str(),
                        IN_MOVED_TO | IN_CREATE | more_events);
    }
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
  struct Event {
    uint32_t mask;
    std::string name;
  };
  // The events queued since the last call, in order. Events are queued as
  // the calls return, so nothing needs waiting for.
  std::vector<Event> TakeEvents() {
    std::vector<Event> events;
    alignas(inotify_event) char buf[16384];
    for (;;) {
      ssize_t n = read(fd_, buf, sizeof buf);
      if (n <= 0) break;
      for (char* p = buf; p < buf + n;) {
        auto* e = reinterpret_cast<inotify_event*>(p);
        events.push_back(
            {e->mask, e->len ? std::string(e->name) : std::string()});
        p += sizeof(inotify_event) + e->len;
      }
    }
    return events;
  }

  // The counts among the events since the last call.
  Counts Take(const std::string& name) {
    Counts c;
    for (const Event& e : TakeEvents()) {
      if ((e.mask & IN_MOVED_TO) && e.name == name) ++c.renamed_onto;
      if (e.mask & IN_CREATE) ++c.created;
    }
    return c;
  }

 private:
  int fd_;
};

}  // namespace mirokata

#endif  // MIROKATA_TESTS_SUPPORT_RENAME_WATCH_H_
