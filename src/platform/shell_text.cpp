#include "platform/shell.h"

namespace mirokata {

CommandText SplitCommandText(std::string_view text) {
  CommandText command;
  const std::size_t mark = text.find('?');
  if (mark == std::string_view::npos) {
    command.file = std::string(text);
  } else if (mark == 0) {
    command.file = std::string(text.substr(1));
  } else {
    command.file = std::string(text.substr(0, mark));
    command.parameters = std::string(text.substr(mark + 1));
  }
  return command;
}

std::string FolderOfPath(std::string_view path) {
  const std::size_t last = path.find_last_of("/\\:");
  if (last == std::string_view::npos) return {};
  return std::string(path.substr(0, last + 1));
}

std::vector<std::string> SplitArguments(std::string_view parameters) {
  std::vector<std::string> arguments;
  std::string current;
  bool in_argument = false;
  bool quoted = false;
  for (std::size_t i = 0; i < parameters.size(); ++i) {
    const char c = parameters[i];
    if (c == '\\') {
      // Backslashes are literal unless a run of them ends at a quote: then
      // each pair is one backslash and an odd one escapes the quote.
      std::size_t run = 0;
      while (i + run < parameters.size() && parameters[i + run] == '\\') ++run;
      if (i + run < parameters.size() && parameters[i + run] == '"') {
        current.append(run / 2, '\\');
        if (run % 2 == 1) {
          current.push_back('"');
          i += run;  // past the escaped quote
        } else {
          i += run - 1;  // the quote is handled next
        }
      } else {
        current.append(run, '\\');
        i += run - 1;
      }
      in_argument = true;
    } else if (c == '"') {
      if (quoted && i + 1 < parameters.size() && parameters[i + 1] == '"') {
        current.push_back('"');
        ++i;
      } else {
        quoted = !quoted;
      }
      in_argument = true;
    } else if (!quoted && (c == ' ' || c == '\t' || c == '\n' || c == '\r')) {
      if (in_argument) {
        arguments.push_back(std::move(current));
        current.clear();
        in_argument = false;
      }
    } else {
      current.push_back(c);
      in_argument = true;
    }
  }
  if (in_argument) arguments.push_back(std::move(current));
  return arguments;
}

}  // namespace mirokata
