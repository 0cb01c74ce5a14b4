#include "contacts/ui/phone_page_model.h"

namespace mirokata {

PhonePageModel::PhonePageModel(QObject* parent) : QAbstractTableModel(parent) {}

void PhonePageModel::SetRows(std::vector<PhoneRow> rows) {
  beginResetModel();
  rows_ = std::move(rows);
  endResetModel();
}

const std::string& PhonePageModel::Cell(int row, int column) const {
  static const std::string empty;
  if (row < 0 || size_t(row) >= rows_.size() || column < 0 ||
      column >= kPhoneColumns) {
    return empty;
  }
  return rows_[size_t(row)][size_t(column)];
}

void PhonePageModel::SetCaptions(const QStringList& captions) {
  captions_ = captions;
  emit headerDataChanged(Qt::Horizontal, 0, kPhoneColumns - 1);
}

void PhonePageModel::SetEditable(bool editable) { editable_ = editable; }

bool PhonePageModel::MoveRow(int from, int to) {
  const int count = int(rows_.size());
  if (from < 0 || to < 0 || from >= count || to >= count) return false;
  if (from == to) return true;
  // Qt counts the destination before the move: one past when going down.
  if (!beginMoveRows({}, from, from, {}, to > from ? to + 1 : to)) {
    return false;
  }
  PhoneRow moved = std::move(rows_[size_t(from)]);
  rows_.erase(rows_.begin() + from);
  rows_.insert(rows_.begin() + to, std::move(moved));
  endMoveRows();
  return true;
}

int PhonePageModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : int(rows_.size());
}

int PhonePageModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : kPhoneColumns;
}

QVariant PhonePageModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || (role != Qt::DisplayRole && role != Qt::EditRole)) {
    return {};
  }
  return QString::fromStdString(Cell(index.row(), index.column()));
}

QVariant PhonePageModel::headerData(int section, Qt::Orientation orientation,
                                    int role) const {
  if (role != Qt::DisplayRole) return {};
  if (orientation == Qt::Vertical) return section + 1;
  return section < captions_.size() ? captions_[section] : QVariant();
}

Qt::ItemFlags PhonePageModel::flags(const QModelIndex& index) const {
  Qt::ItemFlags f = QAbstractTableModel::flags(index);
  if (editable_) f |= Qt::ItemIsEditable;
  return f;
}

bool PhonePageModel::setData(const QModelIndex& index, const QVariant& value,
                             int role) {
  if (!index.isValid() || role != Qt::EditRole || !editable_) return false;
  const int row = index.row();
  const int column = index.column();
  if (size_t(row) >= rows_.size() || column >= kPhoneColumns) return false;
  const std::string text = value.toString().toStdString();
  std::string& cell = rows_[size_t(row)][size_t(column)];
  if (text == cell) return true;
  if (edit_check_ && !edit_check_(text)) return false;
  cell = text;
  emit dataChanged(index, index, {Qt::DisplayRole, Qt::EditRole});
  emit CellEdited(row, column);
  return true;
}

}  // namespace mirokata
