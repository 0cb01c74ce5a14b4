// Puts the memos into the program: the memo menu, reopening the memos that
// were open at exit, and the open memo windows themselves.
#ifndef MIROKATA_NOTES_UI_MEMO_INSTALL_H_
#define MIROKATA_NOTES_UI_MEMO_INSTALL_H_

#include <QRect>
#include <functional>
#include <memory>
#include <string>

#include "base/command.h"
#include "base/services.h"
#include "notes/ui/memo_windows.h"

namespace mirokata {

struct MemoHooks {
  // The data folder, or false after asking for one (none chosen yet).
  std::function<bool(std::string* folder)> require_data_folder;
  // The main window's frame, for the default memo places.
  std::function<QRect()> main_frame;
};

// The returned object owns the open memo windows; destroying it at exit
// saves them and keeps them listed as open, so they come back next start.
std::unique_ptr<MemoWindows> InstallMemos(const Services& services,
                                          CommandHost& host, MemoHooks hooks);

}  // namespace mirokata

#endif  // MIROKATA_NOTES_UI_MEMO_INSTALL_H_
