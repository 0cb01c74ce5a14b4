#include "notes/ui/memo_window.h"

#include <QApplication>
#include <QBuffer>
#include <QClipboard>
#include <QColorDialog>
#include <QContextMenuEvent>
#include <QDateTime>
#include <QDropEvent>
#include <QFileInfo>
#include <QLabel>
#include <QLocale>
#include <QMenu>
#include <QMimeData>
#include <QPainter>
#include <QPrinter>
#include <QVBoxLayout>
#include <QWindow>
#include <filesystem>

#include "base/exit_roles.h"
#include "notes/memo_store.h"
#include "picture/jpeg_jobs.h"
#include "picture/picture_loading.h"
#include "platform/file_io.h"
#include "platform/messages.h"
#include "platform/sound_cues.h"
#include "richtext/ui/print_copy.h"
#include "richtext/ui/rich_text_editor.h"

namespace mirokata {
namespace {

QString U(const char* text) { return QString::fromUtf8(text); }

// Colours are stored as 0x00BBGGRR.
QColor FromStored(int value) {
  return QColor(value & 0xff, (value >> 8) & 0xff, (value >> 16) & 0xff);
}
int ToStored(const QColor& c) {
  return c.red() | (c.green() << 8) | (c.blue() << 16);
}

}  // namespace

MemoWindow::MemoWindow(MemoWindowContext context)
    : QWidget(nullptr, Qt::Tool), context_(std::move(context)) {
  setAttribute(Qt::WA_DeleteOnClose);
  setObjectName(QString::fromStdString(context_.name));
  setAcceptDrops(true);
  setProperty(kStaysOpenAtExit, true);
  const SettingsReader s = settings().Open();
  const std::string& n = context_.name;
  setWindowTitle(QString::fromStdString(
      s.ReadString(MemoCategorySection(context_.category), n, n)));
  setAccessibleName(windowTitle());

  editor_ = new RichTextEditor(this);
  editor_->setAccessibleName(U("メモ"));
  editor_->setLineWrapMode(QTextEdit::NoWrap);
  editor_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  editor_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  editor_->setTabChangesFocus(false);
  editor_->SetDefaultFace(QString::fromStdString(s.ReadString(
                              "Memo", "FontName", "ＭＳ Ｐゴシック")),
                          std::max(1, s.ReadInteger("Memo", "FontSize", 9)));
  editor_->viewport()->installEventFilter(this);
  editor_->setContextMenuPolicy(Qt::NoContextMenu);
  picture_ = new QLabel(this);
  picture_->setAccessibleName(U("画像メモ"));
  picture_->setAlignment(Qt::AlignCenter);
  picture_->hide();
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(editor_);
  layout->addWidget(picture_);

  const MemoColors colors = MemoColorsOf(s, n);
  back_ = FromStored(colors.back);
  font_ = FromStored(colors.font);
  sticky_ = s.ReadBool(n, "ReadOnly", false);
  picture_mode_ = s.ReadInteger(n, "Kind", 0) != 0;
  stretch_ = s.ReadBool(n, "WindowSize", false);
  petit_ = s.ReadBool(n, "peti", false);
  ApplyColors();
  LoadText();
  SetSticky(sticky_);
  SetPictureMode(picture_mode_);
  BuildMenu();
}

MemoWindow::~MemoWindow() = default;

void MemoWindow::LoadText() {
  std::string data;
  const std::string path =
      MemoFilePath(context_.memo_folder, *MemoNumberOf(context_.name));
  const ReadResult read = ReadWholeFile(path, &data);
  file_known_ = read == ReadResult::kOk;
  saved_bytes_ = file_known_ ? data : std::string();
  editor_->LoadRichText(data);
}

void MemoWindow::ApplyColors() {
  editor_->SetPageColors(font_, back_);
  QPalette p = palette();
  p.setColor(QPalette::Window, back_);
  setPalette(p);
  setAutoFillBackground(true);
  update();
}

QAction* MemoWindow::Add(QMenu* menu, const char* caption,
                         const QKeySequence& key) {
  QAction* a = menu->addAction(U(caption));
  a->setObjectName(U(caption));
  if (!key.isEmpty()) {
    a->setShortcut(key);
    a->setShortcutContext(Qt::WidgetWithChildrenShortcut);
    addAction(a);
  }
  return a;
}

QAction* MemoWindow::FindAction(const QString& caption) const {
  return menu_->findChild<QAction*>(caption);
}

void MemoWindow::BuildMenu() {
  menu_ = new QMenu(this);
  menu_->setAccessibleName(U("メモのメニュー"));
  QAction* sticky = Add(menu_, "付箋紙モード", Qt::Key_F3);
  sticky->setCheckable(true);
  connect(sticky, &QAction::triggered, this, [this](bool on) {
    if (!picture_mode_) SetSticky(on);
  });
  connect(Add(menu_, "プチ"), &QAction::triggered, this,
          &MemoWindow::MakePetit);
  menu_->addSeparator()->setObjectName("edit_separator");
  connect(Add(menu_, "切り抜き(&T)"), &QAction::triggered, editor_,
          &QTextEdit::cut);
  connect(Add(menu_, "コピー(&C)"), &QAction::triggered, this, [this] {
    if (!picture_mode_) return editor_->copy();
    if (!image_.isNull()) QApplication::clipboard()->setImage(image_);
  });
  connect(Add(menu_, "貼り付け(&P)"), &QAction::triggered, this, [this] {
    if (picture_mode_) return PastePicture();
    editor_->paste();
  });
  connect(Add(menu_, "すべてを選択(&S)"), &QAction::triggered, editor_,
          &QTextEdit::selectAll);
  connect(Add(menu_, "やり直し(&U)"), &QAction::triggered, editor_,
          &QTextEdit::undo);
  menu_->addSeparator()->setObjectName("edit_separator");

  QMenu* text = menu_->addMenu(U("テキスト"));
  text->menuAction()->setObjectName(U("テキスト"));
  QMenu* basic = text->addMenu(U("基本属性の設定"));
  connect(Add(basic, "背景色"), &QAction::triggered, this, [this] {
    const QColor c = QColorDialog::getColor(back_, this);
    if (c.isValid()) SetBackColor(c);
  });
  connect(Add(basic, "基本のフォント色"), &QAction::triggered, this, [this] {
    const QColor c = QColorDialog::getColor(font_, this);
    if (c.isValid()) SetFontColor(c);
  });
  QMenu* work = text->addMenu(U("操作"));
  work->menuAction()->setObjectName(U("操作"));
  Add(work, "検索", QKeySequence(Qt::CTRL | Qt::Key_F));
  Add(work, "置換", QKeySequence(Qt::CTRL | Qt::Key_R));
  Add(work, "印刷", QKeySequence(Qt::CTRL | Qt::Key_P));
  Add(text, "名前を付けて保存");
  QAction* text_load = text->addAction(U("ファイルの読みこみ"));
  text_load->setObjectName("text_load");

  QMenu* pic = menu_->addMenu(U("画像メモ"));
  pic->menuAction()->setObjectName(U("画像メモ"));
  Add(pic, "窓を画像サイズに合わせる");
  QAction* stretch = Add(pic, "画像を窓サイズに合わせる");
  stretch->setCheckable(true);
  stretch->setChecked(stretch_);
  connect(stretch, &QAction::toggled, this, [this](bool on) {
    stretch_ = on;
    ShowPicture();
  });
  QMenu* save_as = pic->addMenu(U("別名で保存"));
  save_as->menuAction()->setObjectName(U("別名で保存"));
  Add(save_as, "JPG（256色）");
  Add(save_as, "BMP");
  Add(pic, "壁紙として保存");
  pic->addAction(U("ファイルの読みこみ"))->setObjectName("picture_load");

  QMenu* mode = menu_->addMenu(U("動作モード"));
  QAction* as_text = Add(mode, "テキスト", Qt::Key_F1);
  as_text->setObjectName("mode_text");
  connect(as_text, &QAction::triggered, this,
          [this] { SetPictureMode(false); });
  QAction* as_pic = Add(mode, "画像メモ", Qt::Key_F2);
  as_pic->setObjectName("mode_picture");
  connect(as_pic, &QAction::triggered, this, [this] { SetPictureMode(true); });
  connect(Add(menu_, "題名の変更"), &QAction::triggered, this,
          &MemoWindow::TitleEditRequested);
  QMenu* ops = menu_->addMenu(U("メモの操作"));
  connect(Add(ops, "新しいメモを開く"), &QAction::triggered, this,
          [this] { emit NewMemoRequested(context_.category); });
  connect(Add(ops, "このメモを削除"), &QAction::triggered, this,
          &MemoWindow::DeleteRequested);
  connect(Add(menu_, "全てのメモを閉じる"), &QAction::triggered, this,
          &MemoWindow::CloseAllRequested);
  connect(Add(menu_, "閉じる"), &QAction::triggered, this, &QWidget::close);

  connect(FindAction(U("印刷")), &QAction::triggered, this, [this] {
    QPrinter printer;
    PrintTo(printer);
  });
}

void MemoWindow::UpdateMenu() {
  const bool pic = picture_mode_;
  const bool file = !image_.isNull() ||
                    QFileInfo(QString::fromStdString(settings().ReadString(
                                  context_.name, "BmpFile", "")))
                        .isFile();
  FindAction(U("画像メモ"))->setVisible(pic);
  FindAction(U("テキスト"))->setVisible(!pic);
  FindAction(U("やり直し(&U)"))->setEnabled(!pic);
  for (const char* c : {"切り抜き(&T)", "すべてを選択(&S)", "やり直し(&U)"}) {
    FindAction(U(c))->setVisible(!pic);
  }
  FindAction(U("切り抜き(&T)"))->setEnabled(!pic);
  FindAction(U("すべてを選択(&S)"))->setEnabled(!pic);
  FindAction(U("操作"))->setEnabled(!pic);
  FindAction(U("別名で保存"))->setEnabled(pic && file);
  FindAction(U("壁紙として保存"))->setEnabled(pic && file);

  const bool paper = sticky_ && !pic;
  FindAction(U("付箋紙モード"))->setChecked(sticky_);
  if (paper) {
    for (const char* c : {"切り抜き(&T)", "コピー(&C)", "貼り付け(&P)",
                          "すべてを選択(&S)", "やり直し(&U)"}) {
      FindAction(U(c))->setVisible(false);
    }
    FindAction(U("操作"))->setEnabled(false);
  } else {
    FindAction(U("コピー(&C)"))->setVisible(true);
    FindAction(U("貼り付け(&P)"))->setVisible(true);
  }
  for (QAction* sep : menu_->findChildren<QAction*>("edit_separator")) {
    sep->setVisible(!paper);
  }
  menu_->findChild<QAction*>("text_load")->setEnabled(!paper);
  FindAction(U("題名の変更"))->setVisible(!paper);

  const QMimeData* clip = QApplication::clipboard()->mimeData();
  if (pic) {
    FindAction(U("貼り付け(&P)"))->setEnabled(clip && clip->hasImage());
    FindAction(U("コピー(&C)"))->setEnabled(file);
  } else if (!paper) {
    FindAction(U("貼り付け(&P)"))->setEnabled(clip && clip->hasText());
    FindAction(U("コピー(&C)"))->setEnabled(true);
  }
  menu_->findChild<QAction*>("mode_text")->setCheckable(true);
  menu_->findChild<QAction*>("mode_text")->setChecked(!pic);
  menu_->findChild<QAction*>("mode_picture")->setCheckable(true);
  menu_->findChild<QAction*>("mode_picture")->setChecked(pic);
}

QMenu* MemoWindow::PrepareContextMenu() {
  UpdateMenu();
  return menu_;
}

void MemoWindow::contextMenuEvent(QContextMenuEvent* event) {
  if (!petit_) return PrepareContextMenu()->popup(event->globalPos());
  auto* menu = new QMenu(this);
  menu->setAttribute(Qt::WA_DeleteOnClose);
  menu->setAccessibleName(windowTitle());
  connect(menu->addAction(U("「") + windowTitle() + U("」を開く")),
          &QAction::triggered, this, &MemoWindow::RestoreFromPetit);
  connect(menu->addAction(U("閉じる")), &QAction::triggered, this,
          &QWidget::close);
  menu->popup(event->globalPos());
}

void MemoWindow::SetPictureMode(bool picture) {
  picture_mode_ = picture;
  settings().WriteInteger(context_.name, "Kind", picture ? 1 : 0);
  editor_->setVisible(!picture);
  picture_->setVisible(picture);
  if (picture) LoadPictureFile();
}

void MemoWindow::SetSticky(bool sticky) {
  sticky_ = sticky;
  editor_->setReadOnly(sticky);
  editor_->setFrameShape(sticky ? QFrame::NoFrame : QFrame::StyledPanel);
  if (!sticky) editor_->setFocus();
  settings().WriteBool(context_.name, "ReadOnly", sticky);
}

void MemoWindow::SetTitle(const QString& title) {
  setWindowTitle(title);
  setAccessibleName(title);
  settings().WriteString(MemoCategorySection(context_.category), context_.name,
                         title.toStdString());
  emit TitleChanged();
}

void MemoWindow::SetBackColor(const QColor& color) {
  back_ = color;
  settings().WriteInteger(context_.name, "BackColor", ToStored(color));
  ApplyColors();
}

void MemoWindow::SetFontColor(const QColor& color) {
  font_ = color;
  settings().WriteInteger(context_.name, "FontColor", ToStored(color));
  ApplyColors();
}

void MemoWindow::LoadPictureFile() {
  if (picture_loaded_ || petit_) return;
  const QString path = QString::fromStdString(
      settings().ReadString(context_.name, "BmpFile", ""));
  if (path.isEmpty() || !context_.services.jpeg) return;
  picture_loaded_ = true;
  LoadPicture(*context_.services.jpeg, path, false, this, [this](QImage image) {
    image_ = std::move(image);
    ShowPicture();
  });
}

void MemoWindow::ShowPicture() {
  if (image_.isNull()) {
    picture_->clear();
    return;
  }
  picture_->setPixmap(QPixmap::fromImage(
      stretch_ ? image_.scaled(picture_->size().expandedTo({1, 1})) : image_));
}

void MemoWindow::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  if (stretch_ && picture_mode_) ShowPicture();
}

