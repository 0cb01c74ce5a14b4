// The program's INI settings file ("mirokata.ini").
//
// Every read sees the file as it is on disk now: the parsed copy is checked
// against the file's identity (device, inode, size, change and modification
// times in nanoseconds) at each Open(), and re-read when anything differs.
// Every write goes to disk before the call returns and replaces the file
// atomically (one temporary file, one fdatasync, one rename; a symbolic
// link stays a link and its target is replaced). The file is written with
// mode 0600: it holds passwords. Several changes that belong together are
// one SettingsBatch: one rewrite, so a kill never leaves half of them.
// Section and key names match without regard to ASCII letter case, and
// leading and trailing blanks of a name do not count.
//
// Text is UTF-8 here and CP932 in the file. A section name, key or value
// whose CP932 bytes read back as the very same text is written as those
// bytes, exactly as every earlier version wrote it. Anything else (a
// character CP932 lacks, such as "é", Hangul, emoji, or U+301C "〜", which
// CP932 would turn into U+FF5E "～"; blanks at either end, which a reader
// trims; a text that itself starts with "{u}") is written in the escaped
// form:
//
//   "{u}" + the text, in which "{", a leading or trailing space or tab and
//   every character without exact CP932 bytes is "{HEX}" (its Unicode code
//   point, 1 to 6 upper-case hexadecimal digits) and every other character
//   is its CP932 bytes.
//
//   /home/josé/予定  ->  {u}/home/jos{E9}/予定
//   ~/仕事〜2026     ->  {u}~/仕事{301C}2026
//   {u}x             ->  {u}{7B}u}x
//
// Only a text that starts with "{u}" is expanded when read, so a plain value
// can never be taken for an escaped one; a "{" not followed by hexadecimal
// digits and "}" is kept as it stands. The escaped form is ASCII and CP932,
// so older versions and Python's configparser (encoding "cp932") read it
// without error, as the escaped text. Line breaks in a value become spaces:
// a value is one line.
#ifndef MIROKATA_BASE_SETTINGS_FILE_H_
#define MIROKATA_BASE_SETTINGS_FILE_H_

#include <sys/types.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

struct stat;

namespace mirokata {

class SettingsDocument;
class SettingsFile;
struct SettingsChange;

// The reads of a session or a batch.
class SettingsReader {
 public:
  std::string ReadString(std::string_view section, std::string_view key,
                         std::string_view default_value) const;
  int ReadInteger(std::string_view section, std::string_view key,
                  int default_value) const;
  bool ReadBool(std::string_view section, std::string_view key,
                bool default_value) const;
  bool HasKey(std::string_view section, std::string_view key) const;
  bool HasSection(std::string_view section) const;
  // Keys of the section in file order (first spelling of each).
  std::vector<std::string> ListKeys(std::string_view section) const;
  std::vector<std::string> ListSections() const;

 protected:
  explicit SettingsReader(std::shared_ptr<const SettingsDocument> doc)
      : doc_(std::move(doc)) {}
  std::shared_ptr<const SettingsDocument> doc_;
};

// Changes collected in memory and written as one atomic rewrite by
// Commit(). Reads see the file as the batch started plus the pending
// changes. At Commit the changes are applied, in order, to the file as it
// is then (another window's keys written meanwhile stay). A batch that is
// destroyed without Commit() writes nothing. After Commit() it is empty and
// may collect again.
class SettingsBatch : public SettingsReader {
 public:
  using Entries = std::vector<std::pair<std::string, std::string>>;

  SettingsBatch(SettingsBatch&&) noexcept;
  SettingsBatch& operator=(SettingsBatch&&) noexcept;
  ~SettingsBatch();

  // False, with nothing recorded, for a key that could not read back as the
  // same key (empty, "=" or a line break in it, blanks at either end, a
  // leading "[" or ";") or a section name that is blank.
  bool WriteString(std::string_view section, std::string_view key,
                   std::string_view value);
  bool WriteInteger(std::string_view section, std::string_view key, int value);
  bool WriteBool(std::string_view section, std::string_view key, bool value);
  void DeleteKey(std::string_view section, std::string_view key);
  // Every section of that name (in any letter case) goes.
  void EraseSection(std::string_view section);
  // The section holds exactly these keys, in this order, afterwards; it
  // keeps its place in the file (a new one is added at the end) and its
  // duplicates go. False, with nothing recorded, when a key is refused.
  bool ReplaceSection(std::string_view section, const Entries& entries);

  // Changes recorded since the last Commit().
  size_t size() const;

  // One write of the file with every change; true when they are on disk
  // (or changed nothing). False when the file could not be written (the
  // problem reporter hears of it once) or the file is read-only this run.
  bool Commit();

 private:
  friend class Settings;
  friend class SettingsFile;
  SettingsBatch(SettingsFile* file,
                std::shared_ptr<const SettingsDocument> base);
  // The working copy, made at the first change.
  SettingsDocument& Work();
  bool Record(SettingsChange change);

