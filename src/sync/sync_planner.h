// What one sync does, decided from three looks: the entries in the data
// folder, the state the last sync left and the server's listing (with the
// resources fetched because they are new or changed). Pure: no files, no
// network.
#ifndef MIROKATA_SYNC_SYNC_PLANNER_H_
#define MIROKATA_SYNC_SYNC_PLANNER_H_

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "sync/sync_state.h"

namespace mirokata {

struct LocalEntry {
  std::string name;
  std::string hash;  // SyncContentHash of its bytes and options
};

struct ServerItem {
  std::string href;
  std::string etag;
};

// A resource as fetched, read as an entry.
struct FetchedItem {
  std::string etag;
  std::string name;  // empty: no entry holds it
  std::string hash;  // of the entry it would write
  std::string uid;
  std::string label;
  std::string reason;
};

enum class SyncActionKind {
  kUploadNew,     // PUT If-None-Match: *
  kUpload,        // PUT If-Match: etag
  kDeleteRemote,  // DELETE If-Match: etag
  kDownload,      // write the fetched resource as the entry
  kDeleteLocal,   // delete the entry (unchanged since the last sync)
  kConflict,      // keep the server's copy aside, then PUT If-Match: etag
  kRecord,        // both sides hold the same entry: remember it
};

struct SyncAction {
  SyncActionKind kind;
  std::string name;  // entry name (the folder's spelling when it has one)
  std::string href;
  std::string etag;  // the server's, for If-Match or to remember
  std::string uid;   // the event's UID to keep
  std::string hash;  // the entry's hash afterwards, where already known
};

struct SyncPlan {
  std::vector<SyncAction> actions;
  std::vector<SyncedItem> kept;      // state items that stay as they are
  std::vector<std::string> skipped;  // "label: reason", events left alone
  std::string refused;               // why nothing at all is to be done
};

// The listed resources to fetch before planning: every one that is new
// or whose ETag moved since the last sync.
std::vector<std::string> HrefsToFetch(const SyncState& state,
                                      const std::vector<ServerItem>& listing);

// `fetched` holds what HrefsToFetch asked for (a resource missing from it
// is left as it was, to try again next time). `new_href` names the
// resource of an entry the server has never seen.
SyncPlan PlanSync(
    const std::vector<LocalEntry>& local, const SyncState& state,
    const std::vector<ServerItem>& listing,
    const std::map<std::string, FetchedItem>& fetched,
    const std::function<std::string(const std::string&)>& new_href);

// More known resources than this vanishing from the server at once looks
// like a wrong or emptied collection: nothing is deleted then.
inline constexpr size_t kMassDeleteFloor = 10;

}  // namespace mirokata

#endif  // MIROKATA_SYNC_SYNC_PLANNER_H_
