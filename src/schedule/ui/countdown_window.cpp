#include "schedule/ui/countdown_window.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>
#include <algorithm>

#include "base/date_pattern.h"
#include "base/folders.h"
#include "base/settings_file.h"
#include "platform/clock.h"
#include "platform/sound.h"
#include "platform/sound_cues.h"
#include "widgets/sound_chooser_dialog.h"
#include "widgets/stored_placement.h"

namespace mirokata {
namespace {

constexpr char kSection[] = "Gtimer";
constexpr const char* kSoundKeys[] = {"_50", "_80", "_100"};
// A preset list longer than this is no one's: a damaged Total.
constexpr int kMaxPresets = 10000;

QString U(const char* text) { return QString::fromUtf8(text); }
QString Q(const std::string& text) { return QString::fromStdString(text); }
std::string Key(int i, const char* suffix) {
  return std::to_string(i) + suffix;
}

QString DefaultChooser(QWidget* parent, Sound* sound, const QString& file) {
  if (!sound) return {};
  SoundChooserDialog dialog(*sound, file, parent);
  if (dialog.exec() != QDialog::Accepted) return {};
  return dialog.SelectedPath();
}

}  // namespace

CountdownWindow::CountdownWindow(const Services& services, QWidget* parent)
    // The system menu and a minimise box, no maximise.
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint |
                          Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowMinimizeButtonHint |
                          Qt::WindowCloseButtonHint),
      services_(services),
      countdown_(services.uptime) {
  setAttribute(Qt::WA_DeleteOnClose);
  setWindowTitle(U("減算タイマー"));
  Sound* sound = services_.sound;
  chooser_ = [sound](QWidget* parent, const QString& file) {
    return DefaultChooser(parent, sound, file);
  };

  hours_ = new QSpinBox;
  hours_->setRange(0, 23);
  hours_->setAccessibleName(U("時間"));
  minutes_ = new QSpinBox;
  minutes_->setRange(0, 59);
  minutes_->setAccessibleName(U("分後"));
  auto* duration = new QHBoxLayout;
  duration->addWidget(hours_);
  duration->addWidget(new QLabel(U("時間")));
  duration->addWidget(minutes_);
  duration->addWidget(new QLabel(U("分後")));
  duration->addStretch();

  presets_ = new QListWidget;
  presets_->setAccessibleName(U("プリセット"));
  presets_->setMaximumHeight(90);
  title_ = new QLineEdit;
  title_->setAccessibleName(U("タイトル"));
  add_ = new QPushButton(U("追加"));
  delete_ = new QPushButton(U("削除"));
  delete_->setToolTip(U("Stack選択項目を削除"));
  auto* preset_buttons = new QHBoxLayout;
  preset_buttons->addWidget(title_);
  preset_buttons->addWidget(add_);
  preset_buttons->addWidget(delete_);

  properties_ = new QGroupBox(U("ﾌﾟﾛﾊﾟﾃｨ"));
  auto* grid = new QGridLayout(properties_);
  const char* captions[] = {"50%時のサウンド", "80%時のサウンド",
                            "100%時のサウンド"};
  for (int i = 0; i < 3; ++i) {
    sounds_[i] = new QLineEdit;
    sounds_[i]->setAccessibleName(U(captions[i]));
    sound_buttons_[i] = new QPushButton(U("..."));
    sound_buttons_[i]->setToolTip(U("ﾌｧｲﾙ選択"));
    sound_buttons_[i]->setAccessibleName(U(captions[i]) + U(" ﾌｧｲﾙ選択"));
    grid->addWidget(new QLabel(U(captions[i])), i, 0);
    grid->addWidget(sounds_[i], i, 1);
    grid->addWidget(sound_buttons_[i], i, 2);
    connect(sounds_[i], &QLineEdit::textEdited, this,
            [this, i] { StoreSound(i); });
    connect(sound_buttons_[i], &QPushButton::clicked, this,
            [this, i] { ChooseSound(i); });
  }

  start_ = new QPushButton(U("開始"));
  pause_ = new QPushButton(U("一時停止"));
  reset_ = new QPushButton(U("リセット"));
  auto* controls = new QHBoxLayout;
  controls->addWidget(start_);
  controls->addWidget(pause_);
  controls->addWidget(reset_);
  hide_ = new QCheckBox(U("時間が来るまで窓を隠す。"));
  start_label_ = new QLabel;
  end_label_ = new QLabel;
  progress_ = new QProgressBar;
  progress_->setTextVisible(false);
  progress_->setAccessibleName(U("残り時間"));
  status_ = new QLabel;
  status_->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  status_->setAccessibleName(U("状態"));

  auto* layout = new QVBoxLayout(this);
  layout->addLayout(duration);
  layout->addWidget(presets_);
  layout->addLayout(preset_buttons);
  layout->addWidget(properties_);
  layout->addLayout(controls);
  layout->addWidget(hide_);
  layout->addWidget(start_label_);
  layout->addWidget(end_label_);
  layout->addWidget(progress_);
  layout->addWidget(status_);

  connect(add_, &QPushButton::clicked, this, &CountdownWindow::AddPreset);
  connect(delete_, &QPushButton::clicked, this, &CountdownWindow::DeletePreset);
  connect(presets_, &QListWidget::currentRowChanged, this,
          &CountdownWindow::SelectPreset);
  connect(start_, &QPushButton::clicked, this,
          &CountdownWindow::StartCountdown);
  connect(pause_, &QPushButton::clicked, this, &CountdownWindow::TogglePause);
  connect(reset_, &QPushButton::clicked, this,
          &CountdownWindow::ResetCountdown);
  timer_.setSingleShot(true);
  timer_.setTimerType(Qt::PreciseTimer);
  connect(&timer_, &QTimer::timeout, this, &CountdownWindow::Tick);

  LoadPresets();
  ShowPresetProperties();
  ResetCountdown();
  PlaceAtStoredPosition(this, services_, kSection);
}

