// The sound chooser: listing by filter, the selection driving the path label
// and the test button, playing and closing through the Sound service.
#include "widgets/sound_chooser_dialog.h"

#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include "platform/testing/fake_sound.h"

namespace mirokata {

class SoundChooserDialogTest : public QObject {
  Q_OBJECT

 private slots:
  void init() {
    dir_ = std::make_unique<QTemporaryDir>();
    for (const char* name : {"chime.wav", "Alarm.WAV", "tune.mid", "b.Mid",
                             "notes.txt", "wav", "x.wave"}) {
      QFile f(dir_->filePath(name));
      QVERIFY(f.open(QIODevice::WriteOnly));
    }
    QVERIFY(QDir(dir_->path()).mkdir("sub"));
    QFile inner(dir_->filePath("sub/inner.wav"));
    QVERIFY(inner.open(QIODevice::WriteOnly));
    sound_ = std::make_unique<FakeSound>();
  }

  void FilterBoxChoosesTheListedFiles() {
    SoundChooserDialog dialog(*sound_, QString());
    dialog.ShowFolder(dir_->path());
    QCOMPARE(dialog.windowTitle(), QStringLiteral("サウンドの選択"));
    QCOMPARE(dialog.filter_box()->count(), 3);
    QCOMPARE(dialog.filter_box()->itemText(0), QStringLiteral("*.WAV;*.MID"));
    struct Case {
      int filter;
      QStringList files;
    };
    const Case cases[] = {
        {0, {"Alarm.WAV", "b.Mid", "chime.wav", "tune.mid"}},
        {1, {"Alarm.WAV", "chime.wav"}},
        {2, {"b.Mid", "tune.mid"}},
    };
    for (const Case& c : cases) {
      dialog.SetFilterIndex(c.filter);
      QCOMPARE(dialog.ListedFiles(), c.files);
    }
  }

  void SelectionDrivesPathLabelAndTestButton() {
    SoundChooserDialog dialog(*sound_, QString());
    dialog.ShowFolder(dir_->path());
    QVERIFY(!dialog.test_button()->isEnabled());
    QCOMPARE(dialog.test_button()->text(), QStringLiteral("試聴"));
    QCOMPARE(dialog.test_button()->toolTip(), QStringLiteral("テスト再生"));
    QVERIFY(dialog.path_label()->text().isEmpty());

    QVERIFY(dialog.SelectFile("chime.wav"));
    const QString chime = QDir(dir_->path()).filePath("chime.wav");
    QCOMPARE(dialog.SelectedPath(), chime);
    QCOMPARE(dialog.path_label()->text(), chime);
    QVERIFY(dialog.test_button()->isEnabled());

    // A filter that hides the selection clears it; switching back does not
    // bring it back by itself.
    dialog.SetFilterIndex(2);
    QVERIFY(dialog.SelectedPath().isEmpty());
    QVERIFY(dialog.path_label()->text().isEmpty());
    QVERIFY(!dialog.test_button()->isEnabled());

    dialog.SetFilterIndex(0);
    QVERIFY(dialog.SelectFile("tune.mid"));
    dialog.file_list()->clearSelection();
    QVERIFY(dialog.SelectedPath().isEmpty());
    QVERIFY(!dialog.test_button()->isEnabled());
    QVERIFY(!dialog.SelectFile("notes.txt"));
  }

  void TestButtonContextMenuAndDoubleClickPlayTheFile() {
    SoundChooserDialog dialog(*sound_, QString());
    dialog.ShowFolder(dir_->path());
    dialog.PlaySelected();  // nothing selected: nothing played
    QVERIFY(sound_->files().empty());
    QVERIFY(dialog.SelectFile("Alarm.WAV"));
    const std::string alarm =
        QDir(dir_->path()).filePath("Alarm.WAV").toStdString();
    QTest::mouseClick(dialog.test_button(), Qt::LeftButton);
    const QList<QAction*> actions = dialog.context_menu()->actions();
    QCOMPARE(actions.size(), 2);
    QCOMPARE(actions[0]->text(), QStringLiteral("音色テスト"));
    QCOMPARE(actions[1]->text(), QStringLiteral("閉じる(&C)"));
    actions[0]->trigger();
    QListWidgetItem* item = dialog.file_list()->currentItem();
    emit dialog.file_list()->itemDoubleClicked(item);
    QCOMPARE(sound_->files(), (std::vector<std::string>{alarm, alarm, alarm}));
  }

  void ClosingStopsPlaybackAndKeepsTheChoice() {
    for (int way = 0; way < 3; ++way) {
      FakeSound sound;
      const QString current = QDir(dir_->path()).filePath("tune.mid");
      SoundChooserDialog dialog(sound, current);
      QCOMPARE(dialog.ShownFolder(), QDir(dir_->path()).absolutePath());
      QCOMPARE(dialog.SelectedPath(), current);  // preselected
      dialog.show();
      if (way == 0) {
        QCOMPARE(dialog.close_button()->text(),
                 QStringLiteral("設定して閉じる"));
        dialog.close_button()->click();
      } else if (way == 1) {
        dialog.context_menu()->actions()[1]->trigger();
      } else {
        QTest::keyClick(&dialog, Qt::Key_Escape);
      }
      QVERIFY(!dialog.isVisible());
      QCOMPARE(sound.stop_file_count(), 1);
      QCOMPARE(dialog.SelectedPath(), current);
      QCOMPARE(dialog.result(),
               way < 2 ? int(QDialog::Accepted) : int(QDialog::Rejected));
    }
  }

  void FolderListWalksDownAndUp() {
    SoundChooserDialog dialog(*sound_, QString());
    dialog.ShowFolder(dir_->path());
    QListWidget* folders = dialog.folder_list();
    // The chain ends at the shown folder; its sub-folders follow.
    QListWidgetItem* sub = folders->item(folders->count() - 1);
    QCOMPARE(sub->text().trimmed(), QStringLiteral("sub"));
    QCOMPARE(folders->currentRow(), folders->count() - 2);
    emit folders->itemActivated(sub);
    QCOMPARE(dialog.ShownFolder(), QDir(dir_->path()).filePath("sub"));
    QCOMPARE(dialog.ListedFiles(), QStringList{"inner.wav"});
    emit folders->itemActivated(folders->item(folders->currentRow() - 1));
    QCOMPARE(dialog.ShownFolder(), QDir(dir_->path()).absolutePath());
    // The drive box holds at least the home folder and the root.
    QVERIFY(dialog.drive_box()->findText("/") >= 0);
    QVERIFY(dialog.drive_box()->findText(QDir::homePath()) >= 0);
  }

  void MissingStartingPointsFallBack() {
    SoundChooserDialog gone(*sound_, "/no/such/folder/x.wav");
    QCOMPARE(gone.ShownFolder(), QDir::homePath());
    QVERIFY(gone.SelectedPath().isEmpty());
    // A current file that vanished still opens its folder.
    SoundChooserDialog vanished(*sound_, dir_->filePath("deleted.wav"));
    QCOMPARE(vanished.ShownFolder(), QDir(dir_->path()).absolutePath());
    QVERIFY(vanished.SelectedPath().isEmpty());
    vanished.ShowFolder("/no/such/folder");
    QCOMPARE(vanished.ShownFolder(), QDir::homePath());
  }

 private:
  std::unique_ptr<QTemporaryDir> dir_;
  std::unique_ptr<FakeSound> sound_;
};

}  // namespace mirokata

QTEST_MAIN(mirokata::SoundChooserDialogTest)
#include "sound_chooser_dialog_test.moc"
