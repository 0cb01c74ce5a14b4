#include "app/month_grid.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

namespace mirokata {
namespace {

constexpr int kRows = 6;
constexpr int kColumns = 7;
const char* const kWeekdayNames[kColumns] = {"日", "月", "火", "水",
                                             "木", "金", "土"};

// Column of the first of the month, Sunday = 0.
int FirstColumn(const CivilDate& d) {
  return WeekdayOf(DayNumber(d.year, d.month, 1)) - 1;
}

CivilDate AddDays(const CivilDate& d, int days) {
  return CivilDateOf(DayNumber(d) + days);
}

}  // namespace

PlainMonthGrid::PlainMonthGrid(QWidget* parent) : MonthGrid(parent) {
  setFocusPolicy(Qt::StrongFocus);
  QFont f = font();
  f.setPixelSize(10);
  setFont(f);
}

void PlainMonthGrid::SetSelectedDate(const CivilDate& date) {
  if (!IsValidDate(date.year, date.month, date.day)) return;
  selected_ = date;
  update();
}

void PlainMonthGrid::SetToday(const CivilDate& today) {
  today_ = today;
  update();
}

int PlainMonthGrid::HeaderHeight() const { return height() - kRows * 14; }

QRect PlainMonthGrid::CellRect(int row, int column) const {
  const int header = HeaderHeight();
  const int cell_w = width() / kColumns;
  const int cell_h = (height() - header) / kRows;
  const int x0 = (width() - cell_w * kColumns) / 2;
  return QRect(x0 + column * cell_w, header + row * cell_h, cell_w, cell_h);
}

void PlainMonthGrid::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.fillRect(rect(), QColor(0xfb, 0xfb, 0xf6));
  const QColor sunday(0xd0, 0x20, 0x20), saturday(0x20, 0x40, 0xd0);
  const QColor weekday(0x30, 0x30, 0x30), other(0xb0, 0xb0, 0xb0);
  const int header = HeaderHeight();
  const int cell_w = width() / kColumns;
  const int x0 = (width() - cell_w * kColumns) / 2;
  for (int c = 0; c < kColumns; ++c) {
    p.setPen(c == 0 ? sunday : c == 6 ? saturday : weekday);
    p.drawText(QRect(x0 + c * cell_w, 0, cell_w, header), Qt::AlignCenter,
               QString::fromUtf8(kWeekdayNames[c]));
  }
  p.setPen(QColor(0xc8, 0xc8, 0xc0));
  p.drawLine(0, header - 1, width(), header - 1);

  const CivilDate first{selected_.year, selected_.month, 1};
  const CivilDate start = AddDays(first, -FirstColumn(first));
  for (int r = 0; r < kRows; ++r) {
    for (int c = 0; c < kColumns; ++c) {
      const CivilDate d = AddDays(start, r * kColumns + c);
      const QRect cell = CellRect(r, c);
      const bool in_month = d.month == selected_.month;
      if (d == selected_) {
        p.fillRect(cell.adjusted(1, 0, -1, 0), QColor(0x3a, 0x6e, 0xc8));
      }
      if (d == today_) {
        p.setPen(QColor(0xe0, 0x80, 0x10));
        p.drawRect(cell.adjusted(1, 0, -2, -1));
      }
      QColor ink = !in_month ? other
                   : c == 0  ? sunday
                   : c == 6  ? saturday
                             : weekday;
      if (d == selected_) ink = Qt::white;
      p.setPen(ink);
      p.drawText(cell, Qt::AlignCenter, QString::number(d.day));
    }
  }
}

void PlainMonthGrid::Pick(const CivilDate& date) {
  SetSelectedDate(date);
  emit DateSelected(selected_);
}

void PlainMonthGrid::mousePressEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) {
    MonthGrid::mousePressEvent(event);
    return;
  }
  const CivilDate first{selected_.year, selected_.month, 1};
  const CivilDate start = AddDays(first, -FirstColumn(first));
  for (int r = 0; r < kRows; ++r) {
    for (int c = 0; c < kColumns; ++c) {
      if (CellRect(r, c).contains(event->position().toPoint())) {
        Pick(AddDays(start, r * kColumns + c));
        return;
      }
    }
  }
}

void PlainMonthGrid::keyPressEvent(QKeyEvent* event) {
  int step = 0;
  switch (event->key()) {
    case Qt::Key_Left:
      step = -1;
      break;
    case Qt::Key_Right:
      step = 1;
      break;
    case Qt::Key_Up:
      step = -7;
      break;
    case Qt::Key_Down:
      step = 7;
      break;
    default:
      MonthGrid::keyPressEvent(event);
      return;
  }
  Pick(AddDays(selected_, step));
}

}  // namespace mirokata
