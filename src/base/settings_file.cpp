#include "base/settings_file.h"

#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <iterator>
#include <unordered_map>

#include "platform/file_io.h"
#include "platform/text_codec.h"

namespace mirokata {
namespace {

constexpr std::string_view kEscapeMark = "{u}";

bool IsBlankByte(char c) { return c == ' ' || c == '\t'; }

std::string_view Trim(std::string_view s) {
  size_t b = 0, e = s.size();
  while (b < e && IsBlankByte(s[b])) ++b;
  while (e > b && IsBlankByte(s[e - 1])) --e;
  return s.substr(b, e - b);
}

std::string NoLineBreaks(std::string_view s) {
  std::string out(s);
  for (char& c : out) {
    if (c == '\r' || c == '\n') c = ' ';
  }
  return out;
}

// The one spelling of a section or key name for every lookup: a name is
// stored without line breaks and read back trimmed, so both the name given
// to a write and the one found in the file fold to the same text.
std::string Fold(std::string_view s) {
  // Trim(NoLineBreaks(s)) in lower case, in one pass: this runs for every
  // name of a file as it is read.
  auto blank = [](char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
  };
  size_t b = 0, e = s.size();
  while (b < e && blank(s[b])) ++b;
  while (e > b && blank(s[e - 1])) --e;
  std::string out(s.substr(b, e - b));
  for (char& c : out) {
    if (c >= 'A' && c <= 'Z') {
      c = char(c - 'A' + 'a');
    } else if (c == '\r' || c == '\n') {
      c = ' ';
    }
  }
  return out;
}

// How a new section's name is written (and so how it reads back).
std::string StoredSectionName(std::string_view s) {
  return std::string(Trim(NoLineBreaks(s)));
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

bool IsWritableSection(std::string_view section) {
  return !Trim(NoLineBreaks(section)).empty();
}

void AppendEscape(uint32_t cp, std::string& out) {
  static const char kHex[] = "0123456789ABCDEF";
  char digits[8];
  int n = 0;
  do {
    digits[n++] = kHex[cp & 0xF];
    cp >>= 4;
  } while (cp != 0);
  out.push_back('{');
  while (n > 0) out.push_back(digits[--n]);
  out.push_back('}');
}

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

}  // namespace

std::string SettingsFile::EncodeText(std::string_view utf8) {
  const bool plain =
      !utf8.starts_with(kEscapeMark) &&
      (utf8.empty() ||
       (!IsBlankByte(utf8.front()) && !IsBlankByte(utf8.back()))) &&
      utf8.find_first_of("\r\n") == std::string_view::npos && FitsCp932(utf8);
  if (plain) return Utf8ToCp932(utf8);

  // Blanks outside [first, last) would be trimmed by a reader.
  size_t first = 0, last = utf8.size();
  while (first < last && IsBlankByte(utf8[first])) ++first;
  while (last > first && IsBlankByte(utf8[last - 1])) --last;
  std::string out(kEscapeMark);
  out.reserve(utf8.size() + 16);
  size_t pos = 0;
  while (pos < utf8.size()) {
    const size_t start = pos;
    const uint32_t cp = NextCodePoint(utf8, &pos);
    const bool edge = start < first || start >= last;
    if (cp == '{' || cp == '\r' || cp == '\n' ||
        (edge && (cp == ' ' || cp == '\t'))) {
      AppendEscape(cp, out);
    } else if (cp < 0x80) {
      out.push_back(static_cast<char>(cp));
    } else {
      // An invalid byte reads as U+FFFD, which CP932 lacks: escaped.
      std::string_view ch = utf8.substr(start, pos - start);
      if (FitsCp932(ch)) {
        out += Utf8ToCp932(ch);
      } else {
        AppendEscape(cp, out);
      }
    }
  }
  return out;
}

std::string SettingsFile::DecodeText(std::string_view cp932) {
  if (!cp932.starts_with(kEscapeMark)) return Cp932ToUtf8(cp932);
  // Decoded first: a CP932 trail byte may look like "{" or "}".
  const std::string text = Cp932ToUtf8(cp932.substr(kEscapeMark.size()));
  std::string out;
  out.reserve(text.size());
  size_t i = 0;
  while (i < text.size()) {
    if (text[i] == '{') {
      uint32_t cp = 0;
      size_t j = i + 1;
      while (j < text.size() && j - i <= 7 && HexValue(text[j]) >= 0) {
        cp = cp * 16 + static_cast<uint32_t>(HexValue(text[j]));
        ++j;
      }
      const size_t digits = j - i - 1;
      if (digits >= 1 && digits <= 6 && j < text.size() && text[j] == '}' &&
          cp <= 0x10FFFF && !(cp >= 0xD800 && cp < 0xE000)) {
        AppendUtf8(cp, out);
        i = j + 1;
        continue;
      }
    }
    out.push_back(text[i]);
    ++i;
  }
  return out;
}

// One recorded change of a batch.
struct SettingsChange {
  enum class Kind { kSet, kDelete, kErase, kReplace };
  Kind kind = Kind::kSet;
  std::string section, key, value;
  SettingsBatch::Entries entries;
};

// The parsed file: one block per section (its "[...]" line first) after a
// block of whatever precedes the first section. Blocks are shared between
// the versions of the document and copied only when a change touches them,
// so a batch on a file of thousands of sections copies one section, not
// the file; each block also keeps its bytes as written.
class SettingsDocument {
 public:
  enum class Kind { kOther, kSection, kKey };
  struct Line {
    Kind kind = Kind::kOther;
    std::string_view raw;  // bytes as in the file (in Block::source), or
                           // empty when rebuilt
    bool dirty = false;    // raw must be rebuilt from name/value
    std::string name;      // section or key name, UTF-8
    std::string value;     // key value, UTF-8
  };
  // A section's lines (or those before the first section). A block read
  // from the file keeps its bytes and splits them into lines the first time
  // anyone looks inside: start-up reads a few sections of a file that may
  // hold thousands. The split is once per block and safe from any thread.
  struct Block {
    bool is_section = false;
    std::string name;  // the section's name, UTF-8
    std::string fold;  // the folded section name
    // The file's bytes, shared by every block read from it: what bytes and
    // the lines' raw views point into.
    std::shared_ptr<const std::string> source;
    std::string_view bytes;  // the block's lines as read
    bool pristine = false;   // bytes are exactly what Text() would give

