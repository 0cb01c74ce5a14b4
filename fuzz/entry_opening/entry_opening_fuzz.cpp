// Any file in the data folder may be double-clicked in the schedule
// manager: reopening it never crashes, and whatever editor it opens
// addresses that very file again.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <variant>

#include "schedule/editor_state.h"
#include "schedule/folder_index.h"

#define CHECK(cond)                \
  do {                             \
    if (!(cond)) __builtin_trap(); \
  } while (0)

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view name(reinterpret_cast<const char*>(data), size);
  // The day it is opened on varies with the input, the leap years and
  // month ends included.
  const mirokata::CivilDate today{1990 + int(size % 60), 1 + int(size % 12),
                                  1 + int(size % 28)};
  const auto opening = mirokata::OpeningForName(name, today, 23, 59);
  if (!opening) return 0;
  std::string built;
  if (opening->is_popup()) {
    auto state = std::get<mirokata::PopupEditorState>(opening->state);
    built = mirokata::EvaluatePopupEditor(state, 0, 1).name;
  } else {
    auto state = std::get<mirokata::ScheduleEditorState>(opening->state);
    built = mirokata::EvaluateScheduleEditor(state).name;
  }
  CHECK(mirokata::UpperAscii(built) == mirokata::UpperAscii(name));
  return 0;
}
