// A data folder of generated entry files under /tmp for the benchmarks of
// this folder: written once per run, removed at exit.
#ifndef MIROKATA_BENCH_SCHEDULE_GENERATED_FOLDER_H_
#define MIROKATA_BENCH_SCHEDULE_GENERATED_FOLDER_H_

#include <stdlib.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <set>
#include <string>
#include <thread>

namespace mirokata {

class GeneratedFolder {
 public:
  // root/data holds one small rich-text file per name.
  explicit GeneratedFolder(const std::set<std::string>& names) {
    char tmpl[] = "/tmp/mirokata-bench-entries-XXXXXX";
    root_ = ::mkdtemp(tmpl);
    path_ = root_ + "/data";
    std::filesystem::create_directory(path_);
    for (const std::string& n : names) {
      std::ofstream(path_ + "/" + n) << "{\\rtf1\\ansi " << n << "\\par}";
    }
    // A folder that has not changed for a while: past the two seconds in
    // which its timestamps could still hide a change.
    std::this_thread::sleep_for(std::chrono::milliseconds(2100));
  }
  ~GeneratedFolder() { std::filesystem::remove_all(root_); }
  GeneratedFolder(const GeneratedFolder&) = delete;
  GeneratedFolder& operator=(const GeneratedFolder&) = delete;

  const std::string& root() const { return root_; }
  const std::string& path() const { return path_; }

 private:
  std::string root_, path_;
};

}  // namespace mirokata

#endif  // MIROKATA_BENCH_SCHEDULE_GENERATED_FOLDER_H_
