// How a window takes part in the program's end.
#ifndef MIROKATA_BASE_EXIT_ROLES_H_
#define MIROKATA_BASE_EXIT_ROLES_H_

namespace mirokata {

// A window with this property set to true is not closed with the others
// when the program ends: its owner saves it and keeps it for the next start.
inline constexpr char kStaysOpenAtExit[] = "mirokata_stays_open_at_exit";

}  // namespace mirokata

#endif  // MIROKATA_BASE_EXIT_ROLES_H_
