#include "richtext/rich_document.h"

namespace mirokata {
namespace {

// Control characters other than the tab are not text a rich edit keeps.
std::string WithoutControls(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (char c : text) {
    unsigned char b = static_cast<unsigned char>(c);
    if ((b >= 0x20 && b != 0x7F) || c == '\t') out.push_back(c);
  }
  return out;
}

}  // namespace

void AppendRunText(RichParagraph& paragraph, const RichCharFormat& format,
                   std::string_view text) {
  if (text.empty()) return;
  if (!paragraph.runs.empty() && paragraph.runs.back().format == format) {
    paragraph.runs.back().text.append(text);
    return;
  }
  paragraph.runs.push_back(RichRun{format, std::string(text)});
}

void NormalizeRuns(RichParagraph& paragraph) {
  std::vector<RichRun> runs;
  runs.reserve(paragraph.runs.size());
  for (RichRun& run : paragraph.runs) {
    if (run.text.empty()) continue;
    if (!runs.empty() && runs.back().format == run.format) {
      runs.back().text += run.text;
    } else {
      runs.push_back(std::move(run));
    }
  }
  paragraph.runs = std::move(runs);
}

std::string PlainText(const RichDocument& document) {
  std::string out;
  bool first = true;
  for (const RichParagraph& paragraph : document.paragraphs) {
    if (!first) out += "\r\n";
    first = false;
    for (const RichRun& run : paragraph.runs) {
      for (char c : run.text) {
        if (c == '\n') {
          out += "\r\n";
        } else {
          out.push_back(c);
        }
      }
    }
  }
  return out;
}

RichDocument DocumentFromPlainText(std::string_view utf8,
                                   const RichCharFormat& format) {
  RichDocument document;
  document.paragraphs.clear();
  RichParagraph paragraph;
  paragraph.mark_format = format;
  size_t start = 0;
  for (size_t i = 0; i <= utf8.size(); ++i) {
    bool end = i == utf8.size();
    if (!end && utf8[i] != '\r' && utf8[i] != '\n') continue;
    AppendRunText(paragraph, format,
                  WithoutControls(utf8.substr(start, i - start)));
    document.paragraphs.push_back(paragraph);
    paragraph.runs.clear();
    if (!end && utf8[i] == '\r' && i + 1 < utf8.size() && utf8[i + 1] == '\n') {
      ++i;
    }
    start = i + 1;
  }
  return document;
}

}  // namespace mirokata
