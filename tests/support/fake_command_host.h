// A command host that records every command run and runs its handler at
// once, "later" ones included.
#ifndef MIROKATA_TESTS_SUPPORT_FAKE_COMMAND_HOST_H_
#define MIROKATA_TESTS_SUPPORT_FAKE_COMMAND_HOST_H_

#include <algorithm>
#include <array>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "base/command.h"

namespace mirokata {

class FakeCommandHost : public CommandHost {
 public:
  void SetCommand(Command command, std::function<void()> handler) override {
    handlers_[Index(command)] = std::move(handler);
  }
  bool HasCommand(Command command) const override {
    return static_cast<bool>(handlers_[Index(command)]);
  }
  void RunCommand(Command command) override {
    runs.push_back(command);
    if (handlers_[Index(command)]) handlers_[Index(command)]();
  }
  void RunCommandLater(Command command) override {
    later.push_back(command);
    RunCommand(command);
  }
  void SetMenuBuilder(MenuSlot, std::function<void(QMenu*)>) override {}
  // A new window each time; the key is recorded.
  QWidget* OpenOrRaise(std::string_view key,
                       const std::function<QWidget*()>& create) override {
    opened.emplace_back(key);
    return create();
  }
  void AddStartupStep(std::function<void()> step) override {
    startup_steps.push_back(std::move(step));
  }

  int Count(Command command) const {
    return static_cast<int>(std::count(runs.begin(), runs.end(), command));
  }

  std::vector<Command> runs;
  std::vector<Command> later;
  std::vector<std::string> opened;
  std::vector<std::function<void()>> startup_steps;

 private:
  static size_t Index(Command c) { return static_cast<size_t>(c); }
  std::array<std::function<void()>, kCommandCount> handlers_;
};

}  // namespace mirokata

#endif  // MIROKATA_TESTS_SUPPORT_FAKE_COMMAND_HOST_H_
