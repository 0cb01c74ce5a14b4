#include "picture/ui/jpeg_progress_window.h"

#include <QApplication>
#include <QGuiApplication>
#include <QLabel>
#include <QPointer>
#include <QProgressBar>
#include <QScreen>
#include <QVBoxLayout>

namespace mirokata {

JpegProgressWindow::JpegProgressWindow(JpegJobKind kind, const QString& version,
                                       QWidget* parent)
    : QWidget(parent, Qt::Tool | Qt::FramelessWindowHint |
                          Qt::WindowStaysOnTopHint |
                          Qt::WindowDoesNotAcceptFocus) {
  setAttribute(Qt::WA_ShowWithoutActivating);
  setFixedSize(229, 70);
  setAutoFillBackground(true);
  QPalette p = palette();
  p.setColor(QPalette::Window, p.color(QPalette::ToolTipBase));
  p.setColor(QPalette::WindowText, p.color(QPalette::ToolTipText));
  setPalette(p);

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(6, 3, 6, 3);
  layout->setSpacing(1);
  auto* title = new QLabel(QStringLiteral("Mirokata  ") + version, this);
  QFont bold = title->font();
  bold.setBold(true);
  title->setFont(bold);
  bar_ = new QProgressBar(this);
  bar_->setRange(0, 100);
  bar_->setValue(0);
  bar_->setTextVisible(false);
  bar_->setFixedHeight(12);
  status_ = new QLabel(kind == JpegJobKind::kRead
                           ? QStringLiteral("Jpegファイルの読み込み中です。")
                           : QStringLiteral("Jpegファイルの書き出し中です。"),
                       this);
  QPalette red = status_->palette();
  red.setColor(QPalette::WindowText, Qt::red);
  status_->setPalette(red);
  layout->addWidget(title);
  layout->addWidget(bar_);
  layout->addWidget(status_);

  if (QScreen* screen = QGuiApplication::primaryScreen()) {
    const QRect area = screen->geometry();
    move(area.center() - rect().center());
  }
}

void JpegProgressWindow::SetPercent(int percent) {
  bar_->setValue(percent);
  repaint();
}

int JpegProgressWindow::percent() const { return bar_->value(); }
QString JpegProgressWindow::status_text() const { return status_->text(); }

namespace {

class ProgressFeedback : public QObject {
 public:
  ProgressFeedback(JpegJobs* jobs, const QString& version)
      : QObject(jobs), version_(version) {
    connect(jobs, &JpegJobs::Started, this,
            [this](int id, JpegJobKind kind, bool wanted) {
              if (!wanted) return;
              id_ = id;
              window_ = new JpegProgressWindow(kind, version_);
              window_->setAttribute(Qt::WA_DeleteOnClose);
              window_->show();
              QApplication::setOverrideCursor(Qt::BusyCursor);
              cursor_ = true;
            });
    connect(jobs, &JpegJobs::Progress, this, [this](int id, int percent) {
      if (id == id_ && window_) window_->SetPercent(percent);
    });
    // The question about a bad file stands alone: a bar that does not
    // move while it waits would only say the program hangs.
    connect(jobs, &JpegJobs::Problem, this, [this](int id) {
      if (id != id_) return;
      RestoreCursor();
      if (window_) window_->hide();
    });
    connect(jobs, &JpegJobs::Finished, this, [this](int id) {
      if (id != id_) return;
      if (window_) window_->close();
      RestoreCursor();
      id_ = 0;
    });
  }
  ~ProgressFeedback() override {
    delete window_.data();
    RestoreCursor();
  }

 private:
  void RestoreCursor() {
    if (cursor_) QApplication::restoreOverrideCursor();
    cursor_ = false;
  }

  QString version_;
  int id_ = 0;
  QPointer<JpegProgressWindow> window_;
  bool cursor_ = false;
};

}  // namespace

void AttachJpegProgressWindow(JpegJobs* jobs, const QString& version) {
  new ProgressFeedback(jobs, version);
}

}  // namespace mirokata
