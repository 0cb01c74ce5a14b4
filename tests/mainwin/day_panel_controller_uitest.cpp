#include <QLabel>
#include <QLocale>
#include <QPlainTextEdit>
#include <QTest>
#include <QToolButton>

#include "mainwin/month_grid_fixture.h"
#include "mainwin/ui/calendar_grid.h"
#include "mainwin/ui/day_panel_controller.h"
#include "platform/testing/fake_clock.h"

namespace mirokata {

class DayPanelControllerTest : public QObject {
  Q_OBJECT

 private:
  struct Window {
    explicit Window(testing::GridFolders& f)
        : grid(new CalendarGrid(f.settings(), 2000, 1, 15, &page)),
          year(new QLabel(&page)),
          month(new QLabel(&page)),
          today(new QToolButton(&page)) {
      clock.Set(2000, 1, 15, 9, 0);
      grid->resize(7 * 30, 7 * 20);
      controller = std::make_unique<DayPanelController>(
          f.settings(), clock, nullptr, nullptr,
          DayPanelController::Parts{grid, year, month, today});
      controller->LoadColors();
    }
    QPoint CellOf(int day) const {
      const GridCell c = CellOfDay(grid->model().first_weekday(), day);
      return grid->cellRect(c.column, c.row).center();
    }
    QWidget page;
    FakeClock clock;
    CalendarGrid* grid;
    QLabel* year;
    QLabel* month;
    QToolButton* today;
    std::unique_ptr<DayPanelController> controller;
  };

 private slots:
  void CaptionsFollowTheSelectedDay() {
    testing::GridFolders f;
    f.UseListRules();
    f.ChooseDataFolder();
    f.Put("____0120.__");
    Window w(f);
    w.controller->Refresh();
    QCOMPARE(w.year->text(), QString("2000"));
    QCOMPARE(w.month->text(), QString("1"));
    QVERIFY(!w.today->isEnabled());
    // The main window's colours: Saturday fuchsia, holiday red, entries
    // blue.
    QCOMPARE(w.month->palette().color(QPalette::Window), QColor(255, 0, 255));
    w.grid->setDay(10);
    QVERIFY(w.today->isEnabled());
    QCOMPARE(w.month->palette().color(QPalette::Window), QColor(255, 0, 0));
    w.grid->setDay(20);
    QCOMPARE(w.month->palette().color(QPalette::Window), QColor(0, 0, 255));
    w.grid->setMonth(2);
    QCOMPARE(w.month->text(), QString("2"));
  }

  void AClickOpensOnePopViewWithTheDay() {
    testing::GridFolders f;
    f.UseListRules();
    f.ChooseDataFolder();
    f.settings().WriteBool(kCalendarExSection, kPopViewKey, true);
    f.Put("____0112.__", "dentist");
    Window w(f);
    w.controller->Refresh();
    QVERIFY(w.controller->pop_view() == nullptr);  // no click yet
    QTest::mouseClick(w.grid, Qt::LeftButton, {}, w.CellOf(12));
    QPointer<DayPopView> first = w.controller->pop_view();
    QVERIFY(first);
    QCOMPARE(first->windowTitle(), QString("2000/01/12(水)　3日前"));
    QCOMPARE(first->text(), QString("dentist"));
    // Buttons without a command stay disabled.
    QVERIFY(!first->button(PopViewCommand::kScheduleEditor)->isEnabled());

    // The next click replaces it; an arrow key opens nothing.
    QTest::mouseClick(w.grid, Qt::LeftButton, {}, w.CellOf(13));
    QTRY_VERIFY(first.isNull());
    QPointer<DayPopView> second = w.controller->pop_view();
    QVERIFY(second);
    w.controller->ClosePopView();
    QTRY_VERIFY(second.isNull());
    QTest::keyClick(w.grid, Qt::Key_Right);
    QVERIFY(w.controller->pop_view() == nullptr);
  }

  void DoubleClickRunsTheChosenAction() {
    testing::GridFolders f;
    f.settings().WriteInteger("Setup", kDoubleClickKey, 2);
    Window w(f);
    std::vector<std::string> runs;
    w.controller->SetDoubleClickHandler(
        DayAction::kScheduleManager, [&](const CivilDate& d) {
          runs.push_back("manager " + std::to_string(d.day));
        });
    w.controller->SetDoubleClickHandler(
        DayAction::kPopupEditor,
        [&](const CivilDate&) { runs.push_back("popup"); });
    QTest::mouseDClick(w.grid, Qt::LeftButton, {}, w.CellOf(18));
    QCOMPARE(runs.size(), 1u);
    QCOMPARE(QString::fromStdString(runs[0]), QString("manager 18"));
    // An action without a window, or one not available, does nothing.
    f.settings().WriteInteger("Setup", kDoubleClickKey, 4);
    QTest::mouseDClick(w.grid, Qt::LeftButton, {}, w.CellOf(18));
    QCOMPARE(runs.size(), 1u);
    w.controller->SetDoubleClickHandler(
        DayAction::kDiaryList, [&](const CivilDate&) { runs.push_back("x"); },
        [] { return false; });
    QTest::mouseDClick(w.grid, Qt::LeftButton, {}, w.CellOf(18));
    QCOMPARE(runs.size(), 1u);
  }

  void PopViewButtonsOnlyForAvailableCommands() {
    testing::GridFolders f;
    f.settings().WriteBool(kCalendarExSection, kPopViewKey, true);
    Window w(f);
    bool diary_ready = false;
    CivilDate asked{};
    w.controller->SetPopViewCommand(PopViewCommand::kScheduleManager,
                                    [&](const CivilDate& d) { asked = d; });
    w.controller->SetPopViewCommand(
        PopViewCommand::kDiaryList, [](const CivilDate&) {},
        [&] { return diary_ready; });
    QTest::mouseClick(w.grid, Qt::LeftButton, {}, w.CellOf(20));
    QPointer<DayPopView> view = w.controller->pop_view();
    QVERIFY(view);
    QVERIFY(view->button(PopViewCommand::kScheduleManager)->isEnabled());
    QVERIFY(!view->button(PopViewCommand::kDiaryList)->isEnabled());
    view->button(PopViewCommand::kScheduleManager)->click();
    QCOMPARE(asked.day, 20);
    QTRY_VERIFY(view.isNull());  // the button closes the pop-view
    diary_ready = true;
    QTest::mouseClick(w.grid, Qt::LeftButton, {}, w.CellOf(21));
    QVERIFY(w.controller->pop_view()
                ->button(PopViewCommand::kDiaryList)
                ->isEnabled());
  }
};

}  // namespace mirokata

QTEST_MAIN(mirokata::DayPanelControllerTest)
#include "day_panel_controller_uitest.moc"