void MemoWindow::PastePicture() {
  const QImage image = QApplication::clipboard()->image();
  if (image.isNull()) return;
  image_ = image;
  ShowPicture();
  const bool bitmap = settings().ReadInteger("Form", "PastePic", 0) != 0;
  const std::string path =
      context_.memo_folder + "/" + context_.name + (bitmap ? ".BMP" : ".JPG");
  QPointer<MemoWindow> self(this);
  auto written = [self, path](bool ok) {
    if (!self || !ok) return;
    self->settings().WriteString(self->context_.name, "BmpFile", path);
    self->picture_loaded_ = true;
  };
  if (!bitmap && context_.services.jpeg) {
    context_.services.jpeg->Encode(ToRgbPicture(image), path, this, written);
    return;
  }
  if (!bitmap) return;
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  image.convertToFormat(QImage::Format_RGB888).save(&buffer, "BMP");
  written(WriteFileAtomic(path,
                          std::string_view(bytes.constData(), bytes.size()),
                          PublicFileMode()));
}

void MemoWindow::PrintTo(QPrinter& printer) {
  const QLocale japanese(QLocale::Japanese, QLocale::Japan);
  const QDateTime now = QDateTime::currentDateTime();
  printer.setDocName(windowTitle());
  PrintDocumentCopy(
      *editor_->document(), printer,
      {U("Title:") + windowTitle(),
       U("Print:") + now.toString("yyyy/MM/dd") + "(" +
           japanese.dayName(now.date().dayOfWeek(), QLocale::ShortFormat) +
           ")" + now.toString("hh:mm:ss"),
       QString()});
}

