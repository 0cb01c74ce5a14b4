// One open diary page from its opening to its close: what the diary window
// keeps besides its widgets, and the rules of when the page is written.
// Nothing is written unless the page was changed and neither deleted nor
// exported; a failed write keeps everything and refuses the close.
#ifndef MIROKATA_NOTES_DIARY_SESSION_H_
#define MIROKATA_NOTES_DIARY_SESSION_H_

#include <string>
#include <string_view>

#include "calendar/gregorian.h"
#include "notes/diary_page.h"
#include "notes/diary_store.h"

namespace mirokata {

class DiaryPageSession {
 public:
  // Opens the page of `date` in the diary folder (see OpenDiaryPage);
  // `caption` is the new page's title.
  DiaryPageSession(std::string folder, const CivilDate& date, int current_year,
                   std::string_view caption);

  const CivilDate& date() const { return date_; }
  PageOpenState state() const { return opened_.state; }
  // The refusal, the conversion's status text or its failure.
  const std::string& message() const { return opened_.message; }
  const std::string& path() const { return opened_.path; }
  // False for broken and refused pages: the window closes at once and
  // nothing is ever written.
  bool can_show() const;
  // The delete button: the page had a file when it was opened.
  bool can_delete() const;

  // The page as the window edits it; call MarkModified after a change.
  DiaryPage& page() { return opened_.page; }
  const DiaryPage& page() const { return opened_.page; }
  void MarkModified() { modified_ = true; }
  bool modified() const { return modified_; }
  bool do_not_save() const { return do_not_save_; }

  // The export to a chosen file. Only once it is written does closing stop
  // saving the page's own file. False with *message.
  bool Export(const std::string& path, std::string_view plain_text,
              std::string* message);
  // Deletes the page's file (when there is one) and never saves again.
  // False with *message when the file stays.
  bool Delete(std::string* message);
  // The close: writes the page when it was changed (making the folder with
  // mode 0700 when missing). True when the window may close; false with
  // *message ("保存できません。\r" + path + "\r" + reason) when the write
  // failed, and the window stays with its text.
  bool Close(std::string* message);

 private:
  std::string folder_;
  CivilDate date_;
  OpenedPage opened_;
  bool modified_ = false;
  bool do_not_save_ = false;
};

}  // namespace mirokata

#endif  // MIROKATA_NOTES_DIARY_SESSION_H_
