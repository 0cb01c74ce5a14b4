// A temporary data folder for the schedule tests.
#ifndef MIROKATA_TESTS_SCHEDULE_TEMP_FOLDER_H_
#define MIROKATA_TESTS_SCHEDULE_TEMP_FOLDER_H_

#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace mirokata::testing {

class TempFolder {
 public:
  TempFolder() {
    char tmpl[] = "/tmp/mirokata-schedule-XXXXXX";
    path_ = ::mkdtemp(tmpl);
  }
  ~TempFolder() { std::filesystem::remove_all(path_); }
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  const std::string& path() const { return path_; }
  std::string operator/(const std::string& name) const {
    return path_ + "/" + name;
  }

  void Touch(const std::string& name, const std::string& content = "x") const {
    std::ofstream(*this / name, std::ios::binary) << content;
  }
  void TouchAll(const std::vector<std::string>& names) const {
    for (const std::string& n : names) Touch(n);
  }

 private:
  std::string path_;
};

}  // namespace mirokata::testing

#endif  // MIROKATA_TESTS_SCHEDULE_TEMP_FOLDER_H_