bool MemoWindow::Save() {
  if (deleted_) return true;
  bool ok = true;
  const std::string bytes = editor_->SaveRichText();
  if (!file_known_ || bytes != saved_bytes_) {
    std::filesystem::create_directories(context_.memo_folder);
    ok = WriteFileAtomic(
        MemoFilePath(context_.memo_folder, *MemoNumberOf(context_.name)), bytes,
        PublicFileMode());
    if (ok) {
      saved_bytes_ = bytes;
      file_known_ = true;
    }
  }
  const SettingsReader s = settings().Open();
  const std::string& n = context_.name;
  const std::string section = MemoCategorySection(context_.category);
  const std::string title = windowTitle().toStdString();
  const QRect frame = frameGeometry();
  auto differs = [&](std::string_view key, int value) {
    return !s.HasKey(n, key) || s.ReadInteger(n, key, 0) != value;
  };
  const bool changed =
      s.ReadString(section, n, "") != title ||
      s.ReadBool(n, "WindowSize", false) != stretch_ ||
      (petit_ ? differs("P_Top", frame.top()) || differs("P_Left", frame.left())
              : differs("Top", frame.top()) || differs("Left", frame.left()) ||
                    differs("Width", width()) || differs("Height", height()));
  if (!changed) return ok;
  return settings().Batch([&](SettingsBatch& b) {
    b.WriteString(section, n, title);
    b.WriteBool(n, "WindowSize", stretch_);
    if (petit_) {
      b.WriteInteger(n, "P_Top", frame.top());
      b.WriteInteger(n, "P_Left", frame.left());
    } else {
      b.WriteInteger(n, "Top", frame.top());
      b.WriteInteger(n, "Left", frame.left());
      b.WriteInteger(n, "Width", width());
      b.WriteInteger(n, "Height", height());
    }
  }) && ok;
}

