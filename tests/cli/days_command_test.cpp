#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/wait.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "base/settings_file.h"
#include "calendar/gregorian.h"
#include "calendar/holiday_law.h"
#include "calendar/holidays.h"

namespace mirokata {
namespace {

namespace fs = std::filesystem;

struct RunResult {
  int status = -1;
  std::string out, err;
};

std::string Slurp(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

std::vector<std::string> Split(const std::string& text, char sep) {
  std::vector<std::string> parts;
  size_t start = 0;
  while (true) {
    size_t end = text.find(sep, start);
    parts.push_back(text.substr(start, end - start));
    if (end == std::string::npos) break;
    start = end + 1;
  }
  return parts;
}

class DaysCommandTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char tmpl[] = "/tmp/mirokata-cal-test-XXXXXX";
    dir_ = mkdtemp(tmpl);
    home_ = dir_ + "/home";
    fs::create_directory(home_);
  }
  void TearDown() override { fs::remove_all(dir_); }

  // Runs the program with a shell command line tail (arguments already
  // quoted as needed); MIROKATA_HOME is cleared unless env says otherwise.
  RunResult Cal(const std::string& args, const std::string& env = "") {
    const std::string out = dir_ + "/out", err = dir_ + "/err";
    const std::string cmd = "env -u MIROKATA_HOME " + env + " '" +
                            MIROKATA_CAL_BINARY + "' " + args + " >'" + out +
                            "' 2>'" + err + "'";
    RunResult r;
    const int raw = std::system(cmd.c_str());
    r.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    r.out = Slurp(out);
    r.err = Slurp(err);
    return r;
  }
  RunResult Days(const std::string& range) {
    return Cal("--home '" + home_ + "' days " + range);
  }
  std::vector<std::vector<std::string>> Lines(const RunResult& r) {
    std::vector<std::vector<std::string>> lines;
    std::string text = r.out;
    if (!text.empty() && text.back() == '\n') text.pop_back();
    for (const std::string& line : Split(text, '\n')) {
      lines.push_back(Split(line, '\t'));
    }
    return lines;
  }

  std::string dir_, home_;
};

TEST_F(DaysCommandTest, PrintsOneLinePerDayWithoutTouchingTheFolder) {
  const RunResult r = Days("2019-04-28 2019-05-07");
  ASSERT_EQ(r.status, 0) << r.err;
  const auto lines = Lines(r);
  ASSERT_EQ(lines.size(), 10u);
  const char* const expected[][3] = {
      {"2019-04-28", "1", ""},
      {"2019-04-29", "2", "【昭和の日】"},
      {"2019-04-30", "3", "【国民の休日】"},
      {"2019-05-01", "4", "【天皇の即位の日】"},
      {"2019-05-02", "5", "【国民の休日】"},
      {"2019-05-03", "6", "【憲法記念日】"},
      {"2019-05-04", "7", "【みどりの日】"},
      {"2019-05-05", "1", "【こどもの日】"},
      {"2019-05-06", "2", "【振替休日】"},
      {"2019-05-07", "3", ""},
  };
  const std::vector<std::string> rokuyo = {"先勝", "友引", "先負",
                                           "仏滅", "大安", "赤口"};
  for (size_t i = 0; i < lines.size(); ++i) {
    const auto& f = lines[i];
    ASSERT_EQ(f.size(), 8u) << i;
    EXPECT_EQ(f[0], expected[i][0]);
    EXPECT_EQ(f[1], expected[i][1]) << f[0];
    EXPECT_EQ(f[2], expected[i][2]) << f[0];
    // Lunisolar days and rokuyo advance one a day within a month.
    EXPECT_NE(std::find(rokuyo.begin(), rokuyo.end(), f[6]), rokuyo.end());
    EXPECT_EQ(f[4], "0");
    ASSERT_EQ(f[7].size(), f[7].find('.') + 3) << f[7];
  }
  // 2019-05-05 is the first day of the fourth lunisolar month; its age
  // at noon is under a day.
  EXPECT_EQ(lines[7][3], "4");
  EXPECT_EQ(lines[7][5], "1");
  EXPECT_EQ(lines[7][6], "仏滅");
  EXPECT_LT(std::stod(lines[7][7]), 1.0);
  EXPECT_EQ(lines[6][5], "30");
  EXPECT_TRUE(fs::is_empty(home_));
}

TEST_F(DaysCommandTest, LunisolarFieldsAtTheLeapMonthOf2033) {
  const RunResult r = Days("2033-12-21 2033-12-22");
  ASSERT_EQ(r.status, 0) << r.err;
  const auto lines = Lines(r);
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[0][3] + "/" + lines[0][4] + "/" + lines[0][5], "11/0/30");
  EXPECT_EQ(lines[1][3] + "/" + lines[1][4] + "/" + lines[1][5], "11/1/1");
  EXPECT_EQ(lines[1][6], "大安");  // a leap month counts with its number
}

