// mirokata-cal: asks the calendar from a terminal.
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

const char kUsage[] =
    "usage: mirokata-cal COMMAND ...\n"
    "\n"
    "commands:\n";

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  if (args.empty() || args[0] == "--help" || args[0] == "-h") {
    std::fputs(kUsage, args.empty() ? stderr : stdout);
    return args.empty() ? 2 : 0;
  }
  std::fprintf(stderr, "mirokata-cal: unknown command \"%s\"\n", args[0].c_str());
  return 2;
}
