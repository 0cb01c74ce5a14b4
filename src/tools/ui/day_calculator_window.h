// The day calculator: the time between two date-times, or a date-time a
// span before or after another.
#ifndef MIROKATA_TOOLS_UI_DAY_CALCULATOR_WINDOW_H_
#define MIROKATA_TOOLS_UI_DAY_CALCULATOR_WINDOW_H_

#include <QWidget>

#include "base/date_pattern.h"
#include "base/services.h"

class QPlainTextEdit;
class QSpinBox;
class QStackedWidget;
class QToolButton;

namespace mirokata {

// Year to second, with the two buttons that set them.
class DateTimeFieldsEdit : public QWidget {
  Q_OBJECT

 public:
  explicit DateTimeFieldsEdit(const QString& name, QWidget* parent = nullptr);
  DateTimeFields value() const;
  void SetValue(const DateTimeFields& value);
  void SetNow(const LocalTime& now);
  void ZeroTime();
  QSpinBox* field(int i) const { return fields_[i]; }

 signals:
  void NowRequested();

 private:
  void FixDay();
  QSpinBox* fields_[6] = {};
};

class DayCalculatorWindow : public QWidget {
  Q_OBJECT

 public:
  explicit DayCalculatorWindow(const Services& services,
                               QWidget* parent = nullptr);

  enum class Mode { kPeriod, kSpan };
  void SetMode(Mode mode);
  Mode mode() const { return mode_; }
  void SetAfter(bool after);
  void Calculate();

  DateTimeFieldsEdit* first() const { return a_; }
  DateTimeFieldsEdit* second() const { return b_; }
  void SetSpan(std::int64_t days, int hours, int minutes, int seconds);
  QString result() const;

 protected:
  void showEvent(QShowEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void contextMenuEvent(QContextMenuEvent* event) override;

 private:
  void PlayCue(const char* name);

  Services services_;
  Mode mode_ = Mode::kPeriod;
  bool after_ = true;
  bool shown_once_ = false;
  DateTimeFieldsEdit* a_ = nullptr;
  DateTimeFieldsEdit* b_ = nullptr;
  QStackedWidget* second_row_ = nullptr;
  QSpinBox* span_[4] = {};
  QToolButton* period_button_ = nullptr;
  QToolButton* span_button_ = nullptr;
  QToolButton* before_button_ = nullptr;
  QToolButton* after_button_ = nullptr;
  QPlainTextEdit* result_ = nullptr;
};

}  // namespace mirokata

#endif  // MIROKATA_TOOLS_UI_DAY_CALCULATOR_WINDOW_H_
