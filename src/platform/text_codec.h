// Conversion between UTF-8 (in memory) and code page 932 (on disk).
#ifndef MIROKATA_PLATFORM_TEXT_CODEC_H_
#define MIROKATA_PLATFORM_TEXT_CODEC_H_

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace mirokata {

// Decodes CP932 bytes. A byte sequence CP932 does not define becomes U+FFFD,
// one replacement per offending byte, so decoding never fails.
std::string Cp932ToUtf8(std::string_view cp932);

// Decodes bytes of any character set iconv knows by that name (for example
// "CP1252", "GBK"), with the same one-replacement-per-bad-byte rule. Empty
// when the system has no converter of that name.
std::optional<std::string> DecodeToUtf8(std::string_view bytes,
                                        const std::string& charset);

// Encodes UTF-8 text. Characters CP932 cannot hold become "?"; common
// look-alikes typed on other systems (U+301C wave dash, U+2212 minus, ...)
// are mapped to their CP932 forms first. Invalid UTF-8 bytes become "?".
std::string Utf8ToCp932(std::string_view utf8);

// Encodes UTF-8 text as ISO-2022-JP (ASCII and JIS X 0208, back in ASCII at
// the end), first mapping CP932's twins of JIS characters back (U+FF5E to
// U+301C, U+2225 to U+2016, U+FF0D to U+2212, the full-width cent, pound
// and not signs). Empty when a character lies outside JIS X 0208 (circled
// digits, half-width katakana, emoji) or the UTF-8 is invalid.
std::optional<std::string> Utf8ToIso2022Jp(std::string_view utf8);

// True when the text survives Utf8ToCp932 and Cp932ToUtf8 exactly: every
// character has CP932 bytes of its own (no "?", no look-alike twin) that
// decode to the same character. Invalid UTF-8 never fits.
bool FitsCp932(std::string_view utf8);

inline constexpr uint32_t kUtf8Replacement = 0xFFFD;

// Appends the UTF-8 form of a code point (invalid ones as U+FFFD).
void AppendUtf8(uint32_t code_point, std::string& out);

// Reads one code point from valid or invalid UTF-8 at text[*pos] and moves
// *pos past it; an invalid byte reads as U+FFFD and moves one byte.
uint32_t NextCodePoint(std::string_view text, size_t* pos);

// True when the text holds only 7-bit bytes (identical in both encodings).
bool IsAscii(std::string_view text);

}  // namespace mirokata

#endif  // MIROKATA_PLATFORM_TEXT_CODEC_H_
