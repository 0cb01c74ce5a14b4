// The rows of the page on show, as the grid's model: the window's one copy
// of the page, edited in place and reordered without copying the rest.
#ifndef MIROKATA_CONTACTS_UI_PHONE_PAGE_MODEL_H_
#define MIROKATA_CONTACTS_UI_PHONE_PAGE_MODEL_H_

#include <QAbstractTableModel>
#include <QStringList>
#include <functional>
#include <string>
#include <vector>

#include "contacts/phone_page.h"

namespace mirokata {

class PhonePageModel : public QAbstractTableModel {
  Q_OBJECT

 public:
  explicit PhonePageModel(QObject* parent = nullptr);

  void SetRows(std::vector<PhoneRow> rows);
  const std::vector<PhoneRow>& rows() const { return rows_; }
  const std::string& Cell(int row, int column) const;
  void SetCaptions(const QStringList& captions);
  void SetEditable(bool editable);
  // Asked before an edit is stored; false keeps the cell as it was.
  void SetEditCheck(std::function<bool(const std::string&)> check) {
    edit_check_ = std::move(check);
  }
  // Moves one row; false when either index is outside the page.
  bool MoveRow(int from, int to);

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation,
                      int role) const override;
  Qt::ItemFlags flags(const QModelIndex& index) const override;
  bool setData(const QModelIndex& index, const QVariant& value,
               int role) override;

 signals:
  // A cell took an edit.
  void CellEdited(int row, int column);

 private:
  std::vector<PhoneRow> rows_;
  QStringList captions_;
  bool editable_ = true;
  std::function<bool(const std::string&)> edit_check_;
};

}  // namespace mirokata

#endif  // MIROKATA_CONTACTS_UI_PHONE_PAGE_MODEL_H_
