#include "notes/ui/diary_window.h"

#include <QAction>
#include <QCloseEvent>
#include <QContextMenuEvent>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QShortcut>
#include <QStackedWidget>
#include <QStatusBar>
#include <QTextBlock>
#include <QTextCursor>
#include <QVBoxLayout>
#include <cstdio>
#include <filesystem>
#include <utility>

#include "base/settings_file.h"
#include "base/window_placement.h"
#include "notes/diary_store.h"
#include "picture/picture_loading.h"
#include "platform/clock.h"
#include "platform/color/color_value.h"
#include "platform/messages.h"
#include "platform/screen.h"
#include "platform/sound_cues.h"
#include "richtext/text_find.h"
#include "richtext/ui/find_replace_dialog.h"
#include "richtext/ui/print_copy.h"
#include "richtext/ui/rich_text_editor.h"
#include "richtext/ui/rich_text_pane.h"
#include "widgets/accessible_controls.h"
#include "widgets/picture_chooser_dialog.h"

namespace mirokata {
namespace {

QString U(const char* text) { return QString::fromUtf8(text); }
QString Q(const std::string& text) { return QString::fromStdString(text); }

constexpr char kSection[] = "Nikki";
constexpr int kDesignHeight = 438;
constexpr int kDesignWidth = 497;
constexpr char kReadOnlyMark[] = " (RO)";

// Buttons that append to the weather field, with what they append.
struct WeatherButton {
  const char* caption;
  const char* text;
};
constexpr WeatherButton kWeatherButtons[] = {
    {"晴", "晴"}, {"曇", "曇"},     {"雨", "雨"},    {"雷", "雷"},
    {"雪", "雪"}, {"後", " のち "}, {"時", " 時々 "}};
constexpr const char* kWeatherChoices[] = {
    "晴", "曇", "雨", "晴 のち 曇", "晴 のち 雨", "曇 のち 雨", "晴 時々 雨"};

}  // namespace

DiaryWindow::DiaryWindow(const Services& services, std::string folder,
                         const CivilDate& date, QWidget* parent)
    : QWidget(parent, Qt::Window),
      services_(services),
      folder_(std::move(folder)),
      date_(date),
      ddd_(LocaleShortWeekdayNames()) {
  setAttribute(Qt::WA_DeleteOnClose);
  setWindowTitle(U("日記"));
  BuildUi();
  UpdateCaption();
}

DiaryWindow::~DiaryWindow() = default;

void DiaryWindow::BuildUi() {
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(2, 2, 2, 2);
  auto* top = new QHBoxLayout;
  for (const WeatherButton& b : kWeatherButtons) {
    QPushButton* button = NamedButton(b.caption);
    button->setFixedWidth(28);
    const QString text = U(b.text);
    connect(button, &QPushButton::clicked, this,
            [this, text] { AddWeather(text); });
    top->addWidget(button);
  }
  weather_ = Named(new QLineEdit, "天気");
  weather_->setContextMenuPolicy(Qt::CustomContextMenu);
  connect(weather_, &QLineEdit::customContextMenuRequested, this,
          [this](const QPoint& at) {
            QMenu menu;
            for (const char* choice : kWeatherChoices) {
              const QString text = U(choice);
              menu.addAction(text, this, [this, text] {
                weather_->setText(text);
                MarkModified();
              });
            }
            menu.exec(weather_->mapToGlobal(at));
          });
  connect(weather_, &QLineEdit::textEdited, this, [this] { MarkModified(); });
  top->addWidget(weather_, 1);
  layout->addLayout(top);

  auto* second = new QHBoxLayout;
  title_ = Named(new QLineEdit, "タイトル");
  title_->setMaxLength(static_cast<int>(kDiaryValueLimit));
  connect(title_, &QLineEdit::textEdited, this, [this] { MarkModified(); });
  second->addWidget(title_, 1);
  QPushButton* export_button = NamedButton("別保存");
  export_button->setToolTip(U("共通形式(ﾌﾟﾚｰﾝﾃｷｽﾄ)で保存"));
  connect(export_button, &QPushButton::clicked, this, [this] { Export(); });
  second->addWidget(export_button);
  delete_button_ = NamedButton("削除");
  delete_button_->setToolTip(U("日記を削除します"));
  delete_button_->setEnabled(false);
  connect(delete_button_, &QPushButton::clicked, this, [this] { Delete(); });
  second->addWidget(delete_button_);
  picture_button_ = NamedButton("画像");
  connect(picture_button_, &QPushButton::clicked, this,
          [this] { TogglePicture(); });
  second->addWidget(picture_button_);
  layout->addLayout(second);

  pages_ = new QStackedWidget;
  pane_ = new RichTextPane(services_.settings);
  editor_ = Named(pane_->editor(), "本文");
  connect(pane_, &RichTextPane::FormatChanged, this,
          [this] { MarkModified(); });
  editor_->setContextMenuPolicy(Qt::CustomContextMenu);
  connect(
      editor_, &QTextEdit::customContextMenuRequested, this,
      [this](const QPoint& at) {
        QMenu menu;
        QMenu* picture = menu.addMenu(U("画像"));
        picture->addAction(U("表示"), this, [this] { TogglePicture(); });
        picture->addAction(U("開く(&O)"), this, [this] { ChoosePicture(); });
        menu.addSeparator();
        menu.addAction(U("切り抜き(&T)"), editor_, &QTextEdit::cut);
        menu.addAction(U("コピー(&C)"), editor_, &QTextEdit::copy);
        menu.addAction(U("貼り付け(&P)"), editor_, &QTextEdit::paste);
        menu.addAction(U("すべてを選択(&S)"), editor_, &QTextEdit::selectAll);
        menu.addAction(U("やり直し(&U)"), editor_, &QTextEdit::undo);
        menu.addSeparator();
        menu.addAction(U("検索"), this, [this] { OpenFind(); });
        menu.addAction(U("置換"), this, [this] { OpenReplace(); });
        menu.addAction(U("印刷"), this, [this] { Print(); });
        menu.addSeparator();
        QAction* ro = menu.addAction(U("読み取り専用"), this, [this] {
          SetReadOnly(!read_only_);
          MarkModified();
        });
        ro->setCheckable(true);
        ro->setChecked(read_only_);
        menu.addSeparator();
        menu.addAction(U("閉じる"), this, &QWidget::close);
        menu.exec(editor_->viewport()->mapToGlobal(at));
      });
  connect(editor_->document(), &QTextDocument::contentsChanged, this,
          [this] { MarkModified(); });
  pages_->addWidget(pane_);
  auto shortcut = [this](const char* keys, void (DiaryWindow::*run)()) {
    connect(new QShortcut(QKeySequence(U(keys)), this), &QShortcut::activated,
            this, run);
  };
  shortcut("Ctrl+F", &DiaryWindow::OpenFind);
  shortcut("Ctrl+R", &DiaryWindow::OpenReplace);
  shortcut("Ctrl+P", &DiaryWindow::Print);
  picture_view_ = Named(new QLabel, "画像表示");
  picture_view_->setAlignment(Qt::AlignCenter);
  pages_->addWidget(picture_view_);
  layout->addWidget(pages_, 1);
  status_ = Named(new QStatusBar, "状態");
  status_->setSizeGripEnabled(false);
  layout->addWidget(status_);
}

QString DiaryWindow::status() const { return status_->currentMessage(); }

bool DiaryWindow::picture_shown() const {
  return pages_->currentWidget() == picture_view_;
}

void DiaryWindow::UpdateCaption() {
  QString caption = Q(DiaryCaption(date_, ddd_));
  if (read_only_) caption += U(kReadOnlyMark);
  setWindowTitle(caption);
}

void DiaryWindow::MarkModified() {
  if (!loading_ && session_) session_->MarkModified();
}

void DiaryWindow::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  if (!loaded_ && !Load())
    QMetaObject::invokeMethod(this, &QWidget::close, Qt::QueuedConnection);
}

