// mirokata-cal: asks the calendar from a terminal.
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#include "base/program_folder.h"
#include "cli/command.h"

namespace {

using mirokata::cli::Command;

// One row per subcommand.
const Command* const kCommands[] = {
    &mirokata::cli::kDaysCommand,
    &mirokata::cli::kAgendaCommand,
    &mirokata::cli::kIcalCommand,
    &mirokata::cli::kDiaryCommand,
    &mirokata::cli::kSyncCommand,
};

void PrintUsage(std::FILE* out) {
  std::fputs(
      "usage: mirokata-cal [--home DIR] COMMAND ...\n"
      "\n"
      "Asks Mirokata's calendar from a terminal. --home DIR (or the\n"
      "environment variable MIROKATA_HOME) names the folder of the settings\n"
      "file, as for mirokata itself.\n"
      "\n"
      "commands:\n",
      out);
  for (const Command* c : kCommands) std::fprintf(out, "  %s\n", c->synopsis);
  std::fputs("\n'mirokata-cal COMMAND --help' describes a command.\n", out);
}

// The folder is only looked for, never made: a mistyped --home must not
// leave a new folder behind. A folder the user named has to exist; the
// default one may be missing (then every setting has its default).
bool FindProgramFolder(int argc, char** argv, std::string* folder) {
  const mirokata::ProgramFolderInputs in =
      mirokata::ProgramFolderInputsOf(argc, argv);
  *folder = mirokata::LocateProgramFolder(in);
  const bool by_option = in.home_option && !in.home_option->empty();
  const bool by_env = in.home_env && !in.home_env->empty();
  if ((by_option || by_env) && !mirokata::FolderExists(*folder)) {
    std::fprintf(stderr, "mirokata-cal: no such folder: %s (given by %s)\n",
                 folder->c_str(), by_option ? "--home" : "MIROKATA_HOME");
    return false;
  }
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  mirokata::cli::CommandLine line;
  line.argc = argc;
  line.argv = argv;
  std::vector<std::string> words;
  for (int i = 1; i < argc; ++i) {
    std::string_view arg = argv[i];
    if (arg == "--home") {
      if (i + 1 >= argc) {
        std::fputs("mirokata-cal: --home needs a folder\n", stderr);
        return mirokata::cli::kExitUsage;
      }
      ++i;
    } else if (arg.starts_with("--home=")) {
      if (arg.size() == 7) {
        std::fputs("mirokata-cal: --home needs a folder\n", stderr);
        return mirokata::cli::kExitUsage;
      }
    } else {
      words.emplace_back(arg);
    }
  }
  if (words.empty()) {
    PrintUsage(stderr);
    return mirokata::cli::kExitUsage;
  }
  if (words[0] == "--help" || words[0] == "-h") {
    PrintUsage(stdout);
    return mirokata::cli::kExitOk;
  }
  for (const Command* c : kCommands) {
    if (words[0] == c->name) {
      line.args.assign(words.begin() + 1, words.end());
      if (!FindProgramFolder(argc, argv, &line.program_folder)) {
        return mirokata::cli::kExitUsage;
      }
      return c->run(line);
    }
  }
  std::fprintf(stderr, "mirokata-cal: unknown command \"%s\"\n",
               words[0].c_str());
  PrintUsage(stderr);
  return mirokata::cli::kExitUsage;
}
