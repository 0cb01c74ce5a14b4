#include "notes/diary_session.h"

#include <errno.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>
#include <utility>

#include "platform/file_io.h"

namespace mirokata {

DiaryPageSession::DiaryPageSession(std::string folder, const CivilDate& date,
                                   int current_year, std::string_view caption)
    : folder_(std::move(folder)),
      date_(date),
      opened_(OpenDiaryPage(folder_, date, current_year, caption)) {
  // A conversion that could not be written is still to be saved.
  modified_ = opened_.state == PageOpenState::kConverted && !opened_.written;
}

bool DiaryPageSession::can_show() const {
  return opened_.state != PageOpenState::kBroken &&
         opened_.state != PageOpenState::kRefused;
}

bool DiaryPageSession::can_delete() const {
  return opened_.state == PageOpenState::kRead ||
         (opened_.state == PageOpenState::kConverted && opened_.written);
}

bool DiaryPageSession::Export(const std::string& path,
                              std::string_view plain_text,
                              std::string* message) {
  std::string error;
  if (!SaveExportedPage(path, opened_.page.header, plain_text, &error)) {
    if (message) *message = SaveFailureMessage(path, error);
    return false;
  }
  do_not_save_ = true;
  return true;
}

bool DiaryPageSession::Delete(std::string* message) {
  do_not_save_ = true;
  if (::unlink(opened_.path.c_str()) == 0 || errno == ENOENT) return true;
  if (message) *message = opened_.path + "\r" + std::strerror(errno);
  return false;
}

bool DiaryPageSession::Close(std::string* message) {
  if (!can_show() || !modified_ || do_not_save_) return true;
  std::string error;
  if (::mkdir(folder_.c_str(), kPrivateFolderMode) != 0 && errno != EEXIST) {
    error = std::strerror(errno);
  } else if (SaveDiaryPage(opened_.path, opened_.page, &error)) {
    modified_ = false;
    // A conversion that failed at the opening is complete now.
    if (opened_.state == PageOpenState::kConverted && !opened_.written) {
      ::unlink(opened_.old_path.c_str());
      opened_.written = true;
    }
    return true;
  }
  if (message) *message = SaveFailureMessage(opened_.path, error);
  return false;
}

}  // namespace mirokata
