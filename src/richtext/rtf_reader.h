// Reads RTF from the platform's rich edit control and from other writers
// (word processors, other editors), and plain text where RTF is expected.
#ifndef MIROKATA_RICHTEXT_RTF_READER_H_
#define MIROKATA_RICHTEXT_RTF_READER_H_

#include <optional>
#include <string>
#include <string_view>

#include "richtext/rich_document.h"

namespace mirokata {

// True when the data starts (after blanks) as an RTF document does.
bool LooksLikeRtf(std::string_view data);

// Parses an RTF document; empty when the data is not RTF or is broken past
// reading (a control word longer than RTF allows). A document cut short
// yields what was read up to the cut. Linear in the input, no recursion.
std::optional<RichDocument> ParseRtf(std::string_view data);

// What an editor loads from a file: the RTF document, or, when the data is
// not RTF, the data as plain CP932 text with unset formats.
RichDocument ReadRichText(std::string_view data);

// The plain text of file data as the lists show it (CR LF between
// paragraphs), RTF or not.
std::string RichTextToPlainText(std::string_view data);

// The same text, read without building the document: what a search over
// many files uses.
std::string ScanPlainText(std::string_view data);

}  // namespace mirokata

#endif  // MIROKATA_RICHTEXT_RTF_READER_H_
