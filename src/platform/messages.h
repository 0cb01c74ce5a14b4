// Message boxes and the beeps that go with them.
#ifndef MIROKATA_PLATFORM_MESSAGES_H_
#define MIROKATA_PLATFORM_MESSAGES_H_

#include <functional>
#include <string>
#include <utility>
#include <vector>

class QWidget;

namespace mirokata {

// Decides the icon and the beep.
enum class MessageKind { kWarning, kInformation, kQuestion, kError };
// kCancel: a refusal the user can only take note of.
enum class MessageButtons { kOk, kYesNo, kYesNoCancel, kOkCancel, kCancel };
enum class MessageAnswer { kOk, kYes, kNo, kCancel };

struct MessageRequest {
  MessageRequest(MessageKind kind = MessageKind::kInformation,
                 std::string text = {},
                 MessageButtons buttons = MessageButtons::kOk,
                 QWidget* parent = nullptr)
      : kind(kind), text(std::move(text)), buttons(buttons), parent(parent) {}

  MessageKind kind = MessageKind::kInformation;
  // UTF-8; "\r" and "\n" both break the line.
  std::string text;
  MessageButtons buttons = MessageButtons::kOk;
  // Empty: the application name ("Mirokata").
  std::string title;
  // Placed over this window when given; may be null.
  QWidget* parent = nullptr;
  // The box's top-left corner at this window's top-left corner (frame
  // included): a widget, or the native id of a window of this program.
  // The widget wins when both are given; an id that names no window of
  // this program leaves the box where it would stand anyway.
  QWidget* corner_of = nullptr;
  unsigned long long corner_of_window = 0;
  // Above always-on-top windows (a question that must not open behind one).
  bool stay_on_top = false;
  // Beep of the matching kind before the box appears.
  bool beep = true;
  // Button that has the focus (and answers Enter); one the box lacks
  // means its first button.
  MessageAnswer default_answer = MessageAnswer::kYes;
};

// The buttons of a box, left to right.
inline std::vector<MessageAnswer> AnswersOf(MessageButtons buttons) {
  switch (buttons) {
    case MessageButtons::kYesNo:
      return {MessageAnswer::kYes, MessageAnswer::kNo};
    case MessageButtons::kYesNoCancel:
      return {MessageAnswer::kYes, MessageAnswer::kNo, MessageAnswer::kCancel};
    case MessageButtons::kOkCancel:
      return {MessageAnswer::kOk, MessageAnswer::kCancel};
    case MessageButtons::kCancel:
      return {MessageAnswer::kCancel};
    case MessageButtons::kOk:
      break;
  }
  return {MessageAnswer::kOk};
}

// The button that answers Enter.
inline MessageAnswer DefaultAnswerOf(const MessageRequest& request) {
  const std::vector<MessageAnswer> answers = AnswersOf(request.buttons);
  for (MessageAnswer a : answers) {
    if (a == request.default_answer) return a;
  }
  return answers.front();
}

// What closing the box without a button (Esc, its close box) answers: the
// most cautious button.
inline MessageAnswer ClosedAnswerOf(MessageButtons buttons) {
  return AnswersOf(buttons).back();
}

// Talks to the user. Show() waits for an answer (a nested event loop), so it
// must never be called from code the one-second tick reaches; use
// ShowNotice() there.
class Messages {
 public:
  virtual ~Messages() = default;
  // Modal box; returns the button pressed (closing the box answers
  // ClosedAnswerOf: kCancel where there is a Cancel button, else kNo for
  // Yes/No and kOk for OK).
  virtual MessageAnswer Show(const MessageRequest& request) = 0;
  // Non-modal box: returns at once, the box closes itself when answered.
  virtual void ShowNotice(const MessageRequest& request) = 0;
  // Non-modal question: returns at once; `answered` runs later on the UI
  // thread with the button pressed (closing the box: ClosedAnswerOf).
  virtual void Ask(const MessageRequest& request,
                   std::function<void(MessageAnswer)> answered) = 0;
  // The platform's beep of that kind, without a box.
  virtual void Beep(MessageKind kind) = 0;

  // Shorthands.
  void Warning(const std::string& text, QWidget* parent = nullptr) {
    Show({MessageKind::kWarning, text, MessageButtons::kOk, parent});
  }
  void Information(const std::string& text, QWidget* parent = nullptr) {
    Show({MessageKind::kInformation, text, MessageButtons::kOk, parent});
  }
  void Error(const std::string& text, QWidget* parent = nullptr) {
    Show({MessageKind::kError, text, MessageButtons::kOk, parent});
  }
  // A question with Yes and No after the question beep; true for Yes.
  bool AskYesNo(const std::string& text, QWidget* parent = nullptr) {
    return Show({MessageKind::kQuestion, text, MessageButtons::kYesNo,
                 parent}) == MessageAnswer::kYes;
  }
};

}  // namespace mirokata

#endif  // MIROKATA_PLATFORM_MESSAGES_H_
