#include "sync/sync_state.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <sstream>

#include "platform/file_io.h"

namespace mirokata {

namespace {

constexpr char kStateName[] = "state.ini";
constexpr size_t kMaxStateBytes = 64u << 20;

// Values stay on one line: "%", CR, LF and other control bytes as %XX.
std::string Escape(const std::string& value) {
  std::string out;
  for (unsigned char c : value) {
    if (c == '%' || c < 0x20 || c == 0x7f) {
      char hex[4];
      std::snprintf(hex, sizeof hex, "%%%02X", c);
      out += hex;
    } else {
      out += static_cast<char>(c);
    }
  }
  return out;
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

bool Unescape(std::string_view value, std::string* out) {
  out->clear();
  for (size_t i = 0; i < value.size(); ++i) {
    if (value[i] != '%') {
      *out += value[i];
      continue;
    }
    if (i + 2 >= value.size()) return false;
    const int hi = HexDigit(value[i + 1]);
    const int lo = HexDigit(value[i + 2]);
    if (hi < 0 || lo < 0) return false;
    *out += static_cast<char>(hi * 16 + lo);
    i += 2;
  }
  return true;
}

}  // namespace

std::string SyncFolder(const std::string& data_folder) {
  return data_folder + "/.sync";
}

std::string SyncStateText(const SyncState& state) {
  std::string out = "[Sync]\nVersion=1\nUrl=" + Escape(state.url) +
                    "\nToken=" + Escape(state.token) + "\n";
  for (const SyncedItem& item : state.items) {
    out += "\n[Item]\nHref=" + Escape(item.href) +
           "\nName=" + Escape(item.name) + "\nEtag=" + Escape(item.etag) +
           "\nHash=" + Escape(item.hash) + "\nUid=" + Escape(item.uid) + "\n";
    if (!item.reason.empty()) out += "Reason=" + Escape(item.reason) + "\n";
  }
  out += "\n[End]\n";
  return out;
}

bool ParseSyncState(const std::string& text, SyncState* state) {
  *state = SyncState();
  SyncState read;
  std::istringstream in(text);
  std::string line;
  enum { kNone, kSync, kItem, kEnd } section = kNone;
  bool versioned = false;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.empty()) continue;
    if (section == kEnd) return false;  // nothing after the end mark
    if (line == "[Sync]" && section == kNone) {
      section = kSync;
      continue;
    }
    if (line == "[Item]" && section != kNone) {
      if (!read.items.empty() && read.items.back().href.empty()) return false;
      section = kItem;
      read.items.emplace_back();
      continue;
    }
    if (line == "[End]" && section != kNone) {
      section = kEnd;
      continue;
    }
    const size_t eq = line.find('=');
    if (section == kNone || eq == std::string::npos) return false;
    const std::string key = line.substr(0, eq);
    std::string value;
    if (!Unescape(std::string_view(line).substr(eq + 1), &value)) return false;
    if (section == kSync) {
      if (key == "Version") {
        if (value != "1") return false;
        versioned = true;
      } else if (key == "Url") {
        read.url = value;
      } else if (key == "Token") {
        read.token = value;
      } else {
        return false;
      }
      continue;
    }
    SyncedItem& item = read.items.back();
    if (key == "Href") {
      item.href = value;
    } else if (key == "Name") {
      item.name = value;
    } else if (key == "Etag") {
      item.etag = value;
    } else if (key == "Hash") {
      item.hash = value;
    } else if (key == "Uid") {
      item.uid = value;
    } else if (key == "Reason") {
      item.reason = value;
    } else {
      return false;
    }
  }
  // A file cut short lacks its end mark.
  if (section != kEnd || !versioned) return false;
  if (!read.items.empty() && read.items.back().href.empty()) return false;
  *state = std::move(read);
  return true;
}

StateRead ReadSyncState(const std::string& data_folder, SyncState* state) {
  *state = SyncState();
  std::string text;
  const std::string path = SyncFolder(data_folder) + "/" + kStateName;
  switch (ReadFileHead(path, kMaxStateBytes + 1, &text)) {
    case ReadResult::kMissing:
      return StateRead::kMissing;
    case ReadResult::kUnreadable:
      return StateRead::kCorrupt;
    case ReadResult::kOk:
      break;
  }
  if (text.size() > kMaxStateBytes || !ParseSyncState(text, state)) {
    *state = SyncState();
    return StateRead::kCorrupt;
  }
  return StateRead::kOk;
}

bool WriteSyncState(const std::string& data_folder, const SyncState& state,
                    std::string* error) {
  const std::string folder = SyncFolder(data_folder);
  if (::mkdir(folder.c_str(), kPrivateFolderMode) == 0) {
    ::chmod(folder.c_str(), kPrivateFolderMode);  // whatever the umask
  } else if (errno != EEXIST) {
    if (error != nullptr) *error = folder + ": " + std::strerror(errno);
    return false;
  }
  return WriteFileAtomic(folder + "/" + kStateName, SyncStateText(state),
                         kPrivateFileMode, error);
}

}  // namespace mirokata
