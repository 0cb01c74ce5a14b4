#include "contacts/ui/birthday_pictures.h"

#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>
#include <cmath>
#include <numbers>

namespace mirokata {
namespace {

struct Picture {
  std::string_view name;
  const char* glyph;  // the text on the picture
  QRgb colour;
};

// Signs: a night-sky disc with the sign's name on it.
constexpr Picture kSigns[] = {
    {"YAGI", "山羊", 0x5d4037},      {"MIDUGAME", "水瓶", 0x1565c0},
    {"UO", "魚", 0x00838f},          {"OHITUJI", "牡羊", 0xc62828},
    {"OUSI", "牡牛", 0x2e7d32},      {"HUTAGO", "双子", 0xf9a825},
    {"KANI", "蟹", 0x6a1b9a},        {"SISI", "獅子", 0xef6c00},
    {"OTOME", "乙女", 0x558b2f},     {"TENBIN", "天秤", 0xad1457},
    {"SASORI", "蠍", 0x4e342e},      {"ITE", "射手", 0x4527a0},
    {"HEBITUKAI", "蛇遣", 0x37474f},
};

// Animals: a votive plaque with the animal's character.
constexpr Picture kAnimals[] = {
    {"NE", "子", 0x8d6e63},   {"USI", "丑", 0x6d4c41},
    {"TORA", "寅", 0xf57c00}, {"U", "卯", 0xec407a},
    {"TATU", "辰", 0x388e3c}, {"MI", "巳", 0x689f38},
    {"UMA", "午", 0xa1887f},  {"HITUJI", "未", 0x90a4ae},
    {"SARU", "申", 0xd84315}, {"TORI", "酉", 0xc62828},
    {"INU", "戌", 0xbf8f00},  {"I", "亥", 0x5d4037},
};

// Birthstones: a cut gem in the stone's colour.
constexpr Picture kStones[] = {
    {"ONE", "", 0x9b111e},   {"TWO", "", 0x9966cc},    {"THREE", "", 0x7fd8d4},
    {"FOUR", "", 0xdfefff},  {"FIVE", "", 0x2e9e5b},   {"SIX", "", 0xd8dee9},
    {"SEVEN", "", 0xe0115f}, {"EIGHT", "", 0xa8c23a},  {"NINE", "", 0x0f52ba},
    {"TEN", "", 0xe48fb3},   {"ELEVEN", "", 0xe4c20a}, {"TWELVE", "", 0x30c8c0},
};

template <size_t N>
const Picture* Find(const Picture (&table)[N], std::string_view name) {
  for (const Picture& p : table) {
    if (p.name == name) return &p;
  }
  return nullptr;
}

void DrawText(QPainter& p, const QRectF& box, const char* glyph,
              QColor colour) {
  QFont font = p.font();
  const int length = QString::fromUtf8(glyph).size();
  font.setPixelSize(std::max(6, int(box.height() / (length > 1 ? 2.6 : 1.7))));
  font.setBold(true);
  p.setFont(font);
  p.setPen(colour);
  p.drawText(box, Qt::AlignCenter, QString::fromUtf8(glyph));
}

void DrawSign(QPainter& p, int size, const Picture& sign) {
  const QRectF disc(1, 1, size - 2, size - 2);
  QRadialGradient sky(disc.center(), size / 2.0);
  sky.setColorAt(0, QColor(sign.colour).lighter(150));
  sky.setColorAt(1, QColor(sign.colour));
  p.setPen(QPen(QColor(sign.colour).darker(140), 1.5));
  p.setBrush(sky);
  p.drawEllipse(disc);
  // A ring of small stars.
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(255, 250, 210));
  for (int i = 0; i < 8; ++i) {
    const double a = i * std::numbers::pi / 4;
    const QPointF c =
        disc.center() + QPointF(std::cos(a), std::sin(a)) * (size * 0.40);
    p.drawEllipse(c, size * 0.025, size * 0.025);
  }
  DrawText(p, disc.adjusted(size * 0.1, size * 0.1, -size * 0.1, -size * 0.1),
           sign.glyph, Qt::white);
}

void DrawAnimal(QPainter& p, int size, const Picture& animal) {
  // A plaque with a peaked roof.
  const double s = size;
  QPolygonF plaque;
  plaque << QPointF(s * 0.5, s * 0.04) << QPointF(s * 0.96, s * 0.3)
         << QPointF(s * 0.96, s * 0.96) << QPointF(s * 0.04, s * 0.96)
         << QPointF(s * 0.04, s * 0.3);
  p.setPen(QPen(QColor(120, 70, 30), 1.5));
  p.setBrush(QColor(238, 214, 170));
  p.drawPolygon(plaque);
  p.setBrush(QColor(animal.colour));
  p.setPen(Qt::NoPen);
  p.drawEllipse(QRectF(s * 0.2, s * 0.32, s * 0.6, s * 0.6));
  DrawText(p, QRectF(s * 0.2, s * 0.32, s * 0.6, s * 0.6), animal.glyph,
           Qt::white);
}

void DrawStone(QPainter& p, int size, const Picture& stone) {
  const double s = size;
  const QColor base(stone.colour);
  // Crown and pavilion of a brilliant cut, seen from the side.
  QPolygonF outline;
  outline << QPointF(s * 0.3, s * 0.18) << QPointF(s * 0.7, s * 0.18)
          << QPointF(s * 0.92, s * 0.4) << QPointF(s * 0.5, s * 0.9)
          << QPointF(s * 0.08, s * 0.4);
  p.setPen(QPen(base.darker(170), 1.2));
  p.setBrush(base);
  p.drawPolygon(outline);
  p.setBrush(base.lighter(135));
  QPolygonF crown;
  crown << QPointF(s * 0.3, s * 0.18) << QPointF(s * 0.7, s * 0.18)
        << QPointF(s * 0.92, s * 0.4) << QPointF(s * 0.08, s * 0.4);
  p.drawPolygon(crown);
  p.setPen(QPen(base.darker(150), 0.8));
  p.drawLine(QPointF(s * 0.3, s * 0.4), QPointF(s * 0.5, s * 0.9));
  p.drawLine(QPointF(s * 0.7, s * 0.4), QPointF(s * 0.5, s * 0.9));
  p.drawLine(QPointF(s * 0.5, s * 0.18), QPointF(s * 0.3, s * 0.4));
  p.drawLine(QPointF(s * 0.5, s * 0.18), QPointF(s * 0.7, s * 0.4));
  // A glint.
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(255, 255, 255, 200));
  p.drawEllipse(QPointF(s * 0.36, s * 0.27), s * 0.05, s * 0.03);
}

