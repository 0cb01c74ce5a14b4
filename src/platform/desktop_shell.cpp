#include "platform/desktop_shell.h"

#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QStringList>
#include <QUrl>

#include "platform/desktop_entry.h"

namespace mirokata {
namespace {

QString ExpandHome(const std::string& path) {
  QString p = QString::fromStdString(path);
  if (p == QLatin1String("~") || p.startsWith(QLatin1String("~/"))) {
    p.replace(0, 1, QDir::homePath());
  }
  return p;
}

}  // namespace

bool DesktopShell::IsAddress(const std::string& text) {
  std::size_t i = 0;
  while (i < text.size() &&
         ((text[i] >= 'a' && text[i] <= 'z') ||
          (text[i] >= 'A' && text[i] <= 'Z') ||
          (i > 0 && ((text[i] >= '0' && text[i] <= '9') || text[i] == '+' ||
                     text[i] == '-' || text[i] == '.')))) {
    ++i;
  }
  return i >= 2 && i < text.size() && text[i] == ':';
}

std::string DesktopShell::ResolveProgram(const std::string& program) {
  if (program.empty()) return {};
  const QString p = ExpandHome(program);
  if (p.contains(QLatin1Char('/'))) {
    const QFileInfo info(p);
    if (info.isFile() && info.isExecutable()) {
      return info.absoluteFilePath().toStdString();
    }
    return {};
  }
  return QStandardPaths::findExecutable(p).toStdString();
}

bool DesktopShell::OpenDocument(const std::string& path_or_address) {
  if (path_or_address.empty()) return false;
  if (IsAddress(path_or_address)) {
    const QUrl url(QString::fromStdString(path_or_address));
    return url.isValid() && QDesktopServices::openUrl(url);
  }
  const QFileInfo info(ExpandHome(path_or_address));
  if (!info.exists()) return false;
  return QDesktopServices::openUrl(
      QUrl::fromLocalFile(info.absoluteFilePath()));
}

bool DesktopShell::StartProgram(const std::string& program,
                                const std::vector<std::string>& arguments,
                                const std::string& working_folder) {
  const std::string resolved = ResolveProgram(program);
  if (resolved.empty()) return false;
  QStringList args;
  for (const std::string& a : arguments) args << QString::fromStdString(a);
  QString folder = ExpandHome(working_folder);
  // A folder that is gone must not stop the program from starting.
  if (!folder.isEmpty() && !QFileInfo(folder).isDir()) folder.clear();
  QProcess process;
  process.setProgram(QString::fromStdString(resolved));
  process.setArguments(args);
  if (!folder.isEmpty()) process.setWorkingDirectory(folder);
  process.setStandardInputFile(QProcess::nullDevice());
  return process.startDetached();
}

bool DesktopShell::Open(const std::string& file, const std::string& parameters,
                        const std::string& working_folder) {
  if (file.empty()) return false;
  if (IsAddress(file)) return OpenDocument(file);
  const QFileInfo info(ExpandHome(file));
  if (info.isDir()) return OpenDocument(file);
  if (info.isFile() && info.suffix().compare(QLatin1String("desktop"),
                                             Qt::CaseInsensitive) == 0) {
    return OpenDesktopEntry(info.absoluteFilePath().toStdString(), parameters,
                            working_folder);
  }
  const std::string program = ResolveProgram(file);
  if (!program.empty() &&
      StartProgram(program, SplitArguments(parameters), working_folder)) {
    return true;
  }
  // A document that merely carries the executable bit (as on FAT media)
  // does not run; open it instead.
  return info.isFile() && OpenDocument(file);
}

bool DesktopShell::OpenDesktopEntry(const std::string& path,
                                    const std::string& parameters,
                                    const std::string& working_folder) {
  QFile file(QString::fromStdString(path));
  // Entries are small; anything huge is not one.
  if (!file.open(QIODevice::ReadOnly) || file.size() > 1024 * 1024) {
    return false;
  }
  const QByteArray contents = file.readAll();
  const DesktopLaunch launch =
      ParseDesktopEntry(std::string_view(contents.constData(), contents.size()),
                        SplitArguments(parameters), path);
  switch (launch.kind) {
    case DesktopLaunch::Kind::kProgram:
      return StartProgram(launch.program, launch.arguments,
                          launch.working_folder.empty()
                              ? working_folder
                              : launch.working_folder);
    case DesktopLaunch::Kind::kAddress:
      return OpenDocument(launch.address);
    case DesktopLaunch::Kind::kNone:
      break;
  }
  return false;
}

}  // namespace mirokata
