#include "platform/file_io.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstring>

namespace mirokata {
namespace {

std::string ErrnoText(const char* what, int err) {
  return std::string(what) + ": " + std::strerror(err);
}

std::string BaseName(const std::string& path) {
  size_t slash = path.find_last_of('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

ReadResult ReadUpTo(const std::string& path, size_t max_bytes,
                    std::string* data, struct stat* info) {
  data->clear();
  int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
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

std::string ParentFolder(const std::string& path) {
  size_t slash = path.find_last_of('/');
  if (slash == std::string::npos) return ".";
  if (slash == 0) return "/";
  return path.substr(0, slash);
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
                     std::string* error) {
  std::string folder = ParentFolder(path);
  std::string tmp = folder + "/." + BaseName(path) + ".tmp-XXXXXX";
  int fd = ::mkstemp(tmp.data());
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
  struct stat old;
  mode_t mode = 0644;
  if (::stat(path.c_str(), &old) == 0) {
    mode = old.st_mode & 07777;
  } else {
    mode_t mask = ::umask(0);
    ::umask(mask);
    mode = 0666 & ~mask;
  }
  if (::fchmod(fd, mode) != 0) return fail("chmod");
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
  if (::rename(tmp.c_str(), path.c_str()) != 0) {
    int err = errno;
    ::unlink(tmp.c_str());
    if (error) *error = ErrnoText("rename", err);
    return false;
  }
  return true;
}

}  // namespace mirokata
