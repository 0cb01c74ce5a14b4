// A fresh temporary folder per test, removed afterwards.
#ifndef MIROKATA_TESTS_SUPPORT_TEMP_FOLDER_H_
#define MIROKATA_TESTS_SUPPORT_TEMP_FOLDER_H_

#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace mirokata {

class TempFolder {
 public:
  TempFolder() {
    std::string templ =
        (std::filesystem::temp_directory_path() / "mirokata-test-XXXXXX")
            .string();
    path_ = ::mkdtemp(templ.data());
  }
  ~TempFolder() {
    // A test may have taken the write bit away to provoke a failure.
    std::error_code ec;
    std::filesystem::permissions(path_, std::filesystem::perms::owner_all,
                                 std::filesystem::perm_options::add, ec);
    std::filesystem::remove_all(path_, ec);
  }
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

}  // namespace mirokata

#endif  // MIROKATA_TESTS_SUPPORT_TEMP_FOLDER_H_