std::string CountdownWindow::GlobalSound() const {
  return services_.settings->ReadString("Calendar", "file", "");
}

void CountdownWindow::LoadPresets() {
  Settings s = services_.settings->Open();
  const int total =
      std::clamp(s.ReadInteger(kSection, "Total", 0), 0, kMaxPresets);
  // Only as many as there are keys for: a damaged Total lists no more.
  constexpr char kMissing[] = "\x01";
  for (int i = 0; i < total; ++i) {
    if (s.ReadString(kSection, Key(i, "_Title"), kMissing) == kMissing &&
        s.ReadString(kSection, Key(i, "_H"), kMissing) == kMissing &&
        s.ReadString(kSection, Key(i, "_M"), kMissing) == kMissing) {
      break;
    }
    presets_->addItem(Q(s.ReadString(kSection, Key(i, "_Title"), "")));
  }
}

int CountdownWindow::preset_count() const { return presets_->count(); }

void CountdownWindow::SelectPreset(int index) {
  if (index != presets_->currentRow()) presets_->setCurrentRow(index);
  ShowPresetProperties();
}

void CountdownWindow::ShowPresetProperties() {
  const int i = presets_->currentRow();
  const bool selected = i >= 0;
  Settings s = services_.settings->Open();
  if (selected) {
    const std::string title = s.ReadString(kSection, Key(i, "_Title"), "");
    title_->setText(Q(title));
    hours_->setValue(
        std::clamp(s.ReadInteger(kSection, Key(i, "_H"), 0), 0, 23));
    minutes_->setValue(
        std::clamp(s.ReadInteger(kSection, Key(i, "_M"), 1), 0, 59));
    for (int k = 0; k < 3; ++k) {
      std::string file = s.ReadString(kSection, Key(i, kSoundKeys[k]), "");
      if (k == 2 && file.empty()) file = GlobalSound();
      sounds_[k]->setText(Q(file));
    }
    properties_->setTitle(Q(title) + U("のﾌﾟﾛﾊﾟﾃｨ"));
  } else {
    title_->clear();
    sounds_[0]->clear();
    sounds_[1]->clear();
    sounds_[2]->setText(Q(GlobalSound()));
    properties_->setTitle(U("ﾌﾟﾛﾊﾟﾃｨ"));
  }
  const bool idle = !countdown_.running();
  for (int k = 0; k < 3; ++k) {
    sounds_[k]->setEnabled(selected && idle);
    sound_buttons_[k]->setEnabled(selected && idle);
  }
  delete_->setEnabled(selected && idle);
}

