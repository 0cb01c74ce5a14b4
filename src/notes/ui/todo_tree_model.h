// The board's tree for a QTreeView: rows over the store's tree, each index
// carrying its node's id so that selections and expanded branches follow a
// node through moves. Drops move notes within the tree.
#ifndef MIROKATA_NOTES_UI_TODO_TREE_MODEL_H_
#define MIROKATA_NOTES_UI_TODO_TREE_MODEL_H_

#include <QAbstractItemModel>
#include <QHash>
#include <QIcon>
#include <QSet>
#include <array>
#include <vector>

#include "notes/todo_tree.h"

namespace mirokata {

inline constexpr char kTodoNodeMime[] = "application/x-mirokata-todo-node";

class TodoTreeModel : public QAbstractItemModel {
  Q_OBJECT

 public:
  explicit TodoTreeModel(TodoTree* tree, QObject* parent = nullptr);

  // The images by number: closed category, open category, note, selected
  // note, empty trash, trash with notes.
  void SetImages(const std::array<QIcon, 6>& images) { images_ = images; }

  // Around any change of the tree's shape: the views keep their current,
  // selected and expanded nodes by id.
  void BeginChange();
  void EndChange();

  // The open categories and the selected note get their own images.
  void SetExpanded(const QModelIndex& index, bool expanded);
  void SetSelected(const QModelIndex& index);

  QModelIndex IndexOf(size_t position) const;
  // The node's position in depth-first order; npos for an invalid index.
  size_t PositionOf(const QModelIndex& index) const;

  QModelIndex index(int row, int column,
                    const QModelIndex& parent = QModelIndex()) const override;
  QModelIndex parent(const QModelIndex& child) const override;
  int rowCount(const QModelIndex& parent = QModelIndex()) const override;
  int columnCount(const QModelIndex& parent = QModelIndex()) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  bool setData(const QModelIndex& index, const QVariant& value,
               int role) override;
  Qt::ItemFlags flags(const QModelIndex& index) const override;

  Qt::DropActions supportedDragActions() const override;
  Qt::DropActions supportedDropActions() const override;
  QStringList mimeTypes() const override;
  QMimeData* mimeData(const QModelIndexList& indexes) const override;
  // A drop on a node (row -1) moves the dragged note there; anything else,
  // and a move the tree refuses, is ignored.
  bool dropMimeData(const QMimeData* data, Qt::DropAction action, int row,
                    int column, const QModelIndex& parent) override;

 signals:
  // A title was edited.
  void Renamed(size_t position);
  // A title the tree file could not hold as typed was refused.
  void TitleRefused(const QString& title);
  // A note was dropped and now stands at `position`.
  void Moved(size_t position);

 private:
  void Rebuild();
  const std::vector<int>& ChildrenOf(const QModelIndex& parent) const;

  TodoTree* tree_;
  std::array<QIcon, 6> images_;
  // Per position: the parent's position (-1 at the top) and the row in it.
  std::vector<int> parent_;
  std::vector<int> row_;
  std::vector<std::vector<int>> children_;
  std::vector<int> top_;
  QHash<quint32, int> position_of_id_;
  QModelIndexList saved_;
  QSet<quint32> expanded_;
  quint32 selected_ = 0;
};

}  // namespace mirokata

#endif  // MIROKATA_NOTES_UI_TODO_TREE_MODEL_H_
