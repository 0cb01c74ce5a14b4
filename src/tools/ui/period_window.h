// The period tracker's window: the recorded dates with their memos, the
// cycle lengths, two lists of predicted starts and the days of a chosen
// predicted cycle.
#ifndef MIROKATA_TOOLS_UI_PERIOD_WINDOW_H_
#define MIROKATA_TOOLS_UI_PERIOD_WINDOW_H_

#include <QWidget>
#include <memory>
#include <string>

#include "base/services.h"
#include "calendar/gregorian.h"
#include "tools/period_tracker.h"

class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QSpinBox;
class QStatusBar;

namespace mirokata {

class PeriodWindow : public QWidget {
  Q_OBJECT

 public:
  // folder: the "Period" folder, which exists. `entered` is the date the
  // month grid has selected.
  PeriodWindow(const Services& services, const std::string& folder,
               const CivilDate& entered, QWidget* parent = nullptr);
  ~PeriodWindow() override;

  PeriodTracker& tracker() { return tracker_; }
  CivilDate entered() const;
  void SetEntered(const CivilDate& date);
  void Add();
  // Asks first unless `Form`/`Delete` says not to.
  void DeleteSelected();
  void SelectRecorded(int row);
  void ShowDetail(int list, int row);

  QListWidget* recorded() const { return recorded_; }
  QListWidget* predictions(int list) const { return predictions_[list]; }
  QListWidget* detail(int list) const { return details_[list]; }
  QGroupBox* detail_frame(int list) const { return detail_frames_[list]; }
  QLineEdit* cycle_field(int i) const { return cycle_fields_[i]; }
  QSpinBox* period_days() const { return days_; }
  QLineEdit* memo() const { return memo_; }
  QLabel* memo_label() const { return memo_label_; }
  QString status() const;

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  void FillRecorded();
  void FillCycleFields();
  void FillPredictions();
  void CyclesTyped();
  void CycleFieldFinished(int i);
  void FixEnteredDay();
  void MemoTyped(const QString& text);

  Services services_;
  PeriodTracker tracker_;
  std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
  QListWidget* recorded_ = nullptr;
  QSpinBox* date_fields_[3] = {};
  QPushButton* delete_button_ = nullptr;
  QLabel* memo_label_ = nullptr;
  QLineEdit* memo_ = nullptr;
  QLineEdit* cycle_fields_[3] = {};
  QListWidget* predictions_[2] = {};
  QGroupBox* detail_frames_[2] = {};
  QListWidget* details_[2] = {};
  QSpinBox* days_ = nullptr;
  QStatusBar* status_ = nullptr;
  int selected_ = -1;
  bool asking_ = false;
};

}  // namespace mirokata

#endif  // MIROKATA_TOOLS_UI_PERIOD_WINDOW_H_
