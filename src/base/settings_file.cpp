#include "base/settings_file.h"

#include <sys/stat.h>

#include <cerrno>
#include <climits>
#include <unordered_map>

#include "platform/file_io.h"
#include "platform/text_codec.h"

namespace mirokata {
namespace {

std::string_view Trim(std::string_view s) {
  size_t b = 0, e = s.size();
  while (b < e && (s[b] == ' ' || s[b] == '\t')) ++b;
  while (e > b && (s[e - 1] == ' ' || s[e - 1] == '\t')) --e;
  return s.substr(b, e - b);
}

std::string Fold(std::string_view s) {
  s = Trim(s);
  std::string out(s);
  for (char& c : out) {
    if (c >= 'A' && c <= 'Z') c = char(c - 'A' + 'a');
  }
  return out;
}

std::string NoLineBreaks(std::string_view s) {
  std::string out(s);
  for (char& c : out) {
    if (c == '\r' || c == '\n') c = ' ';
  }
  return out;
}

// What a value reads back as once it has been through the file.
std::string AsStored(std::string_view s) {
  std::string clean = NoLineBreaks(s);
  if (IsAscii(clean)) return clean;
  return Cp932ToUtf8(Utf8ToCp932(clean));
}

// A key we write must read back as the same key.
bool IsWritableKey(std::string_view key) {
  if (key.empty() || Trim(key) != key) return false;
  if (key.front() == '[' || key.front() == ';') return false;
  for (char c : key) {
    if (c == '=' || c == '\r' || c == '\n') return false;
  }
  return true;
}

}  // namespace

class SettingsDocument {
 public:
  enum class Kind { kOther, kSection, kKey };
  struct Line {
    Kind kind = Kind::kOther;
    std::string raw;     // bytes as in the file; empty when rebuilt
    bool dirty = false;  // raw must be rebuilt from name/value
    std::string name;    // section or key name, UTF-8
    std::string value;   // key value, UTF-8
  };
  struct Section {
    std::string fold;
    size_t header = 0;  // line index of the "[...]" line
    size_t end = 0;     // one past its last line
    std::unordered_map<std::string, size_t> keys;  // folded key -> line
    std::vector<size_t> key_order;
  };

  void Parse(std::string_view bytes) {
    lines_.clear();
    size_t pos = 0;
    while (pos < bytes.size()) {
      size_t nl = bytes.find('\n', pos);
      size_t end = nl == std::string_view::npos ? bytes.size() : nl;
      std::string_view raw = bytes.substr(pos, end - pos);
      if (!raw.empty() && raw.back() == '\r') raw.remove_suffix(1);
      lines_.push_back(ParseLine(raw));
      pos = nl == std::string_view::npos ? bytes.size() : nl + 1;
    }
    Index();
  }

  std::string Serialize() const {
    std::string out;
    size_t total = 0;
    for (const Line& l : lines_) total += l.raw.size() + 2;
    out.reserve(total + 64);
    for (const Line& l : lines_) {
      if (l.dirty) {
        if (l.kind == Kind::kSection) {
          out += '[';
          out += Utf8ToCp932(l.name);
          out += ']';
        } else {
          out += Utf8ToCp932(l.name);
          out += '=';
          out += Utf8ToCp932(l.value);
        }
      } else {
        out += l.raw;
      }
      out += "\r\n";
    }
    return out;
  }

  const Section* FindSection(std::string_view name) const {
    auto it = section_index_.find(Fold(name));
    return it == section_index_.end() ? nullptr : &sections_[it->second];
  }

  const Line* FindKey(std::string_view section, std::string_view key) const {
    const Section* s = FindSection(section);
    if (!s) return nullptr;
    auto it = s->keys.find(Fold(key));
    return it == s->keys.end() ? nullptr : &lines_[it->second];
  }

  std::vector<std::string> KeysOf(std::string_view section) const {
    std::vector<std::string> out;
    if (const Section* s = FindSection(section)) {
      for (size_t i : s->key_order) out.push_back(lines_[i].name);
    }
    return out;
  }

