#include "richtext/rtf_writer.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <unordered_map>
#include <vector>

#include "platform/text_codec.h"
#include "richtext/code_pages.h"

namespace mirokata {
namespace {

constexpr char kSymbolFont[] = "Symbol";
// The bullet as U+2022, falling back to the Symbol font's bullet for readers
// without \u: a plain \'b7 reads as half-width katakana in code page 932.
constexpr char kBulletText[] = "\\u8226\\'b7";

bool IsJapaneseFace(std::string_view name) {
  if (!IsAscii(name)) return true;
  std::string lower(name);
  std::transform(lower.begin(), lower.end(), lower.begin(),
                 [](unsigned char c) { return char(std::tolower(c)); });
  static constexpr const char* kHints[] = {
      "gothic", "mincho",   "meiryo", "cjk", "ipa",
      "takao",  "hiragino", "osaka",  "yu ", " jp"};
  for (const char* hint : kHints) {
    if (lower.find(hint) != std::string::npos) return true;
  }
  return false;
}

struct FontEntry {
  std::string name;
  int charset = 0;
};

class Writer {
 public:
  explicit Writer(const RichDocument& document) : document_(document) {}

  std::string Write() {
    CollectTables();
    out_ = "{\\rtf1\\ansi\\ansicpg932\\deff0\\deflang1033\\deflangfe1041";
    out_ += "{\\fonttbl";
    for (size_t i = 0; i < fonts_.size(); ++i) {
      out_ += "{\\f" + std::to_string(i) + "\\fnil\\fcharset" +
              std::to_string(fonts_[i].charset) + " ";
      delimit_ = false;
      AppendText(fonts_[i].name, /*font_name=*/true);
      out_ += ";}";
    }
    out_ += "}\r\n{\\colortbl ;";
    for (const RichColor& c : colors_) {
      out_ += "\\red" + std::to_string(c.red) + "\\green" +
              std::to_string(c.green) + "\\blue" + std::to_string(c.blue) + ";";
    }
    out_ += "}\r\n";
    WriteListTables();
    out_ += "\\viewkind4\\uc1";
    delimit_ = true;

    const RichParagraphFormat* previous = nullptr;
    const std::vector<int> numbers = ListItemNumbers(document_);
    for (size_t i = 0; i < document_.paragraphs.size(); ++i) {
      const RichParagraph& paragraph = document_.paragraphs[i];
      if (previous == nullptr || !(paragraph.format == *previous)) {
        WriteParagraphFormat(paragraph.format, list_of_paragraph_[i]);
        if (previous == nullptr) Word("\\lang1041");
      }
      previous = &paragraph.format;
      if (paragraph.format.bullet()) {
        out_ += "{\\pntext\\f" + std::to_string(symbol_font_) + kBulletText +
                "\\tab}";
        delimit_ = false;
      } else if (paragraph.format.numbered()) {
        // What readers without numbering show in place of the number.
        out_ += "{\\pntext " +
                ListItemLabel(paragraph.format.list, numbers[i]) + "\\tab}";
        delimit_ = false;
      }
      for (const RichRun& run : paragraph.runs) {
        WriteCharFormat(Resolved(run.format));
        AppendText(run.text, /*font_name=*/false);
      }
      WriteCharFormat(Resolved(paragraph.mark_format));
      out_ += "\\par\r\n";
      delimit_ = false;
    }
    out_ += "}\r\n";
    return std::move(out_);
  }

 private:
  static RichCharFormat Resolved(const RichCharFormat& format) {
    RichCharFormat f = format;
    if (f.font.empty()) f.font = kDefaultRichFont;
    if (f.half_points <= 0) f.half_points = kDefaultRichHalfPoints;
    return f;
  }

  int FontIndex(const std::string& name) {
    for (size_t i = 0; i < fonts_.size(); ++i) {
      if (fonts_[i].name == name) return int(i);
    }
    fonts_.push_back({name, IsJapaneseFace(name) ? 128 : 0});
    return int(fonts_.size() - 1);
  }

  int ColorIndex(const std::optional<RichColor>& color) {
    if (!color) return 0;
    auto it = std::find(colors_.begin(), colors_.end(), *color);
    if (it != colors_.end()) return int(it - colors_.begin()) + 1;
    colors_.push_back(*color);
    return int(colors_.size());
  }

  void Collect(const RichCharFormat& format, std::string_view text) {
    RichCharFormat f = Resolved(format);
    int index = FontIndex(f.font);
    // Readers decode \'hh in the code page of the run's font, so a face
    // that carries Japanese text must declare the Japanese character set.
    if (!IsAscii(text)) fonts_[index].charset = 128;
    ColorIndex(f.color);
  }