    Block() = default;
    // Only a block about to change is copied.
    Block(const Block& other)
        : is_section(other.is_section),
          name(other.name),
          fold(other.fold),
          source(other.source),
          bytes(other.bytes) {
      other.Ready();
      lines_ = other.lines_;
      keys_ = other.keys_;
      key_order_ = other.key_order_;
      MarkSplit();
    }
    Block& operator=(const Block&) = delete;

    // For a block made in memory: its lines are all there is.
    void MarkSplit() {
      std::call_once(split_, [] {});
    }
    const std::vector<Line>& lines() const {
      Ready();
      return lines_;
    }
    std::vector<Line>& lines() {
      Ready();
      return lines_;
    }
    const std::vector<size_t>& key_order() const {
      Ready();
      return key_order_;
    }
    void IndexKeys() const {
      keys_.clear();
      key_order_.clear();
      if (!is_section) return;
      for (size_t i = 1; i < lines_.size(); ++i) {
        if (lines_[i].kind == Kind::kKey) {
          keys_.emplace_back(Fold(lines_[i].name), i);
        }
      }
      // Stable: of two spellings of one key the first wins.
      std::stable_sort(
          keys_.begin(), keys_.end(),
          [](const auto& a, const auto& b) { return a.first < b.first; });
      keys_.erase(std::unique(keys_.begin(), keys_.end(),
                              [](const auto& a, const auto& b) {
                                return a.first == b.first;
                              }),
                  keys_.end());
      key_order_.reserve(keys_.size());
      for (const auto& k : keys_) key_order_.push_back(k.second);
      std::sort(key_order_.begin(), key_order_.end());
    }
    // The line of a folded key, or 0 (line 0 is the section's own).
    size_t FindKey(std::string_view folded) const {
      Ready();
      auto it = std::lower_bound(
          keys_.begin(), keys_.end(), folded,
          [](const auto& k, std::string_view f) { return k.first < f; });
      return it != keys_.end() && it->first == folded ? it->second : 0;
    }
    std::string_view Text() const {
      if (pristine) return bytes;
      if (!text_valid) {
        Ready();
        text.clear();
        for (const Line& l : lines_) {
          if (l.dirty) {
            if (l.kind == Kind::kSection) {
              text += '[';
              text += SettingsFile::EncodeText(l.name);
              text += ']';
            } else {
              text += SettingsFile::EncodeText(l.name);
              text += '=';
              text += SettingsFile::EncodeText(l.value);
            }
          } else {
            text += l.raw;
          }
          text += "\r\n";
        }
        text_valid = true;
      }
      return text;
    }
    void Changed() {
      pristine = false;
      text_valid = false;
    }

