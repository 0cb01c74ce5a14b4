// The countdown timer ("減算タイマー"): hours and minutes counted down to
// the second, notices at half and four fifths of the time, the window
// brought back with a sound at the end, and named presets with sounds of
// their own (section Gtimer).
#ifndef MIROKATA_SCHEDULE_UI_COUNTDOWN_WINDOW_H_
#define MIROKATA_SCHEDULE_UI_COUNTDOWN_WINDOW_H_

#include <QTimer>
#include <QWidget>
#include <functional>
#include <string>

#include "base/services.h"
#include "schedule/countdown.h"

class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QProgressBar;
class QPushButton;
class QSpinBox;

namespace mirokata {

class CountdownWindow : public QWidget {
  Q_OBJECT

 public:
  // Asks for a sound file starting at the given one; empty means Cancel.
  using SoundChooser = std::function<QString(QWidget*, const QString&)>;

  explicit CountdownWindow(const Services& services, QWidget* parent = nullptr);

  void set_sound_chooser(SoundChooser chooser) {
    chooser_ = std::move(chooser);
  }

  void SetDuration(int hours, int minutes);
  void StartCountdown();
  void TogglePause();
  void ResetCountdown();
  // The tick, run by the window's own precise timer.
  void Tick();

  void AddPreset();
  void DeletePreset();
  void SelectPreset(int index);
  int preset_count() const;

  QString status() const;
  QString start_text() const;
  QString end_text() const;
  bool hide_until_end() const;
  void SetHideUntilEnd(bool hide);
  QLineEdit* title_box() const { return title_; }
  QLineEdit* sound_box(int i) const { return sounds_[i]; }
  const Countdown& countdown() const { return countdown_; }

 protected:
  void showEvent(QShowEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  void LoadPresets();
  void SetInputsEnabled(bool enabled);
  void ShowPresetProperties();
  void StoreSound(int i);
  void ChooseSound(int i);
  void Say(const char* with_title, const char* without_title);
  void PlaySound(int i);
  void PlayCue(const char* name);
  void ArmTimer();
  std::string GlobalSound() const;

  Services services_;
  SoundChooser chooser_;
  Countdown countdown_;
  QTimer timer_;
  bool shown_once_ = false;
  QSpinBox* hours_ = nullptr;
  QSpinBox* minutes_ = nullptr;
  QListWidget* presets_ = nullptr;
  QLineEdit* title_ = nullptr;
  QPushButton* add_ = nullptr;
  QPushButton* delete_ = nullptr;
  QGroupBox* properties_ = nullptr;
  QLineEdit* sounds_[3] = {};
  QPushButton* sound_buttons_[3] = {};
  QPushButton* start_ = nullptr;
  QPushButton* pause_ = nullptr;
  QPushButton* reset_ = nullptr;
  QCheckBox* hide_ = nullptr;
  QLabel* start_label_ = nullptr;
  QLabel* end_label_ = nullptr;
  QProgressBar* progress_ = nullptr;
  QLabel* status_ = nullptr;
  std::string running_title_;
};

}  // namespace mirokata

#endif  // MIROKATA_SCHEDULE_UI_COUNTDOWN_WINDOW_H_
