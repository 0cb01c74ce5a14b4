// A tool window that reopens where it was closed: its `top` and `left` in
// its own settings section, moved into the screens.
#ifndef MIROKATA_WIDGETS_STORED_PLACEMENT_H_
#define MIROKATA_WIDGETS_STORED_PLACEMENT_H_

#include <string_view>

#include "base/services.h"

class QWidget;

namespace mirokata {

// Sizes the window to its contents (unless `fit_contents` is false: a
// window sized from its own settings keeps its size) and moves it to the
// stored position (0, 0 when none), kept inside the screen it lands on.
void PlaceAtStoredPosition(QWidget* window, const Services& services,
                           std::string_view section, bool fit_contents = true);

// Writes the window's position back, in one batch.
void StorePosition(const QWidget* window, const Services& services,
                   std::string_view section);

}  // namespace mirokata

#endif  // MIROKATA_WIDGETS_STORED_PLACEMENT_H_
