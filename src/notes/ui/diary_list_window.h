// The diary's month list, its search window, and the diary windows opened
// from them (one per date).
#ifndef MIROKATA_NOTES_UI_DIARY_LIST_WINDOW_H_
#define MIROKATA_NOTES_UI_DIARY_LIST_WINDOW_H_

#include <QPointer>
#include <QWidget>
#include <map>
#include <optional>
#include <string>

#include "base/services.h"
#include "base/weekday_names.h"
#include "calendar/gregorian.h"
#include "notes/diary_search.h"

class QLineEdit;
class QListWidget;
class QProgressBar;
class QPushButton;
class QSpinBox;
class QStatusBar;

namespace mirokata {

class DiaryListWindow;
class DiaryWindow;

// "日記の検索": a range of months and a word; a double-click on a result
// shows its day in the list (and a body hit in its page).
class DiarySearchWindow : public QWidget {
  Q_OBJECT

 public:
  DiarySearchWindow(const Services& services, std::string folder,
                    DiaryListWindow* list);

  void Search();
  void Jump(int row);

  QSpinBox* range_field(int i) const { return range_[i]; }
  QLineEdit* word_field() const { return word_; }
  QListWidget* results() const { return results_; }
  QString status() const;
  const std::vector<DiaryHit>& hits() const { return hits_; }

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  Services services_;
  std::string folder_;
  QPointer<DiaryListWindow> list_;
  WeekdayNames ddd_;
  QString searched_;
  std::vector<DiaryHit> hits_;
  QSpinBox* range_[4] = {};
  QLineEdit* word_ = nullptr;
  QListWidget* results_ = nullptr;
  QStatusBar* status_ = nullptr;
};

// "日記リスト": one row per day of a month.
class DiaryListWindow : public QWidget {
  Q_OBJECT

 public:
  // `folder`: the diary folder. Shows today's month.
  DiaryListWindow(const Services& services, std::string folder,
                  QWidget* parent = nullptr);
  ~DiaryListWindow() override;

  void SetMonth(int year, int month);
  void ShowToday();
  void Rebuild();
  // The day's row is selected at the next rebuild.
  void RequestDay(const CivilDate& date);
  // The diary window of the date: the open one brought to the front, else
  // a new one.
  DiaryWindow* OpenDay(const CivilDate& date);
  DiaryWindow* WindowOf(const CivilDate& date) const;
  DiarySearchWindow* OpenSearch();
  DiarySearchWindow* search_window() const { return search_; }

  QSpinBox* year_field() const { return year_; }
  QSpinBox* month_field() const { return month_; }
  QListWidget* list() const { return list_; }
  QProgressBar* progress() const { return progress_; }
  const std::vector<DiaryMonthRow>& rows() const { return rows_; }

 protected:
  void closeEvent(QCloseEvent* event) override;
  void changeEvent(QEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  void ColorRows();
  void StorePlacement();

  Services services_;
  std::string folder_;
  WeekdayNames ddd_;
  std::vector<DiaryMonthRow> rows_;
  std::optional<CivilDate> requested_;
  int remembered_row_ = 0;
  bool building_ = false;
  std::map<int32_t, QPointer<DiaryWindow>> windows_;
  QPointer<DiarySearchWindow> search_;
  QSpinBox* year_ = nullptr;
  QSpinBox* month_ = nullptr;
  QListWidget* list_ = nullptr;
  QProgressBar* progress_ = nullptr;
};

}  // namespace mirokata

#endif  // MIROKATA_NOTES_UI_DIARY_LIST_WINDOW_H_
