#include "schedule/ui/popup_window.h"

#include <QAction>
#include <QCloseEvent>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPainter>
#include <QPainterPath>
#include <QPointer>
#include <QScreen>
#include <QTextCursor>
#include <QTextEdit>
#include <QToolButton>

#include "base/entry_changes.h"
#include "base/settings_file.h"
#include "picture/picture_loading.h"
#include "picture/wallpaper_task.h"
#include "platform/color/color_value.h"
#include "platform/desktop/wallpaper.h"
#include "platform/messages.h"
#include "platform/sound.h"
#include "platform/sound_cues.h"
#include "schedule/entry_files.h"

namespace mirokata {
namespace {

QString U(const char* text) { return QString::fromUtf8(text); }
QString U(const std::string& text) { return QString::fromStdString(text); }

constexpr int kPictureSide = 137;

// The popup's wallpaper, on the picture worker and tied to no window.
void StartWallpaper(const Services& context, const QImage& image) {
  SettingsFile* settings = context.settings;
  SetDesktopWallpaper(
      *context.jpeg, image, context.program_folder + kPopupWallpaperFile,
      *context.desktop, [settings](const std::string& path) {
        if (settings) {
          settings->WriteString(kWallpaperSection, kWallpaperKey, path);
        }
      });
}

class PopupWindowSink : public PopupSink {
 public:
  explicit PopupWindowSink(PopupWindow* window) : window_(window) {}
  ~PopupWindowSink() override {
    if (!finished_ && window_) delete window_.data();
  }
  void AppendEntry(const std::string& path, const std::string& text) override {
    if (window_) window_->AppendEntry(path, text);
  }
  void EnableDelete(const std::string& path) override {
    if (window_) window_->EnableDelete(path);
  }
  void Finish(const PopupFinish& finish) override {
    finished_ = true;
    if (window_) window_->Finish(finish);
  }

