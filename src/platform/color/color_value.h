// Colours as the settings file stores them: a 32-bit value 0x00BBGGRR, or
// 0x800000nn for the system colour with index nn (the classic indexes:
// 0 scroll bar ... 30 menu bar), written in decimal.
//
// Every reader and writer of a stored colour goes through these helpers so
// that the same number means the same colour everywhere.
#ifndef MIROKATA_PLATFORM_COLOR_COLOR_VALUE_H_
#define MIROKATA_PLATFORM_COLOR_COLOR_VALUE_H_

#include <QColor>
#include <QPalette>
#include <cstdint>

namespace mirokata {

using ColorValue = uint32_t;

// The named colours of the stored form.
inline constexpr ColorValue kClBlack = 0x000000;
inline constexpr ColorValue kClMaroon = 0x000080;
inline constexpr ColorValue kClGreen = 0x008000;
inline constexpr ColorValue kClOlive = 0x008080;
inline constexpr ColorValue kClNavy = 0x800000;
inline constexpr ColorValue kClPurple = 0x800080;
inline constexpr ColorValue kClTeal = 0x808000;
inline constexpr ColorValue kClGray = 0x808080;
inline constexpr ColorValue kClSilver = 0xC0C0C0;
inline constexpr ColorValue kClRed = 0x0000FF;
inline constexpr ColorValue kClLime = 0x00FF00;
inline constexpr ColorValue kClYellow = 0x00FFFF;
inline constexpr ColorValue kClBlue = 0xFF0000;
inline constexpr ColorValue kClFuchsia = 0xFF00FF;
inline constexpr ColorValue kClAqua = 0xFFFF00;
inline constexpr ColorValue kClWhite = 0xFFFFFF;

// System colours: the high bit plus the index.
inline constexpr ColorValue kSystemColorFlag = 0x80000000;
enum SystemColorIndex : int {
  kColorScrollBar = 0,
  kColorBackground = 1,
  kColorActiveCaption = 2,
  kColorInactiveCaption = 3,
  kColorMenu = 4,
  kColorWindow = 5,
  kColorWindowFrame = 6,
  kColorMenuText = 7,
  kColorWindowText = 8,
  kColorCaptionText = 9,
  kColorActiveBorder = 10,
  kColorInactiveBorder = 11,
  kColorAppWorkSpace = 12,
  kColorHighlight = 13,
  kColorHighlightText = 14,
  kColorBtnFace = 15,
  kColorBtnShadow = 16,
  kColorGrayText = 17,
  kColorBtnText = 18,
  kColorInactiveCaptionText = 19,
  kColorBtnHighlight = 20,
  kColor3DDkShadow = 21,
  kColor3DLight = 22,
  kColorInfoText = 23,
  kColorInfoBk = 24,
  kColorHotLight = 26,
  kColorGradientActiveCaption = 27,
  kColorGradientInactiveCaption = 28,
  kColorMenuHighlight = 29,
  kColorMenuBar = 30,
};
constexpr ColorValue SystemColor(int index) {
  return kSystemColorFlag | static_cast<ColorValue>(index);
}
inline constexpr ColorValue kClScrollBar = SystemColor(kColorScrollBar);
inline constexpr ColorValue kClBackground = SystemColor(kColorBackground);
inline constexpr ColorValue kClActiveCaption = SystemColor(kColorActiveCaption);
inline constexpr ColorValue kClInactiveCaption =
    SystemColor(kColorInactiveCaption);
inline constexpr ColorValue kClMenu = SystemColor(kColorMenu);
inline constexpr ColorValue kClWindow = SystemColor(kColorWindow);
inline constexpr ColorValue kClWindowText = SystemColor(kColorWindowText);
inline constexpr ColorValue kClMenuText = SystemColor(kColorMenuText);
inline constexpr ColorValue kClHighlight = SystemColor(kColorHighlight);
inline constexpr ColorValue kClHighlightText = SystemColor(kColorHighlightText);
inline constexpr ColorValue kClBtnFace = SystemColor(kColorBtnFace);
inline constexpr ColorValue kClBtnShadow = SystemColor(kColorBtnShadow);
inline constexpr ColorValue kClBtnText = SystemColor(kColorBtnText);
inline constexpr ColorValue kClInfoBk = SystemColor(kColorInfoBk);

// Settings readers get the value as a signed integer; both spellings of a
// system colour (negative or above 2^31) arrive with the same bits.
constexpr ColorValue ColorValueFromInt(int value) {
  return static_cast<ColorValue>(value);
}
// For WriteInteger: the stored form keeps the bit pattern.
constexpr int ColorValueToInt(ColorValue value) {
  return static_cast<int>(value);
}

constexpr bool IsSystemColor(ColorValue value) {
  return (value & 0xFF000000u) == kSystemColorFlag;
}

// The palette colour that stands for a system colour index. Indexes
// outside the classic table fall back to the window text colour.
QPalette::ColorGroup SystemColorGroup(int index);
QPalette::ColorRole SystemColorRole(int index);

// The colour a stored value stands for: RGB values directly, system
// colours from the palette (the application's when none is given). Values
// with other high bytes (the "none" and "default" markers, damaged
// numbers) use their low 24 bits as RGB, so nothing is ever invalid.
QColor ColorFromValue(ColorValue value, const QPalette& palette);
QColor ColorFromValue(ColorValue value);

// The stored form of an RGB colour (alpha is dropped).
ColorValue ValueFromColor(const QColor& color);

}  // namespace mirokata

#endif  // MIROKATA_PLATFORM_COLOR_COLOR_VALUE_H_
