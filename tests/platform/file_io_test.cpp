#include "platform/file_io.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "support/child_run.h"
#include "support/file_size_limit.h"
#include "support/rename_watch.h"

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
  std::string error;
  bool written;
  {
    FileSizeLimit limit(4096);
    ASSERT_TRUE(limit.ok());
    written = WriteFileAtomic(path, std::string(100000, 'n'), 0644, &error);
  }
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

// Both ways of making the temporaries: unnamed where the file system has
// them, hidden names where it has not.
constexpr Temporaries kBothTemporaries[] = {Temporaries::kUnnamedWhereSupported,
                                            Temporaries::kHidden};

const char* NameOf(Temporaries t) {
  return t == Temporaries::kHidden ? "hidden" : "unnamed";
}

std::vector<NewFileResult::State> StatesOf(
    const std::vector<NewFileResult>& results) {
  std::vector<NewFileResult::State> states;
  for (const NewFileResult& r : results) states.push_back(r.state);
  return states;
}

TEST_F(FileIoTest, NewFilesGetExactlyTheirModeAndNeverReplaceAName) {
  if (UmaskNow() < 0) GTEST_SKIP() << "no Umask in /proc/self/status";
  using S = NewFileResult::State;
  for (Temporaries t : kBothTemporaries) {
    SCOPED_TRACE(NameOf(t));
    const std::string folder = dir_ + "/" + NameOf(t);
    fs::create_directory(folder);
    ASSERT_TRUE(WriteFileAtomic(folder + "/taken", "mine", 0600));
    const mode_t old_mask = ::umask(077);  // would narrow 0644 if it counted
    const std::vector<NewFileResult> first = WriteNewFiles(
        folder, {{"a", "one"}, {"taken", "new"}, {"a", "two"}, {"b", ""}}, 0644,
        t);
    ::umask(0);  // would widen nothing
    const std::vector<NewFileResult> second =
        WriteNewFiles(folder, {{"c", "three"}, {"b", "again"}}, 0600, t);
    ::umask(old_mask);
    EXPECT_EQ(StatesOf(first), (std::vector<S>{S::kWritten, S::kExists,
                                               S::kExists, S::kWritten}));
    EXPECT_EQ(StatesOf(second), (std::vector<S>{S::kWritten, S::kExists}));
    EXPECT_EQ(Read(folder + "/a"), "one");
    EXPECT_EQ(Read(folder + "/taken"), "mine");
    EXPECT_EQ(Read(folder + "/b"), "");
    EXPECT_EQ(Read(folder + "/c"), "three");
    EXPECT_EQ(ModeOf(folder + "/a"), 0644);
    EXPECT_EQ(ModeOf(folder + "/b"), 0644);
    EXPECT_EQ(ModeOf(folder + "/c"), 0600);
    EXPECT_EQ(ModeOf(folder + "/taken"), 0600);
    // No temporary is left behind.
    EXPECT_EQ(EntriesIn(folder), 4u);
  }
}

TEST_F(FileIoTest, OneNewFileFailingStopsNoOther) {
  using S = NewFileResult::State;
  for (Temporaries t : kBothTemporaries) {
    SCOPED_TRACE(NameOf(t));
    const std::string folder = dir_ + "/" + NameOf(t);
    fs::create_directory(folder);
    std::vector<NewFileResult> results;
    {
      // The file system refuses the middle file half way.
      FileSizeLimit limit(4096);
      ASSERT_TRUE(limit.ok());
      const std::string big(100000, 'n');
      results = WriteNewFiles(
          folder, {{"before", "x"}, {"big", big}, {"after", "y"}}, 0644, t);
    }
    EXPECT_EQ(StatesOf(results),
              (std::vector<S>{S::kWritten, S::kFailed, S::kWritten}));
    EXPECT_NE(results[1].error.find("write"), std::string::npos)
        << results[1].error;
    EXPECT_EQ(Read(folder + "/before"), "x");
    EXPECT_EQ(Read(folder + "/after"), "y");
    EXPECT_FALSE(fs::exists(folder + "/big"));
    EXPECT_EQ(EntriesIn(folder), 2u);  // its temporary is gone

    // Names that would reach out of the folder or name it.
    fs::create_directory(folder + "/sub");
    results = WriteNewFiles(
        folder + "/sub",
        {{"../out", "x"}, {"", "x"}, {".", "x"}, {"..", "x"}, {"in", "y"}},
        0644, t);
    EXPECT_EQ(StatesOf(results),
              (std::vector<S>{S::kFailed, S::kFailed, S::kFailed, S::kFailed,
                              S::kWritten}));
    EXPECT_FALSE(fs::exists(folder + "/out"));
    EXPECT_EQ(EntriesIn(folder + "/sub"), 1u);
    fs::remove_all(folder + "/sub");

    // Descriptors for the folder and one file only: each file is named
    // before the next opens.
    // (The listing of /proc/self/fd counts its own.)
    const size_t open_now = EntriesIn("/proc/self/fd") - 1;
    struct rlimit old_limit;
    ASSERT_EQ(getrlimit(RLIMIT_NOFILE, &old_limit), 0);
    struct rlimit low = old_limit;
    low.rlim_cur = open_now + 2;
    ASSERT_EQ(setrlimit(RLIMIT_NOFILE, &low), 0);
    std::vector<NewFile> many;
    std::vector<std::string> names;
    for (int i = 0; i < 20; ++i) names.push_back("n" + std::to_string(i));
    for (const std::string& n : names) many.push_back({n, n});
    results = WriteNewFiles(folder, many, 0644, t);
    setrlimit(RLIMIT_NOFILE, &old_limit);
    for (size_t i = 0; i < names.size(); ++i) {
      EXPECT_EQ(results[i].state, S::kWritten) << i << " " << results[i].error;
      EXPECT_EQ(Read(folder + "/" + names[i]), names[i]);
    }
  }

  // A folder that does not exist fails every file, saying why.
  const std::vector<NewFileResult> missing =
      WriteNewFiles(dir_ + "/missing", {{"a", "x"}, {"b", "y"}}, 0644);
  EXPECT_EQ(StatesOf(missing), (std::vector<S>{S::kFailed, S::kFailed}));
  EXPECT_FALSE(missing[1].error.empty());
}

