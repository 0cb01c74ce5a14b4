// Starting the desktops' own wallpaper tools (no shell, no waiting).
#include <QObject>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <cstdlib>

#include "platform/desktop/desktop_windows.h"

namespace mirokata {
namespace {

void RunDetached(const DesktopCommand& command) {
  QStringList args;
  for (const std::string& a : command.arguments) {
    args << QString::fromStdString(a);
  }
  QProcess::startDetached(QString::fromStdString(command.program), args);
}

}  // namespace

void ApplyDesktopWallpaperSetting(const std::string& path) {
  const char* env = std::getenv("XDG_CURRENT_DESKTOP");
  DesktopKind kind = DesktopKindOf(env ? env : "");
  if (kind != DesktopKind::kXfce) {
    for (const DesktopCommand& c : WallpaperCommands(kind, path)) {
      RunDetached(c);
    }
    return;
  }
  // Xfce keeps one property per monitor and workspace: list them first,
  // then set each when the listing is in.
  auto* lister = new QProcess;
  QObject::connect(
      lister, &QProcess::finished, lister,
      [lister, path](int, QProcess::ExitStatus) {
        std::vector<std::string> properties;
        const QStringList lines =
            QString::fromUtf8(lister->readAllStandardOutput()).split('\n');
        for (const QString& line : lines) {
          QString p = line.trimmed();
          if (p.startsWith("/backdrop/") && p.endsWith("/last-image")) {
            properties.push_back(p.toStdString());
          }
        }
        for (const DesktopCommand& c :
             WallpaperCommands(DesktopKind::kXfce, path, properties)) {
          RunDetached(c);
        }
        lister->deleteLater();
      });
  QObject::connect(lister, &QProcess::errorOccurred, lister,
                   [lister](QProcess::ProcessError error) {
                     if (error == QProcess::FailedToStart)
                       lister->deleteLater();
                   });
  lister->start("xfconf-query", {"-c", "xfce4-desktop", "-l"});
}

}  // namespace mirokata
