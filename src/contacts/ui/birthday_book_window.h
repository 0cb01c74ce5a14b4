// The birthday book: a birth date with everything known about it, the
// entry of that date (the person's name and notes), the registered
// birthdays and a biorhythm chart of a chosen month.
#ifndef MIROKATA_CONTACTS_UI_BIRTHDAY_BOOK_WINDOW_H_
#define MIROKATA_CONTACTS_UI_BIRTHDAY_BOOK_WINDOW_H_

#include <QWidget>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "base/services.h"
#include "calendar/gregorian.h"
#include "schedule/entry_files.h"

class QLabel;
class QListWidget;
class QMenu;
class QPushButton;
class QSpinBox;
class QTextEdit;

namespace mirokata {

class BiorhythmChart;

class BirthdayBookWindow : public QWidget {
  Q_OBJECT

 public:
  // folder: the data folder. memo_refresh (may be null) runs after each
  // save and delete.
  BirthdayBookWindow(const Services& services, const std::string& folder,
                     std::function<void()> memo_refresh = {},
                     QWidget* parent = nullptr);
  ~BirthdayBookWindow() override;

  // Shows a birth date (clamped and walked back to a real one).
  void SetBirthDate(int year, int month, int day);
  CivilDate birth_date() const { return birth_; }
  // "設定": the birth year of the age in the age field.
  void ApplyAge();
  void Save();
  // Asks first unless `Form`/`Delete` says not to.
  void Delete();
  void FillList();
  void PickListItem(int row);
  // Biorhythm month: -1 back, +1 on, 0 the current month.
  void StepChartMonth(int step);
  void SetThirteenSigns(bool thirteen);

  QSpinBox* field(int i) const { return fields_[i]; }
  QSpinBox* age_field() const { return age_; }
  QTextEdit* text_box() const { return text_; }
  QPushButton* save_button() const { return save_; }
  QPushButton* delete_button() const { return delete_; }
  QListWidget* list() const { return list_; }
  QMenu* sign_menu() const { return sign_menu_; }
  BiorhythmChart* chart() const { return chart_; }
  // Captions by what they show: "path", "sign", "animal", "flower", "word",
  // "rokuyo", "old_month", "stone", "alias", "celebration", "chart_date",
  // "chart_year", "chart_month".
  QLabel* caption(const char* what) const;
  // The picture names shown: sign, animal, stone.
  std::string picture(int i) const { return pictures_[i]; }

 protected:
  void closeEvent(QCloseEvent* event) override;
  void contextMenuEvent(QContextMenuEvent* event) override;

 private:
  void DateFieldChanged();
  void ShowAgeNames(int age);
  void ShowChart();
  CivilDate Today() const;
  void AfterChange();

  Services services_;
  EntryFolder folder_;
  std::function<void()> memo_refresh_;
  std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
  CivilDate birth_;
  std::string entry_name_;
  int chart_year_ = 0;
  int chart_month_ = 0;
  bool asking_ = false;
  QSpinBox* fields_[3] = {};
  QSpinBox* age_ = nullptr;
  QTextEdit* text_ = nullptr;
  QPushButton* save_ = nullptr;
  QPushButton* delete_ = nullptr;
  QListWidget* list_ = nullptr;
  QMenu* sign_menu_ = nullptr;
  BiorhythmChart* chart_ = nullptr;
  QLabel* pictures_shown_[3] = {};
  std::string pictures_[3];
  struct Caption {
    const char* what;
    QLabel* label;
  };
  std::vector<Caption> captions_;
};

// The chart's picture: three curves over the month's day lines.
class BiorhythmChart : public QWidget {
  Q_OBJECT

 public:
  explicit BiorhythmChart(QWidget* parent = nullptr);
  void Show(const CivilDate& birth, int year, int month, int today_day);

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  CivilDate birth_{2000, 1, 1};
  int year_ = 2000;
  int month_ = 1;
  int today_day_ = 0;
};

}  // namespace mirokata

#endif  // MIROKATA_CONTACTS_UI_BIRTHDAY_BOOK_WINDOW_H_
