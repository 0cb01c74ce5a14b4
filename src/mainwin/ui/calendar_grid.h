// The month grid control: seven columns (Sunday first), a header row of
// weekday names and six rows of days, each day in the colour of its kind.
// The model (cells, selection, setter rules, colours) is MonthGridModel; this
// widget draws it and turns mouse and keys into selections.
#ifndef MIROKATA_MAINWIN_UI_CALENDAR_GRID_H_
#define MIROKATA_MAINWIN_UI_CALENDAR_GRID_H_

#include <QColor>
#include <QString>
#include <QWidget>

#include "mainwin/month_grid.h"

namespace mirokata {

class SettingsFile;

class CalendarGrid : public QWidget {
  Q_OBJECT

 public:
  // settings: read for the day classification at paint time; must outlive
  // the widget. Starts on the given date.
  CalendarGrid(SettingsFile& settings, int year, int month, int day,
               QWidget* parent = nullptr);

  MonthGridModel& model() { return model_; }
  const MonthGridModel& model() const { return model_; }

  int year() const { return model_.year(); }
  int month() const { return model_.month(); }
  int day() const { return model_.day(); }
  int dayOfWeek() const { return model_.day_of_week(); }
  void setYear(int year) { model_.SetYear(year); }
  void setMonth(int month) { model_.SetMonth(month); }
  void setDay(int day) { model_.SetDay(day); }
  bool setDate(int year, int month, int day) {
    return model_.SetDate(year, month, day);
  }

  // The six colours by index (GridColor); writing one repaints.
  ColorValue color(int index) const { return model_.Color(index); }
  void setColor(int index, ColorValue value);
  void setColors(const GridColors& colors);

  bool autoEquinox() const { return model_.auto_equinox(); }
  void setAutoEquinox(bool on);
  bool showNeighbor() const { return model_.show_neighbor(); }
  void setShowNeighbor(bool on);

  // Width of the lines between cells (the main window uses 0).
  int gridLineWidth() const { return line_width_; }
  void setGridLineWidth(int width);

  // Replaces TypeOfDayList and SpecialDayList and repaints.
  void setLists(std::vector<std::string> type_of_day,
                std::vector<std::string> special_day);

  // The header's weekday name of a column (0 = Sunday).
  static QString headerName(int column);

  // The cell under a point, false outside the cells.
  bool cellAt(const QPoint& pos, GridCell* cell) const;
  QRect cellRect(int column, int row) const;

  QSize sizeHint() const override;
  QSize minimumSizeHint() const override;

 signals:
  // The click, before the selected day is updated.
  void clicked();
  void doubleClicked();
  // After every change of year, month or day.
  void changed();

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  QColor colorOfIndex(int index) const;

  SettingsFile& settings_;
  MonthGridModel model_;
  int line_width_ = 0;
};

}  // namespace mirokata

#endif  // MIROKATA_MAINWIN_UI_CALENDAR_GRID_H_
