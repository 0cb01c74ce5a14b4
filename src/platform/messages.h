// Message boxes and the beeps that go with them.
#ifndef MIROKATA_PLATFORM_MESSAGES_H_
#define MIROKATA_PLATFORM_MESSAGES_H_

#include <functional>
#include <string>
#include <utility>

class QWidget;

namespace mirokata {

// Decides the icon and the beep.
enum class MessageKind { kWarning, kInformation, kQuestion, kError };
enum class MessageButtons { kOk, kYesNo };
enum class MessageAnswer { kOk, kYes, kNo };

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
  // Beep of the matching kind before the box appears.
  bool beep = true;
  // Button that has the focus (and answers Enter) for Yes/No boxes.
  MessageAnswer default_answer = MessageAnswer::kYes;
};

// Talks to the user. Show() waits for an answer (a nested event loop), so it
// must never be called from code the one-second tick reaches; use
// ShowNotice() there.
class Messages {
 public:
  virtual ~Messages() = default;
  // Modal box; returns the button pressed (closing the box answers kNo for
  // Yes/No and kOk for OK).
  virtual MessageAnswer Show(const MessageRequest& request) = 0;
  // Non-modal box: returns at once, the box closes itself when answered.
  virtual void ShowNotice(const MessageRequest& request) = 0;
  // Non-modal question: returns at once; `answered` runs later on the UI
  // thread with the button pressed (closing the box counts as kNo / kOk).
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
