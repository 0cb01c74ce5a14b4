// A sticky memo on the desktop: a framed tool window of its own (no task
// bar button, untouched by the main window's modes) holding rich text or a
// picture, or shrunk to a frameless 16 x 16 square.
#ifndef MIROKATA_NOTES_UI_MEMO_WINDOW_H_
#define MIROKATA_NOTES_UI_MEMO_WINDOW_H_

#include <QImage>
#include <QPointer>
#include <QStringList>
#include <QWidget>
#include <functional>
#include <optional>
#include <string>

#include "base/services.h"
#include "notes/memo_placement.h"

class QLabel;
class QMenu;
class QPrinter;
class QAction;

namespace mirokata {

class RichTextEditor;

// Dropped files above this size get the drop warning.
inline constexpr qint64 kMemoDropLimit = 16 * 1024 * 1024;

struct MemoWindowContext {
  Services services;
  std::string memo_folder;
  int category = 0;
  std::string name;  // "Memo12"
  // The main window's frame and inner size, for the default places.
  MemoFrame main_window;
};

class MemoWindow : public QWidget {
  Q_OBJECT

 public:
  explicit MemoWindow(MemoWindowContext context);
  ~MemoWindow() override;

  const std::string& name() const { return context_.name; }
  int category() const { return context_.category; }
  RichTextEditor* editor() const { return editor_; }
  QLabel* picture_label() const { return picture_; }
  bool picture_mode() const { return picture_mode_; }
  bool sticky() const { return sticky_; }
  bool petit() const { return petit_; }
  const QImage& picture() const { return image_; }

  // The context menu as it is before it pops up at `at` (built afresh).
  QMenu* PrepareContextMenu();
  QAction* FindAction(const QString& caption) const;

  void SetPictureMode(bool picture);
  void SetSticky(bool sticky);
  void SetTitle(const QString& title);
  void SetBackColor(const QColor& color);
  void SetFontColor(const QColor& color);
  void MakePetit();
  void RestoreFromPetit();

  // Pastes the clipboard's picture: kept as "<name>.BMP" when `PastePic`
  // is nonzero, else encoded as "<name>.JPG"; `BmpFile` names it once the
  // file is written.
  void PastePicture();
  // Prints the text with the title and the time above it, on a copy.
  void PrintTo(QPrinter& printer);

  // Writes what changed: the file only when its bytes differ from what is
  // on disk, the keys in one batch. False when a write failed.
  bool Save();
  // Program exit: saves and goes without touching `Show`, so the memo
  // reopens at the next start.
  void CloseForExit();
  // The next close copies instead ("cop" in place of "clo").
  void MarkCopyClose() { copy_close_ = true; }

  // Choice 1 of a drop: the file becomes this memo's text, or its picture
  // for a ".BMP" or ".JPG" file (the window takes the picture's size);
  // with `DropCaption` its path becomes the title. Saved afterwards.
  void LoadDroppedFile(const QString& path);
  const std::string& memo_folder() const { return context_.memo_folder; }

  // Sorts dropped paths: those to hand on, or nothing after the drop
  // warning (a file that cannot be read or is over the limit).
  std::optional<QStringList> AcceptedDrop(const QStringList& paths);

 signals:
  // Files dropped and accepted, asked about after the drop has ended.
  void FilesDropped(const QStringList& paths);
  void TitleChanged();
  // "新しいメモを開く", "このメモを削除", "全てのメモを閉じる", "題名の変更".
  void NewMemoRequested(int category);
  void DeleteRequested();
  void CloseAllRequested();
  void TitleEditRequested();
  void Closed(const std::string& name);

 protected:
  void showEvent(QShowEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void contextMenuEvent(QContextMenuEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void changeEvent(QEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dropEvent(QDropEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  SettingsFile& settings() const { return *context_.services.settings; }
  QAction* Add(QMenu* menu, const char* caption, const QKeySequence& key = {});
  void BuildMenu();
  void UpdateMenu();
  void LoadText();
  void LoadPictureFile();
  void ShowPicture();
  void ApplyColors();
  void Place();
  void StartMove();
  void Warn(const char* text);

  MemoWindowContext context_;
  RichTextEditor* editor_;
  QLabel* picture_;
  QMenu* menu_ = nullptr;
  QImage image_;
  QColor back_, font_;
  bool picture_mode_ = false;
  bool sticky_ = false;
  bool petit_ = false;
  bool stretch_ = false;
  bool picture_loaded_ = false;
  bool deleted_ = false;
  bool copy_close_ = false;
  bool exiting_ = false;
  bool moving_ = false;
  std::string saved_bytes_;  // the memo file as last read or written
  bool file_known_ = false;
};

}  // namespace mirokata

#endif  // MIROKATA_NOTES_UI_MEMO_WINDOW_H_
