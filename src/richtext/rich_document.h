// The rich-text document model shared by the RTF codec and the editors:
// paragraphs of runs, each run one stretch of UTF-8 text in one format.
#ifndef MIROKATA_RICHTEXT_RICH_DOCUMENT_H_
#define MIROKATA_RICHTEXT_RICH_DOCUMENT_H_

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace mirokata {

// The face and size the editors start with; used where a format leaves
// them unset.
inline constexpr char kDefaultRichFont[] = "ＭＳ ゴシック";
inline constexpr int kDefaultRichHalfPoints = 18;  // 9 pt

struct RichColor {
  uint8_t red = 0;
  uint8_t green = 0;
  uint8_t blue = 0;
  bool operator==(const RichColor&) const = default;
};

struct RichCharFormat {
  std::string font;     // face name (UTF-8); empty: the default face
  int half_points = 0;  // size in half points; 0: the default size
  bool bold = false;
  bool italic = false;
  bool underline = false;
  bool strike = false;
  std::optional<RichColor> color;  // empty: the automatic text colour
  bool operator==(const RichCharFormat&) const = default;
};

enum class RichAlignment { kLeft, kCenter, kRight, kJustify };

struct RichDocument;

// What a paragraph of a list shows before its text.
enum class RichListStyle {
  kNone,
  kBullet,
  kDecimal,     // 1. 2. 3.
  kLowerAlpha,  // a. b. c.
  kUpperAlpha,  // A. B. C.
  kLowerRoman,  // i. ii. iii.
  kUpperRoman,  // I. II. III.
};

// Indents, tab stops and spacing are in twips (1/1440 inch, 1/20 point).
// As in RTF, first_indent is relative to left_indent and may be negative.
struct RichParagraphFormat {
  RichAlignment alignment = RichAlignment::kLeft;
  int first_indent = 0;
  int left_indent = 0;
  int right_indent = 0;
  RichListStyle list = RichListStyle::kNone;
  // The number of the first item of a numbered list. Consecutive
  // paragraphs of the same style and start make one list.
  int list_start = 1;
  int space_before = 0;
  int space_after = 0;
  // As RTF's \sl: 0 single spacing; with line_multiple, 240ths of a
  // single line; otherwise at least this height, or exactly its absolute
  // value when negative.
  int line_spacing = 0;
  bool line_multiple = false;
  std::vector<int> tab_stops;

  bool bullet() const { return list == RichListStyle::kBullet; }
  bool numbered() const {
    return list != RichListStyle::kNone && list != RichListStyle::kBullet;
  }
  bool operator==(const RichParagraphFormat&) const = default;
};

// The label of item `number` of a numbered list ("3.", "c.", "iii."); empty
// for bullets and plain paragraphs.
std::string ListItemLabel(RichListStyle style, int number);

// The number each paragraph shows (0 for paragraphs outside numbered
// lists), counting as the writer and the editors do.
std::vector<int> ListItemNumbers(const RichDocument& document);

// Run text holds no paragraph breaks; '\t' is a tab and '\n' a line break
// inside the paragraph.
struct RichRun {
  RichCharFormat format;
  std::string text;
  bool operator==(const RichRun&) const = default;
};

struct RichParagraph {
  RichParagraphFormat format;
  std::vector<RichRun> runs;
  // The format of the paragraph mark: what an empty paragraph shows and
  // what typing at its end continues with.
  RichCharFormat mark_format;
  bool operator==(const RichParagraph&) const = default;
};

// A document always has at least one paragraph.
struct RichDocument {
  std::vector<RichParagraph> paragraphs{RichParagraph{}};
  bool operator==(const RichDocument&) const = default;
};

// Appends text in the given format to the paragraph, joining it to the last
// run when that has the same format.
void AppendRunText(RichParagraph& paragraph, const RichCharFormat& format,
                   std::string_view text);

// Drops empty runs and joins neighbouring runs of equal format.
void NormalizeRuns(RichParagraph& paragraph);

// The document's text as the lists and popups show it: paragraphs and line
// breaks become CR LF, tabs stay; no break after the last paragraph.
std::string PlainText(const RichDocument& document);

// A document of unformatted text: every CR LF, CR or LF starts a paragraph;
// other control characters than the tab are dropped.
RichDocument DocumentFromPlainText(std::string_view utf8,
                                   const RichCharFormat& format = {});

}  // namespace mirokata

#endif  // MIROKATA_RICHTEXT_RICH_DOCUMENT_H_
