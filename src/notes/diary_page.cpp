#include "notes/diary_page.h"

#include <cstdio>

#include "base/date_pattern.h"
#include "base/settings_file.h"
#include "platform/color/color_value.h"
#include "platform/text_codec.h"

namespace mirokata {
namespace {

constexpr std::string_view kEnd = ":END";
constexpr std::string_view kEscapeMark = "{u}";
// A value of kDiaryValueLimit characters takes at most this many bytes (an
// escaped character is "{10FFFF}"), so longer lines need not be decoded.
constexpr size_t kValueByteLimit = kDiaryValueLimit * 8 + kEscapeMark.size();

// The window's design size, written when a page carries no size of its own.
constexpr int32_t kDesignHeight = 438;
constexpr int32_t kDesignWidth = 497;

// One line at *pos, without its end (CR LF, LF or CR); false at the end.
bool NextLine(std::string_view bytes, size_t* pos, std::string_view* line) {
  if (*pos >= bytes.size()) return false;
  const size_t start = *pos;
  size_t end = start;
  while (end < bytes.size() && bytes[end] != '\r' && bytes[end] != '\n') ++end;
  *line = bytes.substr(start, end - start);
  if (end < bytes.size()) {
    if (bytes[end] == '\r' && end + 1 < bytes.size() && bytes[end + 1] == '\n')
      ++end;
    ++end;
  }
  *pos = end;
  return true;
}

// The line starts with the key, ASCII letters compared without case (the
// keys are ASCII; a CP932 lead byte never equals one).
bool HasKey(std::string_view line, std::string_view key) {
  if (line.size() < key.size()) return false;
  for (size_t i = 0; i < key.size(); ++i) {
    char c = line[i];
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    if (c != key[i]) return false;
  }
  return true;
}

bool IsEndLine(std::string_view line) { return HasKey(line, kEnd); }

// A signed decimal integer that fits 32 bits, blanks around it allowed.
std::optional<int32_t> ParseNumber(std::string_view text) {
  size_t i = 0, end = text.size();
  while (i < end && (text[i] == ' ' || text[i] == '\t')) ++i;
  while (end > i && (text[end - 1] == ' ' || text[end - 1] == '\t')) --end;
  bool negative = false;
  if (i < end && (text[i] == '+' || text[i] == '-')) {
    negative = text[i] == '-';
    ++i;
  }
  if (i == end) return std::nullopt;
  int64_t value = 0;
  for (; i < end; ++i) {
    if (text[i] < '0' || text[i] > '9') return std::nullopt;
    value = value * 10 + (text[i] - '0');
    if (value > int64_t{INT32_MAX} + 1) return std::nullopt;
  }
  if (negative) value = -value;
  if (value < INT32_MIN || value > INT32_MAX) return std::nullopt;
  return static_cast<int32_t>(value);
}

// At most `limit` characters of UTF-8 text, cut on a character boundary.
std::string CutCharacters(std::string text, size_t limit) {
  size_t pos = 0, count = 0;
  while (pos < text.size() && count < limit) {
    NextCodePoint(text, &pos);
    ++count;
  }
  text.resize(pos);
  return text;
}

std::string NumberLine(std::string_view key, int32_t value) {
  char digits[16];
  std::snprintf(digits, sizeof digits, "%d", value);
  std::string line(key);
  line += digits;
  line += "\r\n";
  return line;
}

std::string UpperExtension(std::string_view path) {
  const size_t dot = path.rfind('.');
  if (dot == std::string_view::npos ||
      path.find('/', dot) != std::string_view::npos) {
    return {};
  }
  std::string ext(path.substr(dot));
  for (char& c : ext) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  return ext;
}

// The header lines both saves share up to the picture.
std::string TitleLines(const DiaryHeader& header) {
  std::string out = "TITLE:" + EncodeDiaryValue(header.title) + "\r\n";
  out += "WEATHER:" + EncodeDiaryValue(header.weather) + "\r\n";
  return out;
}

std::string TailLines(const DiaryHeader& header) {
  std::string out;
  out += NumberLine("YOV_FONTCOLOR:",
                    header.font_color.value_or(ColorValueToInt(kClWindowText)));
  out += NumberLine("YOV_BACKCOLOR:",
                    header.back_color.value_or(ColorValueToInt(kClWindow)));
  out += NumberLine("YOV_TOP:", header.top.value_or(0));
  out += NumberLine("YOV_LEFT:", header.left.value_or(0));
  out += NumberLine("YOV_HEIGHT:", header.height.value_or(kDesignHeight));
  out += NumberLine("YOV_WIDTH:", header.width.value_or(kDesignWidth));
  out += header.read_only ? "YOV_READONLY:TRUE\r\n" : "YOV_READONLY:FALSE\r\n";
  for (const std::string& line : header.other_lines) {
    if (line.empty()) continue;
    out += line;
    out += "\r\n";
  }
  out += ":END\r\n";
  return out;
}

void AppendBody(std::string_view body, std::string& out) {
  out += body;
  if (!body.empty() && body.back() != '\n' && body.back() != '\r') {
    out += "\r\n";
  }
}

}  // namespace

std::string EncodeDiaryValue(std::string_view utf8) {
  std::string text(utf8);
  for (char& c : text) {
    if (c == '\r' || c == '\n') c = ' ';
  }
  if (!text.starts_with(kEscapeMark) && FitsCp932(text)) {
    return Utf8ToCp932(text);
  }
  return SettingsFile::EncodeText(text);
}

std::string DecodeDiaryValue(std::string_view bytes) {
  if (bytes.size() > kValueByteLimit) bytes = bytes.substr(0, kValueByteLimit);
  return CutCharacters(SettingsFile::DecodeText(bytes), kDiaryValueLimit);
}

PageParse ParseDiaryPage(std::string_view bytes) {
  PageParse result;
  DiaryHeader& header = result.page.header;
  size_t pos = 0;
  std::string_view line;
  auto refuse = [&result](std::string message) {
    result.state = PageParseState::kRefused;
    result.message = std::move(message);
    result.page = DiaryPage{};
    return result;
  };
  struct NumberKey {
    std::string_view key;
    std::optional<int32_t> DiaryHeader::*field;
  };
  static const NumberKey kNumbers[] = {
      {"YOV_FONTCOLOR:", &DiaryHeader::font_color},
      {"YOV_BACKCOLOR:", &DiaryHeader::back_color},
      {"YOV_TOP:", &DiaryHeader::top},
      {"YOV_LEFT:", &DiaryHeader::left},
      {"YOV_WIDTH:", &DiaryHeader::width},
      {"YOV_HEIGHT:", &DiaryHeader::height},
  };
  while (NextLine(bytes, &pos, &line)) {
    if (IsEndLine(line)) {
      result.state = PageParseState::kRead;
      result.page.body = std::string(bytes.substr(pos));
      return result;
    }
    if (HasKey(line, "TITLE:")) {
      header.title = DecodeDiaryValue(line.substr(6));
    } else if (HasKey(line, "WEATHER:")) {
      header.weather = DecodeDiaryValue(line.substr(8));
    } else if (HasKey(line, "CODE:RTF")) {
      // The body tells its kind itself.
    } else if (HasKey(line, "CODE:HTML")) {
      return refuse(
          "｢HTML｣は未サポートなので中断します。\r"
          "標準テキストに変換してから読み込んでください。");
    } else if (HasKey(line, "CIPHER:")) {
      return refuse("｢" + DecodeDiaryValue(line.substr(7)) +
                    "｣で暗号化されているので中断します。\r"
                    "暗号を解いてから読み込んでください。");
    } else if (HasKey(line, "BMP:") || HasKey(line, "JPG:")) {
      header.picture = DecodeDiaryValue(line.substr(4));
    } else if (HasKey(line, "YOV_READONLY:")) {
      header.read_only = HasKey(line.substr(13), "TRUE");
    } else {
      bool known = false;
      for (const NumberKey& n : kNumbers) {
        if (!HasKey(line, n.key)) continue;
        known = true;
        std::optional<int32_t> value = ParseNumber(line.substr(n.key.size()));
        if (!value) {
          return refuse("｢" + DecodeDiaryValue(line) +
                        "｣は正しい数値ではないので中断します。");
        }
        header.*n.field = value;
        break;
      }
      if (!known) header.other_lines.emplace_back(line);
    }
  }
  result.state = PageParseState::kBroken;
  result.page = DiaryPage{};
  return result;
}

std::optional<size_t> VisitDiaryHeader(
    std::string_view bytes,
    const std::function<void(std::string_view)>& visit) {
  size_t pos = 0;
  std::string_view line;
  while (NextLine(bytes, &pos, &line)) {
    if (IsEndLine(line)) return pos;
    visit(line);
  }
  return std::nullopt;
}

bool DiaryKeyIs(std::string_view line, std::string_view key) {
  return HasKey(line, key);
}

DiaryHeaderLines ScanDiaryHeader(std::string_view bytes) {
  DiaryHeaderLines out;
  const std::optional<size_t> body =
      VisitDiaryHeader(bytes, [&out](std::string_view line) {
        if (HasKey(line, "TITLE:")) {
          out.title = DecodeDiaryValue(line.substr(6));
        } else if (HasKey(line, "WEATHER:")) {
          out.weather = DecodeDiaryValue(line.substr(8));
        }
      });
  out.ended = body.has_value();
  out.body_offset = body.value_or(0);
  return out;
}

std::string DiaryPageBytes(const DiaryPage& page) {
  const DiaryHeader& header = page.header;
  std::string out = TitleLines(header);
  out += "CODE:RTF\r\n";
  if (!header.picture.empty()) {
    const std::string ext = UpperExtension(header.picture);
    if (ext == ".BMP") {
      out += "BMP:" + EncodeDiaryValue(header.picture) + "\r\n";
    } else if (ext == ".JPG") {
      out += "JPG:" + EncodeDiaryValue(header.picture) + "\r\n";
    }
  }
  out += TailLines(header);
  out.reserve(out.size() + page.body.size() + 2);
  AppendBody(page.body, out);
  return out;
}

std::string ExportedPageBytes(const DiaryHeader& header,
                              std::string_view plain_text) {
  std::string out = TitleLines(header);
  if (!header.picture.empty()) {
    out += "BMP:" + EncodeDiaryValue(header.picture) + "\r\n";
  }
  out += TailLines(header);
  std::string text;
  text.reserve(plain_text.size() + 16);
  for (size_t i = 0; i < plain_text.size(); ++i) {
    const char c = plain_text[i];
    if (c == '\r' || c == '\n') {
      if (c == '\r' && i + 1 < plain_text.size() && plain_text[i + 1] == '\n')
        ++i;
      text += "\r\n";
    } else {
      text.push_back(c);
    }
  }
  AppendBody(Utf8ToCp932(text), out);
  return out;
}

std::string DiaryPageName(const CivilDate& date) {
  char name[32];
  std::snprintf(name, sizeof name, "%04d%02d%02d.JNL", date.year % 10000,
                date.month % 100, date.day % 100);
  return name;
}

std::string OldDayFileName(const CivilDate& date) {
  char name[32];
  std::snprintf(name, sizeof name, "ni%02d%02d%02d.day",
                ((date.year % 100) + 100) % 100, date.month % 100,
                date.day % 100);
  return name;
}

std::string DiaryDateText(const CivilDate& date, const WeekdayNames& ddd) {
  DateTimeFields fields;
  fields.year = date.year;
  fields.month = date.month;
  fields.day = date.day;
  fields.weekday = WeekdayOf(DayNumber(date));
  return FormatDatePattern("yyyy/mm/dd (ddd)", fields, ddd);
}

std::string DiaryCaption(const CivilDate& date, const WeekdayNames& ddd) {
  return DiaryDateText(date, ddd) + "の日記";
}

}  // namespace mirokata