   private:
    void Ready() const {
      std::call_once(split_, [this] { Split(); });
    }
    void Split() const {
      size_t pos = 0;
      while (pos < bytes.size()) {
        const size_t nl = bytes.find('\n', pos);
        const size_t end = nl == std::string_view::npos ? bytes.size() : nl;
        std::string_view raw = bytes.substr(pos, end - pos);
        if (!raw.empty() && raw.back() == '\r') raw.remove_suffix(1);
        if (pos == 0 && is_section) {
          Line header;
          header.kind = Kind::kSection;
          header.raw = raw;
          header.name = name;
          lines_.push_back(std::move(header));
        } else {
          lines_.push_back(ParseLine(raw));
        }
        pos = nl == std::string_view::npos ? bytes.size() : nl + 1;
      }
      IndexKeys();
    }

    mutable std::once_flag split_;
    mutable std::vector<Line> lines_;
    // Folded key -> line, sorted by key, first spelling only. A flat
    // vector: sections are mostly a handful of keys, and a file has
    // thousands of them, so a hash table each would cost more than it saves.
    mutable std::vector<std::pair<std::string, size_t>> keys_;
    mutable std::vector<size_t> key_order_;  // lines, ascending
    // The block's bytes as they will be written, once a line changed.
    mutable std::string text;
    mutable bool text_valid = false;
  };
  using SectionIndex = std::unordered_map<std::string, size_t>;

  SettingsDocument()
      : blocks_{std::make_shared<Block>()},
        owned_{true},
        index_(std::make_shared<SectionIndex>()) {}
  // A copy shares every block; Mutable() copies one before changing it.
  SettingsDocument(const SettingsDocument& other)
      : blocks_(other.blocks_),
        owned_(other.blocks_.size(), false),
        index_(other.index_),
        index_owned_(false) {}
  SettingsDocument& operator=(const SettingsDocument&) = delete;

  void Parse(std::string file) {
    auto source = std::make_shared<const std::string>(std::move(file));
    const std::string_view bytes = *source;
    blocks_.assign(1, std::make_shared<Block>());
    blocks_.back()->source = source;
    size_t pos = 0, block_start = 0;
    // Whether every line of the block so far ends in CR LF, which is how
    // unchanged lines are written back.
    bool crlf = true;
    auto finish = [&](size_t end) {
      Block& b = *blocks_.back();
      b.bytes = bytes.substr(block_start, end - block_start);
      b.pristine = crlf;
    };
    while (pos < bytes.size()) {
      const size_t nl = bytes.find('\n', pos);
      const size_t end = nl == std::string_view::npos ? bytes.size() : nl;
      const std::string_view t = Trim(bytes.substr(pos, end - pos));
      if (!t.empty() && t.front() == '[') {
        finish(pos);
        auto block = std::make_shared<Block>();
        block->is_section = true;
        block->source = source;
        block->name = SectionNameOf(t);
        block->fold = Fold(block->name);
        blocks_.push_back(std::move(block));
        block_start = pos;
        crlf = true;
      }
      crlf = crlf && nl != std::string_view::npos && nl > 0 &&
             bytes[nl - 1] == '\r';
      pos = nl == std::string_view::npos ? bytes.size() : nl + 1;
    }
    finish(bytes.size());
    owned_.assign(blocks_.size(), true);
    RebuildIndex();
  }

