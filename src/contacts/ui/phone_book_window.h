// The phone book: thirteen pages of six-column rows in a grid, edited in
// place, reordered by dragging, searched into the last page; the selected
// row's number, mail and web addresses and host are one click away.
#ifndef MIROKATA_CONTACTS_UI_PHONE_BOOK_WINDOW_H_
#define MIROKATA_CONTACTS_UI_PHONE_BOOK_WINDOW_H_

#include <QMainWindow>
#include <array>
#include <memory>
#include <string>
#include <vector>

#include "base/services.h"
#include "contacts/phone_book_settings.h"
#include "contacts/phone_page.h"
#include "contacts/phone_page_store.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class QTabBar;
class QTableView;
class QToolButton;

namespace mirokata {

class DialField;
class PhonePageModel;
class PingJob;
struct PingOutcome;

class PhoneBookWindow : public QMainWindow {
  Q_OBJECT

 public:
  // `folder`: the "Tel" folder, which exists.
  PhoneBookWindow(const Services& services, const std::string& folder,
                  QWidget* parent = nullptr);
  ~PhoneBookWindow() override;

  // Leaves the current page (saving it when it was changed) and shows
  // `page`. False, staying, when the save failed.
  bool ShowPage(int page);
  // Writes the current page when it was edited or reordered. False, with
  // a box saying why, when the write failed.
  bool SaveCurrentPage();
  // Searches pages 0 to 11 into the search page and shows it.
  bool Search(const QString& text);
  void SetEditLocked(bool locked);
  void SetReorderMode(bool on);
  // Moves a row as a drag in reorder mode does.
  void MoveRow(int from, int to);
  void SelectRow(int row);

  void SendMail();
  void OpenWebPage();
  void Dial();
  void PlayTones();
  void Ping();

  int page() const { return page_; }
  const std::vector<PhoneRow>& rows() const;
  bool page_read_only() const { return !page_faithful_; }
  QString status() const;
  // Why the page is read-only; empty when it is not.
  QString page_note() const;
  QTabBar* tabs() const { return tabs_; }
  QTableView* grid() const { return grid_; }
  DialField* dial_field() const { return dial_; }
  QToolButton* tone_button() const { return tone_button_; }
  QLineEdit* address_field() const { return address_; }
  QPushButton* ping_button() const { return ping_button_; }
  QPushButton* mail_button() const { return mail_button_; }
  QPushButton* web_button() const { return web_button_; }
  QCheckBox* lock_box() const { return lock_box_; }
  QCheckBox* reorder_box() const { return reorder_box_; }
  QLineEdit* search_field() const { return search_field_; }
  // The context menu as it would open now.
  QMenu* BuildContextMenu();

 protected:
  void closeEvent(QCloseEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void BuildWidgets();
  void SetCaptions();
  void ApplyColumnWidths();
  void CommitColumnWidths();
  bool AcceptEdit(const std::string& text);
  void SelectionMoved();
  void ApplyGridMode();
  void SetMode(bool on, bool& mode, QCheckBox* box, const char* key);
  void PingDone(const PingOutcome& outcome);
  void AddressChanged();
  void Notice(int kind, const std::string& text);
  std::string Cell(int column) const;
  std::string Setting(const std::string& key) const;

  Services services_;
  PhonePageStore store_;
  std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
  int page_ = -1;
  bool page_faithful_ = true;
  bool dirty_ = false;
  bool edit_locked_ = false;
  bool reorder_ = false;
  bool tones_playing_ = false;
  std::array<int, 5> widths_ = {100, 100, 100, 100, 169};
  std::unique_ptr<PingJob> ping_;

  QTabBar* tabs_ = nullptr;
  QTableView* grid_ = nullptr;
  PhonePageModel* model_ = nullptr;
  DialField* dial_ = nullptr;
  QToolButton* tone_button_ = nullptr;
  QLineEdit* address_ = nullptr;
  QPushButton* ping_button_ = nullptr;
  QPushButton* mail_button_ = nullptr;
  QPushButton* web_button_ = nullptr;
  QCheckBox* lock_box_ = nullptr;
  QCheckBox* reorder_box_ = nullptr;
  QLineEdit* search_field_ = nullptr;
  QPushButton* search_button_ = nullptr;
  QLabel* top_panel_ = nullptr;
};

}  // namespace mirokata

#endif  // MIROKATA_CONTACTS_UI_PHONE_BOOK_WINDOW_H_
