#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QListWidget>
#include <QProgressBar>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include "picture/jpeg_codec.h"
#include "picture/jpeg_jobs.h"
#include "picture/picture_loading.h"
#include "picture/ui/jpeg_progress_window.h"
#include "widgets/picture_chooser_dialog.h"
#include "platform/sound_cues.h"
#include "platform/testing/fake_messages.h"
#include "platform/testing/fake_sound.h"

namespace mirokata {
namespace {

RgbPicture Picture(int width, int height) {
  RgbPicture p{width, height, {}};
  for (int i = 0; i < width * height; ++i) {
    p.rgb.push_back(static_cast<uint8_t>(i));
    p.rgb.push_back(static_cast<uint8_t>(i / 7));
    p.rgb.push_back(static_cast<uint8_t>(i / 13));
  }
  return p;
}

// Kept for looking at when a folder is given.
void Keep(QWidget& widget, const char* name) {
  if (const char* dir = std::getenv("MIROKATA_SCREENSHOT_DIR")) {
    widget.grab().save(QString(dir) + "/" + name + ".png");
  }
}

QStringList Items(QListWidget* list) {
  QStringList out;
  for (int i = 0; i < list->count(); ++i) out << list->item(i)->text();
  return out;
}

}  // namespace

class PictureChooserTest : public QObject {
  Q_OBJECT

 private:
  QString Path(const QString& name) const { return dir_.filePath(name); }

  QTemporaryDir dir_;
  FakeMessages messages_;
  FakeSound sound_;
  SoundCues cues_{sound_, [] { return true; }};

 private slots:
  void initTestCase() {
    QVERIFY(dir_.isValid());
    QDir(dir_.path()).mkdir("sub");
    QImage bmp(30, 20, QImage::Format_RGB32);
    bmp.fill(Qt::green);
    QVERIFY(bmp.save(Path("a.BMP"), "BMP"));
    QVERIFY(EncodeJpegFile(Picture(64, 48), Path("b.jpg").toStdString()).ok);
    QVERIFY(EncodeJpegFile(Picture(32, 24), Path("c.JPG").toStdString()).ok);
    QVERIFY(
        EncodeJpegFile(Picture(900, 700), Path("big.jpg").toStdString()).ok);
    QVERIFY(EncodeJpegFile(Picture(8, 8), Path("d.jpeg").toStdString()).ok);
    QVERIFY(bmp.save(Path("e.png"), "PNG"));
  }

  void ListsPictureFilesAndFolders() {
    JpegJobs jobs(&messages_);
    PictureChooser chooser(&jobs, &cues_);
    QCOMPARE(chooser.windowTitle(), QString("Picture File"));
    QCOMPARE(chooser.size(), QSize(413, 400));
    chooser.SetFolder(dir_.path());
    QCOMPARE(Items(chooser.file_list()),
             (QStringList{"a.BMP", "b.jpg", "big.jpg", "c.JPG"}));
    QCOMPARE(Items(chooser.folder_list()), (QStringList{"..", "sub"}));
    QCOMPARE(chooser.SelectedFile(), QString());

    chooser.SetSelectedFile(Path("c.JPG"));
    QCOMPARE(chooser.SelectedFile(), Path("c.JPG"));
    // Entering a folder drops the selection.
    emit chooser.folder_list()->itemActivated(chooser.folder_list()->item(1));
    QCOMPARE(chooser.folder(), Path("sub"));
    QCOMPARE(chooser.SelectedFile(), QString());
    // A file that is gone selects nothing.
    chooser.SetSelectedFile(Path("gone.jpg"));
    QCOMPARE(chooser.SelectedFile(), QString());
  }

  void OpensAndClosesWithCues() {
    JpegJobs jobs(&messages_);
    PictureChooser chooser(&jobs, &cues_);
    sound_.Clear();
    chooser.show();
    chooser.hide();
    QCOMPARE(sound_.cues(), (std::vector<std::string>{"ope", "clo"}));
  }

  void PreviewsBitmapsAndJpegsInTurn() {
    JpegJobs jobs(&messages_);
    PictureChooser chooser(&jobs, &cues_);
    chooser.SetSelectedFile(Path("a.BMP"));
    QVERIFY(chooser.preview()->isHidden());
    chooser.SetPreviewEnabled(true);
    QVERIFY(!chooser.preview()->isHidden());
    QTRY_COMPARE(chooser.preview()->pixmap().size(), QSize(30, 20));

    // Another JPEG job is running: the preview waits its turn.
    std::optional<IndexedPicture> other;
    jobs.Decode({Path("big.jpg").toStdString()}, this,
                [&](std::optional<IndexedPicture> p) { other = std::move(p); });
    QSignalSpy progress(&jobs, &JpegJobs::Progress);
    chooser.SetSelectedFile(Path("b.jpg"));
    QVERIFY(chooser.preview_pending());
    QTRY_VERIFY(!chooser.preview_pending());
    QVERIFY(other.has_value());  // finished first
    QCOMPARE(chooser.preview()->pixmap().size(), QSize(64, 48));
    QCOMPARE(chooser.progress_bar()->value(), 100);
    Keep(chooser, "picture_chooser");
    QVERIFY(progress.count() > 0);

    // Clicking on before a preview is ready replaces it.
    chooser.SetSelectedFile(Path("big.jpg"));
    chooser.SetSelectedFile(Path("c.JPG"));
    QTRY_VERIFY(!chooser.preview_pending() && !jobs.busy());
    QCOMPARE(chooser.preview()->pixmap().size(), QSize(32, 24));

    chooser.SetPreviewEnabled(false);
    QVERIFY(chooser.preview()->isHidden());
    QVERIFY(messages_.shown().empty());
  }

