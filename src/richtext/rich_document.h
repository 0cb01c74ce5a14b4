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

// Indents and tab stops are in twips (1/1440 inch, 1/20 point). As in RTF,
// first_indent is relative to left_indent and may be negative.
struct RichParagraphFormat {
  RichAlignment alignment = RichAlignment::kLeft;
  int first_indent = 0;
  int left_indent = 0;
  int right_indent = 0;
  bool bullet = false;
  std::vector<int> tab_stops;
  bool operator==(const RichParagraphFormat&) const = default;
};

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
