#include "sync/sync_settings.h"

#include <gtest/gtest.h>

#include <fstream>

#include "base/settings_file.h"
#include "support/temp_folder.h"
#include "sync/sync_run.h"

namespace mirokata {
namespace {

TEST(SyncSettingsTest, DefaultsRoundTripAndIntervalBounds) {
  TempFolder home;
  SettingsFile file(home / "mirokata.ini");
  EXPECT_EQ(ReadSyncSettings(file.Open()), SyncSettings());
  SyncSettings v{true, "https://dav.example/cal/", "みろ", 90};
  Settings session = file.Open();
  ASSERT_TRUE(WriteSyncSettings(session, v));
  EXPECT_EQ(ReadSyncSettings(file.Open()), v);
  const std::pair<const char*, int> intervals[] = {
      {"0", 1}, {"-5", 1}, {"1440", 1440}, {"1441", 1440}, {"x", 15}};
  for (const auto& [text, want] : intervals) {
    std::ofstream(home / "mirokata.ini")
        << "[CalDAV]\r\nInterval=" << text << "\r\n";
    SettingsFile again(home / "mirokata.ini");
    EXPECT_EQ(ReadSyncSettings(again.Open()).interval, want) << text;
  }
}

TEST(SyncSettingsTest, ResultLine) {
  SyncResult r;
  r.ok = true;
  r.sent = 3;
  r.received = 12;
  r.conflicts = 1;
  r.finished = QDateTime(QDate(2030, 1, 5), QTime(7, 4));
  EXPECT_EQ(SyncResultText(r),
            "最終同期: 2030/01/05 07:04  送信 3件 受信 12件 競合 1件");
  r.ok = false;
  r.error = "PROPFIND: サーバーの応答 500";
  EXPECT_EQ(SyncResultText(r), "同期できません: PROPFIND: サーバーの応答 500");
}

}  // namespace
}  // namespace mirokata