 private:
  QPointer<PopupWindow> window_;
  bool finished_ = false;
};

}  // namespace

std::unique_ptr<PopupSink> PopupWindowFactory::CreatePopup() {
  auto* window = new PopupWindow(context_, commands_);
  if (on_created) on_created(window);
  return std::make_unique<PopupWindowSink>(window);
}

QImage PopupWindow::DefaultPicture() {
  QImage image(kPictureSide, kPictureSide, QImage::Format_RGB32);
  QPainter p(&image);
  p.setRenderHint(QPainter::Antialiasing);
  QLinearGradient sky(0, 0, 0, kPictureSide);
  sky.setColorAt(0, QColor(0x1c, 0x3f, 0x94));
  sky.setColorAt(1, QColor(0x6f, 0xa8, 0xdc));
  p.fillRect(image.rect(), sky);
  // A bell: the body, its rim and the clapper.
  QPainterPath bell;
  bell.moveTo(68.5, 22);
  bell.cubicTo(40, 22, 40, 60, 36, 88);
  bell.lineTo(30, 100);
  bell.lineTo(107, 100);
  bell.lineTo(101, 88);
  bell.cubicTo(97, 60, 97, 22, 68.5, 22);
  QLinearGradient gold(36, 0, 101, 0);
  gold.setColorAt(0, QColor(0xf6, 0xd3, 0x65));
  gold.setColorAt(0.5, QColor(0xff, 0xf1, 0xb8));
  gold.setColorAt(1, QColor(0xd4, 0xa0, 0x17));
  p.setPen(QPen(QColor(0x8a, 0x62, 0x00), 2));
  p.setBrush(gold);
  p.drawPath(bell);
  p.drawEllipse(QPointF(68.5, 18), 5, 5);
  p.setBrush(QColor(0x8a, 0x62, 0x00));
  p.drawEllipse(QPointF(68.5, 106), 8, 8);
  p.setPen(QPen(Qt::white, 3, Qt::SolidLine, Qt::RoundCap));
  p.drawArc(QRectF(104, 40, 22, 40), -60 * 16, 120 * 16);
  p.drawArc(QRectF(11, 40, 22, 40), 120 * 16, 120 * 16);
  return image;
}

PopupWindow::PopupWindow(const Services& context, CommandHost* commands,
                         QWidget* parent)
    : QWidget(parent, Qt::Dialog | Qt::WindowStaysOnTopHint |
                          Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint),
      context_(context),
      commands_(commands) {
  setAttribute(Qt::WA_DeleteOnClose);
  // It appears while the user works in another program: it must not take
  // the keys meant for that one (a Space would press its delete button).
  setAttribute(Qt::WA_ShowWithoutActivating);
  setObjectName("PopupWindow");
  setWindowTitle(U(kPopupCaption));
  setFixedSize(377, 151);

  picture_label_ = new QLabel(this);
  picture_label_->setGeometry(7, 7, kPictureSide, kPictureSide);
  picture_label_->setAlignment(Qt::AlignCenter);
  picture_label_->setToolTip(U("ﾀﾞﾌﾞﾙｸﾘｯｸで閉じます｡"));
  picture_label_->installEventFilter(this);
  SetPicture(DefaultPicture());
  picture_label_->setScaledContents(true);

  title_panel_ = new QLabel(this);
  title_panel_->setGeometry(150, 7, 220, 22);
  title_panel_->setAlignment(Qt::AlignCenter);
  title_panel_->setAutoFillBackground(true);
  QPalette title_palette = title_panel_->palette();
  title_palette.setColor(QPalette::Window, QColor(0, 0, 255));
  title_panel_->setPalette(title_palette);
  QFont title_font = title_panel_->font();
  title_font.setBold(true);
  title_font.setPixelSize(13);
  title_panel_->setFont(title_font);
  title_panel_->setToolTip(U("ﾀﾞﾌﾞﾙｸﾘｯｸで Snooze(ｽﾇｰｽﾞ)"));
  title_panel_->installEventFilter(this);

  delete_button_ = new QToolButton(this);
  delete_button_->setGeometry(150, 32, 56, 22);
  delete_button_->setText(U("削除"));
  delete_button_->setToolTip(U("削除して終了"));
  delete_button_->setEnabled(false);
  delete_button_->setFocusPolicy(Qt::NoFocus);
  connect(delete_button_, &QToolButton::clicked, this, &PopupWindow::Delete);

  snooze_box_ = new QComboBox(this);
  snooze_box_->setEditable(true);
  snooze_box_->setGeometry(232, 32, 56, 22);
  for (const char* item :
       {"1", "2", "3", "4", "5", "10", "15", "20", "25", "30"}) {
    snooze_box_->addItem(U(item));
  }
  snooze_box_->setEditText(U("10"));
  snooze_box_->setToolTip(U("Snooze"));
  snooze_box_->setEnabled(false);
  snooze_box_->setFocusPolicy(Qt::ClickFocus);
  snooze_box_->lineEdit()->setFocusPolicy(Qt::ClickFocus);

  minutes_label_ = new QLabel(U("分"), this);
  minutes_label_->setGeometry(291, 32, 16, 22);
  minutes_label_->setEnabled(false);

  snooze_button_ = new QToolButton(this);
  snooze_button_->setGeometry(310, 32, 60, 22);
  snooze_button_->setText(U("Snooze"));
  snooze_button_->setToolTip(U("延長します。"));
  snooze_button_->setEnabled(false);
  snooze_button_->setFocusPolicy(Qt::NoFocus);
  connect(snooze_button_, &QToolButton::clicked, this, &PopupWindow::Snooze);

  text_ = new QTextEdit(this);
  text_->setGeometry(150, 57, 220, 87);
  text_->setLineWrapMode(QTextEdit::NoWrap);
  text_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  text_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  text_->setContextMenuPolicy(Qt::NoContextMenu);
  text_->setFocusPolicy(Qt::ClickFocus);

  menu_ = new QMenu(this);
  delete_action_ = menu_->addAction(U("このｽｹｼﾞｭｰﾙを削除"));
  delete_action_->setEnabled(false);
  connect(delete_action_, &QAction::triggered, this, &PopupWindow::Delete);
  menu_->addSeparator();
  connect(menu_->addAction(U("閉じる(&C)")), &QAction::triggered, this,
          &QWidget::close);

  // Centred on the screen, as the window is when created.
  if (QScreen* screen = QGuiApplication::primaryScreen()) {
    const QRect area = screen->availableGeometry();
    move(area.center() - QPoint(width() / 2, height() / 2));
  }

  timer_.setInterval(1000);
  connect(&timer_, &QTimer::timeout, this, &PopupWindow::TimerStep);
  timer_.start();
}

PopupWindow::~PopupWindow() { timer_.stop(); }

void PopupWindow::AppendEntry(const std::string& path,
                              const std::string& text) {
  entry_path_ = path;
  QTextCursor cursor(text_->document());
  cursor.movePosition(QTextCursor::End);
  if (!text_->document()->isEmpty()) cursor.insertBlock();
  QString lines = U(text);
  lines.replace(U("\r\n"), U("\n"));
  lines.replace(QLatin1Char('\r'), QLatin1Char('\n'));
  while (lines.endsWith(QLatin1Char('\n'))) lines.chop(1);
  cursor.insertText(lines);
}

void PopupWindow::EnableDelete(const std::string& path) {
  delete_path_ = path;
  delete_button_->setEnabled(true);
  delete_action_->setEnabled(true);
}

void PopupWindow::Finish(const PopupFinish& finish) {
  finished_ = true;
  title_panel_->setText(U(finish.title));
  QPalette palette = title_panel_->palette();
  palette.setColor(QPalette::WindowText, Qt::white);
  palette.setColor(QPalette::Window,
                   ColorFromValue(PopupTitleColor(finish.weekday)));
  title_panel_->setPalette(palette);
  text_->moveCursor(QTextCursor::Start);

  const PopupPicture& picture = finish.picture;
  picture_label_->setScaledContents(picture.stretch);
  if (!picture.path.empty() && context_.jpeg != nullptr) {
    // Read on the picture worker; the window shows it when it comes. The
    // wallpaper is the popup's action, not the window's: with one asked
    // for, the picture comes whether or not the window is still there.
    const bool wallpaper = picture.wallpaper && context_.desktop != nullptr;
    QPointer<PopupWindow> self(this);
    LoadPicture(*context_.jpeg, U(picture.path), false,
                wallpaper ? nullptr : this,
                [self, wallpaper, context = context_](QImage image) {
                  if (image.isNull()) return;
                  if (self) self->SetPicture(image);
                  if (wallpaper) StartWallpaper(context, image);
                });
  }

  text_->setReadOnly(true);
  state_.SetCloseCountdown(finish.close_countdown);
  if (state_.close_countdown() != 0) {
    ShowPopup();
    repaint();
  }
}

void PopupWindow::ShowPopup() {
  if (context_.settings) {
    Settings s = context_.settings->Open();
    snooze_box_->setEditText(U(s.ReadString("Form", "Snooze", "10")));
    // After the tick that showed the popup: the list's build is no part
    // of it.
    if (s.ReadBool("Form", "Exec_List", false) && commands_) {
      commands_->RunCommandLater(Command::kScheduleList);
    }
  }
  show();
  raise();
}

void PopupWindow::SetPicture(const QImage& image) {
  picture_ = image;
  picture_label_->setPixmap(QPixmap::fromImage(image));
}

bool PopupWindow::picture_stretched() const {
  return picture_label_->hasScaledContents();
}

bool PopupWindow::snooze_enabled() const { return snooze_button_->isEnabled(); }
bool PopupWindow::delete_enabled() const { return delete_button_->isEnabled(); }
QString PopupWindow::title_text() const { return title_panel_->text(); }
QString PopupWindow::text() const { return text_->toPlainText(); }

void PopupWindow::TimerStep() {
  // The delete question holds the window; nothing closes it meanwhile.
  if (question_open_) return;
  switch (state_.OnTimer()) {
    case PopupTimer::Step::kNone:
      break;
    case PopupTimer::Step::kEnableSnooze:
      timer_.stop();
      snooze_box_->setEnabled(true);
      minutes_label_->setEnabled(true);
      snooze_button_->setEnabled(true);
      break;
    case PopupTimer::Step::kComeBack: {
      timer_.stop();
      const std::string sound =
          context_.settings
              ? context_.settings->ReadString("Calendar", "file", "")
              : std::string();
      if (context_.sound && !sound.empty() && QFileInfo(U(sound)).isFile()) {
        context_.sound->PlayFile(sound);
      }
      ShowPopup();
      break;
    }
    case PopupTimer::Step::kCountedDown:
      setWindowTitle(U(CaptionForCountdown(state_.close_countdown())));
      break;
    case PopupTimer::Step::kClose:
      timer_.stop();
      close();
      break;
  }
}

void PopupWindow::Snooze() {
  if (question_open_) return;
  const SnoozeMinutes minutes =
      ParseSnoozeMinutes(snooze_box_->currentText().toStdString());
  snooze_box_->setEditText(U(minutes.text));
  if (context_.settings) {
    context_.settings->WriteString("Form", "Snooze", minutes.text);
  }
  state_.Snooze(minutes.minutes);
  setWindowTitle(U(kPopupCaption));
  PlayCue("sav");
  hide();
  timer_.start();
}

void PopupWindow::Delete() {
  if (question_open_ || delete_path_.empty()) return;
  const int ask = context_.settings
                      ? context_.settings->ReadInteger("Form", "Delete", 0)
                      : 0;
  if (ask != 0 || context_.messages == nullptr) {
    DeleteEntry();
    return;
  }
  hide();
  question_open_ = true;
  timer_was_running_ = timer_.isActive();
  timer_.stop();
  MessageRequest request(MessageKind::kQuestion,
                         DeleteQuestion(title_panel_->text().toStdString(),
                                        text_->toPlainText().toStdString()),
                         MessageButtons::kYesNo, this);
  // The question stands where the window stood, at its top-left corner.
  request.corner_of = this;
  QPointer<PopupWindow> self(this);
  context_.messages->Ask(request, [self](MessageAnswer answer) {
    if (!self) return;
    self->question_open_ = false;
    if (answer == MessageAnswer::kYes) {
      self->DeleteEntry();
      return;
    }
    self->show();
    self->raise();
    if (self->timer_was_running_) self->timer_.start();
  });
}

void PopupWindow::DeleteEntry() {
  // Exactly the one-day popup that enabled the command, whatever else the
  // window shows.
  const std::string& path = delete_path_;
  const size_t slash = path.rfind('/');
  if (slash != std::string::npos && context_.settings) {
    EntryFolder folder(path.substr(0, slash));
    std::string error;
    if (!folder.Delete(path.substr(slash + 1), context_.settings, &error)) {
      // Kept on disk: say so and keep the window rather than pretend.
      show();
      raise();
      if (context_.messages) {
        context_.messages->ShowNotice({MessageKind::kError,
                                       "削除できませんでした。\r" + error,
                                       MessageButtons::kOk, this});
      }
      return;
    }
    if (context_.entry_changes) context_.entry_changes->Notify();
  }
  PlayCue("del");
  close();
}

void PopupWindow::PlayCue(const char* name) {
  if (context_.cues) context_.cues->Play(name);
}

void PopupWindow::closeEvent(QCloseEvent* event) {
  PlayCue("clo");
  timer_.stop();
  if (context_.settings && commands_ &&
      context_.settings->ReadBool("Form", "Kill_List", false)) {
    commands_->RunCommandLater(Command::kCloseScheduleList);
  }
  event->accept();
}

void PopupWindow::contextMenuEvent(QContextMenuEvent* event) {
  menu_->popup(event->globalPos());
}

bool PopupWindow::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::MouseButtonDblClick) {
    if (watched == picture_label_) {
      close();
      return true;
    }
    if (watched == title_panel_) {
      Snooze();
      return true;
    }
  }
  return QWidget::eventFilter(watched, event);
}

}  // namespace mirokata
