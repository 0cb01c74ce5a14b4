#include "platform/file_io.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace mirokata {
namespace {

std::string ErrnoText(const char* what, int err) {
  return std::string(what) + ": " + std::strerror(err);
}

std::string BaseName(const std::string& path) {
  size_t slash = path.find_last_of('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

mode_t ReadUmask() {
  // Linux 4.7 and later show it without changing it.
  if (FILE* f = std::fopen("/proc/self/status", "re")) {
    char line[256];
    while (std::fgets(line, sizeof line, f)) {
      if (std::strncmp(line, "Umask:", 6) == 0) {
        std::fclose(f);
        return static_cast<mode_t>(std::strtoul(line + 6, nullptr, 8)) & 0777;
      }
    }
    std::fclose(f);
  }
  // Elsewhere the only way is to set it and put it back; this runs once,
  // while the process is still starting and has no other thread.
  mode_t mask = ::umask(022);
  ::umask(mask);
  return mask & 0777;
}

// Read as the program loads, before any thread could create a file.
[[maybe_unused]] const mode_t kUmaskAtLoad = StartupUmask();

bool ReadLink(const std::string& path, std::string* out) {
  std::vector<char> buf(256);
  for (;;) {
    ssize_t n = ::readlink(path.c_str(), buf.data(), buf.size());
    if (n < 0) return false;
    if (static_cast<size_t>(n) < buf.size()) {
      out->assign(buf.data(), static_cast<size_t>(n));
      return true;
    }
    buf.resize(buf.size() * 2);
  }
}

ReadResult ReadUpTo(const std::string& path, size_t max_bytes,
                    std::string* data, struct stat* info) {
  data->clear();
  // O_NONBLOCK: opening a FIFO for reading would otherwise wait for a writer
  // (for ever, at start-up, deaf to SIGTERM). The type is checked on the
  // open file, so nothing can be swapped in between.
  int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
  if (fd < 0) {
    return (errno == ENOENT || errno == ENOTDIR) ? ReadResult::kMissing
                                                 : ReadResult::kUnreadable;
  }
  struct stat& st = *info;
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    ::close(fd);
    return ReadResult::kUnreadable;
  }
  data->reserve(std::min(static_cast<size_t>(st.st_size), max_bytes));
  char buf[65536];
  while (data->size() < max_bytes) {
    const size_t want = std::min(sizeof(buf), max_bytes - data->size());
    ssize_t n = ::read(fd, buf, want);
    if (n > 0) {
      data->append(buf, static_cast<size_t>(n));
    } else if (n == 0) {
      break;
    } else if (errno != EINTR) {
      ::close(fd);
      data->clear();
      return ReadResult::kUnreadable;
    }
  }
  ::close(fd);
  return ReadResult::kOk;
}

}  // namespace

mode_t StartupUmask() {
  static const mode_t mask = ReadUmask();
  return mask;
}

mode_t PublicFileMode() { return 0666 & ~StartupUmask(); }
mode_t PublicFolderMode() { return 0777 & ~StartupUmask(); }

std::string ParentFolder(const std::string& path) {
  size_t slash = path.find_last_of('/');
  if (slash == std::string::npos) return ".";
  if (slash == 0) return "/";
  return path.substr(0, slash);
}

std::string ExecutableFolder(const char* argv0) {
  std::vector<char> buf(4096);
  const ssize_t n = readlink("/proc/self/exe", buf.data(), buf.size() - 1);
  std::string exe;
  if (n > 0) {
    exe.assign(buf.data(), static_cast<size_t>(n));
  } else if (argv0) {
    exe = argv0;
  }
  return ParentFolder(exe);
}

bool ResolveLinkChain(const std::string& path, std::string* target,
                      std::string* error) {
  std::string current = path;
  // The kernel's own limit for a path's links.
  for (int hops = 0; hops <= 40; ++hops) {
    struct stat st;
    if (::lstat(current.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) {
      *target = current;
      return true;
    }
    std::string link;
    if (!ReadLink(current, &link) || link.empty()) {
      if (error) *error = ErrnoText("readlink", errno ? errno : EINVAL);
      return false;
    }
    current = link.front() == '/' ? link : ParentFolder(current) + "/" + link;
  }
  if (error) *error = ErrnoText("symbolic links", ELOOP);
  return false;
}

ReadResult ReadWholeFile(const std::string& path, std::string* data) {
  struct stat st;
  return ReadWholeFile(path, data, &st);
}

ReadResult ReadWholeFile(const std::string& path, std::string* data,
                         struct stat* info) {
  return ReadUpTo(path, SIZE_MAX, data, info);
}

ReadResult ReadFileHead(const std::string& path, size_t max_bytes,
                        std::string* data) {
  struct stat st;
  return ReadUpTo(path, max_bytes, data, &st);
}

bool WriteFileAtomic(const std::string& path, std::string_view data,
                     mode_t mode, std::string* error) {
  // A link (a dotfile manager's) stays a link: its target is replaced, and
  // the temporary file lies beside the target so that rename stays within
  // one file system.
  std::string target;
  if (!ResolveLinkChain(path, &target, error)) return false;
  std::string tmp =
      ParentFolder(target) + "/." + BaseName(target) + ".tmp-XXXXXX";
  // mkostemp creates the file 0600 whatever the umask; fchmod then gives it
  // exactly the mode asked. The umask is never read or set here.
  int fd = ::mkostemp(tmp.data(), O_CLOEXEC);
  if (fd < 0) {
    if (error) *error = ErrnoText("create", errno);
    return false;
  }
  auto fail = [&](const char* what) {
    int err = errno;
    ::close(fd);
    ::unlink(tmp.c_str());
    if (error) *error = ErrnoText(what, err);
    return false;
  };
  if (::fchmod(fd, mode & 07777) != 0) return fail("chmod");
  const char* p = data.data();
  size_t left = data.size();
  while (left > 0) {
    ssize_t n = ::write(fd, p, left);
    if (n < 0) {
      if (errno == EINTR) continue;
      return fail("write");
    }
    p += n;
    left -= static_cast<size_t>(n);
  }
  if (::fdatasync(fd) != 0) return fail("sync");
  if (::close(fd) != 0) {
    int err = errno;
    ::unlink(tmp.c_str());
    if (error) *error = ErrnoText("close", err);
    return false;
  }
  if (::rename(tmp.c_str(), target.c_str()) != 0) {
    int err = errno;
    ::unlink(tmp.c_str());
    if (error) *error = ErrnoText("rename", err);
    return false;
  }
  return true;
}

}  // namespace mirokata
