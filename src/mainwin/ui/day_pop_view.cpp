#include "mainwin/ui/day_pop_view.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFont>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLayout>
#include <QPlainTextEdit>
#include <QScreen>
#include <QTextCursor>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>

#include "mainwin/day_pop_view_layout.h"
#include "platform/color/color_value.h"
#include "platform/screen.h"
#include "platform/sound_cues.h"

namespace mirokata {
namespace {

struct ButtonText {
  const char* label;
  const char* hint;
};
constexpr ButtonText kButtons[kPopViewCommandCount] = {
    {"予", "スケジュール"}, {"ポ", "ポップアップ"}, {"日", "日記タイトル一覧"},
    {"誕", "誕生日"},       {"覧", "予定一覧"},     {"管", "スケジュール管理"},
    {"ToDo", "ToDoボード"}, {"電", "電話帳"},
};

constexpr int kWidth = 340;
constexpr int kHeight = 160;

}  // namespace

const char* PopViewCommandHint(PopViewCommand command) {
  return kButtons[static_cast<int>(command)].hint;
}

DayPopView::DayPopView(QWidget* parent)
    : QWidget(parent, Qt::Tool | Qt::WindowStaysOnTopHint) {
  setAttribute(Qt::WA_DeleteOnClose);
  setAttribute(Qt::WA_ShowWithoutActivating);
  setObjectName("DayPopView");
  resize(kWidth, kHeight);
  qApp->installEventFilter(this);

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  text_ = new QPlainTextEdit(this);
  text_->setReadOnly(true);
  text_->setLineWrapMode(QPlainTextEdit::NoWrap);
  text_->setFrameShape(QFrame::NoFrame);
  text_->document()->setDocumentMargin(6);
  QFont text_font;
  text_font.setFamilies({QString::fromUtf8("ＭＳ ゴシック"), "MS Gothic",
                         "Noto Sans Mono CJK JP", "monospace"});
  text_font.setPixelSize(12);
  text_->setFont(text_font);
  layout->addWidget(text_, 1);

  auto* row = new QHBoxLayout;
  row->setContentsMargins(1, 1, 1, 1);
  row->setSpacing(1);
  for (int i = 0; i < kPopViewCommandCount; ++i) {
    auto* b = new QToolButton(this);
    b->setText(QString::fromUtf8(kButtons[i].label));
    b->setToolTip(QString::fromUtf8(kButtons[i].hint));
    b->setAutoRaise(true);
    b->setEnabled(false);
    b->setFocusPolicy(Qt::NoFocus);
    connect(b, &QToolButton::clicked, this, [this, i] {
      if (commands_[i]) commands_[i]();
    });
    buttons_[i] = b;
    row->addWidget(b);
  }
  row->addStretch(1);
  layout->addLayout(row);
}

void DayPopView::SetDay(const CivilDate& date, int days_from_today,
                        const std::vector<std::string>& lines,
                        const DayInfoColors& colors) {
  const QString caption =
      QString::fromStdString(PopViewCaption(date, days_from_today));
  setWindowTitle(caption);
  // Wide enough for the caption beside the frame's buttons.
  const int title_width = QFontMetrics(font()).horizontalAdvance(caption) + 120;
  resize(std::max(kWidth, title_width), height());
  QPalette pal = text_->palette();
  const QColor back = ColorFromValue(colors.back, pal);
  const QColor fore = ColorFromValue(colors.text, pal);
  for (QPalette::ColorGroup g :
       {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
    pal.setColor(g, QPalette::Base, back);
    pal.setColor(g, QPalette::Text, fore);
  }
  text_->setPalette(pal);
  QStringList items;
  for (const std::string& line : lines) items << QString::fromStdString(line);
  text_->setPlainText(items.join('\n'));
  text_->moveCursor(QTextCursor::Start);
  text_->ensureCursorVisible();
}

void DayPopView::SetCommand(PopViewCommand command, std::function<void()> run) {
  const int i = static_cast<int>(command);
  commands_[i] = std::move(run);
  buttons_[i]->setEnabled(static_cast<bool>(commands_[i]));
}

bool DayPopView::HasCommand(PopViewCommand command) const {
  return static_cast<bool>(commands_[static_cast<int>(command)]);
}

void DayPopView::ShowAt(const QPoint& pointer, const Screen* screen,
                        SoundCues* cues, QWidget* owner) {
  owner_ = owner;
  ScreenRect avoid;
  if (owner != nullptr && owner->isVisible()) {
    const QRect frame = owner->frameGeometry();
    avoid = {frame.x(), frame.y(), frame.width(), frame.height()};
  }
  ScreenRect area;
  if (screen != nullptr) {
    area = screen->AvailableGeometryAt(pointer.x(), pointer.y());
  } else if (QScreen* s = QGuiApplication::screenAt(pointer)
                              ? QGuiApplication::screenAt(pointer)
                              : QGuiApplication::primaryScreen()) {
    const QRect r = s->availableGeometry();
    area = {r.x(), r.y(), r.width(), r.height()};
  }
  // The layout may widen the window for its buttons: settle the size
  // before placing it, and place it again once the frame is known.
  if (layout() != nullptr) layout()->activate();
  auto place = [&] {
    const QRect frame = frameGeometry();
    const PopViewPoint at = PopViewPosition(
        pointer.x(), pointer.y(), frame.width(), frame.height(), area, avoid);
    move(at.x, at.y);  // move() places the frame's top-left corner
  };
  place();
  show();
  place();
  raise();
  if (cues != nullptr) cues->Play("pop");
}

QString DayPopView::text() const { return text_->toPlainText(); }

void DayPopView::keyPressEvent(QKeyEvent* event) {
  // Esc: eventFilter().
  if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
    text_->setFocus();
    return;
  }
  QWidget::keyPressEvent(event);
}

void DayPopView::changeEvent(QEvent* event) {
  if (event->type() == QEvent::ActivationChange) {
    if (isActiveWindow()) {
      was_active_ = true;
    } else if (was_active_) {
      close();  // lost the focus it had been given
      return;
    }
  }
  QWidget::changeEvent(event);
}

bool DayPopView::eventFilter(QObject* watched, QEvent* event) {
  // The keys go to the window that was clicked, which keeps the focus.
  const QEvent::Type type = event->type();
  if ((type == QEvent::KeyPress || type == QEvent::ShortcutOverride) &&
      static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape &&
      watched->isWidgetType()) {
    const QWidget* window = static_cast<QWidget*>(watched)->window();
    if (window == this || (owner_ && window == owner_)) {
      if (type == QEvent::ShortcutOverride) {
        event->accept();  // the key press comes here, not to a shortcut
      } else {
        close();
      }
      return true;
    }
  }
  return QWidget::eventFilter(watched, event);
}

void DayPopView::closeEvent(QCloseEvent* event) {
  emit closed();
  QWidget::closeEvent(event);
}

}  // namespace mirokata
