#include "schedule/folder_index.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <time.h>

#include <algorithm>
#include <cerrno>

namespace mirokata {
namespace {

constexpr int64_t kRacyWindowNs = 2'000'000'000;

int64_t RealTimeNs() {
  struct timespec ts;
  ::clock_gettime(CLOCK_REALTIME, &ts);
  return int64_t(ts.tv_sec) * 1'000'000'000 + ts.tv_nsec;
}

int64_t Ns(const struct timespec& ts) {
  return int64_t(ts.tv_sec) * 1'000'000'000 + ts.tv_nsec;
}

bool StartsWith(std::string_view s, std::string_view prefix) {
  return s.size() >= prefix.size() && s.substr(0, prefix.size()) == prefix;
}

// Only regular files (or links to them) count: a pipe or device in the data
// folder must never be opened by a reader.
bool IsListedFile(int dir_fd, const struct dirent* e) {
  if (e->d_type == DT_REG) return true;
  if (e->d_type != DT_LNK && e->d_type != DT_UNKNOWN) return false;
  struct stat st;
  return ::fstatat(dir_fd, e->d_name, &st, 0) == 0 && S_ISREG(st.st_mode);
}

}  // namespace

std::string UpperAscii(std::string_view s) {
  std::string out(s);
  for (char& c : out) {
    if (c >= 'a' && c <= 'z') c = char(c - 'a' + 'A');
  }
  return out;
}

bool WildcardMatch(std::string_view pattern, std::string_view name) {
  size_t p = 0, n = 0;
  size_t star = std::string_view::npos, star_n = 0;
  while (n < name.size()) {
    if (p < pattern.size() && pattern[p] == '*') {
      star = p++;
      star_n = n;
    } else if (p < pattern.size() &&
               (pattern[p] == '?' || pattern[p] == name[n])) {
      ++p;
      ++n;
    } else if (star != std::string_view::npos) {
      p = star + 1;
      n = ++star_n;
    } else {
      return false;
    }
  }
  while (p < pattern.size() && pattern[p] == '*') ++p;
  return p == pattern.size();
}

void FolderSnapshot::Build(std::vector<Entry> entries) {
  // Sort on the first sixteen bytes of the key as two big-endian integers,
  // moving small records instead of strings; ties fall back to the strings.
  struct Key {
    uint64_t hi = 0, lo = 0;
    uint32_t index = 0;
  };
  std::vector<Key> keys(entries.size());
  for (size_t i = 0; i < entries.size(); ++i) {
    const std::string& u = entries[i].upper;
    for (size_t b = 0; b < 16 && b < u.size(); ++b) {
      uint64_t& word = b < 8 ? keys[i].hi : keys[i].lo;
      word |= uint64_t(static_cast<unsigned char>(u[b])) << (56 - 8 * (b % 8));
    }
    keys[i].index = uint32_t(i);
  }
  std::sort(keys.begin(), keys.end(), [&](const Key& a, const Key& b) {
    if (a.hi != b.hi) return a.hi < b.hi;
    if (a.lo != b.lo) return a.lo < b.lo;
    const Entry& x = entries[a.index];
    const Entry& y = entries[b.index];
    return x.upper != y.upper ? x.upper < y.upper : x.actual < y.actual;
  });
  entries_.clear();
  entries_.reserve(entries.size());
  for (const Key& k : keys) entries_.push_back(std::move(entries[k.index]));

  size_t capacity = 16;
  while (capacity < entries_.size() * 2) capacity *= 2;
  slots_.assign(capacity, kNoSlot);
  std::string last_extension;
  std::vector<uint32_t>* group = nullptr;
  for (size_t i = 0; i < entries_.size(); ++i) {
    const std::string& u = entries_[i].upper;
    if (i == 0 || u != entries_[i - 1].upper) {
      size_t slot = std::hash<std::string_view>{}(u) & (capacity - 1);
      while (slots_[slot] != kNoSlot) slot = (slot + 1) & (capacity - 1);
      slots_[slot] = uint32_t(i);
    }
    const size_t dot = u.rfind('.');
    if (dot == std::string::npos) continue;
    const std::string_view extension = std::string_view(u).substr(dot + 1);
    if (group == nullptr || extension != last_extension) {
      last_extension = extension;
      group = &by_extension_[last_extension];
    }
    group->push_back(uint32_t(i));
  }
}

std::shared_ptr<const FolderSnapshot> FolderSnapshot::FromNames(
    const std::vector<std::string>& names) {
  std::vector<Entry> entries;
  entries.reserve(names.size());
  for (const std::string& n : names) entries.push_back({UpperAscii(n), n});
  auto snapshot = std::make_shared<FolderSnapshot>();
  snapshot->readable_ = true;
  snapshot->Build(std::move(entries));
  return snapshot;
}

const std::string* FolderSnapshot::Find(std::string_view name) const {
  if (entries_.empty()) return nullptr;
  const std::string key = UpperAscii(name);
  const size_t mask = slots_.size() - 1;
  size_t slot = std::hash<std::string_view>{}(key)&mask;
  for (; slots_[slot] != kNoSlot; slot = (slot + 1) & mask) {
    const size_t first = slots_[slot];
    if (entries_[first].upper != key) continue;
    for (size_t i = first; i < entries_.size() && entries_[i].upper == key;
         ++i) {
      if (entries_[i].actual == name) return &entries_[i].actual;
    }
    return &entries_[first].actual;
  }
  return nullptr;
}

void FolderSnapshot::Match(std::string_view pattern,
                           std::vector<std::string>* out) const {
  const std::string upper = UpperAscii(pattern);
  const size_t wild = upper.find_first_of("?*");
  const std::string_view prefix = std::string_view(upper).substr(
      0, wild == std::string::npos ? upper.size() : wild);
  const size_t dot = upper.rfind('.');
  const bool literal_extension =
      dot != std::string::npos &&
      upper.find_first_of("?*", dot) == std::string::npos;

  if (literal_extension) {
    auto group = by_extension_.find(upper.substr(dot + 1));
    if (group == by_extension_.end()) return;
    const std::vector<uint32_t>& ids = group->second;
    auto it = std::lower_bound(
        ids.begin(), ids.end(), prefix,
        [&](uint32_t i, std::string_view p) { return entries_[i].upper < p; });
    for (; it != ids.end() && StartsWith(entries_[*it].upper, prefix); ++it) {
      if (WildcardMatch(upper, entries_[*it].upper)) {
        out->push_back(entries_[*it].actual);
      }
    }
    return;
  }
  auto it = std::lower_bound(
      entries_.begin(), entries_.end(), prefix,
      [](const Entry& e, std::string_view p) { return e.upper < p; });
  for (; it != entries_.end() && StartsWith(it->upper, prefix); ++it) {
    if (WildcardMatch(upper, it->upper)) out->push_back(it->actual);
  }
}

std::vector<std::string> FolderSnapshot::AllNames() const {
  std::vector<std::string> names;
  names.reserve(entries_.size());
  for (const Entry& e : entries_) names.push_back(e.actual);
  return names;
}

FolderIndex::FolderIndex(std::string folder, WallClock clock)
    : folder_(std::move(folder)), clock_(std::move(clock)) {
  if (!clock_) clock_ = RealTimeNs;
}

uint64_t FolderIndex::scan_count() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return scans_;
}

