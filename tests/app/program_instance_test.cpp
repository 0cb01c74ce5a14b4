// The program binary on a real X server: one copy per user, and a polite
// end on SIGTERM.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "support/temp_folder.h"

extern char** environ;

namespace mirokata {
namespace {

using Clock = std::chrono::steady_clock;

std::vector<std::string> Environment(const std::string& display,
                                     const std::string& runtime) {
  std::vector<std::string> env;
  for (char** e = environ; *e; ++e) {
    std::string v = *e;
    if (v.starts_with("DISPLAY=") || v.starts_with("XDG_RUNTIME_DIR=") ||
        v.starts_with("QT_QPA_PLATFORM=") || v.starts_with("MIROKATA_HOME=")) {
      continue;
    }
    env.push_back(v);
  }
  env.push_back("DISPLAY=" + display);
  env.push_back("XDG_RUNTIME_DIR=" + runtime);
  env.push_back("QT_QPA_PLATFORM=xcb");
  return env;
}

pid_t Spawn(const std::vector<std::string>& args,
            const std::vector<std::string>& env) {
  std::vector<char*> argv, envp;
  for (const std::string& a : args)
    argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  for (const std::string& e : env) envp.push_back(const_cast<char*>(e.c_str()));
  envp.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
  pid_t pid = -1;
  if (posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(),
                   envp.data()) != 0) {
    pid = -1;
  }
  posix_spawn_file_actions_destroy(&actions);
  return pid;
}

// The exit status, or -1 when the process is still running at the deadline.
int WaitFor(pid_t pid, std::chrono::seconds limit) {
  const auto deadline = Clock::now() + limit;
  while (Clock::now() < deadline) {
    int status = 0;
    if (waitpid(pid, &status, WNOHANG) == pid) {
      return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  return -1;
}

int VisibleMainWindows(const std::vector<std::string>& env) {
  std::string list = ::testing::TempDir() + "/mirokata-windows.txt";
  std::vector<std::string> args = {"sh", "-c",
                                   "xdotool search --onlyvisible --name "
                                   "'^Mirokata$' > '" +
                                       list + "' 2>/dev/null; exit 0"};
  pid_t pid = Spawn(args, env);
  if (pid < 0 || WaitFor(pid, std::chrono::seconds(20)) != 0) return -1;
  std::ifstream in(list);
  int n = 0;
  for (std::string line; std::getline(in, line);) n += !line.empty();
  return n;
}

TEST(ProgramInstanceTest, SecondStartEndsSilentlyAndSigtermClosesCleanly) {
  const char* display = std::getenv("MIROKATA_TEST_DISPLAY");
  if (!display || !*display) GTEST_SKIP() << "MIROKATA_TEST_DISPLAY unset";
  TempFolder dir;
  const std::string runtime = dir / "run";
  ASSERT_EQ(mkdir(runtime.c_str(), 0700), 0);
  const std::vector<std::string> env = Environment(display, runtime);
  // No tray icons: without a tray host their notice would be a second
  // window of that title.
  std::filesystem::create_directory(dir / "home");
  std::ofstream(dir / "home/mirokata.ini") << "[Form]\r\nTray_icon=1\r\n";
  const std::vector<std::string> start = {MIROKATA_BINARY, "--home",
                                          dir / "home"};

  pid_t first = Spawn(start, env);
  ASSERT_GT(first, 0);
  // A failed check must not leave the program running.
  struct Reaper {
    pid_t pid;
    ~Reaper() {
      if (pid > 0) {
        kill(pid, SIGKILL);
        waitpid(pid, nullptr, 0);
      }
    }
  } reaper{first};
  const auto deadline = Clock::now() + std::chrono::seconds(60);
  while (VisibleMainWindows(env) < 1 && Clock::now() < deadline) {
    if (WaitFor(first, std::chrono::seconds(0)) != -1) {
      reaper.pid = 0;
      FAIL() << "the first copy ended";
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
  }
  ASSERT_EQ(VisibleMainWindows(env), 1);
  EXPECT_TRUE(std::filesystem::exists(runtime + "/Mirokata.lock"));

  pid_t second = Spawn(start, env);
  ASSERT_GT(second, 0);
  EXPECT_EQ(WaitFor(second, std::chrono::seconds(60)), 0);
  EXPECT_EQ(VisibleMainWindows(env), 1);
  const int early = WaitFor(first, std::chrono::seconds(0));
  if (early != -1) reaper.pid = 0;
  ASSERT_EQ(early, -1) << "the first copy ended";

  // The end of a session: the window closes the ordinary way.
  kill(first, SIGTERM);
  const int status = WaitFor(first, std::chrono::seconds(60));
  if (status != -1) reaper.pid = 0;  // reaped: the number may be reused
  EXPECT_EQ(status, 0);
  EXPECT_FALSE(std::filesystem::exists(runtime + "/Mirokata.lock"));
}

}  // namespace
}  // namespace mirokata
