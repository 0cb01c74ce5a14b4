// Reads arbitrary bytes as rich text and checks that what the writer makes
// of the result is 7-bit RTF that reads back to the same text and writes
// back to the same bytes.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "platform/text_codec.h"
#include "richtext/rich_document.h"
#include "richtext/rtf_reader.h"
#include "richtext/rtf_writer.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string_view input(reinterpret_cast<const char*>(data), size);
  mirokata::RichDocument document = mirokata::ReadRichText(input);
  if (document.paragraphs.empty()) std::abort();

  std::string rtf = mirokata::WriteRtf(document);
  if (!mirokata::IsAscii(rtf)) std::abort();
  std::optional<mirokata::RichDocument> again = mirokata::ParseRtf(rtf);
  if (!again) std::abort();
  if (mirokata::PlainText(*again) != mirokata::PlainText(document))
    std::abort();
  if (mirokata::WriteRtf(*again) != rtf) std::abort();
  return 0;
}
