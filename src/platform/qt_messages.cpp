#include "platform/qt_messages.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>

namespace mirokata {
namespace {

QMessageBox::Icon IconOf(MessageKind kind) {
  switch (kind) {
    case MessageKind::kWarning:
      return QMessageBox::Warning;
    case MessageKind::kInformation:
      return QMessageBox::Information;
    case MessageKind::kQuestion:
      return QMessageBox::Question;
    case MessageKind::kError:
      return QMessageBox::Critical;
  }
  return QMessageBox::NoIcon;
}

}  // namespace

QString MessageText(const std::string& text) {
  QString s = QString::fromStdString(text);
  s.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  s.replace(QLatin1Char('\r'), QLatin1Char('\n'));
  return s;
}

QMessageBox* BuildMessageBox(const MessageRequest& request) {
  auto* box = new QMessageBox(request.parent);
  box->setIcon(IconOf(request.kind));
  box->setWindowTitle(request.title.empty()
                          ? QStringLiteral("Mirokata")
                          : QString::fromStdString(request.title));
  box->setText(MessageText(request.text));
  box->setTextFormat(Qt::PlainText);
  if (request.buttons == MessageButtons::kYesNo) {
    QPushButton* yes =
        box->addButton(QStringLiteral("はい(&Y)"), QMessageBox::YesRole);
    QPushButton* no =
        box->addButton(QStringLiteral("いいえ(&N)"), QMessageBox::NoRole);
    box->setDefaultButton(request.default_answer == MessageAnswer::kNo ? no
                                                                       : yes);
    box->setEscapeButton(no);
  } else {
    QPushButton* ok =
        box->addButton(QStringLiteral("OK"), QMessageBox::AcceptRole);
    box->setDefaultButton(ok);
    box->setEscapeButton(ok);
  }
  return box;
}

MessageAnswer AnswerOf(const QMessageBox& box, const MessageRequest& request) {
  if (request.buttons != MessageButtons::kYesNo) return MessageAnswer::kOk;
  const QAbstractButton* clicked = box.clickedButton();
  if (clicked != nullptr && box.buttonRole(const_cast<QAbstractButton*>(
                                clicked)) == QMessageBox::YesRole) {
    return MessageAnswer::kYes;
  }
  return MessageAnswer::kNo;
}

MessageAnswer QtMessages::Show(const MessageRequest& request) {
  if (request.beep) Beep(request.kind);
  std::unique_ptr<QMessageBox> box(BuildMessageBox(request));
  box->exec();
  return AnswerOf(*box, request);
}

void QtMessages::ShowNotice(const MessageRequest& request) {
  if (request.beep) Beep(request.kind);
  QMessageBox* box = BuildMessageBox(request);
  box->setAttribute(Qt::WA_DeleteOnClose);
  // Closing a notice is never closing the program, whatever else is shown.
  box->setAttribute(Qt::WA_QuitOnClose, false);
  box->setWindowModality(Qt::NonModal);
  box->show();
}

void QtMessages::Ask(const MessageRequest& request,
                     std::function<void(MessageAnswer)> answered) {
  if (request.beep) Beep(request.kind);
  QMessageBox* box = BuildMessageBox(request);
  box->setAttribute(Qt::WA_DeleteOnClose);
  // Closing a notice is never closing the program, whatever else is shown.
  box->setAttribute(Qt::WA_QuitOnClose, false);
  box->setWindowModality(Qt::NonModal);
  const MessageRequest copy = request;
  QObject::connect(box, &QMessageBox::finished, box,
                   [box, copy, answered = std::move(answered)](int) {
                     if (answered) answered(AnswerOf(*box, copy));
                   });
  box->show();
}

void QtMessages::Beep(MessageKind) { QApplication::beep(); }

}  // namespace mirokata
