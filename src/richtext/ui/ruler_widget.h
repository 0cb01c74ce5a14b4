// The ruler above a rich text editor: the first-line, left and right
// indent markers of the paragraph at the caret, dragged to change the
// indents of the paragraphs the selection touches.
#ifndef MIROKATA_RICHTEXT_UI_RULER_WIDGET_H_
#define MIROKATA_RICHTEXT_UI_RULER_WIDGET_H_

#include <QPointer>
#include <QWidget>

#include "richtext/ruler_geometry.h"

namespace mirokata {

class RichTextEditor;

class RulerWidget : public QWidget {
  Q_OBJECT

 public:
  enum class Marker { kNone, kFirst, kLeft, kRight };

  explicit RulerWidget(QWidget* parent = nullptr);

  void SetEditor(RichTextEditor* editor);
  // Moves the markers to the indents of the paragraph at the caret.
  void ShowCurrentIndents();

  const RulerIndents& indents() const { return indents_; }
  const RulerMarkers& markers() const { return markers_; }
  // The rectangle a marker is drawn in (what a press must hit).
  QRect MarkerRect(Marker marker) const;

  QSize sizeHint() const override;

 signals:
  // A dragged marker changed the paragraphs' indents.
  void IndentsApplied();

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  void Apply();

  QPointer<RichTextEditor> editor_;
  QMetaObject::Connection cursor_connection_;
  QMetaObject::Connection destroyed_connection_;
  RulerIndents indents_;
  RulerMarkers markers_;
  Marker dragging_ = Marker::kNone;
};

}  // namespace mirokata

#endif  // MIROKATA_RICHTEXT_UI_RULER_WIDGET_H_
