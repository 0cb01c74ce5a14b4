// The diary command: the password, the diary folder, then the month list.
#ifndef MIROKATA_NOTES_DIARY_MODULE_H_
#define MIROKATA_NOTES_DIARY_MODULE_H_

#include <functional>

#include "base/command.h"
#include "base/services.h"

namespace mirokata {

struct DiaryHost {
  // Sends the user to the preferences while no data folder is chosen.
  std::function<bool()> require_data_folder;
  // Runs `go_on` once the user has passed the password lock (at once when
  // it is off), after noting the diary's access; a refusal never runs it.
  std::function<void(std::function<void()> go_on)> password_check;
};

void InstallDiary(Services& services, CommandHost& commands, DiaryHost host);

}  // namespace mirokata

#endif  // MIROKATA_NOTES_DIARY_MODULE_H_
