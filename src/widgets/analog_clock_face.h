// Geometry of the analog clock: dial marks and hand ends for a size.
#ifndef MIROKATA_WIDGETS_ANALOG_CLOCK_FACE_H_
#define MIROKATA_WIDGETS_ANALOG_CLOCK_FACE_H_

#include <vector>

namespace mirokata {

enum class ClockBorder { kNone, kSingle, kRaised, kLowered };

struct ClockPoint {
  int x = 0;
  int y = 0;
  bool operator==(const ClockPoint&) const = default;
};

// Lengths as fractions of the radius.
struct ClockFactors {
  double minute = 0.8;
  double hour = 0.64;
  double scale_inner = 0.855;
  double scale_outer = 0.93;
  double numeral = 0.87;
};

// One mark of the dial.
struct DialMark {
  enum class Kind { kDot, kLine, kNumeral };
  Kind kind = Kind::kDot;
  ClockPoint at;       // dot centre, line start, numeral centre
  ClockPoint to;       // line end
  int dot_radius = 0;  // kDot: outline from at - r to at + r
  int numeral = 0;     // kNumeral: 1..12
};

class ClockFace {
 public:
  ClockFace(int width, int height, bool display_text, bool display_points);

  int radius() const { return radius_; }
  ClockPoint centre() const { return {centre_x_, centre_y_}; }
  int centre_dot_radius() const { return dot_radius_; }
  int hour_pen() const { return hour_pen_; }
  int minute_pen() const { return minute_pen_; }
  const ClockFactors& factors() const { return factors_; }
  double seconds_factor() const { return factors_.scale_inner - 0.02; }

  // The point at `degrees` (counter-clockwise from three o'clock) and
  // `factor` of the radius, rounded half to even.
  ClockPoint PointAt(double degrees, double factor) const;

  ClockPoint SecondsEnd(int second) const;
  ClockPoint MinuteEnd(int minute) const;
  ClockPoint HourEnd(int hour, int minute) const;
  static double HourDegrees(int hour, int minute);

  std::vector<DialMark> Marks() const;

 private:
  bool display_text_;
  bool display_points_;
  int radius_;
  int centre_x_;
  int centre_y_;
  int dot_radius_;
  int hour_pen_;
  int minute_pen_;
  ClockFactors factors_;
};

}  // namespace mirokata

#endif  // MIROKATA_WIDGETS_ANALOG_CLOCK_FACE_H_