void MemoWindow::CloseForExit() {
  exiting_ = true;
  Save();
  close();
}

void MemoWindow::Place() {
  const Screen* screen = context_.services.screen;
  const SettingsReader s = settings().Open();
  if (petit_) {
    const MemoFrame at =
        screen
            ? PlacePetitMemo(
                  s.HasKey(context_.name, "P_Left")
                      ? std::optional(s.ReadInteger(context_.name, "P_Left", 0))
                      : std::nullopt,
                  s.HasKey(context_.name, "P_Top")
                      ? std::optional(s.ReadInteger(context_.name, "P_Top", 0))
                      : std::nullopt,
                  x(), y(), *screen)
            : MemoFrame{x(), y(), kPetitMemoSide, kPetitMemoSide};
    setFixedSize(kPetitMemoSide, kPetitMemoSide);
    move(at.left, at.top);
    return;
  }
  if (!screen) return;
  const MemoFrame frame =
      PlaceMemo(ReadOwnMemoFrame(s, context_.name), ReadDefaultMemoFrame(s),
                context_.main_window, *screen);
  setMinimumSize(0, 0);
  setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
  resize(frame.width, frame.height);
  // move() places the frame, which is what is stored: no creeping.
  move(frame.left, frame.top);
}

void MemoWindow::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  if (event->spontaneous()) return;
  if (context_.services.cues) context_.services.cues->Play("ope");
  settings().WriteInteger(context_.name, "Show", 1);
}

