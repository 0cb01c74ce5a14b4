// Opening documents and addresses and starting programs, never via a shell.
#ifndef MIROKATA_PLATFORM_SHELL_H_
#define MIROKATA_PLATFORM_SHELL_H_

#include <string>
#include <string_view>
#include <vector>

namespace mirokata {

// A command text "file?parameters" split at its first "?".
struct CommandText {
  std::string file;
  std::string parameters;
};

// Splits at the first "?"; without one the whole text is the file; with
// nothing before it the text after it is the file and there are no
// parameters.
CommandText SplitCommandText(std::string_view text);

// The folder part of a path, up to and including its last "/", "\" or ":";
// empty when there is none.
std::string FolderOfPath(std::string_view path);

// Splits a parameter string into arguments: blanks separate them, double
// quotes group (a doubled quote inside quotes is a literal quote), a
// backslash before a quote escapes it. No other character is special: "$",
// ";", "|", "*" and the like reach the program as written.
std::vector<std::string> SplitArguments(std::string_view parameters);

class Shell {
 public:
  virtual ~Shell() = default;
  // Opens a document, folder or address ("http:", "https:", "mailto:",
  // "file:") in the desktop's default program. False when it cannot.
  virtual bool OpenDocument(const std::string& path_or_address) = 0;
  // Starts a program (a path, or a name looked up on PATH) detached with
  // these arguments in `working_folder` (empty: the current folder).
  virtual bool StartProgram(const std::string& program,
                            const std::vector<std::string>& arguments,
                            const std::string& working_folder) = 0;
  // What "open through the shell" means here: an executable file is started
  // with SplitArguments(parameters); a ".desktop" entry starts its program
  // (the parameters as its files); anything else is opened as a document
  // (parameters are then ignored). False when nothing could be started.
  virtual bool Open(const std::string& file, const std::string& parameters,
                    const std::string& working_folder) = 0;
};

}  // namespace mirokata

#endif  // MIROKATA_PLATFORM_SHELL_H_
