// The ruler above a rich text: paragraph indents in whole points as it
// shows them, and the pixel places of its three markers.
#ifndef MIROKATA_RICHTEXT_RULER_GEOMETRY_H_
#define MIROKATA_RICHTEXT_RULER_GEOMETRY_H_

#include "richtext/rich_document.h"

namespace mirokata {

// FirstIndent is the first line's indent from the text's left edge (RTF's
// \li + \fi), LeftIndent the other lines' indent relative to the first
// line's (-\fi), RightIndent the right indent (\ri).
struct RulerIndents {
  int first_indent = 0;
  int left_indent = 0;
  int right_indent = 0;
  bool operator==(const RulerIndents&) const = default;
};

RulerIndents RulerIndentsOf(const RichParagraphFormat& format);
// Sets the format's indents (in twips) to those of the ruler.
void SetRulerIndents(const RulerIndents& indents, RichParagraphFormat* format);

// The left edges of the markers in pixels (96 dpi: 4/3 pixel a point),
// the first-line and left markers from the ruler's left edge, the right
// marker from its inner width. The text starts 6 pixels in, under a
// marker's middle.
struct RulerMarkers {
  int first = 0;
  int left = 0;
  int right = 0;
  bool operator==(const RulerMarkers&) const = default;
};

inline constexpr int kRulerHeight = 30;
inline constexpr int kRulerMarkerWidth = 9;

RulerMarkers RulerMarkersOf(const RulerIndents& indents, int ruler_width);
// The indents markers dropped at these places stand for. Rounded, so that
// a marker dropped where it was keeps its indent.
RulerIndents RulerIndentsAt(const RulerMarkers& markers, int ruler_width);

}  // namespace mirokata

#endif  // MIROKATA_RICHTEXT_RULER_GEOMETRY_H_
