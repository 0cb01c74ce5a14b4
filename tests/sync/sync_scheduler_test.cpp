#include "sync/sync_scheduler.h"

#include <gtest/gtest.h>

#include <vector>

namespace mirokata {
namespace {

class SyncSchedulerTest : public ::testing::Test {
 protected:
  SyncScheduler scheduler_{{[this] { return enabled_; },
                            [this] { return interval_; },
                            [this] {
                              starts_.push_back(now_);
                              return true;
                            }}};
  // Ticks once a second from now_ to `until`.
  void RunTo(int64_t until) {
    for (; now_ <= until; ++now_) scheduler_.Tick(now_);
    now_ = until;
  }
  bool enabled_ = true;
  int interval_ = 15;
  int64_t now_ = 1000;
  std::vector<int64_t> starts_;
};

TEST_F(SyncSchedulerTest, StartUpThenEveryIntervalNeverTwoAtOnce) {
  RunTo(1100);
  EXPECT_TRUE(starts_.empty());  // nothing before the first paint
  scheduler_.StartUpPainted(now_);
  EXPECT_EQ(starts_, (std::vector<int64_t>{1100}));
  RunTo(1100 + 15 * 60 + 30);  // still running: no second sync
  EXPECT_EQ(starts_.size(), 1u);
  scheduler_.Finished(now_);
  RunTo(1100 + 30 * 60);
  EXPECT_EQ(starts_, (std::vector<int64_t>{1100, 1100 + 15 * 60 + 30}));
}

TEST_F(SyncSchedulerTest, ChangesStartAtMostOnceAMinute) {
  scheduler_.StartUpPainted(now_);
  scheduler_.EntriesChanged(now_ + 5);  // its own writes
  scheduler_.Finished(now_ + 10);
  RunTo(now_ + 120);
  EXPECT_EQ(starts_.size(), 1u);
  scheduler_.EntriesChanged(now_);  // 120 s after the last start: at once
  EXPECT_EQ(starts_.size(), 2u);
  scheduler_.Finished(now_ + 1);
  const int64_t second = now_;
  scheduler_.EntriesChanged(now_ + 2);
  scheduler_.EntriesChanged(now_ + 20);
  RunTo(second + 59);
  EXPECT_EQ(starts_.size(), 2u);
  RunTo(second + 61);
  EXPECT_EQ(starts_.back(), second + 60);
  EXPECT_EQ(starts_.size(), 3u);
}

TEST_F(SyncSchedulerTest, OffStartsNothingAndNowRunsOnce) {
  enabled_ = false;
  scheduler_.StartUpPainted(now_);
  scheduler_.EntriesChanged(now_);
  RunTo(now_ + 3 * 86400);
  EXPECT_TRUE(starts_.empty());
  enabled_ = true;
  EXPECT_TRUE(scheduler_.SyncNow(now_));
  EXPECT_FALSE(scheduler_.SyncNow(now_ + 1));  // one is running
  EXPECT_EQ(starts_.size(), 1u);
}

}  // namespace
}  // namespace mirokata
