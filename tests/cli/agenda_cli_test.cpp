// Runs the built mirokata-cal agenda on the fixture folder.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "support/run_program.h"
#include "support/temp_folder.h"

namespace mirokata {
namespace {

class AgendaCommandTest : public ::testing::Test {
 protected:
  ProgramRun Agenda(const std::vector<std::string>& args) {
    std::vector<std::string> argv = {MIROKATA_CAL_PATH, "--home", home_.path(),
                                     "agenda"};
    argv.insert(argv.end(), args.begin(), args.end());
    return RunProgram(argv, scratch_.path());
  }
  void WriteSettings(const std::string& text) {
    std::ofstream(home_ / "mirokata.ini", std::ios::binary) << text;
  }

  const std::string data_ =
      std::string(std::getenv("MIROKATA_SOURCE_DIR")) + "/tests/schedule/data";
  TempFolder home_;
  TempFolder scratch_;
};

// New Year 2023 with the default holidays: 1 January a Sunday, 2 January
// its substitute holiday.
constexpr char kNewYear2023[] =
    "2022-12-30\t-\t~_~~0102.__\n"
    "2022-12-30\t-\t~_~~0101.__\n"
    "2022-12-30\t-\t~_~~1231.__\n"
    "2022-12-30\t-\t~~~~~___.FRI\n"
    "2022-12-30\t0730\t0730____.__\n"
    "2022-12-30\t0900\t0900__31.-~\n"
    "2022-12-31\t-\t______31.__\n"
    "2022-12-31\t-\t~___0102.__\n"
    "2022-12-31\t-\t~___0101.__\n"
    "2022-12-31\t0730\t0730____.__\n"
    "2023-01-01\t0730\t0730____.__\n"
    "2023-01-02\t0730\t0730____.__\n"
    "2023-01-03\t-\t_~~~1231.__\n"
    "2023-01-03\t-\t_~~~0101.__\n"
    "2023-01-03\t-\t_~~~0102.__\n"
    "2023-01-03\t-\t_~__0101.__\n"
    "2023-01-03\t-\t_~__0102.__\n"
    "2023-01-03\t-\t________.TUE\n"
    "2023-01-03\t-\t_~~~____.TUE\n"
    "2023-01-03\t0730\t0730____.__\n"
    "2023-01-03\t0900\t0900____.TUE\n"
    "2023-01-03\t0930\t0930____.tue\n";

TEST_F(AgendaCommandTest, ListsDaysThenMinutesInMatchingOrder) {
  ProgramRun run = Agenda({"--data", data_, "2022-12-30", "2023-01-03"});
  EXPECT_EQ(run.exit_code, 0) << run.err;
  EXPECT_EQ(run.out, kNewYear2023);
  EXPECT_EQ(run.err, "");
}

TEST_F(AgendaCommandTest, DataFolderAndHolidaysComeFromTheSettingsFile) {
  // The chosen folder and the user's own list (without the holiday law):
  // with 3 January a holiday too, the New Year's moved-in names go on to
  // Wednesday.
  WriteSettings("[Calendar]\r\nDirectory=" + data_ +
                "\r\n[Horiday]\r\nSet=1\r\n01/01=A\r\n01/03=X\r\n"
                "[CalendarEx]\r\nHolidayLaw=0\r\n");
  ProgramRun run = Agenda({"2023-01-03", "2023-01-04"});
  EXPECT_EQ(run.exit_code, 0) << run.err;
  EXPECT_EQ(run.out,
            "2023-01-03\t-\t________.TUE\n"
            "2023-01-03\t-\t_~~~____.TUE\n"
            "2023-01-03\t0730\t0730____.__\n"
            "2023-01-03\t0900\t0900____.TUE\n"
            "2023-01-03\t0930\t0930____.tue\n"
            "2023-01-04\t-\t_~~~1231.__\n"
            "2023-01-04\t-\t_~~~0101.__\n"
            "2023-01-04\t-\t_~~~0102.__\n"
            "2023-01-04\t-\t_~__0101.__\n"
            "2023-01-04\t-\t_~__0102.__\n"
            "2023-01-04\t0730\t0730____.__\n");
  // --data wins over the setting.
  run = Agenda({"--data=" + home_.path(), "2023-01-04"});
  EXPECT_EQ(run.exit_code, 0);
  EXPECT_EQ(run.out, "");
}

TEST_F(AgendaCommandTest, MissingDataFolderListsNothing) {
  ProgramRun run = Agenda({"--data", home_ / "nowhere", "2022-12-30"});
  EXPECT_EQ(run.exit_code, 0);
  EXPECT_EQ(run.out, "");
  EXPECT_EQ(run.err, "");
}

TEST_F(AgendaCommandTest, NoChosenDataFolderIsAFailure) {
  ProgramRun run =
      Agenda({"2022-12-30"});  // no settings file: Directory is "."
  EXPECT_EQ(run.exit_code, 1);
  EXPECT_EQ(run.out, "");
  EXPECT_NE(run.err.find("--data"), std::string::npos);
}

TEST_F(AgendaCommandTest, BadArgumentsExitWithTwo) {
  const std::vector<std::vector<std::string>> cases = {
      {},
      {"2022-13-01"},
      {"2022-02-29"},
      {"22-01-01"},
      {"2022-01-02", "2022-01-01"},
      {"2022-01-01", "2022-01-02", "2022-01-03"},
      {"--data"},
      {"--data=", "2022-01-01"},
      {"--bogus", "2022-01-01"},
  };
  for (const auto& args : cases) {
    std::string shown;
    for (const auto& a : args) shown += "[" + a + "]";
    ProgramRun run = Agenda(args);
    EXPECT_EQ(run.exit_code, 2) << shown;
    EXPECT_EQ(run.out, "") << shown;
    EXPECT_NE(run.err.find("usage:"), std::string::npos) << shown;
  }
}

}  // namespace
}  // namespace mirokata
