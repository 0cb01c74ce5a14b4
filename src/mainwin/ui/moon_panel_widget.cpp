#include "mainwin/ui/moon_panel_widget.h"

#include <QLabel>

#include "mainwin/ui/moon_view.h"
#include "widgets/analog_clock_widget.h"

namespace mirokata {
namespace {

constexpr int kMoonTop = 34;
constexpr int kMoonLeftWithClock = 42;
constexpr int kMoonLeftAlone = 76;

QLabel* AddLabel(QWidget* parent, const char* text, QRect at, QColor color,
                 Qt::Alignment align = Qt::AlignLeft | Qt::AlignVCenter) {
  auto* label = new QLabel(QString::fromUtf8(text), parent);
  label->setGeometry(at);
  label->setAlignment(align);
  QFont f = label->font();
  f.setPixelSize(10);
  label->setFont(f);
  QPalette p = label->palette();
  p.setColor(QPalette::WindowText, color);
  label->setPalette(p);
  return label;
}

}  // namespace

MoonPanelWidget::MoonPanelWidget(QWidget* parent) : QWidget(parent) {
  setObjectName("MoonPanel");
  setAutoFillBackground(true);
  QPalette palette = this->palette();
  palette.setColor(QPalette::Window, Qt::black);
  setPalette(palette);
  resize(228, 118);

  const QColor caption(0x9f, 0xc5, 0xff), value(0xff, 0xff, 0xc0);
  AddLabel(this, "Julian Date", QRect(4, 2, 80, 14), caption);
  julian_date_ = AddLabel(this, "", QRect(84, 2, 140, 14), value,
                          Qt::AlignRight | Qt::AlignVCenter);
  AddLabel(this, "Moon phase", QRect(4, 16, 80, 14), caption);
  phase_ = AddLabel(this, "", QRect(84, 16, 140, 14), value,
                    Qt::AlignRight | Qt::AlignVCenter);
  AddLabel(this, "Age of", QRect(4, 96, 60, 11), caption);
  AddLabel(this, "the moon", QRect(4, 106, 60, 11), caption);
  age_ = AddLabel(this, "", QRect(56, 100, 168, 14), value,
                  Qt::AlignRight | Qt::AlignVCenter);

  moon_ = new MoonView(this);
  moon_->SetMoonSize(MoonSize::k64);
  moon_->move(kMoonLeftAlone, kMoonTop);
  clock_ = AnalogClock::CreateForMoonPanel(this);
  clock_->setVisible(false);
}

void MoonPanelWidget::SetClock(const Clock* clock) { clock_->SetClock(clock); }

void MoonPanelWidget::ShowState(const MainDisplayState& state) {
  clock_->ApplyTick(state.analog_clock, state.hour);
  const int left = state.analog_clock ? kMoonLeftWithClock : kMoonLeftAlone;
  if (moon_->x() != left) moon_->move(left, kMoonTop);
  if (!state.moon) return;
  const QString age = QString::fromStdString(state.moon_texts.age);
  // The picture cannot change visibly within a minute of the moon's age.
  if (age != age_->text() || moon_->date() == 0) {
    moon_->SetDate(state.moon_instant);
  }
  julian_date_->setText(QString::fromStdString(state.moon_texts.julian_date));
  phase_->setText(QString::fromStdString(state.moon_texts.phase));
  age_->setText(age);
}

QString MoonPanelWidget::julian_date_text() const {
  return julian_date_->text();
}
QString MoonPanelWidget::phase_text() const { return phase_->text(); }
QString MoonPanelWidget::age_text() const { return age_->text(); }

}  // namespace mirokata