void MemoWindow::MakePetit() {
  Save();
  petit_ = true;
  settings().WriteBool(context_.name, "peti", true);
  hide();
  setWindowFlag(Qt::FramelessWindowHint, true);
  editor_->hide();
  picture_->hide();
  setToolTip(windowTitle());
  Place();
  show();
  Save();
}

void MemoWindow::RestoreFromPetit() {
  if (!petit_) return;
  petit_ = false;
  settings().WriteBool(context_.name, "peti", false);
  hide();
  setWindowFlag(Qt::FramelessWindowHint, false);
  setToolTip(QString());
  const Screen* screen = context_.services.screen;
  const SettingsReader s = settings().Open();
  setMinimumSize(0, 0);
  setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
  if (screen) {
    // Only the memo's own keys, then the main window: not the defaults.
    const MemoFrame frame = PlaceMemo(ReadOwnMemoFrame(s, context_.name), {},
                                      context_.main_window, *screen);
    resize(frame.width, frame.height);
    move(frame.left, frame.top);
  }
  SetPictureMode(picture_mode_);
  show();
}

void MemoWindow::StartMove() {
  if (QWindow* w = windowHandle()) {
    moving_ = w->startSystemMove();
  }
}

void MemoWindow::mousePressEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton && petit_) {
    StartMove();
    Save();
    return;
  }
  QWidget::mousePressEvent(event);
}

