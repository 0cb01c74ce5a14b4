// Any bytes as an old day file: the page a conversion writes always reads
// as a page, with the old file's first line as its title.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "notes/diary_page.h"
#include "notes/diary_store.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace mirokata;
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  const OldDayFile old_file = ParseOldDayFile(input);
  if (old_file.title.find_first_of("\r\n") != std::string::npos) abort();
  if (old_file.weather.find_first_of("\r\n") != std::string::npos) abort();
  const PageParse page = ParseDiaryPage(ConvertedPageBytes(old_file));
  if (page.state != PageParseState::kRead) abort();
  if (page.page.header.title != DecodeDiaryValue(old_file.title)) abort();
  if (page.page.header.weather != DecodeDiaryValue(old_file.weather)) abort();
  if (page.page.body != old_file.body) abort();
  // The date an old name stands for exists, or there is none.
  int32_t yymmdd = 0;
  for (size_t i = 0; i < size && i < 6; ++i)
    yymmdd = yymmdd * 10 + data[i] % 10;
  if (std::optional<CivilDate> date = OldDayDate(yymmdd, 2000 + size % 100)) {
    if (!IsValidDate(date->year, date->month, date->day)) abort();
    if (date->year % 100 != yymmdd / 10000) abort();
  }
  return 0;
}
