#include "platform/text_codec.h"

#include <iconv.h>

#include <cerrno>
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace mirokata {
namespace {

// One converter per direction and thread: iconv_open is far too slow to pay
// per call, and an iconv_t must not be shared between threads.
class Converter {
 public:
  Converter(const char* to, const char* from) : cd_(iconv_open(to, from)) {}
  ~Converter() {
    if (Ok()) iconv_close(cd_);
  }
  Converter(const Converter&) = delete;
  Converter& operator=(const Converter&) = delete;

  bool Ok() const { return cd_ != reinterpret_cast<iconv_t>(-1); }
  iconv_t get() const { return cd_; }
  void Reset() { iconv(cd_, nullptr, nullptr, nullptr, nullptr); }

 private:
  iconv_t cd_;
};

Converter& Decoder() {
  thread_local Converter c("UTF-8", "CP932");
  return c;
}

Converter& Encoder() {
  thread_local Converter c("CP932", "UTF-8");
  return c;
}

// Runs iconv over in, calling on_bad(in, out) whenever a sequence cannot be
// converted; on_bad must consume at least one input byte.
template <typename OnBad>
std::string Convert(Converter& c, std::string_view in, OnBad on_bad) {
  std::string out;
  out.reserve(in.size() * 3 / 2 + 8);
  if (!c.Ok()) {
    // No converter on this system: keep ASCII, drop the rest visibly.
    for (unsigned char ch : in) out.push_back(ch < 0x80 ? char(ch) : '?');
    return out;
  }
  c.Reset();
  char* src = const_cast<char*>(in.data());
  size_t src_left = in.size();
  char buf[1024];
  while (src_left > 0) {
    char* dst = buf;
    size_t dst_left = sizeof(buf);
    size_t r = iconv(c.get(), &src, &src_left, &dst, &dst_left);
    out.append(buf, dst - buf);
    if (r != static_cast<size_t>(-1)) continue;
    if (errno == E2BIG) continue;
    // EILSEQ or EINVAL (truncated sequence at the end).
    size_t used = on_bad(std::string_view(src, src_left), out);
    if (used == 0) used = 1;
    if (used > src_left) used = src_left;
    src += used;
    src_left -= used;
    c.Reset();
  }
  return out;
}

// Characters that other systems' Japanese input produces where CP932 has a
// differently coded twin.
uint32_t Cp932LookAlike(uint32_t cp) {
  switch (cp) {
    case 0x301C:
      return 0xFF5E;  // WAVE DASH -> FULLWIDTH TILDE
    case 0x2016:
      return 0x2225;  // DOUBLE VERTICAL LINE -> PARALLEL TO
    case 0x2212:
      return 0xFF0D;  // MINUS SIGN -> FULLWIDTH HYPHEN-MINUS
    case 0x00A2:
      return 0xFFE0;  // CENT SIGN
    case 0x00A3:
      return 0xFFE1;  // POUND SIGN
    case 0x00AC:
      return 0xFFE2;  // NOT SIGN
    case 0x2014:
      return 0x2015;  // EM DASH -> HORIZONTAL BAR
    case 0x00A6:
      return 0xFFE4;  // BROKEN BAR
    default:
      return 0;
  }
}

}  // namespace

void AppendUtf8(uint32_t cp, std::string& out) {
  if (cp > 0x10FFFF || (cp >= 0xD800 && cp < 0xE000)) cp = kUtf8Replacement;
  if (cp < 0x80) {
    out.push_back(char(cp));
  } else if (cp < 0x800) {
    out.push_back(char(0xC0 | (cp >> 6)));
    out.push_back(char(0x80 | (cp & 0x3F)));
  } else if (cp < 0x10000) {
    out.push_back(char(0xE0 | (cp >> 12)));
    out.push_back(char(0x80 | ((cp >> 6) & 0x3F)));
    out.push_back(char(0x80 | (cp & 0x3F)));
  } else {
    out.push_back(char(0xF0 | (cp >> 18)));
    out.push_back(char(0x80 | ((cp >> 12) & 0x3F)));
    out.push_back(char(0x80 | ((cp >> 6) & 0x3F)));
    out.push_back(char(0x80 | (cp & 0x3F)));
  }
}

uint32_t NextCodePoint(std::string_view text, size_t* pos) {
  unsigned char b = text[*pos];
  size_t n = b < 0x80             ? 1
             : (b & 0xE0) == 0xC0 ? 2
             : (b & 0xF0) == 0xE0 ? 3
             : (b & 0xF8) == 0xF0 ? 4
                                  : 0;
  if (n == 1) {
    ++*pos;
    return b;
  }
  if (n == 0 || *pos + n > text.size()) {
    ++*pos;
    return kUtf8Replacement;
  }
  uint32_t cp = b & (0x7F >> n);
  for (size_t i = 1; i < n; ++i) {
    unsigned char t = text[*pos + i];
    if ((t & 0xC0) != 0x80) {
      ++*pos;
      return kUtf8Replacement;
    }
    cp = (cp << 6) | (t & 0x3F);
  }
  // Overlong forms, surrogates and values beyond Unicode are not characters.
  static constexpr uint32_t kMin[5] = {0, 0, 0x80, 0x800, 0x10000};
  if (cp < kMin[n] || cp > 0x10FFFF || (cp >= 0xD800 && cp < 0xE000)) {
    ++*pos;
    return kUtf8Replacement;
  }
  *pos += n;
  return cp;
}

bool IsAscii(std::string_view text) {
  for (unsigned char c : text) {
    if (c >= 0x80) return false;
  }
  return true;
}

namespace {

std::string DecodeWith(Converter& c, std::string_view bytes) {
  return Convert(c, bytes, [](std::string_view, std::string& out) {
    AppendUtf8(kUtf8Replacement, out);
    return size_t{1};
  });
}

// The UTF-8 of every valid CP932 character, taken once from the converter
// itself, so text of valid characters alone (nearly all text) is decoded
// without iconv, with exactly its result. Anything else goes to iconv.
class Cp932Table {
 public:
  Cp932Table() {
    if (!Decoder().Ok()) return;
    for (int b = 0; b < 256; ++b) {
      const char byte = static_cast<char>(b);
      Set(single_[b], DecodeWith(Decoder(), std::string_view(&byte, 1)));
    }
    // One call per lead byte: its pairs, each followed by a line feed
    // (never a trail byte, so it always decodes as itself).
    for (int lead = 0x80; lead < 0x100; ++lead) {
      if (single_[lead].length != 0) continue;
      std::string pairs;
      for (int trail = 0x40; trail <= 0xFC; ++trail) {
        pairs += static_cast<char>(lead);
        pairs += static_cast<char>(trail);
        pairs += '\n';
      }
      const std::string text = DecodeWith(Decoder(), pairs);
      std::vector<std::string_view> parts;
      size_t start = 0;
      for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\n') continue;
        parts.emplace_back(text.data() + start, i - start);
        start = i + 1;
      }
      if (parts.size() != 0xFC - 0x40 + 1) continue;  // left to iconv
      for (int trail = 0x40; trail <= 0xFC; ++trail) {
        Set(pair_[lead - 0x80][trail], parts[trail - 0x40]);
      }
    }
    ready_ = true;
  }

  // False when some bytes are not valid CP932 characters.
  bool Decode(std::string_view bytes, std::string* out) const {
    if (!ready_) return false;
    out->clear();
    out->reserve(bytes.size() * 3 / 2 + 8);
    for (size_t i = 0; i < bytes.size(); ++i) {
      const unsigned char b = static_cast<unsigned char>(bytes[i]);
      const Entry* e = &single_[b];
      if (e->length == 0) {
        if (b < 0x80 || i + 1 >= bytes.size()) return false;
        e = &pair_[b - 0x80][static_cast<unsigned char>(bytes[++i])];
        if (e->length == 0) return false;
      }
      out->append(e->utf8, e->length);
    }
    return true;
  }

 private:
  struct Entry {
    char utf8[4] = {};
    uint8_t length = 0;  // 0: not one valid character
  };
  // One code point other than the replacement character.
  static void Set(Entry& e, std::string_view utf8) {
    size_t pos = 0;
    if (utf8.empty() || utf8.size() > 4) return;
    const uint32_t cp = NextCodePoint(utf8, &pos);
    if (pos != utf8.size() || cp == kUtf8Replacement) return;
    utf8.copy(e.utf8, utf8.size());
    e.length = static_cast<uint8_t>(utf8.size());
  }

  bool ready_ = false;
  Entry single_[256];
  Entry pair_[128][256];
};

const Cp932Table& Cp932Characters() {
  static const Cp932Table table;
  return table;
}

}  // namespace

