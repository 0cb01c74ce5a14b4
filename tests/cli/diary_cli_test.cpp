// Runs the built mirokata-cal diary on pages in a temporary privacy folder.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "notes/diary_page.h"
#include "notes/diary_store.h"
#include "richtext/rich_document.h"
#include "richtext/rtf_writer.h"
#include "support/run_program.h"
#include "support/temp_folder.h"

namespace mirokata {
namespace {

namespace fs = std::filesystem;

class DiaryCliTest : public ::testing::Test {
 protected:
  void SetUp() override {
    fs::create_directory(privacy_ / "Diary");
    std::ofstream(home_ / "mirokata.ini", std::ios::binary)
        << "[Calendar]\r\nDirectory=" << data_.path()
        << "\r\n[Privacy]\r\nDirectory=" << privacy_.path() << "\r\n";
    Page({2024, 3, 5}, "春の\t旅", "晴", "桜を見た。\r\n旅は楽しい");
    Page({2024, 6, 1}, "雨の日", "雨 のち 旅", "家で読書");
    Page({2025, 1, 2}, "初夢", "雪", "富士と旅");
  }
  void Page(const CivilDate& date, const std::string& title,
            const std::string& weather, const std::string& text) {
    DiaryPage page;
    page.header.title = title;
    page.header.weather = weather;
    page.body = WriteRtf(DocumentFromPlainText(text));
    ASSERT_TRUE(SaveDiaryPage(privacy_ / ("Diary/" + DiaryPageName(date)), page,
                              nullptr));
  }
  ProgramRun Cal(const std::vector<std::string>& args,
                 const std::vector<std::string>& extra_env = {}) {
    std::vector<std::string> argv = {MIROKATA_CAL_PATH};
    if (extra_env.empty()) {
      argv.push_back("--home");
      argv.push_back(home_.path());
    }
    argv.insert(argv.end(), args.begin(), args.end());
    return RunProgram(argv, scratch_.path(), {"MIROKATA_HOME"}, extra_env);
  }
  TempFolder home_, data_, privacy_, scratch_;
};

TEST_F(DiaryCliTest, SearchPrintsOneLinePerHit) {
  ProgramRun run = Cal({"diary", "search", "旅"});
  EXPECT_EQ(run.exit_code, 0) << run.err;
  EXPECT_EQ(run.out,
            "2024-03-05\ttitle\t春の 旅\n"
            "2024-06-01\tweather\t雨の日\n"
            "2025-01-02\tbody\t初夢\n");
  // Backwards and narrowed, and by the environment's home.
  run = Cal({"diary", "search", "旅", "2024-12", "2024-04"},
            {"MIROKATA_HOME=" + home_.path()});
  EXPECT_EQ(run.exit_code, 0) << run.err;
  EXPECT_EQ(run.out, "2024-06-01\tweather\t雨の日\n");
  run = Cal({"diary", "search", "見つからない"});
  EXPECT_EQ(run.exit_code, 0);
  EXPECT_EQ(run.out, "");
}

TEST_F(DiaryCliTest, ShowPrintsHeaderAndPlainBody) {
  ProgramRun run = Cal({"diary", "show", "2024-03-05"});
  EXPECT_EQ(run.exit_code, 0) << run.err;
  EXPECT_EQ(run.out,
            "date\t2024-03-05\ntitle\t春の 旅\nweather\t晴\nread-only\tno\n\n"
            "桜を見た。\n旅は楽しい\n");
  run = Cal({"diary", "show", "2024-03-06"});
  EXPECT_EQ(run.exit_code, 1);
  EXPECT_NE(run.err.find("no page"), std::string::npos);
}

TEST_F(DiaryCliTest, BadArgumentsExitTwo) {
  const std::vector<std::vector<std::string>> bad = {
      {"diary"},
      {"diary", "find", "x"},
      {"diary", "search"},
      {"diary", "search", "x", "2024-01"},
      {"diary", "search", "x", "2024-13", "2024-12"},
      {"diary", "search", "x", "0000-01", "2024-12"},
      {"diary", "search", "x", "2024-1", "2024-12"},
      {"diary", "show"},
      {"diary", "show", "2024-02-30"},
  };
  for (const auto& args : bad) {
    SCOPED_TRACE(args.back());
    ProgramRun run = Cal(args);
    EXPECT_EQ(run.exit_code, 2) << run.out;
    EXPECT_NE(run.err.find("usage:"), std::string::npos);
  }
  ProgramRun run = Cal({"diary", "search", "x"},
                       {"MIROKATA_HOME=" + home_.path() + "/missing"});
  EXPECT_EQ(run.exit_code, 2);
}

TEST_F(DiaryCliTest, NeverWrites) {
  const auto listing = [this] {
    std::vector<std::string> names;
    for (const auto& e : fs::recursive_directory_iterator(privacy_.path()))
      names.push_back(e.path().string());
    for (const auto& e : fs::recursive_directory_iterator(home_.path()))
      names.push_back(e.path().string());
    std::sort(names.begin(), names.end());
    return names;
  };
  std::ofstream(privacy_ / "Diary/ni240307.day", std::ios::binary) << "old\r\n";
  const std::vector<std::string> before = listing();
  EXPECT_EQ(Cal({"diary", "search", "旅"}).exit_code, 0);
  ProgramRun run = Cal({"diary", "show", "2024-03-07"});
  EXPECT_EQ(run.exit_code, 0) << run.err;
  EXPECT_EQ(run.out,
            "date\t2024-03-07\ntitle\told\nweather\t\nread-only\tno\n\n");
  EXPECT_EQ(listing(), before);
}

}  // namespace
}  // namespace mirokata
