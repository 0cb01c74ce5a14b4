#include "platform/file_io.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>

namespace mirokata {
namespace {

namespace fs = std::filesystem;

class FileIoTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char tmpl[] = "/tmp/mirokata-fileio-XXXXXX";
    dir_ = mkdtemp(tmpl);
  }
  void TearDown() override { fs::remove_all(dir_); }
  std::string dir_;
};

TEST_F(FileIoTest, WriteReplacesAndKeepsMode) {
  std::string path = dir_ + "/a.txt";
  ASSERT_TRUE(WriteFileAtomic(path, "one"));
  chmod(path.c_str(), 0600);
  ASSERT_TRUE(WriteFileAtomic(path, "two"));
  std::string data;
  ASSERT_EQ(ReadWholeFile(path, &data), ReadResult::kOk);
  EXPECT_EQ(data, "two");
  struct stat st;
  stat(path.c_str(), &st);
  EXPECT_EQ(st.st_mode & 0777, 0600u);
  // No temporary file is left behind.
  EXPECT_EQ(std::distance(fs::directory_iterator(dir_), {}), 1);
}

TEST_F(FileIoTest, FailedWriteKeepsOldFileAndSaysWhy) {
  std::string error;
  EXPECT_FALSE(WriteFileAtomic(dir_ + "/missing/a.txt", "x", &error));
  EXPECT_FALSE(error.empty());
  std::string data;
  EXPECT_EQ(ReadWholeFile(dir_ + "/nothing", &data), ReadResult::kMissing);
  EXPECT_EQ(ReadWholeFile(dir_, &data), ReadResult::kUnreadable);
}

}  // namespace
}  // namespace mirokata