  std::string Serialize() const {
    size_t total = 0;
    for (const auto& block : blocks_) total += block->Text().size();
    std::string out;
    out.reserve(total);
    for (const auto& block : blocks_) out += block->Text();
    return out;
  }

  const Block* FindSection(std::string_view name) const {
    auto it = index_->find(Fold(name));
    return it == index_->end() ? nullptr : blocks_[it->second].get();
  }

  const Line* FindKey(std::string_view section, std::string_view key) const {
    const Block* b = FindSection(section);
    if (!b) return nullptr;
    const size_t line = b->FindKey(Fold(key));
    return line == 0 ? nullptr : &b->lines()[line];
  }

  std::vector<std::string> KeysOf(std::string_view section) const {
    std::vector<std::string> out;
    if (const Block* b = FindSection(section)) {
      for (size_t i : b->key_order()) out.push_back(b->lines()[i].name);
    }
    return out;
  }

  std::vector<std::string> SectionNames() const {
    std::vector<std::string> out;
    for (size_t i = 1; i < blocks_.size(); ++i) {
      auto it = index_->find(blocks_[i]->fold);
      if (it != index_->end() && it->second == i) {
        out.push_back(blocks_[i]->name);
      }
    }
    return out;
  }

  // Each returns true when the document changed.
  bool Apply(const SettingsChange& c) {
    switch (c.kind) {
      case SettingsChange::Kind::kSet:
        return Set(c.section, c.key, c.value);
      case SettingsChange::Kind::kDelete:
        return Delete(c.section, c.key);
      case SettingsChange::Kind::kErase:
        return Erase(c.section);
      case SettingsChange::Kind::kReplace:
        return Replace(c.section, c.entries);
    }
    return false;
  }

  bool Set(std::string_view section, std::string_view key,
           std::string_view value) {
    std::string clean = NoLineBreaks(value);
    auto found = index_->find(Fold(section));
    if (found == index_->end()) {
      Block& b = AppendSection(section);
      b.lines().push_back(KeyLine(key, std::move(clean)));
      b.IndexKeys();
      return true;
    }
    const size_t bi = found->second;
    const Block& current = *blocks_[bi];
    const size_t line = current.FindKey(Fold(key));
    const bool exists = line != 0;
    if (exists && current.lines()[line].value == clean) return false;
    Block& b = Mutable(bi);
    if (exists) {
      Line& l = b.lines()[line];
      l.value = std::move(clean);
      l.dirty = true;
      l.raw = {};
      return true;
    }
    b.lines().insert(b.lines().begin() + static_cast<long>(BodyEnd(b)),
                     KeyLine(key, std::move(clean)));
    b.IndexKeys();
    return true;
  }

  bool Delete(std::string_view section, std::string_view key) {
    auto found = index_->find(Fold(section));
    if (found == index_->end()) return false;
    const size_t bi = found->second;
    const size_t line = blocks_[bi]->FindKey(Fold(key));
    if (line == 0) return false;
    Block& b = Mutable(bi);
    b.lines().erase(b.lines().begin() + static_cast<long>(line));
    b.IndexKeys();  // a second spelling of the key may surface
    return true;
  }

  bool Erase(std::string_view section) {
    const std::string fold = Fold(section);
    bool changed = false;
    // Every section of that name goes, as its duplicates would resurface.
    for (size_t i = blocks_.size(); i-- > 1;) {
      if (blocks_[i]->fold != fold) continue;
      RemoveBlock(i);
      changed = true;
    }
    if (changed) RebuildIndex();
    return changed;
  }

