#include "contacts/phone_page.h"

#include "platform/text_codec.h"

namespace mirokata {
namespace {

inline bool IsBlank(char c) { return static_cast<unsigned char>(c) <= 32; }

void SkipBlanks(std::string_view line, size_t& pos) {
  while (pos < line.size() && IsBlank(line[pos])) ++pos;
}

bool NeedsQuotes(std::string_view cell) {
  for (char c : cell) {
    if (IsBlank(c) || c == '"' || c == ',') return true;
  }
  return false;
}

}  // namespace

std::vector<std::string> ReadPhoneFields(std::string_view line) {
  std::vector<std::string> fields;
  size_t pos = 0;
  SkipBlanks(line, pos);
  if (pos >= line.size()) return fields;
  while (true) {
    std::string field;
    if (line[pos] == '"') {
      ++pos;
      while (pos < line.size()) {
        if (line[pos] == '"') {
          if (pos + 1 < line.size() && line[pos + 1] == '"') {
            field += '"';
            pos += 2;
            continue;
          }
          ++pos;
          break;
        }
        field += line[pos++];
      }
    } else {
      const size_t comma = line.find(',', pos);
      size_t end = comma == std::string_view::npos ? line.size() : comma;
      const size_t start = pos;
      pos = end;
      while (end > start && IsBlank(line[end - 1])) --end;
      field.assign(line.substr(start, end - start));
    }
    fields.push_back(std::move(field));
    SkipBlanks(line, pos);
    if (pos >= line.size()) break;
    // Text after a closing quote that is not a comma starts the next field.
    if (line[pos] == ',') {
      ++pos;
      SkipBlanks(line, pos);
      if (pos >= line.size()) {
        fields.emplace_back();
        break;
      }
    }
  }
  return fields;
}

std::string WritePhoneFields(const std::vector<std::string>& cells) {
  std::string line;
  for (size_t i = 0; i < cells.size(); ++i) {
    if (i > 0) line += ',';
    const std::string_view cell =
        cells[i].empty() ? std::string_view(" ") : std::string_view(cells[i]);
    if (!NeedsQuotes(cell)) {
      line += cell;
      continue;
    }
    line += '"';
    for (char c : cell) {
      if (c == '"') line += '"';
      line += c;
    }
    line += '"';
  }
  return line;
}

std::vector<std::string_view> SplitPhoneLines(std::string_view text) {
  std::vector<std::string_view> lines;
  size_t start = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '\n' && text[i] != '\r') continue;
    lines.push_back(text.substr(start, i - start));
    if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
    start = i + 1;
  }
  if (start < text.size()) lines.push_back(text.substr(start));
  return lines;
}

std::vector<PhoneRow> EmptyPhoneRows() {
  return std::vector<PhoneRow>(kPhonePageRows, PhoneRow(kPhoneColumns));
}

PhonePage ParsePhonePage(std::string_view bytes) {
  PhonePage page;
  if (bytes.size() > kMaxPhonePageBytes) {
    page.faithful = false;
    page.problem = "8 MiB を超えるファイルなので表示のみです。";
  }
  const std::vector<std::string_view> lines = SplitPhoneLines(bytes);
  page.rows.reserve(std::max<size_t>(lines.size(), kPhonePageRows));
  for (std::string_view line : lines) {
    PhoneRow row;
    for (std::string& field : ReadPhoneFields(line)) {
      std::string cell;
      if (IsAscii(field)) {
        cell = std::move(field);
      } else {
        cell = Cp932ToUtf8(field);
        // Undefined bytes, or text in another encoding that happens to
        // decode, would come back changed.
        if (page.faithful && Utf8ToCp932(cell) != field) {
          page.faithful = false;
          page.problem =
              "Shift-JIS (CP932) で読めない文字があるので表示のみです。";
        }
      }
      if (cell == " ") cell.clear();
      row.push_back(std::move(cell));
    }
    if (row.size() < size_t(kPhoneColumns)) row.resize(kPhoneColumns);
    page.rows.push_back(std::move(row));
  }
  while (page.rows.size() < size_t(kPhonePageRows)) {
    page.rows.emplace_back(kPhoneColumns);
  }
  return page;
}

std::string FormatPhonePage(const std::vector<PhoneRow>& rows) {
  std::string text;
  text.reserve(rows.size() * 40);
  for (const PhoneRow& row : rows) {
    text += Utf8ToCp932(WritePhoneFields(row));
    text += "\r\n";
  }
  return text;
}

void AppendMatchingLines(std::string_view page_bytes, std::string_view needle,
                         std::vector<std::string>& found) {
  if (needle.empty()) return;
  const bool ascii_needle = IsAscii(needle);
  for (std::string_view line : SplitPhoneLines(page_bytes)) {
    bool match;
    if (IsAscii(line)) {
      match = line.find(needle) != std::string_view::npos;
    } else if (ascii_needle && line.find(needle) == std::string_view::npos) {
      // Decoding can only take matches away from an ASCII needle.
      match = false;
    } else {
      match = Cp932ToUtf8(line).find(needle) != std::string::npos;
    }
    if (match) found.emplace_back(line);
  }
}

std::string PhonePageFileName(int page) {
  return std::to_string(page) + ".CSV";
}

}  // namespace mirokata
