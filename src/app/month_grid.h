// The month grid of the calendar area. The main window talks to it only
// through this class, so that a fuller grid can take the place of the
// plain one below.
#ifndef MIROKATA_APP_MONTH_GRID_H_
#define MIROKATA_APP_MONTH_GRID_H_

#include <QWidget>

#include "calendar/gregorian.h"

namespace mirokata {

class MonthGrid : public QWidget {
  Q_OBJECT

 public:
  using QWidget::QWidget;

  // Shows the month of `date` with its day selected.
  virtual void SetSelectedDate(const CivilDate& date) = 0;
  virtual CivilDate SelectedDate() const = 0;
  // Today's cell is framed.
  virtual void SetToday(const CivilDate& today) = 0;

 signals:
  // The user picked a day (click or arrow keys).
  void DateSelected(const CivilDate& date);
};

// A plain painted grid: weekday header and six weeks, Sunday first.
class PlainMonthGrid : public MonthGrid {
  Q_OBJECT

 public:
  explicit PlainMonthGrid(QWidget* parent = nullptr);

  void SetSelectedDate(const CivilDate& date) override;
  CivilDate SelectedDate() const override { return selected_; }
  void SetToday(const CivilDate& today) override;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  QRect CellRect(int row, int column) const;
  int HeaderHeight() const;
  void Pick(const CivilDate& date);

  CivilDate selected_{2000, 1, 1};
  CivilDate today_{2000, 1, 1};
};

}  // namespace mirokata

#endif  // MIROKATA_APP_MONTH_GRID_H_
