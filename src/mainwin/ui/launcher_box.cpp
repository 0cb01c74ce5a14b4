#include "mainwin/ui/launcher_box.h"

#include <sys/stat.h>

#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QStringList>
#include <QStringListModel>

#include "mainwin/launcher_actions.h"
#include "mainwin/launcher_menu.h"
#include "platform/file_io.h"
#include "platform/messages.h"
#include "platform/shell.h"
#include "platform/sound_cues.h"

namespace mirokata {

namespace {
QString U(const char* text) { return QString::fromUtf8(text); }
}  // namespace

LauncherBox::LauncherBox(QComboBox* box, Services& services,
                         std::string shortcut_folder,
                         std::function<void(bool, bool)> empty_enter)
    : QObject(box),
      box_(box),
      services_(services),
      folder_(std::move(shortcut_folder)),
      empty_enter_(std::move(empty_enter)),
      search_menu_(new QMenu(box)) {
  box_->setEditable(true);
  // A plain list model: a thousand names are refilled after every key.
  model_ = new QStringListModel(box_);
  box_->setModel(model_);
  box_->setInsertPolicy(QComboBox::NoInsert);
  box_->setAccessibleName(U("ランチャー"));
  box_->lineEdit()->setAccessibleName(U("ランチャー"));
  box_->lineEdit()->installEventFilter(this);
  const std::vector<WebSearch>& searches = WebSearches();
  for (size_t i = 0; i < searches.size(); ++i) {
    connect(search_menu_->addAction(U(searches[i].caption)),
            &QAction::triggered, this, [this, i] { Search(int(i)); });
  }
  connect(box_->lineEdit(), &QLineEdit::textEdited, this,
          [this] { Refresh(); });
  Refresh();
}

void LauncherBox::Refresh() {
  ::mkdir(folder_.c_str(), PublicFolderMode());
  const QString text = box_->currentText();
  const int caret = box_->lineEdit()->cursorPosition();
  const std::vector<std::string> names =
      ListShortcuts(folder_, text.toStdString());
  box_->blockSignals(true);
  QStringList items;
  items.reserve(qsizetype(names.size()));
  for (const std::string& n : names) items << QString::fromStdString(n);
  model_->setStringList(items);
  box_->setEditText(text);
  box_->lineEdit()->setCursorPosition(caret);
  box_->blockSignals(false);
  matched_ = TypedMatchesFirst(text.toStdString(), names);
  QPalette palette = box_->lineEdit()->palette();
  palette.setColor(
      QPalette::Base,
      box_->palette().color(matched_ ? QPalette::Button : QPalette::Base));
  box_->lineEdit()->setPalette(palette);
  box_->setToolTip(
      text.isEmpty() ? U("\".\"(ピリオド)でショートカット専用フォルダ") : text);
}

void LauncherBox::Clear() {
  box_->setEditText(QString());
  Refresh();
}

void LauncherBox::Start() {
  const std::string text = box_->currentText().toStdString();
  if (text.empty()) return;
  const std::string command = ResolveLauncherText(folder_, text);
  if (services_.shell && OpenCommandText(*services_.shell, command)) {
    if (services_.cues) services_.cues->Play("ope");
    Clear();
    return;
  }
  if (services_.messages) services_.messages->Beep(MessageKind::kInformation);
  search_menu_->popup(box_->mapToGlobal(QPoint(0, box_->height())));
}

void LauncherBox::Search(int index) {
  const std::vector<WebSearch>& searches = WebSearches();
  if (index < 0 || index >= int(searches.size()) || !services_.shell) return;
  services_.shell->OpenDocument(WebSearchAddress(
      searches[size_t(index)].prefix, box_->currentText().toStdString()));
  if (services_.cues) services_.cues->Play("ope");
  Clear();
}

bool LauncherBox::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::KeyPress) {
    auto* key = static_cast<QKeyEvent*>(event);
    if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
      const bool shift = key->modifiers() & Qt::ShiftModifier;
      const bool ctrl = key->modifiers() & Qt::ControlModifier;
      if (box_->currentText().isEmpty() || ctrl) {
        if (empty_enter_) empty_enter_(shift, ctrl);
      } else {
        Start();
      }
      return true;
    }
  }
  return QObject::eventFilter(watched, event);
}

}  // namespace mirokata
