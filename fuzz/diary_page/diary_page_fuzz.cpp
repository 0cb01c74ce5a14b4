// Any bytes as a diary page: reading must not crash, and a page that reads
// is written back (both saves) into a page that reads the same.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "notes/diary_page.h"

namespace {

std::string OneLine(std::string text) {
  for (char& c : text) {
    if (c == '\r' || c == '\n') c = ' ';
  }
  return text;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace mirokata;
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  const PageParse parse = ParseDiaryPage(input);
  const DiaryHeaderLines lines = ScanDiaryHeader(input);
  // A refusal may come before the end of the header, or with none.
  if (parse.state == PageParseState::kRead && !lines.ended) abort();
  if (parse.state == PageParseState::kBroken && lines.ended) abort();
  if (parse.state != PageParseState::kRead) {
    if (parse.state == PageParseState::kRefused && parse.message.empty())
      abort();
    return 0;
  }
  const DiaryHeader& h = parse.page.header;
  if (h.title.size() > kDiaryValueLimit * 4) abort();
  if (lines.title.value_or("") != h.title || lines.weather != h.weather)
    abort();

  const PageParse again = ParseDiaryPage(DiaryPageBytes(parse.page));
  if (again.state != PageParseState::kRead) abort();
  const DiaryHeader& g = again.page.header;
  if (g.title != OneLine(h.title) || g.weather != OneLine(h.weather)) abort();
  // Fields the page lacked are written with defaults; the others come back.
  for (auto field :
       {&DiaryHeader::font_color, &DiaryHeader::back_color, &DiaryHeader::top,
        &DiaryHeader::left, &DiaryHeader::width, &DiaryHeader::height}) {
    if (!(g.*field) || (h.*field && g.*field != h.*field)) abort();
  }
  if (g.read_only != h.read_only) abort();
  size_t kept = 0;
  for (const std::string& line : h.other_lines) {
    if (line.empty()) continue;
    if (kept >= g.other_lines.size() || g.other_lines[kept] != line) abort();
    ++kept;
  }
  if (kept != g.other_lines.size()) abort();
  if (!again.page.body.starts_with(parse.page.body)) abort();

  const PageParse exported =
      ParseDiaryPage(ExportedPageBytes(h, "text\r\nmore"));
  if (exported.state != PageParseState::kRead) abort();
  if (exported.page.header.title != g.title) abort();
  return 0;
}
