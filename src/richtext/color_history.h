// The text colours chosen last, newest first: `Color1` .. `Color5` of
// section `Nikki`, shared by the diary, the memos and the to-do board.
#ifndef MIROKATA_RICHTEXT_COLOR_HISTORY_H_
#define MIROKATA_RICHTEXT_COLOR_HISTORY_H_

#include <vector>

#include "platform/color/color_value.h"

namespace mirokata {

class SettingsFile;
class SettingsReader;

inline constexpr int kColorHistorySize = 5;
inline constexpr ColorValue kColorHistoryDefault = kClRed;

// The history as stored: a missing key counts as red, a value that is no
// plain colour (text, a system colour, out of range) is skipped, a colour
// already listed is not listed again. At most kColorHistorySize colours.
std::vector<ColorValue> ReadColorHistory(const SettingsReader& settings);

// The history with `color` first, moved there when it was listed.
std::vector<ColorValue> WithNewestColor(std::vector<ColorValue> history,
                                        ColorValue color);

// Puts `color` first in the stored history: one settings batch writing
// all five keys (the last colour fills the keys beyond the history). False
// when the file could not be written.
bool RememberColor(SettingsFile& settings, ColorValue color);

}  // namespace mirokata

#endif  // MIROKATA_RICHTEXT_COLOR_HISTORY_H_
