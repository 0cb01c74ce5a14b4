// Runs a built program with an argument list (no shell) and collects its
// exit code and output.
#ifndef MIROKATA_TESTS_SUPPORT_RUN_PROGRAM_H_
#define MIROKATA_TESTS_SUPPORT_RUN_PROGRAM_H_

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

extern char** environ;

namespace mirokata {

struct ProgramRun {
  int exit_code = -1;  // -1: did not start or did not exit normally
  std::string out;
  std::string err;
};

inline std::string SlurpFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

// `scratch` is a folder for the output files. Environment entries of
// `unset` are removed from the child's environment, `extra` ("NAME=value")
// added.
inline ProgramRun RunProgram(const std::vector<std::string>& argv,
                             const std::string& scratch,
                             const std::vector<std::string>& unset = {},
                             const std::vector<std::string>& extra = {}) {
  ProgramRun run;
  const std::string out = scratch + "/.run-out", err = scratch + "/.run-err";
  std::vector<std::string> env_strings;
  for (char** e = environ; *e != nullptr; ++e) {
    const std::string entry = *e;
    bool drop = false;
    for (const std::string& name : unset) {
      drop = drop || entry.rfind(name + "=", 0) == 0;
    }
    if (!drop) env_strings.push_back(entry);
  }
  env_strings.insert(env_strings.end(), extra.begin(), extra.end());
  std::vector<char*> args, env;
  for (const std::string& a : argv)
    args.push_back(const_cast<char*>(a.c_str()));
  args.push_back(nullptr);
  for (std::string& e : env_strings) env.push_back(e.data());
  env.push_back(nullptr);

  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 1, out.c_str(),
                                   O_WRONLY | O_CREAT | O_TRUNC, 0600);
  posix_spawn_file_actions_addopen(&actions, 2, err.c_str(),
                                   O_WRONLY | O_CREAT | O_TRUNC, 0600);
  pid_t pid = -1;
  const int spawned =
      posix_spawn(&pid, args[0], &actions, nullptr, args.data(), env.data());
  posix_spawn_file_actions_destroy(&actions);
  if (spawned != 0) return run;
  int status = 0;
  while (waitpid(pid, &status, 0) < 0) {
  }
  run.exit_code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  run.out = SlurpFile(out);
  run.err = SlurpFile(err);
  unlink(out.c_str());
  unlink(err.c_str());
  return run;
}

}  // namespace mirokata

#endif  // MIROKATA_TESTS_SUPPORT_RUN_PROGRAM_H_
