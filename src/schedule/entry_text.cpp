#include "schedule/entry_text.h"

#include "platform/text_codec.h"
#include "richtext/rtf_reader.h"
#include "schedule/entry_files.h"

namespace mirokata {
namespace {

// So short a start of rich text that it cannot tell yet ("{\rt").
bool IsCutRtfMarker(std::string_view head) {
  const size_t start = head.find_first_not_of(" \t\r\n");
  if (start == std::string_view::npos) return false;
  return std::string_view("{\\rtf").starts_with(head.substr(start));
}

constexpr std::string_view kReplacement = "\xEF\xBF\xBD";  // U+FFFD

}  // namespace

std::string EntryTextForDisplay(std::string_view head, bool cut) {
  if (!cut) return RichTextToPlainText(head);
  std::string text;
  if (LooksLikeRtf(head)) {
    // The reader takes a document cut short as far as it goes.
    text = RichTextToPlainText(head);
  } else if (!IsCutRtfMarker(head)) {
    text = Cp932ToUtf8(head);
  }
  const size_t last_break = text.find_last_of("\r\n");
  if (last_break != std::string::npos) {
    // The line the cut went through is not shown in part.
    text.erase(last_break);
    while (!text.empty() && (text.back() == '\r' || text.back() == '\n')) {
      text.pop_back();
    }
  } else {
    // One long line: a double-byte character whose second byte lay beyond
    // the cut reads as a replacement.
    while (text.ends_with(kReplacement)) text.erase(text.size() - 3);
  }
  if (!text.empty()) text += "\r\n";
  return text + kEntryCutNote;
}

ReadResult ReadEntryTextForDisplay(EntryFolder& folder, std::string_view name,
                                   std::string* text, size_t limit) {
  text->clear();
  std::string head;
  // One byte more than shown says whether the file goes on.
  const ReadResult result = folder.ReadContent(name, &head, limit + 1);
  if (result != ReadResult::kOk) return result;
  const bool cut = head.size() > limit;
  if (cut) head.resize(limit);
  *text = EntryTextForDisplay(head, cut);
  return ReadResult::kOk;
}

}  // namespace mirokata