void DiaryWindow::PlaceFromSettings() {
  const Settings s = services_.settings->Open();
  move(s.ReadInteger(kSection, "left", 0), s.ReadInteger(kSection, "top", 0));
  resize(s.ReadInteger(kSection, "Width", kDesignWidth),
         s.ReadInteger(kSection, "Height", kDesignHeight));
}

void DiaryWindow::KeepOnScreen() {
  // Stored sizes may be anything: no window larger than the screen.
  if (services_.screen == nullptr) return;
  const std::vector<ScreenRect> screens =
      services_.screen->AvailableGeometries();
  if (screens.empty()) return;
  const ScreenRect area = ScreenNearest({x(), y()}, screens);
  const int w = std::clamp(width(), 100, std::max(100, area.width));
  const int h = std::clamp(height(), 100, std::max(100, area.height));
  resize(w, h);
  const Point at = ClampToScreens({x(), y()}, {w, h}, screens);
  move(at.left, at.top);
}

void DiaryWindow::ApplyColors() {
  const DiaryHeader& h = session_->page().header;
  const Settings s = services_.settings->Open();
  const int32_t text = h.font_color.value_or(s.ReadInteger(
      kSection, "FontColor", static_cast<int32_t>(kClWindowText)));
  const int32_t back = h.back_color.value_or(
      s.ReadInteger(kSection, "BackColor", static_cast<int32_t>(kClWindow)));
  editor_->SetPageColors(ColorFromValue(static_cast<ColorValue>(text)),
                         ColorFromValue(static_cast<ColorValue>(back)));
}

