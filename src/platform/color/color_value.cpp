#include "platform/color/color_value.h"

#include <QGuiApplication>

namespace mirokata {
namespace {

struct RoleOf {
  QPalette::ColorGroup group;
  QPalette::ColorRole role;
};

// Index -> palette role, chosen for what each classic colour paints.
RoleOf RoleOfIndex(int index) {
  using P = QPalette;
  switch (index) {
    case kColorScrollBar:
      return {P::Active, P::Button};
    case kColorBackground:
      return {P::Active, P::Dark};
    case kColorActiveCaption:
    case kColorGradientActiveCaption:
      return {P::Active, P::Highlight};
    case kColorInactiveCaption:
    case kColorGradientInactiveCaption:
      return {P::Inactive, P::Mid};
    case kColorMenu:
    case kColorMenuBar:
      return {P::Active, P::Window};
    case kColorWindow:
      return {P::Active, P::Base};
    case kColorWindowFrame:
      return {P::Active, P::Shadow};
    case kColorMenuText:
      return {P::Active, P::WindowText};
    case kColorWindowText:
      return {P::Active, P::Text};
    case kColorCaptionText:
      return {P::Active, P::HighlightedText};
    case kColorActiveBorder:
    case kColorInactiveBorder:
    case kColorBtnFace:
      return {P::Active, P::Button};
    case kColorAppWorkSpace:
      return {P::Active, P::Mid};
    case kColorHighlight:
    case kColorMenuHighlight:
      return {P::Active, P::Highlight};
    case kColorHighlightText:
      return {P::Active, P::HighlightedText};
    case kColorBtnShadow:
      return {P::Active, P::Dark};
    case kColorGrayText:
      return {P::Disabled, P::Text};
    case kColorBtnText:
      return {P::Active, P::ButtonText};
    case kColorInactiveCaptionText:
      return {P::Disabled, P::WindowText};
    case kColorBtnHighlight:
      return {P::Active, P::Light};
    case kColor3DDkShadow:
      return {P::Active, P::Shadow};
    case kColor3DLight:
      return {P::Active, P::Midlight};
    case kColorInfoText:
      return {P::Active, P::ToolTipText};
    case kColorInfoBk:
      return {P::Active, P::ToolTipBase};
    case kColorHotLight:
      return {P::Active, P::Link};
    default:
      return {P::Active, P::WindowText};
  }
}

QColor RgbOf(ColorValue value) {
  return QColor(static_cast<int>(value & 0xFF),
                static_cast<int>((value >> 8) & 0xFF),
                static_cast<int>((value >> 16) & 0xFF));
}

}  // namespace

QPalette::ColorGroup SystemColorGroup(int index) {
  return RoleOfIndex(index).group;
}

QPalette::ColorRole SystemColorRole(int index) {
  return RoleOfIndex(index).role;
}

QColor ColorFromValue(ColorValue value, const QPalette& palette) {
  if (IsSystemColor(value)) {
    RoleOf r = RoleOfIndex(static_cast<int>(value & 0x00FFFFFF));
    return palette.color(r.group, r.role);
  }
  return RgbOf(value);
}

QColor ColorFromValue(ColorValue value) {
  if (!IsSystemColor(value)) return RgbOf(value);
  return ColorFromValue(value, QGuiApplication::palette());
}

ColorValue ValueFromColor(const QColor& color) {
  QColor rgb = color.toRgb();
  return static_cast<ColorValue>(rgb.red()) |
         static_cast<ColorValue>(rgb.green()) << 8 |
         static_cast<ColorValue>(rgb.blue()) << 16;
}

}  // namespace mirokata