  std::vector<std::string> SectionNames() const {
    std::vector<std::string> out;
    for (const Section& s : sections_) {
      auto it = section_index_.find(s.fold);
      if (it != section_index_.end() && &sections_[it->second] == &s) {
        out.push_back(lines_[s.header].name);
      }
    }
    return out;
  }

  // Returns true when the document changed.
  bool Set(std::string_view section, std::string_view key,
           std::string_view value) {
    std::string clean = AsStored(value);
    const Section* s = FindSection(section);
    if (s) {
      auto it = s->keys.find(Fold(key));
      if (it != s->keys.end()) {
        Line& l = lines_[it->second];
        if (l.value == clean && !l.dirty) return false;
        l.value = clean;
        l.dirty = true;
        l.raw.clear();
        return true;
      }
      // After the section's last non-blank line.
      size_t at = s->end;
      while (at > s->header + 1 && Trim(lines_[at - 1].raw).empty() &&
             !lines_[at - 1].dirty) {
        --at;
      }
      lines_.insert(lines_.begin() + static_cast<long>(at),
                    KeyLine(key, clean));
    } else {
      Line header;
      header.kind = Kind::kSection;
      header.name = AsStored(section);
      header.dirty = true;
      lines_.push_back(header);
      lines_.push_back(KeyLine(key, clean));
    }
    Index();
    return true;
  }

  bool Delete(std::string_view section, std::string_view key) {
    const Section* s = FindSection(section);
    if (!s) return false;
    auto it = s->keys.find(Fold(key));
    if (it == s->keys.end()) return false;
    lines_.erase(lines_.begin() + static_cast<long>(it->second));
    Index();
    return true;
  }

  bool Erase(std::string_view section) {
    std::string fold = Fold(section);
    bool changed = false;
    // Every section of that name goes, as its duplicates would resurface.
    for (size_t i = sections_.size(); i-- > 0;) {
      if (sections_[i].fold != fold) continue;
      lines_.erase(lines_.begin() + static_cast<long>(sections_[i].header),
                   lines_.begin() + static_cast<long>(sections_[i].end));
      changed = true;
    }
    if (changed) Index();
    return changed;
  }

 private:
  static Line KeyLine(std::string_view key, std::string value) {
    Line l;
    l.kind = Kind::kKey;
    l.name = std::string(key);
    l.value = std::move(value);
    l.dirty = true;
    return l;
  }

  static Line ParseLine(std::string_view raw) {
    Line l;
    l.raw = std::string(raw);
    std::string_view t = Trim(raw);
    if (!t.empty() && t.front() == '[') {
      // Section names are file paths at times, so they may hold "]".
      std::string_view inner = t.substr(1);
      size_t close = inner.rfind(']');
      if (close != std::string_view::npos) inner = inner.substr(0, close);
      l.kind = Kind::kSection;
      l.name = Cp932ToUtf8(Trim(inner));
      return l;
    }
    if (t.empty() || t.front() == ';') return l;
    size_t eq = t.find('=');
    if (eq == std::string_view::npos) return l;
    std::string_view key = Trim(t.substr(0, eq));
    if (key.empty()) return l;
    l.kind = Kind::kKey;
    l.name = Cp932ToUtf8(key);
    l.value = Cp932ToUtf8(Trim(t.substr(eq + 1)));
    return l;
  }

  void Index() {
    sections_.clear();
    section_index_.clear();
    for (size_t i = 0; i < lines_.size(); ++i) {
      Line& l = lines_[i];
      if (l.kind == Kind::kSection) {
        if (!sections_.empty()) sections_.back().end = i;
        Section s;
        s.fold = Fold(l.name);
        s.header = i;
        sections_.push_back(std::move(s));
        section_index_.emplace(sections_.back().fold, sections_.size() - 1);
      } else if (l.kind == Kind::kKey && !sections_.empty()) {
        Section& s = sections_.back();
        if (s.keys.emplace(Fold(l.name), i).second) s.key_order.push_back(i);
      }
    }
    if (!sections_.empty()) sections_.back().end = lines_.size();
  }

