// The certificates a user adds to the system's roots for TLS: the PEM file
// named by MIROKATA_EXTRA_CA (test servers, self-hosted ones with their own
// CA). Mail and calendar sync trust the same set.
#ifndef MIROKATA_PLATFORM_EXTRA_CA_H_
#define MIROKATA_PLATFORM_EXTRA_CA_H_

#include <QByteArray>
#include <QList>
#include <QSslCertificate>
#include <QString>

namespace mirokata {

inline QList<QSslCertificate> ExtraCaCertificates() {
  const QByteArray path = qgetenv("MIROKATA_EXTRA_CA");
  if (path.isEmpty()) return {};
  return QSslCertificate::fromPath(QString::fromLocal8Bit(path), QSsl::Pem);
}

}  // namespace mirokata

#endif  // MIROKATA_PLATFORM_EXTRA_CA_H_
