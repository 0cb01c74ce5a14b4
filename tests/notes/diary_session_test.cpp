// When an open page is written: only changed, never deleted or exported,
// and a failed write refuses the close.
#include "notes/diary_session.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include "platform/file_io.h"
#include "support/file_size_limit.h"
#include "support/temp_folder.h"

namespace mirokata {
namespace {

namespace fs = std::filesystem;

constexpr CivilDate kMay1{2024, 5, 1};

std::string Slurp(const std::string& path) {
  std::string data;
  ReadWholeFile(path, &data);
  return data;
}

int64_t MtimeNs(const std::string& path) {
  struct stat info {};
  ::stat(path.c_str(), &info);
  return int64_t(info.st_mtim.tv_sec) * 1000000000 + info.st_mtim.tv_nsec;
}

TEST(DiarySession, ClosingWritesOnlyChangedShownPages) {
  struct Case {
    const char* name;
    const char* bytes;  // nullptr: no page
    bool modify, expect_write;
  };
  const Case cases[] = {
      {"unchanged page", "TITLE:t\r\n:END\r\nbody\r\n", false, false},
      {"changed page", "TITLE:t\r\n:END\r\nbody\r\n", true, true},
      {"refused page, changed", "CIPHER:x\r\n:END\r\n", true, false},
      {"bad number, changed", "YOV_TOP:x\r\n:END\r\n", true, false},
      {"no :END, changed", "TITLE:t\r\n", true, false},
      {"new page, unchanged", nullptr, false, false},
      {"new page, changed", nullptr, true, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TempFolder folder;
    const std::string path = folder / "20240501.JNL";
    if (c.bytes) folder.Touch("20240501.JNL", c.bytes);
    const int64_t before = c.bytes ? MtimeNs(path) : 0;
    usleep(20000);
    DiaryPageSession session(folder.path(), kMay1, 2026, "caption");
    if (c.modify) {
      session.page().header.title = "changed";
      session.MarkModified();
    }
    std::string message;
    EXPECT_TRUE(session.Close(&message)) << message;
    if (c.expect_write) {
      EXPECT_EQ(ParseDiaryPage(Slurp(path)).page.header.title, "changed");
    } else if (c.bytes) {
      EXPECT_EQ(Slurp(path), c.bytes);
      EXPECT_EQ(MtimeNs(path), before);
    } else {
      EXPECT_FALSE(fs::exists(path));
    }
  }
}

TEST(DiarySession, ExportStopsTheSaveOnlyOnceWritten) {
  TempFolder folder;
  folder.Touch("20240501.JNL", "TITLE:t\r\n:END\r\nbody\r\n");
  {
    DiaryPageSession session(folder.path(), kMay1, 2026, "");
    session.page().header.title = "edited";
    session.MarkModified();
    std::string message;
    // The export fails (no such folder): the edits are still saved.
    EXPECT_FALSE(session.Export(folder / "gone/x.JNL", "text", &message));
    EXPECT_TRUE(message.starts_with("保存できません。\r")) << message;
    EXPECT_TRUE(session.Close(&message));
    EXPECT_EQ(ParseDiaryPage(Slurp(folder / "20240501.JNL")).page.header.title,
              "edited");
  }
  {
    DiaryPageSession session(folder.path(), kMay1, 2026, "");
    session.page().header.title = "exported";
    session.MarkModified();
    ASSERT_TRUE(session.Export(folder / "out.JNL", "text", nullptr));
    EXPECT_TRUE(session.Close(nullptr));
    EXPECT_EQ(ParseDiaryPage(Slurp(folder / "20240501.JNL")).page.header.title,
              "edited");
    EXPECT_EQ(ParseDiaryPage(Slurp(folder / "out.JNL")).page.header.title,
              "exported");
  }
}

TEST(DiarySession, FailedSaveRefusesTheCloseAndKeepsEverything) {
  TempFolder folder;
  const std::string old_bytes = "TITLE:old\r\n:END\r\nx\r\n";
  folder.Touch("20240501.JNL", old_bytes);
  DiaryPageSession session(folder.path(), kMay1, 2026, "");
  session.page().header.title = "new";
  session.page().body = std::string(8192, 'b');
  session.MarkModified();
  std::string message;
  {
    FileSizeLimit limit(1024);
    ASSERT_TRUE(limit.ok());
    EXPECT_FALSE(session.Close(&message));
  }
  EXPECT_TRUE(message.starts_with("保存できません。\r" + folder.path() +
                                  "/20240501.JNL\r"))
      << message;
  EXPECT_EQ(Slurp(folder / "20240501.JNL"), old_bytes);
  EXPECT_TRUE(session.modified());
  EXPECT_EQ(session.page().header.title, "new");
  EXPECT_TRUE(session.Close(&message)) << message;
  EXPECT_EQ(ParseDiaryPage(Slurp(folder / "20240501.JNL")).page.header.title,
            "new");
}

TEST(DiarySession, DeleteAndAMissingFolder) {
  TempFolder folder;
  folder.Touch("20240501.JNL", "TITLE:t\r\n:END\r\n");
  DiaryPageSession page(folder.path(), kMay1, 2026, "");
  EXPECT_TRUE(page.can_delete());
  page.MarkModified();
  EXPECT_TRUE(page.Delete(nullptr));
  EXPECT_TRUE(page.Close(nullptr));
  EXPECT_FALSE(fs::exists(folder / "20240501.JNL"));

  // The folder went away while the page was open: made again, private.
  const std::string diary = folder / "Diary";
  DiaryPageSession fresh(diary, kMay1, 2026, "caption");
  EXPECT_FALSE(fresh.can_delete());
  fresh.MarkModified();
  EXPECT_TRUE(fresh.Close(nullptr));
  struct stat info {};
  ASSERT_EQ(::stat(diary.c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 0777, 0700u);
  EXPECT_EQ(ParseDiaryPage(Slurp(diary + "/20240501.JNL")).page.header.title,
            "caption");
}

TEST(DiarySession, UnwrittenConversionIsSavedAtClose) {
  TempFolder folder;
  folder.Touch("ni240501.day", std::string(4096, 'a') + "\r\n");
  std::optional<DiaryPageSession> session;
  {
    FileSizeLimit limit(1024);
    ASSERT_TRUE(limit.ok());
    session.emplace(folder.path(), kMay1, 2026, "");
  }
  EXPECT_EQ(session->state(), PageOpenState::kConverted);
  EXPECT_TRUE(session->modified());
  EXPECT_FALSE(session->can_delete());
  EXPECT_TRUE(fs::exists(folder / "ni240501.day"));
  EXPECT_TRUE(session->Close(nullptr));
  EXPECT_EQ(ParseDiaryPage(Slurp(folder / "20240501.JNL")).page.header.title,
            std::string(256, 'a'));
  // Only now that the page is on disk does the old file go.
  EXPECT_FALSE(fs::exists(folder / "ni240501.day"));
}

}  // namespace
}  // namespace mirokata
