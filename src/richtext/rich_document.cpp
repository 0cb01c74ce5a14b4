#include "richtext/rich_document.h"

#include <cstdint>

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

std::string Roman(int number) {
  static constexpr struct {
    int value;
    const char* text;
  } kDigits[] = {{1000, "m"}, {900, "cm"}, {500, "d"}, {400, "cd"}, {100, "c"},
                 {90, "xc"},  {50, "l"},   {40, "xl"}, {10, "x"},   {9, "ix"},
                 {5, "v"},    {4, "iv"},   {1, "i"}};
  std::string out;
  for (const auto& digit : kDigits) {
    while (number >= digit.value) {
      out += digit.text;
      number -= digit.value;
    }
  }
  return out;
}

// a..z, aa..az, ba..: bijective base 26, as the editors count.
std::string Letters(int number) {
  std::string out;
  while (number > 0) {
    --number;
    out.insert(out.begin(), char('a' + number % 26));
    number /= 26;
  }
  return out;
}

std::string Upper(std::string text) {
  for (char& c : text) c = char(c - 'a' + 'A');
  return text;
}

}  // namespace

std::string ListItemLabel(RichListStyle style, int number) {
  // Roman numerals and letters have no zero or negatives; such numbers and
  // those past the numerals' range are shown as digits.
  const bool countable = number > 0 && number < 4000;
  switch (style) {
    case RichListStyle::kNone:
    case RichListStyle::kBullet:
      return {};
    case RichListStyle::kLowerAlpha:
      if (countable) return Letters(number) + ".";
      break;
    case RichListStyle::kUpperAlpha:
      if (countable) return Upper(Letters(number)) + ".";
      break;
    case RichListStyle::kLowerRoman:
      if (countable) return Roman(number) + ".";
      break;
    case RichListStyle::kUpperRoman:
      if (countable) return Upper(Roman(number)) + ".";
      break;
    case RichListStyle::kDecimal:
      break;
  }
  return std::to_string(number) + ".";
}

std::vector<int> ListItemNumbers(const RichDocument& document) {
  std::vector<int> numbers;
  numbers.reserve(document.paragraphs.size());
  const RichParagraphFormat* previous = nullptr;
  int next = 0;
  for (const RichParagraph& paragraph : document.paragraphs) {
    const RichParagraphFormat& f = paragraph.format;
    if (!f.numbered()) {
      numbers.push_back(0);
      previous = nullptr;
      continue;
    }
    if (previous == nullptr || previous->list != f.list ||
        previous->list_start != f.list_start) {
      next = f.list_start;
    }
    numbers.push_back(next);
    next = next < INT32_MAX ? next + 1 : next;
    previous = &f;
  }
  return numbers;
}

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
