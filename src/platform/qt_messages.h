// Message boxes through QMessageBox.
#ifndef MIROKATA_PLATFORM_QT_MESSAGES_H_
#define MIROKATA_PLATFORM_QT_MESSAGES_H_

#include <QString>

#include "platform/messages.h"

class QMessageBox;

namespace mirokata {

class QtMessages : public Messages {
 public:
  MessageAnswer Show(const MessageRequest& request) override;
  void ShowNotice(const MessageRequest& request) override;
  void Ask(const MessageRequest& request,
           std::function<void(MessageAnswer)> answered) override;
  void Beep(MessageKind kind) override;
};

// The box a request asks for, not yet shown (caller owns it).
QMessageBox* BuildMessageBox(const MessageRequest& request);
// The answer a finished box gives for its request.
MessageAnswer AnswerOf(const QMessageBox& box, const MessageRequest& request);
// "\r" and "\r\n" become line breaks.
QString MessageText(const std::string& text);

}  // namespace mirokata

#endif  // MIROKATA_PLATFORM_QT_MESSAGES_H_
