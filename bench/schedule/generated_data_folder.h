// A generated data folder with a settings file beside it, in a temporary
// folder of its own that goes when the benchmark ends.
#ifndef MIROKATA_BENCH_SCHEDULE_GENERATED_DATA_FOLDER_H_
#define MIROKATA_BENCH_SCHEDULE_GENERATED_DATA_FOLDER_H_

#include <stdlib.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <set>
#include <string>
#include <thread>

#include "base/settings_file.h"

namespace mirokata {

class GeneratedDataFolder {
 public:
  // One file per name with content(name) in "<root>/data", then
  // fill_settings(settings, data folder) on "<root>/mirokata.ini".
  GeneratedDataFolder(
      const std::string& tag, const std::set<std::string>& names,
      const std::function<std::string(const std::string&)>& content,
      const std::function<void(SettingsFile&, const std::string&)>&
          fill_settings) {
    std::string tmpl = "/tmp/mirokata-bench-" + tag + "-XXXXXX";
    root_ = ::mkdtemp(tmpl.data());
    path_ = root_ + "/data";
    std::filesystem::create_directory(path_);
    for (const std::string& n : names) {
      std::ofstream(path_ + "/" + n, std::ios::binary) << content(n);
    }
    settings_path_ = root_ + "/mirokata.ini";
    SettingsFile settings(settings_path_);
    fill_settings(settings, path_);
    // A folder that has not changed for a while: past the two seconds in
    // which its timestamps could still hide a change.
    std::this_thread::sleep_for(std::chrono::milliseconds(2100));
  }
  ~GeneratedDataFolder() { std::filesystem::remove_all(root_); }
  GeneratedDataFolder(const GeneratedDataFolder&) = delete;
  GeneratedDataFolder& operator=(const GeneratedDataFolder&) = delete;

  const std::string& path() const { return path_; }
  const std::string& settings_path() const { return settings_path_; }

 private:
  std::string root_, path_, settings_path_;
};

}  // namespace mirokata

#endif  // MIROKATA_BENCH_SCHEDULE_GENERATED_DATA_FOLDER_H_