void CountdownWindow::StoreSound(int k) {
  const int i = presets_->currentRow();
  if (i < 0) return;
  services_.settings->WriteString(kSection, Key(i, kSoundKeys[k]),
                                  sounds_[k]->text().toStdString());
}

void CountdownWindow::ChooseSound(int k) {
  QPointer<CountdownWindow> alive(this);
  const QString file = chooser_(this, sounds_[k]->text());
  // The chooser is modal: the window may have been closed meanwhile.
  if (!alive || file.isEmpty()) return;
  sounds_[k]->setText(file);
  StoreSound(k);
}

void CountdownWindow::AddPreset() {
  PlayCue("sav");
  const int n = presets_->count();
  services_.settings->Batch([&](SettingsBatch& b) {
    b.WriteString(kSection, Key(n, "_Title"), title_->text().toStdString());
    b.WriteInteger(kSection, Key(n, "_H"), hours_->value());
    b.WriteInteger(kSection, Key(n, "_M"), minutes_->value());
    b.WriteInteger(kSection, "Total", n + 1);
  });
  presets_->addItem(title_->text());
  SelectPreset(n);
}

void CountdownWindow::DeletePreset() {
  const int i = presets_->currentRow();
  if (i < 0) return;
  QPointer<CountdownWindow> alive(this);
  const bool go =
      services_.messages
          ? ConfirmDelete(*services_.settings, *services_.messages, {}, this)
          : true;
  if (!alive || !go) return;
  PlayCue("del");
  const int n = presets_->count();
  const char* suffixes[] = {"_Title", "_H", "_M", "_50", "_80", "_100"};
  services_.settings->Batch([&](SettingsBatch& b) {
    for (int j = i; j + 1 < n; ++j) {
      for (const char* suffix : suffixes) {
        b.WriteString(kSection, Key(j, suffix),
                      b.ReadString(kSection, Key(j + 1, suffix),
                                   suffix == std::string("_M") ? "1" : ""));
      }
    }
    b.WriteString(kSection, Key(n - 1, "_Title"), "");
    b.WriteInteger(kSection, Key(n - 1, "_H"), 0);
    b.WriteInteger(kSection, Key(n - 1, "_M"), 1);
    for (const char* sound : kSoundKeys) {
      b.WriteString(kSection, Key(n - 1, sound), "");
    }
    b.WriteInteger(kSection, "Total", n - 1);
  });
  delete presets_->takeItem(i);
  presets_->setCurrentRow(-1);
  ShowPresetProperties();
}

void CountdownWindow::SetDuration(int hours, int minutes) {
  hours_->setValue(hours);
  minutes_->setValue(minutes);
}

void CountdownWindow::SetInputsEnabled(bool enabled) {
  start_->setEnabled(enabled);
  hours_->setEnabled(enabled);
  minutes_->setEnabled(enabled);
  title_->setEnabled(enabled);
  add_->setEnabled(enabled);
  presets_->setEnabled(enabled);
  pause_->setEnabled(!enabled);
  reset_->setEnabled(!enabled);
  ShowPresetProperties();
}

