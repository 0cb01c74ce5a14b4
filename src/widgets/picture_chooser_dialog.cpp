#include "widgets/picture_chooser_dialog.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QStorageInfo>
#include <QVBoxLayout>

#include "picture/jpeg_jobs.h"
#include "picture/picture_loading.h"
#include "platform/sound_cues.h"

namespace mirokata {

PictureChooser::PictureChooser(JpegJobs* jobs, SoundCues* cues, QWidget* parent)
    : QDialog(parent,
              Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint),
      jobs_(jobs),
      cues_(cues) {
  setWindowTitle(QStringLiteral("Picture File"));
  setFixedSize(413, 400);

  drives_ = new QComboBox(this);
  folders_ = new QListWidget(this);
  files_ = new QListWidget(this);
  path_ = new QLabel(this);
  path_->setTextInteractionFlags(Qt::TextSelectableByMouse);
  path_->setWordWrap(true);
  preview_check_ = new QCheckBox(QStringLiteral("プレビュー"), this);
  preview_ = new QLabel(this);
  preview_->setAlignment(Qt::AlignCenter);
  preview_->setScaledContents(true);
  preview_->setFixedSize(180, 150);
  preview_->setFrameShape(QFrame::StyledPanel);
  preview_->hide();
  progress_ = new QProgressBar(this);
  progress_->setRange(0, 100);
  progress_->setValue(0);
  progress_->setTextVisible(false);
  progress_->setFixedHeight(10);
  ok_ = new QPushButton(QStringLiteral("設定"), this);
  ok_->setDefault(true);

  auto* left = new QVBoxLayout;
  left->addWidget(drives_);
  left->addWidget(folders_, 1);
  auto* right = new QVBoxLayout;
  right->addWidget(files_, 1);
  right->addWidget(preview_check_);
  right->addWidget(preview_, 0, Qt::AlignHCenter);
  right->addWidget(progress_);
  auto* lists = new QHBoxLayout;
  lists->addLayout(left, 1);
  lists->addLayout(right, 1);
  auto* bottom = new QHBoxLayout;
  bottom->addWidget(path_, 1);
  bottom->addWidget(ok_);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(lists, 1);
  layout->addLayout(bottom);

  // Without a system menu, the context menu is the way to close.
  setContextMenuPolicy(Qt::ActionsContextMenu);
  auto* close = new QAction(QStringLiteral("閉じる(&C)"), this);
  connect(close, &QAction::triggered, this, &QDialog::reject);
  addAction(close);

  connect(ok_, &QPushButton::clicked, this, &QDialog::accept);
  connect(drives_, &QComboBox::activated, this, [this](int index) {
    SetFolder(drives_->itemData(index).toString());
  });
  connect(folders_, &QListWidget::itemActivated, this,
          [this](QListWidgetItem* item) {
            SetFolder(QDir(folder_).absoluteFilePath(item->text()));
          });
  connect(files_, &QListWidget::currentRowChanged, this,
          [this] { OnFileChanged(); });
  connect(files_, &QListWidget::itemActivated, this, &QDialog::accept);
  connect(preview_check_, &QCheckBox::clicked, this,
          [this] { UpdatePreview(); });
  connect(jobs_, &JpegJobs::Progress, this, [this](int id, int percent) {
    if (id == preview_job_) progress_->setValue(percent);
  });

  FillDrives();
  SetFolder(QDir::homePath());
}

PictureChooser::~PictureChooser() { CancelPreview(); }

void PictureChooser::FillDrives() {
  drives_->clear();
  QStringList roots;
  for (const QStorageInfo& volume : QStorageInfo::mountedVolumes()) {
    if (volume.isValid() && volume.isReady()) roots << volume.rootPath();
  }
  roots.removeDuplicates();
  roots.sort();
  for (const QString& root : roots) drives_->addItem(root, root);
}

void PictureChooser::SetFolder(const QString& folder) {
  const QFileInfo info(folder);
  if (!info.isDir()) return;
  folder_ = QDir::cleanPath(info.absoluteFilePath());
  // The drive box shows the volume that holds the folder.
  const QString root = QStorageInfo(folder_).rootPath();
  int index = drives_->findData(root);
  if (index < 0 && !root.isEmpty()) {
    drives_->addItem(root, root);
    index = drives_->count() - 1;
  }
  drives_->setCurrentIndex(index);
  FillLists();
}

void PictureChooser::FillLists() {
  const QDir dir(folder_);
  folders_->clear();
  if (!dir.isRoot()) folders_->addItem(QStringLiteral(".."));
  folders_->addItems(dir.entryList(QDir::Dirs | QDir::NoDotAndDotDot,
                                   QDir::Name | QDir::IgnoreCase));
  const QSignalBlocker block(files_);
  files_->clear();
  files_->addItems(
      dir.entryList({QStringLiteral("*.bmp"), QStringLiteral("*.jpg")},
                    QDir::Files, QDir::Name | QDir::IgnoreCase));
  // The folder changed, so no file is selected.
  path_->clear();
  OnFileChanged();
}

void PictureChooser::SetSelectedFile(const QString& path) {
  const QFileInfo info(path);
  SetFolder(info.absolutePath());
  const QList<QListWidgetItem*> found = files_->findItems(
      info.fileName(), Qt::MatchFixedString | Qt::MatchCaseSensitive);
  if (!found.isEmpty()) files_->setCurrentItem(found.first());
}

QString PictureChooser::SelectedFile() const { return path_->text(); }

void PictureChooser::SetPreviewEnabled(bool on) {
  preview_check_->setChecked(on);
  UpdatePreview();
}

void PictureChooser::OnFileChanged() {
  QListWidgetItem* item = files_->currentItem();
  path_->setText(item ? QDir(folder_).absoluteFilePath(item->text())
                      : QString());
  UpdatePreview();
}

void PictureChooser::CancelPreview() {
  if (preview_job_ != 0) jobs_->Cancel(preview_job_);
  preview_job_ = 0;
  progress_->setValue(0);
}

void PictureChooser::UpdatePreview() {
  CancelPreview();
  preview_->clear();
  if (!preview_check_->isChecked()) {
    preview_->hide();
    return;
  }
  preview_->show();
  const QString path = path_->text();
  if (path.isEmpty()) return;
  // A newer choice replaces a preview still waiting or decoding, so quick
  // clicking through a folder never piles up work.
  preview_job_ = LoadPicture(*jobs_, path, true, this, [this](QImage image) {
    preview_job_ = 0;
    progress_->setValue(image.isNull() ? 0 : 100);
    preview_->setPixmap(QPixmap::fromImage(image));
  });
}

void PictureChooser::showEvent(QShowEvent* event) {
  if (cues_ != nullptr) cues_->Play("ope");
  // Kept on the screen.
  if (QScreen* screen = this->screen()) {
    const QRect area = screen->availableGeometry();
    QRect frame = frameGeometry();
    frame.moveLeft(
        std::clamp(frame.left(), area.left(),
                   std::max(area.left(), area.right() - frame.width())));
    frame.moveTop(
        std::clamp(frame.top(), area.top(),
                   std::max(area.top(), area.bottom() - frame.height())));
    move(frame.topLeft());
  }
  QDialog::showEvent(event);
}

void PictureChooser::hideEvent(QHideEvent* event) {
  if (cues_ != nullptr) cues_->Play("clo");
  CancelPreview();
  QDialog::hideEvent(event);
}

}  // namespace mirokata
