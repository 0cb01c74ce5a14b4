// Any bytes as a rich-text body: the text-only scan the search uses gives
// exactly the text of the document reader.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "richtext/rtf_reader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  if (mirokata::ScanPlainText(input) != mirokata::RichTextToPlainText(input))
    abort();
  return 0;
}
