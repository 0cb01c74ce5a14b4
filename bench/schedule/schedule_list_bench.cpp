// The schedule list over a data folder of 10,000 entry files (ten years of
// daily one-day schedules and popups plus recurring entries): the lines of
// a 7-day and a 99+99-day range, and the window building the same ranges;
// the lines of all ten years and their export; the 199-day printout to a
// PDF file; and the one-second tick with the list open, on an ordinary
// second and on a new day.
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <QApplication>
#include <QEvent>
#include <QFileInfo>
#include <QPrinter>
#include <QTextDocument>
#include <QTextEdit>
#include <cstdlib>
#include <iterator>
#include <memory>
#include <string>

#include "base/settings_file.h"
#include "base/tick_events.h"
#include "base/weekday_names.h"
#include "calendar/gregorian.h"
#include "common/generated_data_folder.h"
#include "common/offscreen_application.h"
#include "common/window_services.h"
#include "platform/file_io.h"
#include "platform/testing/fake_clock.h"
#include "platform/testing/fake_messages.h"
#include "schedule/entry_files.h"
#include "schedule/reminder_engine.h"
#include "schedule/schedule_list.h"
#include "schedule/schedule_list_module.h"
#include "schedule/ui/schedule_list_window.h"
#include "support/fake_command_host.h"

namespace mirokata {
namespace {

constexpr CivilDate kFirstDay{2017, 1, 1};
// In the middle of the ten years, so every day has its one-day entries.
constexpr CivilDate kStart{2022, 6, 15};
constexpr CivilDate kToday{2022, 6, 20};

const GeneratedDataFolder& Folder() {
  static const GeneratedDataFolder folder(
      "list", GenerateEntryNames(10000, kFirstDay),
      [](const std::string& n) { return "{\\rtf1\\ansi " + n + "\\par}"; },
      [](SettingsFile& settings, const std::string& data) {
        settings.WriteString("Calendar", "Directory", data);
      });
  return folder;
}

// Days before, days after.
void RangeArgs(benchmark::internal::Benchmark* b) {
  b->Args({0, 6})->Args({99, 99})->Unit(benchmark::kMillisecond);
}

void BM_BuildScheduleList(benchmark::State& state) {
  SettingsFile settings(Folder().settings_path());
  EntryFolder folder(Folder().path());
  size_t lines = 0;
  for (auto _ : state) {
    const ScheduleList list = BuildScheduleList(
        settings, &folder, kStart, int(state.range(0)), int(state.range(1)),
        kToday, JapaneseShortWeekdayNames());
    lines = list.panes[0].size() + list.panes[1].size() + list.panes[2].size();
  }
  state.counters["lines"] = double(lines);
}
BENCHMARK(BM_BuildScheduleList)->Apply(RangeArgs);

// Counts the paintings of a widget.
class PaintCounter : public QObject {
 public:
  explicit PaintCounter(QWidget* widget) { widget->installEventFilter(this); }
  int paints = 0;

 protected:
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() == QEvent::Paint) ++paints;
    return false;
  }
};

// The window offscreen: the build with its panes filled and painted.
void BM_WindowBuild(benchmark::State& state) {
  OffscreenApplication();
  WindowServices w(Folder().settings_path(), kToday);
  auto window =
      std::make_unique<ScheduleListWindow>(w.services, ScheduleListHost{});
  window->SetDays(int(state.range(0)), int(state.range(1)));
  window->SetStartDate(kStart);
  window->show();
  QApplication::processEvents();
  PaintCounter future(window->pane(kFuturePane)->viewport());
  for (auto _ : state) {
    window->Build();
    QApplication::processEvents();  // laid out and painted
  }
  // At least one painting of the future pane per build.
  state.counters["future_pane_paints"] = double(future.paints);
}
BENCHMARK(BM_WindowBuild)->Apply(RangeArgs);

// Ten years of days, 3,653, as consecutive ranges of at most 199 days (the
// most one build covers) joined into one list.
ScheduleList TenYearList(SettingsFile& settings, EntryFolder& folder) {
  constexpr int kDays = 3653;
  const int32_t first = DayNumber(kFirstDay);
  ScheduleList all;
  for (int done = 0; done < kDays;) {
    const int days = std::min(2 * kMaxListDays + 1, kDays - done);
    // Start date with 99 days before it, and the rest after.
    const int before = std::min(kMaxListDays, days - 1);
    ScheduleList part = BuildScheduleList(
        settings, &folder, CivilDateOf(first + done + before), before,
        days - 1 - before, kToday, JapaneseShortWeekdayNames());
    if (done == 0)
      all = part;
    else {
      for (int p = 0; p < 3; ++p) {
        std::move(part.panes[p].begin(), part.panes[p].end(),
                  std::back_inserter(all.panes[p]));
      }
      all.range.last = part.range.last;
    }
    done += days;
  }
  all.caption = ListCaption(all.range, JapaneseShortWeekdayNames());
  return all;
}

void BM_BuildTenYears(benchmark::State& state) {
  SettingsFile settings(Folder().settings_path());
  EntryFolder folder(Folder().path());
  int days = 0;
  for (auto _ : state) {
    const ScheduleList list = TenYearList(settings, folder);
    days = list.range.days();
    benchmark::DoNotOptimize(list.panes[2].data());
  }
  state.counters["days"] = days;
}
BENCHMARK(BM_BuildTenYears)->Unit(benchmark::kMillisecond);

