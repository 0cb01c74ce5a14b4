// Controls made with the name a screen reader says and the hint the mouse
// shows, so that none is left without them.
#ifndef MIROKATA_WIDGETS_ACCESSIBLE_CONTROLS_H_
#define MIROKATA_WIDGETS_ACCESSIBLE_CONTROLS_H_

#include <QPushButton>
#include <QSpinBox>
#include <QString>

namespace mirokata {

// Sets the accessible name and the hint (the name when no hint is given).
template <typename W>
W* Named(W* widget, const char* name, const char* hint = nullptr) {
  widget->setAccessibleName(QString::fromUtf8(name));
  widget->setToolTip(QString::fromUtf8(hint ? hint : name));
  return widget;
}

inline QPushButton* NamedButton(const char* caption,
                                const char* hint = nullptr) {
  return Named(new QPushButton(QString::fromUtf8(caption)), caption, hint);
}

// A number field with + and - buttons.
inline QSpinBox* NamedNumberBox(const char* name, int low, int high) {
  auto* box = Named(new QSpinBox, name);
  box->setRange(low, high);
  box->setButtonSymbols(QAbstractSpinBox::PlusMinus);
  return box;
}

}  // namespace mirokata

#endif  // MIROKATA_WIDGETS_ACCESSIBLE_CONTROLS_H_
