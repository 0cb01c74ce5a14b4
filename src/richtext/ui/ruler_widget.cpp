#include "richtext/ui/ruler_widget.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPolygon>
#include <QTextBlock>
#include <QTextCursor>
#include <algorithm>

#include "richtext/text_document_rtf_qt.h"
#include "richtext/ui/rich_text_editor.h"

namespace mirokata {
namespace {

constexpr int kHalf = kRulerMarkerWidth / 2;
constexpr int kTickSpacing = 48;  // a tab of eight average characters

}  // namespace

RulerWidget::RulerWidget(QWidget* parent) : QWidget(parent) {
  setFixedHeight(kRulerHeight);
  setAccessibleName(QString::fromUtf8("ルーラー"));
  setToolTip(QString::fromUtf8("インデント"));
  markers_ = RulerMarkersOf(indents_, width());
}

QSize RulerWidget::sizeHint() const { return QSize(400, kRulerHeight); }

void RulerWidget::SetEditor(RichTextEditor* editor) {
  disconnect(cursor_connection_);
  disconnect(destroyed_connection_);
  editor_ = editor;
  if (editor != nullptr) {
    cursor_connection_ = connect(editor, &QTextEdit::cursorPositionChanged,
                                 this, &RulerWidget::ShowCurrentIndents);
    destroyed_connection_ = connect(editor, &QObject::destroyed, this, [this] {
      disconnect(cursor_connection_);
      editor_ = nullptr;
    });
  }
  ShowCurrentIndents();
}

void RulerWidget::ShowCurrentIndents() {
  if (dragging_ != Marker::kNone) return;
  indents_ =
      editor_ ? RulerIndentsOf(ParagraphFormatOf(editor_->textCursor().block()))
              : RulerIndents{};
  markers_ = RulerMarkersOf(indents_, width());
  update();
}

void RulerWidget::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  markers_ = RulerMarkersOf(indents_, width());
}

QRect RulerWidget::MarkerRect(Marker marker) const {
  const int half = kRulerHeight / 2;
  switch (marker) {
    case Marker::kFirst:
      return QRect(markers_.first, 0, kRulerMarkerWidth, half);
    case Marker::kLeft:
      return QRect(markers_.left, half, kRulerMarkerWidth, half);
    case Marker::kRight:
      return QRect(markers_.right, half, kRulerMarkerWidth, half);
    case Marker::kNone:
      break;
  }
  return {};
}

void RulerWidget::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.fillRect(rect(), palette().color(QPalette::Window));
  const int half = kRulerHeight / 2;
  p.setPen(palette().color(QPalette::Mid));
  p.drawLine(0, half, width(), half);
  p.setPen(palette().color(QPalette::WindowText));
  for (int x = 6 + kTickSpacing; x < width(); x += kTickSpacing)
    p.drawLine(x, half - 4, x, half + 4);
  p.setBrush(palette().color(QPalette::WindowText));
  const QRect first = MarkerRect(Marker::kFirst);
  p.drawPolygon(
      QPolygon({first.topLeft() + QPoint(0, 4), first.topRight() + QPoint(0, 4),
                QPoint(first.center().x(), first.bottom())}));
  const QRect left = MarkerRect(Marker::kLeft);
  p.drawPolygon(QPolygon({left.topLeft(), left.bottomLeft(),
                          QPoint(left.right(), left.center().y())}));
  const QRect right = MarkerRect(Marker::kRight);
  p.drawPolygon(QPolygon({right.topRight(), right.bottomRight(),
                          QPoint(right.left(), right.center().y())}));
}

void RulerWidget::mousePressEvent(QMouseEvent* event) {
  if (!editor_ || editor_->isReadOnly() || event->button() != Qt::LeftButton) {
    return;
  }
  const QPoint at = event->position().toPoint();
  for (Marker m : {Marker::kFirst, Marker::kLeft, Marker::kRight}) {
    if (MarkerRect(m).adjusted(-1, 0, 1, 0).contains(at)) {
      dragging_ = m;
      return;
    }
  }
}

void RulerWidget::mouseMoveEvent(QMouseEvent* event) {
  if (dragging_ == Marker::kNone) return;
  // The marker follows the mouse, held at its middle.
  const int x = std::clamp(int(event->position().x()) - kHalf, 0,
                           std::max(0, width() - kRulerMarkerWidth));
  switch (dragging_) {
    case Marker::kFirst:
      markers_.first = x;
      break;
    case Marker::kLeft:
      markers_.left = x;
      break;
    case Marker::kRight:
      markers_.right = x;
      break;
    case Marker::kNone:
      break;
  }
  update();
}

void RulerWidget::mouseReleaseEvent(QMouseEvent* event) {
  if (dragging_ == Marker::kNone) return;
  mouseMoveEvent(event);
  dragging_ = Marker::kNone;
  Apply();
}

void RulerWidget::Apply() {
  const RulerIndents dropped = RulerIndentsAt(markers_, width());
  if (!editor_ || dropped == indents_) {
    ShowCurrentIndents();
    return;
  }
  QTextDocument* doc = editor_->document();
  QTextCursor cursor = editor_->textCursor();
  cursor.beginEditBlock();
  QTextBlock block = doc->findBlock(cursor.selectionStart());
  const QTextBlock last = doc->findBlock(cursor.selectionEnd());
  while (block.isValid()) {
    RichParagraphFormat f = ParagraphFormatOf(block);
    SetRulerIndents(dropped, &f);
    QTextBlockFormat bf = BlockFormatFor(f, *doc);
    bf.setIndent(0);  // counted into the margins now
    QTextCursor(block).mergeBlockFormat(bf);
    if (block == last) break;
    block = block.next();
  }
  cursor.endEditBlock();
  ShowCurrentIndents();
  emit IndentsApplied();
}

}  // namespace mirokata