  void LoadPictureByKind() {
    JpegJobs jobs(&messages_);
    struct {
      const char* name;
      QSize size;
      bool queued;
    } cases[] = {
        {"a.BMP", {30, 20}, true}, {"b.jpg", {64, 48}, true},
        {"d.jpeg", {}, false},     {"e.png", {}, false},
        {"gone.jpg", {}, false},
    };
    for (const auto& c : cases) {
      std::optional<QImage> got;
      int id = LoadPicture(jobs, Path(c.name), false, this,
                           [&](QImage image) { got = image; });
      QCOMPARE(id != 0, c.queued);
      QTRY_VERIFY(got.has_value());
      QCOMPARE(got->size(), c.size.isValid() ? c.size : QSize(0, 0));
    }
    // Pixels survive the trip through the palette.
    JpegDecodeResult r = DecodeJpegFile(Path("c.JPG").toStdString());
    QImage image = ToQImage(r.picture);
    QCOMPARE(image.format(), QImage::Format_Indexed8);
    RgbPicture back = ToRgbPicture(image);
    QCOMPARE(back.rgb, ToRgb(r.picture).rgb);
  }

  void ProgressWindowShowsWhileAJobRuns() {
    JpegJobs jobs(&messages_);
    AttachJpegProgressWindow(&jobs, "2.62");
    JpegProgressWindow* seen = nullptr;
    QString status;
    bool cursor = false;
    connect(&jobs, &JpegJobs::Started, this, [&] {
      for (QWidget* w : QApplication::topLevelWidgets()) {
        if (auto* p = qobject_cast<JpegProgressWindow*>(w)) seen = p;
      }
      if (seen) status = seen->status_text();
      cursor = QApplication::overrideCursor() != nullptr;
    });
    bool done = false;
    jobs.Decode({Path("big.jpg").toStdString()}, this,
                [&](std::optional<IndexedPicture>) { done = true; });
    QTRY_VERIFY(done);
    QVERIFY(seen != nullptr);
    QCOMPARE(status, QString("Jpegファイルの読み込み中です。"));
    QVERIFY(cursor);
    QCOMPARE(QApplication::overrideCursor(), nullptr);
    // The window is gone with its job.
    QTRY_VERIFY(std::none_of(
        QApplication::topLevelWidgets().begin(),
        QApplication::topLevelWidgets().end(),
        [](QWidget* w) { return qobject_cast<JpegProgressWindow*>(w); }));

    // A damaged file: the question stands alone, the progress window and
    // the busy cursor are put away while it waits.
    std::string whole;
    QVERIFY(EncodeJpeg(Picture(64, 64), &whole).ok);
    QFile cut(Path("cut.jpg"));
    QVERIFY(cut.open(QIODevice::WriteOnly));
    cut.write(whole.data(), qint64(whole.size() / 2));
    cut.close();
    FakeMessages asking;
    JpegJobs damaged(&asking);
    AttachJpegProgressWindow(&damaged, "2.62");
    seen = nullptr;
    connect(&damaged, &JpegJobs::Started, this, [&] {
      for (QWidget* w : QApplication::topLevelWidgets()) {
        if (auto* p = qobject_cast<JpegProgressWindow*>(w)) seen = p;
      }
    });
    done = false;
    damaged.Decode({Path("cut.jpg").toStdString()}, this,
                   [&](std::optional<IndexedPicture>) { done = true; });
    QTRY_COMPARE(asking.shown().size(), size_t{1});
    QVERIFY(seen != nullptr && !seen->isVisible());
    QCOMPARE(QApplication::overrideCursor(), nullptr);
    QVERIFY(asking.shown()[0].request.stay_on_top);
    asking.AnswerPending();
    QVERIFY(done);

    JpegProgressWindow writing(JpegJobKind::kWrite, "2.62");
    writing.SetPercent(40);
    Keep(writing, "jpeg_progress_window");
    QCOMPARE(writing.size(), QSize(229, 70));
    QCOMPARE(writing.status_text(), QString("Jpegファイルの書き出し中です。"));
  }
};

}  // namespace mirokata

QTEST_MAIN(mirokata::PictureChooserTest)
#include "picture_chooser_uitest.moc"