void CountdownWindow::StartCountdown() {
  // Nothing to count: one minute.
  if (hours_->value() == 0 && minutes_->value() == 0) minutes_->setValue(1);
  const std::int64_t total = hours_->value() * 3600 + minutes_->value() * 60;
  countdown_.Start(total);
  progress_->setEnabled(true);
  progress_->setRange(0, static_cast<int>(total));
  progress_->setValue(static_cast<int>(total));
  const LocalTime now = services_.clock->Now();
  start_label_->setText(U("開始時間：") +
                        Q(FormatDatePattern("yyyy/mm/dd hh:nn:ss", now)));
  running_title_ = title_->text().toStdString();
  Say("の時間を計っています。", "時間を計っています。");
  SetInputsEnabled(false);
  ArmTimer();
}

void CountdownWindow::TogglePause() {
  if (!countdown_.running()) return;
  if (countdown_.paused()) {
    countdown_.Resume();
  } else {
    countdown_.Pause();
  }
  Tick();
}

void CountdownWindow::ResetCountdown() {
  timer_.stop();
  countdown_.Reset();
  start_label_->setText(U("開始時間："));
  end_label_->setText(U("終了時間："));
  setWindowTitle(U("減算タイマー"));
  SetInputsEnabled(true);
}

void CountdownWindow::ArmTimer() {
  if (!countdown_.running()) return;
  // While paused the end time still moves on, once a second.
  timer_.start(countdown_.paused()
                   ? 1000
                   : static_cast<int>(countdown_.MsUntilNextSecond()));
}

void CountdownWindow::Tick() {
  if (!countdown_.running()) return;
  if (hide_->isChecked() && isVisible()) hide();
  const Countdown::Step step = countdown_.Tick();
  if (countdown_.paused()) {
    progress_->setEnabled(false);
    setWindowTitle(U("減算タイマー （一時停止）"));
  } else {
    progress_->setEnabled(true);
    progress_->setValue(static_cast<int>(
        std::min<std::int64_t>(step.remaining, progress_->maximum())));
    setWindowTitle(U("減算タイマー （残り ") + QString::number(step.remaining) +
                   U("秒）"));
  }
  const LocalTime end =
      services_.clock->At(services_.clock->Now().unix_seconds +
                          (countdown_.RemainingMs() + 500) / 1000);
  end_label_->setText(U("終了時間：") +
                      Q(FormatDatePattern("yyyy/mm/dd hh:nn:ss", end)));
  if (step.half_notice) {
    Say("の時間は５０％を経過しました。", "５０％を経過しました。");
    PlaySound(0);
  }
  if (step.eighty_notice) {
    Say("の時間は８０％を経過しました。", "８０％を経過しました。");
    PlaySound(1);
  }
  if (step.ended) {
    hide_->setChecked(false);
    setWindowState(windowState() & ~Qt::WindowMinimized);
    show();
    raise();
    activateWindow();
    Say("の時間になりました。", "時間になりました。");
    PlaySound(2);
    ResetCountdown();
    return;
  }
  ArmTimer();
}

void CountdownWindow::Say(const char* with_title, const char* without_title) {
  status_->setText(running_title_.empty() ? U(without_title)
                                          : Q(running_title_) + U(with_title));
}

void CountdownWindow::PlaySound(int k) {
  std::string file = sounds_[k]->text().toStdString();
  if (k == 2 && file.empty()) file = GlobalSound();
  // A missing file stays silent.
  if (!file.empty() && services_.sound) services_.sound->PlayFile(file);
}

QString CountdownWindow::status() const { return status_->text(); }
QString CountdownWindow::start_text() const { return start_label_->text(); }
QString CountdownWindow::end_text() const { return end_label_->text(); }
bool CountdownWindow::hide_until_end() const { return hide_->isChecked(); }
void CountdownWindow::SetHideUntilEnd(bool hide) { hide_->setChecked(hide); }

void CountdownWindow::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  if (!shown_once_) PlayCue("ope");
  shown_once_ = true;
}

void CountdownWindow::closeEvent(QCloseEvent* event) {
  StorePosition(this, services_, kSection);
  timer_.stop();
  if (services_.sound) services_.sound->StopFile();
  PlayCue("clo");
  event->accept();
}

void CountdownWindow::PlayCue(const char* name) {
  if (services_.cues) services_.cues->Play(name);
}

}  // namespace mirokata
