// The moon picture of the moon panel: a lit full moon with the unlit part
// of the disc painted black for the phase of the shown instant.
#ifndef MIROKATA_MAINWIN_UI_MOON_VIEW_H_
#define MIROKATA_MAINWIN_UI_MOON_VIEW_H_

#include <QIcon>
#include <QImage>
#include <QWidget>

namespace mirokata {

enum class MoonSize { k64, k32, k16 };

// Placement of the disc in a picture of that size, in pixels.
struct MoonDisc {
  int side;  // the picture is side x side
  int cx;
  int cy;
  int radius;
};
MoonDisc MoonDiscOf(MoonSize size);

// The base picture: a lit full moon on a black sky, drawn in code.
QImage FullMoonPicture(MoonSize size);

// The base picture with the dark part drawn over it for a phase angle in
// degrees (-180..180 as PhaseAngle gives it, or 0..360).
QImage MoonPicture(MoonSize size, long double phase_angle);

class MoonView : public QWidget {
  Q_OBJECT

 public:
  explicit MoonView(QWidget* parent = nullptr);

  MoonSize moon_size() const { return size_; }
  // Resizes the control to the picture and redraws.
  void SetMoonSize(MoonSize size);

  // The instant shown, a date-time value in Universal Time; setting it
  // recomputes the phase and redraws.
  long double date() const { return date_; }
  void SetDate(long double t);

  // Phase angle of the last date, 0..360 (waxing below 180).
  long double phase_angle() const { return phase_angle_; }

  const QImage& picture() const;
  QIcon icon() const;

  QSize sizeHint() const override;

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  void Redraw();

  MoonSize size_ = MoonSize::k64;
  long double date_ = 0;
  long double phase_angle_ = 0;
  mutable QImage picture_;
};

}  // namespace mirokata

#endif  // MIROKATA_MAINWIN_UI_MOON_VIEW_H_
