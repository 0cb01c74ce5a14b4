#include "platform/file_io.h"

#include <fcntl.h>
#include <sys/resource.h>
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

// ".<name>.tmp-XXXXXX" in the folder: hidden from every reader's listing.
std::string HiddenTemporary(const std::string& folder, std::string_view name) {
  std::string tmp = folder + "/.";
  tmp += name;
  tmp += ".tmp-XXXXXX";
  return tmp;
}

// False with errno set when the file system took less than all of it.
bool WriteAll(int fd, std::string_view data) {
  const char* p = data.data();
  size_t left = data.size();
  while (left > 0) {
    ssize_t n = ::write(fd, p, left);
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    p += n;
    left -= static_cast<size_t>(n);
  }
  return true;
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
  std::string tmp = HiddenTemporary(ParentFolder(target), BaseName(target));
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
  if (!WriteAll(fd, data)) return fail("write");
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

namespace {

// A written file of WriteNewFiles waiting for its name.
struct Pending {
  size_t index;
  int fd;
  std::string temporary;  // empty for an unnamed one
};

// How many files WriteNewFiles holds open at once: a share of the
// descriptor limit, so that the program's other files still open.
size_t FilesPerGroup() {
  size_t n = 512;
  struct rlimit limit;
  if (::getrlimit(RLIMIT_NOFILE, &limit) == 0 &&
      limit.rlim_cur != RLIM_INFINITY) {
    n = std::min<size_t>(n, static_cast<size_t>(limit.rlim_cur) / 4);
  }
  return std::max<size_t>(n, 4);
}

// rename that never replaces: renameat2 where the file system has it, else
// a hard link, else (neither there) a look just before the rename. 0 or an
// errno; EEXIST when the name is taken.
int RenameNoReplace(const std::string& from, int folder,
                    const std::string& name) {
  if (::renameat2(AT_FDCWD, from.c_str(), folder, name.c_str(),
                  RENAME_NOREPLACE) == 0) {
    return 0;
  }
  if (errno != EINVAL && errno != ENOSYS) return errno;
  if (::linkat(AT_FDCWD, from.c_str(), folder, name.c_str(), 0) == 0) {
    ::unlink(from.c_str());
    return 0;
  }
  if (errno != EPERM && errno != EOPNOTSUPP && errno != ENOSYS) return errno;
  struct stat st;
  if (::fstatat(folder, name.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0) {
    return EEXIST;
  }
  if (errno != ENOENT) return errno;
  return ::renameat(AT_FDCWD, from.c_str(), folder, name.c_str()) == 0 ? 0
                                                                       : errno;
}

// Gives a written, synced file its name and closes it.
NewFileResult NameNewFile(int folder, const Pending& p, std::string_view name) {
  const std::string target(name);
  int err = 0;
  const char* what = "name";
  if (p.temporary.empty()) {
    // linkat refuses a name that exists. AT_EMPTY_PATH would need a
    // capability; the file's /proc link needs none.
    const std::string self = "/proc/self/fd/" + std::to_string(p.fd);
    if (::linkat(AT_FDCWD, self.c_str(), folder, target.c_str(),
                 AT_SYMLINK_FOLLOW) != 0) {
      err = errno;
    }
    ::close(p.fd);
  } else {
    if (::close(p.fd) != 0) {
      err = errno;
      what = "close";
    } else {
      err = RenameNoReplace(p.temporary, folder, target);
    }
    if (err != 0) ::unlink(p.temporary.c_str());
  }
  if (err == 0) return {NewFileResult::kWritten, ""};
  if (err == EEXIST) return {NewFileResult::kExists, ""};
  return {NewFileResult::kFailed, ErrnoText(what, err)};
}

}  // namespace

std::vector<NewFileResult> WriteNewFiles(const std::string& folder,
                                         const std::vector<NewFile>& files,
                                         mode_t mode, Temporaries temporaries) {
  std::vector<NewFileResult> results(files.size());
  if (files.empty()) return results;
  // Not O_PATH: syncfs needs a file it can read.
  const int dir = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dir < 0) {
    const std::string error = ErrnoText("open folder", errno);
    for (NewFileResult& r : results) r.error = error;
    return results;
  }
  bool unnamed = temporaries == Temporaries::kUnnamedWhereSupported &&
                 ::access("/proc/self/fd", X_OK) == 0;
  const size_t group = FilesPerGroup();
  std::vector<Pending> open;
  open.reserve(std::min(group, files.size()));
  auto fail = [&](Pending& p, const char* what) {
    const int err = errno;
    ::close(p.fd);
    if (!p.temporary.empty()) ::unlink(p.temporary.c_str());
    results[p.index] = {NewFileResult::kFailed, ErrnoText(what, err)};
  };
  size_t next = 0;
  while (next < files.size()) {
    // Every file of the group written, none named yet.
    while (next < files.size() && open.size() < group) {
      const std::string_view name = files[next].name;
      if (name.empty() || name == "." || name == ".." ||
          name.find_first_of(std::string_view("/\0", 2)) !=
              std::string_view::npos) {
        results[next++] = {NewFileResult::kFailed, "not a plain name"};
        continue;
      }
      Pending p{next, -1, {}};
      if (unnamed) {
        p.fd = ::openat(dir, ".", O_TMPFILE | O_WRONLY | O_CLOEXEC, 0600);
        // Kernels and file systems without it say so in one of these ways.
        if (p.fd < 0 &&
            (errno == EOPNOTSUPP || errno == EISDIR || errno == EINVAL)) {
          unnamed = false;
        }
      }
      if (!unnamed) {
        p.temporary = HiddenTemporary(folder, name);
        p.fd = ::mkostemp(p.temporary.data(), O_CLOEXEC);
      }
      if (p.fd < 0) {
        const int err = errno;
        // Out of descriptors: name the open ones, then go on.
        if ((err == EMFILE || err == ENFILE) && !open.empty()) break;
        results[next++] = {NewFileResult::kFailed, ErrnoText("create", err)};
        continue;
      }
      ++next;
      // Exactly `mode`, whatever the umask.
      if (::fchmod(p.fd, mode & 07777) != 0) {
        fail(p, "chmod");
      } else if (!WriteAll(p.fd, files[p.index].data)) {
        fail(p, "write");
      } else {
        open.push_back(std::move(p));
      }
    }
    // One flush for the group. When it reports an error, each file's own
    // sync tells whose it was.
    if (::syncfs(dir) != 0) {
      std::erase_if(open, [&](Pending& p) {
        if (::fdatasync(p.fd) == 0) return false;
        fail(p, "sync");
        return true;
      });
    }
    for (const Pending& p : open) {
      results[p.index] = NameNewFile(dir, p, files[p.index].name);
    }
    open.clear();
  }
  ::close(dir);
  return results;
}

}  // namespace mirokata
