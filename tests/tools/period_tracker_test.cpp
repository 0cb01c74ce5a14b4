#include "tools/period_tracker.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <string>
#include <vector>

#include "base/settings_file.h"
#include "support/run_program.h"
#include "support/temp_folder.h"

namespace mirokata {
namespace {

CivilDate D(int y, int m, int d) { return CivilDate{y, m, d}; }

std::vector<std::string> Texts(const std::vector<CivilDate>& dates) {
  std::vector<std::string> out;
  for (const CivilDate& d : dates) out.push_back(SlashDateText(d));
  return out;
}

mode_t ModeOf(const std::string& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0 ? st.st_mode & 07777 : 0;
}

TEST(PeriodCyclesTest, AveragesFollowTheNextCyclesSide) {
  const struct {
    std::vector<CivilDate> dates;
    int previous_a;
    Cycles expected;
  } cases[] = {
      {{}, 40, {28, 28, 28}},
      {{D(2024, 5, 1)}, 40, {28, 28, 28}},
      // Two dates: the next cycle is on the empty side, so A stays.
      {{D(2024, 1, 1), D(2024, 1, 31)}, 40, {30, 40, 28}},
      // Intervals 28 and 29: the next cycle takes the first one's side.
      {{D(2024, 1, 1), D(2024, 1, 29), D(2024, 2, 27)}, 40, {28, 28, 29}},
      // Intervals 28, 30, 26: next is even, so A is the even group (30).
      {{D(2024, 1, 1), D(2024, 1, 29), D(2024, 2, 28), D(2024, 3, 25)},
       40,
       {28, 30, 27}},
      // Centuries apart: every length stops at 999.
      {{D(1800, 1, 1), D(2024, 1, 1), D(2024, 1, 20)}, 28, {999, 999, 19}},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ComputeCycles(c.dates, c.previous_a), c.expected)
        << c.dates.size() << " dates";
  }
}

TEST(PeriodCyclesTest, TypedLengthsAreWholeNumbersFromOneTo999) {
  const struct {
    const char* text;
    int value;
  } cases[] = {{"28", 28},  {"7", 7},    {"007", 7},   {" 30 ", 30},
               {"", 28},    {"0", 28},   {"000", 28},  {"-5", 28},
               {"2a", 28},  {"abc", 28}, {"999", 999}, {"1000", 999},
               {"1e3", 28}, {"３０", 28}};
  for (const auto& c : cases) {
    EXPECT_EQ(CycleFromText(c.text), c.value) << '"' << c.text << '"';
  }
}

TEST(PeriodPredictionTest, CommonAndAlternatingLists) {
  const std::vector<CivilDate> dates = {D(2024, 1, 1), D(2024, 1, 29),
                                        D(2024, 2, 27)};
  const Cycles c = ComputeCycles(dates, 28);
  const auto common = CommonPredictions(dates.back(), c.common);
  ASSERT_EQ(common.size(), 100u);
  EXPECT_EQ(SlashDateText(common[0]), "2024/03/26");
  EXPECT_EQ(PeriodDayText(common[0]), "2024/03/26 (火)");
  const auto alternating =
      AlternatingPredictions(dates.back(), c.alternate_a, c.alternate_b);
  ASSERT_EQ(alternating.size(), 100u);
  EXPECT_EQ(
      Texts({alternating[0], alternating[1], alternating[2]}),
      (std::vector<std::string>{"2024/03/26", "2024/04/24", "2024/05/22"}));
  // A single date: 28 days on.
  EXPECT_EQ(SlashDateText(CommonPredictions(D(2024, 5, 1), 28)[0]),
            "2024/05/29");
}

TEST(PeriodPredictionTest, StopsAtTheEndOfTheCalendar) {
  const auto common = CommonPredictions(D(9999, 10, 1), 28);
  ASSERT_EQ(common.size(), 3u);
  EXPECT_EQ(SlashDateText(common.back()), "9999/12/24");
  EXPECT_TRUE(CommonPredictions(D(9999, 12, 31), 1).empty());
  EXPECT_EQ(AlternatingPredictions(D(9999, 12, 1), 20, 5).size(), 2u);
  // Across the 1582 switch the grid's calendar counts: 4 October + 1 day
  // is 15 October.
  EXPECT_EQ(SlashDateText(CommonPredictions(D(1582, 10, 4), 1)[0]),
            "1582/10/15");
}

// The classes of each day of a 28-day cycle with five period days.
TEST(PeriodDetailTest, TwentyEightDayCycleClasses) {
  const std::vector<CivilDate> predictions = {D(2024, 5, 29)};
  const CycleDetail detail = DetailOf(predictions, 0, D(2024, 5, 1), 5);
  EXPECT_EQ(detail.caption, "2024/05/01 (水)～2024/05/29 (水)");
  ASSERT_EQ(detail.lines.size(), 29u);
  const struct {
    int first, last;
    const char* label;
  } rows[] = {{0, 4, "×　生理中"},      {5, 8, "？　　　安全日"},
              {9, 11, "？　　危険日"},  {12, 16, "×【危険日】"},
              {17, 17, "？　　危険日"}, {18, 27, "△　　　　安全日"},
              {28, 28, "×　生理中"}};
  for (const auto& row : rows) {
    for (int day = row.first; day <= row.last; ++day) {
      const std::string& line = detail.lines[size_t(day)];
      EXPECT_EQ(line.substr(line.find(") ") + 2), row.label) << "day " << day;
    }
  }
  EXPECT_EQ(detail.lines[0], "2024/05/01 (水) ×　生理中");
  EXPECT_EQ(detail.lines[28], "2024/05/29 (水) ×　生理中");
}

TEST(PeriodDetailTest, LongPeriodInAShortCycleHasNoDangerousDays) {
  const auto predictions = CommonPredictions(D(2024, 5, 1), 21);
  const CycleDetail detail = DetailOf(predictions, 1, D(2024, 5, 1), 20);
  ASSERT_EQ(detail.lines.size(), 22u);
  for (int day = 0; day < 20; ++day) {
    EXPECT_NE(detail.lines[size_t(day)].find("×　生理中"), std::string::npos);
  }
  EXPECT_NE(detail.lines[20].find("△　　　　安全日"), std::string::npos);
  EXPECT_NE(detail.lines[21].find("×　生理中"), std::string::npos);
  for (const std::string& line : detail.lines) {
    EXPECT_EQ(line.find("危険日"), std::string::npos) << line;
  }
  EXPECT_TRUE(DetailOf(predictions, 100, D(2024, 5, 1), 5).lines.empty());
}

TEST(PeriodStatusTest, CycleOfTheSelectedDate) {
  const std::vector<CivilDate> dates = {D(2024, 4, 3), D(2024, 5, 1)};
  EXPECT_EQ(CycleStatus(dates, 1), "28日周期 (2024/04/03～2024/05/01)");
  EXPECT_EQ(CycleStatus(dates, 0), "");
  EXPECT_EQ(CycleStatus({}, 0), "良い子が授かりますように..");
}

TEST(PeriodFileTest, DamagedSectionsReadSafely) {
  TempFolder tmp;
  tmp.Touch("Period.ini",
            "[Period]\r\nCount=2147483647\r\nDays=21\r\n0=2024/5/1\r\n"
            "1=-end-\r\n2=2024/13/01\r\n3=2024/02/30\r\n4=2024/04/03\r\n"
            "5=2024/05/01\r\n6=1582/10/10\r\n7=10000/01/01\r\n8=x/y/z\r\n"
            "9=2024/5/1/2\r\n");
  SettingsFile file(tmp / "Period.ini");
  Settings s = file.Open();
  EXPECT_EQ(Texts(ReadPeriodDates(s)),
            (std::vector<std::string>{"2024/04/03", "2024/05/01"}));
  EXPECT_EQ(ReadPeriodDays(s), 5);

  tmp.Touch("Other.ini", "[Period]\r\nDays=20\r\n1=2024/01/02\r\n");
  SettingsFile other(tmp / "Other.ini");
  // No Count: the keys there are count.
  EXPECT_EQ(Texts(ReadPeriodDates(other.Open())),
            (std::vector<std::string>{"2024/01/02"}));
  EXPECT_EQ(ReadPeriodDays(other.Open()), 20);
}

class PeriodTrackerTest : public ::testing::Test {
 protected:
  std::string folder() const { return tmp_ / "Period"; }
  std::string ini() const { return folder() + "/Period.ini"; }
  void SetUp() override { std::filesystem::create_directory(folder()); }
  TempFolder tmp_;
  SettingsFile settings_{tmp_ / "mirokata.ini"};
};

TEST_F(PeriodTrackerTest, AddRemoveAndCommentsAreOnDiskAt0600) {
  // An older file readable by others becomes private at the first write.
  tmp_.Touch("Period/Period.ini", "[Period]\r\nDays=7\r\nCount=0\r\n");
  ::chmod(ini().c_str(), 0644);
  PeriodTracker tracker(settings_, folder());
  EXPECT_TRUE(tracker.Load());
  EXPECT_EQ(ModeOf(ini()), 0600u);
  EXPECT_EQ(tracker.period_days(), 7);
  EXPECT_EQ(tracker.dates().size(), 0u);
  EXPECT_TRUE(tracker.common().empty());

  EXPECT_TRUE(tracker.Add(D(2024, 2, 27)));
  EXPECT_TRUE(tracker.Add(D(2024, 1, 1)));
  EXPECT_TRUE(tracker.Add(D(2024, 1, 29)));
  EXPECT_FALSE(tracker.Add(D(2024, 1, 29)));
  EXPECT_EQ(tracker.cycles(), (Cycles{28, 28, 29}));
  EXPECT_EQ(SlashDateText(tracker.alternating()[0]), "2024/03/26");
  EXPECT_TRUE(tracker.SetComment(D(2024, 1, 29), "重め\r\n腹痛"));

  PeriodTracker reopened(settings_, folder());
  reopened.Load();
  EXPECT_EQ(
      Texts(reopened.dates()),
      (std::vector<std::string>{"2024/01/01", "2024/01/29", "2024/02/27"}));
  EXPECT_EQ(reopened.period_days(), 7);
  EXPECT_EQ(reopened.Comment(D(2024, 1, 29)), "重め  腹痛");

  EXPECT_TRUE(reopened.Remove(D(2024, 1, 1)));
  EXPECT_FALSE(reopened.Remove(D(2024, 1, 1)));
  Settings s = reopened.file().Open();
  EXPECT_EQ(s.ReadInteger("Period", "Count", -1), 2);
  EXPECT_FALSE(s.HasKey("Period", "2"));
  EXPECT_EQ(s.ReadString("Period", "Days", ""), "7");
  EXPECT_TRUE(reopened.Remove(D(2024, 1, 29)));
  EXPECT_TRUE(reopened.Remove(D(2024, 2, 27)));
  EXPECT_TRUE(reopened.common().empty());
  EXPECT_TRUE(reopened.alternating().empty());
  EXPECT_EQ(ModeOf(ini()), 0600u);
}

TEST_F(PeriodTrackerTest, TypedLengthsPredictAndStoreTheSides) {
  PeriodTracker tracker(settings_, folder());
  tracker.Load();
  tracker.Add(D(2024, 5, 1));
  tracker.SetCycles("30", "25", "0");
  EXPECT_EQ(tracker.cycles(), (Cycles{30, 25, 28}));
  EXPECT_EQ(SlashDateText(tracker.common()[0]), "2024/05/31");
  EXPECT_EQ(SlashDateText(tracker.alternating()[1]), "2024/06/23");
  Settings s = tracker.file().Open();
  EXPECT_EQ(s.ReadInteger("Period", "RAvg", 0), 25);
  EXPECT_EQ(s.ReadInteger("Period", "LAvg", 0), 28);
  tracker.SetPeriodDays(25);
  EXPECT_EQ(tracker.period_days(), 20);
  EXPECT_EQ(tracker.file().ReadInteger("Period", "Days", 0), 20);
}

TEST_F(PeriodTrackerTest, OlderDatesMoveInWithoutLosingAnything) {
  settings_.Batch([](SettingsBatch& b) {
    b.WriteString("Period", "Count", "2");
    b.WriteString("Period", "0", "2023/12/04");
    b.WriteString("Period", "1", "2024/01/01");
    b.WriteString("Form", "Delete", "0");
  });
  tmp_.Touch("Period/Period.ini",
             "[Period]\r\nDays=6\r\nRAvg=27\r\nCount=1\r\n0=2024/01/29\r\n"
             "[Comment]\r\n2024/01/29=\x83\x81\x83\x82\r\n");  // CP932
  PeriodTracker tracker(settings_, folder());
  EXPECT_TRUE(tracker.Load());
  EXPECT_EQ(
      Texts(tracker.dates()),
      (std::vector<std::string>{"2023/12/04", "2024/01/01", "2024/01/29"}));
  EXPECT_EQ(tracker.period_days(), 6);
  EXPECT_EQ(tracker.Comment(D(2024, 1, 29)), "メモ");
  EXPECT_FALSE(settings_.Open().HasSection("Period"));
  EXPECT_EQ(settings_.ReadString("Form", "Delete", ""), "0");
  EXPECT_EQ(ModeOf(ini()), 0600u);

  // Only the settings file: its Days comes along.
  TempFolder other;
  SettingsFile old_settings(other / "mirokata.ini");
  old_settings.Batch([](SettingsBatch& b) {
    b.WriteString("Period", "Days", "9");
    b.WriteString("Period", "Count", "1");
    b.WriteString("Period", "0", "2024/3/3");
  });
  std::filesystem::create_directory(other / "Period");
  PeriodTracker moved(old_settings, other / "Period");
  EXPECT_TRUE(moved.Load());
  EXPECT_EQ(Texts(moved.dates()), (std::vector<std::string>{"2024/03/03"}));
  EXPECT_EQ(moved.period_days(), 9);
  EXPECT_FALSE(old_settings.Open().HasSection("Period"));
}

TEST_F(PeriodTrackerTest, FailedMoveKeepsTheOlderDates) {
  settings_.Batch([](SettingsBatch& b) {
    b.WriteString("Period", "Count", "1");
    b.WriteString("Period", "0", "2024/01/01");
  });
  // The file cannot be written: its folder is missing.
  PeriodTracker tracker(settings_, tmp_ / "Missing");
  EXPECT_FALSE(tracker.Load());
  EXPECT_EQ(Texts(tracker.dates()), (std::vector<std::string>{"2024/01/01"}));
  EXPECT_EQ(settings_.ReadString("Period", "0", ""), "2024/01/01");
}

TEST_F(PeriodTrackerTest, UnreadableFileIsNeverWritten) {
  // A folder in the way of the file reads as unreadable.
  std::filesystem::create_directory(ini());
  tmp_.Touch("Period/Period.ini/keep", "x");
  std::vector<std::string> reports;
  PeriodTracker tracker(settings_, folder());
  tracker.file().SetProblemReporter(
      [&](const std::string& text) { reports.push_back(text); });
  EXPECT_FALSE(tracker.Load());
  EXPECT_FALSE(tracker.Add(D(2024, 1, 1)) && tracker.saved());
  EXPECT_TRUE(std::filesystem::is_directory(ini()));
  ASSERT_FALSE(reports.empty());
  EXPECT_NE(reports[0].find("Period.ini"), std::string::npos);
}

TEST_F(PeriodTrackerTest, PythonConfigparserReadsTheFile) {
  if (std::system("/usr/bin/python3 -c 'import configparser' >/dev/null "
                  "2>&1") != 0) {
    GTEST_SKIP() << "no python3";
  }
  PeriodTracker tracker(settings_, folder());
  tracker.Load();
  tracker.Add(D(2024, 4, 3));
  tracker.Add(D(2024, 5, 1));
  tracker.SetComment(D(2024, 5, 1), "通院＝午後");
  const ProgramRun run =
      RunProgram({"/usr/bin/python3", "-c",
                  "import configparser,sys\n"
                  "p=configparser.ConfigParser(interpolation=None)\n"
                  "p.optionxform=str\n"
                  "p.read(sys.argv[1],encoding='cp932')\n"
                  "s=p['Period']\n"
                  "print(','.join(s[str(i)] for i in range(int(s['Count']))))\n"
                  "print(p['Comment']['2024/05/01'])\n",
                  ini()},
                 tmp_.path());
  ASSERT_EQ(run.exit_code, 0) << run.err;
  EXPECT_EQ(run.out, "2024/04/03,2024/05/01\n通院＝午後\n");
}

}  // namespace
}  // namespace mirokata
