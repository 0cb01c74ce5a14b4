#include "notes/ui/memo_window.h"

#include <sys/stat.h>

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QFileInfo>
#include <QImage>
#include <QMenu>
#include <QMimeData>
#include <QPrinter>
#include <QProcess>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QtTest>
#include <filesystem>
#include <fstream>
#include <memory>

#include "notes/memo_store.h"
#include "notes/ui/memo_windows.h"
#include "picture/jpeg_jobs.h"
#include "platform/file_io.h"
#include "platform/testing/fake_desktop.h"
#include "richtext/ui/rich_text_editor.h"
#include "support/fake_world.h"

namespace mirokata {
namespace {

QString U(const char* text) { return QString::fromUtf8(text); }

std::string ReadAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

}  // namespace

class MemoWindowTest : public QObject {
  Q_OBJECT

 private:
  std::unique_ptr<FakeWorld> world_;
  std::unique_ptr<JpegJobs> jpeg_;
  FakeScreen screen_;
  std::string folder_;

  MemoWindows* Windows() {
    auto* windows = new MemoWindows([this](int category, const std::string&) {
      MemoWindowContext c;
      c.services = world_->Context();
      c.services.screen = &screen_;
      c.services.jpeg = jpeg_.get();
      c.memo_folder = folder_;
      c.category = category;
      c.main_window = {100, 100, 300, 200};
      return c;
    });
    return windows;
  }
  // A stored memo in category 0 with this RTF text.
  std::string Seed(const std::string& text) {
    const std::string name = *CreateMemo(world_->settings, folder_, 0);
    std::ofstream(MemoFilePath(folder_, *MemoNumberOf(name)), std::ios::binary)
        << "{\\rtf1\\ansi " << text << "\\par}";
    return name;
  }
  std::string FileOf(const std::string& name) {
    return MemoFilePath(folder_, *MemoNumberOf(name));
  }
  int ShowOf(const std::string& name) {
    return world_->settings.ReadInteger(name, "Show", -1);
  }

 private slots:
  void init() {
    world_ = std::make_unique<FakeWorld>();
    jpeg_ = std::make_unique<JpegJobs>(&world_->messages);
    folder_ = world_->dir / "Memo";
    std::filesystem::create_directory(folder_);
  }
  void cleanup() {
    FlushEvents();
    jpeg_.reset();
    world_.reset();
  }

  void IsAParentlessToolWindow() {
    std::unique_ptr<MemoWindows> windows(Windows());
    MemoWindow* w = windows->Open(0, Seed("a"));
    QVERIFY(w);
    QCOMPARE(w->parentWidget(), nullptr);
    QCOMPARE(w->windowType(), Qt::Tool);
    QVERIFY(!(w->windowFlags() & Qt::FramelessWindowHint));
    w->MakePetit();
    QCOMPARE(w->size(), QSize(16, 16));
    QVERIFY(w->windowFlags() & Qt::FramelessWindowHint);
  }

  void ContextMenuFollowsTheMode_data() {
    QTest::addColumn<bool>("picture");
    QTest::addColumn<bool>("sticky");
    QTest::addColumn<QStringList>("visible");
    QTest::addColumn<QStringList>("hidden");
    QTest::addColumn<QStringList>("disabled");
    QTest::newRow("text") << false << false
                          << QStringList{U("テキスト"), U("切り抜き(&T)"),
                                         U("すべてを選択(&S)"),
                                         U("やり直し(&U)"), U("題名の変更")}
                          << QStringList{U("画像メモ")} << QStringList{};
    QTest::newRow("picture")
        << true << false << QStringList{U("画像メモ"), U("貼り付け(&P)")}
        << QStringList{U("テキスト"), U("切り抜き(&T)"), U("すべてを選択(&S)"),
                       U("やり直し(&U)")}
        // No picture file yet: nothing to copy or save.
        << QStringList{U("コピー(&C)"), U("別名で保存"), U("壁紙として保存")};
    QTest::newRow("sticky paper")
        << false << true << QStringList{U("テキスト"), U("付箋紙モード")}
        << QStringList{U("切り抜き(&T)"), U("コピー(&C)"),
                       U("貼り付け(&P)"), U("すべてを選択(&S)"),
                       U("やり直し(&U)"), U("題名の変更")}
        << QStringList{U("操作")};
  }
  void ContextMenuFollowsTheMode() {
    QFETCH(bool, picture);
    QFETCH(bool, sticky);
    QFETCH(QStringList, visible);
    QFETCH(QStringList, hidden);
    QFETCH(QStringList, disabled);
    QApplication::clipboard()->clear();
    std::unique_ptr<MemoWindows> windows(Windows());
    MemoWindow* w = windows->Open(0, Seed("a"));
    w->SetPictureMode(picture);
    if (sticky) w->SetSticky(true);
    QMenu* menu = w->PrepareContextMenu();
    for (const QString& c : visible) {
      QVERIFY2(w->FindAction(c) && w->FindAction(c)->isVisible(),
               qPrintable(c));
    }
    for (const QString& c : hidden) {
      QVERIFY2(!w->FindAction(c)->isVisible(), qPrintable(c));
    }
    for (const QString& c : disabled) {
      QVERIFY2(!w->FindAction(c)->isEnabled(), qPrintable(c));
    }
    QCOMPARE(w->FindAction(U("付箋紙モード"))->isChecked(), sticky);
    for (const char* c :
         {"プチ", "メモの操作", "全てのメモを閉じる", "閉じる"}) {
      bool found = false;
      for (QAction* a : menu->actions()) found |= a->text() == U(c);
      QVERIFY2(found, c);
    }
  }

