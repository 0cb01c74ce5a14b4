#ifndef MIROKATA_PLATFORM_DISPLAY_FLUSH_H_
#define MIROKATA_PLATFORM_DISPLAY_FLUSH_H_

namespace mirokata {

// Sends the window system requests queued so far (a window shown, moved)
// to the display server now instead of at the event loop's next pass. Runs
// no events and waits for no answer; does nothing off X11.
void FlushDisplayRequests();

}  // namespace mirokata

#endif  // MIROKATA_PLATFORM_DISPLAY_FLUSH_H_
