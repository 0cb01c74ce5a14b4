// A reachability check the test answers: every request is recorded and
// stays open until Finish; a destroyed job counts as cancelled.
#ifndef MIROKATA_PLATFORM_TESTING_FAKE_REACHABILITY_H_
#define MIROKATA_PLATFORM_TESTING_FAKE_REACHABILITY_H_

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "platform/ping.h"

namespace mirokata {

class FakeReachability : public Reachability {
 public:
  struct Request {
    std::string host;
    std::function<void(const PingOutcome&)> done;
    bool cancelled = false;
    bool finished = false;
  };

  std::unique_ptr<PingJob> Ping(
      const std::string& host,
      std::function<void(const PingOutcome&)> done) override {
    auto request = std::make_shared<Request>();
    request->host = host;
    request->done = std::move(done);
    requests_.push_back(request);
    return std::make_unique<Job>(request);
  }

  // Answers the latest request still open; false when there is none.
  bool Finish(const PingOutcome& outcome) {
    for (auto it = requests_.rbegin(); it != requests_.rend(); ++it) {
      Request& r = **it;
      if (r.cancelled || r.finished) continue;
      r.finished = true;
      auto done = std::move(r.done);
      done(outcome);
      return true;
    }
    return false;
  }

  const std::vector<std::shared_ptr<Request>>& requests() const {
    return requests_;
  }
  int open_requests() const {
    int n = 0;
    for (const auto& r : requests_) n += !r->cancelled && !r->finished;
    return n;
  }

 private:
  class Job : public PingJob {
   public:
    explicit Job(std::shared_ptr<Request> request)
        : request_(std::move(request)) {}
    ~Job() override {
      if (!request_->finished) request_->cancelled = true;
    }

   private:
    std::shared_ptr<Request> request_;
  };

  std::vector<std::shared_ptr<Request>> requests_;
};

}  // namespace mirokata

#endif  // MIROKATA_PLATFORM_TESTING_FAKE_REACHABILITY_H_
