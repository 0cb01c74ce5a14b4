// The popup's program actions, picture and sound choice and snooze box rule.
#include "schedule/popup_actions.h"

#include <gtest/gtest.h>

#include "platform/testing/fake_desktop_windows.h"
#include "platform/testing/fake_shell.h"
#include "support/temp_folder.h"

namespace mirokata {
namespace {

TEST(PopupActionsTest, ExecuteSplitsAtTheFirstQuestionMark) {
  struct Case {
    const char* execute;
    const char* file;
    const char* parameters;
    const char* folder;
  } cases[] = {
      {"/usr/bin/editor?/home/u/todo.txt", "/usr/bin/editor",
       "/home/u/todo.txt", "/usr/bin/"},
      {"?/usr/bin/editor", "/usr/bin/editor", "", "/usr/bin/"},
      {"/opt/app/run", "/opt/app/run", "", "/opt/app/"},
      {"/opt/app/run?a?b c", "/opt/app/run", "a?b c", "/opt/app/"},
      {"xclock?-digital", "xclock", "-digital", ""},
      {"/home/u/notes.txt", "/home/u/notes.txt", "", "/home/u/"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.execute);
    FakeShell shell;
    PopupOptions options;
    options.execute = c.execute;
    RunProgramActions(options, &shell, nullptr);
    ASSERT_EQ(shell.calls().size(), 1u);
    EXPECT_EQ(shell.calls()[0].kind, FakeShell::Call::Kind::kOpen);
    EXPECT_EQ(shell.calls()[0].target, c.file);
    EXPECT_EQ(shell.calls()[0].parameters, c.parameters);
    EXPECT_EQ(shell.calls()[0].working_folder, c.folder);
  }
  FakeShell shell;
  PopupOptions nothing;
  nothing.execute = "?";
  RunProgramActions(nothing, &shell, nullptr);
  EXPECT_TRUE(shell.calls().empty());
}

TEST(PopupActionsTest, ExecloseClosesTheFirstWindowContainingTheText) {
  FakeDesktopWindows desktop;
  desktop.titles = {"report.txt - Editor", "todo.txt - Editor",
                    "todo.txt - Viewer"};
  FakeShell shell;
  PopupOptions options;
  options.execlose = "todo.txt";
  options.execute = "/usr/bin/true";
  RunProgramActions(options, &shell, &desktop);
  EXPECT_EQ(desktop.close_requests,
            std::vector<std::string>{"todo.txt - Editor"});
  EXPECT_EQ(shell.calls().size(), 1u);
  options.execlose = "nothing like it";
  RunProgramActions(options, nullptr, &desktop);
  EXPECT_EQ(desktop.close_requests.size(), 1u);
}

TEST(PopupActionsTest, PictureAndSoundFallBackToTheGlobalOnesWhenMissing) {
  TempFolder home;
  home.Touch("own.JPG");
  home.Touch("global.bmp");
  home.Touch("own.wav");
  home.Touch("global.wav");
  home.Touch("notes.txt");
  PopupOptions o;
  o.bitmap = home / "own.JPG";
  o.stretch = true;  // the switch turns stretching off
  o.wallpaper = true;
  PopupPicture p = ChoosePopupPicture(o, home / "global.bmp", false);
  EXPECT_EQ(p.path, home / "own.JPG");
  EXPECT_FALSE(p.stretch);
  EXPECT_TRUE(p.wallpaper);

  o.bitmap = home / "gone.jpg";
  p = ChoosePopupPicture(o, home / "global.bmp", true);
  EXPECT_EQ(p.path, home / "global.bmp");
  EXPECT_FALSE(p.stretch);
  EXPECT_FALSE(p.wallpaper);

  o.bitmap = home / "notes.txt";  // exists, but is no picture
  p = ChoosePopupPicture(o, home / "global.bmp", false);
  EXPECT_EQ(p.path, "");
  EXPECT_FALSE(p.wallpaper);

  o.file = home / "own.wav";
  EXPECT_EQ(ChooseSoundFile(o, home / "global.wav"), home / "own.wav");
  o.file = home / "gone.wav";
  EXPECT_EQ(ChooseSoundFile(o, home / "global.wav"), home / "global.wav");
  EXPECT_EQ(ChooseSoundFile(o, home / "gone too.wav"), std::nullopt);
}

TEST(PopupActionsTest, SnoozeMinutesAreClampedIntoOneDay) {
  struct Case {
    const char* box;
    int minutes;
    const char* text;
  } cases[] = {
      {"10", 10, "10"},       {" 7 ", 7, "7"},
      {"abc", 0, "0"},        {"", 0, "0"},
      {"5x", 0, "0"},         {"-5", 0, "0"},
      {"0", 0, "0"},          {"1440", 1440, "1440"},
      {"2000", 1440, "1440"}, {"99999999999999999999", 1440, "1440"},
      {"007", 7, "7"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.box);
    const SnoozeMinutes m = ParseSnoozeMinutes(c.box);
    EXPECT_EQ(m.minutes, c.minutes);
    EXPECT_EQ(m.text, c.text);
  }
}

TEST(PopupActionsTest, TitleShowsTheTimeWithTheWeekdayColour) {
  LocalTime t;
  t.year = 2026;
  t.month = 3;
  t.day = 7;
  t.hour = 9;
  t.minute = 5;
  t.weekday = 7;
  EXPECT_EQ(PopupTitleText(t, CShortWeekdayNames()), "26/03/07 (Sat) 09:05");
  const WeekdayNames japanese = {"日", "月", "火", "水", "木", "金", "土"};
  EXPECT_EQ(PopupTitleText(t, japanese), "26/03/07 (土) 09:05");
  t.weekday = 1;
  EXPECT_EQ(PopupTitleText(t, japanese), "26/03/07 (日) 09:05");
  EXPECT_EQ(PopupTitleColor(1), 0x0000FFu);
  EXPECT_EQ(PopupTitleColor(7), 0xFF00FFu);
  EXPECT_EQ(PopupTitleColor(4), 0xFF0000u);
}

}  // namespace
}  // namespace mirokata
