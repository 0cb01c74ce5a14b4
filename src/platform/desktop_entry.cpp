#include "platform/desktop_entry.h"

#include <optional>

namespace mirokata {
namespace {

std::string_view Trim(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) {
    s.remove_prefix(1);
  }
  while (!s.empty() &&
         (s.back() == ' ' || s.back() == '\t' || s.back() == '\r')) {
    s.remove_suffix(1);
  }
  return s;
}

// The general escapes of string values: \s \n \t \r \\.
std::string Unescape(std::string_view value) {
  std::string out;
  for (std::size_t i = 0; i < value.size(); ++i) {
    if (value[i] == '\\' && i + 1 < value.size()) {
      const char c = value[++i];
      switch (c) {
        case 's':
          out.push_back(' ');
          break;
        case 'n':
          out.push_back('\n');
          break;
        case 't':
          out.push_back('\t');
          break;
        case 'r':
          out.push_back('\r');
          break;
        case '\\':
          out.push_back('\\');
          break;
        default:
          // Left for the Exec quoting rules (\" \` \$).
          out.push_back('\\');
          out.push_back(c);
      }
    } else {
      out.push_back(value[i]);
    }
  }
  return out;
}

struct Word {
  std::string text;
  bool quoted = false;
};

// Exec words: blanks separate, double quotes group, and inside quotes a
// backslash escapes '"', '`', '$' and '\'. Unbalanced quotes are an error.
std::optional<std::vector<Word>> SplitExec(std::string_view exec) {
  std::vector<Word> words;
  Word current;
  bool in_word = false, quoted = false;
  for (std::size_t i = 0; i < exec.size(); ++i) {
    const char c = exec[i];
    if (quoted) {
      if (c == '\\' && i + 1 < exec.size()) {
        const char n = exec[i + 1];
        if (n == '"' || n == '`' || n == '$' || n == '\\') {
          current.text.push_back(n);
          ++i;
          continue;
        }
      }
      if (c == '"') {
        quoted = false;
      } else {
        current.text.push_back(c);
      }
    } else if (c == '"') {
      quoted = true;
      current.quoted = true;
      in_word = true;
    } else if (c == ' ' || c == '\t') {
      if (in_word) words.push_back(std::move(current));
      current = Word();
      in_word = false;
    } else {
      current.text.push_back(c);
      in_word = true;
    }
  }
  if (quoted) return std::nullopt;
  if (in_word) words.push_back(std::move(current));
  return words;
}

}  // namespace

DesktopLaunch ParseDesktopEntry(std::string_view contents,
                                const std::vector<std::string>& files,
                                const std::string& entry_path) {
  std::string type, exec, path, url, icon, name;
  bool in_group = false;
  while (!contents.empty()) {
    const std::size_t end = contents.find('\n');
    std::string_view line = Trim(contents.substr(0, end));
    contents.remove_prefix(end == std::string_view::npos ? contents.size()
                                                         : end + 1);
    if (line.empty() || line.front() == '#') continue;
    if (line.front() == '[') {
      in_group = line == "[Desktop Entry]";
      continue;
    }
    if (!in_group) continue;
    const std::size_t eq = line.find('=');
    if (eq == std::string_view::npos) continue;
    const std::string_view key = Trim(line.substr(0, eq));
    const std::string value = Unescape(Trim(line.substr(eq + 1)));
    if (key == "Type") type = value;
    if (key == "Exec") exec = value;
    if (key == "Path") path = value;
    if (key == "URL") url = value;
    if (key == "Icon") icon = value;
    if (key == "Name") name = value;
  }

  DesktopLaunch launch;
  if (type == "Link") {
    if (!url.empty()) {
      launch.kind = DesktopLaunch::Kind::kAddress;
      launch.address = url;
    }
    return launch;
  }
  if (type != "Application" || exec.empty()) return launch;
  const std::optional<std::vector<Word>> words = SplitExec(exec);
  if (!words || words->empty()) return launch;

  std::vector<std::string> args;
  bool files_used = false;
  for (const Word& word : *words) {
    if (!word.quoted && (word.text == "%F" || word.text == "%U")) {
      args.insert(args.end(), files.begin(), files.end());
      files_used = true;
      continue;
    }
    if (!word.quoted && word.text == "%i") {
      if (!icon.empty()) {
        args.push_back("--icon");
        args.push_back(icon);
      }
      continue;
    }
    // Field codes inside a word; a word that was only a code for nothing
    // disappears.
    std::string out;
    bool only_codes = true, had_code = false;
    for (std::size_t i = 0; i < word.text.size(); ++i) {
      const char c = word.text[i];
      if (c != '%' || i + 1 >= word.text.size()) {
        out.push_back(c);
        only_codes = false;
        continue;
      }
      const char code = word.text[++i];
      had_code = true;
      switch (code) {
        case '%':
          out.push_back('%');
          only_codes = false;
          break;
        case 'f':
        case 'u':
          if (!files.empty()) out += files.front();
          files_used = true;
          break;
        case 'c':
          out += name;
          break;
        case 'k':
          out += entry_path;
          break;
        default:
          break;  // deprecated and unknown codes are dropped
      }
    }
    if (had_code && only_codes && out.empty()) continue;
    args.push_back(std::move(out));
  }
  if (args.empty() || args.front().empty()) return launch;
  // Parameters given to an entry without a place for them still reach the
  // program, as they would reach a shortcut's target.
  if (!files_used) args.insert(args.end(), files.begin(), files.end());
  launch.kind = DesktopLaunch::Kind::kProgram;
  launch.program = args.front();
  launch.arguments.assign(args.begin() + 1, args.end());
  launch.working_folder = path;
  return launch;
}

}  // namespace mirokata
