// iCalendar files come from other programs and from anywhere on the
// disk: the reader must take any bytes, and every name it gives must be
// an entry name the rest of the program reads back.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "schedule/entry_name.h"
#include "schedule/ical_import.h"

#define CHECK(cond)                \
  do {                             \
    if (!(cond)) __builtin_trap(); \
  } while (0)

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  const mirokata::IcalEvents read =
      mirokata::ReadIcalEvents(input, "Asia/Tokyo");
  CHECK(read.readable == read.error.empty());
  for (const mirokata::IcalEvent& e : read.events) {
    CHECK(e.name.empty() != e.reason.empty());
    CHECK(!e.label.empty());
    if (e.name.empty()) continue;
    const std::optional<mirokata::EntryFields> f =
        mirokata::ParseEntryName(e.name);
    CHECK(f.has_value());
    CHECK(mirokata::BuildEntryName(*f) == e.name);
    CHECK(e.text.size() <= mirokata::kMaxImportedTextBytes);
  }
  return 0;
}
