#include "mainwin/ui/association_editor.h"

#include <QCloseEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>
#include <QTreeWidget>
#include <QUrl>
#include <QVBoxLayout>

#include "base/settings_file.h"
#include "base/window_placement.h"
#include "platform/screen.h"
#include "platform/sound_cues.h"
#include "widgets/accessible_controls.h"

namespace mirokata {

namespace {
QString U(const char* text) { return QString::fromUtf8(text); }
constexpr char kFilter[] = "実行ﾌｧｲﾙ(*.exe *.desktop);;全てのﾌｧｲﾙ(*)";

void Browse(QWidget* parent, QLineEdit* field) {
  auto* dialog = new QFileDialog(parent, QString(), QString(), U(kFilter));
  dialog->setAttribute(Qt::WA_DeleteOnClose);
  dialog->setFileMode(QFileDialog::ExistingFile);
  QObject::connect(dialog, &QFileDialog::fileSelected, field,
                   &QLineEdit::setText);
  dialog->open();
}
}  // namespace

AssociationEditor::AssociationEditor(Services& services, QWidget* parent)
    : QWidget(parent, Qt::Tool), services_(services) {
  setAttribute(Qt::WA_DeleteOnClose);
  setAcceptDrops(true);
  setWindowTitle(U("関連付けの設定"));
  setAccessibleName(windowTitle());

  fallback_ = Named(new QLineEdit, "関連付けされていない場合に起動するアプリ");
  QPushButton* fallback_browse =
      NamedButton("...", "関連付けされていない場合に起動するアプリの選択");
  extension_ = Named(new QLineEdit, "拡張子（.ｅｘｔ）：",
                     "大文字・小文字は区別しません");
  program_ = Named(new QLineEdit, "アプリ");
  program_browse_ = NamedButton("...", "アプリの選択");
  save_ = NamedButton("&Save");
  QPushButton* remove = NamedButton("削除");
  QPushButton* close_button = NamedButton("閉じる");
  list_ = Named(new QTreeWidget, "関連付け");
  list_->setHeaderLabels({U("拡張子"), U("アプリ")});
  list_->setRootIsDecorated(false);
  auto* status = Named(
      new QLabel(U("この関連付けは独自のもので、エクスプローラ等の関連付けとは"
                   "異なります。")),
      "ステータス");
  status->setWordWrap(true);

  auto* grid = new QGridLayout;
  grid->addWidget(new QLabel(U("関連付けされていない場合に起動するアプリ")), 0,
                  0, 1, 3);
  grid->addWidget(fallback_, 1, 0, 1, 2);
  grid->addWidget(fallback_browse, 1, 2);
  grid->addWidget(new QLabel(U("拡張子（.ｅｘｔ）：")), 2, 0);
  grid->addWidget(extension_, 2, 1, 1, 2);
  grid->addWidget(program_, 3, 0, 1, 2);
  grid->addWidget(program_browse_, 3, 2);
  auto* buttons = new QHBoxLayout;
  buttons->addWidget(save_);
  buttons->addWidget(remove);
  buttons->addStretch();
  buttons->addWidget(close_button);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(grid);
  layout->addWidget(list_);
  layout->addLayout(buttons);
  layout->addWidget(status);

  connect(extension_, &QLineEdit::textChanged, this,
          &AssociationEditor::ExtensionTyped);
  connect(program_, &QLineEdit::textChanged, this,
          [this](const QString& t) { save_->setEnabled(!t.isEmpty()); });
  connect(save_, &QPushButton::clicked, this,
          &AssociationEditor::SaveExtension);
  connect(remove, &QPushButton::clicked, this,
          &AssociationEditor::DeleteSelected);
  connect(close_button, &QPushButton::clicked, this,
          &AssociationEditor::CloseAndWrite);
  connect(fallback_browse, &QPushButton::clicked, this,
          [this] { Browse(this, fallback_); });
  connect(program_browse_, &QPushButton::clicked, this,
          [this] { Browse(this, program_); });
  connect(list_, &QTreeWidget::currentItemChanged, this,
          [this](QTreeWidgetItem* item) {
            if (item) program_->setText(item->text(1));
          });

  Settings s = services_.settings->Open();
  table_ = ReadAssociations(s);
  resize(420, 360);
  Point at{s.ReadInteger("Ext_Form", "left", 0),
           s.ReadInteger("Ext_Form", "top", 0)};
  if (services_.screen) {
    at = ClampToScreens(at, {width(), height()},
                        services_.screen->AvailableGeometries());
  }
  move(at.left, at.top);
  fallback_->setText(QString::fromStdString(table_.fallback));
  Fill();
  ExtensionTyped();
  save_->setEnabled(false);
}

void AssociationEditor::Fill() {
  list_->clear();
  for (const auto& [ext, program] : table_.programs) {
    list_->addTopLevelItem(new QTreeWidgetItem(
        {QString::fromStdString(ext), QString::fromStdString(program)}));
  }
}

void AssociationEditor::ExtensionTyped() {
  const QString ext = extension_->text().toLower();
  const bool valid = ext.size() >= 2 && ext.startsWith(QLatin1Char('.'));
  program_->setEnabled(valid);
  program_browse_->setEnabled(valid);
  for (int i = 0; i < list_->topLevelItemCount(); ++i) {
    if (list_->topLevelItem(i)->text(0) == ext) {
      list_->setCurrentItem(list_->topLevelItem(i));
      return;
    }
  }
}

void AssociationEditor::SaveExtension() {
  const std::string ext =
      LowerExtensionOf("x" + extension_->text().toStdString());
  const std::string program = program_->text().toStdString();
  if (ext.empty() || program.empty() || !program_->isEnabled()) return;
  if (services_.cues) services_.cues->Play("sav");
  bool replaced = false;
  for (auto& [e, p] : table_.programs) {
    if (e == ext) {
      p = program;
      replaced = true;
    }
  }
  if (!replaced) table_.programs.emplace_back(ext, program);
  Fill();
  extension_->clear();
  program_->clear();
}

void AssociationEditor::DeleteSelected() {
  const int row = list_->indexOfTopLevelItem(list_->currentItem());
  if (row < 0) return;
  if (services_.cues) services_.cues->Play("del");
  table_.programs.erase(table_.programs.begin() + row);
  Fill();
}

void AssociationEditor::CloseAndWrite() {
  table_.fallback = fallback_->text().toStdString();
  SaveAssociations(*services_.settings, table_);
  close();
}

void AssociationEditor::TakeDroppedFile(const QString& path) {
  const QFileInfo info(path);
  const bool program =
      info.suffix().compare(QLatin1String("exe"), Qt::CaseInsensitive) == 0 ||
      info.suffix().compare(QLatin1String("desktop"), Qt::CaseInsensitive) ==
          0 ||
      (info.isFile() && info.isExecutable());
  if (program) {
    if (program_->isEnabled()) {
      program_->setText(path);
    } else {
      fallback_->setText(path);
    }
  } else if (!info.suffix().isEmpty()) {
    extension_->setText(QLatin1Char('.') + info.suffix().toLower());
  }
}

void AssociationEditor::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  if (shown_once_) return;
  shown_once_ = true;
  if (services_.cues) services_.cues->Play("ope");
  extension_->setFocus();
}

void AssociationEditor::closeEvent(QCloseEvent* event) {
  services_.settings->Batch([&](SettingsBatch& b) {
    b.WriteInteger("Ext_Form", "top", y());
    b.WriteInteger("Ext_Form", "left", x());
  });
  if (services_.cues) services_.cues->Play("clo");
  event->accept();
}

void AssociationEditor::dragEnterEvent(QDragEnterEvent* event) {
  if (event->mimeData()->hasUrls()) event->acceptProposedAction();
}

void AssociationEditor::dropEvent(QDropEvent* event) {
  const QList<QUrl> urls = event->mimeData()->urls();
  event->acceptProposedAction();
  for (const QUrl& url : urls) {
    if (url.isLocalFile()) TakeDroppedFile(url.toLocalFile());
  }
}

}  // namespace mirokata