void DrawCake(QPainter& p, int size) {
  const double s = size;
  p.setPen(QPen(QColor(150, 90, 60), 1.2));
  p.setBrush(QColor(250, 235, 215));
  p.drawRoundedRect(QRectF(s * 0.12, s * 0.5, s * 0.76, s * 0.38), 3, 3);
  p.setBrush(QColor(240, 120, 150));
  p.drawRect(QRectF(s * 0.12, s * 0.62, s * 0.76, s * 0.08));
  p.setBrush(QColor(230, 60, 60));
  for (double x : {0.3, 0.5, 0.7}) {
    p.drawEllipse(QPointF(s * x, s * 0.5), s * 0.05, s * 0.05);
  }
  for (double x : {0.3, 0.5, 0.7}) {
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(120, 170, 230));
    p.drawRect(QRectF(s * (x - 0.025), s * 0.24, s * 0.05, s * 0.2));
    p.setBrush(QColor(255, 190, 40));
    p.drawEllipse(QPointF(s * x, s * 0.18), s * 0.035, s * 0.06);
  }
}

}  // namespace

QPixmap BirthdayPicture(std::string_view name, int size) {
  QPixmap pixmap(size, size);
  pixmap.fill(Qt::transparent);
  QPainter p(&pixmap);
  p.setRenderHint(QPainter::Antialiasing);
  if (const Picture* sign = Find(kSigns, name)) {
    DrawSign(p, size, *sign);
  } else if (const Picture* animal = Find(kAnimals, name)) {
    DrawAnimal(p, size, *animal);
  } else if (const Picture* stone = Find(kStones, name)) {
    DrawStone(p, size, *stone);
  } else if (name == "CAKE") {
    DrawCake(p, size);
  } else {
    p.setPen(Qt::gray);
    p.drawRect(0, 0, size - 1, size - 1);
  }
  return pixmap;
}

}  // namespace mirokata
