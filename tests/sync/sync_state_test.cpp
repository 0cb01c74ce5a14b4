#include "sync/sync_state.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <fstream>

#include "support/temp_folder.h"

namespace mirokata {
namespace {

SyncState Sample() {
  SyncState s;
  s.url = "https://dav.example/cal/";
  s.token = "http://radicale/sync/1";
  s.items.push_back({"a.ics", "____0115.71", "\"e1\"", "h1", "u1", ""});
  s.items.push_back(
      {"odd%\r\nname.ics", "", "\"e2\"", "", "u2", "every other hour"});
  return s;
}

mode_t ModeOf(const std::string& path) {
  struct stat st {};
  ::stat(path.c_str(), &st);
  return st.st_mode & 07777;
}

TEST(SyncStateTest, RoundTripIsPrivate) {
  TempFolder data;
  ASSERT_TRUE(WriteSyncState(data.path(), Sample()));
  SyncState read;
  EXPECT_EQ(ReadSyncState(data.path(), &read), StateRead::kOk);
  EXPECT_EQ(read, Sample());
  EXPECT_EQ(ModeOf(data / ".sync"), 0700u);
  EXPECT_EQ(ModeOf(data / ".sync/state.ini"), 0600u);
}

TEST(SyncStateTest, MissingAndCorruptGiveAnEmptyState) {
  TempFolder data;
  SyncState read = Sample();
  EXPECT_EQ(ReadSyncState(data.path(), &read), StateRead::kMissing);
  EXPECT_TRUE(read.items.empty());

  const std::string whole = SyncStateText(Sample());
  const std::string corrupt[] = {
      whole.substr(0, whole.size() / 2),  // cut short
      whole.substr(0, whole.rfind("[End]")),
      whole + "[Item]\nHref=x\n",  // after the end mark
      "garbage",
      std::string("[Sync]\nVersion=1\n\0\n[End]\n", 24),
      "[Sync]\nVersion=2\n[End]\n",
      "[Sync]\nVersion=1\n[Item]\nName=x\n[End]\n",  // no href
      "[Sync]\nVersion=1\nToken=%G1\n[End]\n",
      "[Sync]\nVersion=1\nToken=%4\n[End]\n",
  };
  for (const std::string& text : corrupt) {
    ASSERT_TRUE(WriteSyncState(data.path(), Sample()));
    std::ofstream(data / ".sync/state.ini", std::ios::binary) << text;
    read = Sample();
    EXPECT_EQ(ReadSyncState(data.path(), &read), StateRead::kCorrupt) << text;
    EXPECT_TRUE(read.items.empty()) << text;
    EXPECT_TRUE(read.token.empty()) << text;
  }
}

}  // namespace
}  // namespace mirokata
