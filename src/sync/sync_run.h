// One sync of the data folder with a CalDAV collection, from start to
// result: discovery (PROPFIND Depth 0), the changes (REPORT sync-collection
// when the server has sync tokens, else PROPFIND Depth 1), the new and
// changed resources (GET), the plan, the server's side (PUT, DELETE), then
// the folder's side and the state. Driven by the event loop; nothing waits.
// A failure on the way (5xx, a dropped connection, 401/403) ends the run
// before any entry is touched; the next run starts again from the state.
#ifndef MIROKATA_SYNC_SYNC_RUN_H_
#define MIROKATA_SYNC_SYNC_RUN_H_

#include <QDateTime>
#include <QNetworkAccessManager>
#include <QObject>
#include <QString>
#include <QUrl>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "schedule/entry_files.h"
#include "schedule/entry_match.h"
#include "schedule/ical_export.h"
#include "sync/caldav_client.h"
#include "sync/sync_planner.h"
#include "sync/sync_state.h"

namespace mirokata {

class SettingsFile;

struct SyncResult {
  bool ok = false;
  QString error;
  int sent = 0;
  int received = 0;
  int conflicts = 0;
  std::vector<std::string> skipped;  // events left on the server
  std::vector<std::string> conflict_files;
  QDateTime finished;
};

struct SyncJob {
  QUrl url;  // the calendar collection
  SyncCredentials credentials;
  std::string data_folder;
  SettingsFile* settings = nullptr;  // popup options; may be null
  HolidayTest is_holiday;
  IcalExportOptions export_options;  // folder_key is set by the run
  bool dry_run = false;
  int deadline_ms = 60000;
  int lanes = 4;  // requests under way at once
  std::function<QDateTime()> now = [] { return QDateTime::currentDateTime(); };
};

// The hash of an entry as the sync compares it: name, bytes and (for a
// popup) options.
std::string SyncContentHash(const std::string& name, const std::string& content,
                            const std::optional<PopupOptions>& options);

// The UID and resource name of an entry the server has not seen yet; the
// same on every computer, so two homes creating one entry meet.
std::string SyncUid(const std::string& name);

class SyncRun : public QObject {
 public:
  SyncRun(SyncJob job, QNetworkAccessManager* network,
          QObject* parent = nullptr);

  // Starts; `done` is called once, from the event loop.
  void Start(std::function<void(const SyncResult&)> done);
  bool running() const { return running_; }

 private:
  struct Fetched {
    FetchedItem item;
    QByteArray body;
    std::string content;
    std::optional<PopupOptions> options;
  };

  void ScanSome();
  void Discover();
  void List(bool use_token);
  void Listed(std::vector<ServerItem> listing, QString token);
  void FetchAll();
  void Fetch(const std::string& href, std::function<void(bool)> next);
  void Take(const std::string& href, const HttpReply& reply);
  void Plan();
  void PushAll();
  void Push(SyncAction action, int attempts, std::function<void(bool)> next);
  void ApplyLocal();
  void Finish(const QString& error);
  void Fail(const HttpReply& reply, const char* what);

  QUrl UrlOf(const std::string& href) const;
  bool SaveConflict(const std::string& name, const QByteArray& body);
  bool IsPopup(const std::string& name) const;
  // Runs `work` over the items with up to job_.lanes at once, then
  // `after` (with false when any item failed).
  void Lanes(size_t count,
             std::function<void(size_t, std::function<void(bool)>)> work,
             std::function<void(bool)> after);

  SyncJob job_;
  EntryFolder folder_;
  CalDavClient client_;
  std::function<void(const SyncResult&)> done_;
  bool running_ = false;
  bool failed_ = false;
  SyncState state_;
  QString new_token_;
  bool server_has_tokens_ = false;
  std::vector<std::string> local_names_;
  size_t scanned_ = 0;
  bool local_ready_ = false;
  bool fetched_ready_ = false;
  std::vector<LocalEntry> local_;
  std::vector<ServerItem> listing_;
  std::map<std::string, Fetched> fetched_;
  SyncPlan plan_;
  std::map<std::string, IcalResource> resources_;  // by entry name
  std::map<std::string, SyncedItem> updated_;      // by href
  std::vector<std::string> removed_;               // hrefs gone
  std::vector<SyncAction> local_actions_;
  SyncResult result_;
};

}  // namespace mirokata

#endif  // MIROKATA_SYNC_SYNC_RUN_H_
