#include "contacts/phone_commands.h"

#include <QString>
#include <QUrl>
#include <vector>

#include "platform/shell.h"

namespace mirokata {
namespace {

// The program and its prefix are taken up to this many characters.
constexpr size_t kCommandTextLimit = 1024;

std::string_view Limited(std::string_view text) {
  return text.substr(0, std::min(text.size(), kCommandTextLimit));
}

bool IsSchemeChar(char c, bool first) {
  const bool letter = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
  if (first) return letter;
  return letter || (c >= '0' && c <= '9') || c == '+' || c == '-' || c == '.';
}

// The scheme of "scheme:...", lower case; empty for none. "host:8080/x" has
// none: a port is not a scheme.
std::string SchemeOf(std::string_view text) {
  const size_t colon = text.find(':');
  if (colon == std::string_view::npos || colon < 2) return {};
  for (size_t i = 0; i < colon; ++i) {
    if (!IsSchemeChar(text[i], i == 0)) return {};
  }
  size_t digits = colon + 1;
  while (digits < text.size() && text[digits] >= '0' && text[digits] <= '9') {
    ++digits;
  }
  if (digits > colon + 1 && (digits == text.size() || text[digits] == '/')) {
    return {};
  }
  std::string scheme(text.substr(0, colon));
  for (char& c : scheme) c = char(std::tolower(static_cast<unsigned char>(c)));
  return scheme;
}

}  // namespace

std::string PathUrl(std::string_view scheme, std::string_view cell) {
  QUrl url;
  url.setScheme(QString::fromUtf8(scheme.data(), qsizetype(scheme.size())));
  url.setPath(QString::fromUtf8(cell.data(), qsizetype(cell.size())),
              QUrl::DecodedMode);
  return url.toString(QUrl::FullyEncoded).toStdString();
}

std::optional<std::string> WebUrl(std::string_view cell) {
  while (!cell.empty() && static_cast<unsigned char>(cell.front()) <= 32) {
    cell.remove_prefix(1);
  }
  while (!cell.empty() && static_cast<unsigned char>(cell.back()) <= 32) {
    cell.remove_suffix(1);
  }
  if (cell.empty()) return std::nullopt;
  const std::string scheme = SchemeOf(cell);
  std::string text;
  if (scheme.empty()) {
    // Paths stay shut: a shared page must not start local files.
    if (cell.front() == '/' || cell.front() == '~' || cell.front() == '.' ||
        cell.front() == '\\' || cell.find(':') == 1) {
      return std::nullopt;
    }
    text = "http://" + std::string(cell);
  } else if (scheme == "http" || scheme == "https") {
    text = std::string(cell);
  } else {
    return std::nullopt;
  }
  const QUrl url(QString::fromStdString(text), QUrl::TolerantMode);
  if (!url.isValid() || url.host().isEmpty()) return std::nullopt;
  const QString scheme_of_url = url.scheme().toLower();
  if (scheme_of_url != QLatin1String("http") &&
      scheme_of_url != QLatin1String("https")) {
    return std::nullopt;
  }
  return url.toString(QUrl::FullyEncoded).toStdString();
}

bool StartWithCell(Shell& shell, std::string_view program_text,
                   std::string_view cell) {
  const CommandText command = SplitCommandText(Limited(program_text));
  if (command.file.empty()) return false;
  const std::string prefix(Limited(command.parameters));
  std::vector<std::string> arguments = SplitArguments(prefix);
  const bool glued = !prefix.empty() && !arguments.empty() &&
                     static_cast<unsigned char>(prefix.back()) > 32;
  if (glued) {
    arguments.back() += cell;
  } else {
    // An address must never become an option of the program.
    if (!cell.empty() && cell.front() == '-') return false;
    arguments.emplace_back(cell);
  }
  return shell.StartProgram(command.file, arguments,
                            FolderOfPath(command.file));
}

bool SendMailTo(Shell& shell, std::string_view mailer, std::string_view cell) {
  if (mailer.empty()) return shell.OpenDocument(PathUrl("mailto", cell));
  return StartWithCell(shell, mailer, cell);
}

bool OpenWebPage(Shell& shell, std::string_view browser,
                 std::string_view cell) {
  if (!browser.empty()) return StartWithCell(shell, browser, cell);
  const std::optional<std::string> url = WebUrl(cell);
  return url && shell.OpenDocument(*url);
}

bool DialNumber(Shell& shell, std::string_view number) {
  return shell.OpenDocument(PathUrl("tel", number));
}

}  // namespace mirokata