  void OpeningTwiceGivesOneWindow() {
    std::unique_ptr<MemoWindows> windows(Windows());
    const std::string name = Seed("a");
    MemoWindow* first = windows->Open(0, name);
    MemoWindow* second = windows->Open(0, name);
    QCOMPARE(first, second);
    QCOMPARE(windows->windows().size(), size_t{1});
    QCOMPARE(ShowOf(name), 1);
  }

  void ShiftOpenCopiesAndLeavesNothing() {
    std::unique_ptr<MemoWindows> windows(Windows());
    const std::string name = Seed("copied text");
    world_->sound.Clear();
    QCOMPARE(windows->Open(0, name, true), nullptr);
    FlushEvents();
    QVERIFY(windows->windows().empty());
    for (QWidget* w : QApplication::topLevelWidgets()) {
      QVERIFY(!qobject_cast<MemoWindow*>(w));
    }
    QCOMPARE(QApplication::clipboard()->text().trimmed(), U("copied text"));
    QCOMPARE(world_->sound.cues(), std::vector<std::string>{"cop"});
    QVERIFY(ShowOf(name) != 1);
    // An open memo is not copied: the warning, and the window stays.
    MemoWindow* open = windows->Open(0, name);
    world_->messages.Clear();
    QCOMPARE(windows->Open(0, name, true), open);
    QCOMPARE(world_->messages.shown().size(), size_t{1});
  }

  void PrintingToPdfLeavesTheText() {
    if (QStandardPaths::findExecutable("pdftotext").isEmpty())
      QSKIP("pdftotext is not installed");
    std::unique_ptr<MemoWindows> windows(Windows());
    MemoWindow* w = windows->Open(0, Seed("printed words"));
    w->SetTitle(U("題"));
    const QString before = w->editor()->toPlainText();
    const QString pdf = QString::fromStdString(world_->dir / "memo.pdf");
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(pdf);
    w->PrintTo(printer);
    QCOMPARE(w->editor()->toPlainText(), before);
    QVERIFY(!w->editor()->document()->isModified());
    QProcess text;
    text.start("pdftotext", {"-enc", "UTF-8", pdf, "-"});
    QVERIFY(text.waitForFinished(30000));
    const QString out = QString::fromUtf8(text.readAllStandardOutput());
    QVERIFY2(out.contains(U("Title:題")), qPrintable(out));
    QVERIFY2(out.contains(U("Print:")), qPrintable(out));
    QVERIFY2(out.contains(U("printed words")), qPrintable(out));
  }

  void PastedPictureFollowsPastePic_data() {
    QTest::addColumn<int>("paste_pic");
    QTest::addColumn<QString>("suffix");
    QTest::newRow("JPEG") << 0 << ".JPG";
    QTest::newRow("bitmap") << 1 << ".BMP";
  }
  void PastedPictureFollowsPastePic() {
    QFETCH(int, paste_pic);
    QFETCH(QString, suffix);
    world_->settings.WriteInteger("Form", "PastePic", paste_pic);
    std::unique_ptr<MemoWindows> windows(Windows());
    const std::string name = Seed("a");
    MemoWindow* w = windows->Open(0, name);
    w->SetPictureMode(true);
    QImage image(40, 30, QImage::Format_RGB32);
    image.fill(Qt::red);
    QApplication::clipboard()->setImage(image);
    w->PastePicture();
    const std::string path = folder_ + "/" + name + suffix.toStdString();
    // `BmpFile` names the file only once it is written.
    QTRY_COMPARE_WITH_TIMEOUT(world_->settings.ReadString(name, "BmpFile", ""),
                              path, 10000);
    QVERIFY(QFileInfo(QString::fromStdString(path)).size() > 0);
    QCOMPARE(QImage(QString::fromStdString(path)).size(), QSize(40, 30));
    struct stat st {};
    QCOMPARE(stat(path.c_str(), &st), 0);
    QCOMPARE(st.st_mode & 0777, PublicFileMode());
  }

