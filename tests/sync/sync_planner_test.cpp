#include "sync/sync_planner.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace mirokata {
namespace {

using K = SyncActionKind;

std::string NewHref(const std::string& name) { return "new-" + name + ".ics"; }

// One entry "A" seen from three sides.
struct Case {
  const char* what;
  const char* local;     // hash, or nullptr when the entry is not there
  const char* state;     // hash last synced, or nullptr
  const char* etag;      // server ETag, or nullptr when not listed
  const char* fetched;   // hash of the fetched resource, when fetched
  std::vector<K> kinds;  // the plan's actions
};

TEST(SyncPlannerTest, OneEntryFromEverySide) {
  const Case cases[] = {
      {"unchanged", "h1", "h1", "e1", nullptr, {}},
      {"edited here", "h2", "h1", "e1", nullptr, {K::kUpload}},
      {"edited there", "h1", "h1", "e2", "h2", {K::kDownload}},
      {"edited both", "h2", "h1", "e2", "h3", {K::kConflict}},
      {"edited both alike", "h2", "h1", "e2", "h2", {K::kRecord}},
      {"new here", "h1", nullptr, nullptr, nullptr, {K::kUploadNew}},
      {"new there", nullptr, nullptr, "e1", "h1", {K::kDownload}},
      {"deleted here", nullptr, "h1", "e1", nullptr, {K::kDeleteRemote}},
      {"deleted there", "h1", "h1", nullptr, nullptr, {K::kDeleteLocal}},
      {"deleted there, edited here",
       "h2",
       "h1",
       nullptr,
       nullptr,
       {K::kUploadNew}},
      {"deleted here, edited there", nullptr, "h1", "e2", "h2", {K::kDownload}},
      {"deleted on both", nullptr, "h1", nullptr, nullptr, {}},
      // A lost state: both sides hold the entry and nothing was synced.
      {"no state, same", "h1", nullptr, "e1", "h1", {K::kRecord}},
      {"no state, differing", "h1", nullptr, "e1", "h2", {K::kConflict}},
  };
  for (const Case& c : cases) {
    std::vector<LocalEntry> local;
    if (c.local) local.push_back({"A", c.local});
    SyncState state;
    if (c.state) state.items.push_back({"a.ics", "A", "e1", c.state, "u", ""});
    std::vector<ServerItem> listing;
    if (c.etag) listing.push_back({"a.ics", c.etag});
    std::map<std::string, FetchedItem> fetched;
    const std::vector<std::string> wanted = HrefsToFetch(state, listing);
    EXPECT_EQ(!wanted.empty(), c.fetched != nullptr) << c.what;
    if (c.fetched) fetched["a.ics"] = {c.etag, "A", c.fetched, "u", "A", ""};
    const SyncPlan plan = PlanSync(local, state, listing, fetched, NewHref);
    std::vector<K> kinds;
    for (const SyncAction& a : plan.actions) kinds.push_back(a.kind);
    EXPECT_EQ(kinds, c.kinds) << c.what;
    EXPECT_TRUE(plan.skipped.empty()) << c.what;
    for (const SyncAction& a : plan.actions) {
      EXPECT_EQ(a.name, "A") << c.what;
      if (a.kind == K::kUploadNew && !c.state) {
        EXPECT_EQ(a.href, "new-A.ics");
      }
      if (a.kind == K::kUpload || a.kind == K::kConflict ||
          a.kind == K::kDeleteRemote) {
        EXPECT_EQ(a.etag, c.etag) << c.what;  // If-Match the server's copy
      }
    }
  }
}

TEST(SyncPlannerTest, NamesMatchWithoutCaseAndStateHrefWins) {
  SyncState state;
  state.items.push_back({"x.ics", "____0115.71", "e1", "h1", "u", ""});
  const SyncPlan plan =
      PlanSync({{"____0115.71", "h2"}}, state, {{"x.ics", "e1"}}, {}, NewHref);
  ASSERT_EQ(plan.actions.size(), 1u);
  EXPECT_EQ(plan.actions[0].kind, K::kUpload);
  EXPECT_EQ(plan.actions[0].href, "x.ics");
  EXPECT_EQ(plan.actions[0].uid, "u");  // the event's UID stays
}

TEST(SyncPlannerTest, EventsNoEntryHoldsAreLeftAloneAndListed) {
  SyncState state;
  state.items.push_back({"old.ics", "", "e9", "", "u9", "hourly"});
  std::map<std::string, FetchedItem> fetched;
  fetched["odd.ics"] = {"e1", "", "", "u1", "Odd", "every other hour"};
  fetched["a.ics"] = {"e2", "____0214.23", "h", "u2", "A", ""};
  fetched["b.ics"] = {"e3", "____0214.23", "h", "u3", "B", ""};
  const std::vector<ServerItem> listing = {
      {"old.ics", "e9"}, {"odd.ics", "e1"}, {"a.ics", "e2"}, {"b.ics", "e3"}};
  EXPECT_EQ(HrefsToFetch(state, listing).size(), 3u);
  const SyncPlan plan = PlanSync({}, state, listing, fetched, NewHref);
  ASSERT_EQ(plan.actions.size(), 1u);  // one download, nothing else
  EXPECT_EQ(plan.actions[0].kind, K::kDownload);
  EXPECT_EQ(plan.actions[0].href, "a.ics");
  EXPECT_EQ(plan.skipped.size(), 3u);
  EXPECT_EQ(plan.kept.size(), 3u);
  for (const SyncedItem& k : plan.kept) EXPECT_TRUE(k.name.empty());
}

TEST(SyncPlannerTest, NeverMassDeletesNorDuplicates) {
  SyncState state;
  std::vector<LocalEntry> local;
  std::vector<ServerItem> listing;
  std::map<std::string, FetchedItem> fetched;
  for (int i = 0; i < 50; ++i) {
    const std::string name =
        "____01" + std::to_string(10 + i % 20) + "." + std::to_string(10 + i);
    state.items.push_back({name + ".ics", name, "e", "h", "u", ""});
    local.push_back({name, "h"});
    listing.push_back({name + ".ics", "e"});
    fetched[name + ".ics"] = {"e", name, "h", "u", name, ""};
  }
  // The collection emptied: nothing is deleted here.
  SyncPlan plan = PlanSync(local, state, {}, {}, NewHref);
  EXPECT_FALSE(plan.refused.empty());
  EXPECT_TRUE(plan.actions.empty());
  // The state lost: the same entries are paired by content, not uploaded
  // again.
  plan = PlanSync(local, SyncState(), listing, fetched, NewHref);
  EXPECT_TRUE(plan.refused.empty());
  ASSERT_EQ(plan.actions.size(), 50u);
  EXPECT_TRUE(
      std::all_of(plan.actions.begin(), plan.actions.end(),
                  [](const SyncAction& a) { return a.kind == K::kRecord; }));
  // A resource that could not be fetched leaves its entry alone.
  SyncState one;
  one.items.push_back(state.items[0]);
  plan = PlanSync({local[0]}, one, {{listing[0].href, "e-new"}}, {}, NewHref);
  EXPECT_TRUE(plan.actions.empty());
  EXPECT_EQ(plan.kept.size(), 1u);
}

}  // namespace
}  // namespace mirokata
