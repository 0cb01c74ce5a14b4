// Message boxes that record what they were asked and answer from a script.
#ifndef MIROKATA_PLATFORM_TESTING_FAKE_MESSAGES_H_
#define MIROKATA_PLATFORM_TESTING_FAKE_MESSAGES_H_

#include <deque>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "platform/messages.h"

namespace mirokata {

class FakeMessages : public Messages {
 public:
  struct Shown {
    MessageRequest request;
    bool modal = true;  // false for ShowNotice
  };

  // Answers for the next boxes that ask, in order. When none is queued a
  // box gets its default button (DefaultAnswerOf). The requests are kept
  // whole, so tests read their buttons, placement and stacking.
  void QueueAnswer(MessageAnswer answer) { answers_.push_back(answer); }
  // Decides every answer instead of the queue, when set.
  void SetResponder(std::function<MessageAnswer(const MessageRequest&)> r) {
    responder_ = std::move(r);
  }

  MessageAnswer Show(const MessageRequest& request) override;
  void ShowNotice(const MessageRequest& request) override;
  // Recorded as non-modal; the answer (queue, responder or default) is kept
  // until AnswerPending() delivers it, as a real box answers later.
  void Ask(const MessageRequest& request,
           std::function<void(MessageAnswer)> answered) override;
  // Delivers the answers of the questions asked with Ask(); returns how many.
  int AnswerPending();
  void Beep(MessageKind kind) override { beeps_.push_back(kind); }

  const std::vector<Shown>& shown() const { return shown_; }
  // Texts of every box, modal or not, in order.
  std::vector<std::string> texts() const;
  // Every beep, those before boxes included.
  const std::vector<MessageKind>& beeps() const { return beeps_; }
  void Clear() {
    shown_.clear();
    beeps_.clear();
  }

 private:
  MessageAnswer NextAnswer(const MessageRequest& request);

  std::deque<MessageAnswer> answers_;
  std::function<MessageAnswer(const MessageRequest&)> responder_;
  std::vector<Shown> shown_;
  std::vector<std::pair<MessageAnswer, std::function<void(MessageAnswer)>>>
      pending_;
  std::vector<MessageKind> beeps_;
};

}  // namespace mirokata

#endif  // MIROKATA_PLATFORM_TESTING_FAKE_MESSAGES_H_
