// What the one-second tick tells the rest of the program. Listeners run in
// the order they were added, inside the tick: each returns at once and
// queues anything slow.
#ifndef MIROKATA_BASE_TICK_EVENTS_H_
#define MIROKATA_BASE_TICK_EVENTS_H_

#include <functional>
#include <string>
#include <vector>

namespace mirokata {

// A popup window the tick has just finished.
struct PopupFinished {
  std::string entry_path;  // the entry that fired last in the tick
  std::string title;       // the window's title, "yy/mm/dd (ddd) hh:nn"
  bool send_mail = false;  // its Smtp option and the program's switch
  // Every text the tick appended to the window, in order.
  std::vector<std::string> texts;
};

class TickEvents {
 public:
  using Listener = std::function<void()>;
  using PopupListener = std::function<void(const PopupFinished&)>;

  void OnFirstTick(Listener listener) {
    first_tick_.push_back(std::move(listener));
  }
  void OnDateChanged(Listener listener) {
    date_changed_.push_back(std::move(listener));
  }
  void OnMinute(Listener listener) { minute_.push_back(std::move(listener)); }
  void OnPopupFinished(PopupListener listener) {
    popup_finished_.push_back(std::move(listener));
  }

  void FirstTick() const { Run(first_tick_); }
  void DateChanged() const { Run(date_changed_); }
  void Minute() const { Run(minute_); }
  void PopupWindowFinished(const PopupFinished& popup) const {
    for (const PopupListener& l : popup_finished_) l(popup);
  }

 private:
  static void Run(const std::vector<Listener>& listeners) {
    for (const Listener& l : listeners) l();
  }

  std::vector<Listener> first_tick_;
  std::vector<Listener> date_changed_;
  std::vector<Listener> minute_;
  std::vector<PopupListener> popup_finished_;
};

}  // namespace mirokata

#endif  // MIROKATA_BASE_TICK_EVENTS_H_
