// A settings file and a data folder in a fresh temporary folder, for the
// month grid and day panel tests.
#ifndef MIROKATA_TESTS_MAINWIN_MONTH_GRID_FIXTURE_H_
#define MIROKATA_TESTS_MAINWIN_MONTH_GRID_FIXTURE_H_

#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "base/settings_file.h"
#include "calendar/holidays.h"
#include "schedule/entry_files.h"

namespace mirokata::testing {

class GridFolders {
 public:
  GridFolders() {
    char tmpl[] = "/tmp/mirokata-grid-XXXXXX";
    root_ = ::mkdtemp(tmpl);
    data_ = root_ + "/Schedule";
    std::filesystem::create_directory(data_);
    settings_ = std::make_unique<SettingsFile>(root_ + "/mirokata.ini");
  }
  ~GridFolders() { std::filesystem::remove_all(root_); }
  GridFolders(const GridFolders&) = delete;
  GridFolders& operator=(const GridFolders&) = delete;

  SettingsFile& settings() { return *settings_; }
  const std::string& data() const { return data_; }

  // The holiday rules of the list with the default entries, as a user who
  // switched the law mode off has them.
  void UseListRules() {
    EnsureDefaultHolidays(*settings_);
    settings_->WriteBool(kCalendarExSection, kHolidayLawKey, false);
  }
  void ChooseDataFolder() {
    settings_->WriteString("Calendar", "Directory", data_);
  }
  void Put(const std::string& name, const std::string& content = "x") const {
    std::ofstream(data_ + "/" + name, std::ios::binary) << content;
  }
  void PutAll(const std::vector<std::string>& names) const {
    for (const std::string& n : names) Put(n, n);
  }

 private:
  std::string root_;
  std::string data_;
  std::unique_ptr<SettingsFile> settings_;
};

}  // namespace mirokata::testing

#endif  // MIROKATA_TESTS_MAINWIN_MONTH_GRID_FIXTURE_H_
