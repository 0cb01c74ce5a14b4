// A fresh temporary folder per test, removed afterwards.
#ifndef MIROKATA_TESTS_APP_TEMP_FOLDER_H_
#define MIROKATA_TESTS_APP_TEMP_FOLDER_H_

#include <cstdlib>
#include <filesystem>
#include <string>

namespace mirokata {

class TempFolder {
 public:
  TempFolder() {
    std::string templ =
        (std::filesystem::temp_directory_path() / "mirokata-app-XXXXXX")
            .string();
    path_ = mkdtemp(templ.data());
  }
  ~TempFolder() {
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

 private:
  std::string path_;
};

}  // namespace mirokata

#endif  // MIROKATA_TESTS_APP_TEMP_FOLDER_H_
