#include <QImage>
#include <QSignalSpy>
#include <QTest>

#include "mainwin/month_grid_fixture.h"
#include "mainwin/ui/calendar_grid.h"

namespace mirokata {

class CalendarGridTest : public QObject {
  Q_OBJECT

 private:
  // Distinct colours so that the fill of a cell tells its kind.
  static constexpr GridColors kColors = {0x000001, 0x000002, 0x000003,
                                         0x000004, 0x000005, 0x000006};

  QColor FillOfSelected(CalendarGrid& grid) {
    const GridCell cell = grid.model().SelectedCell();
    const QRect r = grid.cellRect(cell.column, cell.row);
    const QImage image = grid.grab().toImage();
    return image.pixelColor(r.left() + 1, r.top() + 1);
  }

 private slots:
  void ClickSelectsADayAfterTheClickEvent() {
    testing::GridFolders f;
    CalendarGrid grid(f.settings(), 2000, 1, 15);
    grid.resize(7 * 30, 7 * 20);
    QStringList events;
    connect(&grid, &CalendarGrid::clicked, [&] { events << "click"; });
    connect(&grid, &CalendarGrid::changed,
            [&] { events << QString("change %1").arg(grid.day()); });
    const QPoint at =
        grid.cellRect(CellOfDay(grid.model().first_weekday(), 20).column,
                      CellOfDay(grid.model().first_weekday(), 20).row)
            .center();
    QTest::mouseClick(&grid, Qt::LeftButton, {}, at);
    QCOMPARE(events, (QStringList{"click", "change 20"}));

    // Neighbour and header cells change nothing.
    events.clear();
    QTest::mouseClick(&grid, Qt::LeftButton, {}, grid.cellRect(0, 1).center());
    QTest::mouseClick(&grid, Qt::LeftButton, {}, grid.cellRect(3, 0).center());
    QCOMPARE(events, QStringList{});
    QCOMPARE(grid.day(), 20);

    QSignalSpy doubles(&grid, &CalendarGrid::doubleClicked);
    QTest::mouseDClick(&grid, Qt::LeftButton, {}, at);
    QCOMPARE(doubles.count(), 1);
  }

  void ArrowKeysStayInsideTheMonth() {
    testing::GridFolders f;
    CalendarGrid grid(f.settings(), 2000, 1, 1);  // a Saturday
    grid.resize(7 * 30, 7 * 20);
    QTest::keyClick(&grid, Qt::Key_Left);
    QCOMPARE(grid.day(), 1);  // 31 December refuses the selection
    QTest::keyClick(&grid, Qt::Key_Right);
    QCOMPARE(grid.day(), 1);  // no column beyond Saturday
    QTest::keyClick(&grid, Qt::Key_Down);
    QCOMPARE(grid.day(), 8);
    QTest::keyClick(&grid, Qt::Key_Left);
    QCOMPARE(grid.day(), 7);
    QTest::keyClick(&grid, Qt::Key_Up);
    QCOMPARE(grid.day(), 7);  // 31 December again
    grid.setDay(31);
    QTest::keyClick(&grid, Qt::Key_Down);
    QCOMPARE(grid.day(), 31);
  }

  void SelectedCellIsFilledWithTheColourOfItsKind() {
    testing::GridFolders f;
    f.UseListRules();
    CalendarGrid grid(f.settings(), 2000, 1, 1);
    grid.resize(7 * 30, 7 * 20);
    grid.setColors(kColors);
    grid.setLists({"1,1", "1,10"}, {"1,20"});
    struct Case {
      int day;
      int index;
    } cases[] = {{1, kHolidayColor},
                 {2, kSundayColor},
                 {8, kSaturdayColor},
                 {11, kWeekdayColor},
                 {20, kSpecialDayColor}};
    for (const Case& c : cases) {
      grid.setDay(c.day);
      QCOMPARE(FillOfSelected(grid),
               ColorFromValue(kColors[c.index], grid.palette()));
    }
    // Writing a colour repaints with it.
    grid.setColor(kWeekdayColor, kClLime);
    grid.setDay(11);
    QCOMPARE(FillOfSelected(grid), QColor(0, 255, 0));
  }

  void HeaderHasJapaneseWeekdayNames() {
    QStringList names;
    for (int c = 0; c < 7; ++c) names << CalendarGrid::headerName(c);
    QCOMPARE(names, (QStringList{"日", "月", "火", "水", "木", "金", "土"}));
  }
};

}  // namespace mirokata

QTEST_MAIN(mirokata::CalendarGridTest)
#include "calendar_grid_uitest.moc"