void DiaryWindow::ApplyHeader(const DiaryHeader& header) {
  title_->setText(Q(header.title));
  weather_->setText(Q(header.weather));
  picture_ = header.picture;
  if (header.left || header.top) {
    move(header.left.value_or(x()), header.top.value_or(y()));
  }
  if (header.width || header.height) {
    resize(header.width.value_or(width()), header.height.value_or(height()));
  }
  SetReadOnly(header.read_only);
}

bool DiaryWindow::Load() {
  if (loaded_) return !refused_;
  loaded_ = true;
  loading_ = true;
  if (services_.cues) services_.cues->Play("ope");
  PlaceFromSettings();
  {
    const Settings s = services_.settings->Open();
    const int size = s.ReadInteger(kSection, "FontSize", 9);
    editor_->SetDefaultFace(
        Q(s.ReadString(kSection, "FontName", "ＭＳ Ｐゴシック")),
        std::clamp(size, 1, 999));
  }
  session_ = std::make_unique<DiaryPageSession>(
      folder_, date_, services_.clock->Now().year, DiaryCaption(date_, ddd_));
  if (!session_->can_show()) {
    if (session_->state() == PageOpenState::kRefused) {
      services_.messages->ShowNotice({MessageKind::kWarning,
                                      session_->message(),
                                      MessageButtons::kCancel});
    }
    refused_ = true;
    loading_ = false;
    return false;
  }
  const DiaryPage& page = session_->page();
  if (session_->state() == PageOpenState::kNew) {
    title_->setText(Q(page.header.title));
    SetReadOnly(false);
  } else {
    ApplyHeader(page.header);
    editor_->LoadRichText(page.body);
  }
  delete_button_->setEnabled(session_->can_delete());
  if (session_->state() == PageOpenState::kRead) {
    status_->showMessage(Q(session_->path()));
  } else if (session_->state() == PageOpenState::kConverted) {
    status_->showMessage(Q(session_->message()));
  }
  ApplyColors();
  KeepOnScreen();
  loading_ = false;
  return true;
}

void DiaryWindow::SetReadOnly(bool on) {
  read_only_ = on;
  pane_->SetReadOnly(on);
  editor_->setToolTip(on ? U("読み取り専用です。") : U("編集が可能です。"));
  UpdateCaption();
}

void DiaryWindow::AddWeather(const QString& word) {
  weather_->setText(weather_->text() + word);
  MarkModified();
}

bool DiaryWindow::FindFromTop(const QString& text) {
  LineFind find;
  const std::optional<TextHit> hit = find.Next(*editor_->document(), text);
  if (!hit) return false;
  if (picture_shown()) pages_->setCurrentWidget(editor_);
  QTextCursor cursor(editor_->document());
  cursor.setPosition(hit->position);
  cursor.setPosition(hit->position + hit->length, QTextCursor::KeepAnchor);
  editor_->setTextCursor(cursor);
  editor_->setFocus();
  return true;
}

void DiaryWindow::StorePage() {
  DiaryPage& page = session_->page();
  DiaryHeader& h = page.header;
  h.title = title_->text().toStdString();
  h.weather = weather_->text().toStdString();
  h.picture = picture_;
  const Settings s = services_.settings->Open();
  if (!h.font_color) {
    h.font_color = s.ReadInteger(kSection, "FontColor",
                                 static_cast<int32_t>(kClWindowText));
  }
  if (!h.back_color) {
    h.back_color =
        s.ReadInteger(kSection, "BackColor", static_cast<int32_t>(kClWindow));
  }
  h.top = y();
  h.left = x();
  h.height = height();
  h.width = width();
  h.read_only = read_only_;
  page.body = editor_->SaveRichText();
}

void DiaryWindow::closeEvent(QCloseEvent* event) {
  if (session_ && session_->can_show() && session_->modified() &&
      !session_->do_not_save()) {
    services_.settings->Batch([this](SettingsBatch& b) {
      b.WriteInteger(kSection, "top", y());
      b.WriteInteger(kSection, "left", x());
      b.WriteInteger(kSection, "Height", height());
      b.WriteInteger(kSection, "Width", width());
    });
    StorePage();
    std::string message;
    if (!session_->Close(&message)) {
      services_.messages->ShowNotice(
          {MessageKind::kError, message, MessageButtons::kOk, this});
      event->ignore();
      return;
    }
  }
  if (services_.cues) services_.cues->Play("clo");
  if (export_dialog_) export_dialog_->close();
  event->accept();
}

void DiaryWindow::changeEvent(QEvent* event) { QWidget::changeEvent(event); }

