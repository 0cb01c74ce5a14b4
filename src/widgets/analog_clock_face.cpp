#include "widgets/analog_clock_face.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace mirokata {
namespace {

// Halves to even, as the rest of the program rounds.
int Round(double v) { return static_cast<int>(std::nearbyint(v)); }

}  // namespace

ClockFace::ClockFace(int width, int height, bool display_text,
                     bool display_points)
    : display_text_(display_text), display_points_(display_points) {
  radius_ = std::max(0, std::min(width / 2, height / 2));
  centre_x_ = width / 2;
  centre_y_ = height / 2;
  dot_radius_ = Round(radius_ * 0.1);
  if (radius_ <= 45) {
    hour_pen_ = 2, minute_pen_ = 2;
  } else if (radius_ <= 65) {
    hour_pen_ = 3, minute_pen_ = 2;
  } else if (radius_ <= 100) {
    hour_pen_ = 5, minute_pen_ = 3;
  } else if (radius_ <= 150) {
    hour_pen_ = 6, minute_pen_ = 4;
  } else {
    hour_pen_ = 10, minute_pen_ = 6;
  }
  if (!display_text) {
    factors_ = {0.8, 0.64, 0.855, 0.93, 0.87};
  } else if (radius_ <= 60) {
    factors_ = {0.62, 0.46, 0.645, 0.745, 0.87};
  } else {
    factors_ = {0.65, 0.49, 0.695, 0.775, 0.87};
  }
  if (display_points) factors_.scale_inner += 0.04;
}

ClockPoint ClockFace::PointAt(double degrees, double factor) const {
  const double radians = degrees * std::numbers::pi * (1.0 / 180);
  return {centre_x_ + Round(std::cos(radians) * radius_ * factor),
          centre_y_ - Round(std::sin(radians) * radius_ * factor)};
}

ClockPoint ClockFace::SecondsEnd(int second) const {
  return PointAt((75 - second) * 6.0, seconds_factor());
}

ClockPoint ClockFace::MinuteEnd(int minute) const {
  return PointAt((75 - minute) * 6.0, factors_.minute);
}

double ClockFace::HourDegrees(int hour, int minute) {
  return (27 - (hour + minute / 60.0)) * 30;
}

ClockPoint ClockFace::HourEnd(int hour, int minute) const {
  return PointAt(HourDegrees(hour, minute), factors_.hour);
}

std::vector<DialMark> ClockFace::Marks() const {
  std::vector<DialMark> marks;
  for (int i = 15; i <= 74; ++i) {
    const double degrees = i * 6.0;
    const bool hour_mark = i % 5 == 0;
    const ClockPoint p = PointAt(degrees, factors_.scale_inner);
    if (display_points_) {
      if (radius_ > 135) {
        marks.push_back({DialMark::Kind::kDot, p, {}, hour_mark ? 3 : 1, 0});
      } else if (hour_mark) {
        marks.push_back({DialMark::Kind::kDot, p, {}, 1, 0});
      }
    } else if (hour_mark) {
      marks.push_back({DialMark::Kind::kLine, p,
                       PointAt(degrees, factors_.scale_outer), 0, 0});
    }
    if (display_text_ && hour_mark) {
      marks.push_back({DialMark::Kind::kNumeral,
                       PointAt(degrees, factors_.numeral),
                       {},
                       0,
                       (75 - i) / 5});
    }
  }
  return marks;
}

}  // namespace mirokata
