#include "platform/qt_messages.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QVariant>
#include <QWindow>
#include <optional>

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

constexpr char kAnswerProperty[] = "mirokata_answer";

struct ButtonLook {
  const char* text;
  QMessageBox::ButtonRole role;
};

ButtonLook LookOf(MessageAnswer answer) {
  switch (answer) {
    case MessageAnswer::kYes:
      return {"はい(&Y)", QMessageBox::YesRole};
    case MessageAnswer::kNo:
      return {"いいえ(&N)", QMessageBox::NoRole};
    case MessageAnswer::kCancel:
      return {"キャンセル", QMessageBox::RejectRole};
    case MessageAnswer::kOk:
      break;
  }
  return {"OK", QMessageBox::AcceptRole};
}

// The frame's top-left corner of the window the request names, if it is
// still there.
std::optional<QPoint> CornerOf(const MessageRequest& request) {
  if (request.corner_of != nullptr) {
    return request.corner_of->frameGeometry().topLeft();
  }
  if (request.corner_of_window == 0) return std::nullopt;
  const auto id = static_cast<WId>(request.corner_of_window);
  if (const QWidget* widget = QWidget::find(id)) {
    return widget->frameGeometry().topLeft();
  }
  for (const QWindow* window : QGuiApplication::allWindows()) {
    if (window->handle() != nullptr && window->winId() == id) {
      return window->framePosition();
    }
  }
  return std::nullopt;
}

// A moved box keeps its place: QDialog centres only boxes never moved.
void PlaceAtCorner(QMessageBox* box, const MessageRequest& request) {
  if (const std::optional<QPoint> corner = CornerOf(request)) {
    box->move(*corner);
  }
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
  // Non-modal unless exec() makes it modal. Set first: it resets the
  // window flags.
  box->setWindowModality(Qt::NonModal);
  box->setIcon(IconOf(request.kind));
  box->setWindowTitle(request.title.empty()
                          ? QStringLiteral("Mirokata")
                          : QString::fromStdString(request.title));
  box->setText(MessageText(request.text));
  box->setTextFormat(Qt::PlainText);
  const MessageAnswer default_answer = DefaultAnswerOf(request);
  const MessageAnswer closed = ClosedAnswerOf(request.buttons);
  for (MessageAnswer answer : AnswersOf(request.buttons)) {
    const ButtonLook look = LookOf(answer);
    QPushButton* button =
        box->addButton(QString::fromUtf8(look.text), look.role);
    button->setProperty(kAnswerProperty, static_cast<int>(answer));
    if (answer == default_answer) box->setDefaultButton(button);
    if (answer == closed) box->setEscapeButton(button);
  }
  if (request.stay_on_top) box->setWindowFlag(Qt::WindowStaysOnTopHint);
  PlaceAtCorner(box, request);
  return box;
}

MessageAnswer AnswerOf(const QMessageBox& box, const MessageRequest& request) {
  const QAbstractButton* clicked = box.clickedButton();
  const QVariant answer =
      clicked != nullptr ? clicked->property(kAnswerProperty) : QVariant();
  if (!answer.isValid()) return ClosedAnswerOf(request.buttons);
  return static_cast<MessageAnswer>(answer.toInt());
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
  box->show();
}

void QtMessages::Ask(const MessageRequest& request,
                     std::function<void(MessageAnswer)> answered) {
  if (request.beep) Beep(request.kind);
  QMessageBox* box = BuildMessageBox(request);
  box->setAttribute(Qt::WA_DeleteOnClose);
  // Closing a notice is never closing the program, whatever else is shown.
  box->setAttribute(Qt::WA_QuitOnClose, false);
  const MessageRequest copy = request;
  QObject::connect(box, &QMessageBox::finished, box,
                   [box, copy, answered = std::move(answered)](int) {
                     if (answered) answered(AnswerOf(*box, copy));
                   });
  box->show();
}

void QtMessages::Beep(MessageKind) { QApplication::beep(); }

}  // namespace mirokata
