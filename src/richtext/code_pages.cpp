#include "richtext/code_pages.h"

#include <optional>
#include <string>

#include "platform/text_codec.h"

namespace mirokata {
namespace {

// Code page 1252 differs from Latin-1 only in 0x80-0x9F.
constexpr uint16_t kCp1252High[32] = {
    0x20AC, 0xFFFD, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0xFFFD, 0x017D, 0xFFFD,
    0xFFFD, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0xFFFD, 0x017E, 0x0178};

std::string DecodeCp1252(std::string_view bytes) {
  std::string out;
  out.reserve(bytes.size() + bytes.size() / 2);
  for (unsigned char b : bytes) {
    if (b >= 0x80 && b < 0xA0) {
      AppendUtf8(kCp1252High[b - 0x80], out);
    } else {
      AppendUtf8(b, out);
    }
  }
  return out;
}

std::string DecodeSymbol(std::string_view bytes) {
  std::string out;
  for (unsigned char b : bytes) AppendUtf8(b == 0xB7 ? 0x2022 : b, out);
  return out;
}

std::string SanitizeUtf8(std::string_view bytes) {
  std::string out;
  out.reserve(bytes.size());
  size_t pos = 0;
  while (pos < bytes.size()) AppendUtf8(NextCodePoint(bytes, &pos), out);
  return out;
}

std::string IconvName(int code_page) {
  switch (code_page) {
    case 10000:
      return "MACINTOSH";
    case 936:
      return "GBK";
    case 949:
      return "CP949";
    case 950:
      return "BIG5";
    default:
      return "CP" + std::to_string(code_page);
  }
}

}  // namespace

int CodePageOfCharset(int charset) {
  switch (charset) {
    case 2:
      return kSymbolCodePage;
    case 77:
      return 10000;
    case 128:
      return 932;
    case 129:
      return 949;
    case 134:
      return 936;
    case 136:
      return 950;
    case 161:
      return 1253;
    case 162:
      return 1254;
    case 163:
      return 1258;
    case 177:
      return 1255;
    case 178:
      return 1256;
    case 186:
      return 1257;
    case 204:
      return 1251;
    case 222:
      return 874;
    case 238:
      return 1250;
    case 255:
      return 437;
    default:
      return 0;
  }
}

std::string DecodeCodePage(std::string_view bytes, int code_page) {
  if (bytes.empty()) return std::string();
  switch (code_page) {
    case 932:
      return Cp932ToUtf8(bytes);
    case 1252:
      return DecodeCp1252(bytes);
    case 65001:
      return SanitizeUtf8(bytes);
    case kSymbolCodePage:
      return DecodeSymbol(bytes);
    default:
      break;
  }
  if (IsAscii(bytes)) return std::string(bytes);
  if (std::optional<std::string> text =
          DecodeToUtf8(bytes, IconvName(code_page))) {
    return *std::move(text);
  }
  return DecodeCp1252(bytes);
}

}  // namespace mirokata
