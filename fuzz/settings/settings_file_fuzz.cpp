// Any bytes as a settings file: reading must not crash; a batch must keep
// every key that was readable before it and that it did not touch; every
// value and section name written reads back exactly after a restart (a new
// SettingsFile), whatever Unicode it holds.
#include <strings.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "base/settings_file.h"
#include "platform/file_io.h"
#include "platform/text_codec.h"

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

bool SameName(const std::string& a, const std::string& b) {
  return strcasecmp(a.c_str(), b.c_str()) == 0;
}

// The input as valid UTF-8 without line breaks: what a value can hold.
std::string AsText(std::string_view bytes) {
  std::string out;
  size_t pos = 0;
  while (pos < bytes.size()) {
    uint32_t cp = mirokata::NextCodePoint(bytes, &pos);
    if (cp == '\r' || cp == '\n' || cp == 0) cp = ' ';
    mirokata::AppendUtf8(cp, out);
  }
  return out;
}

std::string Trimmed(const std::string& s) {
  size_t b = s.find_first_not_of(" \t");
  if (b == std::string::npos) return "";
  size_t e = s.find_last_not_of(" \t");
  return s.substr(b, e - b + 1);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using mirokata::SettingsBatch;
  using mirokata::SettingsFile;
  const std::string path = Folder() + "/mirokata.ini";
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  if (!mirokata::WriteFileAtomic(path, bytes, 0600)) abort();

  // The text codec of the file: lossless for any text.
  const std::string text = AsText(bytes.substr(0, 256));
  if (SettingsFile::DecodeText(SettingsFile::EncodeText(text)) != text) {
    abort();
  }

  SettingsFile file(path);
  auto before = file.Open();
  struct Pair {
    std::string section, key, value;
  };
  std::vector<Pair> pairs;
  const std::vector<std::string> sections = before.ListSections();
  for (const std::string& section : sections) {
    for (const std::string& key : before.ListKeys(section)) {
      pairs.push_back({section, key, before.ReadString(section, key, "")});
      before.ReadInteger(section, key, 0);
      if (pairs.size() > 200) break;
    }
  }

  // A section named by the input (as an entry path would be), one of the
  // file's own sections erased, another replaced.
  std::string named = Trimmed(text.substr(0, 40));
  std::string erased, replaced = "Replaced";
  std::vector<std::string> others;
  for (const std::string& section : sections) {
    if (!SameName(section, "Fuzz") && !SameName(section, named) &&
        !SameName(section, replaced)) {
      others.push_back(section);
    }
  }
  if (!others.empty()) erased = others[0];
  if (others.size() > 1 && !SameName(others[1], erased)) replaced = others[1];
  for (const char* fallback : {"named", "named2", "named3"}) {
    if (!named.empty() && !SameName(named, "Fuzz") &&
        !SameName(named, erased) && !SameName(named, replaced)) {
      break;
    }
    named = fallback;
  }
  const bool ok = file.Batch([&](SettingsBatch& b) {
    if (!b.WriteString("Fuzz", "key", "value\r\n[x]")) abort();
    if (!b.WriteString("Fuzz", "text", text)) abort();
    if (!b.WriteString(named, "k", text)) abort();
    // Reads in the batch see what it will write.
    if (b.ReadString("Fuzz", "text", "") != text) abort();
    if (!erased.empty()) b.EraseSection(erased);
    if (!b.ReplaceSection(replaced, {{"only", text}})) abort();
    if (b.ListKeys(replaced) != std::vector<std::string>{"only"}) abort();
  });
  if (!ok) abort();

  auto touched = [&](const std::string& section) {
    return SameName(section, "Fuzz") || SameName(section, named) ||
           SameName(section, erased) || SameName(section, replaced);
  };
  for (SettingsFile* reader : {&file, new SettingsFile(path)}) {
    auto after = reader->Open();
    if (after.ReadString("Fuzz", "key", "") != "value  [x]") abort();
    if (after.ReadString("Fuzz", "text", "") != text) abort();
    if (after.ReadString(named, "k", "") != text) abort();
    if (after.ReadString(replaced, "only", "") != text) abort();
    if (!erased.empty() && after.HasSection(erased)) abort();
    for (const Pair& p : pairs) {
      if (touched(p.section)) continue;
      if (after.ReadString(p.section, p.key, "\x01missing") != p.value) {
        abort();
      }
    }
    if (reader != &file) delete reader;
  }
  return 0;
}