void DiaryWindow::Export() {
  if (export_dialog_) {
    export_dialog_->raise();
    return;
  }
  if (!session_) return;
  std::error_code ec;
  if (!std::filesystem::is_directory(folder_, ec) &&
      !EnsureDiaryFolder(*services_.settings, *services_.messages, false)) {
    return;
  }
  auto* dialog = new QFileDialog(this, U("別保存"), Q(session_->path()),
                                 U("Diary files (*.JNL);;All files (*)"));
  dialog->setAcceptMode(QFileDialog::AcceptSave);
  dialog->setFileMode(QFileDialog::AnyFile);
  dialog->setOption(QFileDialog::DontUseNativeDialog);
  dialog->setAttribute(Qt::WA_DeleteOnClose);
  dialog->selectFile(Q(session_->path()));
  export_dialog_ = dialog;
  connect(dialog, &QFileDialog::fileSelected, this,
          [this](const QString& file) { ExportTo(file); });
  dialog->open();
}

void DiaryWindow::ExportTo(const QString& file) {
  StorePage();
  std::string message;
  if (!session_->Export(file.toStdString(),
                        editor_->toPlainText().toStdString(), &message)) {
    services_.messages->ShowNotice(
        {MessageKind::kError, message, MessageButtons::kOk, this});
    return;
  }
  QMetaObject::invokeMethod(this, &QWidget::close, Qt::QueuedConnection);
}

void DiaryWindow::Delete() {
  if (!session_) return;
  auto go = [self = QPointer<DiaryWindow>(this)] {
    if (!self) return;
    std::string message;
    if (!self->session_->Delete(&message)) {
      self->services_.messages->ShowNotice(
          {MessageKind::kError, message, MessageButtons::kOk, self});
    } else if (self->services_.cues) {
      self->services_.cues->Play("del");
    }
    self->close();
  };
  if (services_.settings->ReadInteger("Form", "Delete", 0) != 0) {
    go();
    return;
  }
  MessageRequest ask(MessageKind::kQuestion, "削除しますか？",
                     MessageButtons::kYesNo, this);
  ask.corner_of = this;
  services_.messages->Ask(ask, [go](MessageAnswer answer) {
    if (answer == MessageAnswer::kYes) go();
  });
}

void DiaryWindow::OpenFind() {
  FindReplaceDialog::Open(editor_, FindReplaceDialog::Mode::kFind);
}

void DiaryWindow::OpenReplace() {
  FindReplaceDialog::Open(editor_, FindReplaceDialog::Mode::kReplace);
}

QStringList DiaryWindow::PrintHeaderLines() const {
  return {U("【") + windowTitle() + U("】"),
          U("【タイトル：") + title_->text() + U("】"),
          U("【天気：") + weather_->text() + U("】"), QString()};
}

void DiaryWindow::Print() {
  auto* printer = new QPrinter;
  auto* dialog = new QPrintDialog(printer, this);
  dialog->setAttribute(Qt::WA_DeleteOnClose);
  connect(dialog, &QDialog::finished, this, [this, printer](int result) {
    if (result == QDialog::Accepted) {
      printer->setDocName(windowTitle());
      PrintDocumentCopy(*editor_->document(), *printer, PrintHeaderLines());
    }
    delete printer;
  });
  dialog->open();
}

void DiaryWindow::TogglePicture() {
  if (picture_shown()) {
    pages_->setCurrentWidget(editor_);
    return;
  }
  std::error_code ec;
  if (picture_.empty() || !std::filesystem::is_regular_file(picture_, ec)) {
    ChoosePicture();
    return;
  }
  pages_->setCurrentWidget(picture_view_);
  LoadShownPicture();
}

void DiaryWindow::ChoosePicture() {
  if (services_.jpeg == nullptr) return;
  auto* chooser = new PictureChooser(services_.jpeg, services_.cues, this);
  chooser->setAttribute(Qt::WA_DeleteOnClose);
  chooser->move(pos());
  if (!picture_.empty()) chooser->SetSelectedFile(Q(picture_));
  connect(chooser, &QDialog::finished, this, [this, chooser](int result) {
    if (result == QDialog::Accepted) SetPicture(chooser->SelectedFile());
  });
  chooser->open();
}

void DiaryWindow::SetPicture(const QString& path) {
  picture_ = path.toStdString();
  picture_loaded_ = false;
  MarkModified();
  picture_view_->clear();
  std::error_code ec;
  if (!picture_.empty() && std::filesystem::is_regular_file(picture_, ec)) {
    LoadShownPicture();
  }
}

void DiaryWindow::LoadShownPicture() {
  if (picture_loaded_ || services_.jpeg == nullptr || picture_.empty()) return;
  picture_loaded_ = true;
  LoadPicture(*services_.jpeg, Q(picture_), false, this, [this](QImage image) {
    if (image.isNull()) return;
    const QPixmap pixmap = QPixmap::fromImage(image);
    picture_view_->setPixmap(pixmap);
    picture_button_->setIcon(QIcon(pixmap.scaled(16, 16)));
  });
}

}  // namespace mirokata
