// An in-memory index of the file names in one folder, so that the many
// existence tests and wildcard lists of the matching rule cost hash lookups
// instead of one system call per name.
//
// Refresh() is cheap enough to call at the start of every operation: it
// stats the folder and rescans only when the folder's identity (device,
// inode) or its change or modification time differs from the last scan, or
// when the scan was taken less than two seconds after that time. The second
// rule covers file systems with coarse timestamps, where a file created in
// the same tick as the scan would leave the folder's time unchanged (the
// "racy timestamp" problem of git's index).
//
// Names compare without regard to ASCII letter case. Only regular files
// (and links to them) are listed: no folders, dangling links, pipes or
// devices, and no hidden files (".name", which includes the temporaries of
// atomic writes).
#ifndef MIROKATA_SCHEDULE_FOLDER_INDEX_H_
#define MIROKATA_SCHEDULE_FOLDER_INDEX_H_

#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace mirokata {

// One immutable look at the folder. Safe to share between threads.
class FolderSnapshot {
 public:
  // A snapshot of a folder holding exactly these files (for tools and
  // tests that need no real folder).
  static std::shared_ptr<const FolderSnapshot> FromNames(
      const std::vector<std::string>& names);

  // The name as it is on disk for a case-insensitive match, or nullptr.
  // When several files differ only in case, the exact spelling wins, else
  // the first in ascending order.
  const std::string* Find(std::string_view name) const;
  bool Contains(std::string_view name) const { return Find(name) != nullptr; }

  // Appends the on-disk names matching a wildcard pattern ("?" one
  // character, "*" any run), ascending by name without regard to case.
  void Match(std::string_view pattern, std::vector<std::string>* out) const;

  // Every name, ascending.
  std::vector<std::string> AllNames() const;
  size_t size() const { return entries_.size(); }
  // False when the folder was missing or unreadable at the scan.
  bool readable() const { return readable_; }

 private:
  friend class FolderIndex;
  struct Entry {
    std::string upper;   // ASCII capitals, the comparison key
    std::string actual;  // as on disk
  };
  void Build(std::vector<Entry> entries);

  bool readable_ = false;
  std::vector<Entry> entries_;  // sorted by (upper, actual)
  // Open-addressing hash table of indexes into entries_ (the first of
  // each run of equal keys); kNoSlot marks a free slot.
  static constexpr uint32_t kNoSlot = UINT32_MAX;
  std::vector<uint32_t> slots_;
  // Extension (after the last dot, capitals) -> indexes into entries_,
  // ascending; narrows patterns with a literal extension.
  std::unordered_map<std::string, std::vector<uint32_t>> by_extension_;
};

class FolderIndex {
 public:
  // Nanoseconds since the epoch on the file system's clock.
  using WallClock = std::function<int64_t()>;

  // clock defaults to the real-time clock; tests pass their own to drive the
  // two-second rule.
  explicit FolderIndex(std::string folder, WallClock clock = nullptr);

  const std::string& folder() const { return folder_; }

  // The folder as it is now (see the header comment). A missing or
  // unreadable folder gives an empty snapshot.
  std::shared_ptr<const FolderSnapshot> Refresh();

  // How many full scans have been made (for tests of the revalidation).
  uint64_t scan_count() const;

 private:
  struct Stamp {
    bool exists = false;
    uint64_t dev = 0, ino = 0;
    int64_t mtime_ns = 0, ctime_ns = 0;
    bool operator==(const Stamp&) const = default;
  };

  const std::string folder_;
  WallClock clock_;
  mutable std::mutex mutex_;
  std::shared_ptr<const FolderSnapshot> snapshot_;
  Stamp stamp_;
  bool settled_ = false;  // the scan is known to be newer than the stamp
  uint64_t scans_ = 0;
};

// ASCII capitals of a name.
std::string UpperAscii(std::string_view s);

// Wildcard match of an upper-case name against an upper-case pattern.
bool WildcardMatch(std::string_view pattern, std::string_view name);

}  // namespace mirokata

#endif  // MIROKATA_SCHEDULE_FOLDER_INDEX_H_
