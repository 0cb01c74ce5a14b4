#include <unistd.h>

#include <QDir>
#include <QFileInfo>
#include <QLockFile>
#include <memory>
#include <string>

#include "platform/linux_platform.h"

namespace mirokata {
namespace {

// $XDG_RUNTIME_DIR, else a folder of this user's own under the temporary
// folder (made private so that no one else can take the name).
QString RuntimeFolder() {
  const QByteArray xdg = qgetenv("XDG_RUNTIME_DIR");
  if (!xdg.isEmpty() && QFileInfo(QString::fromLocal8Bit(xdg)).isDir()) {
    return QString::fromLocal8Bit(xdg);
  }
  const QString folder =
      QDir::tempPath() + QStringLiteral("/mirokata-runtime-%1").arg(getuid());
  QDir().mkpath(folder);
  QFile::setPermissions(folder, QFileDevice::ReadOwner |
                                    QFileDevice::WriteOwner |
                                    QFileDevice::ExeOwner);
  if (QFileInfo(folder).ownerId() != getuid()) return QDir::homePath();
  return folder;
}

class LockFileInstance : public SingleInstance {
 public:
  explicit LockFileInstance(const QString& path) : lock_(path) {
    // Never stale by age: a copy that runs for weeks keeps its lock. A lock
    // whose process is gone is still taken over.
    lock_.setStaleLockTime(0);
  }
  ~LockFileInstance() override { Release(); }

  bool TryAcquire() override {
    if (lock_.isLocked()) return true;
    if (lock_.tryLock(0)) return true;
    // Only a lock held by a live copy means "already running". A folder we
    // cannot write must not keep the program from starting at all.
    return lock_.error() != QLockFile::LockFailedError;
  }
  void Release() override {
    if (lock_.isLocked()) lock_.unlock();
  }

 private:
  QLockFile lock_;
};

}  // namespace

std::unique_ptr<SingleInstance> MakeSingleInstance(const std::string& name,
                                                   const std::string& folder) {
  const QString dir =
      folder.empty() ? RuntimeFolder() : QString::fromStdString(folder);
  return std::make_unique<LockFileInstance>(dir + QLatin1Char('/') +
                                            QString::fromStdString(name) +
                                            QStringLiteral(".lock"));
}

}  // namespace mirokata
