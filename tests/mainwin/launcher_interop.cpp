// A front for the interop script: "search TEXT" prints the search address
// of the first web search; "drop INI PATH..." gives the paths to their
// associated programs through the real shell.
#include <QCoreApplication>
#include <cstdio>
#include <string>
#include <vector>

#include "base/settings_file.h"
#include "mainwin/launcher_actions.h"
#include "platform/desktop_shell.h"

int main(int argc, char** argv) {
  using namespace mirokata;
  QCoreApplication app(argc, argv);
  if (argc >= 3 && std::string(argv[1]) == "search") {
    std::printf("%s\n",
                WebSearchAddress(WebSearches()[0].prefix, argv[2]).c_str());
    return 0;
  }
  if (argc >= 4 && std::string(argv[1]) == "drop") {
    SettingsFile file(argv[2]);
    DesktopShell shell;
    std::vector<std::string> paths(argv + 3, argv + argc);
    const DropLaunchResult r = OpenWithAssociations(file.Open(), shell, paths);
    std::printf("%d\n", r.started);
    return r.failed ? 1 : 0;
  }
  return 2;
}
