// What the phone book's mail, web and dial commands hand to the desktop:
// addresses built as URLs (never a raw cell after a scheme) and the user's
// own mail or web program started with an argument list.
#ifndef MIROKATA_CONTACTS_PHONE_COMMANDS_H_
#define MIROKATA_CONTACTS_PHONE_COMMANDS_H_

#include <optional>
#include <string>
#include <string_view>

namespace mirokata {

class Shell;

// "scheme:" + the cell as the URL's path, so that "?", "#", "%" and blanks
// are percent-encoded and cannot add headers or a fragment:
// "a@b.jp?bcc=x" gives "mailto:a@b.jp%3Fbcc=x".
std::string PathUrl(std::string_view scheme, std::string_view cell);

// A web cell as an address the desktop may open: http and https as they
// are, a cell without a scheme with "http://" before it; nothing for paths,
// "file:" and every other scheme.
std::optional<std::string> WebUrl(std::string_view cell);

// Starts `program_text` ("program?argument prefix", the `Mailer` and
// `Browser` settings) with the cell as one argument of its own, or glued
// to the prefix's last argument when the prefix does not end in a blank.
// False, starting nothing, when the cell would begin an argument of its
// own with "-" or there is no program.
bool StartWithCell(Shell& shell, std::string_view program_text,
                   std::string_view cell);

// The mail command: `mailer` empty opens a "mailto:" URL.
bool SendMailTo(Shell& shell, std::string_view mailer, std::string_view cell);
// The web command: `browser` empty opens WebUrl(cell) when there is one.
bool OpenWebPage(Shell& shell, std::string_view browser, std::string_view cell);
// Hands the number to the desktop's dialler as a "tel:" URL.
bool DialNumber(Shell& shell, std::string_view number);

}  // namespace mirokata

#endif  // MIROKATA_CONTACTS_PHONE_COMMANDS_H_
