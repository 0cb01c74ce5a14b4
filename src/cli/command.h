// The subcommands of mirokata-cal. Each lives in its own file and is
// registered in the table of main.cpp.
#ifndef MIROKATA_CLI_COMMAND_H_
#define MIROKATA_CLI_COMMAND_H_

#include <string>
#include <vector>

namespace mirokata::cli {

// Exit codes.
inline constexpr int kExitOk = 0;
inline constexpr int kExitFailure = 1;
inline constexpr int kExitUsage = 2;

struct CommandLine {
  int argc = 0;
  char** argv = nullptr;          // the whole command line
  std::vector<std::string> args;  // after the command name, --home removed
  std::string program_folder;     // ends with "/"
};

using CommandFunction = int (*)(const CommandLine& line);

struct Command {
  const char* name;
  const char* synopsis;  // one line for --help
  const char* help;      // the command's own --help text
  CommandFunction run;
};

// days FROM [TO]
extern const Command kDaysCommand;

// agenda [--data DIR] FROM [TO]
extern const Command kAgendaCommand;

// ical [--data DIR] [FROM TO] | ical --import FILE [--data DIR] [--dry-run]
extern const Command kIcalCommand;

// diary search WORD [FROM TO] | diary show YYYY-MM-DD
extern const Command kDiaryCommand;
// sync [--data DIR] [--dry-run]
extern const Command kSyncCommand;

}  // namespace mirokata::cli

#endif  // MIROKATA_CLI_COMMAND_H_
