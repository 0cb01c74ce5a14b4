// The to-do board: the tree of categories and notes on the left, the
// selected note's rich text on the right. Every change of the tree is
// written at once; a note is written when it was changed and is left.
#ifndef MIROKATA_NOTES_UI_TODO_BOARD_WINDOW_H_
#define MIROKATA_NOTES_UI_TODO_BOARD_WINDOW_H_

#include <QMainWindow>
#include <QStringList>
#include <QTreeView>
#include <memory>
#include <string>

#include "base/services.h"
#include "notes/todo_board_store.h"

class QLabel;
class QMenu;
class QPrinter;
class QPushButton;
class QSplitter;

namespace mirokata {

class TodoNotePane;
class TodoTreeModel;

inline constexpr char kTodoBoardSection[] = "TodoBoard";

// Drops land only on a node's label or icon, and the dragged note is moved
// by the model, never removed by the drag's source.
class TodoTreeView : public QTreeView {
  Q_OBJECT

 public:
  using QTreeView::QTreeView;

 signals:
  void GotFocus();

 protected:
  void dragMoveEvent(QDragMoveEvent* event) override;
  void dropEvent(QDropEvent* event) override;
  void focusInEvent(QFocusEvent* event) override;

 private:
  QModelIndex TargetAt(const QPoint& point) const;
};

class TodoBoardWindow : public QMainWindow {
  Q_OBJECT

 public:
  // `store`: the board's files, already read.
  TodoBoardWindow(const Services& services, TodoBoardStore store,
                  QWidget* parent = nullptr);
  ~TodoBoardWindow() override;

  // "追加": a new note first under the first category, its title in edit.
  void AddNote();
  // "削除": asks (unless `Form`/`Delete` says not to), then empties the
  // trash.
  void EmptyTrash();
  // Writes the shown note when it was changed; false (with a box) when the
  // write failed.
  bool SaveNote(bool always_tell = true);
  void SelectPosition(size_t position);
  size_t selected_position() const;

  const TodoBoardStore& store() const { return store_; }
  TodoTreeModel* model() const { return model_; }
  TodoTreeView* tree() const { return tree_; }
  TodoNotePane* pane() const { return pane_; }
  QPushButton* add_button() const { return add_; }
  QPushButton* delete_button() const { return delete_; }
  // The menus as they would open now.
  QMenu* BuildWindowMenu();
  QMenu* BuildTextMenu();
  // "印刷": the shown text on `printer`, below the lines naming the node
  // and its parent; the text itself is left as it was.
  void Print(QPrinter& printer);
  QStringList PrintHeaderLines() const;

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  void BuildWidgets();
  void CurrentChanged(const QModelIndex& current, const QModelIndex& previous);
  void ShowNode(size_t position);
  bool SaveTrees();
  void TreeChanged();
  void RemoveTrashedNotes();
  void UpdateButtons();
  void AskPrint();
  void Notice(const std::string& text);

  Services services_;
  TodoBoardStore store_;
  NoteLoad shown_;
  // A change of the tree not yet on disk (the last write failed).
  bool trees_unsaved_ = false;
  bool reverting_ = false;
  // The last write of the shown note failed (said once until one works).
  bool note_failing_ = false;
  std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);

  TodoTreeModel* model_ = nullptr;
  TodoTreeView* tree_ = nullptr;
  TodoNotePane* pane_ = nullptr;
  QSplitter* splitter_ = nullptr;
  QPushButton* add_ = nullptr;
  QPushButton* delete_ = nullptr;
};

}  // namespace mirokata

#endif  // MIROKATA_NOTES_UI_TODO_BOARD_WINDOW_H_
