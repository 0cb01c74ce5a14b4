#include "notes/ui/todo_tree_model.h"

#include <QDataStream>
#include <QIODevice>
#include <QMimeData>
#include <string>

#include "platform/text_codec.h"

namespace mirokata {

TodoTreeModel::TodoTreeModel(TodoTree* tree, QObject* parent)
    : QAbstractItemModel(parent), tree_(tree) {
  Rebuild();
}

void TodoTreeModel::Rebuild() {
  const size_t n = tree_->size();
  parent_.assign(n, -1);
  row_.assign(n, 0);
  children_.assign(n, {});
  top_.clear();
  position_of_id_.clear();
  position_of_id_.reserve(static_cast<qsizetype>(n));
  // The open ancestors of the node being placed, one per depth.
  std::vector<int> path;
  for (size_t i = 0; i < n; ++i) {
    const TodoNode& node = tree_->node(i);
    path.resize(static_cast<size_t>(node.depth));
    const int p = path.empty() ? -1 : path.back();
    parent_[i] = p;
    std::vector<int>& siblings =
        p < 0 ? top_ : children_[static_cast<size_t>(p)];
    row_[i] = static_cast<int>(siblings.size());
    siblings.push_back(static_cast<int>(i));
    path.push_back(static_cast<int>(i));
    position_of_id_.insert(node.id, static_cast<int>(i));
  }
}

void TodoTreeModel::BeginChange() {
  emit layoutAboutToBeChanged();
  saved_ = persistentIndexList();
}

void TodoTreeModel::EndChange() {
  // The saved indexes carry node ids: each finds its node's new place.
  Rebuild();
  QModelIndexList now;
  now.reserve(saved_.size());
  for (const QModelIndex& old : saved_) {
    const auto it =
        position_of_id_.constFind(static_cast<quint32>(old.internalId()));
    now.append(
        it == position_of_id_.constEnd()
            ? QModelIndex()
            : IndexOf(static_cast<size_t>(*it)).siblingAtColumn(old.column()));
  }
  changePersistentIndexList(saved_, now);
  saved_.clear();
  emit layoutChanged();
}

void TodoTreeModel::SetExpanded(const QModelIndex& index, bool expanded) {
  if (!index.isValid()) return;
  const auto id = static_cast<quint32>(index.internalId());
  if (expanded) {
    expanded_.insert(id);
  } else {
    expanded_.remove(id);
  }
  emit dataChanged(index, index, {Qt::DecorationRole});
}

void TodoTreeModel::SetSelected(const QModelIndex& index) {
  const QModelIndex was = IndexOf(PositionOf(createIndex(0, 0, selected_)));
  selected_ = index.isValid() ? static_cast<quint32>(index.internalId()) : 0;
  if (was.isValid()) emit dataChanged(was, was, {Qt::DecorationRole});
  if (index.isValid()) emit dataChanged(index, index, {Qt::DecorationRole});
}

QModelIndex TodoTreeModel::IndexOf(size_t position) const {
  if (position >= tree_->size()) return {};
  return createIndex(row_[position], 0, tree_->node(position).id);
}

size_t TodoTreeModel::PositionOf(const QModelIndex& index) const {
  if (!index.isValid() || index.model() != this) return size_t(-1);
  const auto it =
      position_of_id_.constFind(static_cast<quint32>(index.internalId()));
  return it == position_of_id_.constEnd() ? size_t(-1) : size_t(*it);
}

const std::vector<int>& TodoTreeModel::ChildrenOf(
    const QModelIndex& parent) const {
  if (!parent.isValid()) return top_;
  static const std::vector<int> kNone;
  const size_t p = PositionOf(parent);
  return p < children_.size() ? children_[p] : kNone;
}

QModelIndex TodoTreeModel::index(int row, int column,
                                 const QModelIndex& parent) const {
  if (column != 0 || row < 0) return {};
  const std::vector<int>& children = ChildrenOf(parent);
  if (static_cast<size_t>(row) >= children.size()) return {};
  return IndexOf(static_cast<size_t>(children[static_cast<size_t>(row)]));
}

QModelIndex TodoTreeModel::parent(const QModelIndex& child) const {
  const size_t c = PositionOf(child);
  if (c >= parent_.size() || parent_[c] < 0) return {};
  return IndexOf(static_cast<size_t>(parent_[c]));
}

int TodoTreeModel::rowCount(const QModelIndex& parent) const {
  if (parent.column() > 0) return 0;
  return static_cast<int>(ChildrenOf(parent).size());
}

int TodoTreeModel::columnCount(const QModelIndex&) const { return 1; }

QVariant TodoTreeModel::data(const QModelIndex& index, int role) const {
  const size_t i = PositionOf(index);
  if (i >= tree_->size()) return {};
  switch (role) {
    case Qt::DisplayRole:
    case Qt::EditRole:
    case Qt::AccessibleTextRole:
      return QString::fromStdString(tree_->node(i).title);
    case Qt::DecorationRole:
      switch (tree_->KindOf(i)) {
        case TodoKind::kCategory:
          return images_[expanded_.contains(tree_->node(i).id) ? 1 : 0];
        case TodoKind::kTrash:
          return images_[tree_->HasChildren(i) ? 5 : 4];
        case TodoKind::kNote:
          return images_[tree_->node(i).id == selected_ ? 3 : 2];
      }
      break;
    default:
      break;
  }
  return {};
}

bool TodoTreeModel::setData(const QModelIndex& index, const QVariant& value,
                            int role) {
  const size_t i = PositionOf(index);
  if (role != Qt::EditRole || i >= tree_->size()) return false;
  const std::string title = value.toString().toStdString();
  // The tree file is CP932: a title it cannot hold is never saved as "?".
  if (!FitsCp932(title)) {
    emit TitleRefused(value.toString());
    return false;
  }
  if (!tree_->Rename(i, title)) return false;
  emit dataChanged(index, index);
  emit Renamed(i);
  return true;
}

Qt::ItemFlags TodoTreeModel::flags(const QModelIndex& index) const {
  const size_t i = PositionOf(index);
  if (i >= tree_->size()) return Qt::ItemIsDropEnabled;
  Qt::ItemFlags flags =
      Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsDropEnabled;
  switch (tree_->KindOf(i)) {
    case TodoKind::kNote:
      flags |= Qt::ItemIsEditable | Qt::ItemIsDragEnabled;
      break;
    case TodoKind::kCategory:
      flags |= Qt::ItemIsEditable;
      break;
    case TodoKind::kTrash:
      break;
  }
  return flags;
}

Qt::DropActions TodoTreeModel::supportedDragActions() const {
  return Qt::MoveAction;
}

Qt::DropActions TodoTreeModel::supportedDropActions() const {
  return Qt::MoveAction;
}

QStringList TodoTreeModel::mimeTypes() const {
  return {QString::fromLatin1(kTodoNodeMime)};
}

QMimeData* TodoTreeModel::mimeData(const QModelIndexList& indexes) const {
  if (indexes.isEmpty()) return nullptr;
  const size_t i = PositionOf(indexes.front());
  if (i >= tree_->size() || tree_->KindOf(i) != TodoKind::kNote) {
    return nullptr;
  }
  auto* mime = new QMimeData;
  QByteArray bytes;
  QDataStream(&bytes, QIODevice::WriteOnly) << quint32(tree_->node(i).id);
  mime->setData(QString::fromLatin1(kTodoNodeMime), bytes);
  return mime;
}

bool TodoTreeModel::dropMimeData(const QMimeData* data, Qt::DropAction action,
                                 int row, int, const QModelIndex& parent) {
  if (!data || action != Qt::MoveAction || row != -1) return false;
  const QByteArray bytes = data->data(QString::fromLatin1(kTodoNodeMime));
  if (bytes.size() != 4) return false;
  quint32 id = 0;
  QDataStream(bytes) >> id;
  const auto it = position_of_id_.constFind(id);
  const size_t target = PositionOf(parent);
  if (it == position_of_id_.constEnd() || target >= tree_->size()) {
    return false;
  }
  BeginChange();
  size_t moved_to = 0;
  const bool moved = tree_->Move(static_cast<size_t>(*it), target, &moved_to);
  EndChange();
  if (moved) emit Moved(moved_to);
  return moved;
}

}  // namespace mirokata
