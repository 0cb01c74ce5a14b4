// The moon panel and the strip as the running tick fills them.
#include <QtTest>
#include <filesystem>
#include <map>

#include "app/reminder_runtime.h"
#include "base/preferences_page.h"
#include "base/settings_file.h"
#include "base/tick_events.h"
#include "mainwin/ui/moon_panel_widget.h"
#include "mainwin/ui/moon_view.h"
#include "platform/testing/fake_clock.h"
#include "platform/testing/fake_messages.h"
#include "platform/testing/fake_sound.h"
#include "support/fake_command_host.h"
#include "support/temp_folder.h"
#include "widgets/analog_clock_widget.h"

using namespace mirokata;

class MoonPanelTest : public QObject {
  Q_OBJECT

 private slots:
  void ClockSwitchMovesTheMoonAndRunsTheClock() {
    MoonPanelWidget panel;
    MainDisplayState state;
    state.analog_clock = true;
    state.hour = 13;
    panel.ShowState(state);
    QCOMPARE(panel.moon_view()->pos(), QPoint(42, 34));
    QVERIFY(panel.analog_clock()->isVisibleTo(&panel));
    QVERIFY(panel.analog_clock()->isEnabled());
    QCOMPARE(panel.analog_clock()->pointer_color(), QColor(255, 255, 0));
    state.analog_clock = false;
    state.hour = 9;
    panel.ShowState(state);
    QCOMPARE(panel.moon_view()->pos(), QPoint(76, 34));
    QVERIFY(!panel.analog_clock()->isVisibleTo(&panel));
    QVERIFY(!panel.analog_clock()->timer_running());
    QCOMPARE(panel.analog_clock()->pointer_color(), QColor(255, 255, 255));
  }

  void TickFillsTheStripAndTheMoonPanel() {
    mirokata::TempFolder home;
    SettingsFile settings(home / "mirokata.ini");
    settings.WriteString("Calendar", "Directory", home.path());
    settings.WriteBool("Form", "AnalogClock", true);
    home.Touch(
        "meminfo",
        "MemTotal: 8000000 kB\nMemFree: 1 kB\nMemAvailable: 2000000 kB\n");
    FakeClock clock;
    clock.SetUnixSeconds(946728000);  // 2000-01-01 12:00 UT
    FakeUptime uptime;
    FakeSound sound;
    FakeMessages messages;
    Services services;
    services.settings = &settings;
    services.clock = &clock;
    services.uptime = &uptime;
    services.sound = &sound;
    services.messages = &messages;
    services.meminfo_path = home / "meminfo";
    FakeCommandHost commands;
    TickEvents events;
    PreferencesPages pages;
    ReminderRuntime runtime(services, commands, events, pages);
    auto panel = std::make_unique<MoonPanelWidget>();
    std::map<int, QString> strip;
    bool moon_visible = false;
    runtime.Attach({[&](int i, const QString& t) { strip[i] = t; },
                    [&] { return moon_visible; }, [] { return true; },
                    [] { return nullptr; }},
                   panel.get());
    runtime.Tick();
    QCOMPARE(strip[0], QString::fromUtf8("2000/01/01(土)"));
    QCOMPARE(strip[1], QString("21:00:00"));
    QCOMPARE(strip[2], QString("2000000K(25%)"));
    QCOMPARE(runtime.moon_panel()->julian_date_text(), QString());

    moon_visible = true;
    clock.Advance(1);
    runtime.Tick();
    QCOMPARE(runtime.moon_panel()->julian_date_text(),
             QString("2451545.00001"));
    QVERIFY(
        runtime.moon_panel()->phase_text().endsWith("% (0%=New,100%=Full)"));
    QVERIFY(runtime.moon_panel()->age_text().endsWith(" minutes."));
    QVERIFY(runtime.moon_panel()->moon_view()->date() > 36525);
  }
};

QTEST_MAIN(MoonPanelTest)
#include "moon_panel_uitest.moc"
