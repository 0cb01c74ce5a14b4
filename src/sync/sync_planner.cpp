#include "sync/sync_planner.h"

#include <QString>
#include <set>

namespace mirokata {

namespace {

// Entry names match without regard to letter case.
std::string Key(const std::string& name) {
  return QString::fromStdString(name).toLower().toStdString();
}

}  // namespace

std::vector<std::string> HrefsToFetch(const SyncState& state,
                                      const std::vector<ServerItem>& listing) {
  std::map<std::string, const SyncedItem*> known;
  for (const SyncedItem& item : state.items) known[item.href] = &item;
  std::vector<std::string> out;
  for (const ServerItem& s : listing) {
    auto it = known.find(s.href);
    if (it == known.end() || it->second->etag != s.etag || s.etag.empty()) {
      out.push_back(s.href);
    }
  }
  return out;
}

SyncPlan PlanSync(
    const std::vector<LocalEntry>& local, const SyncState& state,
    const std::vector<ServerItem>& listing,
    const std::map<std::string, FetchedItem>& fetched,
    const std::function<std::string(const std::string&)>& new_href) {
  SyncPlan plan;
  std::map<std::string, const LocalEntry*> locals;
  for (const LocalEntry& e : local) locals[Key(e.name)] = &e;
  std::map<std::string, const SyncedItem*> by_href;
  std::map<std::string, const SyncedItem*> by_name;
  for (const SyncedItem& item : state.items) {
    by_href[item.href] = &item;
    if (!item.name.empty()) by_name[Key(item.name)] = &item;
  }

  // The server side of each entry name.
  struct Remote {
    const ServerItem* item = nullptr;
    const FetchedItem* fetched = nullptr;  // null: unchanged since last sync
    const SyncedItem* was = nullptr;       // state of that href
  };
  std::map<std::string, Remote> remote;
  std::set<std::string> listed;
  size_t vanished = 0;
  for (const ServerItem& s : listing) listed.insert(s.href);
  for (const SyncedItem& item : state.items) {
    if (!listed.count(item.href)) ++vanished;
  }
  if (vanished > kMassDeleteFloor && vanished == state.items.size()) {
    plan.refused =
        "every known event is gone from the server; nothing is deleted";
    return plan;
  }
  for (const ServerItem& s : listing) {
    auto st = by_href.find(s.href);
    const SyncedItem* was = st != by_href.end() ? st->second : nullptr;
    Remote r{&s, nullptr, was};
    std::string name;
    if (was != nullptr && was->etag == s.etag && !s.etag.empty()) {
      if (was->name.empty()) {
        plan.kept.push_back(*was);
        plan.skipped.push_back(s.href + ": " + was->reason);
        continue;
      }
      name = was->name;
    } else {
      auto f = fetched.find(s.href);
      if (f == fetched.end()) {
        if (was != nullptr) plan.kept.push_back(*was);  // next time
        // Its entry must not look deleted on the server meanwhile.
        if (was != nullptr && !was->name.empty()) {
          remote[Key(was->name)] = Remote{nullptr, nullptr, was};
        }
        continue;
      }
      if (f->second.name.empty()) {
        plan.kept.push_back(
            {s.href, "", f->second.etag, "", f->second.uid, f->second.reason});
        plan.skipped.push_back(f->second.label + ": " + f->second.reason);
        continue;
      }
      r.fetched = &f->second;
      name = f->second.name;
    }
    auto [it, fresh] = remote.emplace(Key(name), r);
    if (!fresh) {
      // Two events claim one entry: the one synced before (else the
      // first) holds it, the other is left alone.
      const bool swap = it->second.item != nullptr &&
                        it->second.was == nullptr && was != nullptr &&
                        was->name == name;
      const Remote& loser = swap ? it->second : r;
      const std::string label =
          loser.fetched ? loser.fetched->label : loser.item->href;
      plan.skipped.push_back(label + ": another event holds entry " + name);
      plan.kept.push_back({loser.item->href, "", loser.item->etag, "",
                           loser.fetched ? loser.fetched->uid : "",
                           "another event holds entry " + name});
      if (swap) it->second = r;
    }
  }

  std::set<std::string> names;
  for (const auto& [key, e] : locals) names.insert(key);
  for (const auto& [key, r] : remote) names.insert(key);
  for (const auto& [key, item] : by_name) names.insert(key);
  for (const std::string& key : names) {
    auto l_it = locals.find(key);
    const LocalEntry* l = l_it != locals.end() ? l_it->second : nullptr;
    auto r_it = remote.find(key);
    const Remote* r = r_it != remote.end() ? &r_it->second : nullptr;
    if (r != nullptr && r->item == nullptr) continue;  // not fetched
    const SyncedItem* s = nullptr;
    if (r != nullptr && r->was != nullptr && !r->was->name.empty()) {
      s = r->was;
    } else if (auto n = by_name.find(key); n != by_name.end()) {
      s = n->second;
      // Known under another href that is still listed: that one decides.
      if (r != nullptr && s->href != r->item->href && listed.count(s->href)) {
        continue;
      }
    }
    const std::string name =
        l != nullptr ? l->name
                     : (r != nullptr && r->fetched ? r->fetched->name
                                                   : (s ? s->name : key));
    const std::string uid =
        r != nullptr && r->fetched ? r->fetched->uid : (s ? s->uid : "");
    auto add = [&](SyncActionKind kind, const std::string& href,
                   const std::string& etag, const std::string& hash) {
      plan.actions.push_back({kind, name, href, etag, uid, hash});
    };
    if (l != nullptr && r != nullptr) {
      const std::string& etag = r->item->etag;
      const std::string& href = r->item->href;
      const bool same_resource = s != nullptr && s->href == href;
      if (same_resource && r->fetched == nullptr) {
        // The server's copy is as synced last.
        if (l->hash == s->hash) {
          plan.kept.push_back(*s);
        } else {
          add(SyncActionKind::kUpload, href, etag, l->hash);
        }
        continue;
      }
      // The server's copy changed, or was never paired with this entry.
      if (r->fetched->hash == l->hash) {
        add(SyncActionKind::kRecord, href, etag, l->hash);
      } else if (same_resource && l->hash == s->hash) {
        add(SyncActionKind::kDownload, href, etag, r->fetched->hash);
      } else {
        add(SyncActionKind::kConflict, href, etag, l->hash);
      }
    } else if (l != nullptr) {
      if (s == nullptr) {
        add(SyncActionKind::kUploadNew, new_href(l->name), "", l->hash);
      } else if (l->hash == s->hash) {
        add(SyncActionKind::kDeleteLocal, s->href, s->etag, s->hash);
      } else {
        // Deleted there, edited here: the edit wins.
        add(SyncActionKind::kUploadNew, s->href, "", l->hash);
      }
    } else if (r != nullptr) {
      const bool same_resource = s != nullptr && s->href == r->item->href;
      if (same_resource && r->fetched == nullptr) {
        add(SyncActionKind::kDeleteRemote, r->item->href, r->item->etag, "");
      } else {
        // New there, or deleted here and edited there: the edit wins.
        add(SyncActionKind::kDownload, r->item->href, r->item->etag,
            r->fetched->hash);
      }
    }
    // Gone on both sides: forgotten.
  }
  return plan;
}

}  // namespace mirokata
