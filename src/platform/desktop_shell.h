// Documents through the desktop's default programs, programs through a
// direct start (fork and exec of the program itself, never /bin/sh).
#ifndef MIROKATA_PLATFORM_DESKTOP_SHELL_H_
#define MIROKATA_PLATFORM_DESKTOP_SHELL_H_

#include <string>

#include "platform/shell.h"

namespace mirokata {

class DesktopShell : public Shell {
 public:
  bool OpenDocument(const std::string& path_or_address) override;
  bool StartProgram(const std::string& program,
                    const std::vector<std::string>& arguments,
                    const std::string& working_folder) override;
  bool Open(const std::string& file, const std::string& parameters,
            const std::string& working_folder) override;

  // The executable a program name stands for: a path to an executable file
  // as it is, a bare name looked up on PATH; empty when there is none.
  static std::string ResolveProgram(const std::string& program);
  // Starts what a ".desktop" entry names (a program, or a Link's address);
  // `parameters` become its file arguments.
  bool OpenDesktopEntry(const std::string& path, const std::string& parameters,
                        const std::string& working_folder);

  // True for "scheme:..." addresses (two or more letters before the colon).
  static bool IsAddress(const std::string& text);
};

}  // namespace mirokata

#endif  // MIROKATA_PLATFORM_DESKTOP_SHELL_H_
