#include "platform/file_io.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "support/child_run.h"

namespace mirokata {
namespace {

namespace fs = std::filesystem;

// The umask as the kernel reports it, without setting it.
int UmaskNow() {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line)) {
    if (line.rfind("Umask:", 0) == 0)
      return std::stoi(line.substr(6), nullptr, 8);
  }
  return -1;
}

int ModeOf(const std::string& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0 ? int(st.st_mode & 07777) : -1;
}

class FileIoTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char tmpl[] = "/tmp/mirokata-fileio-XXXXXX";
    dir_ = mkdtemp(tmpl);
  }
  void TearDown() override { fs::remove_all(dir_); }
  std::string Read(const std::string& path) {
    std::string data;
    EXPECT_EQ(ReadWholeFile(path, &data), ReadResult::kOk) << path;
    return data;
  }
  size_t EntriesIn(const std::string& folder) {
    return static_cast<size_t>(
        std::distance(fs::directory_iterator(folder), {}));
  }
  std::string dir_;
};

TEST_F(FileIoTest, WriteGivesExactlyTheModeAsked) {
  if (UmaskNow() < 0) GTEST_SKIP() << "no Umask in /proc/self/status";
  std::string path = dir_ + "/a.txt";
  const mode_t old_mask = ::umask(077);  // would narrow 0644 if it counted
  ASSERT_TRUE(WriteFileAtomic(path, "one", 0644));
  EXPECT_EQ(ModeOf(path), 0644);
  ::umask(0);  // would widen nothing, as nothing is left to the umask
  ASSERT_TRUE(WriteFileAtomic(path, "two", 0600));
  EXPECT_EQ(ModeOf(path), 0600);
  EXPECT_EQ(Read(path), "two");
  EXPECT_EQ(UmaskNow(), 0);
  ::umask(old_mask);
  // No temporary file is left behind.
  EXPECT_EQ(EntriesIn(dir_), 1u);
}

TEST_F(FileIoTest, FailedWriteKeepsOldFileAndSaysWhy) {
  std::string path = dir_ + "/a.txt";
  ASSERT_TRUE(WriteFileAtomic(path, "old contents", 0644));
  // The file system refuses the new contents half way (even to root): a
  // file size limit below their size.
  struct rlimit old_limit;
  ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &old_limit), 0);
  struct rlimit limit = old_limit;
  limit.rlim_cur = 4096;
  auto old_handler = signal(SIGXFSZ, SIG_IGN);
  ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &limit), 0);
  std::string error;
  const bool written =
      WriteFileAtomic(path, std::string(100000, 'n'), 0644, &error);
  setrlimit(RLIMIT_FSIZE, &old_limit);
  signal(SIGXFSZ, old_handler);
  EXPECT_FALSE(written);
  EXPECT_NE(error.find("write"), std::string::npos) << error;
  EXPECT_EQ(Read(path), "old contents");
  EXPECT_EQ(EntriesIn(dir_), 1u);  // the temporary file is gone

  // A folder that does not exist.
  error.clear();
  EXPECT_FALSE(WriteFileAtomic(dir_ + "/missing/a.txt", "x", 0644, &error));
  EXPECT_FALSE(error.empty());
  std::string data;
  EXPECT_EQ(ReadWholeFile(dir_ + "/nothing", &data), ReadResult::kMissing);
  EXPECT_EQ(ReadWholeFile(dir_, &data), ReadResult::kUnreadable);
}

TEST_F(FileIoTest, ConcurrentNewFilesGetExactlyTheirModesAndLeaveTheUmask) {
  const int mask = UmaskNow();
  if (mask < 0) GTEST_SKIP() << "no Umask in /proc/self/status";
  // The UI thread writes private files while the picture worker writes
  // public ones, each into new files.
  constexpr int kFiles = 300;
  auto writer = [&](const char* prefix, mode_t mode) {
    for (int i = 0; i < kFiles; ++i) {
      std::string path = dir_ + "/" + prefix + std::to_string(i);
      if (!WriteFileAtomic(path, prefix, mode)) ADD_FAILURE() << path;
    }
  };
  std::thread worker(writer, "public", mode_t{0644});
  writer("private", 0600);
  worker.join();
  for (int i = 0; i < kFiles; ++i) {
    ASSERT_EQ(ModeOf(dir_ + "/private" + std::to_string(i)), 0600) << i;
    ASSERT_EQ(ModeOf(dir_ + "/public" + std::to_string(i)), 0644) << i;
  }
  EXPECT_EQ(UmaskNow(), mask);
  EXPECT_EQ(int(StartupUmask()), mask);
  EXPECT_EQ(PublicFileMode(), mode_t(0666 & ~mask));
}

TEST_F(FileIoTest, ALinkStaysALinkAndItsTargetIsReplaced) {
  // mirokata.ini -> dots/link.ini -> ../store/real.ini, as a dotfile
  // manager lays them out.
  fs::create_directories(dir_ + "/home");
  fs::create_directories(dir_ + "/dots");
  fs::create_directories(dir_ + "/store");
  const std::string target = dir_ + "/store/real.ini";
  ASSERT_TRUE(WriteFileAtomic(target, "old", 0644));
  fs::create_symlink("../store/real.ini", dir_ + "/dots/link.ini");
  fs::create_symlink(dir_ + "/dots/link.ini", dir_ + "/home/mirokata.ini");
  const std::string path = dir_ + "/home/mirokata.ini";

  std::string resolved;
  ASSERT_TRUE(ResolveLinkChain(path, &resolved));
  EXPECT_EQ(fs::canonical(resolved), fs::canonical(target));
  ASSERT_TRUE(WriteFileAtomic(path, "new", 0600));
  EXPECT_TRUE(fs::is_symlink(path));
  EXPECT_TRUE(fs::is_symlink(dir_ + "/dots/link.ini"));
  EXPECT_EQ(Read(target), "new");
  EXPECT_EQ(ModeOf(target), 0600);
  EXPECT_EQ(EntriesIn(dir_ + "/home"), 1u);
  EXPECT_EQ(EntriesIn(dir_ + "/store"), 1u);

  // A dangling link creates its target; a loop is refused.
  fs::create_symlink("fresh.ini", dir_ + "/store/dangling.ini");
  ASSERT_TRUE(WriteFileAtomic(dir_ + "/store/dangling.ini", "x", 0600));
  EXPECT_EQ(Read(dir_ + "/store/fresh.ini"), "x");
  fs::create_symlink("loop2", dir_ + "/loop1");
  fs::create_symlink("loop1", dir_ + "/loop2");
  std::string error;
  EXPECT_FALSE(WriteFileAtomic(dir_ + "/loop1", "x", 0600, &error));
  EXPECT_FALSE(error.empty());
}

TEST_F(FileIoTest, AFifoIsUnreadableAtOnce) {
  const std::string path = dir_ + "/mirokata.ini";
  ASSERT_EQ(mkfifo(path.c_str(), 0600), 0);
  // The read runs in a child, so that a blocking open (no writer will ever
  // come) fails this test instead of hanging it.
  const std::optional<char> result = RunInChild([&] {
    std::string data;
    return ReadWholeFile(path, &data) == ReadResult::kUnreadable ? 'u' : 'x';
  });
  ASSERT_TRUE(result.has_value()) << "the open of a FIFO blocked";
  EXPECT_EQ(*result, 'u');
}

}  // namespace
}  // namespace mirokata
