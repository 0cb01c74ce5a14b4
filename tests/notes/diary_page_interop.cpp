// The page codec for diary_cp932_interop.py: "write DIR" writes the pages
// the script checks; "read FILE" prints a page's title, weather, read-only
// flag and body text, one per line (UTF-8).
#include <cstdio>
#include <string>

#include "notes/diary_page.h"
#include "notes/diary_store.h"
#include "platform/file_io.h"
#include "richtext/rich_document.h"
#include "richtext/rtf_reader.h"
#include "richtext/rtf_writer.h"

namespace {

using namespace mirokata;

bool Write(const std::string& path, const std::string& title,
           const std::string& weather, const std::string& picture) {
  DiaryPage page;
  page.header.title = title;
  page.header.weather = weather;
  page.header.picture = picture;
  page.header.other_lines = {"MOOD:good"};
  page.body = WriteRtf(DocumentFromPlainText("本文 ～ 一行目\r\n二行目 😀"));
  std::string error;
  if (!SaveDiaryPage(path, page, &error)) {
    std::fprintf(stderr, "%s: %s\n", path.c_str(), error.c_str());
    return false;
  }
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) return 2;
  const std::string command = argv[1], path = argv[2];
  if (command == "write") {
    bool ok = Write(path + "/20240501.JNL", "日記 ～ 旅", "晴 のち 雨",
                    "/home/u/写真.jpg");
    ok = Write(path + "/20240502.JNL", "café 😀", "雪", "") && ok;
    ok = Write(path + "/20240503.JNL", "a\r\n:END\r\nCIPHER:x", "b\nc",
               "/p/a.gif") &&
         ok;
    DiaryHeader header;
    header.title = "書き出し";
    header.picture = "/p/a.JPG";
    std::string error;
    ok = SaveExportedPage(path + "/export.JNL", header, "一行目\r\n二行目",
                          &error) &&
         ok;
    return ok ? 0 : 1;
  }
  if (command == "read") {
    std::string bytes;
    if (ReadWholeFile(path, &bytes) != ReadResult::kOk) return 1;
    const PageParse parse = ParseDiaryPage(bytes);
    if (parse.state != PageParseState::kRead) {
      std::printf("refused\t%s\n", parse.message.c_str());
      return 0;
    }
    const DiaryHeader& h = parse.page.header;
    std::printf("%s\n%s\n%s\n%s\n", h.title.c_str(), h.weather.c_str(),
                h.read_only ? "read-only" : "writable",
                ScanPlainText(parse.page.body).c_str());
    return 0;
  }
  return 2;
}