  // Each numbered list gets an entry of a list table besides the rich
  // edit's own {\pn} form: word processors read the {\pn} of following
  // paragraphs as one list, numbered on in the first list's style.
  void CollectLists() {
    list_of_paragraph_.assign(document_.paragraphs.size(), 0);
    const RichParagraphFormat* previous = nullptr;
    for (size_t i = 0; i < document_.paragraphs.size(); ++i) {
      const RichParagraphFormat& f = document_.paragraphs[i].format;
      if (!f.numbered()) {
        previous = nullptr;
        continue;
      }
      if (previous == nullptr || previous->list != f.list ||
          previous->list_start != f.list_start) {
        lists_.push_back(&f);
      }
      list_of_paragraph_[i] = int(lists_.size());
      previous = &f;
    }
  }

  static int NumberFormatOf(RichListStyle style) {
    switch (style) {
      case RichListStyle::kUpperRoman:
        return 1;
      case RichListStyle::kLowerRoman:
        return 2;
      case RichListStyle::kUpperAlpha:
        return 3;
      case RichListStyle::kLowerAlpha:
        return 4;
      default:
        return 0;
    }
  }

  void WriteListTables() {
    if (lists_.empty()) return;
    out_ += "{\\*\\listtable";
    for (size_t i = 0; i < lists_.size(); ++i) {
      const RichParagraphFormat& f = *lists_[i];
      const std::string nfc = std::to_string(NumberFormatOf(f.list));
      out_ += "{\\list\\listtemplateid" + std::to_string(i + 1) +
              "\\listsimple{\\listlevel\\levelnfc" + nfc + "\\levelnfcn" + nfc +
              "\\leveljc0\\levelfollow0\\levelstartat" +
              std::to_string(f.list_start) +
              "{\\leveltext\\'02\\'00.;}{\\levelnumbers\\'01;}}{\\listname ;}"
              "\\listid" +
              std::to_string(i + 1) + "}";
    }
    out_ += "}\r\n{\\*\\listoverridetable";
    for (size_t i = 0; i < lists_.size(); ++i) {
      const std::string n = std::to_string(i + 1);
      out_ +=
          "{\\listoverride\\listid" + n + "\\listoverridecount0\\ls" + n + "}";
    }
    out_ += "}\r\n";
  }

  void CollectTables() {
    CollectLists();
    bool bullets = false;
    for (const RichParagraph& paragraph : document_.paragraphs) {
      for (const RichRun& run : paragraph.runs) Collect(run.format, run.text);
      Collect(paragraph.mark_format, {});
      bullets = bullets || paragraph.format.bullet();
    }
    if (fonts_.empty()) FontIndex(kDefaultRichFont);
    if (bullets) {
      fonts_.push_back({kSymbolFont, 2});
      symbol_font_ = int(fonts_.size() - 1);
    }
  }

  void Word(std::string_view word) {
    out_ += word;
    delimit_ = true;
  }
  void Word(std::string_view word, int value) {
    out_ += word;
    out_ += std::to_string(value);
    delimit_ = true;
  }

  void WriteParagraphFormat(const RichParagraphFormat& format, int list) {
    Word("\\pard");
    if (format.bullet()) {
      std::string sym = std::to_string(symbol_font_);
      out_ += "{\\*\\pn\\pnlvlblt\\pnf" + sym + "\\pnindent0{\\pntxtb" +
              std::string(kBulletText) + "}}";
      delimit_ = false;
    } else if (format.numbered()) {
      out_ += "{\\*\\pn\\pnlvlbody\\pnf0\\pnindent" +
              std::to_string(std::max(0, -format.first_indent)) + "\\pnstart" +
              std::to_string(format.list_start) +
              std::string(NumberingWord(format.list)) + "{\\pntxta .}}";
      delimit_ = false;
      Word("\\ls", list);
    }
    switch (format.alignment) {
      case RichAlignment::kLeft:
        break;
      case RichAlignment::kCenter:
        Word("\\qc");
        break;
      case RichAlignment::kRight:
        Word("\\qr");
        break;
      case RichAlignment::kJustify:
        Word("\\qj");
        break;
    }
    if (format.first_indent != 0) Word("\\fi", format.first_indent);
    if (format.left_indent != 0) Word("\\li", format.left_indent);
    if (format.right_indent != 0) Word("\\ri", format.right_indent);
    if (format.space_before != 0) Word("\\sb", format.space_before);
    if (format.space_after != 0) Word("\\sa", format.space_after);
    if (format.line_spacing != 0) {
      Word("\\sl", format.line_spacing);
      Word("\\slmult", format.line_multiple ? 1 : 0);
    }
    for (int tab : format.tab_stops) Word("\\tx", tab);
  }

