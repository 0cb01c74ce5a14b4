// Doubles for the single-instance lock, hot key, tray, screen and power.
#ifndef MIROKATA_PLATFORM_TESTING_FAKE_DESKTOP_H_
#define MIROKATA_PLATFORM_TESTING_FAKE_DESKTOP_H_

#include <array>
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/hot_key.h"
#include "platform/power.h"
#include "platform/screen.h"
#include "platform/single_instance.h"
#include "platform/tray.h"

namespace mirokata {

class FakeSingleInstance : public SingleInstance {
 public:
  // Pretends another copy holds the lock.
  void SetOtherInstanceRunning(bool running) { other_running_ = running; }
  bool TryAcquire() override {
    held_ = held_ || !other_running_;
    return held_;
  }
  void Release() override { held_ = false; }
  bool held() const { return held_; }

 private:
  bool other_running_ = false;
  bool held_ = false;
};

class FakeHotKey : public HotKey {
 public:
  bool Register(HotKeyChord chord, std::function<void()> pressed) override;
  void Unregister() override;
  // Whether Register succeeds (true unless set).
  void SetRegisterResult(bool result) { register_result_ = result; }
  // The chord currently grabbed, if any.
  std::optional<HotKeyChord> chord() const { return chord_; }
  // Simulates a press; false when nothing is registered.
  bool Press();

 private:
  bool register_result_ = true;
  std::optional<HotKeyChord> chord_;
  std::function<void()> pressed_;
};

class FakeTray : public Tray {
 public:
  struct Icon {
    bool visible = false;
    std::string hint;
    QMenu* menu = nullptr;
    int icon_set_count = 0;
    std::function<void()> click, double_click, right_click;
  };

  void SetAvailable(bool available) { available_ = available; }
  bool Available() const override { return available_; }
  void SetIcon(TrayIconId id, const QIcon&) override {
    ++icon(id).icon_set_count;
  }
  void SetHint(TrayIconId id, const std::string& hint) override {
    icon(id).hint = hint;
  }
  void SetMenu(TrayIconId id, QMenu* menu) override { icon(id).menu = menu; }
  void SetVisible(TrayIconId id, bool visible) override {
    icon(id).visible = visible;
  }
  bool IsVisible(TrayIconId id) const override { return icon(id).visible; }
  void OnClick(TrayIconId id, std::function<void()> h) override {
    icon(id).click = std::move(h);
  }
  void OnDoubleClick(TrayIconId id, std::function<void()> h) override {
    icon(id).double_click = std::move(h);
  }
  void OnRightClick(TrayIconId id, std::function<void()> h) override {
    icon(id).right_click = std::move(h);
  }

  // Simulated user actions; each returns false when no handler is set.
  bool Click(TrayIconId id) { return Fire(icon(id).click); }
  bool DoubleClick(TrayIconId id) { return Fire(icon(id).double_click); }
  bool RightClick(TrayIconId id) { return Fire(icon(id).right_click); }

  Icon& icon(TrayIconId id) { return icons_[static_cast<int>(id)]; }
  const Icon& icon(TrayIconId id) const { return icons_[static_cast<int>(id)]; }

 private:
  static bool Fire(const std::function<void()>& f) {
    if (!f) return false;
    f();
    return true;
  }
  bool available_ = true;
  std::array<Icon, 2> icons_;
};

// A 1920 x 1080 screen with a 32-pixel panel at the bottom unless set.
class FakeScreen : public Screen {
 public:
  void SetGeometry(ScreenRect full, ScreenRect available) {
    full_ = full;
    available_ = available;
    others_.clear();
  }
  // Screens beside the primary one, by their available geometry.
  void SetOtherScreens(std::vector<ScreenRect> others) {
    others_ = std::move(others);
  }
  ScreenRect Geometry() const override { return full_; }
  ScreenRect AvailableGeometry() const override { return available_; }
  ScreenRect AvailableGeometryAt(int x, int y) const override {
    for (const ScreenRect& s : others_) {
      if (x >= s.x && x < s.x + s.width && y >= s.y && y < s.y + s.height) {
        return s;
      }
    }
    return available_;
  }
  std::vector<ScreenRect> AvailableGeometries() const override {
    std::vector<ScreenRect> all{available_};
    all.insert(all.end(), others_.begin(), others_.end());
    return all;
  }

 private:
  ScreenRect full_{0, 0, 1920, 1080};
  ScreenRect available_{0, 0, 1920, 1048};
  std::vector<ScreenRect> others_;
};

class FakePower : public Power {
 public:
  // `done` is called at once with this answer (true unless set).
  void SetAccepted(bool accepted) { accepted_ = accepted; }
  void Request(PowerAction action,
               std::function<void(bool)> done = {}) override {
    requests_.push_back(action);
    if (done) done(accepted_);
  }
  const std::vector<PowerAction>& requests() const { return requests_; }

 private:
  bool accepted_ = true;
  std::vector<PowerAction> requests_;
};

}  // namespace mirokata

#endif  // MIROKATA_PLATFORM_TESTING_FAKE_DESKTOP_H_
