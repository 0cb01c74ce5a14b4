// Renders the program's icon from its SVG into the PNG sizes of the icon
// theme, at build time.
#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QSvgRenderer>
#include <cstdio>

int main(int argc, char** argv) {
  if (argc < 4) {
    std::fputs("usage: mirokata_icongen SVG OUT_DIR SIZE...\n", stderr);
    return 2;
  }
  QGuiApplication app(argc, argv);
  QSvgRenderer svg(QString::fromLocal8Bit(argv[1]));
  if (!svg.isValid()) {
    std::fprintf(stderr, "mirokata_icongen: cannot read %s\n", argv[1]);
    return 1;
  }
  const QDir out(QString::fromLocal8Bit(argv[2]));
  for (int i = 3; i < argc; ++i) {
    const int size = QString::fromLocal8Bit(argv[i]).toInt();
    if (size <= 0) return 2;
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    svg.render(&painter);
    painter.end();
    const QString folder = QString("%1x%1").arg(size);
    if (!out.mkpath(folder) ||
        !image.save(out.filePath(folder + "/mirokata.png"), "PNG")) {
      std::fprintf(stderr, "mirokata_icongen: cannot write size %d\n", size);
      return 1;
    }
  }
  return 0;
}
