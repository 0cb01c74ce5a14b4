#include "sync/sync_run.h"

#include <sys/stat.h>

#include <QCryptographicHash>
#include <QTimer>
#include <algorithm>
#include <cerrno>
#include <memory>
#include <set>

#include "base/settings_file.h"
#include "platform/file_io.h"
#include "schedule/entry_name.h"
#include "schedule/ical_import.h"
#include "sync/multistatus.h"

namespace mirokata {

namespace {

// Names the UIDs of the program's own events, the same in every home.
constexpr char kSyncUidKey[] = "caldav";

bool MakePrivateFolder(const std::string& path) {
  if (::mkdir(path.c_str(), kPrivateFolderMode) == 0) {
    return ::chmod(path.c_str(), kPrivateFolderMode) == 0;
  }
  return errno == EEXIST;
}

bool IsSyncedName(const std::string& name) {
  const std::optional<EntryFields> f = ParseEntryName(name);
  return f && f->kind != EntryKind::kElapsedPopup && BuildEntryName(*f) == name;
}

}  // namespace

std::string SyncContentHash(const std::string& name, const std::string& content,
                            const std::optional<PopupOptions>& options) {
  QCryptographicHash hash(QCryptographicHash::Sha256);
  auto add = [&](const std::string& s) {
    hash.addData(QByteArrayView(s.data(), static_cast<qsizetype>(s.size())));
    hash.addData(QByteArrayView("\0", 1));
  };
  add(name);
  add(content);
  if (options) {
    add(std::to_string(options->closetime));
    add(options->file ? "+" + *options->file : "-");
    add(options->bitmap ? "+" + *options->bitmap : "-");
    add(std::string(options->smtp ? "1" : "0") +
        (options->wallpaper ? "1" : "0") + (options->stretch ? "1" : "0"));
    add(options->execute);
    add(options->execlose);
  }
  return hash.result().toHex().toStdString();
}

std::string SyncUid(const std::string& name) {
  return IcalUid(name, kSyncUidKey);
}

SyncRun::SyncRun(SyncJob job, QNetworkAccessManager* network, QObject* parent)
    : QObject(parent),
      job_(std::move(job)),
      folder_(job_.data_folder),
      client_(network, job_.credentials, job_.deadline_ms, this) {
  job_.export_options.folder_key = kSyncUidKey;
}

bool SyncRun::IsPopup(const std::string& name) const {
  return IsPopupClass(ClassifyEntryName(name));
}

QUrl SyncRun::UrlOf(const std::string& href) const {
  QUrl url = job_.url;
  url.setPath(CollectionPath(job_.url) + QString::fromStdString(href),
              QUrl::DecodedMode);
  return url;
}

void SyncRun::Start(std::function<void(const SyncResult&)> done) {
  done_ = std::move(done);
  running_ = true;
  result_ = SyncResult();
  if (!job_.url.isValid() || !job_.url.scheme().startsWith("http")) {
    QTimer::singleShot(0, this, [this] {
      Finish(QStringLiteral("同期先の URL が正しくありません"));
    });
    return;
  }
  ReadSyncState(job_.data_folder, &state_);
  if (state_.url != job_.url.toString().toStdString()) {
    // Another collection: compare everything by content.
    state_ = SyncState();
  }
  local_names_ = folder_.List("*");
  Discover();
  ScanSome();
}

void SyncRun::ScanSome() {
  if (!running_) return;
  // A few hundred files per turn of the event loop, while the server
  // answers: the loop never stalls over a large folder.
  constexpr size_t kFilesPerTurn = 200;
  const size_t end = std::min(local_names_.size(), scanned_ + kFilesPerTurn);
  for (; scanned_ < end; ++scanned_) {
    const std::string& name = local_names_[scanned_];
    if (!IsSyncedName(name)) continue;
    std::string content;
    if (folder_.ReadContent(name, &content) != ReadResult::kOk) continue;
    std::optional<PopupOptions> options;
    if (IsPopup(name)) {
      options = job_.settings != nullptr
                    ? ReadPopupOptions(*job_.settings, folder_.FullPath(name))
                    : PopupOptions();
    }
    local_.push_back({name, SyncContentHash(name, content, options)});
  }
  if (scanned_ < local_names_.size()) {
    QTimer::singleShot(0, this, [this] { ScanSome(); });
    return;
  }
  local_ready_ = true;
  if (fetched_ready_) Plan();
}

void SyncRun::Fail(const HttpReply& reply, const char* what) {
  QString error = reply.error;
  if (error.isEmpty()) {
    error = QStringLiteral("サーバーの応答 %1").arg(reply.status);
  }
  Finish(QString::fromUtf8(what) + ": " + error);
}

void SyncRun::Discover() {
  client_.Send(
      "PROPFIND", job_.url, {{"Depth", "0"}}, CollectionPropfindBody(),
      [this](const HttpReply& reply) {
        if (reply.status != 207) return Fail(reply, "PROPFIND");
        const Multistatus m = ReadMultistatus(reply.body, job_.url);
        if (!m.ok) {
          return Finish(QStringLiteral("PROPFIND: 読めない応答: ") + m.error);
        }
        bool calendar = false;
        for (const DavMember& member : m.members) {
          if (member.name.isEmpty() && member.calendar) calendar = true;
        }
        if (!calendar) {
          return Finish(
              QStringLiteral("カレンダーのコレクションではありません: ") +
              job_.url.toString());
        }
        server_has_tokens_ = !m.sync_token.isEmpty();
        List(server_has_tokens_);
      });
}

void SyncRun::List(bool use_token) {
  if (use_token) {
    const std::string token = state_.items.empty() ? "" : state_.token;
    client_.Send(
        "REPORT", job_.url, {{"Depth", "0"}},
        SyncCollectionBody(QString::fromStdString(token)),
        [this, token](const HttpReply& reply) {
          if (reply.status == 0 || reply.status == 401 || reply.status >= 500) {
            return Fail(reply, "REPORT");
          }
          const Multistatus m = reply.status == 207
                                    ? ReadMultistatus(reply.body, job_.url)
                                    : Multistatus();
          if (!m.ok || m.truncated || m.sync_token.isEmpty()) {
            if (!token.empty() && reply.status != 207) {
              // An expired token: everything once more.
              state_.token.clear();
              state_.items.empty() ? List(false) : List(true);
              return;
            }
            return List(false);
          }
          std::map<std::string, std::string> etags;
          if (!token.empty()) {
            for (const SyncedItem& item : state_.items) {
              etags[item.href] = item.etag;
            }
          }
          for (const DavMember& member : m.members) {
            if (member.name.isEmpty() || member.collection) continue;
            const std::string href = member.name.toStdString();
            if (member.status == 404) {
              etags.erase(href);
            } else if (member.status == 200) {
              etags[href] = member.etag.toStdString();
            }
          }
          std::vector<ServerItem> listing;
          for (auto& [href, etag] : etags) listing.push_back({href, etag});
          Listed(std::move(listing), m.sync_token);
        });
    return;
  }
  client_.Send(
      "PROPFIND", job_.url, {{"Depth", "1"}}, EtagPropfindBody(),
      [this](const HttpReply& reply) {
        if (reply.status != 207) return Fail(reply, "PROPFIND");
        const Multistatus m = ReadMultistatus(reply.body, job_.url);
        if (!m.ok) {
          return Finish(QStringLiteral("PROPFIND: 読めない応答: ") + m.error);
        }
        std::vector<ServerItem> listing;
        for (const DavMember& member : m.members) {
          if (member.name.isEmpty() || member.collection ||
              member.status != 200) {
            continue;
          }
          listing.push_back(
              {member.name.toStdString(), member.etag.toStdString()});
        }
        Listed(std::move(listing), QString());
      });
}

void SyncRun::Listed(std::vector<ServerItem> listing, QString token) {
  listing_ = std::move(listing);
  new_token_ = std::move(token);
  FetchAll();
}

void SyncRun::Lanes(size_t count,
                    std::function<void(size_t, std::function<void(bool)>)> work,
                    std::function<void(bool)> after) {
  struct Queue {
    size_t next = 0;
    size_t active = 0;
    bool ok = true;
    bool done = false;
  };
  auto queue = std::make_shared<Queue>();
  // Requests under way hold the pump; aborted ones free it.
  auto pump = std::make_shared<std::function<void()>>();
  std::weak_ptr<std::function<void()>> weak = pump;
  *pump = [this, queue, count, work, after, weak] {
    auto self = weak.lock();
    while (queue->ok && queue->next < count &&
           queue->active < static_cast<size_t>(std::max(1, job_.lanes))) {
      const size_t i = queue->next++;
      ++queue->active;
      // Through the event loop: an item done at once must not recurse.
      work(i, [this, queue, self](bool ok) {
        QTimer::singleShot(0, this, [queue, self, ok] {
          --queue->active;
          if (!ok) queue->ok = false;
          (*self)();
        });
      });
    }
    if (queue->active == 0 && (queue->next >= count || !queue->ok) &&
        !queue->done) {
      queue->done = true;
      after(queue->ok);
    }
  };
  (*pump)();
}

void SyncRun::FetchAll() {
  auto hrefs = std::make_shared<std::vector<std::string>>(
      HrefsToFetch(state_, listing_));
  Lanes(
      hrefs->size(),
      [this, hrefs](size_t i, std::function<void(bool)> next) {
        Fetch((*hrefs)[i], std::move(next));
      },
      [this](bool ok) {
        if (!ok) return;  // Finish has been called
        fetched_ready_ = true;
        if (local_ready_) Plan();
      });
}

void SyncRun::Take(const std::string& href, const HttpReply& reply) {
  Fetched f;
  f.body = reply.body;
  const IcalResourceEntry entry = ReadIcalResource(
      std::string_view(reply.body.constData(), reply.body.size()),
      job_.export_options.time_zone);
  f.item.etag = reply.etag.toStdString();
  if (f.item.etag.empty()) {
    for (const ServerItem& s : listing_) {
      if (s.href == href) f.item.etag = s.etag;
    }
  }
  f.item.name = entry.name;
  f.item.uid = entry.uid;
  f.item.label = entry.label.empty() ? href : entry.label;
  f.item.reason = entry.reason;
  f.content = entry.content;
  if (!entry.name.empty()) {
    if (IsPopup(entry.name)) f.options = entry.options.value_or(PopupOptions());
    f.item.hash = SyncContentHash(entry.name, entry.content, f.options);
  }
  fetched_[href] = std::move(f);
}

void SyncRun::Fetch(const std::string& href, std::function<void(bool)> next) {
  client_.Send("GET", UrlOf(href), {}, {},
               [this, href, next](const HttpReply& reply) {
                 if (reply.status == 404) return next(true);  // gone since
                 if (!reply.ok()) {
                   Fail(reply, "GET");
                   return next(false);
                 }
                 Take(href, reply);
                 next(true);
               });
}

void SyncRun::Plan() {
  std::map<std::string, FetchedItem> items;
  for (const auto& [href, f] : fetched_) items[href] = f.item;
  plan_ =
      PlanSync(local_, state_, listing_, items,
               [](const std::string& name) { return SyncUid(name) + ".ics"; });
  result_.skipped = plan_.skipped;
  if (!plan_.refused.empty()) {
    return Finish(QStringLiteral("同期を中止しました: ") +
                  QString::fromStdString(plan_.refused));
  }
  if (job_.dry_run) {
    for (const SyncAction& a : plan_.actions) {
      switch (a.kind) {
        case SyncActionKind::kUploadNew:
        case SyncActionKind::kUpload:
        case SyncActionKind::kDeleteRemote:
          ++result_.sent;
          break;
        case SyncActionKind::kDownload:
        case SyncActionKind::kDeleteLocal:
          ++result_.received;
          break;
        case SyncActionKind::kConflict:
          ++result_.conflicts;
          ++result_.sent;
          break;
        case SyncActionKind::kRecord:
          break;
      }
    }
    return Finish(QString());
  }
  PushAll();
}

void SyncRun::PushAll() {
  std::map<std::string, std::string> names;
  auto remote = std::make_shared<std::vector<SyncAction>>();
  for (const SyncAction& a : plan_.actions) {
    switch (a.kind) {
      case SyncActionKind::kUploadNew:
      case SyncActionKind::kUpload:
      case SyncActionKind::kConflict:
        names[a.name] = a.uid;
        remote->push_back(a);
        break;
      case SyncActionKind::kDeleteRemote:
        remote->push_back(a);
        break;
      case SyncActionKind::kRecord:
        updated_[a.href] = {a.href, a.name, a.etag, a.hash, a.uid, ""};
        break;
      case SyncActionKind::kDownload:
      case SyncActionKind::kDeleteLocal:
        local_actions_.push_back(a);
        break;
    }
  }
  if (!names.empty()) {
    for (IcalResource& r :
         ExportIcalResources(folder_, job_.settings, job_.is_holiday,
                             job_.export_options, names)) {
      resources_[r.name] = std::move(r);
    }
  }
  Lanes(
      remote->size(),
      [this, remote](size_t i, std::function<void(bool)> next) {
        Push((*remote)[i], 0, std::move(next));
      },
      [this](bool ok) {
        if (!ok) return;
        ApplyLocal();
      });
}

void SyncRun::Push(SyncAction action, int attempts,
                   std::function<void(bool)> next) {
  if (action.kind == SyncActionKind::kDeleteRemote) {
    client_.Send("DELETE", UrlOf(action.href),
                 {{"If-Match", QByteArray::fromStdString(action.etag)}}, {},
                 [this, action, next](const HttpReply& reply) {
                   if (reply.ok() || reply.status == 404) {
                     removed_.push_back(action.href);
                     ++result_.sent;
                     return next(true);
                   }
                   // Changed there meanwhile: the next sync fetches it.
                   if (reply.status == 412) return next(true);
                   Fail(reply, "DELETE");
                   next(false);
                 });
    return;
  }
  auto resource = resources_.find(action.name);
  if (resource == resources_.end()) return next(true);  // no event can hold it
  if (action.kind == SyncActionKind::kConflict) {
    auto f = fetched_.find(action.href);
    if (f != fetched_.end() && !SaveConflict(action.name, f->second.body)) {
      Finish(QStringLiteral("競合の控えを保存できません: ") +
             QString::fromStdString(action.name));
      return next(false);
    }
  }
  Headers headers = {{"Content-Type", "text/calendar; charset=utf-8"}};
  if (action.kind == SyncActionKind::kUploadNew) {
    headers.push_back({"If-None-Match", "*"});
  } else {
    headers.push_back({"If-Match", QByteArray::fromStdString(action.etag)});
  }
  const QByteArray body = QByteArray::fromStdString(resource->second.text);
  const std::string uid = resource->second.uid;
  client_.Send(
      "PUT", UrlOf(action.href), headers, body,
      [this, action, attempts, next, uid](const HttpReply& reply) {
        if (reply.ok()) {
          updated_[action.href] = {
              action.href, action.name, reply.etag.toStdString(),
              action.hash, uid,         ""};
          ++result_.sent;
          if (action.kind == SyncActionKind::kConflict) ++result_.conflicts;
          return next(true);
        }
        if (reply.status != 412) {
          Fail(reply, "PUT");
          return next(false);
        }
        if (attempts > 0) return next(true);  // again next time
        // Someone wrote it meanwhile: fetch theirs, then the conflict
        // rule.
        client_.Send(
            "GET", UrlOf(action.href), {}, {},
            [this, action, next](const HttpReply& got) {
              SyncAction again = action;
              if (got.status == 404) {
                again.kind = SyncActionKind::kUploadNew;
                return Push(again, 1, next);
              }
              if (!got.ok()) {
                Fail(got, "GET");
                return next(false);
              }
              Take(action.href, got);
              const Fetched& f = fetched_[action.href];
              if (f.item.hash == action.hash) {
                updated_[action.href] = {action.href, action.name, f.item.etag,
                                         action.hash, f.item.uid,  ""};
                return next(true);
              }
              again.kind = SyncActionKind::kConflict;
              again.etag = f.item.etag;
              if (!f.item.uid.empty() &&
                  f.item.uid != resources_[action.name].uid) {
                // A resource keeps its UID.
                for (IcalResource& r : ExportIcalResources(
                         folder_, job_.settings, job_.is_holiday,
                         job_.export_options, {{action.name, f.item.uid}})) {
                  resources_[r.name] = std::move(r);
                }
              }
              Push(again, 1, next);
            });
      });
}

bool SyncRun::SaveConflict(const std::string& name, const QByteArray& body) {
  const std::string sync = SyncFolder(job_.data_folder);
  const std::string folder = sync + "/conflicts";
  if (!MakePrivateFolder(sync) || !MakePrivateFolder(folder)) return false;
  const std::string stamp =
      job_.now().toString("yyyyMMdd-HHmmss").toStdString();
  std::string path = folder + "/" + name + "." + stamp + ".ics";
  for (int n = 2; ::access(path.c_str(), F_OK) == 0; ++n) {
    path = folder + "/" + name + "." + stamp + "-" + std::to_string(n) + ".ics";
  }
  if (!WriteFileAtomic(path, body.toStdString(), kPrivateFileMode)) {
    return false;
  }
  result_.conflict_files.push_back(path);
  return true;
}

void SyncRun::ApplyLocal() {
  QString error;
  for (const SyncAction& a : local_actions_) {
    if (a.kind == SyncActionKind::kDeleteLocal) {
      std::string why;
      if (folder_.Delete(a.name, job_.settings, &why)) {
        removed_.push_back(a.href);
        ++result_.received;
      } else if (error.isEmpty()) {
        error = QString::fromStdString(a.name + ": " + why);
      }
      continue;
    }
    const Fetched& f = fetched_[a.href];
    std::string why;
    if (!folder_.WriteContent(a.name, f.content, &why)) {
      if (error.isEmpty()) error = QString::fromStdString(a.name + ": " + why);
      continue;
    }
    if (f.options && job_.settings != nullptr) {
      WritePopupOptions(*job_.settings, folder_.FullPath(a.name), *f.options);
    }
    updated_[a.href] = {a.href, a.name, f.item.etag, a.hash, f.item.uid, ""};
    ++result_.received;
  }
  Finish(error.isEmpty() ? QString()
                         : QStringLiteral("書き込めない予定: ") + error);
}

void SyncRun::Finish(const QString& error) {
  if (!running_) return;
  running_ = false;
  failed_ = !error.isEmpty();
  client_.AbortAll();
  if (!job_.dry_run && (!updated_.empty() || !removed_.empty() || !failed_)) {
    // What was done stays known, whatever stopped the rest.
    SyncState next;
    next.url = job_.url.toString().toStdString();
    std::map<std::string, SyncedItem> items;
    if (failed_) {
      next.token = state_.token;
      for (const SyncedItem& item : state_.items) items[item.href] = item;
    } else {
      next.token = new_token_.toStdString();
      for (const SyncedItem& item : plan_.kept) items[item.href] = item;
      // Actions left undone keep what was known of them.
      for (const SyncAction& a : plan_.actions) {
        if (updated_.count(a.href)) continue;
        for (const SyncedItem& item : state_.items) {
          if (item.href == a.href) items[item.href] = item;
        }
      }
    }
    for (const std::string& href : removed_) items.erase(href);
    for (const auto& [href, item] : updated_) items[href] = item;
    for (auto& [href, item] : items) next.items.push_back(std::move(item));
    std::string why;
    if (!WriteSyncState(job_.data_folder, next, &why) && !failed_) {
      failed_ = true;
      result_.error = QStringLiteral("同期の記録を保存できません: ") +
                      QString::fromStdString(why);
    }
  }
  result_.ok = !failed_;
  if (!error.isEmpty()) result_.error = error;
  result_.finished = job_.now();
  auto done = std::move(done_);
  const SyncResult result = result_;
  if (done) done(result);
}

}  // namespace mirokata
