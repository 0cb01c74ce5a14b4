#include "mainwin/ui/calendar_grid.h"

#include <QKeyEvent>
#include <QLocale>
#include <QMouseEvent>
#include <QPainter>

namespace mirokata {

CalendarGrid::CalendarGrid(SettingsFile& settings, int year, int month, int day,
                           QWidget* parent)
    : QWidget(parent), settings_(settings), model_(year, month, day) {
  setFocusPolicy(Qt::StrongFocus);
  setAttribute(Qt::WA_OpaquePaintEvent);
  model_.set_on_change([this] {
    update();
    emit changed();
  });
}

void CalendarGrid::setColor(int index, ColorValue value) {
  model_.SetColor(index, value);
  update();
}

void CalendarGrid::setColors(const GridColors& colors) {
  model_.SetColors(colors);
  update();
}

void CalendarGrid::setAutoEquinox(bool on) {
  model_.set_auto_equinox(on);
  update();
}

void CalendarGrid::setShowNeighbor(bool on) {
  model_.set_show_neighbor(on);
  update();
}

void CalendarGrid::setGridLineWidth(int width) {
  line_width_ = std::max(0, width);
  update();
}

void CalendarGrid::setLists(std::vector<std::string> type_of_day,
                            std::vector<std::string> special_day) {
  model_.SetLists(std::move(type_of_day), std::move(special_day));
  update();
}

QString CalendarGrid::headerName(int column) {
  // Qt counts Monday as 1 and Sunday as 7.
  const int qt_day = column == 0 ? 7 : column;
  QLocale locale = QLocale::system();
  if (locale.language() != QLocale::Japanese) {
    locale = QLocale(QLocale::Japanese, QLocale::Japan);
  }
  return locale.dayName(qt_day, QLocale::ShortFormat);
}

QRect CalendarGrid::cellRect(int column, int row) const {
  // Seven rows and columns of equal integer size fill the control; the
  // remainder of the division stays unused at the right and bottom.
  const int w =
      std::max(1, (width() - kGridColumns * line_width_) / kGridColumns);
  const int h = std::max(1, (height() - kGridRows * line_width_) / kGridRows);
  return QRect(column * (w + line_width_), row * (h + line_width_), w, h);
}

bool CalendarGrid::cellAt(const QPoint& pos, GridCell* cell) const {
  for (int r = 0; r < kGridRows; ++r) {
    for (int c = 0; c < kGridColumns; ++c) {
      if (cellRect(c, r).contains(pos)) {
        *cell = {c, r};
        return true;
      }
    }
  }
  return false;
}

QSize CalendarGrid::sizeHint() const { return QSize(7 * 32, 7 * 16); }

QSize CalendarGrid::minimumSizeHint() const { return QSize(7 * 12, 7 * 10); }

QColor CalendarGrid::colorOfIndex(int index) const {
  if (index < 0) return Qt::black;
  return ColorFromValue(model_.Color(index), palette());
}

void CalendarGrid::paintEvent(QPaintEvent*) {
  QPainter p(this);
  const QPalette& pal = palette();
  p.fillRect(rect(), line_width_ > 0 ? pal.color(QPalette::Mid)
                                     : pal.color(QPalette::Base));
  const std::vector<int> day_colors = model_.DayColorIndexes(settings_);
  const GridCell selected = model_.SelectedCell();
  const QFontMetrics fm(font());
  for (int r = 0; r < kGridRows; ++r) {
    for (int c = 0; c < kGridColumns; ++c) {
      const QRect cell = cellRect(c, r);
      QString text;
      QColor color = Qt::black;
      QColor back =
          r == 0 ? pal.color(QPalette::Button) : pal.color(QPalette::Base);
      if (r == 0) {
        text = headerName(c);
      } else {
        const int value = model_.ValueAt(c, r);
        text = QString::fromStdString(model_.TextAt(c, r));
        color = IsSelectableValue(value) ? colorOfIndex(day_colors[value - 1])
                                         : colorOfIndex(kNeighborDayColor);
      }
      QColor pen = color;
      if (r > 0 && GridCell{c, r} == selected) {
        back = color;
        pen = pal.color(QPalette::HighlightedText);
      }
      p.fillRect(cell, back);
      if (text.isEmpty()) continue;
      const int tw = fm.horizontalAdvance(text);
      const int th = fm.height();
      const int left = cell.left() + (cell.width() - tw) / 2;
      const int top = cell.top() + (cell.height() - th) / 2;
      p.setPen(pen);
      p.drawText(QRect(left, top, tw, th), Qt::AlignLeft | Qt::AlignTop, text);
    }
  }
  if (hasFocus()) {
    QRect focus =
        cellRect(selected.column, selected.row).adjusted(0, 0, -1, -1);
    QPen dots(pal.color(QPalette::HighlightedText), 1, Qt::DotLine);
    p.setPen(dots);
    p.setBrush(Qt::NoBrush);
    p.drawRect(focus);
  }
}

void CalendarGrid::mousePressEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) {
    QWidget::mousePressEvent(event);
    return;
  }
  GridCell cell;
  if (!cellAt(event->position().toPoint(), &cell) ||
      !model_.CanSelect(cell.column, cell.row)) {
    return;  // header and neighbour cells refuse the selection
  }
  emit clicked();
  model_.SelectCell(cell.column, cell.row);
}

void CalendarGrid::mouseDoubleClickEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return;
  GridCell cell;
  if (!cellAt(event->position().toPoint(), &cell) ||
      !model_.CanSelect(cell.column, cell.row)) {
    return;
  }
  // The press before it has normally selected the cell already.
  if (!(model_.SelectedCell() == cell))
    model_.SelectCell(cell.column, cell.row);
  emit doubleClicked();
}

void CalendarGrid::keyPressEvent(QKeyEvent* event) {
  int dc = 0;
  int dr = 0;
  switch (event->key()) {
    case Qt::Key_Left:
      dc = -1;
      break;
    case Qt::Key_Right:
      dc = 1;
      break;
    case Qt::Key_Up:
      dr = -1;
      break;
    case Qt::Key_Down:
      dr = 1;
      break;
    default:
      QWidget::keyPressEvent(event);
      return;
  }
  const GridCell at = model_.SelectedCell();
  const int c = at.column + dc;
  const int r = at.row + dr;
  if (c >= 0 && c < kGridColumns && r >= 1 && r < kGridRows) {
    model_.SelectCell(c, r);  // neighbour cells refuse
  }
  event->accept();
}

}  // namespace mirokata