std::shared_ptr<const FolderSnapshot> FolderIndex::Refresh() {
  std::lock_guard<std::mutex> lock(mutex_);
  Stamp now;
  struct stat st;
  if (!folder_.empty() && ::stat(folder_.c_str(), &st) == 0 &&
      S_ISDIR(st.st_mode)) {
    now.exists = true;
    now.dev = st.st_dev;
    now.ino = st.st_ino;
    now.mtime_ns = Ns(st.st_mtim);
    now.ctime_ns = Ns(st.st_ctim);
  }
  if (snapshot_ && now == stamp_ && (settled_ || !now.exists)) {
    return snapshot_;
  }

  const int64_t scan_start = clock_();
  auto snapshot = std::make_shared<FolderSnapshot>();
  if (now.exists) {
    DIR* dir = ::opendir(folder_.c_str());
    if (dir != nullptr) {
      std::vector<FolderSnapshot::Entry> entries;
      const int dir_fd = ::dirfd(dir);
      for (;;) {
        errno = 0;
        const struct dirent* e = ::readdir(dir);
        if (e == nullptr) break;
        if (e->d_name[0] == '.') continue;
        if (!IsListedFile(dir_fd, e)) continue;
        std::string_view name(e->d_name);
        entries.push_back({UpperAscii(name), std::string(name)});
      }
      const bool failed = errno != 0;
      ::closedir(dir);
      if (!failed) {
        snapshot->readable_ = true;
        snapshot->Build(std::move(entries));
      }
    }
  }
  ++scans_;
  stamp_ = now;
  settled_ = now.exists && snapshot->readable_ &&
             scan_start >= std::max(now.mtime_ns, now.ctime_ns) + kRacyWindowNs;
  snapshot_ = std::move(snapshot);
  return snapshot_;
}

}  // namespace mirokata