  static std::string_view NumberingWord(RichListStyle style) {
    switch (style) {
      case RichListStyle::kLowerAlpha:
        return "\\pnlcltr";
      case RichListStyle::kUpperAlpha:
        return "\\pnucltr";
      case RichListStyle::kLowerRoman:
        return "\\pnlcrm";
      case RichListStyle::kUpperRoman:
        return "\\pnucrm";
      default:
        return "\\pndec";
    }
  }

  // Writes what changes from the format in force; the first run starts
  // from plain text with no face or size.
  void WriteCharFormat(const RichCharFormat& f) {
    const RichCharFormat& c = current_;
    if (f.color != c.color) Word("\\cf", ColorIndex(f.color));
    if (f.bold != c.bold) Word(f.bold ? "\\b" : "\\b0");
    if (f.italic != c.italic) Word(f.italic ? "\\i" : "\\i0");
    if (f.underline != c.underline) Word(f.underline ? "\\ul" : "\\ulnone");
    if (f.strike != c.strike) Word(f.strike ? "\\strike" : "\\strike0");
    if (f.font != c.font) Word("\\f", FontIndex(f.font));
    if (f.half_points != c.half_points) Word("\\fs", f.half_points);
    current_ = f;
  }

  // Text after a control word is set off by the delimiting space.
  void Text(std::string_view text) {
    if (delimit_) out_.push_back(' ');
    delimit_ = false;
    out_ += text;
  }

  void AppendText(std::string_view utf8, bool font_name) {
    size_t pos = 0;
    while (pos < utf8.size()) {
      uint32_t cp = NextCodePoint(utf8, &pos);
      if (cp == '\\' || cp == '{' || cp == '}') {
        char escaped[] = {'\\', char(cp)};
        Text(std::string_view(escaped, 2));
      } else if (cp == '\t' && !font_name) {
        Word("\\tab");
      } else if (cp == '\n' && !font_name) {
        Word("\\line");
      } else if (cp == ';' && font_name) {
        continue;
      } else if (cp >= 0x20 && cp < 0x7F) {
        char c = char(cp);
        Text(std::string_view(&c, 1));
      } else if (cp < 0x80) {
        continue;  // other control characters have no place in the text
      } else {
        const std::string& bytes = Cp932Bytes(cp);
        if (bytes.empty()) {
          WriteUnicode(cp);
        } else {
          for (unsigned char b : bytes) {
            char hex[8];
            std::snprintf(hex, sizeof(hex), "\\'%02x", b);
            Text(hex);
          }
        }
      }
    }
  }

  // The code page 932 form of a character, or nothing when it has none that
  // decodes back to the same character (some map one way only, such as
  // U+00A3, which reads back as U+FFE1).
  const std::string& Cp932Bytes(uint32_t cp) {
    auto it = cp932_.find(cp);
    if (it != cp932_.end()) return it->second;
    std::string one;
    AppendUtf8(cp, one);
    std::string bytes = Utf8ToCp932(one);
    if (Cp932ToUtf8(bytes) != one) bytes.clear();
    return cp932_.emplace(cp, std::move(bytes)).first->second;
  }

  void WriteUnicode(uint32_t cp) {
    auto unit = [this](uint32_t u) {
      int value = u > 0x7FFF ? int(u) - 0x10000 : int(u);
      Text("\\u" + std::to_string(value) + "?");
    };
    if (cp > 0xFFFF) {
      cp -= 0x10000;
      unit(0xD800 + (cp >> 10));
      unit(0xDC00 + (cp & 0x3FF));
    } else {
      unit(cp);
    }
  }

  const RichDocument& document_;
  std::vector<FontEntry> fonts_;
  std::vector<RichColor> colors_;
  // The first paragraph of each numbered list, and each paragraph's list
  // (its \ls, counted from 1; 0 outside numbered lists).
  std::vector<const RichParagraphFormat*> lists_;
  std::vector<int> list_of_paragraph_;
  int symbol_font_ = 0;
  RichCharFormat current_;
  std::unordered_map<uint32_t, std::string> cp932_;
  std::string out_;
  bool delimit_ = false;  // the last thing written was a control word
};

}  // namespace

std::string WriteRtf(const RichDocument& document) {
  return Writer(document).Write();
}

std::string PlainTextToRtf(std::string_view utf8) {
  return WriteRtf(DocumentFromPlainText(utf8));
}

}  // namespace mirokata