TEST_F(DaysCommandTest, HolidaysFrom1970To2050AreTheLawsHolidays) {
  const RunResult r = Days("1970-01-01 2050-12-31");
  ASSERT_EQ(r.status, 0) << r.err;
  const auto lines = Lines(r);
  ASSERT_EQ(lines.size(), static_cast<size_t>(DayNumber(2050, 12, 31) -
                                              DayNumber(1970, 1, 1) + 1));
  int32_t n = DayNumber(1970, 1, 1);
  int holidays = 0;
  for (const auto& f : lines) {
    const CivilDate c = CivilDateOf(n++);
    ASSERT_EQ(f[2], LawHolidayNameOf(c.year, c.month, c.day)) << f[0];
    holidays += !f[2].empty();
  }
  EXPECT_GT(holidays, 81 * 12);
}

TEST_F(DaysCommandTest, ReadsTheUsersSettingsFromHomeOrEnvironment) {
  {
    SettingsFile settings(home_ + "/mirokata.ini");
    ASSERT_TRUE(EnsureDefaultHolidays(settings));
    ASSERT_TRUE(settings.WriteString(kHolidaySection, "08/15", "【夏季休業】"));
  }
  RunResult r = Days("2026-08-15");
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(Lines(r)[0][2], "【夏季休業】");

  // The list rules, by the environment variable this time.
  {
    SettingsFile settings(home_ + "/mirokata.ini");
    ASSERT_TRUE(settings.WriteBool(kCalendarExSection, kHolidayLawKey, false));
  }
  r = Cal("days 2026-12-23 2026-12-23", "MIROKATA_HOME='" + home_ + "'");
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(Lines(r)[0][2], "【天皇誕生日】");
}

TEST_F(DaysCommandTest, BadArgumentsExitTwoWithAMessage) {
  const char* const cases[] = {
      "",
      "days",
      "days 2021-02-29",
      "days 2021-13-01",
      "days 1582-10-10",
      "days 2021-1-1",
      "days 0000-01-01",
      "days 2021-01-01x",
      "days 2021-01-02 2021-01-01",
      "days 2021-01-01 tomorrow",
      "days 2021-01-01 2021-01-02 2021-01-03",
      "frobnicate",
      "--home",
      "days --home",
  };
  for (const char* args : cases) {
    const RunResult r = Cal(args);
    EXPECT_EQ(r.status, 2) << args;
    EXPECT_FALSE(r.err.empty()) << args;
    EXPECT_TRUE(r.out.empty()) << args;
  }
}

TEST_F(DaysCommandTest, AMissingNamedFolderFailsAndIsNotMade) {
  const std::string missing = dir_ + "/mistyped/home";
  const struct {
    std::string args, env;
  } cases[] = {
      {"--home '" + missing + "' days 2026-01-01", ""},
      {"--home='" + missing + "' agenda --data /tmp 2026-01-01", ""},
      {"days 2026-01-01", "MIROKATA_HOME='" + missing + "'"},
  };
  for (const auto& c : cases) {
    const RunResult r = Cal(c.args, c.env);
    EXPECT_EQ(r.status, 2) << c.args;
    EXPECT_TRUE(r.out.empty()) << c.args;
    EXPECT_NE(r.err.find("no such folder: " + missing), std::string::npos)
        << r.err;
    EXPECT_FALSE(fs::exists(dir_ + "/mistyped")) << c.args;
  }
}

TEST_F(DaysCommandTest, HelpDescribesTheCommands) {
  RunResult r = Cal("--help");
  EXPECT_EQ(r.status, 0);
  EXPECT_NE(r.out.find("days FROM [TO]"), std::string::npos);
  r = Cal("days --help");
  EXPECT_EQ(r.status, 0);
  EXPECT_NE(r.out.find("rokuyo"), std::string::npos);
}

}  // namespace
}  // namespace mirokata
