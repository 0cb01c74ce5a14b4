// Runs a check in a forked child with a deadline, so that code that would
// block for ever fails a test instead of hanging it.
#ifndef MIROKATA_TESTS_SUPPORT_CHILD_RUN_H_
#define MIROKATA_TESTS_SUPPORT_CHILD_RUN_H_

#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <functional>
#include <optional>

namespace mirokata {

// The character `body` returned in the child, or nothing when it did not
// answer within `timeout_ms` (it is then killed).
inline std::optional<char> RunInChild(const std::function<char()>& body,
                                      int timeout_ms = 20000) {
  int report[2];
  if (pipe(report) != 0) return std::nullopt;
  const pid_t child = fork();
  if (child < 0) {
    close(report[0]);
    close(report[1]);
    return std::nullopt;
  }
  if (child == 0) {
    close(report[0]);
    const char result = body();
    if (write(report[1], &result, 1) != 1) _exit(2);
    _exit(0);
  }
  close(report[1]);
  struct pollfd p = {report[0], POLLIN, 0};
  const int ready = poll(&p, 1, timeout_ms);
  char result = 0;
  const bool answered = ready == 1 && read(report[0], &result, 1) == 1;
  close(report[0]);
  if (!answered) kill(child, SIGKILL);
  waitpid(child, nullptr, 0);
  if (!answered) return std::nullopt;
  return result;
}

}  // namespace mirokata

#endif  // MIROKATA_TESTS_SUPPORT_CHILD_RUN_H_
