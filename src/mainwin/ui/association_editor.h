// The program's own file associations: which program opens a Ctrl-dropped
// file, by extension, and the one for any other file.
#ifndef MIROKATA_MAINWIN_UI_ASSOCIATION_EDITOR_H_
#define MIROKATA_MAINWIN_UI_ASSOCIATION_EDITOR_H_

#include <QWidget>

#include "base/services.h"
#include "mainwin/launcher_actions.h"

class QLineEdit;
class QPushButton;
class QTreeWidget;

namespace mirokata {

class AssociationEditor : public QWidget {
  Q_OBJECT

 public:
  explicit AssociationEditor(Services& services, QWidget* parent = nullptr);

  const Associations& table() const { return table_; }
  QLineEdit* extension_field() const { return extension_; }
  QLineEdit* program_field() const { return program_; }
  QLineEdit* fallback_field() const { return fallback_; }
  QTreeWidget* list() const { return list_; }

  void SaveExtension();   // "&Save"
  void DeleteSelected();  // "削除"
  void CloseAndWrite();   // "閉じる"
  // A program (executable or ".desktop") becomes the program; any other
  // file gives its extension.
  void TakeDroppedFile(const QString& path);

 protected:
  void showEvent(QShowEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dropEvent(QDropEvent* event) override;

 private:
  void Fill();
  void ExtensionTyped();

  Services& services_;
  Associations table_;
  QLineEdit* fallback_;
  QLineEdit* extension_;
  QLineEdit* program_;
  QPushButton* program_browse_;
  QPushButton* save_;
  QTreeWidget* list_;
  bool shown_once_ = false;
};

}  // namespace mirokata

#endif  // MIROKATA_MAINWIN_UI_ASSOCIATION_EDITOR_H_
