// Writes documents as RTF in the form the platform's rich edit control
// saves its content: code page 932, 7-bit output only.
#ifndef MIROKATA_RICHTEXT_RTF_WRITER_H_
#define MIROKATA_RICHTEXT_RTF_WRITER_H_

#include <string>
#include <string_view>

#include "richtext/rich_document.h"

namespace mirokata {

// The whole RTF document. Unset faces and sizes are written as
// kDefaultRichFont and kDefaultRichHalfPoints.
std::string WriteRtf(const RichDocument& document);

// Unformatted UTF-8 text (CR LF, CR or LF between paragraphs) as RTF.
std::string PlainTextToRtf(std::string_view utf8);

}  // namespace mirokata

#endif  // MIROKATA_RICHTEXT_RTF_WRITER_H_
