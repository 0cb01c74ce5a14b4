#include "widgets/analog_clock_face.h"

#include <gtest/gtest.h>

#include <cmath>

namespace mirokata {
namespace {

double Length(const ClockFace& f, ClockPoint p) {
  return std::hypot(p.x - f.centre().x, p.y - f.centre().y);
}

// The moon panel's clock: 70 x 70, no numerals, dots.
TEST(ClockFace, SmallClockWithDots) {
  ClockFace face(70, 70, false, true);
  EXPECT_EQ(face.radius(), 35);
  EXPECT_EQ(face.centre(), (ClockPoint{35, 35}));
  EXPECT_EQ(face.centre_dot_radius(), 4);  // 3.5 rounds to even
  EXPECT_EQ(face.hour_pen(), 2);
  EXPECT_EQ(face.minute_pen(), 2);
  EXPECT_DOUBLE_EQ(face.factors().scale_inner, 0.895);

  std::vector<DialMark> marks = face.Marks();
  ASSERT_EQ(marks.size(), 12u);
  for (const DialMark& m : marks) {
    EXPECT_EQ(m.kind, DialMark::Kind::kDot);
    EXPECT_EQ(m.dot_radius, 1);
    EXPECT_NEAR(Length(face, m.at), 31, 0.8);
  }
  EXPECT_EQ(marks[0].at, (ClockPoint{35, 4}));   // 12 o'clock
  EXPECT_EQ(marks[3].at, (ClockPoint{4, 35}));   // 9 o'clock
  EXPECT_EQ(marks[6].at, (ClockPoint{35, 66}));  // 6
  EXPECT_EQ(marks[9].at, (ClockPoint{66, 35}));  // 3

  // Hands at 3:00:15 point right: minute 28, hour 22, seconds 31 pixels.
  EXPECT_EQ(face.MinuteEnd(15), (ClockPoint{63, 35}));
  EXPECT_EQ(face.HourEnd(3, 0), (ClockPoint{57, 35}));
  EXPECT_EQ(face.SecondsEnd(15), (ClockPoint{66, 35}));
  EXPECT_EQ(face.SecondsEnd(0), (ClockPoint{35, 4}));
}

TEST(ClockFace, FactorsAndPensFollowTheSize) {
  struct Case {
    int size;
    bool text, points;
    double minute, hour, inner, outer;
    int hour_pen, minute_pen;
  } cases[] = {
      {120, true, false, 0.62, 0.46, 0.645, 0.745, 3, 2},  // radius 60
      {122, true, false, 0.65, 0.49, 0.695, 0.775, 3, 2},  // radius 61
      {90, false, false, 0.8, 0.64, 0.855, 0.93, 2, 2},    // radius 45
      {92, false, false, 0.8, 0.64, 0.855, 0.93, 3, 2},    // radius 46
      {200, true, true, 0.65, 0.49, 0.735, 0.775, 5, 3},   // radius 100
      {202, true, false, 0.65, 0.49, 0.695, 0.775, 6, 4},  // radius 101
      {302, false, false, 0.8, 0.64, 0.855, 0.93, 10, 6},  // radius 151
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.size);
    ClockFace f(c.size, c.size, c.text, c.points);
    EXPECT_DOUBLE_EQ(f.factors().minute, c.minute);
    EXPECT_DOUBLE_EQ(f.factors().hour, c.hour);
    EXPECT_DOUBLE_EQ(f.factors().scale_inner, c.inner);
    EXPECT_DOUBLE_EQ(f.factors().scale_outer, c.outer);
    EXPECT_EQ(f.hour_pen(), c.hour_pen);
    EXPECT_EQ(f.minute_pen(), c.minute_pen);
  }
}

TEST(ClockFace, DialMarksByStyle) {
  // Lines and numerals: 12 of each, numerals 12 at the top going
  // counter-clockwise in the loop (12, 11, ... 1).
  ClockFace lines(200, 200, true, false);
  std::vector<DialMark> marks = lines.Marks();
  ASSERT_EQ(marks.size(), 24u);
  EXPECT_EQ(marks[0].kind, DialMark::Kind::kLine);
  EXPECT_EQ(marks[1].kind, DialMark::Kind::kNumeral);
  EXPECT_EQ(marks[1].numeral, 12);
  EXPECT_EQ(marks[7].numeral, 9);
  EXPECT_EQ(marks[23].numeral, 1);
  EXPECT_EQ(marks[1].at, (ClockPoint{100, 13}));  // 0.87 of 100 above centre
  EXPECT_NEAR(Length(lines, marks[0].to) - Length(lines, marks[0].at), 8, 1);

  // Big clocks with dots show all sixty, the hours larger.
  ClockFace big(300, 300, false, true);
  marks = big.Marks();
  ASSERT_EQ(marks.size(), 60u);
  EXPECT_EQ(marks[0].dot_radius, 3);
  EXPECT_EQ(marks[1].dot_radius, 1);
}

TEST(ClockFace, WideClockIsCentredWithTheSmallerRadius) {
  ClockFace f(200, 80, false, false);
  EXPECT_EQ(f.radius(), 40);
  EXPECT_EQ(f.centre(), (ClockPoint{100, 40}));
  EXPECT_EQ(f.MinuteEnd(0), (ClockPoint{100, 8}));
}

TEST(ClockFace, HourHandJustBeforeMidnight) {
  EXPECT_NEAR(ClockFace::HourDegrees(23, 59), 90.5, 1e-9);
  ClockFace f(2000, 2000, false, false);
  ClockPoint p = f.HourEnd(23, 59);
  EXPECT_LT(p.x, 1000);  // on the side of the 11
  EXPECT_LT(p.y, 1000);
}

}  // namespace
}  // namespace mirokata
