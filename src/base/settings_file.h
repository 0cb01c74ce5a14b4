// The program's INI settings file ("mirokata.ini").
//
// Every read sees the file as it is on disk now: the parsed copy is checked
// against the file's identity (device, inode, size, change and modification
// times in nanoseconds) at each Open(), and re-read when anything differs.
// Every write goes to disk before the call returns and replaces the file
// atomically, with mode 0600 (it will hold passwords); a symbolic link
// stays a link and its target is replaced. Section and key names match
// without regard to ASCII letter case. Text is UTF-8 here and CP932 in the
// file.
#ifndef MIROKATA_BASE_SETTINGS_FILE_H_
#define MIROKATA_BASE_SETTINGS_FILE_H_

#include <sys/types.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

struct stat;

namespace mirokata {

class SettingsDocument;
class SettingsFile;

// One sequence of reads and writes on the settings file, as returned by
// SettingsFile::Open(). Reads in one session share one look at the file;
// each write is on disk when it returns.
class Settings {
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

  // Each returns false when the file could not be written.
  bool WriteString(std::string_view section, std::string_view key,
                   std::string_view value);
  bool WriteInteger(std::string_view section, std::string_view key, int value);
  bool WriteBool(std::string_view section, std::string_view key, bool value);
  bool DeleteKey(std::string_view section, std::string_view key);
  bool EraseSection(std::string_view section);

 private:
  friend class SettingsFile;
  Settings(SettingsFile* file, std::shared_ptr<const SettingsDocument> doc)
      : file_(file), doc_(std::move(doc)) {}
  bool Commit(const std::function<bool(SettingsDocument&)>& change);

  SettingsFile* file_;
  std::shared_ptr<const SettingsDocument> doc_;
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

  Origin origin();
  // True once the file was found present but unreadable: from then on this
  // run writes nothing to it, so that a passing fault never destroys it.
  bool read_only() const;

  // Receives one Japanese message the first time the file is found
  // unreadable and the first time a write fails. Called with the lock free.
  void SetProblemReporter(std::function<void(const std::string&)> reporter);

  // Reading helpers with the file's rules, exposed for other readers.
  static int ParseInteger(std::string_view text, int default_value);

 private:
  friend class Settings;
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
