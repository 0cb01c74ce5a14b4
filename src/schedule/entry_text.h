// An entry's text as the popup window and the day panel show it.
//
// A reminder is a few lines; a file of megabytes in the data folder must
// not stall the tick or a click on its day. Only the start of a file is
// read for display, and the file itself is left as it is.
#ifndef MIROKATA_SCHEDULE_ENTRY_TEXT_H_
#define MIROKATA_SCHEDULE_ENTRY_TEXT_H_

#include <cstddef>
#include <string>
#include <string_view>

#include "platform/file_io.h"

namespace mirokata {

class EntryFolder;

// How much of an entry file is read for display.
inline constexpr size_t kEntryDisplayBytes = 256 * 1024;
// The last line of a text cut there.
inline constexpr char kEntryCutNote[] = "（以下省略）";

// The plain text (lines separated by CR LF) of an entry file's first bytes
// `head`, RTF or plain CP932 text; `cut` says the file goes on beyond them.
// A cut text keeps the lines that lie whole in `head` (only when there is
// no whole line, the part of the first one, in whole characters) and then
// kEntryCutNote as its last line.
std::string EntryTextForDisplay(std::string_view head, bool cut);

// Reads at most `limit` bytes of the entry `name` and gives its text as
// above; the result of the read otherwise (kMissing for a file gone since
// it was listed).
ReadResult ReadEntryTextForDisplay(EntryFolder& folder, std::string_view name,
                                   std::string* text,
                                   size_t limit = kEntryDisplayBytes);

}  // namespace mirokata

#endif  // MIROKATA_SCHEDULE_ENTRY_TEXT_H_
