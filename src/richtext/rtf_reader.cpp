#include "richtext/rtf_reader.h"

#include <algorithm>
#include <cstdint>
#include <map>
#include <unordered_set>
#include <vector>

#include "platform/text_codec.h"
#include "richtext/code_pages.h"

namespace mirokata {
namespace {

// Deeper groups are skipped whole; real documents stay far below this.
constexpr size_t kMaxDepth = 200;
// RTF limits control words to 32 letters.
constexpr size_t kMaxWordLength = 32;
constexpr size_t kMaxTabStops = 64;
constexpr int kRtfDefaultHalfPoints = 24;

// List tables of hostile files stay small: more lists than this are read as
// bullets.
constexpr size_t kMaxLists = 1000;
constexpr size_t kMaxListLevels = 9;

enum class Destination : uint8_t {
  kBody,
  kFontTable,
  kColorTable,
  kNumbering,      // {\pn ...}: the paragraph's own numbering
  kListTable,      // {\*\listtable ...}
  kListOverrides,  // {\*\listoverridetable ...}
};

struct Group {
  Destination destination = Destination::kBody;
  int font = -1;  // -1: the \deff font
  int half_points = kRtfDefaultHalfPoints;
  bool bold = false;
  bool italic = false;
  bool underline = false;
  bool strike = false;
  int color = 0;
  int unicode_fallback = 1;  // \uc
  bool upr = false;          // inside \upr: only the \ud part counts
  // After \dbch the associated properties (\ab, \ai, \af, \afs) are those
  // of the double-byte text, which is what Japanese text is.
  bool double_byte = false;
  RichParagraphFormat paragraph;
  int list_override = 0;          // \ls: an entry of the list override table
  int list_level = 0;             // \ilvl
  bool numbering_bullet = false;  // in {\pn}: \pnlvlblt seen
};

struct ListLevel {
  RichListStyle style = RichListStyle::kDecimal;
  int start = 1;
};

struct List {
  int id = 0;
  std::vector<ListLevel> levels;
};

struct ListOverride {
  int list_id = 0;
  int number = 0;  // what \ls names
};

// The style of a list level's number format (\levelnfc); formats this
// model lacks (ordinals, kanji numbers and the like) count in digits.
RichListStyle StyleOfNumberFormat(int nfc) {
  switch (nfc) {
    case 1:
      return RichListStyle::kUpperRoman;
    case 2:
      return RichListStyle::kLowerRoman;
    case 3:
      return RichListStyle::kUpperAlpha;
    case 4:
      return RichListStyle::kLowerAlpha;
    case 23:
      return RichListStyle::kBullet;
    case 255:
      return RichListStyle::kNone;
    default:
      return RichListStyle::kDecimal;
  }
}

// The numbering words of {\pn ...} that name a number style.
std::optional<RichListStyle> StyleOfNumberingWord(std::string_view word) {
  if (word == "pndec" || word == "pnord" || word == "pncard" ||
      word == "pnordt" || word == "pndbnum" || word == "pnaiu" ||
      word == "pniroha" || word == "pnganada" || word == "pnzodiac") {
    return RichListStyle::kDecimal;
  }
  if (word == "pnlcltr") return RichListStyle::kLowerAlpha;
  if (word == "pnucltr") return RichListStyle::kUpperAlpha;
  if (word == "pnlcrm") return RichListStyle::kLowerRoman;
  if (word == "pnucrm") return RichListStyle::kUpperRoman;
  return std::nullopt;
}

struct Font {
  std::string name;
  int charset = -1;
  int code_page = 0;  // \cpg
};

// Destinations whose content is never text of the document.
bool IsSkippedDestination(std::string_view word) {
  static const std::unordered_set<std::string_view> kWords = {
      "aftncn",
      "aftnsep",
      "aftnsepc",
      "annotation",
      "atnauthor",
      "atndate",
      "atnicn",
      "atnid",
      "atnparent",
      "atnref",
      "atntime",
      "atrfend",
      "atrfstart",
      "author",
      "bkmkend",
      "bkmkstart",
      "buptim",
      "category",
      "colorschememapping",
      "comment",
      "company",
      "creatim",
      "datafield",
      "datastore",
      "defchp",
      "defpap",
      "do",
      "doccomm",
      "docvar",
      "falt",
      "fchars",
      "ffdeftext",
      "ffentrymcr",
      "ffexitmcr",
      "ffformat",
      "ffhelptext",
      "ffl",
      "ffname",
      "ffstattext",
      "file",
      "filetbl",
      "fldinst",
      "fname",
      "fontemb",
      "fontfile",
      "footer",
      "footerf",
      "footerl",
      "footerr",
      "footnote",
      "formfield",
      "ftncn",
      "ftnsep",
      "ftnsepc",
      "g",
      "generator",
      "gridtbl",
      "header",
      "headerf",
      "headerl",
      "headerr",
      "hl",
      "hlfr",
      "hlinkbase",
      "hlloc",
      "hlsrc",
      "hsv",
      "info",
      "keycode",
      "keywords",
      "latentstyles",
      "lchars",
      "levelnumbers",
      "leveltext",
      "listname",
      "listpicture",
      "liststylename",
      "listtext",
      "manager",
      "mmathPr",
      "nesttableprops",
      "nextfile",
      "nonesttables",
      "nonshppict",
      "objalias",
      "objclass",
      "objdata",
      "object",
      "objname",
      "objsect",
      "objtime",
      "oldcprops",
      "oldpprops",
      "oldsprops",
      "oldtprops",
      "operator",
      "panose",
      "password",
      "passwordhash",
      "pgdsctbl",
      "pict",
      "pntext",
      "pntxta",
      "pntxtb",
      "printim",
      "private",
      "propname",
      "protend",
      "protstart",
      "protusertbl",
      "pxe",
      "result",
      "revtbl",
      "revtim",
      "rsidtbl",
      "rxe",
      "shp",
      "shpinst",
      "shppict",
      "shprslt",
      "shptxt",
      "sn",
      "sp",
      "staticval",
      "stylesheet",
      "subject",
      "sv",
      "svb",
      "tc",
      "template",
      "themedata",
      "title",
      "txe",
      "userprops",
      "wgrffmtfilter",
      "windowcaption",
      "writereservation",
      "writereservhash",
      "xe",
      "xform",
      "xmlattrname",
      "xmlattrvalue",
      "xmlclose",
      "xmlname",
      "xmlnstbl",
      "xmlopen"};
  return kWords.contains(word);
}

bool IsUnderlineWord(std::string_view word) {
  static constexpr std::string_view kWords[] = {
      "ul",       "uld",       "uldash",     "uldashd",   "uldashdd",
      "uldb",     "ulhwave",   "ulldash",    "ulth",      "ulthd",
      "ulthdash", "ulthdashd", "ulthdashdd", "ulthldash", "ululdbwave",
      "ulw",      "ulwave"};
  return std::find(std::begin(kWords), std::end(kWords), word) !=
         std::end(kWords);
}

bool IsLetter(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

// Some code pages decode bytes to control characters, which are no text.
std::string WithoutControls(std::string text) {
  std::erase_if(text, [](char c) {
    return (static_cast<unsigned char>(c) < 0x20 && c != '\t') || c == 0x7F;
  });
  return text;
}

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

class Parser {
 public:
  explicit Parser(std::string_view data) : data_(data) {
    document_.paragraphs.clear();
  }

  std::optional<RichDocument> Parse() {
    if (!LooksLikeRtf(data_)) return std::nullopt;
    while (pos_ < data_.size() && data_[pos_] != '{') ++pos_;
    while (pos_ < data_.size() && !(opened_ && stack_.empty())) {
      char c = data_[pos_];
      if (c == '{') {
        ++pos_;
        OpenGroup();
      } else if (c == '}') {
        ++pos_;
        CloseGroup();
      } else if (c == '\\') {
        ++pos_;
        if (!ControlSequence()) return std::nullopt;
      } else {
        ++pos_;
        if (c == '\r' || c == '\n') continue;
        if (stack_.empty()) break;
        if (ConsumedAsFallback()) continue;
        TextByte(c);
      }
    }
    FlushPending();
    if (!paragraph_.runs.empty() || !seen_break_) {
      bool open = !stack_.empty() && Top().destination == Destination::kBody;
      paragraph_.format = open ? ParagraphOf(Top()) : last_paragraph_format_;
      paragraph_.mark_format = open ? CurrentFormat() : last_mark_format_;
      if (high_surrogate_ != 0) {
        high_surrogate_ = 0;
        AppendRunText(paragraph_, paragraph_.mark_format, "\xEF\xBF\xBD");
      }
      NormalizeRuns(paragraph_);
      document_.paragraphs.push_back(std::move(paragraph_));
    }
    if (document_.paragraphs.empty()) document_.paragraphs.emplace_back();
    return std::move(document_);
  }

 private:
  Group& Top() { return stack_.back(); }

  void OpenGroup() {
    FlushPending();
    unicode_skip_ = 0;
    ignorable_ = false;
    opened_ = true;
    if (stack_.size() >= kMaxDepth ||
        (!stack_.empty() && Top().upr &&
         !data_.substr(pos_).starts_with("\\*\\ud"))) {
      SkipGroupBody();
      return;
    }
    if (stack_.empty()) {
      stack_.emplace_back();
    } else {
      Group copy = Top();
      copy.upr = false;
      stack_.push_back(std::move(copy));
    }
  }

  void CloseGroup() {
    FlushPending();
    unicode_skip_ = 0;
    ignorable_ = false;
    if (stack_.empty()) return;
    if (Top().destination == Destination::kFontTable) FinishFontEntry();
    if (Top().destination == Destination::kBody) {
      last_paragraph_format_ = ParagraphOf(Top());
      last_mark_format_ = CurrentFormat();
    }
    stack_.pop_back();
  }

  // Consumes the rest of the current group up to its closing brace, which
  // was already opened (by the caller or by the group on the stack).
  void SkipGroupBody() {
    size_t depth = 1;
    while (pos_ < data_.size()) {
      char c = data_[pos_++];
      if (c == '{') {
        ++depth;
      } else if (c == '}') {
        if (--depth == 0) return;
      } else if (c == '\\') {
        if (pos_ >= data_.size()) return;
        if (!IsLetter(data_[pos_])) {
          ++pos_;  // a control symbol, an escaped brace included
          continue;
        }
        std::string_view word;
        bool has_param = false;
        int64_t param = 0;
        ReadWord(&word, &has_param, &param);
        if (word == "bin" && has_param) SkipBinary(param);
      }
    }
  }

  // Skips the group on the stack and leaves it.
  void SkipCurrentGroup() {
    FlushPending();
    SkipGroupBody();
    if (stack_.empty()) return;
    if (stack_.size() == 1) {
      // The whole document was a skipped destination; keep what came before.
      last_paragraph_format_ = ParagraphOf(Top());
      last_mark_format_ = CurrentFormat();
    }
    stack_.pop_back();
  }

  void SkipBinary(int64_t count) {
    if (count <= 0) return;
    size_t left = data_.size() - pos_;
    pos_ += std::min<uint64_t>(uint64_t(count), left);
  }

  // Reads letters, an optional signed number and its delimiter at pos_.
  // False when the word is longer than RTF allows.
  bool ReadWord(std::string_view* word, bool* has_param, int64_t* param) {
    size_t start = pos_;
    while (pos_ < data_.size() && IsLetter(data_[pos_])) ++pos_;
    *word = data_.substr(start, pos_ - start);
    bool negative = false;
    if (pos_ < data_.size() && data_[pos_] == '-' && pos_ + 1 < data_.size() &&
        data_[pos_ + 1] >= '0' && data_[pos_ + 1] <= '9') {
      negative = true;
      ++pos_;
    }
    *has_param = false;
    int64_t value = 0;
    while (pos_ < data_.size() && data_[pos_] >= '0' && data_[pos_] <= '9') {
      *has_param = true;
      if (value < INT32_MAX) value = value * 10 + (data_[pos_] - '0');
      ++pos_;
    }
    value = std::min<int64_t>(value, INT32_MAX);
    *param = negative ? -value : value;
    if (pos_ < data_.size() && data_[pos_] == ' ') ++pos_;
    return word->size() <= kMaxWordLength;
  }

  // After a backslash. False when the data cannot be RTF.
  bool ControlSequence() {
    if (pos_ >= data_.size()) return true;
    char c = data_[pos_];
    if (!IsLetter(c)) {
      ++pos_;
      ControlSymbol(c);
      return true;
    }
    std::string_view word;
    bool has_param = false;
    int64_t param = 0;
    if (!ReadWord(&word, &has_param, &param)) return false;
    if (stack_.empty()) return true;
    if (word == "bin") {
      FlushPending();
      if (unicode_skip_ > 0) --unicode_skip_;
      SkipBinary(has_param ? param : 0);
      return true;
    }
    bool ignorable = ignorable_;
    ignorable_ = false;
    if (ConsumedAsFallback()) return true;
    FlushPending();
    ControlWord(word, has_param, int(param), ignorable);
    return true;
  }

  void ControlSymbol(char c) {
    if (stack_.empty()) return;
    if (c == '\'') {
      int high = pos_ < data_.size() ? HexValue(data_[pos_]) : -1;
      int low = pos_ + 1 < data_.size() ? HexValue(data_[pos_ + 1]) : -1;
      if (high < 0) return;
      if (low < 0) {
        ++pos_;  // half an escape shows nothing
        return;
      }
      pos_ += 2;
      if (ConsumedAsFallback()) return;
      TextByte(char(high * 16 + low));
      return;
    }
    if (ConsumedAsFallback()) return;
    switch (c) {
      case '\\':
      case '{':
      case '}':
        TextByte(c);
        return;
      case '*':
        FlushPending();
        // An ignorable destination this reader does not know is skipped
        // whole; a known one is handled by its control word.
        if (pos_ + 1 < data_.size() && data_[pos_] == '\\' &&
            IsLetter(data_[pos_ + 1])) {
          ignorable_ = true;
        } else {
          SkipCurrentGroup();
        }
        return;
      default:
        break;
    }
    FlushPending();
    if (Top().destination != Destination::kBody) return;
    switch (c) {
      case '~':
        BodyCodePoint(0x00A0);
        break;
      case '_':
        BodyCodePoint(0x2011);
        break;
      case '\r':
      case '\n':
        EndParagraph();
        break;
      default:
        break;  // \- \| \: and the like show nothing
    }
  }

  void ControlWord(std::string_view word, bool has_param, int param,
                   bool ignorable) {
    Group& g = Top();
    if (word == "fonttbl") {
      g.destination = Destination::kFontTable;
      font_entry_ = -1;
      return;
    }
    if (word == "colortbl") {
      g.destination = Destination::kColorTable;
      colors_.clear();
      color_ = RichColor{};
      color_set_ = false;
      return;
    }
    if (word == "pn") {
      g.destination = Destination::kNumbering;
      g.numbering_bullet = false;
      return;
    }
    if (word == "listtable") {
      g.destination = Destination::kListTable;
      return;
    }
    if (word == "listoverridetable") {
      g.destination = Destination::kListOverrides;
      return;
    }
    if (IsSkippedDestination(word)) {
      SkipCurrentGroup();
      return;
    }
    if (ignorable && word != "ud") {
      // An ignorable destination we do not read.
      SkipCurrentGroup();
      return;
    }
    switch (g.destination) {
      case Destination::kFontTable:
        FontTableWord(word, has_param, param);
        return;
      case Destination::kColorTable:
        ColorTableWord(word, param);
        return;
      case Destination::kNumbering:
        NumberingWord(word, has_param, param);
        return;
      case Destination::kListTable:
        ListTableWord(word, has_param, param);
        return;
      case Destination::kListOverrides:
        ListOverrideWord(word, has_param, param);
        return;
      case Destination::kBody:
        break;
    }
    DocumentWord(word, has_param, param);
  }

  // {\pn ...} sets the numbering of the paragraph whose group holds it.
  void NumberingWord(std::string_view word, bool has_param, int param) {
    if (stack_.size() < 2) return;
    Group& g = Top();
    RichParagraphFormat& p = stack_[stack_.size() - 2].paragraph;
    if (word == "pnlvlblt") {
      g.numbering_bullet = true;
      p.list = RichListStyle::kBullet;
    } else if (word == "pnlvlbody" || word == "pnlvl") {
      if (!g.numbering_bullet && !p.numbered())
        p.list = RichListStyle::kDecimal;
    } else if (word == "pnlvlcont") {
      // A paragraph inside a list that shows no number: plain text here.
    } else if (word == "pnstart" && has_param) {
      p.list_start = std::clamp(param, 0, 32767);
    } else if (std::optional<RichListStyle> style =
                   StyleOfNumberingWord(word)) {
      if (!g.numbering_bullet) p.list = *style;
    }
  }

  void ListTableWord(std::string_view word, bool has_param, int param) {
    if (word == "list") {
      lists_full_ = lists_.size() >= kMaxLists;
      if (!lists_full_) lists_.emplace_back();
      return;
    }
    if (lists_.empty() || lists_full_) return;
    List& list = lists_.back();
    if (word == "listlevel") {
      if (list.levels.size() < kMaxListLevels) list.levels.emplace_back();
    } else if (word == "listid" && has_param) {
      list.id = param;
    } else if (list.levels.empty()) {
      return;
    } else if ((word == "levelnfc" || word == "levelnfcn") && has_param) {
      list.levels.back().style = StyleOfNumberFormat(param);
    } else if (word == "levelstartat" && has_param) {
      list.levels.back().start = std::clamp(param, 0, 32767);
    }
  }

  void ListOverrideWord(std::string_view word, bool has_param, int param) {
    if (word == "listoverride") {
      overrides_full_ = overrides_.size() >= kMaxLists;
      if (!overrides_full_) overrides_.emplace_back();
      return;
    }
    if (overrides_.empty() || overrides_full_ || !has_param) return;
    if (word == "listid") {
      overrides_.back().list_id = param;
    } else if (word == "ls") {
      overrides_.back().number = param;
    }
  }

  // The paragraph format of a group, its \ls resolved through the list
  // tables: a list the tables do not describe shows bullets.
  RichParagraphFormat ParagraphOf(const Group& g) const {
    RichParagraphFormat p = g.paragraph;
    // What the writer leaves out reads as unset, so that equal paragraphs
    // compare equal.
    if (!p.numbered()) p.list_start = 1;
    if (p.line_spacing == 0) p.line_multiple = false;
    if (g.list_override <= 0) return p;
    p.list = RichListStyle::kBullet;
    p.list_start = 1;
    for (const ListOverride& o : overrides_) {
      if (o.number != g.list_override) continue;
      for (const List& list : lists_) {
        if (list.id != o.list_id || list.levels.empty()) continue;
        const ListLevel& level = list.levels[std::min<size_t>(
            size_t(g.list_level), list.levels.size() - 1)];
        p.list = level.style;
        p.list_start = p.numbered() ? level.start : 1;
        return p;
      }
      break;
    }
    return p;
  }

  void DocumentWord(std::string_view word, bool has_param, int param) {
    Group& g = Top();
    bool on = !has_param || param != 0;
    if (word == "par" || word == "sect" || word == "page" || word == "row") {
      EndParagraph();
    } else if (word == "line") {
      BodyText("\n");
    } else if (word == "tab" || word == "cell" || word == "nestcell") {
      BodyText("\t");
    } else if (word == "u" && has_param) {
      UnicodeUnit(UnitOf(param));
      unicode_skip_ = g.unicode_fallback;
    } else if (word == "uc" && has_param) {
      g.unicode_fallback = std::clamp(param, 0, 16);
    } else if (word == "upr") {
      g.upr = true;
    } else if (word == "plain") {
      g.font = -1;
      g.half_points = kRtfDefaultHalfPoints;
      g.bold = g.italic = g.underline = g.strike = false;
      g.color = 0;
    } else if (word == "pard") {
      g.paragraph = RichParagraphFormat{};
      g.list_override = 0;
      g.list_level = 0;
    } else if (word == "f" && has_param) {
      g.font = param;
    } else if (word == "fs" && has_param) {
      g.half_points = param > 0 ? std::min(param, 3276) : kRtfDefaultHalfPoints;
    } else if (word == "dbch") {
      g.double_byte = true;
    } else if (word == "loch" || word == "hich" || word == "rtlch" ||
               word == "ltrch") {
      g.double_byte = false;
    } else if (g.double_byte && word == "ab") {
      g.bold = on;
    } else if (g.double_byte && word == "ai") {
      g.italic = on;
    } else if (g.double_byte && word == "af" && has_param) {
      g.font = param;
    } else if (g.double_byte && word == "afs" && has_param) {
      g.half_points = param > 0 ? std::min(param, 3276) : kRtfDefaultHalfPoints;
    } else if (word == "b") {
      g.bold = on;
    } else if (word == "i") {
      g.italic = on;
    } else if (word == "strike" || word == "striked") {
      g.strike = on;
    } else if (word == "ulnone") {
      g.underline = false;
    } else if (IsUnderlineWord(word)) {
      g.underline = on;
    } else if (word == "cf" && has_param) {
      g.color = param;
    } else if (word == "ql") {
      g.paragraph.alignment = RichAlignment::kLeft;
    } else if (word == "qc") {
      g.paragraph.alignment = RichAlignment::kCenter;
    } else if (word == "qr") {
      g.paragraph.alignment = RichAlignment::kRight;
    } else if (word == "qj" || word == "qd") {
      g.paragraph.alignment = RichAlignment::kJustify;
    } else if (word == "fi" && has_param) {
      g.paragraph.first_indent = ClampTwips(param);
    } else if ((word == "li" || word == "lin") && has_param) {
      g.paragraph.left_indent = ClampTwips(param);
    } else if ((word == "ri" || word == "rin") && has_param) {
      g.paragraph.right_indent = ClampTwips(param);
    } else if ((word == "tx" || word == "tb") && has_param) {
      if (g.paragraph.tab_stops.size() < kMaxTabStops) {
        g.paragraph.tab_stops.push_back(ClampTwips(param));
      }
    } else if (word == "ls" && has_param) {
      g.list_override = std::max(param, 0);
    } else if (word == "ilvl" && has_param) {
      g.list_level = std::clamp(param, 0, int(kMaxListLevels) - 1);
    } else if (word == "sb" && has_param) {
      g.paragraph.space_before = std::clamp(param, 0, 31680);
    } else if (word == "sa" && has_param) {
      g.paragraph.space_after = std::clamp(param, 0, 31680);
    } else if (word == "sl" && has_param) {
      g.paragraph.line_spacing = ClampTwips(param);
    } else if (word == "slmult") {
      g.paragraph.line_multiple = on;
    } else if (word == "ansicpg" && has_param && param > 0) {
      ansi_code_page_ = param;
    } else if (word == "mac") {
      ansi_code_page_ = 10000;
    } else if (word == "pc") {
      ansi_code_page_ = 437;
    } else if (word == "pca") {
      ansi_code_page_ = 850;
    } else if (word == "deff" && has_param) {
      default_font_ = param;
    } else {
      uint32_t cp = SpecialCharacter(word);
      if (cp != 0) BodyCodePoint(cp);
      // Anything else is formatting this model does not keep.
    }
  }

  static int ClampTwips(int value) { return std::clamp(value, -31680, 31680); }

  static uint32_t SpecialCharacter(std::string_view word) {
    static const std::map<std::string_view, uint32_t> kChars = {
        {"bullet", 0x2022},    {"emdash", 0x2014},  {"endash", 0x2013},
        {"emspace", 0x2003},   {"enspace", 0x2002}, {"qmspace", 0x2005},
        {"lquote", 0x2018},    {"rquote", 0x2019},  {"ldblquote", 0x201C},
        {"rdblquote", 0x201D}, {"zwj", 0x200D},     {"zwnj", 0x200C}};
    auto it = kChars.find(word);
    return it == kChars.end() ? 0 : it->second;
  }

  void FontTableWord(std::string_view word, bool has_param, int param) {
    if (word == "f" && has_param) {
      FinishFontEntry();
      font_entry_ = param;
      font_name_.clear();
      fonts_[param] = Font{};
    } else if (word == "fcharset" && has_param && font_entry_ >= 0) {
      fonts_[font_entry_].charset = param;
    } else if (word == "cpg" && has_param && font_entry_ >= 0) {
      fonts_[font_entry_].code_page = param;
    } else if (word == "u" && has_param && font_entry_ >= 0) {
      UnicodeUnit(UnitOf(param));
      unicode_skip_ = Top().unicode_fallback;
    }
  }

  void FinishFontEntry() {
    FlushPending();
    FlushSurrogate();
    if (font_entry_ < 0) return;
    // Control characters and the entry terminator cannot be written back.
    std::string name;
    for (char c : font_name_) {
      if ((static_cast<unsigned char>(c) >= 0x20 && c != 0x7F) && c != ';')
        name.push_back(c);
    }
    size_t begin = name.find_first_not_of(' ');
    size_t end = name.find_last_not_of(' ');
    name = begin == std::string::npos ? std::string()
                                      : name.substr(begin, end - begin + 1);
    fonts_[font_entry_].name = std::move(name);
    font_entry_ = -1;
    font_name_.clear();
  }

  void ColorTableWord(std::string_view word, int param) {
    uint8_t value = uint8_t(std::clamp(param, 0, 255));
    if (word == "red") {
      color_.red = value;
    } else if (word == "green") {
      color_.green = value;
    } else if (word == "blue") {
      color_.blue = value;
    } else {
      return;
    }
    color_set_ = true;
  }

  // True (and counts it) when the next character is a \u fallback to drop.
  bool ConsumedAsFallback() {
    if (unicode_skip_ <= 0) return false;
    --unicode_skip_;
    return true;
  }

  void TextByte(char c) {
    switch (Top().destination) {
      case Destination::kBody:
        if ((static_cast<unsigned char>(c) < 0x20 && c != '\t') || c == 0x7F)
          return;
        pending_.push_back(c);
        return;
      case Destination::kFontTable:
        if (c == ';') {
          FinishFontEntry();
        } else if (font_entry_ >= 0) {
          pending_.push_back(c);
        }
        return;
      case Destination::kColorTable:
        if (c == ';') {
          if (color_set_) {
            colors_.push_back(color_);
          } else {
            colors_.push_back(std::nullopt);
          }
          color_ = RichColor{};
          color_set_ = false;
        }
        return;
      case Destination::kNumbering:
      case Destination::kListTable:
      case Destination::kListOverrides:
        return;
    }
  }

  int CodePageOfFont(int number) const {
    auto it = fonts_.find(number);
    if (it != fonts_.end()) {
      if (it->second.code_page > 0) return it->second.code_page;
      int cp = CodePageOfCharset(it->second.charset);
      if (cp != 0) return cp;
    }
    // Character set 0 is taken as the document's code page: files from
    // Japanese systems often claim ANSI for faces that carry Shift-JIS.
    return ansi_code_page_;
  }

  // Decodes the collected bytes: a double-byte character's trail byte may
  // arrive as an escape of its own (\'5c, \\, \{, \}), so bytes are decoded
  // only once a run of them ends.
  void FlushPending() {
    if (pending_.empty() || stack_.empty()) {
      pending_.clear();
      return;
    }
    std::string bytes;
    bytes.swap(pending_);
    switch (Top().destination) {
      case Destination::kBody:
        BodyText(WithoutControls(
            DecodeCodePage(bytes, CodePageOfFont(FontNumber()))));
        break;
      case Destination::kFontTable:
        FontNameText(DecodeCodePage(bytes, CodePageOfFont(font_entry_)));
        break;
      default:
        break;
    }
  }

  int FontNumber() {
    int f = Top().font;
    return f < 0 ? default_font_ : f;
  }

  // \u takes a signed 16-bit value.
  static uint32_t UnitOf(int param) {
    return (param < 0 ? uint32_t(param + 65536) : uint32_t(param)) & 0xFFFF;
  }

  // Pairs surrogate halves; a half without its partner becomes U+FFFD.
  void UnicodeUnit(uint32_t unit) {
    if (unit >= 0xD800 && unit < 0xDC00) {
      FlushSurrogate();
      high_surrogate_ = unit;
      return;
    }
    if (unit >= 0xDC00 && unit < 0xE000) {
      if (high_surrogate_ == 0) {
        EmitCodePoint(0xFFFD);
      } else {
        uint32_t cp =
            0x10000 + ((high_surrogate_ - 0xD800) << 10) + (unit - 0xDC00);
        high_surrogate_ = 0;
        EmitCodePoint(cp);
      }
      return;
    }
    EmitCodePoint(unit);
  }

  void FlushSurrogate() {
    if (high_surrogate_ == 0) return;
    high_surrogate_ = 0;
    EmitCodePoint(0xFFFD);
  }

  void EmitCodePoint(uint32_t cp) {
    // Control characters are no text; \u9 is a tab.
    if ((cp < 0x20 && cp != '\t') || cp == 0x7F) return;
    std::string s;
    AppendUtf8(cp, s);
    if (stack_.empty()) return;
    if (Top().destination == Destination::kBody) {
      BodyText(s);
    } else if (Top().destination == Destination::kFontTable) {
      FontNameText(s);
    }
  }

  void BodyCodePoint(uint32_t cp) {
    std::string s;
    AppendUtf8(cp, s);
    BodyText(s);
  }

  void BodyText(std::string_view utf8) {
    FlushSurrogate();
    if (stack_.empty() || Top().destination != Destination::kBody) return;
    AppendRunText(paragraph_, CurrentFormat(), utf8);
  }

  void FontNameText(std::string_view utf8) {
    FlushSurrogate();
    if (font_entry_ >= 0) font_name_ += utf8;
  }

  RichCharFormat CurrentFormat() {
    RichCharFormat f;
    if (stack_.empty()) return last_mark_format_;
    const Group& g = Top();
    auto font = fonts_.find(g.font < 0 ? default_font_ : g.font);
    if (font != fonts_.end()) f.font = font->second.name;
    f.half_points = g.half_points;
    f.bold = g.bold;
    f.italic = g.italic;
    f.underline = g.underline;
    f.strike = g.strike;
    if (g.color > 0 && size_t(g.color) < colors_.size())
      f.color = colors_[g.color];
    return f;
  }

  void EndParagraph() {
    FlushPending();
    if (!stack_.empty()) {
      if (Top().destination != Destination::kBody) return;
      paragraph_.format = ParagraphOf(Top());
      paragraph_.mark_format = CurrentFormat();
    }
    FlushSurrogate();
    NormalizeRuns(paragraph_);
    document_.paragraphs.push_back(std::move(paragraph_));
    paragraph_ = RichParagraph{};
    seen_break_ = true;
  }

  std::string_view data_;
  size_t pos_ = 0;
  std::vector<Group> stack_;
  bool opened_ = false;  // the outermost group has been opened
  bool ignorable_ = false;
  int unicode_skip_ = 0;
  uint32_t high_surrogate_ = 0;
  std::string pending_;

  int ansi_code_page_ = 932;  // what a Japanese system assumes
  int default_font_ = 0;
  std::map<int, Font> fonts_;
  int font_entry_ = -1;
  std::string font_name_;
  std::vector<std::optional<RichColor>> colors_;
  std::vector<List> lists_;
  std::vector<ListOverride> overrides_;
  bool lists_full_ = false;
  bool overrides_full_ = false;
  RichColor color_;
  bool color_set_ = false;

  RichDocument document_;
  RichParagraph paragraph_;
  bool seen_break_ = false;
  RichParagraphFormat last_paragraph_format_;
  RichCharFormat last_mark_format_;
};

}  // namespace

bool LooksLikeRtf(std::string_view data) {
  size_t i = data.find_first_not_of(" \t\r\n");
  return i != std::string_view::npos && data.substr(i).starts_with("{\\rtf");
}

std::optional<RichDocument> ParseRtf(std::string_view data) {
  return Parser(data).Parse();
}

RichDocument ReadRichText(std::string_view data) {
  if (std::optional<RichDocument> document = ParseRtf(data)) {
    return *std::move(document);
  }
  return DocumentFromPlainText(Cp932ToUtf8(data));
}

std::string RichTextToPlainText(std::string_view data) {
  return PlainText(ReadRichText(data));
}

}  // namespace mirokata