std::string Cp932ToUtf8(std::string_view cp932) {
  if (IsAscii(cp932)) return std::string(cp932);
  std::string out;
  if (Cp932Characters().Decode(cp932, &out)) return out;
  return DecodeWith(Decoder(), cp932);
}

std::optional<std::string> DecodeToUtf8(std::string_view bytes,
                                        const std::string& charset) {
  // Opened once per character set and thread; a document names only a few.
  thread_local std::map<std::string, std::unique_ptr<Converter>> converters;
  auto it = converters.find(charset);
  if (it == converters.end()) {
    if (converters.size() > 32) converters.clear();
    it = converters
             .emplace(charset,
                      std::make_unique<Converter>("UTF-8", charset.c_str()))
             .first;
  }
  if (!it->second->Ok()) return std::nullopt;
  return DecodeWith(*it->second, bytes);
}

std::string Utf8ToCp932(std::string_view utf8) {
  if (IsAscii(utf8)) return std::string(utf8);
  return Convert(Encoder(), utf8, [](std::string_view rest, std::string& out) {
    size_t len = 0;
    uint32_t cp = NextCodePoint(rest, &len);
    uint32_t twin = Cp932LookAlike(cp);
    if (twin != 0) {
      std::string alt;
      AppendUtf8(twin, alt);
      // The twin is always in CP932; convert it on its own.
      Converter c("CP932", "UTF-8");
      char* src = alt.data();
      size_t src_left = alt.size();
      char buf[8];
      char* dst = buf;
      size_t dst_left = sizeof(buf);
      if (c.Ok() && iconv(c.get(), &src, &src_left, &dst, &dst_left) !=
                        static_cast<size_t>(-1)) {
        out.append(buf, dst - buf);
        return len;
      }
    }
    out.push_back('?');
    return len;
  });
}

bool FitsCp932(std::string_view utf8) {
  if (IsAscii(utf8)) return true;
  bool fits = true;
  std::string bytes =
      Convert(Encoder(), utf8, [&fits](std::string_view rest, std::string&) {
        fits = false;
        size_t len = 0;
        NextCodePoint(rest, &len);
        return len;
      });
  // Encodable is not enough: the bytes must also decode to the same text.
  return fits && Cp932ToUtf8(bytes) == utf8;
}

}  // namespace mirokata
