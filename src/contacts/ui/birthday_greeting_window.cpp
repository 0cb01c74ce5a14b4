#include "contacts/ui/birthday_greeting_window.h"

#include <QFontDatabase>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QToolButton>
#include <QVBoxLayout>

#include "contacts/birthday_book.h"
#include "contacts/ui/birthday_pictures.h"
#include "platform/clock.h"
#include "schedule/entry_files.h"
#include "widgets/accessible_controls.h"

namespace mirokata {
namespace {

QString U(const char* text) { return QString::fromUtf8(text); }

}  // namespace

QFont BirthdayGreetingWindow::GreetingFont() {
  const QStringList families = QFontDatabase::families();
  for (const char* name :
       {"ＭＳ ゴシック", "MS Gothic", "Noto Sans Mono CJK JP",
        "Noto Sans Mono CJK SC", "VL Gothic", "IPAGothic", "TakaoGothic"}) {
    if (families.contains(U(name), Qt::CaseInsensitive)) {
      QFont font(U(name));
      font.setStyleHint(QFont::TypeWriter);
      return font;
    }
  }
  QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
  font.setStyleHint(QFont::TypeWriter);
  return font;
}

BirthdayGreetingWindow::BirthdayGreetingWindow(const Services& services,
                                               std::function<void()> open_book,
                                               QWidget* parent)
    // A dialog's border: a title and a close box, nothing to resize to.
    : QWidget(parent, Qt::Dialog | Qt::CustomizeWindowHint |
                          Qt::WindowTitleHint | Qt::WindowCloseButtonHint |
                          Qt::WindowStaysOnTopHint),
      services_(services) {
  setAttribute(Qt::WA_DeleteOnClose);
  setWindowTitle(U("Happy Birthday!!"));
  setAccessibleName(U("Happy Birthday!!"));

  picture_ = Named(new QToolButton, "誕生日管理", "誕生日管理を開く");
  picture_->setIcon(QIcon(BirthdayPicture("CAKE", 64)));
  picture_->setIconSize(QSize(64, 64));
  picture_->setAutoRaise(true);
  text_ = Named(new QPlainTextEdit, "お誕生日");
  text_->setReadOnly(true);
  text_->setFont(GreetingFont());
  text_->setMinimumSize(360, 140);
  auto* close = NamedButton("閉じる");

  auto* side = new QVBoxLayout;
  side->addWidget(picture_);
  side->addStretch(1);
  side->addWidget(close);
  auto* root = new QHBoxLayout(this);
  root->addLayout(side);
  root->addWidget(text_, 1);

  connect(picture_, &QToolButton::clicked, this,
          [open_book = std::move(open_book)] {
            if (open_book) open_book();
          });
  connect(close, &QPushButton::clicked, this, &QWidget::close);

  adjustSize();
  // Centred on the screen.
  QRect screen(0, 0, 1280, 800);
  if (QScreen* primary = QGuiApplication::primaryScreen()) {
    screen = primary->availableGeometry();
  }
  move(screen.center() - rect().center());
}

void BirthdayGreetingWindow::Refill(const std::string& folder) {
  const LocalTime now = services_.clock->Now();
  EntryFolder entries(folder);
  text_->setPlainText(QString::fromStdString(
      BirthdayGreetingText(entries, {now.year, now.month, now.day})));
}

}  // namespace mirokata