bool MemoWindow::eventFilter(QObject* watched, QEvent* event) {
  if (watched == editor_->viewport() &&
      event->type() == QEvent::MouseButtonPress && sticky_ &&
      static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
    StartMove();
    Save();
    return true;
  }
  return QWidget::eventFilter(watched, event);
}

void MemoWindow::changeEvent(QEvent* event) {
  QWidget::changeEvent(event);
  if (event->type() == QEvent::WindowStateChange &&
      (windowState() & Qt::WindowMinimized)) {
    setWindowState(windowState() & ~Qt::WindowMinimized);
    QMetaObject::invokeMethod(this, &MemoWindow::MakePetit,
                              Qt::QueuedConnection);
  }
}

void MemoWindow::closeEvent(QCloseEvent* event) {
  if (!exiting_) {
    Save();
    if (context_.services.cues) {
      context_.services.cues->Play(copy_close_ ? "cop" : "clo");
    }
    if (!deleted_) settings().WriteInteger(context_.name, "Show", 0);
  }
  emit Closed(context_.name);
  QWidget::closeEvent(event);
}

void MemoWindow::Warn(const char* text) {
  if (!context_.services.messages) return;
  context_.services.messages->ShowNotice(
      {MessageKind::kWarning, text, MessageButtons::kOk, this});
}

std::optional<QStringList> MemoWindow::AcceptedDrop(const QStringList& paths) {
  for (const QString& p : paths) {
    const QFileInfo info(p);
    if (!info.isFile() || !info.isReadable() || info.size() > kMemoDropLimit) {
      Warn(
          "現在メモにドロップ出来ません。\n新しいメモを開くか、一旦閉じて"
          "からまた開いて再度行って下さい。");
      return std::nullopt;
    }
  }
  if (paths.isEmpty()) return std::nullopt;
  return paths;
}

void MemoWindow::LoadDroppedFile(const QString& path) {
  if (settings().ReadBool("Memo", "DropCaption", false)) SetTitle(path);
  const QString upper = path.toUpper();
  if (upper.endsWith(".BMP") || upper.endsWith(".JPG")) {
    settings().WriteString(context_.name, "BmpFile", path.toStdString());
    picture_loaded_ = false;
    image_ = QImage();
    SetPictureMode(true);
    QPointer<MemoWindow> self(this);
    // The picture arrives later; the window then takes its size.
    if (context_.services.jpeg) {
      picture_loaded_ = true;
      LoadPicture(*context_.services.jpeg, path, false, this,
                  [self](QImage image) {
                    if (!self) return;
                    self->image_ = std::move(image);
                    if (!self->image_.isNull()) {
                      self->resize(self->image_.size());
                    }
                    self->ShowPicture();
                    self->Save();
                  });
    }
  } else {
    std::string data;
    if (ReadWholeFile(path.toStdString(), &data) == ReadResult::kOk) {
      SetPictureMode(false);
      editor_->LoadRichText(data);
    }
  }
  Save();
}

void MemoWindow::dragEnterEvent(QDragEnterEvent* event) {
  if (event->mimeData()->hasUrls()) event->acceptProposedAction();
}

void MemoWindow::dropEvent(QDropEvent* event) {
  QStringList paths;
  for (const QUrl& url : event->mimeData()->urls()) {
    if (url.isLocalFile()) paths << url.toLocalFile();
  }
  event->acceptProposedAction();
  // Asked only after the drop has been answered: a box inside an X drop
  // stalls the program the files came from.
  QMetaObject::invokeMethod(
      this,
      [this, paths] {
        raise();
        if (auto accepted = AcceptedDrop(paths)) emit FilesDropped(*accepted);
      },
      Qt::QueuedConnection);
}

}  // namespace mirokata