  bool Replace(std::string_view section,
               const SettingsBatch::Entries& entries) {
    const std::string fold = Fold(section);
    std::vector<size_t> same;
    for (size_t i = 1; i < blocks_.size(); ++i) {
      if (blocks_[i]->fold == fold) same.push_back(i);
    }
    if (same.empty()) {
      Block& b = AppendSection(section);
      for (const auto& [key, value] : entries) {
        b.lines().push_back(KeyLine(key, NoLineBreaks(value)));
      }
      b.IndexKeys();
      return true;
    }
    {
      const Block& first = *blocks_[same[0]];
      const size_t body_end = BodyEnd(first);
      if (same.size() == 1 && body_end - 1 == entries.size()) {
        bool equal = true;
        for (size_t k = 0; k < entries.size() && equal; ++k) {
          const Line& l = first.lines()[1 + k];
          equal = l.kind == Kind::kKey && l.name == entries[k].first &&
                  l.value == NoLineBreaks(entries[k].second);
        }
        if (equal) return false;
      }
    }
    for (size_t n = same.size(); n-- > 1;) RemoveBlock(same[n]);
    Block& b = Mutable(same[0]);
    std::vector<Line> body;
    body.reserve(entries.size());
    for (const auto& [key, value] : entries) {
      body.push_back(KeyLine(key, NoLineBreaks(value)));
    }
    const long body_end = static_cast<long>(BodyEnd(b));
    b.lines().erase(b.lines().begin() + 1, b.lines().begin() + body_end);
    b.lines().insert(b.lines().begin() + 1,
                     std::make_move_iterator(body.begin()),
                     std::make_move_iterator(body.end()));
    b.IndexKeys();
    if (same.size() > 1) RebuildIndex();
    return true;
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

  static bool IsBlankLine(const Line& l) {
    return l.kind == Kind::kOther && !l.dirty && Trim(l.raw).empty();
  }

  // After the section's last non-blank line: where a new key goes.
  static size_t BodyEnd(const Block& b) {
    const std::vector<Line>& lines = b.lines();
    size_t at = lines.size();
    while (at > 1 && IsBlankLine(lines[at - 1])) --at;
    return at;
  }

  // The block, copied first when another version of the document shares it.
  Block& Mutable(size_t i) {
    if (!owned_[i]) {
      blocks_[i] = std::make_shared<Block>(*blocks_[i]);
      owned_[i] = true;
    }
    blocks_[i]->Changed();
    return *blocks_[i];
  }

  // A new, empty section at the end of the file.
  Block& AppendSection(std::string_view name) {
    auto block = std::make_shared<Block>();
    Line header;
    header.kind = Kind::kSection;
    header.name = StoredSectionName(name);
    header.dirty = true;
    block->is_section = true;
    block->name = header.name;
    block->fold = Fold(header.name);
    block->MarkSplit();
    block->lines().push_back(std::move(header));
    blocks_.push_back(std::move(block));
    owned_.push_back(true);
    if (!index_owned_) {
      index_ = std::make_shared<SectionIndex>(*index_);
      index_owned_ = true;
    }
    index_->emplace(blocks_.back()->fold, blocks_.size() - 1);
    return *blocks_.back();
  }

  void RemoveBlock(size_t i) {
    blocks_.erase(blocks_.begin() + static_cast<long>(i));
    owned_.erase(owned_.begin() + static_cast<long>(i));
  }

  void RebuildIndex() {
    auto index = std::make_shared<SectionIndex>();
    index->reserve(blocks_.size());
    for (size_t i = 1; i < blocks_.size(); ++i) {
      index->emplace(blocks_[i]->fold, i);
    }
    index_ = std::move(index);
    index_owned_ = true;
  }

  // The name in a trimmed "[...]" line.
  static std::string SectionNameOf(std::string_view trimmed) {
    // Section names are file paths at times, so they may hold "]".
    std::string_view inner = trimmed.substr(1);
    const size_t close = inner.rfind(']');
    if (close != std::string_view::npos) inner = inner.substr(0, close);
    return SettingsFile::DecodeText(Trim(inner));
  }

  static Line ParseLine(std::string_view raw) {
    Line l;
    l.raw = raw;
    std::string_view t = Trim(raw);
    if (!t.empty() && t.front() == '[') {
      l.kind = Kind::kSection;
      l.name = SectionNameOf(t);
      return l;
    }
    if (t.empty() || t.front() == ';') return l;
    size_t eq = t.find('=');
    if (eq == std::string_view::npos) return l;
    std::string_view key = Trim(t.substr(0, eq));
    if (key.empty()) return l;
    l.kind = Kind::kKey;
    l.name = SettingsFile::DecodeText(key);
    l.value = SettingsFile::DecodeText(Trim(t.substr(eq + 1)));
    return l;
  }

  std::vector<std::shared_ptr<Block>> blocks_;
  std::vector<bool> owned_;  // blocks_[i] belongs to this version alone
  std::shared_ptr<SectionIndex> index_;  // folded name -> first block
  bool index_owned_ = true;
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
  doc->Parse(std::move(bytes));
  doc_ = std::move(doc);
  stamp_ = StampOf(st);
  return doc_;
}

bool SettingsFile::CommitBatch(SettingsBatch& batch) {
  if (batch.changes_.empty()) return true;
  std::vector<std::string> messages;
  std::shared_ptr<const SettingsDocument> result;
  bool ok = true;
  {
    std::lock_guard lock(mutex_);
    // Apply the changes to the file as it is now, not to the batch's view.
    auto current = CurrentLocked(&messages);
    result = current;
    if (read_only_) {
      ok = false;
    } else {
      std::shared_ptr<SettingsDocument> next;
      bool changed = false;
      if (current == batch.base_ && batch.work_) {
        // Nobody wrote since the batch began: its copy is the new file.
        next = batch.work_;
        changed = batch.work_changed_;
      } else {
        next = std::make_shared<SettingsDocument>(*current);
        for (const SettingsChange& c : batch.changes_) {
          changed = next->Apply(c) || changed;
        }
      }
      if (changed) {
        std::string error;
        if (WriteFileAtomic(path_, next->Serialize(), mode_, &error)) {
          // Our own write must not force a re-read.
          struct stat st;
          if (::stat(path_.c_str(), &st) == 0) {
            stamp_ = StampOf(st);
          } else {
            stamp_ = Stamp();
            stamp_.size = -2;  // never matches: re-read next time
          }
          doc_ = next;
          result = next;
        } else {
          ok = false;
          if (!reported_write_failure_) {
            reported_write_failure_ = true;
            messages.push_back("設定ファイルに書き込めません。\r" + path_ +
                               "\r" + error +
                               "\r\r変更した設定は保存されていません。");
          }
        }
      }
    }
  }
  Report(std::move(messages));
  batch.base_ = result;
  batch.doc_ = result;
  batch.work_.reset();
  batch.work_changed_ = false;
  batch.changes_.clear();
  return ok;
}

// ---------------------------------------------------------------------------

std::string SettingsReader::ReadString(std::string_view section,
                                       std::string_view key,
                                       std::string_view default_value) const {
  const SettingsDocument::Line* l = doc_->FindKey(section, key);
  return l ? l->value : std::string(default_value);
}

int SettingsReader::ReadInteger(std::string_view section, std::string_view key,
                                int default_value) const {
  const SettingsDocument::Line* l = doc_->FindKey(section, key);
  return l ? SettingsFile::ParseInteger(l->value, default_value)
           : default_value;
}

bool SettingsReader::ReadBool(std::string_view section, std::string_view key,
                              bool default_value) const {
  return ReadInteger(section, key, default_value ? 1 : 0) != 0;
}

bool SettingsReader::HasKey(std::string_view section,
                            std::string_view key) const {
  return doc_->FindKey(section, key) != nullptr;
}

bool SettingsReader::HasSection(std::string_view section) const {
  return doc_->FindSection(section) != nullptr;
}

std::vector<std::string> SettingsReader::ListKeys(
    std::string_view section) const {
  return doc_->KeysOf(section);
}

std::vector<std::string> SettingsReader::ListSections() const {
  return doc_->SectionNames();
}

// ---------------------------------------------------------------------------

SettingsBatch::SettingsBatch(SettingsFile* file,
                             std::shared_ptr<const SettingsDocument> base)
    : SettingsReader(base), file_(file), base_(std::move(base)) {}
SettingsBatch::SettingsBatch(SettingsBatch&&) noexcept = default;
SettingsBatch& SettingsBatch::operator=(SettingsBatch&&) noexcept = default;
SettingsBatch::~SettingsBatch() = default;

SettingsDocument& SettingsBatch::Work() {
  if (!work_) {
    work_ = std::make_shared<SettingsDocument>(*base_);
    doc_ = work_;
  }
  return *work_;
}

bool SettingsBatch::Record(SettingsChange change) {
  work_changed_ = Work().Apply(change) || work_changed_;
  changes_.push_back(std::move(change));
  return true;
}

bool SettingsBatch::WriteString(std::string_view section, std::string_view key,
                                std::string_view value) {
  if (!IsWritableKey(key) || !IsWritableSection(section)) return false;
  SettingsChange c;
  c.kind = SettingsChange::Kind::kSet;
  c.section = section;
  c.key = key;
  c.value = value;
  return Record(std::move(c));
}

bool SettingsBatch::WriteInteger(std::string_view section, std::string_view key,
                                 int value) {
  return WriteString(section, key, std::to_string(value));
}

bool SettingsBatch::WriteBool(std::string_view section, std::string_view key,
                              bool value) {
  return WriteString(section, key, value ? "1" : "0");
}

void SettingsBatch::DeleteKey(std::string_view section, std::string_view key) {
  SettingsChange c;
  c.kind = SettingsChange::Kind::kDelete;
  c.section = section;
  c.key = key;
  Record(std::move(c));
}

void SettingsBatch::EraseSection(std::string_view section) {
  SettingsChange c;
  c.kind = SettingsChange::Kind::kErase;
  c.section = section;
  Record(std::move(c));
}

bool SettingsBatch::ReplaceSection(std::string_view section,
                                   const Entries& entries) {
  if (!IsWritableSection(section)) return false;
  for (const auto& entry : entries) {
    if (!IsWritableKey(entry.first)) return false;
  }
  SettingsChange c;
  c.kind = SettingsChange::Kind::kReplace;
  c.section = section;
  c.entries = entries;
  return Record(std::move(c));
}

size_t SettingsBatch::size() const { return changes_.size(); }

bool SettingsBatch::Commit() { return file_->CommitBatch(*this); }

// ---------------------------------------------------------------------------

SettingsBatch Settings::StartBatch() const {
  return SettingsBatch(file_, doc_);
}

bool Settings::Batch(const std::function<void(SettingsBatch&)>& fill) {
  SettingsBatch batch = StartBatch();
  fill(batch);
  return CommitOne(batch);
}

bool Settings::CommitOne(SettingsBatch& batch) {
  const bool ok = batch.Commit();
  doc_ = batch.doc_;
  return ok;
}

bool Settings::WriteString(std::string_view section, std::string_view key,
                           std::string_view value) {
  SettingsBatch batch = StartBatch();
  if (!batch.WriteString(section, key, value)) return false;
  return CommitOne(batch);
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
  SettingsBatch batch = StartBatch();
  batch.DeleteKey(section, key);
  return CommitOne(batch);
}

bool Settings::EraseSection(std::string_view section) {
  SettingsBatch batch = StartBatch();
  batch.EraseSection(section);
  return CommitOne(batch);
}

}  // namespace mirokata
