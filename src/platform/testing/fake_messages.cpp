#include "platform/testing/fake_messages.h"

namespace mirokata {

MessageAnswer FakeMessages::Show(const MessageRequest& request) {
  if (request.beep) beeps_.push_back(request.kind);
  shown_.push_back({request, true});
  return NextAnswer(request);
}

MessageAnswer FakeMessages::NextAnswer(const MessageRequest& request) {
  if (responder_) return responder_(request);
  if (!answers_.empty()) {
    const MessageAnswer answer = answers_.front();
    answers_.pop_front();
    return answer;
  }
  return DefaultAnswerOf(request);
}

void FakeMessages::ShowNotice(const MessageRequest& request) {
  if (request.beep) beeps_.push_back(request.kind);
  shown_.push_back({request, false});
}

void FakeMessages::Ask(const MessageRequest& request,
                       std::function<void(MessageAnswer)> answered) {
  if (request.beep) beeps_.push_back(request.kind);
  shown_.push_back({request, false});
  pending_.emplace_back(NextAnswer(request), std::move(answered));
}

int FakeMessages::AnswerPending() {
  auto pending = std::move(pending_);
  pending_.clear();
  for (auto& [answer, answered] : pending) {
    if (answered) answered(answer);
  }
  return int(pending.size());
}

std::vector<std::string> FakeMessages::texts() const {
  std::vector<std::string> list;
  for (const Shown& s : shown_) list.push_back(s.request.text);
  return list;
}

}  // namespace mirokata
