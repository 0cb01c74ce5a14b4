// What the last sync left behind: per entry its resource, the ETag the
// server gave it and a hash of the content then; events no entry can hold
// with their ETag and why; the collection's sync token. Kept in
// DataFolder/.sync/state.ini, private to the user.
#ifndef MIROKATA_SYNC_SYNC_STATE_H_
#define MIROKATA_SYNC_SYNC_STATE_H_

#include <string>
#include <vector>

namespace mirokata {

struct SyncedItem {
  std::string href;  // member name in the collection, decoded ("x.ics")
  std::string name;  // entry name; empty for an event kept on the server only
  std::string etag;
  std::string hash;    // of the entry as last synced
  std::string uid;     // the event's UID on the server
  std::string reason;  // why no entry holds it (name empty)
  bool operator==(const SyncedItem&) const = default;
};

struct SyncState {
  std::string url;    // the collection these items belong to
  std::string token;  // sync token; empty when the server has none
  std::vector<SyncedItem> items;
  bool operator==(const SyncState&) const = default;
};

enum class StateRead { kOk, kMissing, kCorrupt };

// DataFolder + "/.sync".
std::string SyncFolder(const std::string& data_folder);

// Reads the state. A missing or corrupt file gives an empty state (and
// says which): the next sync compares everything by content.
StateRead ReadSyncState(const std::string& data_folder, SyncState* state);

// Writes the state atomically, 0600, in a 0700 folder made when missing.
bool WriteSyncState(const std::string& data_folder, const SyncState& state,
                    std::string* error = nullptr);

// The text form, for the file.
std::string SyncStateText(const SyncState& state);
bool ParseSyncState(const std::string& text, SyncState* state);

}  // namespace mirokata

#endif  // MIROKATA_SYNC_SYNC_STATE_H_
