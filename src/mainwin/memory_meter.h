// The memory panel's text: free physical memory in kilobytes and percent.
#ifndef MIROKATA_MAINWIN_MEMORY_METER_H_
#define MIROKATA_MAINWIN_MEMORY_METER_H_

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace mirokata {

struct MemoryFigures {
  uint64_t total_kb = 0;
  uint64_t available_kb = 0;
};

// Total and available memory from the text of /proc/meminfo: MemTotal and
// MemAvailable, or on kernels without MemAvailable the free, buffer and
// cache memory. nullopt when the figures are missing or unreadable.
std::optional<MemoryFigures> ParseMeminfo(std::string_view text);

// "%dK(%d%%)": available kilobytes and available kilobytes per hundredth of
// the total. Empty (no figure) for a zero total.
std::string MemoryText(const MemoryFigures& figures);

// The free GDI (kind 0) or USER (kind 1) system resources in percent. This
// system has no such figures and counts as the NT family: always 0.
int FreeResourcePercent(int kind);

// The panel text for the Form/Resource setting. Here every setting shows
// the memory text, as on the NT family.
std::string MemoryPanelText(int resource_setting,
                            const std::optional<MemoryFigures>& figures);

// Reads the figures afresh at every call. A failed read gives an empty text
// and never stops anything.
class MemoryMeter {
 public:
  explicit MemoryMeter(std::string meminfo_path = "/proc/meminfo")
      : path_(std::move(meminfo_path)) {}
  std::optional<MemoryFigures> Read() const;
  std::string Text(int resource_setting = 0) const {
    return MemoryPanelText(resource_setting, Read());
  }

 private:
  std::string path_;
};

}  // namespace mirokata

#endif  // MIROKATA_MAINWIN_MEMORY_METER_H_