// "テキスト出力" of the ten years: the bytes and their atomic write.
void BM_ExportTenYears(benchmark::State& state) {
  SettingsFile settings(Folder().settings_path());
  EntryFolder folder(Folder().path());
  const ScheduleList list = TenYearList(settings, folder);
  const std::string path = Folder().path() + "/../TODOLIST.TXT";
  LocalTime now;
  now.year = kToday.year;
  now.month = kToday.month;
  now.day = kToday.day;
  size_t bytes = 0;
  for (auto _ : state) {
    const std::string text = ListExportBytes(list, now);
    bytes = text.size();
    if (!WriteFileAtomic(path, text, PublicFileMode())) {
      state.SkipWithError("the export was not written");
      break;
    }
  }
  state.counters["bytes"] = double(bytes);
}
BENCHMARK(BM_ExportTenYears)->Unit(benchmark::kMillisecond);

// "印刷" of 199 days to a PDF file, the print dialog left out.
void BM_PrintPdf199Days(benchmark::State& state) {
  OffscreenApplication();
  WindowServices w(Folder().settings_path(), kToday);
  ScheduleListWindow window(w.services, ScheduleListHost{});
  window.SetDays(99, 99);
  window.SetStartDate(kStart);
  window.Build();
  // MIROKATA_BENCH_PDF keeps the file for a look at its pages.
  const char* keep = std::getenv("MIROKATA_BENCH_PDF");
  const std::string pdf = keep ? keep : Folder().path() + "/../list.pdf";
  for (auto _ : state) {
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(QString::fromStdString(pdf));
    printer.setDocName(window.windowTitle());
    std::unique_ptr<QTextDocument> document = window.PrintDocument();
    document->print(&printer);
  }
  state.counters["pdf_bytes"] =
      double(QFileInfo(QString::fromStdString(pdf)).size());
}
BENCHMARK(BM_PrintPdf199Days)->Unit(benchmark::kMillisecond);

// The tick of the running program, its engine over the same folder, with
// the list open (days before 2, after 7) or, to compare, without it.
struct TickWorld : WindowServices {
  explicit TickWorld(bool list_open)
      : WindowServices(Folder().settings_path(), kToday) {
    OffscreenApplication();
    services.uptime = &uptime;
    settings.WriteInteger(kScheduleListSection, "mae", 2);
    settings.WriteInteger(kScheduleListSection, "ato", 7);
    PreferencesPages pages;
    InstallScheduleList(services, commands, events, pages,
                        {[] { return true; }, [] { return QRect(); }});
    if (list_open) {
      commands.RunCommand(Command::kScheduleList);
      for (QWidget* top : QApplication::topLevelWidgets()) {
        if (auto* w = qobject_cast<ScheduleListWindow*>(top)) window = w;
      }
      window->show();
    }
    ReminderParts parts;
    parts.events = &events;
    engine = std::make_unique<ReminderEngine>(services, parts);
    engine->Tick();
    QApplication::processEvents();
  }
  ~TickWorld() { delete window; }

  // The last second of the day `days` after today, ticked.
  void BeforeMidnight(int days) {
    const CivilDate day = CivilDateOf(DayNumber(kToday) + days);
    clock.Set(day.year, day.month, day.day, 23, 59, 59);
    uptime.Advance(1000);
    engine->Tick();
    QApplication::processEvents();
  }

  FakeUptime uptime;
  FakeCommandHost commands;
  TickEvents events;
  ScheduleListWindow* window = nullptr;
  std::unique_ptr<ReminderEngine> engine;
};

// Seconds 1-58 of a minute over and over: the date stays, and so does the
// minute.
void BM_TickListOpen(benchmark::State& state) {
  TickWorld w(true);
  int second = 0;
  for (auto _ : state) {
    w.clock.Set(kToday.year, kToday.month, kToday.day, 11, 0,
                1 + second++ % 58);
    w.uptime.Advance(1000);
    w.engine->Tick();
  }
}
BENCHMARK(BM_TickListOpen)->Unit(benchmark::kMicrosecond);

// The tick at midnight with the list open (first argument 1) or not (0);
// what it leaves for the event loop (the list's rebuild from the new day,
// painted) timed with it when the second argument is 1. A fixed count:
// each timed tick needs an untimed day of its own.
void BM_MidnightTick(benchmark::State& state) {
  TickWorld w(state.range(0) != 0);
  const bool loop_timed = state.range(1) != 0;
  int days = 0;
  for (auto _ : state) {
    state.PauseTiming();
    w.BeforeMidnight(days++ % 300);
    state.ResumeTiming();
    w.clock.Advance(1);
    w.uptime.Advance(1000);
    w.engine->Tick();
    if (!loop_timed) state.PauseTiming();
    QApplication::processEvents();
    if (!loop_timed) state.ResumeTiming();
  }
}
BENCHMARK(BM_MidnightTick)
    ->Args({0, 0})
    ->Args({1, 0})
    ->Args({1, 1})
    ->Iterations(300)
    ->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace mirokata
