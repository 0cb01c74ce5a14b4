#include "richtext/ruler_geometry.h"

#include <cmath>

namespace mirokata {
namespace {

constexpr int kTwipsPerPoint = 20;

int Points(int twips) {
  return int(std::lround(double(twips) / kTwipsPerPoint));
}

// Pixels of a length in points, cut as the markers are placed.
int PixelsOf(int points) { return int(points * 4.0 / 3.0); }
int PointsOf(int pixels) { return int(std::lround(pixels * 0.75)); }

}  // namespace

RulerIndents RulerIndentsOf(const RichParagraphFormat& format) {
  return RulerIndents{Points(format.left_indent + format.first_indent),
                      Points(-format.first_indent),
                      Points(format.right_indent)};
}

void SetRulerIndents(const RulerIndents& indents, RichParagraphFormat* format) {
  format->left_indent =
      (indents.first_indent + indents.left_indent) * kTwipsPerPoint;
  format->first_indent = -indents.left_indent * kTwipsPerPoint;
  format->right_indent = indents.right_indent * kTwipsPerPoint;
}

RulerMarkers RulerMarkersOf(const RulerIndents& indents, int ruler_width) {
  return RulerMarkers{PixelsOf(indents.first_indent) + 2,
                      PixelsOf(indents.left_indent + indents.first_indent) + 2,
                      ruler_width - PixelsOf(indents.right_indent + 6) - 6};
}

RulerIndents RulerIndentsAt(const RulerMarkers& markers, int ruler_width) {
  RulerIndents indents;
  indents.first_indent = PointsOf(markers.first - 2);
  indents.left_indent = PointsOf(markers.left - 2) - indents.first_indent;
  indents.right_indent = PointsOf(ruler_width - markers.right - 6) - 6;
  return indents;
}

}  // namespace mirokata
