#include "widgets/sound_chooser_dialog.h"

#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QGridLayout>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QScreen>
#include <QStorageInfo>
#include <QVBoxLayout>

#include "platform/sound.h"

namespace mirokata {
namespace {

const char* const kFilters[] = {"*.WAV;*.MID", "*.WAV", "*.MID"};
constexpr int kPathRole = Qt::UserRole;

// Where a folder's chain starts: the deepest drive root that holds it.
QString DriveOf(const QString& folder, const QStringList& drives) {
  QString best = QStringLiteral("/");
  for (const QString& d : drives) {
    const QString prefix = d.endsWith(QLatin1Char('/')) ? d : d + '/';
    if ((folder == d || folder.startsWith(prefix)) && d.size() > best.size()) {
      best = d;
    }
  }
  return best;
}

}  // namespace

SoundChooserDialog::SoundChooserDialog(Sound& sound,
                                       const QString& current_file,
                                       QWidget* parent)
    : QDialog(parent,
              Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint),
      sound_(sound) {
  setWindowTitle(QStringLiteral("サウンドの選択"));
  setModal(true);

  path_label_ = new QLabel(this);
  path_label_->setTextInteractionFlags(Qt::TextSelectableByMouse);
  path_label_->setMinimumWidth(360);
  folder_list_ = new QListWidget(this);
  drive_box_ = new QComboBox(this);
  file_list_ = new QListWidget(this);
  file_list_->setSelectionMode(QAbstractItemView::SingleSelection);
  file_list_->setContextMenuPolicy(Qt::CustomContextMenu);
  filter_box_ = new QComboBox(this);
  for (const char* f : kFilters) filter_box_->addItem(QString::fromLatin1(f));
  test_button_ = new QPushButton(QStringLiteral("試聴"), this);
  test_button_->setToolTip(QStringLiteral("テスト再生"));
  test_button_->setEnabled(false);
  close_button_ = new QPushButton(QStringLiteral("設定して閉じる"), this);
  close_button_->setDefault(true);

  context_menu_ = new QMenu(this);
  QAction* try_action = context_menu_->addAction(QStringLiteral("音色テスト"));
  QAction* close_action =
      context_menu_->addAction(QStringLiteral("閉じる(&C)"));

  auto* grid = new QGridLayout;
  grid->addWidget(file_list_, 0, 0);
  grid->addWidget(folder_list_, 0, 1);
  grid->addWidget(filter_box_, 1, 0);
  grid->addWidget(drive_box_, 1, 1);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(test_button_);
  buttons->addWidget(close_button_);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(path_label_);
  layout->addLayout(grid);
  layout->addLayout(buttons);
  resize(480, 320);

  connect(file_list_, &QListWidget::itemSelectionChanged, this,
          &SoundChooserDialog::UpdateSelection);
  connect(file_list_, &QListWidget::itemDoubleClicked, this,
          [this](QListWidgetItem*) { PlaySelected(); });
  connect(file_list_, &QWidget::customContextMenuRequested, this,
          [this](const QPoint& pos) {
            context_menu_->popup(file_list_->viewport()->mapToGlobal(pos));
          });
  connect(folder_list_, &QListWidget::itemActivated, this,
          &SoundChooserDialog::FolderItemActivated);
  connect(folder_list_, &QListWidget::itemDoubleClicked, this,
          &SoundChooserDialog::FolderItemActivated);
  connect(drive_box_, &QComboBox::activated, this, [this](int index) {
    ShowFolder(drive_box_->itemData(index, kPathRole).toString());
  });
  connect(filter_box_, &QComboBox::currentIndexChanged, this,
          [this](int) { FillFiles(); });
  connect(test_button_, &QPushButton::clicked, this,
          &SoundChooserDialog::PlaySelected);
  connect(try_action, &QAction::triggered, this,
          &SoundChooserDialog::PlaySelected);
  connect(close_button_, &QPushButton::clicked, this,
          &SoundChooserDialog::SetAndClose);
  connect(close_action, &QAction::triggered, this,
          &SoundChooserDialog::SetAndClose);

  FillDrives();
  const QFileInfo current(current_file);
  if (!current_file.isEmpty() && current.isFile()) {
    ShowFolder(current.absolutePath());
    SelectFile(current.fileName());
  } else if (!current_file.isEmpty() && current.absoluteDir().exists()) {
    ShowFolder(current.absolutePath());
  } else {
    ShowFolder(QDir::homePath());
  }
}

SoundChooserDialog::~SoundChooserDialog() = default;

void SoundChooserDialog::FillDrives() {
  drive_box_->clear();
  QStringList roots = {QDir::homePath(), QStringLiteral("/")};
  for (const QStorageInfo& volume : QStorageInfo::mountedVolumes()) {
    const QString root = volume.rootPath();
    if (!volume.isValid() || !volume.isReady() || roots.contains(root)) {
      continue;
    }
    // Removable media and other disks, not the system's own mounts.
    if (root.startsWith(QLatin1String("/media/")) ||
        root.startsWith(QLatin1String("/mnt/")) ||
        root.startsWith(QLatin1String("/run/media/"))) {
      roots << root;
    }
  }
  for (const QString& root : roots) {
    drive_box_->addItem(root, root);
  }
}

void SoundChooserDialog::ShowFolder(const QString& folder) {
  QFileInfo info(folder);
  if (!info.isDir()) info = QFileInfo(QDir::homePath());
  folder_ = QDir::cleanPath(info.absoluteFilePath());
  QStringList drives;
  for (int i = 0; i < drive_box_->count(); ++i) {
    drives << drive_box_->itemData(i, kPathRole).toString();
  }
  const int drive = drive_box_->findData(DriveOf(folder_, drives), kPathRole);
  if (drive >= 0) drive_box_->setCurrentIndex(drive);
  FillFolders();
  FillFiles();
}

void SoundChooserDialog::FillFolders() {
  folder_list_->clear();
  // The chain from the drive down to the shown folder, then its sub-folders.
  QStringList drives;
  for (int i = 0; i < drive_box_->count(); ++i) {
    drives << drive_box_->itemData(i, kPathRole).toString();
  }
  const QString drive = DriveOf(folder_, drives);
  QStringList chain;
  for (QString p = folder_;; p = QFileInfo(p).absolutePath()) {
    chain.prepend(p);
    if (p == drive || p == QLatin1String("/")) break;
  }
  int depth = 0;
  for (const QString& p : chain) {
    const QString name = p == QLatin1String("/") ? p : QFileInfo(p).fileName();
    auto* item = new QListWidgetItem(QString(depth * 2, QLatin1Char(' ')) +
                                     (p == drive ? p : name));
    item->setData(kPathRole, p);
    folder_list_->addItem(item);
    ++depth;
  }
  folder_list_->setCurrentRow(folder_list_->count() - 1);
  QDir dir(folder_);
  const QStringList subs = dir.entryList(QDir::Dirs | QDir::NoDotAndDotDot,
                                         QDir::Name | QDir::IgnoreCase);
  for (const QString& sub : subs) {
    auto* item =
        new QListWidgetItem(QString(depth * 2, QLatin1Char(' ')) + sub);
    item->setData(kPathRole, dir.filePath(sub));
    folder_list_->addItem(item);
  }
}

void SoundChooserDialog::FillFiles() {
  const QStringList patterns =
      QString::fromLatin1(kFilters[qBound(0, filter_box_->currentIndex(), 2)])
          .split(QLatin1Char(';'));
  QDir dir(folder_);
  dir.setNameFilters(patterns);
  dir.setFilter(QDir::Files | QDir::Readable);
  dir.setSorting(QDir::Name | QDir::IgnoreCase);
  const QString keep = selected_path_;
  file_list_->clear();
  for (const QString& name : dir.entryList()) {
    auto* item = new QListWidgetItem(name);
    item->setData(kPathRole, dir.filePath(name));
    file_list_->addItem(item);
  }
  if (!keep.isEmpty() && QFileInfo(keep).absolutePath() == folder_) {
    SelectFile(QFileInfo(keep).fileName());
  }
  UpdateSelection();
}

void SoundChooserDialog::SetFilterIndex(int index) {
  filter_box_->setCurrentIndex(qBound(0, index, 2));
}

bool SoundChooserDialog::SelectFile(const QString& file_name) {
  for (int i = 0; i < file_list_->count(); ++i) {
    if (file_list_->item(i)->text() == file_name) {
      file_list_->setCurrentRow(i);
      file_list_->item(i)->setSelected(true);
      UpdateSelection();
      return true;
    }
  }
  return false;
}

QStringList SoundChooserDialog::ListedFiles() const {
  QStringList names;
  for (int i = 0; i < file_list_->count(); ++i) {
    names << file_list_->item(i)->text();
  }
  return names;
}

void SoundChooserDialog::UpdateSelection() {
  const QList<QListWidgetItem*> items = file_list_->selectedItems();
  selected_path_ =
      items.isEmpty() ? QString() : items.first()->data(kPathRole).toString();
  path_label_->setText(selected_path_);
  test_button_->setEnabled(!selected_path_.isEmpty());
}

void SoundChooserDialog::FolderItemActivated(QListWidgetItem* item) {
  if (item == nullptr) return;
  const QString path = item->data(kPathRole).toString();
  if (path != folder_) ShowFolder(path);
}

void SoundChooserDialog::PlaySelected() {
  if (selected_path_.isEmpty()) return;
  sound_.PlayFile(selected_path_.toStdString());
}

void SoundChooserDialog::SetAndClose() { accept(); }

void SoundChooserDialog::done(int result) {
  sound_.StopFile();
  QDialog::done(result);
}

void SoundChooserDialog::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  if (centred_) return;
  centred_ = true;
  const QScreen* screen =
      this->screen() ? this->screen() : QGuiApplication::primaryScreen();
  if (screen == nullptr) return;
  QRect frame = frameGeometry();
  frame.moveCenter(screen->availableGeometry().center());
  move(frame.topLeft());
}

}  // namespace mirokata
