// Any bytes as a phone book page: reading must end, give at least the
// page's rows with six cells each, and a faithful page must come back
// from its own writing unchanged.
#include <cstdint>
#include <cstdlib>
#include <string_view>
#include <vector>

#include "contacts/phone_page.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  const mirokata::PhonePage page = mirokata::ParsePhonePage(bytes);
  if (page.rows.size() < size_t(mirokata::kPhonePageRows)) abort();
  for (const mirokata::PhoneRow& row : page.rows) {
    if (row.size() < size_t(mirokata::kPhoneColumns)) abort();
  }
  if (page.faithful) {
    const mirokata::PhonePage again =
        mirokata::ParsePhonePage(mirokata::FormatPhonePage(page.rows));
    if (!again.faithful || again.rows != page.rows) abort();
  }
  std::vector<std::string> found;
  mirokata::AppendMatchingLines(bytes, ",", found);
  if (found.size() > mirokata::SplitPhoneLines(bytes).size()) abort();
  return 0;
}
