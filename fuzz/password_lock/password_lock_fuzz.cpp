// Any stored lock value against any typed text: the comparison never
// crashes, a hash with more iterations than allowed is refused rather than
// run, and a plain value matches exactly itself.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "tools/password_lock.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace mirokata;
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  const size_t split = input.find('\n');
  const std::string_view stored = input.substr(0, split);
  const std::string_view typed = split == std::string_view::npos
                                     ? std::string_view()
                                     : input.substr(split + 1);
  const bool matched = PasswordMatches(stored, typed);
  if (!IsPasswordHash(stored) && matched != (stored == typed)) abort();
  return 0;
}
