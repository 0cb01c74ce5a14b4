// The find ("検索") and replace ("置換") dialogs of a rich text editor:
// non-modal, one of each per editor, searching that editor's own text.
#ifndef MIROKATA_RICHTEXT_UI_FIND_REPLACE_DIALOG_H_
#define MIROKATA_RICHTEXT_UI_FIND_REPLACE_DIALOG_H_

#include <QDialog>
#include <QPointer>

class QLineEdit;
class QPushButton;

namespace mirokata {

class RichTextEditor;

class FindReplaceDialog : public QDialog {
  Q_OBJECT

 public:
  enum class Mode { kFind, kReplace };

  // Shows the editor's dialog of that kind (made on first use, raised
  // after; the editor owns it). Opening the find dialog starts the search
  // at the first line again.
  static FindReplaceDialog* Open(RichTextEditor* editor, Mode mode);

  Mode mode() const { return mode_; }
  QLineEdit* find_box() const { return find_box_; }
  QLineEdit* replace_box() const { return replace_box_; }  // replace only
  QPushButton* find_next_button() const { return find_next_; }
  QPushButton* replace_button() const { return replace_; }
  QPushButton* replace_all_button() const { return replace_all_; }

  // The buttons' work: find selects the next line's first hit (find) or
  // the first hit in the whole text (replace, with a beep when there is
  // none); replace and replace-all change the text and close the dialog.
  void FindNext();
  void ReplaceOne();
  void ReplaceEvery();

 private:
  FindReplaceDialog(RichTextEditor* editor, Mode mode);
  void Select(int position, int length);
  bool Writable() const;

  QPointer<RichTextEditor> editor_;
  Mode mode_;
  QLineEdit* find_box_;
  QLineEdit* replace_box_ = nullptr;
  QPushButton* find_next_;
  QPushButton* replace_ = nullptr;
  QPushButton* replace_all_ = nullptr;
};

}  // namespace mirokata

#endif  // MIROKATA_RICHTEXT_UI_FIND_REPLACE_DIALOG_H_
