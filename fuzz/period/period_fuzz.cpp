// Any bytes as the tracker file and the settings file (split at the first
// NUL): loading, taking over older dates, the averages, both prediction
// lists and one cycle's detail must not crash, and the dates must come out
// sorted, without repeats and inside the calendar; the detail of any
// prediction is at most a cycle long.
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <string>
#include <string_view>

#include "base/settings_file.h"
#include "tools/period_tracker.h"

namespace {

const std::string& Folder() {
  static const std::string folder = [] {
    char tmpl[] = "/tmp/mirokata-period-fuzz-XXXXXX";
    const char* made = mkdtemp(tmpl);
    if (!made) abort();
    return std::string(made);
  }();
  return folder;
}

void Put(const std::string& path, std::string_view bytes) {
  std::ofstream(path, std::ios::binary | std::ios::trunc)
      .write(bytes.data(), std::streamsize(bytes.size()));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace mirokata;
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  const size_t split = std::min(input.find('\0'), input.size());
  Put(Folder() + "/Period.ini", input.substr(0, split));
  Put(Folder() + "/mirokata.ini",
      split < input.size() ? input.substr(split + 1) : std::string_view());

  SettingsFile settings(Folder() + "/mirokata.ini");
  PeriodTracker tracker(settings, Folder());
  tracker.Load();
  const auto& dates = tracker.dates();
  for (size_t i = 0; i < dates.size(); ++i) {
    if (!IsValidDate(dates[i].year, dates[i].month, dates[i].day)) abort();
    if (i > 0 && DayNumber(dates[i - 1]) >= DayNumber(dates[i])) abort();
  }
  const int days = tracker.period_days();
  if (days < 1 || days > kMaxPeriodDays) abort();
  const Cycles& c = tracker.cycles();
  for (int v : {c.common, c.alternate_a, c.alternate_b}) {
    if (v < 1 || v > kMaxCycle) abort();
  }
  if (!dates.empty()) {
    // A few typed lengths taken from the input itself.
    tracker.SetCycles(input.substr(0, 3), input.substr(size / 2, 3),
                      input.substr(size > 3 ? size - 3 : 0));
    const std::vector<CivilDate>* lists[] = {&tracker.common(),
                                             &tracker.alternating()};
    for (const auto* list : lists) {
      if (list->size() > size_t(kPredictionCount)) abort();
      if (list->empty()) continue;
      const size_t index = size % list->size();
      const CycleDetail detail =
          DetailOf(*list, index, dates.back(), tracker.period_days());
      if (detail.lines.size() > size_t(kMaxCycle) + 1) abort();
    }
    (void)CycleStatus(dates, size % dates.size());
    (void)tracker.Comment(dates.front());
  }
  return 0;
}
