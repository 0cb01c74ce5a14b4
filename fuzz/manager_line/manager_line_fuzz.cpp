// Any file in the data folder gets a line in the schedule manager: its name
// may be short, a stranger's, or no text at all.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "schedule/entry_name.h"
#include "schedule/manager_lines.h"

namespace {

#define CHECK(cond)                \
  do {                             \
    if (!(cond)) __builtin_trap(); \
  } while (0)

bool IsUtf8(std::string_view s) {
  size_t i = 0;
  while (i < s.size()) {
    const unsigned char c = s[i];
    size_t len = c < 0x80                 ? 1
                 : c >= 0xC2 && c <= 0xDF ? 2
                 : c >= 0xE0 && c <= 0xEF ? 3
                 : c >= 0xF0 && c <= 0xF4 ? 4
                                          : 0;
    if (len == 0 || i + len > s.size()) return false;
    for (size_t k = 1; k < len; ++k) {
      if ((static_cast<unsigned char>(s[i + k]) & 0xC0) != 0x80) return false;
    }
    i += len;
  }
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string name(reinterpret_cast<const char*>(data), size);
  const mirokata::ManagerLine line = mirokata::ManagerLineOf(name, 2026);
  CHECK(line.name == name);
  CHECK(IsUtf8(line.text));
  const bool birthday = line.entry_class == mirokata::EntryClass::kBirthday;
  CHECK(birthday == line.text.empty());
  if (!birthday) {
    const std::string label = line.text.substr(0, 8);
    CHECK(label.size() == 8 && label.compare(5, 3, " : ") == 0);
  }
  if (line.one_day()) CHECK(mirokata::ParseEntryName(name).has_value());

  mirokata::LocalTime now;
  now.year = 2026;
  now.month = 12;
  now.day = 10;
  now.hour = 10;
  const std::vector<std::string> names = {name};
  const size_t all =
      mirokata::BuildManagerLines(names, mirokata::ManagerMode::kAll, now, {})
          .size();
  const size_t past =
      mirokata::BuildManagerLines(names, mirokata::ManagerMode::kPast, now, {})
          .size();
  const size_t day = mirokata::BuildManagerLines(
                         names, mirokata::ManagerMode::kChosenDay, now,
                         line.date.value_or(mirokata::CivilDate{2026, 12, 10}))
                         .size();
  CHECK(all == (birthday ? 0u : 1u));
  CHECK(past <= all && day <= all);
  CHECK(day == (line.one_day() && !birthday ? 1u : 0u));
  return 0;
}
