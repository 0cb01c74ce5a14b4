// A shell that records what it was asked to open or start.
#ifndef MIROKATA_PLATFORM_TESTING_FAKE_SHELL_H_
#define MIROKATA_PLATFORM_TESTING_FAKE_SHELL_H_

#include <string>
#include <vector>

#include "platform/shell.h"

namespace mirokata {

class FakeShell : public Shell {
 public:
  struct Call {
    enum class Kind { kOpenDocument, kStartProgram, kOpen } kind;
    std::string target;                  // document, program or file
    std::vector<std::string> arguments;  // StartProgram
    std::string parameters;              // Open
    std::string working_folder;
  };

  bool OpenDocument(const std::string& path_or_address) override;
  bool StartProgram(const std::string& program,
                    const std::vector<std::string>& arguments,
                    const std::string& working_folder) override;
  bool Open(const std::string& file, const std::string& parameters,
            const std::string& working_folder) override;

  // Answer of every call (true unless set).
  void SetResult(bool result) { result_ = result; }
  const std::vector<Call>& calls() const { return calls_; }
  void Clear() { calls_.clear(); }

 private:
  bool result_ = true;
  std::vector<Call> calls_;
};

}  // namespace mirokata

#endif  // MIROKATA_PLATFORM_TESTING_FAKE_SHELL_H_
