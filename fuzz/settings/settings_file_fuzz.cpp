// Any bytes as a settings file: reading must not crash, and a write must
// keep every key that was readable before it.
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <string>
#include <strings.h>
#include <vector>

#include "base/settings_file.h"
#include "platform/file_io.h"

namespace {

const std::string& Folder() {
  static const std::string folder = [] {
    char tmpl[] = "/tmp/mirokata-settings-fuzz-XXXXXX";
    const char* made = mkdtemp(tmpl);
    if (!made) abort();
    return std::string(made);
  }();
  return folder;
}

bool SameName(const std::string& a, const char* b) {
  return strcasecmp(a.c_str(), b) == 0;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using mirokata::SettingsFile;
  const std::string path = Folder() + "/mirokata.ini";
  if (!mirokata::WriteFileAtomic(
          path, std::string(reinterpret_cast<const char*>(data), size),
          0600)) {
    abort();
  }
  SettingsFile file(path);
  auto before = file.Open();
  struct Pair {
    std::string section, key, value;
  };
  std::vector<Pair> pairs;
  for (const std::string& section : before.ListSections()) {
    for (const std::string& key : before.ListKeys(section)) {
      pairs.push_back({section, key, before.ReadString(section, key, "")});
      before.ReadInteger(section, key, 0);
      if (pairs.size() > 200) break;
    }
  }
  if (!file.WriteString("Fuzz", "key", "value\r\n[x]")) abort();
  auto after = file.Open();
  if (after.ReadString("Fuzz", "key", "") != "value  [x]") abort();
  for (const Pair& p : pairs) {
    // The written key itself is the one allowed change.
    if (SameName(p.section, "Fuzz") && SameName(p.key, "key")) continue;
    if (after.ReadString(p.section, p.key, "\x01missing") != p.value) abort();
  }
  return 0;
}