  std::vector<Line> lines_;
  std::vector<Section> sections_;
  std::unordered_map<std::string, size_t> section_index_;
};

// ---------------------------------------------------------------------------

int SettingsFile::ParseInteger(std::string_view text, int default_value) {
  std::string_view t = Trim(text);
  bool negative = false;
  size_t i = 0;
  if (i < t.size() && (t[i] == '-' || t[i] == '+')) {
    negative = t[i] == '-';
    ++i;
  }
  int base = 10;
  if (i + 1 < t.size() && t[i] == '0' && (t[i + 1] == 'x' || t[i + 1] == 'X')) {
    base = 16;
    i += 2;
  }
  long long value = 0;
  bool any = false;
  for (; i < t.size(); ++i) {
    char c = t[i];
    int digit;
    if (c >= '0' && c <= '9') {
      digit = c - '0';
    } else if (base == 16 && c >= 'a' && c <= 'f') {
      digit = c - 'a' + 10;
    } else if (base == 16 && c >= 'A' && c <= 'F') {
      digit = c - 'A' + 10;
    } else {
      break;
    }
    any = true;
    if (value < (1LL << 40)) value = value * base + digit;
  }
  if (!any) return default_value;
  if (negative) value = -value;
  // Colours are stored as unsigned 32-bit values; keep their bit pattern.
  if (value > INT_MAX && value <= 0xFFFFFFFFLL) {
    return static_cast<int>(static_cast<uint32_t>(value));
  }
  if (value > INT_MAX) return INT_MAX;
  if (value < INT_MIN) return INT_MIN;
  return static_cast<int>(value);
}

SettingsFile::Stamp SettingsFile::StampOf(const struct stat& st) {
  Stamp s;
  s.exists = true;
  s.dev = st.st_dev;
  s.ino = st.st_ino;
  s.size = st.st_size;
  s.mtime_ns = int64_t(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
  s.ctime_ns = int64_t(st.st_ctim.tv_sec) * 1000000000 + st.st_ctim.tv_nsec;
  return s;
}

SettingsFile::SettingsFile(std::string path, mode_t mode)
    : path_(std::move(path)), mode_(mode) {}
SettingsFile::~SettingsFile() = default;

Settings SettingsFile::Open() { return Settings(this, Current()); }

SettingsFile::Origin SettingsFile::origin() {
  Current();
  std::lock_guard lock(mutex_);
  return origin_;
}

bool SettingsFile::read_only() const {
  std::lock_guard lock(mutex_);
  return read_only_;
}

void SettingsFile::SetProblemReporter(
    std::function<void(const std::string&)> reporter) {
  std::lock_guard lock(mutex_);
  reporter_ = std::move(reporter);
}

void SettingsFile::Report(std::vector<std::string> messages) {
  std::function<void(const std::string&)> reporter;
  {
    std::lock_guard lock(mutex_);
    reporter = reporter_;
  }
  if (!reporter) return;
  for (const std::string& m : messages) reporter(m);
}

std::shared_ptr<const SettingsDocument> SettingsFile::Current() {
  std::vector<std::string> messages;
  std::shared_ptr<const SettingsDocument> doc;
  {
    std::lock_guard lock(mutex_);
    doc = CurrentLocked(&messages);
  }
  Report(std::move(messages));
  return doc;
}

std::shared_ptr<const SettingsDocument> SettingsFile::CurrentLocked(
    std::vector<std::string>* messages) {
  auto unreadable = [&]() {
    if (origin_ == Origin::kUnknown) origin_ = Origin::kUnreadable;
    read_only_ = true;
    if (!reported_unreadable_) {
      reported_unreadable_ = true;
      messages->push_back("設定ファイルを読み込めません。\r" + path_ +
                          "\r\r今回の起動中は設定を保存しません。");
    }
    stamp_ = Stamp();
    doc_ = std::make_shared<SettingsDocument>();
    return doc_;
  };

  struct stat st;
  if (::stat(path_.c_str(), &st) != 0) {
    if (errno != ENOENT && errno != ENOTDIR) return unreadable();
    if (origin_ == Origin::kUnknown) origin_ = Origin::kAbsent;
    if (!doc_ || stamp_.exists) {
      stamp_ = Stamp();
      doc_ = std::make_shared<SettingsDocument>();
    }
    return doc_;
  }
  if (doc_ && StampOf(st) == stamp_) return doc_;

  // Stamp the bytes actually read: a rename between stat and open must not
  // pair new contents with the old identity.
  std::string bytes;
  switch (ReadWholeFile(path_, &bytes, &st)) {
    case ReadResult::kOk:
      break;
    case ReadResult::kMissing:
      stamp_ = Stamp();
      doc_ = std::make_shared<SettingsDocument>();
      return doc_;
    case ReadResult::kUnreadable:
      return unreadable();
  }
  if (origin_ == Origin::kUnknown) origin_ = Origin::kReadable;
  auto doc = std::make_shared<SettingsDocument>();
  doc->Parse(bytes);
  doc_ = std::move(doc);
  stamp_ = StampOf(st);
  return doc_;
}

// ---------------------------------------------------------------------------

std::string Settings::ReadString(std::string_view section, std::string_view key,
                                 std::string_view default_value) const {
  const SettingsDocument::Line* l = doc_->FindKey(section, key);
  return l ? l->value : std::string(default_value);
}

int Settings::ReadInteger(std::string_view section, std::string_view key,
                          int default_value) const {
  const SettingsDocument::Line* l = doc_->FindKey(section, key);
  return l ? SettingsFile::ParseInteger(l->value, default_value)
           : default_value;
}

bool Settings::ReadBool(std::string_view section, std::string_view key,
                        bool default_value) const {
  return ReadInteger(section, key, default_value ? 1 : 0) != 0;
}

bool Settings::HasKey(std::string_view section, std::string_view key) const {
  return doc_->FindKey(section, key) != nullptr;
}

bool Settings::HasSection(std::string_view section) const {
  return doc_->FindSection(section) != nullptr;
}

std::vector<std::string> Settings::ListKeys(std::string_view section) const {
  return doc_->KeysOf(section);
}

std::vector<std::string> Settings::ListSections() const {
  return doc_->SectionNames();
}

bool Settings::Commit(const std::function<bool(SettingsDocument&)>& change) {
  std::vector<std::string> messages;
  bool ok = true;
  {
    std::lock_guard lock(file_->mutex_);
    // Apply the change to the file as it is now, not to this session's view.
    auto current = file_->CurrentLocked(&messages);
    if (file_->read_only_) {
      doc_ = current;
      ok = false;
    } else {
      auto next = std::make_shared<SettingsDocument>(*current);
      if (!change(*next)) {
        doc_ = current;
      } else {
        std::string error;
        if (WriteFileAtomic(file_->path_, next->Serialize(), file_->mode_,
                            &error)) {
          // Our own write must not force a re-read.
          struct stat st;
          if (::stat(file_->path_.c_str(), &st) == 0) {
            file_->stamp_ = SettingsFile::StampOf(st);
          } else {
            file_->stamp_ = SettingsFile::Stamp();
            file_->stamp_.size = -2;  // never matches: re-read next time
          }
          file_->doc_ = next;
          doc_ = next;
        } else {
          ok = false;
          doc_ = current;
          if (!file_->reported_write_failure_) {
            file_->reported_write_failure_ = true;
            messages.push_back("設定ファイルに書き込めません。\r" +
                               file_->path_ + "\r" + error +
                               "\r\r変更した設定は保存されていません。");
          }
        }
      }
    }
  }
  file_->Report(std::move(messages));
  return ok;
}

bool Settings::WriteString(std::string_view section, std::string_view key,
                           std::string_view value) {
  if (!IsWritableKey(key) || Trim(NoLineBreaks(section)).empty()) return false;
  return Commit(
      [&](SettingsDocument& d) { return d.Set(section, key, value); });
}

bool Settings::WriteInteger(std::string_view section, std::string_view key,
                            int value) {
  return WriteString(section, key, std::to_string(value));
}

bool Settings::WriteBool(std::string_view section, std::string_view key,
                         bool value) {
  return WriteString(section, key, value ? "1" : "0");
}

bool Settings::DeleteKey(std::string_view section, std::string_view key) {
  return Commit([&](SettingsDocument& d) { return d.Delete(section, key); });
}

bool Settings::EraseSection(std::string_view section) {
  return Commit([&](SettingsDocument& d) { return d.Erase(section); });
}

}  // namespace mirokata