// The first file a reader would list that is not whole with its mode, or
// a temporary where none may be left ("" when there is none).
std::string FirstTornFile(const std::string& folder,
                          const std::vector<std::string>& contents, mode_t mode,
                          bool temporaries_allowed) {
  for (const fs::directory_entry& e : fs::directory_iterator(folder)) {
    const std::string name = e.path().filename().string();
    if (name[0] == '.') {
      // A named temporary; no reader lists it.
      if (!temporaries_allowed) return name;
      continue;
    }
    std::string data;
    struct stat st;
    if (ReadWholeFile(e.path().string(), &data, &st) != ReadResult::kOk ||
        data != contents[std::stoul(name.substr(1))] ||
        (st.st_mode & 07777) != mode) {
      return name;
    }
  }
  return "";
}

// A file changed (written or its mode set) after it got its name, as the
// folder's events tell; "" when there is none.
std::string FirstChangedAfterNamed(RenameWatch& watch) {
  std::set<std::string> named;
  for (const RenameWatch::Event& e : watch.TakeEvents()) {
    // Hidden temporaries are no reader's business.
    if ((e.mask & (IN_CREATE | IN_MOVED_TO)) && e.name[0] != '.') {
      named.insert(e.name);
    }
    if ((e.mask & (IN_MODIFY | IN_ATTRIB)) && named.count(e.name)) {
      return e.name;
    }
  }
  return "";
}

// New files appear whole with their mode or not at all, whenever a reader
// looks and whenever a kill comes, and leave nothing else a reader would
// list.
TEST_F(FileIoTest, NewFilesAppearWholeOrNotAtAllEvenWhenKilled) {
  // Few descriptors, so that a few files already make several groups.
  struct rlimit old_limit;
  ASSERT_EQ(getrlimit(RLIMIT_NOFILE, &old_limit), 0);
  struct rlimit low = old_limit;
  low.rlim_cur = EntriesIn("/proc/self/fd") + 60;
  ASSERT_EQ(setrlimit(RLIMIT_NOFILE, &low), 0);
  constexpr int kFiles = 80;
  std::vector<std::string> names, contents;
  for (int i = 0; i < kFiles; ++i) {
    names.push_back("f" + std::to_string(i));
    // Distinct, and long enough for a kill to catch a write half way.
    contents.push_back(std::string(65536, char('a' + i % 26)) + names.back());
  }
  std::vector<NewFile> files;
  for (int i = 0; i < kFiles; ++i) files.push_back({names[i], contents[i]});

  for (Temporaries t : kBothTemporaries) {
    SCOPED_TRACE(NameOf(t));
    const bool hidden = t == Temporaries::kHidden;
    // A whole run, watched from start to end; its time spreads the kills
    // of the later ones over a run.
    const std::string whole_run = dir_ + "/whole-" + NameOf(t);
    fs::create_directory(whole_run);
    RenameWatch watch(whole_run, IN_MODIFY | IN_ATTRIB);
    ASSERT_TRUE(watch.ok());
    const auto start = std::chrono::steady_clock::now();
    WriteNewFiles(whole_run, files, 0640, t);
    const auto whole = std::chrono::steady_clock::now() - start;
    EXPECT_EQ(FirstChangedAfterNamed(watch), "");
    EXPECT_EQ(FirstTornFile(whole_run, contents, 0640, false), "");
    EXPECT_EQ(EntriesIn(whole_run), size_t{kFiles});

    for (int tenth : {2, 5, 8}) {
      SCOPED_TRACE(tenth);
      const std::string folder =
          dir_ + "/killed-" + NameOf(t) + std::to_string(tenth);
      fs::create_directory(folder);
      const pid_t child = fork();
      ASSERT_GE(child, 0);
      if (child == 0) {
        WriteNewFiles(folder, files, 0640, t);
        _exit(0);
      }
      std::this_thread::sleep_for(whole * tenth / 10);
      kill(child, SIGKILL);
      waitpid(child, nullptr, 0);
      EXPECT_EQ(FirstTornFile(folder, contents, 0640, hidden), "");
    }
  }
  setrlimit(RLIMIT_NOFILE, &old_limit);
}

}  // namespace
}  // namespace mirokata
