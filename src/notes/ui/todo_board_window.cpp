#include "notes/ui/todo_board_window.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDragMoveEvent>
#include <QDropEvent>
#include <QHBoxLayout>
#include <QItemSelectionModel>
#include <QLabel>
#include <QMenu>
#include <QPointer>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QSplitter>
#include <QStatusBar>
#include <QStyle>
#include <QTextDocument>
#include <QVBoxLayout>
#include <algorithm>
#include <utility>

#include "base/date_pattern.h"
#include "base/folders.h"
#include "base/settings_file.h"
#include "notes/ui/todo_note_pane.h"
#include "notes/ui/todo_tree_model.h"
#include "platform/clock.h"
#include "platform/messages.h"
#include "platform/sound_cues.h"
#include "platform/text_codec.h"
#include "richtext/ui/find_replace_dialog.h"
#include "richtext/ui/print_copy.h"
#include "richtext/ui/rich_text_editor.h"
#include "widgets/accessible_controls.h"
#include "widgets/stored_placement.h"

namespace mirokata {
namespace {

constexpr char kAddedTitlePattern[] = "yyyy/mm/dd(aaa) hh:nn:ss\"登録\"";
// As the phone book says it.
constexpr char kNotCp932Text[] =
    "Shift-JIS (CP932) にない文字は保存できません。\r";
constexpr char kStatusText[] = "やるべき事、やった事を管理できます。";
constexpr int kDesignWidth = 560;
constexpr int kDesignHeight = 380;
constexpr int kDesignTreeWidth = 200;

QString U(const char* text) { return QString::fromUtf8(text); }

}  // namespace

QModelIndex TodoTreeView::TargetAt(const QPoint& point) const {
  const QModelIndex index = indexAt(point);
  // The label or the icon, not the empty row beside them.
  if (!index.isValid() || !visualRect(index).contains(point)) return {};
  return index;
}

void TodoTreeView::dragMoveEvent(QDragMoveEvent* event) {
  // Scrolling and opening branches under the mouse as usual; only where
  // it may land is decided here.
  QTreeView::dragMoveEvent(event);
  if (event->source() == this &&
      TargetAt(event->position().toPoint()).isValid()) {
    event->setDropAction(Qt::MoveAction);
    event->accept();
  } else {
    event->ignore();
  }
}

void TodoTreeView::dropEvent(QDropEvent* event) {
  const QModelIndex target = TargetAt(event->position().toPoint());
  if (event->source() == this && target.isValid() &&
      selectionModel()->currentIndex().isValid()) {
    model()->dropMimeData(event->mimeData(), Qt::MoveAction, -1, -1, target);
  }
  // Reported as a copy: the source must not remove what the model moved.
  event->setDropAction(Qt::CopyAction);
  event->accept();
  stopAutoScroll();
  setState(NoState);
  viewport()->update();
}

void TodoTreeView::focusInEvent(QFocusEvent* event) {
  emit GotFocus();
  QTreeView::focusInEvent(event);
}

TodoBoardWindow::TodoBoardWindow(const Services& services, TodoBoardStore store,
                                 QWidget* parent)
    : QMainWindow(parent), services_(services), store_(std::move(store)) {
  setAttribute(Qt::WA_DeleteOnClose);
  setWindowTitle(U("Todo Board"));
  setAccessibleName(U("Todo Board"));
  BuildWidgets();
  Settings s = services_.settings->Open();
  resize(
      std::max(s.ReadInteger(kTodoBoardSection, "Width", kDesignWidth), 120),
      std::max(s.ReadInteger(kTodoBoardSection, "Height", kDesignHeight), 100));
  PlaceAtStoredPosition(this, services_, kTodoBoardSection, false);
  const int tree_width = std::clamp(
      s.ReadInteger(kTodoBoardSection, "TreeWidth", kDesignTreeWidth), 0,
      width());
  splitter_->setSizes({tree_width, std::max(width() - tree_width, 0)});
  for (int row = 0; row < model_->rowCount(); ++row) {
    tree_->expand(model_->index(row, 0));
  }
  const int last = static_cast<int>(store_.tree().size()) - 1;
  const int index = std::clamp(s.ReadInteger(kTodoBoardSection, "Index", 0), 0,
                               std::max(last, 0));
  SelectPosition(static_cast<size_t>(index));
  UpdateButtons();
  if (services_.cues) services_.cues->Play("ope");
}

TodoBoardWindow::~TodoBoardWindow() { *alive_ = false; }

void TodoBoardWindow::BuildWidgets() {
  model_ = new TodoTreeModel(&store_.tree(), this);
  QStyle* look = style();
  model_->SetImages({look->standardIcon(QStyle::SP_DirClosedIcon),
                     look->standardIcon(QStyle::SP_DirOpenIcon),
                     look->standardIcon(QStyle::SP_FileIcon),
                     look->standardIcon(QStyle::SP_FileIcon),
                     look->standardIcon(QStyle::SP_TrashIcon),
                     look->standardIcon(QStyle::SP_DialogDiscardButton)});
  tree_ = Named(new TodoTreeView, "ToDo項目");
  tree_->setModel(model_);
  tree_->setHeaderHidden(true);
  tree_->setStatusTip(U("ドラッグ & ドロップで項目を移動できます。"));
  tree_->viewport()->setStatusTip(tree_->statusTip());
  tree_->setSelectionMode(QAbstractItemView::SingleSelection);
  tree_->setDragEnabled(true);
  tree_->setAcceptDrops(true);
  tree_->setDropIndicatorShown(false);
  tree_->setDragDropMode(QAbstractItemView::DragDrop);
  tree_->setDefaultDropAction(Qt::MoveAction);
  tree_->setEditTriggers(QAbstractItemView::SelectedClicked |
                         QAbstractItemView::EditKeyPressed);
  tree_->setContextMenuPolicy(Qt::CustomContextMenu);

  add_ = NamedButton("追加", "新規登録");
  add_->setStatusTip(U("新しいToDo項目を追加します。"));
  delete_ = NamedButton("削除", "ごみ箱を全て空にします。");
  delete_->setStatusTip(U("ごみ箱のToDo項目を全て削除します。"));

  auto* left = new QWidget;
  left->setContextMenuPolicy(Qt::CustomContextMenu);
  auto* left_layout = new QVBoxLayout(left);
  left_layout->setContentsMargins(0, 0, 0, 0);
  left_layout->addWidget(tree_, 1);
  auto* buttons = new QHBoxLayout;
  // "追加" takes half the panel, "削除" the rest.
  buttons->addWidget(add_, 1);
  buttons->addWidget(delete_, 1);
  left_layout->addLayout(buttons);

  pane_ = new TodoNotePane(services_.settings);
  pane_->editor()->setContextMenuPolicy(Qt::CustomContextMenu);

  splitter_ = new QSplitter(Qt::Horizontal);
  splitter_->setAccessibleName(U("仕切り"));
  splitter_->addWidget(left);
  splitter_->addWidget(pane_);
  splitter_->setStretchFactor(1, 1);
  splitter_->setChildrenCollapsible(false);
  setCentralWidget(splitter_);

  auto* status = new QLabel(U(kStatusText));
  status->setAccessibleName(U(kStatusText));
  status->setStatusTip(U(kStatusText));
  statusBar()->addWidget(status, 1);
  statusBar()->setAccessibleName(U("ステータスバー"));

  connect(add_, &QPushButton::clicked, this, &TodoBoardWindow::AddNote);
  connect(delete_, &QPushButton::clicked, this, &TodoBoardWindow::EmptyTrash);
  connect(tree_->selectionModel(), &QItemSelectionModel::currentChanged, this,
          &TodoBoardWindow::CurrentChanged);
  connect(tree_, &TodoTreeView::GotFocus, this, [this] { SaveNote(false); });
  connect(pane_, &TodoNotePane::Left, this, [this] { SaveNote(false); });
  connect(tree_, &QTreeView::expanded, this, [this](const QModelIndex& index) {
    model_->SetExpanded(index, true);
  });
  connect(tree_, &QTreeView::collapsed, this, [this](const QModelIndex& index) {
    model_->SetExpanded(index, false);
  });
  // Let go at the right edge, the splitter splits the window in half.
  connect(splitter_, &QSplitter::splitterMoved, this, [this](int position) {
    if (position >= width() - 6 - splitter_->handleWidth()) {
      splitter_->setSizes({width() / 2, width() - width() / 2});
    }
  });
  connect(model_, &TodoTreeModel::Renamed, this, [this](size_t) {
    TreeChanged();
    // The edited title is done: typing goes on in the note.
    QMetaObject::invokeMethod(
        this, [this] { pane_->editor()->setFocus(); }, Qt::QueuedConnection);
  });
  connect(model_, &TodoTreeModel::TitleRefused, this,
          [this](const QString& title) {
            MessageRequest request(MessageKind::kWarning,
                                   kNotCp932Text + title.toStdString());
            request.parent = this;
            services_.messages->ShowNotice(request);
          });
  connect(model_, &TodoTreeModel::Moved, this, [this](size_t) {
    if (services_.cues) services_.cues->Play("c1");
    TreeChanged();
  });
  auto window_menu = [this](const QPoint&) {
    BuildWindowMenu()->popup(QCursor::pos());
  };
  connect(tree_, &QWidget::customContextMenuRequested, this, window_menu);
  connect(left, &QWidget::customContextMenuRequested, this, window_menu);
  connect(pane_->editor(), &QWidget::customContextMenuRequested, this,
          [this](const QPoint&) { BuildTextMenu()->popup(QCursor::pos()); });
}

size_t TodoBoardWindow::selected_position() const {
  return model_->PositionOf(tree_->selectionModel()->currentIndex());
}

void TodoBoardWindow::SelectPosition(size_t position) {
  const QModelIndex index = model_->IndexOf(position);
  if (!index.isValid()) return;
  tree_->selectionModel()->setCurrentIndex(index,
                                           QItemSelectionModel::ClearAndSelect);
  tree_->scrollTo(index);
}

void TodoBoardWindow::CurrentChanged(const QModelIndex& current,
                                     const QModelIndex& previous) {
  if (reverting_) return;
  // The note that was shown goes first; when it cannot be written, the
  // selection stays with it.
  if (!SaveNote(false)) {
    reverting_ = true;
    tree_->selectionModel()->setCurrentIndex(
        previous, QItemSelectionModel::ClearAndSelect);
    reverting_ = false;
    return;
  }
  model_->SetSelected(current);
  ShowNode(model_->PositionOf(current));
}

void TodoBoardWindow::ShowNode(size_t position) {
  shown_ = NoteLoad{};
  const TodoTree& tree = store_.tree();
  if (position >= tree.size()) {
    pane_->ShowReadOnly({});
    return;
  }
  if (tree.KindOf(position) == TodoKind::kNote) {
    shown_ = store_.LoadNote(position);
    if (shown_.writable()) {
      pane_->LoadNote(shown_.data);
    } else {
      // What cannot be read is never shown for editing, so never written.
      pane_->ShowReadOnly({});
    }
    shown_.data.clear();
    return;
  }
  QStringList titles;
  for (size_t child : tree.Children(position)) {
    titles.append(QString::fromStdString(tree.node(child).title));
  }
  pane_->ShowReadOnly(titles);
}

bool TodoBoardWindow::SaveNote(bool always_tell) {
  const bool modified = pane_->modified();
  std::string error;
  if (!store_.StoreNote(shown_, modified,
                        modified ? pane_->NoteRtf() : std::string(), &error)) {
    // Focus moves write too: one failure is told once, not per event.
    if (always_tell || !note_failing_) Notice("保存できません。\r" + error);
    note_failing_ = true;
    return false;
  }
  note_failing_ = false;
  if (modified && shown_.writable()) {
    pane_->MarkSaved();
    shown_.state = NoteLoad::State::kLoaded;
  }
  return true;
}

bool TodoBoardWindow::SaveTrees() {
  std::string error;
  if (!store_.SaveTrees(&error)) {
    trees_unsaved_ = true;
    Notice("保存できません。\r" + error);
    return false;
  }
  trees_unsaved_ = false;
  return true;
}

void TodoBoardWindow::TreeChanged() {
  SaveTrees();
  UpdateButtons();
}

void TodoBoardWindow::UpdateButtons() {
  delete_->setEnabled(store_.tree().FullTrash().has_value());
}

void TodoBoardWindow::Notice(const std::string& text) {
  MessageRequest request(MessageKind::kError, text);
  request.parent = this;
  services_.messages->ShowNotice(request);
}

void TodoBoardWindow::AddNote() {
  if (services_.cues) services_.cues->Play("sav");
  // The shown note is kept before the text area is cleared for the new one.
  if (!SaveNote()) return;
  const std::string title =
      FormatDatePattern(kAddedTitlePattern, services_.clock->Now());
  std::string error;
  model_->BeginChange();
  const size_t position = store_.AddNote(*services_.settings, title, &error);
  model_->EndChange();
  if (position == std::string::npos) return;
  if (!error.empty()) {
    trees_unsaved_ = true;
    Notice("保存できません。\r" + error);
  }
  tree_->setFocus();
  SelectPosition(position);
  tree_->edit(model_->IndexOf(position));
  UpdateButtons();
  services_.messages->Beep(MessageKind::kInformation);
}

void TodoBoardWindow::EmptyTrash() {
  if (!store_.tree().FullTrash()) return;
  MessageRequest request;
  request.parent = this;
  request.corner_of = this;
  QPointer<TodoBoardWindow> self(this);
  ConfirmDeleteLater(*services_.settings, *services_.messages, request, {},
                     [self](bool go_on) {
                       if (self && go_on) self->RemoveTrashedNotes();
                     });
}

void TodoBoardWindow::RemoveTrashedNotes() {
  if (!SaveNote()) return;
  std::string error;
  SoundCues* cues = services_.cues;
  model_->BeginChange();
  const size_t trash = store_.EmptyTrash(
      [cues] {
        if (cues) cues->Play("del");
      },
      &error);
  model_->EndChange();
  if (trash == std::string::npos) return;
  if (!error.empty()) {
    trees_unsaved_ = true;
    Notice("保存できません。\r" + error);
  }
  SelectPosition(trash);
  ShowNode(trash);
  UpdateButtons();
}

QMenu* TodoBoardWindow::BuildWindowMenu() {
  auto* menu = new QMenu(this);
  menu->setAttribute(Qt::WA_DeleteOnClose);
  menu->setAccessibleName(U("Todo Boardのメニュー"));
  menu->addAction(U("新規登録"), this, &TodoBoardWindow::AddNote);
  menu->addAction(U("ごみ箱を空に"), this, &TodoBoardWindow::EmptyTrash)
      ->setEnabled(store_.tree().FullTrash().has_value());
  QAction* at_start = menu->addAction(U("起動時に表示"));
  at_start->setCheckable(true);
  at_start->setChecked(services_.settings->ReadBool("Form", "Todo_pop", false));
  SettingsFile* settings = services_.settings;
  connect(at_start, &QAction::toggled, this,
          [settings](bool on) { settings->WriteBool("Form", "Todo_pop", on); });
  menu->addAction(U("閉じる"), this, &QWidget::close);
  return menu;
}

QMenu* TodoBoardWindow::BuildTextMenu() {
  RichTextEditor* text = pane_->editor();
  const bool editable = !text->isReadOnly();
  auto* menu = new QMenu(this);
  menu->setAttribute(Qt::WA_DeleteOnClose);
  menu->setAccessibleName(U("ToDoの内容のメニュー"));
  menu->addAction(U("やり直し(&U)"), text, &QTextEdit::undo)
      ->setEnabled(editable && text->document()->isUndoAvailable());
  menu->addAction(U("切り抜き(&T)"), text, &QTextEdit::cut)
      ->setEnabled(editable);
  menu->addAction(U("コピー(&C)"), text, &QTextEdit::copy);
  menu->addAction(U("貼り付け(&P)"), text, &QTextEdit::paste)
      ->setEnabled(editable);
  menu->addAction(U("すべてを選択(&S)"), text, &QTextEdit::selectAll);
  QMenu* tools = menu->addMenu(U("ツール"));
  auto find = [text](FindReplaceDialog::Mode mode) {
    return [text, mode] { FindReplaceDialog::Open(text, mode); };
  };
  tools->addAction(U("検索"), this, find(FindReplaceDialog::Mode::kFindFirst));
  tools->addAction(U("置換"), this, find(FindReplaceDialog::Mode::kReplace))
      ->setEnabled(editable);
  tools->addAction(U("印刷"), this, &TodoBoardWindow::AskPrint);
  menu->addSeparator();
  menu->addAction(U("閉じる"), this, &QWidget::close);
  return menu;
}

void TodoBoardWindow::AskPrint() {
  auto* printer = new QPrinter(QPrinter::HighResolution);
  auto* dialog = new QPrintDialog(printer, this);
  dialog->setAttribute(Qt::WA_DeleteOnClose);
  dialog->setAccessibleName(U("印刷"));
  connect(dialog, &QDialog::finished, this, [this, printer](int result) {
    if (result == QDialog::Accepted) Print(*printer);
    delete printer;
  });
  dialog->open();
}

QStringList TodoBoardWindow::PrintHeaderLines() const {
  const TodoTree& tree = store_.tree();
  const size_t position = selected_position();
  QString parent;
  QString title;
  if (position < tree.size()) {
    title = QString::fromStdString(tree.node(position).title);
    // A top-level node has no parent: its own line stays empty.
    if (auto up = tree.Parent(position)) {
      parent = QString::fromStdString(tree.node(*up).title);
    }
  }
  return {U("【") + parent + U("】"), U("【タイトル：") + title + U("】"),
          QString()};
}

void TodoBoardWindow::Print(QPrinter& printer) {
  printer.setDocName(windowTitle());
  // A copy is printed: the note's text, its changes and undo stay put.
  PrintDocumentCopy(*pane_->editor()->document(), printer, PrintHeaderLines());
}

void TodoBoardWindow::closeEvent(QCloseEvent* event) {
  // What cannot be written keeps the window open, with the text.
  if (!SaveNote() || !SaveTrees()) {
    event->ignore();
    return;
  }
  const QRect frame = geometry();
  const int index = static_cast<int>(
      std::min<size_t>(selected_position(), store_.tree().size()));
  const int tree_width = splitter_->sizes().value(0);
  const int top = y();
  const int left = x();
  services_.settings->Open().Batch([&](SettingsBatch& batch) {
    batch.WriteInteger(
        kTodoBoardSection, "Index",
        index >= static_cast<int>(store_.tree().size()) ? 0 : index);
    batch.WriteInteger(kTodoBoardSection, "top", top);
    batch.WriteInteger(kTodoBoardSection, "left", left);
    batch.WriteInteger(kTodoBoardSection, "Width", frame.width());
    batch.WriteInteger(kTodoBoardSection, "Height", frame.height());
    batch.WriteInteger(kTodoBoardSection, "TreeWidth", tree_width);
  });
  if (services_.cues) services_.cues->Play("clo");
  QMainWindow::closeEvent(event);
}

}  // namespace mirokata
