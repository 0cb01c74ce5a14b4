// Decoding the 8-bit code pages RTF files name (\ansicpg, \fcharset).
#ifndef MIROKATA_RICHTEXT_CODE_PAGES_H_
#define MIROKATA_RICHTEXT_CODE_PAGES_H_

#include <cstdint>
#include <string>
#include <string_view>

namespace mirokata {

// Code page 2 stands for the Symbol font here.
inline constexpr int kSymbolCodePage = 2;

// The Windows code page of an RTF \fcharset value; 0 when the character set
// does not name one of its own (then the document's \ansicpg applies).
int CodePageOfCharset(int charset);

// Decodes bytes of a Windows code page to UTF-8. Never fails: bytes the
// code page does not define become U+FFFD.
std::string DecodeCodePage(std::string_view bytes, int code_page);

}  // namespace mirokata

#endif  // MIROKATA_RICHTEXT_CODE_PAGES_H_