  void CloseClearsShowWhileExitKeepsItAndWritesNothingUnchanged() {
    std::unique_ptr<MemoWindows> windows(Windows());
    const std::string kept = Seed("kept");
    const std::string closed = Seed("closed");
    windows->Open(0, kept);
    MemoWindow* c = windows->Open(0, closed);
    QCOMPARE(ShowOf(kept), 1);
    c->close();
    FlushEvents();
    QCOMPARE(ShowOf(closed), 0);

    // A first save writes the places; after it nothing changes.
    windows->Find(kept)->Save();
    struct stat memo_before {
    }, ini_before{};
    stat(FileOf(kept).c_str(), &memo_before);
    stat(world_->settings.path().c_str(), &ini_before);
    const std::string bytes = ReadAll(FileOf(kept));
    QTest::qWait(20);  // a rewrite would change the change time
    windows->CloseAllForExit();
    FlushEvents();
    QCOMPARE(ShowOf(kept), 1);
    struct stat memo_after {
    }, ini_after{};
    stat(FileOf(kept).c_str(), &memo_after);
    stat(world_->settings.path().c_str(), &ini_after);
    QCOMPARE(memo_after.st_ino, memo_before.st_ino);
    QCOMPARE(ini_after.st_ino, ini_before.st_ino);
    QCOMPARE(ReadAll(FileOf(kept)), bytes);

    // Reopened at the next start, at the stored frame.
    std::unique_ptr<MemoWindows> again(Windows());
    again->OpenShownAtExit();
    QCOMPARE(again->windows().size(), size_t{1});
    QCOMPARE(again->windows()[0]->name(), kept);
  }

  void DropsAreCheckedBeforeTheyAreHandedOn() {
    std::unique_ptr<MemoWindows> windows(Windows());
    MemoWindow* w = windows->Open(0, Seed("a"));
    const std::string dir = world_->dir / "drops";
    std::filesystem::create_directory(dir);
    // A long name is kept whole.
    const std::string long_name = dir + "/" + std::string(240, 'x') + ".txt";
    std::ofstream(long_name) << "text";
    const std::string big = dir + "/big.txt";
    std::ofstream{big};
    std::filesystem::resize_file(big, kMemoDropLimit + 1);
    const std::string unreadable = dir + "/secret.txt";
    std::ofstream(unreadable) << "x";
    chmod(unreadable.c_str(), 0);
    const bool root = geteuid() == 0;

    QSignalSpy dropped(w, &MemoWindow::FilesDropped);
    QMimeData mime;
    mime.setUrls({QUrl::fromLocalFile(QString::fromStdString(long_name))});
    QDropEvent event(QPointF(5, 5), Qt::CopyAction, &mime, Qt::LeftButton,
                     Qt::NoModifier);
    // Straight to the window, as the drag manager delivers it.
    static_cast<QObject*>(w)->event(&event);
    QVERIFY(event.isAccepted());
    QCOMPARE(dropped.size(), 0);  // asked later, not inside the drop
    FlushEvents();
    QCOMPARE(dropped.size(), 1);
    QCOMPARE(dropped[0][0].toStringList(),
             QStringList{QString::fromStdString(long_name)});

    for (const std::string& bad : {big, unreadable, dir}) {
      if (bad == unreadable && root) continue;
      world_->messages.Clear();
      QVERIFY(!w->AcceptedDrop({QString::fromStdString(bad)}));
      QCOMPARE(world_->messages.shown().size(), size_t{1});
    }
  }
  void DropChoicesLoadHereOrIntoNewMemos() {
    world_->settings.WriteInteger("MemoCount", "Count", 0);
    std::unique_ptr<MemoWindows> windows(Windows());
    const std::string name = *CreateMemo(world_->settings, folder_, 3);
    MemoWindow* w = windows->Open(3, name);
    QStringList files;
    for (const char* text : {"one", "two", "three"}) {
      const std::string path = world_->dir / (std::string(text) + ".txt");
      std::ofstream(path) << text;
      files << QString::fromStdString(path);
    }
    windows->HandleDrop(w, files, 0);
    QCOMPARE(windows->windows().size(), size_t{1});

    windows->HandleDrop(w, files, 1);
    QCOMPARE(w->editor()->toPlainText(), U("one"));
    QCOMPARE(windows->windows().size(), size_t{1});

    windows->HandleDrop(w, files, 3);
    const MemoCategory category = ReadMemoCategory(world_->settings.Open(), 3);
    QCOMPARE(category.memos.size(), size_t{4});
    QCOMPARE(windows->windows().size(), size_t{4});
    QStringList texts, titles;
    for (size_t i = 1; i < category.memos.size(); ++i) {
      MemoWindow* made = windows->Find(category.memos[i].name);
      QVERIFY(made);
      QCOMPARE(made->category(), 3);
      texts << made->editor()->toPlainText();
      titles << QString::fromStdString(category.memos[i].title);
      QVERIFY(std::filesystem::exists(FileOf(category.memos[i].name)));
    }
    QCOMPARE(texts, (QStringList{U("one"), U("two"), U("three")}));
    QCOMPARE(titles, (QStringList{U("one.txt"), U("two.txt"), U("three.txt")}));

    windows->HandleDrop(w, files, 2);
    QCOMPARE(ReadMemoCategory(world_->settings.Open(), 3).memos.size(),
             size_t{5});
  }
};

}  // namespace mirokata

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  mirokata::MemoWindowTest test;
  return QTest::qExec(&test, argc, argv);
}

#include "memo_window_test.moc"