  SettingsFile* file_;
  std::shared_ptr<const SettingsDocument> base_;
  std::shared_ptr<SettingsDocument> work_;
  bool work_changed_ = false;
  std::vector<SettingsChange> changes_;
};

// One sequence of reads and writes on the settings file, as returned by
// SettingsFile::Open(). Reads in one session share one look at the file;
// each write is on disk when it returns, and is a batch of one.
class Settings : public SettingsReader {
 public:
  // Each returns false when the file could not be written.
  bool WriteString(std::string_view section, std::string_view key,
                   std::string_view value);
  bool WriteInteger(std::string_view section, std::string_view key, int value);
  bool WriteBool(std::string_view section, std::string_view key, bool value);
  bool DeleteKey(std::string_view section, std::string_view key);
  bool EraseSection(std::string_view section);

  // A batch on this session's view of the file.
  SettingsBatch StartBatch() const;
  // Runs fill on a new batch and commits it; this session then reads the
  // file as written. Returns what Commit() returned.
  bool Batch(const std::function<void(SettingsBatch&)>& fill);

 private:
  friend class SettingsFile;
  Settings(SettingsFile* file, std::shared_ptr<const SettingsDocument> doc)
      : SettingsReader(std::move(doc)), file_(file) {}
  bool CommitOne(SettingsBatch& batch);

  SettingsFile* file_;
};

class SettingsFile {
 public:
  // What the file looked like when it was first opened in this run.
  enum class Origin { kUnknown, kAbsent, kReadable, kUnreadable };

  // mode: what the file is written with (0600: it holds passwords).
  explicit SettingsFile(std::string path, mode_t mode = 0600);
  ~SettingsFile();
  SettingsFile(const SettingsFile&) = delete;
  SettingsFile& operator=(const SettingsFile&) = delete;

  const std::string& path() const { return path_; }

  // OpenSettings: a session for a short sequence of reads and writes.
  Settings Open();

  // Shorthands for a session of one operation.
  std::string ReadString(std::string_view section, std::string_view key,
                         std::string_view default_value) {
    return Open().ReadString(section, key, default_value);
  }
  int ReadInteger(std::string_view section, std::string_view key,
                  int default_value) {
    return Open().ReadInteger(section, key, default_value);
  }
  bool ReadBool(std::string_view section, std::string_view key,
                bool default_value) {
    return Open().ReadBool(section, key, default_value);
  }
  bool WriteString(std::string_view section, std::string_view key,
                   std::string_view value) {
    return Open().WriteString(section, key, value);
  }
  bool WriteInteger(std::string_view section, std::string_view key, int value) {
    return Open().WriteInteger(section, key, value);
  }
  bool WriteBool(std::string_view section, std::string_view key, bool value) {
    return Open().WriteBool(section, key, value);
  }

  bool Batch(const std::function<void(SettingsBatch&)>& fill) {
    return Open().Batch(fill);
  }
  SettingsBatch StartBatch() { return Open().StartBatch(); }

  Origin origin();
  // True once the file was found present but unreadable: from then on this
  // run writes nothing to it, so that a passing fault never destroys it.
  bool read_only() const;

  // Receives one Japanese message the first time the file is found
  // unreadable and the first time a write fails. Called with the lock free.
  void SetProblemReporter(std::function<void(const std::string&)> reporter);

  // Reading helpers with the file's rules, exposed for other readers.
  static int ParseInteger(std::string_view text, int default_value);

  // A name or value in the file's CP932 bytes, plain or escaped (see the
  // top of this file), and back: DecodeText(EncodeText(t)) == t for any
  // valid UTF-8 text t.
  static std::string EncodeText(std::string_view utf8);
  static std::string DecodeText(std::string_view cp932);

 private:
  friend class Settings;
  friend class SettingsBatch;
  struct Stamp {
    bool exists = false;
    uint64_t dev = 0, ino = 0;
    int64_t size = -1;
    int64_t mtime_ns = 0, ctime_ns = 0;
    bool operator==(const Stamp&) const = default;
  };
  static Stamp StampOf(const struct stat& st);

  std::shared_ptr<const SettingsDocument> Current();
  std::shared_ptr<const SettingsDocument> CurrentLocked(
      std::vector<std::string>* messages);
  void Report(std::vector<std::string> messages);
  // Commits a batch: one write of the current file with its changes.
  bool CommitBatch(SettingsBatch& batch);

  const std::string path_;
  const mode_t mode_;
  mutable std::mutex mutex_;
  std::shared_ptr<const SettingsDocument> doc_;
  Stamp stamp_;
  Origin origin_ = Origin::kUnknown;
  bool read_only_ = false;
  bool reported_unreadable_ = false;
  bool reported_write_failure_ = false;
  std::function<void(const std::string&)> reporter_;
};

}  // namespace mirokata

#endif  // MIROKATA_BASE_SETTINGS_FILE_H_
